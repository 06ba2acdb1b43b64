// Run-length rows: runs, carries, deltas, end of line and end of bitmap at 8 and 4
// bits, and rows cut short, none of which may leave bytes of an earlier row behind.
#include <gtest/gtest.h>

#include "tests/formats/bmp/bmp_test_files.h"

namespace {

// Reads a bottom-up run-length file and gives its rows top first, each cut to the
// bytes its pixels occupy.
std::vector<Bytes> DecodeRle(int32_t width, int32_t height, uint16_t bits, const Bytes& codes)
{
    TestBmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = bits;
    bmp.compression = bits == 8 ? 1 : 2;
    bmp.coloursUsed = 2;
    bmp.palette = {{0, 0, 0}, {255, 255, 255}};
    bmp.pixels = codes;
    const ReadOutcome read = ReadBmp(BuildBmp(bmp));
    EXPECT_EQ(read.lastStep, 2001);
    std::vector<Bytes> rows;
    const size_t used = bits == 8 ? size_t(width) : size_t(width + 1) / 2;
    for (int32_t y = 0; y < height; ++y) {
        const Bytes& row = read.Row(uint32_t(y));
        rows.emplace_back(row.begin(), row.begin() + std::min(used, row.size()));
    }
    return rows;
}

using Rows = std::vector<Bytes>;

TEST(BmpRle8, ARunThenEndOfLineZeroesTheRest)
{
    EXPECT_EQ(DecodeRle(5, 1, 8, {3, 5, 0, 0}), (Rows{{5, 5, 5, 0, 0}}));
}

TEST(BmpRle8, ARunPastTheRowsEndCarriesItsValue)
{
    EXPECT_EQ(DecodeRle(3, 2, 8, {5, 7, 0, 0, 0, 1}), (Rows{{7, 7, 0}, {7, 7, 7}}));
}

TEST(BmpRle8, ADeltaSkipsIntoLaterRows)
{
    // Pixel 0 of the bottom row is 9; the delta moves one right and one up, to 8.
    EXPECT_EQ(DecodeRle(4, 3, 8, {1, 9, 0, 2, 1, 1, 1, 8, 0, 0, 0, 1}),
              (Rows{{0, 0, 0, 0}, {0, 0, 8, 0}, {9, 0, 0, 0}}));
}

TEST(BmpRle8, EndOfBitmapMakesEveryLaterRowZero)
{
    EXPECT_EQ(DecodeRle(4, 3, 8, {4, 6, 0, 0, 2, 5, 0, 1, 3, 3, 0, 0}),
              (Rows{{0, 0, 0, 0}, {5, 5, 0, 0}, {6, 6, 6, 6}}));
}

TEST(BmpRle8, AbsoluteRunsConsumeTheirPadding)
{
    EXPECT_EQ(DecodeRle(4, 1, 8, {0, 3, 1, 2, 3, 0, 1, 4, 0, 0}), (Rows{{1, 2, 3, 4}}));
}

TEST(BmpRle8, AnAbsoluteRunCutAtTheRowsEndStillConsumesAllItsBytes)
{
    EXPECT_EQ(DecodeRle(2, 2, 8, {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 2, 7, 0, 1}), (Rows{{7, 7}, {1, 2}}));
}

TEST(BmpRle8, ARowCutShortByTheDataIsZeroFilled)
{
    EXPECT_EQ(DecodeRle(4, 2, 8, {4, 9, 0, 0, 1, 3}), (Rows{{3, 0, 0, 0}, {9, 9, 9, 9}}));
    EXPECT_EQ(DecodeRle(4, 2, 8, {4, 9, 0, 0, 0, 4, 1, 2}), (Rows{{1, 2, 0, 0}, {9, 9, 9, 9}}));
    EXPECT_EQ(DecodeRle(4, 2, 8, {4, 9, 0, 0, 0, 2, 1}), (Rows{{0, 0, 0, 0}, {9, 9, 9, 9}}));
}

TEST(BmpRle4, ARunAlternatesTheNibbles)
{
    EXPECT_EQ(DecodeRle(5, 1, 4, {5, 0x12, 0, 0}), (Rows{{0x12, 0x12, 0x10}}));
}

TEST(BmpRle4, AbsoluteRunsReadHalfTheirCountInBytes)
{
    EXPECT_EQ(DecodeRle(4, 1, 4, {0, 3, 0x34, 0x50, 1, 0x66, 0, 0}), (Rows{{0x34, 0x56}}));
    // Five pixels are three bytes, padded to four.
    EXPECT_EQ(DecodeRle(6, 1, 4, {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x77, 0, 0}), (Rows{{0x12, 0x34, 0x57}}));
}

TEST(BmpRle4, PixelsPastTheRowsEndAreDropped)
{
    EXPECT_EQ(DecodeRle(3, 2, 4, {6, 0xAB, 0, 0, 2, 0xCC, 0, 0}), (Rows{{0xCC, 0x00}, {0xAB, 0xA0}}));
}

TEST(BmpRle4, EndOfLineClearsTheRestOfTheRow)
{
    EXPECT_EQ(DecodeRle(4, 2, 4, {4, 0x11, 0, 0, 1, 0x20, 0, 0}), (Rows{{0x20, 0x00}, {0x11, 0x11}}));
    EXPECT_EQ(DecodeRle(4, 2, 4, {4, 0x11, 0, 0, 1, 0x20, 0, 1}), (Rows{{0x20, 0x00}, {0x11, 0x11}}));
}

TEST(BmpRle4, ADeltaCarriesIntoTheNextRow)
{
    EXPECT_EQ(DecodeRle(4, 2, 4, {1, 0xF0, 0, 2, 0, 1, 1, 0xE0, 0, 0}), (Rows{{0x0E, 0x00}, {0xF0, 0x00}}));
}

TEST(BmpRle4, ARunStartingAtAnOddPixelKeepsItsPhase)
{
    EXPECT_EQ(DecodeRle(6, 1, 4, {1, 0x70, 5, 0x12, 0, 0}), (Rows{{0x71, 0x21, 0x21}}));
}

}  // namespace
