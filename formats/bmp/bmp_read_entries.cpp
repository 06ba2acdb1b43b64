// Bitmora's identity and read entries as Formick finds them by name: the plug-in ID
// 'rbmp', the format 'bmp ', the file-type strings, the content test and the read session.
#include <algorithm>

#include "base/error_codes.h"
#include "base/file_path.h"
#include "formats/bmp/bitmora_entries.h"
#include "formats/bmp/bmp_read_session.h"

namespace {

constexpr uint32_t PlugInID = PTzFourCC("rbmp");
constexpr uint32_t FormatCode = PTzFourCC("bmp ");
constexpr PTzChar Description[] = u"BMP File (*.BMP;*.RLE;*.DIB)";
constexpr PTzChar Patterns[] = u"*.BMP;*.RLE;*.DIB";

}  // namespace

FTZ_PLUGIN_ENTRY int FTzPlugInIsPlugIn()
{
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInIsPlugIn);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInRequestVersion()
{
    return FTzINTERFACE_VERSION;
}
FTZ_CHECK_ENTRY(FTzPlugInRequestVersion);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetID()
{
    return PlugInID;
}
FTZ_CHECK_ENTRY(FTzPlugInGetID);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFormat()
{
    return FormatCode;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFormat);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFlag()
{
    return FTzSUPPORT_LOAD | FTzSUPPORT_SAVE;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFlag);

FTZ_PLUGIN_ENTRY int FTzPlugInGetSupportDesc(PTzChar* buffer)
{
    if (!buffer)
        return PTzFail(FTzERR_BAD_HANDLE);
    std::fill(buffer, buffer + FTzDESC_UNITS, PTzChar(0));
    std::copy(std::begin(Description), std::end(Description), buffer);
    std::copy(std::begin(Patterns), std::end(Patterns), buffer + FTzDESC_HALF);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportDesc);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByFile(const _tagPTzFILE* file)
{
    if (!file)
        return PTzFailWithZero(FTzERR_BAD_HANDLE);
    return PTzMatchExt(file, Patterns);
}
FTZ_CHECK_ENTRY(FTzPlugInReadSupportByFile);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByStream(_tagPTzIOSTREAM* stream)
{
    return bitmora::BmpStreamIsBmp(stream);
}
FTZ_CHECK_ENTRY(FTzPlugInReadSupportByStream);

// One load mode, rows through the session; there is nothing to enumerate.
FTZ_PLUGIN_ENTRY void* FTzPlugInFindFirstLoadMode(uint32_t* mode)
{
    if (mode)
        *mode = FTzMODE_ROWS;
    return nullptr;
}
FTZ_CHECK_ENTRY(FTzPlugInFindFirstLoadMode);

FTZ_PLUGIN_ENTRY int FTzPlugInFindNextLoadMode(void*, uint32_t*)
{
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInFindNextLoadMode);

FTZ_PLUGIN_ENTRY int FTzPlugInCloseFindLoadMode(void*)
{
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInCloseFindLoadMode);

FTZ_PLUGIN_ENTRY void* FTzPlugInReadStart_1(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1* extInfo, int* error)
{
    return bitmora::StartBmpRead(stream, extInfo, true, error);
}
FTZ_CHECK_ENTRY(FTzPlugInReadStart_1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadGetInfo_1(void* session, _tagFTzIMAGEINFO_1* info)
{
    return bitmora::GetBmpReadInfo(session, info);
}
FTZ_CHECK_ENTRY(FTzPlugInReadGetInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSetCallBack_1(void* session, _tagFTzGETDATACALLBACK_1* callback)
{
    return bitmora::SetBmpReadCallBack(session, callback);
}
FTZ_CHECK_ENTRY(FTzPlugInReadSetCallBack_1);

FTZ_PLUGIN_ENTRY int FTzPlugInRead_1(void* session, uint8_t* percent)
{
    return bitmora::StepBmpRead(session, percent);
}
FTZ_CHECK_ENTRY(FTzPlugInRead_1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadEnd_1(void* session)
{
    return bitmora::EndBmpRead(session);
}
FTZ_CHECK_ENTRY(FTzPlugInReadEnd_1);
