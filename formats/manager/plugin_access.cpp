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

std::mutex registryLock;
std::vector<const void*> livePlugIns;

}  // namespace

bool registerPlugIn(PTzMODULE plugin)
{
    const std::lock_guard guard(registryLock);
    try {
        livePlugIns.push_back(plugin);
    } catch (const std::bad_alloc&) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return false;
    }
    return true;
}

void unregisterPlugIn(PTzMODULE plugin)
{
    const std::lock_guard guard(registryLock);
    const auto found = std::find(livePlugIns.begin(), livePlugIns.end(), plugin);
    if (found != livePlugIns.end())
        livePlugIns.erase(found);
}

bool isLivePlugIn(const void* plugin)
{
    if (!plugin)
        return false;
    const std::lock_guard guard(registryLock);
    return std::find(livePlugIns.begin(), livePlugIns.end(), plugin) != livePlugIns.end();
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
