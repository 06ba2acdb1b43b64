// The BMP writer: the bytes of its headers, palette and rows, the refusals that keep
// it from writing a file the reader would misread, and round trips through the reader.
#include <gtest/gtest.h>

#include "base/memory_test_hooks.h"
#include "formats/bmp/bitmora_entries.h"
#include "tests/formats/bmp/bmp_test_files.h"

namespace {

// width x height at 24 bits; pixel x of row y is (10y + x, 100 + x, 200 + y).
SourceImage Rgb24(int32_t width, int32_t height)
{
    SourceImage image;
    image.info.width = width;
    image.info.height = height;
    image.info.bits = 24;
    image.info.mode = PTzCOLORMODE_RGB;
    image.info.xPelsPerMeter = 3780;
    image.info.yPelsPerMeter = 2835;
    for (int32_t y = 0; y < height; ++y) {
        Bytes row(3 * size_t(width));
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = uint8_t(10 * y + x);
            row[3 * x + 1] = uint8_t(100 + x);
            row[3 * x + 2] = uint8_t(200 + y);
        }
        image.rows.push_back(row);
    }
    return image;
}

// An indexed image whose rows are the given packed bytes, with count palette entries.
SourceImage Indexed(uint16_t bits, int32_t width, std::vector<Bytes> rows, uint16_t count)
{
    SourceImage image;
    image.info.width = width;
    image.info.height = int32_t(rows.size());
    image.info.bits = bits;
    image.info.mode = PTzCOLORMODE_RGB;
    image.info.paletteCount = count;
    for (int i = 0; i < 256; ++i) {
        image.info.palette[i][0] = uint8_t(i);
        image.info.palette[i][1] = uint8_t(255 - i);
        image.info.palette[i][2] = 7;
    }
    image.rows = std::move(rows);
    return image;
}

uint32_t U32(const Bytes& file, size_t at)
{
    return PTzReadLE32(file.data() + at);
}

TEST(BmpWriter, Writes24BitRowsBottomUp)
{
    const SaveOutcome saved = SaveBmp(Rgb24(3, 2), Setting(24));
    ASSERT_EQ(saved.results.back(), 2001);
    const Bytes& file = saved.file;
    ASSERT_EQ(file.size(), 54u + 24u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(int32_t(U32(file, 22)), 2);
    EXPECT_EQ(PTzReadLE16(file.data() + 26), 1);
    EXPECT_EQ(PTzReadLE16(file.data() + 28), 24);
    EXPECT_EQ(U32(file, 30), 0u);   // compression
    EXPECT_EQ(U32(file, 34), 24u);  // image size
    EXPECT_EQ(U32(file, 38), 3780u);
    EXPECT_EQ(U32(file, 46), 0u);   // colours used
    // Row 1 first, as B, G, R, padded to 12 bytes.
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 66), (Bytes{201, 100, 10, 201, 101, 11, 201, 102, 12, 0, 0, 0}));
    EXPECT_EQ(file[66], 200);
}

TEST(BmpWriter, FlipWritesRowZeroFirstUnderANegativeHeight)
{
    const SaveOutcome saved = SaveBmp(Rgb24(3, 2), Setting(24, 0, 1));
    ASSERT_EQ(saved.results.back(), 2001);
    EXPECT_EQ(int32_t(U32(saved.file, 22)), -2);
    EXPECT_EQ(saved.file[54], 200);
    EXPECT_EQ(U32(saved.file, 34), 24u);
}

TEST(BmpWriter, IndexedPalettesFollowTheDepth)
{
    // A 1-bit image: two entries, B, G, R, 0.
    SaveOutcome saved = SaveBmp(Indexed(1, 8, {{0x81}}, 2), Setting(1));
    ASSERT_EQ(saved.results.back(), 2001);
    EXPECT_EQ(U32(saved.file, 46), 2u);
    EXPECT_EQ(U32(saved.file, 10), 54u + 8u);
    EXPECT_EQ(Bytes(saved.file.begin() + 58, saved.file.begin() + 62), (Bytes{7, 254, 1, 0}));
    EXPECT_EQ(saved.file[62], 0x81);
    // More entries than the depth holds: only 2^depth are written.
    saved = SaveBmp(Indexed(1, 8, {{0x81}}, 200), Setting(1));
    EXPECT_EQ(U32(saved.file, 46), 2u);
    EXPECT_EQ(U32(saved.file, 10), 54u + 8u);
    // No count: 2^depth.
    saved = SaveBmp(Indexed(4, 2, {{0x12}}, 0), Setting(4));
    EXPECT_EQ(U32(saved.file, 46), 16u);
    EXPECT_EQ(U32(saved.file, 10), 54u + 64u);
}

