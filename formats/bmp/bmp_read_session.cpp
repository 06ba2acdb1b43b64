// The BMP reader's session. Sizes from the headers are checked at start, with checked
// products, before anything is allocated; short pixel data never fails a step (missing rows
// and the rest of a cut run-length row are zeros).
#include "formats/bmp/bmp_read_session.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/bmp/bmp_bit_fields.h"
#include "formats/bmp/bmp_header.h"
#include "formats/bmp/bmp_rle.h"

namespace bitmora {

namespace {

enum class ReadState : uint32_t {
    ExtraData = 1,  // hand the bytes before the pixels to the extra-data callback
    Prepare = 2,    // seek to the pixels, allocate the row buffers
    Rows = 3,       // one row a step
    Done = 4,
};

struct ReadSession {
    ReadState state;
    _tagPTzIOSTREAM* stream;
    _tagFTzEXTINFOCALLBACK_1 extInfo;  // proc null: none given
    _tagFTzGETDATACALLBACK_1 callback;
    uint32_t pixelOffset;
    BmpInfoHeader header;
    uint32_t height;  // the header's height without its sign
    uint8_t* row;     // the file's row
    uint32_t rowBytes;
    uint8_t* wideRow;  // 16- and 32-bit rows widened to 24 bits
    uint32_t wideRowBytes;
    bool noPixels;  // the pixel offset cannot be reached: every row is 0
    uint32_t delivered;
    _tagPTzCOLORPALETTE palette;
    BmpChannelLayout channels;
    BmpRleCarry carry;
    BmpByteSource source;
};
static_assert(std::is_trivially_destructible_v<ReadSession>);

ReadSession* sessionOf(void* session)
{
    return static_cast<ReadSession*>(session);
}

void* failStart(int code, int* error)
{
    PTzSetLastError(code);
    if (error)
        *error = code;
    return nullptr;
}

bool isWide(const BmpInfoHeader& header)
{
    return header.bits == 16 || header.bits == 32;
}

bool isRunLength(const BmpInfoHeader& header)
{
    return header.compression == BmpCompressionRle8 || header.compression == BmpCompressionRle4;
}

// Refuses what the headers cannot describe safely: a compression that does not fit
// the bit count, a height of 0 or one whose sign cannot be dropped, and pictures or
// rows too large to deliver.
int checkPicture(const BmpInfoHeader& header)
{
    switch (header.compression) {
    case BmpCompressionNone:
    case BmpCompressionBitFields:
        break;
    case BmpCompressionRle8:
        if (header.bits != 8)
            return PTzFail(FTzERR_BAD_DATA);
        break;
    case BmpCompressionRle4:
        if (header.bits != 4)
            return PTzFail(FTzERR_BAD_DATA);
        break;
    default:
        return PTzFail(FTzERR_BAD_DATA);
    }
    if (header.height == 0 || header.height == INT32_MIN)
        return PTzFail(FTzERR_BAD_DATA);
    if (header.width <= 0)
        return 0;  // refused by the information, which reports it
    const uint64_t width = uint64_t(header.width);
    const uint64_t height = uint64_t(header.height < 0 ? -int64_t(header.height) : header.height);
    uint64_t pixels = 0;
    uint32_t rowBytes = 0;
    if (!PTzCheckedMul(width, height, &pixels, BmpMaxPixels) || !BmpRowBytes(width, header.bits, &rowBytes) ||
        (isWide(header) && !BmpRowBytes(width, 24, &rowBytes)))
        return PTzFail(FTzERR_BAD_DATA);
    return 0;
}

// The palette (stored as R, G, B) or the channel masks, which follow a 40-byte info
// header and are part of the later ones.
int readColours(ReadSession* s)
{
    const BmpInfoHeader& header = s->header;
    if (const uint32_t entries = BmpPaletteEntries(header)) {
        const uint32_t entryBytes = BmpPaletteEntryBytes(header);
        uint8_t bytes[256 * 4];
        if (PTzIOStreamRead(s->stream, bytes, entries * entryBytes) != entries * entryBytes)
            return PTzFail(FTzERR_SHORT_READ);
        s->palette.count = uint16_t(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* entry = bytes + i * entryBytes;
            s->palette.entries[i][0] = entry[2];
            s->palette.entries[i][1] = entry[1];
            s->palette.entries[i][2] = entry[0];
        }
    }
    if (BmpMasksFollowHeader(header)) {
        uint8_t bytes[BmpMaskBytes];
        if (PTzIOStreamRead(s->stream, bytes, BmpMaskBytes) != BmpMaskBytes)
            return PTzFail(FTzERR_SHORT_READ);
        const uint32_t masks[3] = {PTzReadLE32(bytes), PTzReadLE32(bytes + 4), PTzReadLE32(bytes + 8)};
        s->channels = BmpLayoutFromMasks(header.bits, masks);
    } else if (BmpHasMasks(header)) {
        s->channels = BmpLayoutFromMasks(header.bits, header.masks);
    } else if (isWide(header)) {
        s->channels = BmpDefaultLayout(header.bits);
    }
    return 0;
}

// Frees a block that may not have been allocated, leaving the last error alone.
void freeBlock(void* block)
{
    if (block)
        PTzPointFree(block);
}

bool deliverable(const BmpInfoHeader& header)
{
    return header.width > 0 && header.bits != 2;
}

// The stream size, as far as 32 bits reach.
uint32_t streamSize(_tagPTzIOSTREAM* stream)
{
    uint32_t high = 0;
    const uint32_t low = PTzIOStreamSize(stream, &high);
    return high != 0 ? UINT32_MAX : low;
}

// Hands the bytes between the current position and the pixels to the extra-data
// callback, never more than the stream holds.
int passExtraData(ReadSession* s)
{
    const uint32_t position = PTzIOStreamSeek(s->stream, 0, 1);
    const uint32_t end = std::min(s->pixelOffset, streamSize(s->stream));
    if (!s->extInfo.proc || position >= end)
        return 0;
    const uint32_t size = end - position;
    void* bytes = PTzPointNew(size);
    if (!bytes)
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    const uint32_t got = PTzIOStreamRead(s->stream, bytes, size);
    s->extInfo.proc(FTzEXTINFO_BMP_GAP, bytes, got, s->extInfo.user);
    PTzPointFree(bytes);
    return 0;
}

int prepareRows(ReadSession* s)
{
    if (!deliverable(s->header))
        return PTzFail(FTzERR_BAD_DATA);
    const uint32_t width = uint32_t(s->header.width);
    s->noPixels = PTzIOStreamSeek(s->stream, int32_t(std::min<uint32_t>(s->pixelOffset, INT32_MAX)), 0) !=
                  s->pixelOffset;
    // A step that failed for memory may be repeated: buffers already made are kept.
    if (!BmpRowBytes(width, s->header.bits, &s->rowBytes) ||
        (isWide(s->header) && !BmpRowBytes(width, 24, &s->wideRowBytes)))
        return PTzFail(FTzERR_BAD_DATA);
    if (!s->row && !(s->row = static_cast<uint8_t*>(PTzPointNew(s->rowBytes))))
        return PTzFail(PTzERR_OUT_OF_MEMORY);
    if (isWide(s->header)) {
        if (!s->wideRow && !(s->wideRow = static_cast<uint8_t*>(PTzPointNew(s->wideRowBytes))))
            return PTzFail(PTzERR_OUT_OF_MEMORY);
    }
    s->source.Reset(s->stream);
    return 0;
}

void produceRow(ReadSession* s)
{
    const uint32_t width = uint32_t(s->header.width);
    if (s->noPixels)
        std::memset(s->row, 0, s->rowBytes);
    else if (isRunLength(s->header))
        DecodeBmpRleRow(s->source, s->carry, s->row, width, s->header.bits);
    else if (PTzIOStreamRead(s->stream, s->row, s->rowBytes) != s->rowBytes)
        std::memset(s->row, 0, s->rowBytes);
    if (s->wideRow)
        WidenBmpRow(s->channels, s->row, s->wideRow, width);
}

int deliverRow(ReadSession* s, uint8_t* percent)
{
    if (!s->callback.proc)
        return PTzFail(FTzERR_BAD_HANDLE);
    produceRow(s);
    const bool wide = s->wideRow != nullptr;
    const uint16_t bits = wide ? 24 : s->header.bits;
    _tagPTzCOLORCONVERTBUFFER row{
        s->header.width,
        1,
        int32_t(wide ? s->wideRowBytes : s->rowBytes),
        bits == 24 ? PTzCOLORMODE_BGR : PTzCOLORMODE_RGB,
        uint8_t(bits),
        wide ? s->wideRow : s->row,
        bits <= 8 ? &s->palette : nullptr,
    };
    const uint32_t n = ++s->delivered;
    const uint32_t index = s->header.height < 0 ? n - 1 : s->height - n;
    *percent = uint8_t(uint64_t(n) * 100 / s->height);
    if (n == s->height)
        s->state = ReadState::Done;
    return s->callback.proc(index, 1, &row, s->callback.user);
}

// A step's result; a step that succeeded moves the session on to next.
int advance(ReadSession* s, int code, ReadState next)
{
    if (code == 0)
        s->state = next;
    return code;
}

}  // namespace

int BmpStreamIsBmp(_tagPTzIOSTREAM* stream)
{
    if (!stream)
        return PTzFailWithZero(FTzERR_BAD_HANDLE);
    uint32_t pixelOffset = 0;
    BmpInfoHeader header;
    return ReadBmpFileHeaders(stream, &pixelOffset, &header) == 0 ? 1 : 0;
}

void* StartBmpRead(_tagPTzIOSTREAM* stream, const _tagFTzEXTINFOCALLBACK_1* extInfo, bool fileHeader, int* error)
{
    if (!stream || !error)
        return failStart(FTzERR_BAD_HANDLE, error);
    uint32_t pixelOffset = 0;
    BmpInfoHeader header;
    int code = fileHeader ? ReadBmpFileHeaders(stream, &pixelOffset, &header) : ReadBmpDibHeader(stream, &header);
    if (code == 0)
        code = checkPicture(header);
    if (code != 0)
        return failStart(code, error);
    void* block = PTzPointNew(sizeof(ReadSession));
    if (!block)
        return failStart(PTzERR_OUT_OF_MEMORY, error);
    auto* s = new (block) ReadSession{};
    s->state = ReadState::ExtraData;
    s->stream = stream;
    if (extInfo)
        s->extInfo = *extInfo;
    s->header = header;
    s->height = uint32_t(header.height < 0 ? -header.height : header.height);
    if (const int colours = readColours(s)) {
        EndBmpRead(s);
        return failStart(colours, error);
    }
    // A header-less bitmap's pixels follow its palette or masks.
    s->pixelOffset = fileHeader ? pixelOffset
                                : header.size + BmpPaletteEntries(header) * BmpPaletteEntryBytes(header) +
                                      (BmpMasksFollowHeader(header) ? BmpMaskBytes : 0);
    *error = 0;
    return s;
}

int GetBmpReadInfo(void* session, _tagFTzIMAGEINFO_1* info)
{
    ReadSession* s = sessionOf(session);
    if (!s || !info)
        return PTzFail(FTzERR_BAD_HANDLE);
    const BmpInfoHeader& header = s->header;
    if (!deliverable(header))
        return PTzFail(FTzERR_BAD_DATA);
    _tagFTzIMAGEINFO_1 filled{};
    filled.width = header.width;
    filled.height = int32_t(s->height);
    filled.bits = isWide(header) ? 24 : header.bits;
    filled.mode = filled.bits == 24 ? PTzCOLORMODE_BGR : PTzCOLORMODE_RGB;
    filled.rowOrder = header.height < 0 ? 0 : 1;
    filled.xPelsPerMeter = header.xPelsPerMeter;
    filled.yPelsPerMeter = header.yPelsPerMeter;
    filled.paletteCount = s->palette.count;
    std::memcpy(filled.palette, s->palette.entries, sizeof(filled.palette));
    *info = filled;
    return 0;
}

int SetBmpReadCallBack(void* session, const _tagFTzGETDATACALLBACK_1* callback)
{
    if (!session || !callback)
        return PTzFail(FTzERR_BAD_HANDLE);
    sessionOf(session)->callback = *callback;
    return 0;
}

int StepBmpRead(void* session, uint8_t* percent)
{
    ReadSession* s = sessionOf(session);
    if (!s || !percent)
        return PTzFail(FTzERR_BAD_HANDLE);
    switch (s->state) {
    case ReadState::ExtraData:
        *percent = 0;
        return advance(s, passExtraData(s), ReadState::Prepare);
    case ReadState::Prepare:
        *percent = 0;
        return advance(s, prepareRows(s), ReadState::Rows);
    case ReadState::Rows:
        return deliverRow(s, percent);
    case ReadState::Done:
        return FTzSTEP_FINISHED;
    }
    return PTzFail(FTzERR_BAD_HANDLE);
}

int EndBmpRead(void* session)
{
    if (ReadSession* s = sessionOf(session)) {
        freeBlock(s->row);
        freeBlock(s->wideRow);
        PTzPointFree(s);
    }
    return 0;
}

}  // namespace bitmora
