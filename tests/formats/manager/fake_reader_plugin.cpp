// A small reader plug-in for the plug-in manager's tests. Its files are "FAKE", u32
// width, u32 height, then 1-bit rows of (width + 7) / 8 bytes, top row first; each step
// delivers up to four rows in one call.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/plugin_interface.h"

namespace {

constexpr int32_t MaxSide = 4096;
constexpr uint32_t RowsPerStep = 4;

struct ReadSession {
    _tagPTzIOSTREAM* stream;
    _tagFTzIMAGEINFO_1 info;
    _tagFTzGETDATACALLBACK_1 callback;
    _tagPTzCOLORPALETTE palette;
    uint32_t delivered;
    uint8_t rows[RowsPerStep][MaxSide / 8 + 4];
};

struct ModeFind {
    uint32_t given;
};

void* startSession(_tagPTzIOSTREAM* stream, int32_t resolution, int* error)
{
    uint8_t head[12] = {};
    PTzIOStreamSeek(stream, 0, 0);
    if (PTzIOStreamRead(stream, head, sizeof(head)) != sizeof(head) || std::memcmp(head, "FAKE", 4) != 0) {
        *error = FTzERR_BAD_DATA;
        return nullptr;
    }
    const auto side = [](uint32_t value) { return value >= 1 && value <= uint32_t(MaxSide); };
    if (!side(PTzReadLE32(head + 4)) || !side(PTzReadLE32(head + 8))) {
        *error = FTzERR_BAD_DATA;
        return nullptr;
    }
    auto* session = static_cast<ReadSession*>(PTzPointNew(sizeof(ReadSession)));
    if (!session) {
        *error = PTzERR_OUT_OF_MEMORY;
        return nullptr;
    }
    session->stream = stream;
    session->info.width = int32_t(PTzReadLE32(head + 4));
    session->info.height = int32_t(PTzReadLE32(head + 8));
    session->info.bits = 1;
    session->info.mode = PTzCOLORMODE_RGB;
    session->info.xPelsPerMeter = resolution;
    session->info.yPelsPerMeter = resolution;
    session->info.paletteCount = 2;
    const uint8_t colours[2][3] = {{10, 20, 30}, {200, 100, 50}};
    std::memcpy(session->info.palette, colours, sizeof(colours));
    session->palette.count = 2;
    std::memcpy(session->palette.entries, colours, sizeof(colours));
    *error = 0;
    return session;
}

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

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFormat()
{
    return PTzFourCC("fake");
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFormat);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportPriorty()
{
    return 0x2000;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportPriorty);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetSupportFlag()
{
    return FTzSUPPORT_LOAD;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportFlag);

FTZ_PLUGIN_ENTRY int FTzPlugInGetSupportDesc(PTzChar* buffer)
{
    if (!buffer)
        return PTzFail(FTzERR_BAD_HANDLE);
    std::u16string_view description = u"Fake File (*.FAK)";
    std::u16string_view patterns = u"*.FAK";
    std::copy(description.begin(), description.end(), buffer);
    std::copy(patterns.begin(), patterns.end(), buffer + FTzDESC_HALF);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInGetSupportDesc);

FTZ_PLUGIN_ENTRY uint32_t FTzPlugInGetID()
{
    return PTzFourCC("rfak");
}
FTZ_CHECK_ENTRY(FTzPlugInGetID);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByFile(const _tagPTzFILE* file)
{
    return file ? PTzMatchExt(file, u"*.FAK") : 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadSupportByFile);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSupportByStream(_tagPTzIOSTREAM* stream)
{
    char magic[4] = {};
    PTzIOStreamSeek(stream, 0, 0);
    return PTzIOStreamRead(stream, magic, 4) == 4 && std::memcmp(magic, "FAKE", 4) == 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadSupportByStream);

// Modes 1, then 8.
FTZ_PLUGIN_ENTRY void* FTzPlugInFindFirstLoadMode(uint32_t* mode)
{
    *mode = FTzMODE_ROWS;
    return PTzPointNew(sizeof(ModeFind));
}
FTZ_CHECK_ENTRY(FTzPlugInFindFirstLoadMode);

FTZ_PLUGIN_ENTRY int FTzPlugInFindNextLoadMode(void* find, uint32_t* mode)
{
    auto* state = static_cast<ModeFind*>(find);
    if (state->given++ != 0)
        return 0;
    *mode = FTzMODE_NATIVE;
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInFindNextLoadMode);

FTZ_PLUGIN_ENTRY int FTzPlugInCloseFindLoadMode(void* find)
{
    PTzPointFree(find);
    return 1;
}
FTZ_CHECK_ENTRY(FTzPlugInCloseFindLoadMode);

FTZ_PLUGIN_ENTRY void* FTzPlugInReadStart_1(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1*, int* error)
{
    return startSession(stream, 0, error);
}
FTZ_CHECK_ENTRY(FTzPlugInReadStart_1);

// Takes its resolution from a setting holding a u32; without a setting it starts
// nothing, so that the plain start is used instead.
FTZ_PLUGIN_ENTRY void* FTzPlugInReadStart_1V1(_tagPTzIOSTREAM* stream, _tagFTzEXTINFOCALLBACK_1*, void* setting,
                                              int* error)
{
    return setting ? startSession(stream, *static_cast<int32_t*>(setting), error) : nullptr;
}
FTZ_CHECK_ENTRY(FTzPlugInReadStart_1V1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadGetInfo_1(void* session, _tagFTzIMAGEINFO_1* info)
{
    *info = static_cast<ReadSession*>(session)->info;
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadGetInfo_1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadSetCallBack_1(void* session, _tagFTzGETDATACALLBACK_1* callback)
{
    static_cast<ReadSession*>(session)->callback = *callback;
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadSetCallBack_1);

FTZ_PLUGIN_ENTRY int FTzPlugInRead_1(void* handle, uint8_t* percent)
{
    auto* session = static_cast<ReadSession*>(handle);
    const uint32_t height = uint32_t(session->info.height);
    if (session->delivered == height)
        return FTzSTEP_FINISHED;
    const uint32_t rowBytes = (uint32_t(session->info.width) + 7) / 8;
    const uint32_t rows = std::min(RowsPerStep, height - session->delivered);
    for (uint32_t i = 0; i < rows; ++i)
        PTzIOStreamRead(session->stream, session->rows[i], rowBytes);
    _tagPTzCOLORCONVERTBUFFER buffer{session->info.width, int32_t(rows), int32_t(sizeof(session->rows[0])),
                                     PTzCOLORMODE_RGB,     1,           session->rows[0],
                                     &session->palette};
    const uint32_t first = session->delivered;
    session->delivered += rows;
    *percent = uint8_t(session->delivered * 100 / height);
    return session->callback.proc(first, rows, &buffer, session->callback.user);
}
FTZ_CHECK_ENTRY(FTzPlugInRead_1);

FTZ_PLUGIN_ENTRY int FTzPlugInReadEnd_1(void* session)
{
    PTzPointFree(session);
    return 0;
}
FTZ_CHECK_ENTRY(FTzPlugInReadEnd_1);
