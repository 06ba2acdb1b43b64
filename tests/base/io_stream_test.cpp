// The stream operations shared by every stream: null streams, destroy of a foreign
// record, filling, and moving ranges checked against a byte vector.
#include "base/io_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/file_stream.h"
#include "base/mem_stream.h"
#include "base/memory_test_hooks.h"
#include "tests/base/temp_folder.h"

namespace {

struct AllocationHooksOff {
    ~AllocationHooksOff() { PTzTestSetAllocationCeiling(0); }
};

std::vector<uint8_t> Contents(_tagPTzIOSTREAM* stream)
{
    std::vector<uint8_t> bytes(PTzIOStreamSize(stream, nullptr));
    PTzIOStreamSeek(stream, 0, 0);
    EXPECT_EQ(PTzIOStreamRead(stream, bytes.data(), uint32_t(bytes.size())), bytes.size());
    return bytes;
}

TEST(IOStream, NullStreamsAreRefused)
{
    char buffer[4];
    uint32_t high = 0;
    EXPECT_EQ(PTzIOStreamRead(nullptr, buffer, 4), 0u);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzIOStreamWrite(nullptr, buffer, 4), 0u);
    EXPECT_EQ(PTzIOStreamSeek(nullptr, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PTzFileStreamSize(nullptr, &high), 0u);
    EXPECT_EQ(PTzIOStreamSetData(nullptr, 1, 4), 0u);
    EXPECT_EQ(PTzIOStreamMove(nullptr, 0, 1, 1), 0);
    EXPECT_EQ(PTzFileStreamDestory(nullptr), 1);
    EXPECT_EQ(PTzDestoryMemStream(nullptr), 1);
}

TEST(IOStream, DestroyRefusesARecordItDidNotMake)
{
    _tagPTzIOSTREAM foreign{};
    EXPECT_EQ(PTzFileStreamDestory(&foreign), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(IOStream, SetDataFillsThroughASmallerScratchWhenMemoryIsShort)
{
    AllocationHooksOff hooksOff;
    std::vector<uint8_t> block(5000, 0);
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(block.data(), 5000);
    PTzIOStreamSeek(stream, 10, 0);
    PTzTestSetAllocationCeiling(700);
    EXPECT_EQ(PTzIOStreamSetData(stream, 0x5A, 4000), 4000u);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0x5A), 4000);
    EXPECT_EQ(block[9], 0);
    EXPECT_EQ(block[4010], 0);
    // Past the end only what fits is written.
    EXPECT_EQ(PTzIOStreamSetData(stream, 1, 4000), 990u);
    PTzDestoryMemStream(stream);
}

// Moves random ranges of a file stream and of a memory stream, both ways and
// overlapping, against the same moves on a vector.
TEST(IOStream, MoveMatchesAVectorModel)
{
    AllocationHooksOff hooksOff;
    TempFolder temp;
    std::mt19937 random(11);
    std::vector<uint8_t> model(3000);
    for (auto& byte : model)
        byte = uint8_t(random());
    temp.Write("f", std::string(model.begin(), model.end()));
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* file = PTzFileStreamCreate_1(&path, 1, 64);
    std::vector<uint8_t> block = model;
    _tagPTzIOSTREAM* memory = PTzCreateMemStream(block.data(), uint32_t(block.size()));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(memory, nullptr);
    PTzTestSetAllocationCeiling(100);  // chunks smaller than most ranges
    for (int step = 0; step < 200; ++step) {
        const uint32_t length = uint32_t(random() % 500);
        const uint32_t from = uint32_t(random() % (model.size() - length + 1));
        const uint32_t to = uint32_t(random() % (model.size() - length + 1));
        std::vector<uint8_t> moved(model.begin() + from, model.begin() + from + length);
        std::copy(moved.begin(), moved.end(), model.begin() + to);
        ASSERT_EQ(PTzIOStreamMove(file, from, to, length), 1) << step;
        ASSERT_EQ(PTzIOStreamMove(memory, from, to, length), 1) << step;
    }
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(Contents(file), model);
    EXPECT_EQ(block, model);
    PTzFileStreamDestory(file);
    PTzDestoryMemStream(memory);
}

TEST(IOStream, MoveGrowsAFileButNotAMemoryBlock)
{
    TempFolder temp;
    temp.Write("f", "abcdefgh");
    const _tagPTzFILE path = temp.Record("f");
    _tagPTzIOSTREAM* file = PTzFileStreamCreate(&path, 1);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PTzIOStreamMove(file, 2, 20, 4), 1);
    EXPECT_EQ(PTzFileStreamDestory(file), 1);
    EXPECT_EQ(temp.Read("f"), std::string("abcdefgh") + std::string(12, '\0') + "cdef");

    char block[] = "abcdefgh";
    _tagPTzIOSTREAM* memory = PTzCreateMemStream(block, 8);
    EXPECT_EQ(PTzIOStreamMove(memory, 2, 6, 4), 0);
    EXPECT_STREQ(block, "abcdefgh");  // refused before any byte moved
    EXPECT_EQ(PTzIOStreamMove(memory, 6, 0, 4), 0);  // the range runs past the end
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_STREQ(block, "abcdefgh");
    EXPECT_EQ(PTzIOStreamMove(memory, 4, 0, 4), 1);
    EXPECT_STREQ(block, "efghefgh");
    PTzDestoryMemStream(memory);
}

}  // namespace
