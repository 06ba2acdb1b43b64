// The BMP reader: identity entries, every depth and header kind, row order, and the
// refusals that keep hostile headers from overflowing sizes, shifts or buffers.
#include <gtest/gtest.h>

#include <string>

#include "base/memory_test_hooks.h"
#include "formats/bmp/bmp_read_session.h"
#include "formats/bmp/bitmora_entries.h"
#include "tests/base/temp_folder.h"
#include "tests/formats/bmp/bmp_test_files.h"

namespace {

TestBmp Pixels24(int32_t width, int32_t height, Bytes pixels)
{
    TestBmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels = std::move(pixels);
    return bmp;
}

TEST(BmpIdentity, NamesItselfAndItsFiles)
{
    EXPECT_EQ(FTzPlugInGetID(), 0x72626D70u);
    EXPECT_EQ(FTzPlugInGetSupportFormat(), 0x626D7020u);
    EXPECT_EQ(FTzPlugInGetSupportFlag(), 3u);
    PTzChar desc[256];
    std::fill(std::begin(desc), std::end(desc), u'x');
    ASSERT_EQ(FTzPlugInGetSupportDesc(desc), 0);
    EXPECT_EQ(std::u16string(desc), u"BMP File (*.BMP;*.RLE;*.DIB)");
    EXPECT_EQ(std::u16string(desc + 128), u"*.BMP;*.RLE;*.DIB");
    EXPECT_EQ(FTzPlugInGetSupportDesc(nullptr), -2001);

    const _tagPTzFILE rle = PathRecord("/a/picture.rle");
    const _tagPTzFILE png = PathRecord("/a/picture.png");
    EXPECT_NE(FTzPlugInReadSupportByFile(&rle), 0);
    EXPECT_EQ(FTzPlugInReadSupportByFile(&png), 0);
    EXPECT_EQ(FTzPlugInReadSupportByFile(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), -2001);

    uint32_t mode = 0;
    EXPECT_EQ(FTzPlugInFindFirstLoadMode(&mode), nullptr);
    EXPECT_EQ(mode, 1u);
}

TEST(BmpContentTest, KnowsHeadersItCanRead)
{
    Bytes good = BuildBmp(Pixels24(1, 1, Bytes(4)));
    Bytes notBmp = good;
    notBmp[0] = 'X';
    TestBmp twoBit;
    twoBit.bits = 2;
    twoBit.palette = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    twoBit.pixels = Bytes(4);
    Bytes twoBitFile = BuildBmp(twoBit);
    EXPECT_EQ(FTzPlugInReadSupportByStream(MemStream(good).get()), 1);
    EXPECT_EQ(FTzPlugInReadSupportByStream(MemStream(notBmp).get()), 0);
    EXPECT_EQ(FTzPlugInReadSupportByStream(nullptr), 0);
    // A 2-bit file passes the content test, but its information is refused.
    EXPECT_EQ(FTzPlugInReadSupportByStream(MemStream(twoBitFile).get()), 1);
    const ReadOutcome read = ReadBmp(twoBitFile);
    EXPECT_EQ(read.infoResult, -2201);
    EXPECT_EQ(read.lastStep, -2201);
    EXPECT_TRUE(read.rows.empty());
}

TEST(BmpHeaders, ShortOrUnknownHeadersAreRefused)
{
    Bytes file = BuildBmp(Pixels24(1, 1, Bytes(4)));
    EXPECT_EQ(ReadBmp(Bytes(file.begin(), file.begin() + 13)).startError, -2207);
    EXPECT_EQ(ReadBmp(Bytes(file.begin(), file.begin() + 40)).startError, -2207);
    Bytes os2v2 = file;
    os2v2[14] = 64;
    EXPECT_EQ(ReadBmp(os2v2).startError, -2201);
    Bytes threeBits = file;
    threeBits[28] = 3;
    EXPECT_EQ(ReadBmp(threeBits).startError, -2201);

    TestBmp shortPalette;
    shortPalette.bits = 8;
    shortPalette.coloursUsed = 4;
    shortPalette.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    EXPECT_EQ(ReadBmp(BuildBmp(shortPalette)).startError, -2207);
    TestBmp shortMasks;
    shortMasks.bits = 16;
    shortMasks.compression = 3;
    shortMasks.masks = {0xF800, 0x7E0};
    EXPECT_EQ(ReadBmp(BuildBmp(shortMasks)).startError, -2207);
}

TEST(BmpLaterHeaders, ReadAsTheSamePictureWithAFortyByteHeader)
{
    for (const TestBmp& picture : LaterHeaderPictures()) {
        const ReadOutcome expected = ReadBmp(BuildBmp(picture));
        ASSERT_EQ(expected.lastStep, 2001);
        for (uint32_t size : LaterHeaderSizes) {
            SCOPED_TRACE(testing::Message() << picture.bits << " bits, header " << size);
            TestBmp later = picture;
            later.headerSize = size;
            ExpectSameRead(ReadBmp(BuildBmp(later)), expected);
        }
    }
}

TEST(BmpLaterHeaders, OnlyTheirSizesAndTheReadCompressionsAreTaken)
{
    const struct {
        uint32_t size;
        uint32_t compression;
        int recognised;
        int expected;
    } cases[] = {{124, 0, 1, 0},     {124, 3, 1, 0},     {124, 4, 1, -2201}, {124, 5, 1, -2201},
                 {124, 6, 1, -2201}, {52, 3, 1, 0},      {41, 0, 0, -2201},  {100, 0, 0, -2201}};
    for (const auto& c : cases) {
        TestBmp bmp;
        bmp.headerSize = c.size;
        bmp.bits = 32;
        bmp.compression = c.compression;
        bmp.masks = {0xFF0000, 0xFF00, 0xFF};
        bmp.pixels = Bytes(4);
        Bytes file = BuildBmp(bmp);
        EXPECT_EQ(FTzPlugInReadSupportByStream(MemStream(file).get()), c.recognised) << c.size << " " << c.compression;
        EXPECT_EQ(ReadBmp(file).startError, c.expected) << c.size << " " << c.compression;
    }
}

TEST(BmpLaterHeaders, AHeaderCutByTheEndOfTheFileIsShort)
{
    TestBmp bmp;
    bmp.headerSize = 124;
    bmp.pixels = Bytes(4);
    const Bytes file = BuildBmp(bmp);
    for (size_t end : {14 + 40, 14 + 52, 14 + 123})
        EXPECT_EQ(ReadBmp(Bytes(file.begin(), file.begin() + ptrdiff_t(end))).startError, -2207) << end;
}

TEST(BmpRowOrder, BottomUpDeliversTheLastRowFirst)
{
    // 2 x 2, rows of 8 bytes; the file's first row is the picture's bottom row.
    const ReadOutcome read = ReadBmp(BuildBmp(Pixels24(2, 2, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})));
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].index, 1u);
    EXPECT_EQ(read.rows[1].index, 0u);
    EXPECT_EQ(read.Row(1), (Bytes{1, 2, 3, 4, 5, 6, 0, 0}));
    EXPECT_EQ(read.rows[0].stride, 8);
    EXPECT_EQ(read.rows[0].mode, PTzCOLORMODE_BGR);
    EXPECT_EQ(read.rows[0].paletteCount, -1);
    EXPECT_EQ(read.info.rowOrder, 1);
    EXPECT_EQ(read.info.mode, PTzCOLORMODE_BGR);
    EXPECT_EQ(read.info.xPelsPerMeter, 2835);
    EXPECT_EQ(std::vector<int>(read.percents.begin(), read.percents.begin() + 4), (std::vector<int>{0, 0, 50, 100}));
    EXPECT_EQ(read.lastStep, 2001);
}

