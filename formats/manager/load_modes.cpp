// Forwards the load-mode enumeration to the plug-in's entries, found at each call.
#include "formats/manager/load_modes.h"

#include "base/error_codes.h"
#include "formats/manager/plugin_access.h"
#include "formats/manager/plugin_interface.h"

using namespace formick;

void* FTzLoadFindFirstSupportMode(void* plugin, uint32_t* mode)
{
    if (!mode || !isLivePlugIn(plugin)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    *mode = FTzMODE_ROWS;
    const auto findFirst =
        requireEntry(plugin, FTzPlugInFindFirstLoadModeEntry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return findFirst ? findFirst(mode) : nullptr;
}

int FTzLoadFindNextSupportMode(void* plugin, void* find, uint32_t* mode)
{
    if (!find || !mode) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto findNext =
        requireEntry(plugin, FTzPlugInFindNextLoadModeEntry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return findNext ? findNext(find, mode) : 0;
}

int FTzLoadFindSupportModeClose(void* plugin, void* find)
{
    if (!find) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto close =
        requireEntry(plugin, FTzPlugInCloseFindLoadModeEntry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return close ? close(find) : 0;
}
