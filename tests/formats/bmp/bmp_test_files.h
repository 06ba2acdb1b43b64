// Test helpers for Bitmora: a small BMP builder (file or header-less form, any header
// field, palette, masks, a gap before the pixels), and drivers that run a whole read
// or save session over a memory stream and collect what it delivered or wrote.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/mem_stream.h"
#include "formats/bmp/bmp_read_session.h"
#include "formats/bmp/bmp_save_session.h"

using Bytes = std::vector<uint8_t>;
using Rgb = std::array<uint8_t, 3>;

struct TestBmp {
    bool fileHeader = true;
    bool os2 = false;
    // A Windows header's size; from 52 bytes on it holds the masks, then filler bytes.
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    int32_t xPelsPerMeter = 2835;
    int32_t yPelsPerMeter = 2835;
    std::vector<Rgb> palette;        // written as given (B, G, R and, for Windows, 0)
    std::vector<uint32_t> masks;     // written as given, after the palette or in the header
    Bytes gap;                       // between the colours and the pixels
    std::optional<uint32_t> pixelOffset;  // else where the pixels really start
    Bytes pixels;
};

inline void PutLE16(Bytes& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void PutLE32(Bytes& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

inline Bytes BuildBmp(const TestBmp& bmp)
{
    Bytes out;
    if (bmp.fileHeader) {
        out = {'B', 'M'};
        PutLE32(out, 0);
        PutLE32(out, 0);
        PutLE32(out, 0);  // pixel offset, patched below
    }
    if (bmp.os2) {
        PutLE32(out, 12);
        PutLE16(out, uint16_t(bmp.width));
        PutLE16(out, uint16_t(bmp.height));
        PutLE16(out, 1);
        PutLE16(out, bmp.bits);
    } else {
        const size_t headerEnd = out.size() + bmp.headerSize;
        PutLE32(out, bmp.headerSize);
        PutLE32(out, uint32_t(bmp.width));
        PutLE32(out, uint32_t(bmp.height));
        PutLE16(out, 1);
        PutLE16(out, bmp.bits);
        PutLE32(out, bmp.compression);
        PutLE32(out, uint32_t(bmp.pixels.size()));
        PutLE32(out, uint32_t(bmp.xPelsPerMeter));
        PutLE32(out, uint32_t(bmp.yPelsPerMeter));
        PutLE32(out, bmp.coloursUsed);
        PutLE32(out, 0);
        for (size_t i = 0; i < 3 && bmp.headerSize >= 52; ++i)
            PutLE32(out, i < bmp.masks.size() ? bmp.masks[i] : 0);
        while (out.size() < headerEnd)
            out.push_back(0xA5);
    }
    for (const Rgb& entry : bmp.palette) {
        out.insert(out.end(), {entry[2], entry[1], entry[0]});
        if (!bmp.os2)
            out.push_back(0);
    }
    for (size_t i = 0; i < bmp.masks.size() && (bmp.os2 || bmp.headerSize < 52); ++i)
        PutLE32(out, bmp.masks[i]);
    out.insert(out.end(), bmp.gap.begin(), bmp.gap.end());
    if (bmp.fileHeader) {
        const uint32_t offset = bmp.pixelOffset.value_or(uint32_t(out.size()));
        PTzWriteLE32(out.data() + 10, offset);
    }
    out.insert(out.end(), bmp.pixels.begin(), bmp.pixels.end());
    if (bmp.fileHeader)
        PTzWriteLE32(out.data() + 2, uint32_t(out.size()));
    return out;
}

// A memory stream over a vector, destroyed with the holder.
class MemStream {
public:
    // An empty vector has no data pointer; the stream then stands over a byte of its own.
    explicit MemStream(Bytes& bytes)
        : m_stream(PTzCreateMemStream(bytes.empty() ? &m_none : bytes.data(), uint32_t(bytes.size())))
    {
    }
    ~MemStream() { PTzDestoryMemStream(m_stream); }
    MemStream(const MemStream&) = delete;
    MemStream& operator=(const MemStream&) = delete;

    _tagPTzIOSTREAM* get() const { return m_stream; }

private:
    uint8_t m_none = 0;
    _tagPTzIOSTREAM* m_stream;
};

// One delivered row as the callback saw it.
struct DeliveredRow {
    uint32_t index;
    int32_t width;
    int32_t stride;
    _tagPTzCOLORMODE mode;
    uint8_t bits;
    int paletteCount;  // -1 without a palette
    Bytes bytes;       // stride bytes
};

struct ReadOutcome {
    int startError = 0;
    int infoResult = 0;
    _tagFTzIMAGEINFO_1 info{};
    std::vector<DeliveredRow> rows;  // in delivery order
    std::vector<int> percents;
    int lastStep = 0;  // the first nonzero step result
    Bytes extraData;
    int extraCalls = 0;

    // The pixels of row index (its stride bytes), as delivered last.
    const Bytes& Row(uint32_t index) const
    {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            if (it->index == index)
                return it->bytes;
        static const Bytes none;
        ADD_FAILURE() << "row " << index << " was not delivered";
        return none;
    }
};

inline int CollectRow(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user)
{
    auto* outcome = static_cast<ReadOutcome*>(user);
    EXPECT_EQ(rows, 1u);
    EXPECT_EQ(data->height, 1);
    outcome->rows.push_back({row, data->width, data->stride, data->mode, data->bits,
                             data->palette ? int(data->palette->count) : -1,
                             Bytes(data->data, data->data + data->stride)});
    return 0;
}

inline int CollectExtra(uint32_t kind, const void* data, uint32_t size, void* user)
{
    auto* outcome = static_cast<ReadOutcome*>(user);
    EXPECT_EQ(kind, 1u);
    ++outcome->extraCalls;
    const auto* bytes = static_cast<const uint8_t*>(data);
    outcome->extraData.assign(bytes, bytes + size);
    return 0;
}

// Runs a whole read session (file or header-less) and collects what it delivered.
inline ReadOutcome ReadBmp(Bytes bytes, bool fileHeader = true, bool withExtra = false)
{
    ReadOutcome outcome;
    MemStream stream(bytes);
    _tagFTzEXTINFOCALLBACK_1 extra{CollectExtra, &outcome};
    void* session = bitmora::StartBmpRead(stream.get(), withExtra ? &extra : nullptr, fileHeader,
                                          &outcome.startError);
    if (!session)
        return outcome;
    outcome.infoResult = bitmora::GetBmpReadInfo(session, &outcome.info);
    _tagFTzGETDATACALLBACK_1 callback{CollectRow, &outcome};
    EXPECT_EQ(bitmora::SetBmpReadCallBack(session, &callback), 0);
    for (int guard = 0; guard < 100000 && outcome.lastStep == 0; ++guard) {
        uint8_t percent = 255;
        outcome.lastStep = bitmora::StepBmpRead(session, &percent);
        outcome.percents.push_back(percent);
    }
    EXPECT_EQ(bitmora::EndBmpRead(session), 0);
    return outcome;
}

// The sizes of the later Windows info headers, and pictures of the kinds files with
// them hold (24 bits either row order, a palette, 16- and 32-bit bit fields whose
// masks differ from the defaults), each with a 40-byte header.
constexpr uint32_t LaterHeaderSizes[] = {52, 56, 108, 124};

inline std::vector<TestBmp> LaterHeaderPictures()
{
    TestBmp bottomUp;
    bottomUp.width = 2;
    bottomUp.height = 2;
    bottomUp.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    TestBmp topDown = bottomUp;
    topDown.height = -2;
    TestBmp indexed;
    indexed.bits = 8;
    indexed.width = 3;
    indexed.height = 2;
    indexed.coloursUsed = 3;
    indexed.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    indexed.pixels = {0, 1, 2, 0, 2, 1, 0, 0};
    TestBmp sixteen;
    sixteen.bits = 16;
    sixteen.width = 2;
    sixteen.height = -2;
    sixteen.compression = 3;
    sixteen.masks = {0xF800, 0x07E0, 0x001F};
    sixteen.pixels = {0xE0, 0x07, 0x1F, 0xF8, 0x00, 0xF8, 0xFF, 0xFF};
    TestBmp thirtyTwo;
    thirtyTwo.bits = 32;
    thirtyTwo.width = 1;
    thirtyTwo.height = 2;
    thirtyTwo.compression = 3;
    thirtyTwo.masks = {0xFF, 0xFF00, 0xFF000000};
    thirtyTwo.pixels = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    return {bottomUp, topDown, indexed, sixteen, thirtyTwo};
}

// The same description and the same rows in the same order.
inline void ExpectSameRead(const ReadOutcome& read, const ReadOutcome& expected)
{
    EXPECT_EQ(read.startError, expected.startError);
    EXPECT_EQ(read.lastStep, expected.lastStep);
    EXPECT_EQ(read.info.width, expected.info.width);
    EXPECT_EQ(read.info.height, expected.info.height);
    EXPECT_EQ(read.info.bits, expected.info.bits);
    EXPECT_EQ(read.info.mode, expected.info.mode);
    EXPECT_EQ(read.info.rowOrder, expected.info.rowOrder);
    EXPECT_EQ(read.info.paletteCount, expected.info.paletteCount);
    EXPECT_EQ(std::memcmp(read.info.palette, expected.info.palette, sizeof(read.info.palette)), 0);
    ASSERT_EQ(read.rows.size(), expected.rows.size());
    for (size_t i = 0; i < read.rows.size(); ++i) {
        EXPECT_EQ(read.rows[i].index, expected.rows[i].index);
        EXPECT_EQ(read.rows[i].bytes, expected.rows[i].bytes);
    }
}

// An image to save: rows as the save callback hands them out (top row first).
struct SourceImage {
    _tagFTzIMAGEINFO_1 info{};
    std::vector<Bytes> rows;
};

inline int SupplyRow(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user)
{
    const auto* image = static_cast<const SourceImage*>(user);
    EXPECT_EQ(rows, 1u);
    if (row >= image->rows.size())
        return -99;
    const Bytes& bytes = image->rows[row];
    EXPECT_LE(bytes.size(), size_t(data->stride));
    std::copy(bytes.begin(), bytes.end(), data->data);
    return 0;
}

struct SaveOutcome {
    std::vector<int> results;  // every step's result, the last nonzero
    Bytes file;                // the bytes up to the furthest position a step reached
};

// Runs a whole save session into a memory block of capacity bytes.
inline SaveOutcome SaveBmp(const SourceImage& image, const _tagFTzBMPSETTING& setting, bool fileHeader = true,
                           uint32_t capacity = 1 << 16, _tagFTzSAVEEXTINFOCALLBACK_1* extra = nullptr)
{
    SaveOutcome outcome;
    Bytes block(capacity, 0xEE);
    uint32_t end = 0;
    {
        MemStream stream(block);
        int error = 1;
        void* session = bitmora::StartBmpSave(stream.get(), extra, fileHeader, &error);
        EXPECT_NE(session, nullptr);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(bitmora::SetBmpSaveSetting(session, setting), 0);
        EXPECT_EQ(bitmora::SetBmpSaveInfo(session, &image.info), 0);
        if (!fileHeader) {
            EXPECT_EQ(bitmora::SetBmpSaveDepthFromInfo(session), 0);
        }
        _tagFTzSAVEGETDATACALLBACK_1 callback{SupplyRow, const_cast<SourceImage*>(&image)};
        EXPECT_EQ(bitmora::SetBmpSaveCallBack(session, &callback), 0);
        do {
            outcome.results.push_back(bitmora::StepBmpSave(session));
            end = std::max(end, PTzIOStreamSeek(stream.get(), 0, 1));
        } while (outcome.results.back() == 0 && outcome.results.size() < 100000);
        EXPECT_EQ(bitmora::EndBmpSave(session), 0);
    }
    block.resize(std::min<size_t>(end, block.size()));
    outcome.file = block;
    return outcome;
}

inline _tagFTzBMPSETTING Setting(uint32_t depth, uint32_t os2 = 0, uint32_t flip = 0, uint32_t compress = 0)
{
    return {os2, depth, compress, flip, {}};
}