TEST(BmpRowOrder, TopDownDeliversTheFirstRowFirst)
{
    const ReadOutcome read = ReadBmp(BuildBmp(Pixels24(1, -3, {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0})));
    ASSERT_EQ(read.rows.size(), 3u);
    for (uint32_t n = 0; n < 3; ++n) {
        EXPECT_EQ(read.rows[n].index, n);
        EXPECT_EQ(read.rows[n].bytes[0], n + 1);
    }
    EXPECT_EQ(read.info.height, 3);
    EXPECT_EQ(read.info.rowOrder, 0);
}

TEST(BmpDepths, IndexedRowsComeWithTheirPalette)
{
    for (uint16_t bits : {1, 4, 8}) {
        TestBmp bmp;
        bmp.bits = bits;
        bmp.width = 3;
        bmp.coloursUsed = 2;
        bmp.palette = {{10, 20, 30}, {40, 50, 60}};
        bmp.pixels = {0xA5, 0x5A, 0x11, 0x22};
        const ReadOutcome read = ReadBmp(BuildBmp(bmp));
        ASSERT_EQ(read.rows.size(), 1u) << bits;
        EXPECT_EQ(read.rows[0].bytes, bmp.pixels) << bits;
        EXPECT_EQ(read.rows[0].bits, bits);
        EXPECT_EQ(read.rows[0].mode, PTzCOLORMODE_RGB);
        EXPECT_EQ(read.rows[0].paletteCount, 2);
        EXPECT_EQ(read.info.bits, bits);
        EXPECT_EQ(read.info.paletteCount, 2);
        EXPECT_EQ(read.info.palette[1][0], 40);
        EXPECT_EQ(read.info.palette[1][2], 60);
    }
}