TEST(BmpWriter, FourBitsSavedAtEightWriteOneBytePerPixel)
{
    const SaveOutcome saved = SaveBmp(Indexed(4, 3, {{0x12, 0x30}}, 16), Setting(8));
    ASSERT_EQ(saved.results.back(), 2001);
    EXPECT_EQ(PTzReadLE16(saved.file.data() + 28), 8);
    EXPECT_EQ(U32(saved.file, 46), 16u);
    const size_t pixels = 54 + 64;
    EXPECT_EQ(U32(saved.file, 10), pixels);
    EXPECT_EQ(Bytes(saved.file.begin() + pixels, saved.file.end()), (Bytes{1, 2, 3, 0}));
}

TEST(BmpWriter, SixteenAndThirtyTwoBitsPackTheChannels)
{
    SourceImage image = Rgb24(1, 1);
    image.rows = {{0xFF, 0x80, 0x08}};
    SaveOutcome saved = SaveBmp(image, Setting(16));
    EXPECT_EQ(PTzReadLE16(saved.file.data() + 54), 0x7C00 | 0x10 << 5 | 0x01);
    EXPECT_EQ(U32(saved.file, 30), 0u);
    saved = SaveBmp(image, Setting(32));
    EXPECT_EQ(U32(saved.file, 54), 0xFF8008u);
}

TEST(BmpWriter, Os2HeadersAreTwelveBytesWithFullPalettes)
{
    SaveOutcome saved = SaveBmp(Indexed(8, 2, {{3, 4}}, 4), Setting(8, 1));
    ASSERT_EQ(saved.results.back(), 2001);
    EXPECT_EQ(U32(saved.file, 14), 12u);
    EXPECT_EQ(U32(saved.file, 10), 26u + 256u * 3u);
    EXPECT_EQ(Bytes(saved.file.begin() + 26, saved.file.begin() + 29), (Bytes{7, 255, 0}));
    // Flip cannot be said in an OS/2 header: rows stay bottom-up.
    saved = SaveBmp(Rgb24(1, 2), Setting(24, 1, 1));
    EXPECT_EQ(PTzReadLE16(saved.file.data() + 20), 2);
    EXPECT_EQ(saved.file[26], 201);
}

TEST(BmpWriter, TheCompressFlagNeverReachesTheHeader)
{
    const SaveOutcome saved = SaveBmp(Indexed(8, 3, {{1, 2, 3}, {4, 5, 6}}, 8), Setting(8, 0, 0, 1));
    ASSERT_EQ(saved.results.back(), 2001);
    EXPECT_EQ(U32(saved.file, 30), 0u);
    EXPECT_EQ(U32(saved.file, 34), 8u);
    EXPECT_EQ(saved.file.size(), 54u + 32u + 8u);
}

TEST(BmpWriter, RefusesWhatItCannotWriteBeforeWritingAnything)
{
    const struct {
        uint16_t bits;
        _tagPTzCOLORMODE mode;
        uint32_t depth;
        uint32_t os2;
        int32_t width;
        int32_t height;
    } cases[] = {
        {8, PTzCOLORMODE_RGB, 24, 0, 2, 2},           {24, PTzCOLORMODE_RGB, 8, 0, 2, 2},
        {4, PTzCOLORMODE_RGB, 1, 0, 2, 2},            {24, PTzCOLORMODE_BGR, 24, 0, 2, 2},
        {24, PTzCOLORMODE_RGB, 24, 0, 0, 2},          {24, PTzCOLORMODE_RGB, 24, 0, 2, -1},
        {24, PTzCOLORMODE_RGB, 24, 0, 0x7FFFFFFF, 0x7FFFFFFF},
        {24, PTzCOLORMODE_RGB, 24, 1, 70000, 1},      {24, PTzCOLORMODE_RGB, 32, 0, 0x7FFFFFFE, 1},
        {24, PTzCOLORMODE_RGB, 24, 0, 40000, 40000},
    };
    for (const auto& c : cases) {
        SourceImage image = Rgb24(1, 1);
        image.info.bits = c.bits;
        image.info.mode = c.mode;
        image.info.width = c.width;
        image.info.height = c.height;
        image.info.paletteCount = 2;
        const SaveOutcome saved = SaveBmp(image, Setting(c.depth, c.os2));
        EXPECT_EQ(saved.results, std::vector<int>{-1}) << c.bits << " " << c.depth << " " << c.width;
        EXPECT_TRUE(saved.file.empty());
    }
}

