// Bitmora's save entries as Formick finds them by name: the save check, information
// conversion and the save session.
#include "base/error_codes.h"
#include "formats/bmp/bitmora_entries.h"
#include "formats/bmp/bmp_save_session.h"
#include "formats/bmp/bmp_setting.h"

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSaveMode(void*)
{
    return FTzMODE_ROWS;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSaveMode);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSupportByFileInfo_1(const _tagFTzIMAGEINFO_1* info)
{
    return bitmora::BmpCanSave(info);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSupportByFileInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveFileInfoConvert_1(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target)
{
    return bitmora::ConvertBmpSaveInfo(source, target);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveFileInfoConvert_1);

FTZ_PLUGIN_ENTRY void* FTzPlugInSaveStart_1(_tagPTzIOSTREAM* stream, _tagFTzSAVEEXTINFOCALLBACK_1* extInfo,
                                            int* error)
{
    return bitmora::StartBmpSave(stream, extInfo, true, error);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveStart_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetFormatSetting_1(void* session, void* block)
{
    _tagFTzBMPSETTING setting;
    if (!session || !bitmora::LoadBmpSetting(block, &setting))
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return bitmora::SetBmpSaveSetting(session, setting);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetFormatSetting_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetInfo_1(void* session, const _tagFTzIMAGEINFO_1* info)
{
    return bitmora::SetBmpSaveInfo(session, info);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveSetCallBack_1(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback)
{
    return bitmora::SetBmpSaveCallBack(session, callback);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveSetCallBack_1);

// The writer reports no progress.
FTZ_PLUGIN_ENTRY int FTzPlugInSave_1(void* session, uint8_t*)
{
    return bitmora::StepBmpSave(session);
}
FTZ_CHECK_ENTRY(FTzPlugInSave_1);

FTZ_PLUGIN_ENTRY int FTzPlugInSaveEnd_1(void* session)
{
    return bitmora::EndBmpSave(session);
}
FTZ_CHECK_ENTRY(FTzPlugInSaveEnd_1);
