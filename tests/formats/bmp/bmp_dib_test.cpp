// Header-less bitmaps: where their pixels start, and a save read back row for row.
#include <gtest/gtest.h>

#include "formats/bmp/bitmora_entries.h"
#include "tests/formats/bmp/bmp_test_files.h"

namespace {

TEST(BmpDib, PixelsFollowTheColoursUsed)
{
    TestBmp dib;
    dib.fileHeader = false;
    dib.bits = 8;
    dib.width = 2;
    dib.coloursUsed = 16;
    dib.palette.assign(16, {1, 2, 3});
    dib.pixels = {5, 6, 0, 0};
    const Bytes bytes = BuildBmp(dib);
    ASSERT_EQ(bytes.size(), 40u + 64u + 4u);
    const ReadOutcome read = ReadBmp(bytes, false);
    ASSERT_EQ(read.lastStep, 2001);
    EXPECT_EQ(read.info.paletteCount, 16);
    EXPECT_EQ(read.Row(0), (Bytes{5, 6, 0, 0}));
}

TEST(BmpDib, MasksCountOnlyWhenTheyWereRead)
{
    TestBmp plain;
    plain.fileHeader = false;
    plain.bits = 32;
    plain.pixels = {1, 2, 3, 0};
    EXPECT_EQ(ReadBmp(BuildBmp(plain), false).Row(0), (Bytes{1, 2, 3, 0}));

    TestBmp masked = plain;
    masked.compression = 3;
    masked.masks = {0xFF0000, 0xFF00, 0xFF};
    EXPECT_EQ(ReadBmp(BuildBmp(masked), false).Row(0), (Bytes{1, 2, 3, 0}));

    // Bit fields declared at 8 bits read no masks, so the pixels follow the palette.
    TestBmp indexed = plain;
    indexed.bits = 8;
    indexed.compression = 3;
    indexed.coloursUsed = 1;
    indexed.palette = {{9, 9, 9}};
    EXPECT_EQ(ReadBmp(BuildBmp(indexed), false).Row(0), (Bytes{1, 2, 3, 0}));
}

// The masks of the later headers are inside them: the pixels follow the whole header.
TEST(BmpDib, LaterHeadersReadAsTheFortyByteOne)
{
    for (TestBmp picture : LaterHeaderPictures()) {
        picture.fileHeader = false;
        const ReadOutcome expected = ReadBmp(BuildBmp(picture), false);
        ASSERT_EQ(expected.lastStep, 2001);
        for (uint32_t size : LaterHeaderSizes) {
            SCOPED_TRACE(testing::Message() << picture.bits << " bits, header " << size);
            TestBmp later = picture;
            later.headerSize = size;
            ExpectSameRead(ReadBmp(BuildBmp(later), false), expected);
        }
    }
    TestBmp cut;
    cut.fileHeader = false;
    cut.headerSize = 108;
    const Bytes bytes = BuildBmp(cut);
    EXPECT_EQ(ReadBmp(Bytes(bytes.begin(), bytes.begin() + 100), false).startError, -2207);
}

int Supply(uint32_t row, uint32_t, _tagPTzCOLORCONVERTBUFFER* data, void*)
{
    for (int32_t x = 0; x < data->width; ++x)
        data->data[x] = uint8_t(16 * row + x);
    return 0;
}

TEST(BmpDib, ASavedBitmapReadsBackRowForRow)
{
    Bytes block(4096);
    MemStream stream(block);
    int error = 1;
    void* save = FTzBMPSaveDIBStart(stream.get(), &error);
    ASSERT_NE(save, nullptr);
    _tagFTzIMAGEINFO_1 info{};
    info.width = 3;
    info.height = 2;
    info.bits = 8;
    info.mode = PTzCOLORMODE_RGB;
    info.paletteCount = 4;
    info.palette[3][0] = 200;
    ASSERT_EQ(FTzBMPSaveDIBSupportByFileInfo(&info), 1);
    ASSERT_EQ(FTzBMPSaveDIBSetInfo(save, &info), 0);
    _tagFTzSAVEGETDATACALLBACK_1 rows{Supply, nullptr};
    ASSERT_EQ(FTzBMPSaveDIBSetCallBack(save, &rows), 0);
    std::vector<int> results;
    do
        results.push_back(FTzBMPSaveDIB(save, nullptr));
    while (results.back() == 0 && results.size() < 20);
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0, 0, 0, 2001}));
    const uint32_t end = PTzIOStreamSeek(stream.get(), 0, 1);
    EXPECT_EQ(end, 40u + 16u + 8u);
    EXPECT_EQ(FTzBMPSaveDIBEnd(save), 0);
    EXPECT_EQ(PTzReadLE32(block.data()), 40u);

    void* load = FTzBMPLoadDIBStart(stream.get(), &error);
    ASSERT_NE(load, nullptr);
    _tagFTzIMAGEINFO_1 read{};
    ASSERT_EQ(FTzBMPLoadDIBGetInfo(load, &read), 0);
    EXPECT_EQ(read.paletteCount, 4);
    EXPECT_EQ(read.palette[3][0], 200);
    ReadOutcome outcome;
    _tagFTzGETDATACALLBACK_1 collect{CollectRow, &outcome};
    ASSERT_EQ(FTzBMPLoadDIBSetCallBack(load, &collect), 0);
    uint8_t percent = 0;
    while (FTzBMPLoadDIBLoading(load, &percent) == 0) {
    }
    EXPECT_EQ(FTzBMPLoadDIBEnd(load), 0);
    EXPECT_EQ(outcome.Row(0), (Bytes{0, 1, 2, 0}));
    EXPECT_EQ(outcome.Row(1), (Bytes{16, 17, 18, 0}));
}

}  // namespace