TEST(BmpDepths, ColoursUsedBeyondTheDepthMeansAFullPalette)
{
    TestBmp bmp;
    bmp.bits = 1;
    bmp.coloursUsed = 3;
    bmp.palette = {{1, 1, 1}, {2, 2, 2}};
    bmp.pixels = Bytes(4);
    EXPECT_EQ(ReadBmp(BuildBmp(bmp)).info.paletteCount, 2);
}

TEST(BmpDepths, Os2PaletteEntriesAreThreeBytes)
{
    TestBmp bmp;
    bmp.os2 = true;
    bmp.bits = 1;
    bmp.width = 8;
    bmp.palette = {{255, 0, 0}, {0, 0, 255}};
    bmp.pixels = {0x81, 0, 0, 0};
    const ReadOutcome read = ReadBmp(BuildBmp(bmp));
    ASSERT_EQ(read.infoResult, 0);
    EXPECT_EQ(read.info.paletteCount, 2);
    EXPECT_EQ(read.info.palette[0][0], 255);
    EXPECT_EQ(read.info.palette[1][2], 255);
    EXPECT_EQ(read.info.rowOrder, 1);
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0].bytes[0], 0x81);
}

TEST(BmpDepths, SixteenBitsWithoutMasksAre555)
{
    TestBmp bmp;
    bmp.bits = 16;
    bmp.width = 2;
    bmp.pixels = {0xFF, 0x7F, 0x1F, 0x7C};  // white, then red 31 with blue 31
    const ReadOutcome read = ReadBmp(BuildBmp(bmp));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.info.bits, 24);
    EXPECT_EQ(read.info.mode, PTzCOLORMODE_BGR);
    EXPECT_EQ(read.rows[0].bits, 24);
    EXPECT_EQ(read.rows[0].stride, 8);
    EXPECT_EQ(Bytes(read.rows[0].bytes.begin(), read.rows[0].bytes.begin() + 6), (Bytes{248, 248, 248, 248, 0, 248}));
}

TEST(BmpDepths, SixteenBitsWith565Masks)
{
    TestBmp bmp;
    bmp.bits = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = {0xE0, 0x07, 0, 0};  // green 63
    const ReadOutcome read = ReadBmp(BuildBmp(bmp));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(Bytes(read.rows[0].bytes.begin(), read.rows[0].bytes.begin() + 3), (Bytes{0, 252, 0}));
}

TEST(BmpDepths, ThirtyTwoBitsWithAndWithoutMasks)
{
    TestBmp plain;
    plain.bits = 32;
    plain.pixels = {0x11, 0x22, 0x33, 0x44};  // 0x44332211: red 0x33, green 0x22, blue 0x11
    ReadOutcome read = ReadBmp(BuildBmp(plain));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(Bytes(read.rows[0].bytes.begin(), read.rows[0].bytes.begin() + 3), (Bytes{0x11, 0x22, 0x33}));

    TestBmp masked = plain;
    masked.compression = 3;
    masked.masks = {0xFF, 0xFF00, 0xFF000000};  // red low byte, blue high byte
    read = ReadBmp(BuildBmp(masked));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(Bytes(read.rows[0].bytes.begin(), read.rows[0].bytes.begin() + 3), (Bytes{0x44, 0x22, 0x11}));
}

