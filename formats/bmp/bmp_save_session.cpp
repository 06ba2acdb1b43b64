// The BMP writer's session. The image is checked against the setting before the first
// byte is written, so a save either writes a file the reader takes back or fails; a short
// write fails the step with the code the stream stored for it (the system's own number
// from a file), or -1 from a stream that stores none.
#include "formats/bmp/bmp_save_session.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/bmp/bmp_bit_fields.h"
#include "formats/bmp/bmp_header.h"

namespace bitmora {

namespace {

enum class SaveState : uint32_t {
    Headers = 0,    // info header (after a blank file header) and palette
    ExtraData = 1,  // the extra-data callback's bytes
    Prepare = 2,    // row buffers
    Rows = 3,       // one row a step
    Patch = 4,      // the file header with the file size and pixel offset
    Done = 5,
};

// The largest side accepted; 0x7FFFFFFF is what information conversion makes of a
// negative side.
constexpr int32_t MaxSide = 0x7FFFFFFE;
constexpr int32_t MaxOs2Side = 0xFFFF;

struct SaveSession {
    SaveState state;
    _tagPTzIOSTREAM* stream;
    _tagFTzSAVEEXTINFOCALLBACK_1 extInfo;  // proc null: none given
    _tagFTzSAVEGETDATACALLBACK_1 callback;
    bool fileHeader;
    _tagFTzBMPSETTING setting;
    _tagFTzIMAGEINFO_1 info;
    bool flip;  // rows top-down: never with an OS/2 header, which cannot say so
    uint32_t pixelOffset;
    uint8_t* sourceRow;  // the row as the callback fills it
    uint32_t sourceRowBytes;
    uint8_t* outRow;  // the converted row, when the depth differs from the source's
    uint32_t outRowBytes;
    int32_t currentRow;
    _tagPTzCOLORPALETTE palette;  // handed to the row callback with indexed rows
    BmpPackLayout packing;
};
static_assert(std::is_trivially_destructible_v<SaveSession>);

// A step's short write or failed seek. Each step starts with no code stored, so a code
// found is the stream's for this write.
int streamFailed()
{
    return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
}

// Writes what a caller's callback handed over: the callback may have left a code of its
// own stored, which a short write must not report as the stream's.
int writeAfterCallback(SaveSession* s, const void* data, uint32_t size)
{
    PTzSetLastError(0);
    return PTzIOStreamWrite(s->stream, data, size) == size ? 0 : streamFailed();
}

SaveSession* sessionOf(void* session)
{
    return static_cast<SaveSession*>(session);
}

uint32_t depthOf(const SaveSession* s)
{
    return s->setting.depth & 0xFFFF;
}

void freeBlock(void* block)
{
    if (block)
        PTzPointFree(block);
}

// Whether the setting can write this image: the depth suits the source rows, the sides
// fit the header, and the row and image sizes fit their fields.
bool writable(const SaveSession* s)
{
    const _tagFTzIMAGEINFO_1& info = s->info;
    const uint32_t depth = depthOf(s);
    const int32_t maxSide = s->setting.os2 ? MaxOs2Side : MaxSide;
    if (info.mode != PTzCOLORMODE_RGB || !BmpDepthSuitsSource(depth, info.bits))
        return false;
    if (info.width <= 0 || info.height <= 0 || info.width > maxSide || info.height > maxSide)
        return false;
    uint32_t outRow = 0, sourceRow = 0;
    uint64_t imageBytes = 0;
    return BmpRowBytes(uint64_t(info.width), depth, &outRow) &&
           BmpRowBytes(uint64_t(info.width), info.bits, &sourceRow) &&
           PTzCheckedMul(outRow, uint64_t(info.height), &imageBytes, UINT32_MAX);
}

// Palette entries written for indexed output: the image's count, at most 2^depth, or
// 2^depth without a count.
uint32_t paletteEntries(const SaveSession* s)
{
    const uint32_t full = 1u << depthOf(s);
    return s->info.paletteCount == 0 ? full : std::min<uint32_t>(s->info.paletteCount, full);
}

bool writePalette(SaveSession* s)
{
    const uint32_t used = paletteEntries(s);
    // An OS/2 header has no colours-used field: readers take 2^depth entries.
    const uint32_t entries = s->setting.os2 ? 1u << depthOf(s) : used;
    const uint32_t entryBytes = s->setting.os2 ? 3 : 4;
    uint8_t bytes[256 * 4] = {};
    for (uint32_t i = 0; i < used; ++i) {
        bytes[i * entryBytes] = s->info.palette[i][2];
        bytes[i * entryBytes + 1] = s->info.palette[i][1];
        bytes[i * entryBytes + 2] = s->info.palette[i][0];
    }
    return PTzIOStreamWrite(s->stream, bytes, entries * entryBytes) == entries * entryBytes;
}

int writeHeaders(SaveSession* s)
{
    if (!writable(s))
        return PTzFail(PTzERR_BAD_ARGUMENT);
    const _tagFTzIMAGEINFO_1& info = s->info;
    const uint32_t depth = depthOf(s);
    s->flip = s->setting.flip && !s->setting.os2;
    BmpInfoHeader header{};
    header.size = s->setting.os2 ? BmpOs2HeaderBytes : BmpWindowsHeaderBytes;
    header.width = info.width;
    header.height = s->flip ? -info.height : info.height;
    header.planes = 1;
    header.bits = uint16_t(depth);
    header.compression = BmpCompressionNone;
    uint32_t outRow = 0;
    BmpRowBytes(uint64_t(info.width), depth, &outRow);  // writable() checked it and the image size
    header.imageSize = outRow * uint32_t(info.height);
    header.xPelsPerMeter = info.xPelsPerMeter;
    header.yPelsPerMeter = info.yPelsPerMeter;
    header.coloursUsed = depth <= 8 ? paletteEntries(s) : 0;
    if (PTzIOStreamSeek(s->stream, 0, 0) != 0 || (s->fileHeader && !WriteBmpFileHeader(s->stream, 0, 0)) ||
        !WriteBmpInfoHeader(s->stream, header) || (depth <= 8 && !writePalette(s)))
        return streamFailed();
    return 0;
}

int writeExtraData(SaveSession* s)
{
    if (!s->extInfo.proc)
        return 0;
    void* data = nullptr;
    uint32_t size = 0;
    if (const int result = s->extInfo.proc(FTzEXTINFO_BMP_GAP, &data, &size, s->extInfo.user))
        return PTzFail(result);
    if (size > 0 && !data)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return size > 0 ? writeAfterCallback(s, data, size) : 0;
}

int prepareRows(SaveSession* s)
{
    const uint32_t depth = depthOf(s);
    s->pixelOffset = PTzIOStreamSeek(s->stream, 0, 1);
    // A step that failed for memory may be repeated: buffers already made are kept.
    if (!BmpRowBytes(uint32_t(s->info.width), s->info.bits, &s->sourceRowBytes) ||
        !BmpRowBytes(uint32_t(s->info.width), depth, &s->outRowBytes))
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (!s->sourceRow && !(s->sourceRow = static_cast<uint8_t*>(PTzPointNew(s->sourceRowBytes))))
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    if (depth != s->info.bits || depth == 24) {
        if (!s->outRow && !(s->outRow = static_cast<uint8_t*>(PTzPointNew(s->outRowBytes))))
            return PTzFail(PTzERR_OUT_OF_MEMORY);
    }
    if (depth == 16 || depth == 32)
        s->packing = BmpWriteLayout(depth);
    if (s->info.bits <= 8) {
        s->palette.count = std::min<uint16_t>(s->info.paletteCount, 256);
        std::memcpy(s->palette.entries, s->info.palette, sizeof(s->palette.entries));
    }
    s->currentRow = s->flip ? 0 : s->info.height - 1;
    return 0;
}

// The source row at the output depth: B, G, R from R, G, B; 16 or 32 bits packed; one
// byte a pixel from 4-bit indexes; else the source row itself.
const uint8_t* convertRow(SaveSession* s)
{
    const uint32_t width = uint32_t(s->info.width);
    const uint8_t* source = s->sourceRow;
    uint8_t* out = s->outRow;
    switch (depthOf(s)) {
    case 24:
        for (uint32_t x = 0; x < width; ++x, source += 3, out += 3) {
            out[0] = source[2];
            out[1] = source[1];
            out[2] = source[0];
        }
        return s->outRow;
    case 16:
    case 32:
        PackBmpRow(s->packing, source, out, width);
        return s->outRow;
    case 8:
        if (s->info.bits != 4)
            return source;
        for (uint32_t x = 0; x < width; ++x)
            out[x] = (x & 1) ? source[x / 2] & 0x0F : source[x / 2] >> 4;
        return s->outRow;
    default:
        return source;
    }
}

int writeRow(SaveSession* s, int32_t index)
{
    if (!s->callback.proc)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    _tagPTzCOLORCONVERTBUFFER row{
        s->info.width,
        1,
        int32_t(s->sourceRowBytes),
        s->info.mode,
        uint8_t(s->info.bits),
        s->sourceRow,
        s->info.bits <= 8 ? &s->palette : nullptr,
    };
    if (const int result = s->callback.proc(uint32_t(index), 1, &row, s->callback.user))
        return result;
    return writeAfterCallback(s, convertRow(s), s->outRowBytes);
}

// Top-down with flip, else bottom-up; a flipped save takes one more step to notice the end.
int writeNextRow(SaveSession* s)
{
    if (s->flip && s->currentRow == s->info.height) {
        s->state = SaveState::Patch;
        return 0;
    }
    if (const int code = writeRow(s, s->currentRow))
        return code;
    if (s->flip)
        ++s->currentRow;
    else if (s->currentRow-- == 0)
        s->state = SaveState::Patch;
    return 0;
}

int patchFileHeader(SaveSession* s)
{
    const uint32_t fileSize = PTzIOStreamSeek(s->stream, 0, 1);
    if (PTzIOStreamSeek(s->stream, 0, 0) != 0 || !WriteBmpFileHeader(s->stream, fileSize, s->pixelOffset))
        return streamFailed();
    return 0;
}

// A step's result; a step that succeeded moves the session on to next.
int advance(SaveSession* s, int code, SaveState next)
{
    if (code == 0)
        s->state = next;
    return code;
}

}  // namespace

int BmpCanSave(const _tagFTzIMAGEINFO_1* info)
{
    if (!info)
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    const bool indexed = (info->bits == 1 || info->bits == 4 || info->bits == 8) && info->paletteCount != 0;
    return info->mode == PTzCOLORMODE_RGB && (info->bits == 24 || indexed) && info->width >= 0 && info->height >= 0;
}

int ConvertBmpSaveInfo(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target)
{
    if (!source || !target)
        return PTzFailWithZero(PTzERR_BAD_ARGUMENT);
    _tagFTzIMAGEINFO_1 info = *source;
    info.mode = PTzCOLORMODE_RGB;
    if (info.bits == 1 || info.bits == 4 || info.bits == 8) {
        if (info.paletteCount == 0)
            info.paletteCount = uint16_t(1u << info.bits);
    } else {
        info.bits = 24;
    }
    if (info.width < 0 || info.height < 0) {
        info.width = 0x7FFFFFFF;
        info.height = 0x7FFFFFFF;
    }
    *target = info;
    return 1;
}

void* StartBmpSave(_tagPTzIOSTREAM* stream, const _tagFTzSAVEEXTINFOCALLBACK_1* extInfo, bool fileHeader,
                   int* error)
{
    const auto fail = [error](int code) -> void* {
        PTzSetLastError(code);
        if (error)
            *error = code;
        return nullptr;
    };
    if (!stream)
        return fail(PTzERR_BAD_ARGUMENT);
    void* block = PTzPointNew(sizeof(SaveSession));
    if (!block)
        return fail(PTzERR_OUT_OF_MEMORY);
    auto* s = new (block) SaveSession{};
    s->state = SaveState::Headers;
    s->stream = stream;
    if (extInfo)
        s->extInfo = *extInfo;
    s->fileHeader = fileHeader;
    s->setting = BmpNewSetting;
    if (error)
        *error = 0;
    return s;
}

int SetBmpSaveSetting(void* session, const _tagFTzBMPSETTING& setting)
{
    SaveSession* s = sessionOf(session);
    if (!s)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    s->setting.os2 = setting.os2;
    s->setting.depth = setting.depth & 0xFFFF;
    s->setting.compress = setting.compress;
    s->setting.flip = setting.flip;
    return 0;
}

int SetBmpSaveInfo(void* session, const _tagFTzIMAGEINFO_1* info)
{
    if (!session || !info)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    sessionOf(session)->info = *info;
    return 0;
}

int SetBmpSaveCallBack(void* session, const _tagFTzSAVEGETDATACALLBACK_1* callback)
{
    if (!session || !callback)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    sessionOf(session)->callback = *callback;
    return 0;
}

int SetBmpSaveDepthFromInfo(void* session)
{
    SaveSession* s = sessionOf(session);
    if (!s)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    s->setting.depth = s->info.bits;
    return 0;
}

int StepBmpSave(void* session)
{
    SaveSession* s = sessionOf(session);
    if (!s)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    PTzSetLastError(0);
    switch (s->state) {
    case SaveState::Headers:
        return advance(s, writeHeaders(s), SaveState::ExtraData);
    case SaveState::ExtraData:
        return advance(s, writeExtraData(s), SaveState::Prepare);
    case SaveState::Prepare:
        return advance(s, prepareRows(s), SaveState::Rows);
    case SaveState::Rows:
        return writeNextRow(s);
    case SaveState::Patch:
        // A header-less bitmap has no file header to patch.
        if (!s->fileHeader)
            return FTzSTEP_FINISHED;
        return advance(s, patchFileHeader(s), SaveState::Done);
    case SaveState::Done:
        return FTzSTEP_FINISHED;
    }
    return PTzFail(PTzERR_BAD_ARGUMENT);
}

int EndBmpSave(void* session)
{
    SaveSession* s = sessionOf(session);
    if (!s)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    freeBlock(s->sourceRow);
    freeBlock(s->outRow);
    PTzPointFree(s);
    return 0;
}

}  // namespace bitmora
