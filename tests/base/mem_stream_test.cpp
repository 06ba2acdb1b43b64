// The memory stream: transfers clipped at the block's end, the seek rules, and a
// destroy that leaves the caller's block alone.
#include "base/mem_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/error_codes.h"

namespace {

TEST(MemStream, SeeksClipFromTheCurrentPositionAndTheEndOnly)
{
    uint8_t block[8] = {};
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(block, 8);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(PTzIOStreamSeek(stream, 6, 0), 6u);
    EXPECT_EQ(PTzIOStreamSeek(stream, 4, 1), 8u);
    EXPECT_EQ(PTzIOStreamSeek(stream, 3, 2), 5u);
    EXPECT_EQ(PTzIOStreamSeek(stream, -20, 1), 0u);
    EXPECT_EQ(PTzIOStreamSeek(stream, 20, 2), 0u);
    EXPECT_EQ(PTzIOStreamSeek(stream, -3, 0), 0u);
    EXPECT_EQ(PTzIOStreamSeek(stream, 100, 0), 100u);  // from the start: not clipped
    EXPECT_EQ(PTzIOStreamSeek(stream, 1, 9), 100u);    // unknown whence: stays
    EXPECT_EQ(PTzDestoryMemStream(stream), 1);
}

TEST(MemStream, TransfersStopAtTheBlocksEnd)
{
    uint8_t block[8];
    std::memset(block, '.', 8);
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(block, 8);
    ASSERT_NE(stream, nullptr);
    PTzIOStreamSeek(stream, 5, 0);
    EXPECT_EQ(PTzIOStreamWrite(stream, "ABCDEFGHIJ", 10), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8), ".....ABC");
    char buffer[8] = {};
    PTzIOStreamSeek(stream, 4, 0);
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 8), 4u);
    EXPECT_EQ(std::string(buffer, 4), ".ABC");
    PTzIOStreamSeek(stream, 100, 0);
    EXPECT_EQ(PTzIOStreamRead(stream, buffer, 8), 0u);
    EXPECT_EQ(PTzIOStreamWrite(stream, "x", 1), 0u);
    uint32_t high = 7;
    EXPECT_EQ(PTzIOStreamSize(stream, &high), 8u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(PTzDestoryMemStream(stream), 1);
    EXPECT_EQ(block[7], 'C');  // the block outlives its stream
}

TEST(MemStream, NullDataIsRefused)
{
    EXPECT_EQ(PTzCreateMemStream(nullptr, 8), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
