// Forwards to the plug-in's save queries and setting entries, found at each call.
#include "formats/manager/save_format.h"

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "formats/manager/plugin_access.h"

using namespace formick;

uint32_t FTzSaveGetMode(void* plugin)
{
    if (!isLivePlugIn(plugin)) {
        PTzSetLastError(FTzERR_BAD_HANDLE);
        return PTzFourCCNone;
    }
    const auto getMode = moduleEntry(plugin, FTzPlugInGetSaveModeEntry);
    return getMode ? getMode(plugin) : PTzFourCCNone;
}

int FTzSaveSupportAlpha_1(void* plugin)
{
    if (!isLivePlugIn(plugin)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto supportAlpha = moduleEntry(plugin, FTzPlugInSaveSupportAlpha_1Entry);
    return supportAlpha ? supportAlpha(plugin) : 0;
}

int FTzSaveSupportByFileInfo_1(void* plugin, const _tagFTzIMAGEINFO_1* info)
{
    if (!info) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto supports =
        requireEntry(plugin, FTzPlugInSaveSupportByFileInfo_1Entry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return supports ? supports(info) : 0;
}

void* FTzCreateFormatSetting(void* plugin)
{
    const auto create =
        requireEntry(plugin, FTzPlugInCreateFormatSettingEntry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return create ? create(plugin) : nullptr;
}

int FTzReleaseFormatSetting(void* plugin, void* block)
{
    const auto release =
        requireEntry(plugin, FTzPlugInReleaseFormatSettingEntry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    if (!release)
        return 0;
    return block ? release(block) : 1;
}

int FTzGetFormatSettingByDefaultDlg_1(void* plugin, void* block, const _tagFTzIMAGEINFO_1* info, void* owner)
{
    if (!block || !info) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto showDialog =
        requireEntry(plugin, FTzPlugInGetFormatSettingByDefaultDlg_1Entry, PTzERR_BAD_ARGUMENT, FTzERR_NO_SAVE_ENTRY);
    return showDialog ? showDialog(block, info, owner) : 0;
}