TEST(BmpDepths, ZeroOrOversizedMasksGiveDefinedChannels)
{
    TestBmp bmp;
    bmp.bits = 16;
    bmp.compression = 3;
    bmp.masks = {0, 0x000FFFFF, 0xFFFFFFFF};  // no red; more bits than a 16-bit pixel holds
    bmp.pixels = {0xCD, 0xAB, 0, 0};
    const ReadOutcome read = ReadBmp(BuildBmp(bmp));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0].bytes[2], 0);     // red: zero mask
    EXPECT_EQ(read.rows[0].bytes[1], 0xAB);  // left shift clamped to 0: the high byte
    EXPECT_EQ(read.rows[0].bytes[0], 0xAB);
}

TEST(BmpRefusals, ZeroAndUnsignableHeightsAreRefusedAtStart)
{
    for (int32_t height : {0, INT32_MIN}) {
        const ReadOutcome read = ReadBmp(BuildBmp(Pixels24(1, height, Bytes(4))));
        EXPECT_EQ(read.startError, -2201) << height;
    }
}

TEST(BmpRefusals, CompressionMustFitTheDepth)
{
    const struct {
        uint16_t bits;
        uint32_t compression;
        int expected;
    } cases[] = {{8, 1, 0}, {4, 2, 0}, {1, 1, -2201}, {4, 1, -2201}, {1, 2, -2201}, {8, 2, -2201},
                 {24, 1, -2201}, {24, 4, -2201}, {8, 5, -2201}, {32, 3, 0}};
    for (const auto& c : cases) {
        TestBmp bmp;
        bmp.bits = c.bits;
        bmp.compression = c.compression;
        bmp.masks = c.compression == 3 ? std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF} : std::vector<uint32_t>{};
        if (c.bits <= 8) {
            bmp.coloursUsed = 1;
            bmp.palette = {{0, 0, 0}};
        }
        bmp.pixels = Bytes(8);
        EXPECT_EQ(ReadBmp(BuildBmp(bmp)).startError, c.expected) << c.bits << " " << c.compression;
    }
}

TEST(BmpRefusals, PicturesAboveTheSizeLimitAreRefused)
{
    TestBmp bmp;
    bmp.bits = 1;
    bmp.width = 32769;
    bmp.height = 32768;
    bmp.palette = {{0, 0, 0}, {255, 255, 255}};
    EXPECT_EQ(ReadBmp(BuildBmp(bmp)).startError, -2201);
    bmp.width = 0x7FFFFFFF;
    bmp.height = -1;
    EXPECT_EQ(ReadBmp(BuildBmp(bmp)).startError, -2201);
    // 2^30 pixels in one row of 32 bits: the pixel count passes, the row does not fit.
    TestBmp wide;
    wide.bits = 32;
    wide.width = 1 << 30;
    EXPECT_EQ(ReadBmp(BuildBmp(wide)).startError, -2201);
}

// A tiny file that declares 2^30 pixels starts; its rows arrive as zeros.
TEST(BmpRefusals, RowsPastTheDataArriveAsZeros)
{
    TestBmp bmp;
    bmp.bits = 1;
    bmp.width = 32768;
    bmp.height = 32768;
    bmp.palette = {{0, 0, 0}, {255, 255, 255}};
    bmp.pixels = Bytes(5000, 0xFF);
    Bytes file = BuildBmp(bmp);
    MemStream stream(file);
    int error = 1;
    void* session = bitmora::StartBmpRead(stream.get(), nullptr, true, &error);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(error, 0);
    ReadOutcome outcome;
    _tagFTzGETDATACALLBACK_1 callback{CollectRow, &outcome};
    bitmora::SetBmpReadCallBack(session, &callback);
    uint8_t percent = 0;
    for (int step = 0; step < 4; ++step)
        EXPECT_EQ(bitmora::StepBmpRead(session, &percent), 0);
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0].bytes, Bytes(4096, 0xFF));
    EXPECT_EQ(outcome.rows[1].bytes, Bytes(4096, 0));  // 904 bytes left: short, so all zero
    bitmora::EndBmpRead(session);
}

TEST(BmpRefusals, MemoryFailuresGiveMinus51)
{
    Bytes file = BuildBmp(Pixels24(4000, 1, Bytes(12000)));
    MemStream stream(file);
    int error = 0;
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(bitmora::StartBmpRead(stream.get(), nullptr, true, &error), nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(error, -51);

    void* session = bitmora::StartBmpRead(stream.get(), nullptr, true, &error);
    ASSERT_NE(session, nullptr);
    uint8_t percent = 0;
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), 0);
    PTzTestSetAllocationCeiling(10000);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), -51);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), 0);  // the step can be repeated
    bitmora::EndBmpRead(session);
}

