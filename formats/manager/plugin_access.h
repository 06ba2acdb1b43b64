// How Formick reaches a plug-in: the registry of the plug-in handles it has handed out
// and not taken back, and the lookup of entries by name at the moment of each call.
#pragma once

#include <cstdint>

#include "base/error_codes.h"
#include "base/module.h"
#include "formats/manager/plugin_interface.h"

namespace formick {

// Callers may keep a plug-in handle past FTzUninit; only registered handles are ever
// used, so such a handle is refused like a null one instead of reaching freed code.
bool registerPlugIn(PTzMODULE plugin);
void unregisterPlugIn(PTzMODULE plugin);
bool isLivePlugIn(const void* plugin);

// The address of a module's entry, or null; a missing entry leaves the last error as
// it was, since most entries are optional.
void* moduleEntryAddress(PTzMODULE module, const char* name);

template <typename Proc>
Proc moduleEntry(PTzMODULE module, FTzPlugInEntry<Proc> entry)
{
    return reinterpret_cast<Proc>(moduleEntryAddress(module, entry.name));
}

// The entry of a live plug-in; null for a missing entry or an unknown plug-in.
template <typename Proc>
Proc findEntry(void* plugin, FTzPlugInEntry<Proc> entry)
{
    return isLivePlugIn(plugin) ? moduleEntry(plugin, entry) : nullptr;
}

// The entry of a live plug-in, or null with a code stored: unknownCode for a null or
// unknown plug-in, missingCode when the plug-in lacks the entry.
template <typename Proc>
Proc requireEntry(void* plugin, FTzPlugInEntry<Proc> entry, int unknownCode, int missingCode)
{
    if (!isLivePlugIn(plugin)) {
        PTzSetLastError(unknownCode);
        return nullptr;
    }
    const Proc proc = moduleEntry(plugin, entry);
    if (!proc)
        PTzSetLastError(missingCode);
    return proc;
}

// The answer of an entry that takes nothing and gives a number, or fallback when the
// plug-in lacks it.
uint32_t askPlugIn(void* plugin, FTzPlugInEntry<uint32_t (*)()> entry, uint32_t fallback);

// A session start's failure: null, with code stored and written to *error when error
// is given.
inline void* failSessionStart(int code, int* error)
{
    PTzSetLastError(code);
    if (error)
        *error = code;
    return nullptr;
}

}  // namespace formick
