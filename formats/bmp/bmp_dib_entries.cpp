// The header-less bitmap entries (an info header, the palette or masks, then the
// pixels, as the clipboard holds them), which the engine binds by name. They run the
// file reader's and writer's sessions without the 14-byte file header.
#include "formats/bmp/bitmora_entries.h"
#include "formats/bmp/bmp_read_session.h"
#include "formats/bmp/bmp_save_session.h"

FTZ_PLUGIN_ENTRY void* FTzBMPLoadDIBStart(_tagPTzIOSTREAM* stream, int* error)
{
    return bitmora::StartBmpRead(stream, nullptr, false, error);
}
FTZ_CHECK_ENTRY(FTzBMPLoadDIBStart);

FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBGetInfo(void* session, _tagFTzIMAGEINFO_1* info)
{
    return bitmora::GetBmpReadInfo(session, info);
}
FTZ_CHECK_ENTRY(FTzBMPLoadDIBGetInfo);

FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBSetCallBack(void* session, _tagFTzGETDATACALLBACK_1* callback)
{
    return bitmora::SetBmpReadCallBack(session, callback);
}
FTZ_CHECK_ENTRY(FTzBMPLoadDIBSetCallBack);

FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBLoading(void* session, uint8_t* percent)
{
    return bitmora::StepBmpRead(session, percent);
}
FTZ_CHECK_ENTRY(FTzBMPLoadDIBLoading);

FTZ_PLUGIN_ENTRY int FTzBMPLoadDIBEnd(void* session)
{
    return bitmora::EndBmpRead(session);
}
FTZ_CHECK_ENTRY(FTzBMPLoadDIBEnd);

FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSupportByFileInfo(const _tagFTzIMAGEINFO_1* info)
{
    return bitmora::BmpCanSave(info);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBSupportByFileInfo);

FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBFileInfoConvert(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target)
{
    return bitmora::ConvertBmpSaveInfo(source, target);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBFileInfoConvert);

FTZ_PLUGIN_ENTRY void* FTzBMPSaveDIBStart(_tagPTzIOSTREAM* stream, int* error)
{
    return bitmora::StartBmpSave(stream, nullptr, false, error);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBStart);

// The output depth follows the information: a header-less bitmap has no setting.
FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSetInfo(void* session, const _tagFTzIMAGEINFO_1* info)
{
    if (const int code = bitmora::SetBmpSaveInfo(session, info))
        return code;
    return bitmora::SetBmpSaveDepthFromInfo(session);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBSetInfo);

FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBSetCallBack(void* session, _tagFTzSAVEGETDATACALLBACK_1* callback)
{
    return bitmora::SetBmpSaveCallBack(session, callback);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBSetCallBack);

FTZ_PLUGIN_ENTRY int FTzBMPSaveDIB(void* session, uint8_t*)
{
    return bitmora::StepBmpSave(session);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIB);

FTZ_PLUGIN_ENTRY int FTzBMPSaveDIBEnd(void* session)
{
    return bitmora::EndBmpSave(session);
}
FTZ_CHECK_ENTRY(FTzBMPSaveDIBEnd);