TEST(BmpRefusals, NonPositiveWidthIsRefusedByTheInformation)
{
    const ReadOutcome read = ReadBmp(BuildBmp(Pixels24(-5, 1, Bytes(4))));
    EXPECT_EQ(read.startError, 0);
    EXPECT_EQ(read.infoResult, -2201);
    EXPECT_EQ(read.lastStep, -2201);
}

TEST(BmpRefusals, MissingCallbackOrPointersGiveMinus2001)
{
    Bytes file = BuildBmp(Pixels24(1, 1, Bytes(4)));
    MemStream stream(file);
    EXPECT_EQ(bitmora::StartBmpRead(stream.get(), nullptr, true, nullptr), nullptr);
    EXPECT_EQ(PTzGetLastError(), -2001);
    int error = 0;
    EXPECT_EQ(bitmora::StartBmpRead(nullptr, nullptr, true, &error), nullptr);
    EXPECT_EQ(error, -2001);
    void* session = bitmora::StartBmpRead(stream.get(), nullptr, true, &error);
    ASSERT_NE(session, nullptr);
    uint8_t percent = 0;
    EXPECT_EQ(bitmora::StepBmpRead(session, nullptr), -2001);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), 0);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), 0);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), -2001);  // no row callback
    EXPECT_EQ(bitmora::StepBmpRead(nullptr, &percent), -2001);
    EXPECT_EQ(bitmora::GetBmpReadInfo(session, nullptr), -2001);
    EXPECT_EQ(bitmora::EndBmpRead(session), 0);
    EXPECT_EQ(bitmora::EndBmpRead(nullptr), 0);
}

TEST(BmpPixelData, ShortRowsAreZeroAndTheStepGoesOn)
{
    const ReadOutcome read = ReadBmp(BuildBmp(Pixels24(1, 2, {9, 9, 9, 0, 8, 8})));
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.Row(1), (Bytes{9, 9, 9, 0}));
    EXPECT_EQ(read.Row(0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(read.lastStep, 2001);
}

TEST(BmpPixelData, TheCallbackResultIsTheStepResult)
{
    Bytes file = BuildBmp(Pixels24(1, 2, Bytes(8)));
    MemStream stream(file);
    int error = 0;
    void* session = bitmora::StartBmpRead(stream.get(), nullptr, true, &error);
    _tagFTzGETDATACALLBACK_1 callback{[](uint32_t, uint32_t, _tagPTzCOLORCONVERTBUFFER*, void*) { return -77; },
                                      nullptr};
    bitmora::SetBmpReadCallBack(session, &callback);
    uint8_t percent = 0;
    bitmora::StepBmpRead(session, &percent);
    bitmora::StepBmpRead(session, &percent);
    EXPECT_EQ(bitmora::StepBmpRead(session, &percent), -77);
    bitmora::EndBmpRead(session);
}

TEST(BmpExtraData, TheGapBeforeThePixelsIsHandedOver)
{
    TestBmp bmp = Pixels24(1, 1, {1, 2, 3, 0});
    bmp.gap = {'g', 'a', 'p'};
    const ReadOutcome read = ReadBmp(BuildBmp(bmp), true, true);
    EXPECT_EQ(read.extraCalls, 1);
    EXPECT_EQ(read.extraData, (Bytes{'g', 'a', 'p'}));
    EXPECT_EQ(read.Row(0), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(ReadBmp(BuildBmp(Pixels24(1, 1, Bytes(4))), true, true).extraCalls, 0);
}

TEST(BmpExtraData, AFarPixelOffsetIsCappedAtTheStreamSize)
{
    TestBmp bmp = Pixels24(1, 1, {1, 2, 3, 0});
    bmp.pixelOffset = 0x7FFFFFF0;
    const ReadOutcome read = ReadBmp(BuildBmp(bmp), true, true);
    EXPECT_EQ(read.extraCalls, 1);
    EXPECT_EQ(read.extraData, (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(read.Row(0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(read.lastStep, 2001);
}

}  // namespace
