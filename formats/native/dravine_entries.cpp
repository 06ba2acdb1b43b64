// Dravine's entries: the plug-in ID 'dwyk', the format 'dwk ', the file-type strings,
// the name and content tests, and the native mode for loading and saving.
#include <algorithm>

#include "base/error_codes.h"
#include "base/file_path.h"
#include "formats/native/dravine_entries.h"

namespace {

constexpr uint32_t PlugInID = PTzFourCC("dwyk");
constexpr uint32_t FormatCode = PTzFourCC("dwk ");
constexpr PTzChar Description[] = u"Quorvel File Format(*.DWK)";
constexpr PTzChar Patterns[] = u"*.DWK";

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

// Only the magic is looked at: a version the engine cannot read still names the
// file as native, so that the engine reports the version rather than "unknown format".
FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByStream(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return PTzFailWithZero(FTzERR_BAD_HANDLE);
    PTzIOStreamSeek(stream, 0, 0);
    uint8_t head[4];
    if (PTzIOStreamRead(stream, head, sizeof(head)) != sizeof(head))
        return 0;
    return PTzReadLE32(head) == DRAVINE_MAGIC ? 1 : 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadSupportByStream);

// One load mode, the engine's own reader; there is nothing to enumerate.
FTZ_PLUGIN_ENTRY void* FTzPlugInFindFirstLoadMode(uint32_t* mode)
{
    if (mode)
        *mode = FTzMODE_NATIVE;
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

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSaveMode(void*)
{
    return FTzMODE_NATIVE;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSaveMode);
