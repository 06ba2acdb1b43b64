// The registry is a plain list under a lock: a process holds a handful of plug-ins,
// and a module loaded by two lists appears twice, once for each.
#include "formats/manager/plugin_access.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "base/error_codes.h"

namespace formick {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<const void*> plugIns;
};

// Made on first use, so that nothing runs when the library is loaded.
Registry& LiveRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

bool registerPlugIn(PTzMODULE plugin)
{
    Registry& registry = LiveRegistry();
    const std::lock_guard guard(registry.lock);
    try {
        registry.plugIns.push_back(plugin);
    } catch (const std::bad_alloc&) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return false;
    }
    return true;
}

void unregisterPlugIn(PTzMODULE plugin)
{
    Registry& registry = LiveRegistry();
    const std::lock_guard guard(registry.lock);
    const auto found = std::find(registry.plugIns.begin(), registry.plugIns.end(), plugin);
    if (found != registry.plugIns.end())
        registry.plugIns.erase(found);
}

bool isLivePlugIn(const void* plugin)
{
    if (!plugin)
        return false;
    Registry& registry = LiveRegistry();
    const std::lock_guard guard(registry.lock);
    return std::find(registry.plugIns.begin(), registry.plugIns.end(), plugin) != registry.plugIns.end();
}

void* moduleEntryAddress(PTzMODULE module, const char* name)
{
    const int before = PTzGetLastError();
    void* address = PTzGetProcAddress(module, name);
    if (!address)
        PTzSetLastError(before);
    return address;
}

uint32_t askPlugIn(void* plugin, FTzPlugInEntry<uint32_t (*)()> entry, uint32_t fallback)
{
    const auto ask = findEntry(plugin, entry);
    return ask ? ask() : fallback;
}

}  // namespace formick