TEST(BmpWriter, AStreamTooSmallNeverEndsInSuccess)
{
    const SaveOutcome whole = SaveBmp(Rgb24(3, 2), Setting(24));
    for (uint32_t capacity = 0; capacity < whole.file.size(); ++capacity) {
        const SaveOutcome cut = SaveBmp(Rgb24(3, 2), Setting(24), true, capacity);
        EXPECT_EQ(cut.results.back(), -1) << capacity;
        EXPECT_EQ(PTzGetLastError(), -1);
    }
}

TEST(BmpWriter, CallbackFailuresAreTheStepsResult)
{
    SourceImage image = Rgb24(2, 2);
    image.rows.pop_back();  // row 1, written first, cannot be supplied
    EXPECT_EQ(SaveBmp(image, Setting(24)).results.back(), -99);

    _tagFTzSAVEEXTINFOCALLBACK_1 failing{[](uint32_t, void**, uint32_t*, void*) {
                                             PTzSetLastError(0);
                                             return -7;
                                         },
                                         nullptr};
    EXPECT_EQ(SaveBmp(Rgb24(1, 1), Setting(24), true, 1024, &failing).results, (std::vector<int>{0, -7}));
}

TEST(BmpWriter, ExtraDataGoesBetweenTheColoursAndThePixels)
{
    _tagFTzSAVEEXTINFOCALLBACK_1 extra{[](uint32_t kind, void** data, uint32_t* size, void*) {
                                           static char bytes[] = "xyz";
                                           *data = bytes;
                                           *size = kind == 1 ? 3 : 0;
                                           return 0;
                                       },
                                       nullptr};
    const SaveOutcome saved = SaveBmp(Rgb24(1, 1), Setting(24), true, 1024, &extra);
    EXPECT_EQ(U32(saved.file, 10), 57u);
    EXPECT_EQ(Bytes(saved.file.begin() + 54, saved.file.begin() + 57), (Bytes{'x', 'y', 'z'}));
    EXPECT_EQ(U32(saved.file, 2), saved.file.size());

    // A callback that leaves a code of its own stored: a short write after it still
    // reports the stream's code.
    _tagFTzSAVEEXTINFOCALLBACK_1 noisy{[](uint32_t kind, void** data, uint32_t* size, void*) {
                                           static char bytes[] = "xyz";
                                           PTzSetLastError(-7);
                                           *data = bytes;
                                           *size = kind == 1 ? 3 : 0;
                                           return 0;
                                       },
                                       nullptr};
    EXPECT_EQ(SaveBmp(Rgb24(1, 1), Setting(24), true, 55, &noisy).results.back(), -1);
}

