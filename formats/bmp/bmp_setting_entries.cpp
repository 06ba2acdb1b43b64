// Bitmora's format-setting entries: a new setting block, its release, and the options
// dialog run on a copy that is written back only when the user confirms.
#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/bmp/bitmora_entries.h"
#include "formats/bmp/bmp_options_dialog.h"
#include "formats/bmp/bmp_setting.h"

FTZ_PLUGIN_ENTRY void* FTzPlugInCreateFormatSetting(void*)
{
    return bitmora::NewBmpSettingBlock();
}
FTZ_CHECK_ENTRY(FTzPlugInCreateFormatSetting);

FTZ_PLUGIN_ENTRY int FTzPlugInReleaseFormatSetting(void* block)
{
    if (!block)
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    return PTzHandleFree(block) == nullptr ? 1 : 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReleaseFormatSetting);

FTZ_PLUGIN_ENTRY int FTzPlugInGetFormatSettingByDefaultDlg_1(void* block, const _tagFTzIMAGEINFO_1* info, void* owner)
{
    _tagFTzBMPSETTING copy;
    if (!info || !bitmora::LoadBmpSetting(block, &copy))
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    if (!bitmora::AskBmpOptions(&copy, info->bits, owner))
        return 0;
    return bitmora::StoreBmpSetting(block, copy) ? 1 : 0;
}
FTZ_CHECK_ENTRY(FTzPlugInGetFormatSettingByDefaultDlg_1);