TEST(BmpWriter, SessionCallsCheckTheirArguments)
{
    Bytes block(64);
    MemStream stream(block);
    int error = 0;
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(FTzPlugInSaveStart_1(stream.get(), nullptr, &error), nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(error, -51);
    EXPECT_EQ(FTzPlugInSaveStart_1(nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(error, -1);
    void* session = FTzPlugInSaveStart_1(stream.get(), nullptr, &error);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(FTzPlugInSaveSetFormatSetting_1(session, nullptr), -1);
    EXPECT_EQ(FTzPlugInSaveSetInfo_1(session, nullptr), -1);
    EXPECT_EQ(FTzPlugInSave_1(nullptr, nullptr), -1);
    EXPECT_EQ(FTzPlugInSaveEnd_1(nullptr), -1);
    EXPECT_EQ(FTzPlugInSaveEnd_1(session), 0);
}

TEST(BmpSaveInfo, TheSaveCheckAndTheConversion)
{
    _tagFTzIMAGEINFO_1 info{};
    info.width = 4;
    info.height = 4;
    info.mode = PTzCOLORMODE_RGB;
    info.bits = 24;
    EXPECT_EQ(FTzPlugInSaveSupportByFileInfo_1(&info), 1);
    info.bits = 8;
    EXPECT_EQ(FTzPlugInSaveSupportByFileInfo_1(&info), 0);  // no palette
    info.paletteCount = 3;
    EXPECT_EQ(FTzPlugInSaveSupportByFileInfo_1(&info), 1);
    info.mode = PTzCOLORMODE_GRAY;
    EXPECT_EQ(FTzPlugInSaveSupportByFileInfo_1(&info), 0);
    EXPECT_EQ(FTzPlugInSaveSupportByFileInfo_1(nullptr), 0);

    _tagFTzIMAGEINFO_1 converted{};
    info.bits = 4;
    info.paletteCount = 0;
    ASSERT_EQ(FTzPlugInSaveFileInfoConvert_1(&info, &converted), 1);
    EXPECT_EQ(converted.mode, PTzCOLORMODE_RGB);
    EXPECT_EQ(converted.paletteCount, 16);
    info.bits = 32;
    info.width = -3;
    ASSERT_EQ(FTzPlugInSaveFileInfoConvert_1(&info, &converted), 1);
    EXPECT_EQ(converted.bits, 24);
    EXPECT_EQ(converted.width, 0x7FFFFFFF);
    EXPECT_EQ(converted.height, 0x7FFFFFFF);
    EXPECT_EQ(FTzPlugInSaveFileInfoConvert_1(nullptr, &converted), 0);
    EXPECT_EQ(FTzPlugInGetSaveMode(nullptr), 1u);
}

// What the writer saves, the reader gives back.
TEST(BmpRoundTrip, RowsComeBackAsTheyWereSaved)
{
    const struct {
        _tagFTzBMPSETTING setting;
        uint32_t rowOrder;
    } settings[] = {{Setting(24), 1}, {Setting(24, 0, 1), 0}, {Setting(24, 1), 1}};
    const SourceImage image = Rgb24(5, 3);
    for (const auto& s : settings) {
        const ReadOutcome read = ReadBmp(SaveBmp(image, s.setting).file);
        ASSERT_EQ(read.lastStep, 2001);
        EXPECT_EQ(uint32_t(read.info.rowOrder), s.rowOrder);
        for (uint32_t y = 0; y < 3; ++y) {
            Bytes rgb = read.Row(y);
            rgb.resize(15);
            PTzConvertBGRtoRGB(rgb.data(), 5);
            EXPECT_EQ(rgb, image.rows[y]) << y;
        }
    }
}

TEST(BmpRoundTrip, IndexedImagesKeepIndexesAndPalette)
{
    for (uint32_t os2 : {0u, 1u}) {
        const SourceImage image = Indexed(4, 3, {{0x12, 0x30}, {0x45, 0x60}}, 7);
        const ReadOutcome read = ReadBmp(SaveBmp(image, Setting(8, os2)).file);
        ASSERT_EQ(read.lastStep, 2001);
        EXPECT_EQ(read.info.bits, 8);
        EXPECT_EQ(read.info.paletteCount, os2 ? 256 : 7);
        EXPECT_EQ(read.info.palette[6][0], 6);
        EXPECT_EQ(read.info.palette[6][1], 249);
        EXPECT_EQ(Bytes(read.Row(0).begin(), read.Row(0).begin() + 3), (Bytes{1, 2, 3}));
        EXPECT_EQ(Bytes(read.Row(1).begin(), read.Row(1).begin() + 3), (Bytes{4, 5, 6}));
    }
}

TEST(BmpRoundTrip, PackedDepthsKeepTheirTopBits)
{
    SourceImage image = Rgb24(2, 1);
    image.rows = {{0xFF, 0x87, 0x08, 0x12, 0x34, 0x56}};
    const ReadOutcome sixteen = ReadBmp(SaveBmp(image, Setting(16)).file);
    EXPECT_EQ(Bytes(sixteen.Row(0).begin(), sixteen.Row(0).begin() + 6), (Bytes{0x08, 0x80, 0xF8, 0x50, 0x30, 0x10}));
    const ReadOutcome thirtyTwo = ReadBmp(SaveBmp(image, Setting(32)).file);
    EXPECT_EQ(Bytes(thirtyTwo.Row(0).begin(), thirtyTwo.Row(0).begin() + 6), (Bytes{0x08, 0x87, 0xFF, 0x56, 0x34, 0x12}));
}

}  // namespace
