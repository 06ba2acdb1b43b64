// Uniform-channel storage: the uniformity test finds a difference at any
// offset, and channels expand, fold and copy without sharing or losing bytes.
#include "engine/pixels/channel_compression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/memory_test_hooks.h"
#include "engine/pixels/block_memory_pool.h"

namespace {

TEST(BytesUniform, FindsOneDifferentByteAtEveryOffset)
{
    std::vector<uint8_t> bytes(200, 7);
    uint8_t value = 0;
    ASSERT_EQ(ITzBytesUniform(bytes.data(), uint32_t(bytes.size()), &value), 1);
    EXPECT_EQ(value, 7);
    // A difference anywhere counts, the first and the last byte too.
    for (size_t at = 0; at < bytes.size(); ++at) {
        bytes[at] = 8;
        EXPECT_EQ(ITzBytesUniform(bytes.data(), uint32_t(bytes.size()), &value), 0) << at;
        bytes[at] = 7;
    }
}

TEST(BytesUniform, RefusesEmptyAndNullRunsAndLeavesValueAlone)
{
    const uint8_t one = 3;
    uint8_t value = 99;
    EXPECT_EQ(ITzBytesUniform(nullptr, 4, &value), 0);
    EXPECT_EQ(ITzBytesUniform(&one, 0, &value), 0);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(ITzBytesUniform(&one, 1, &value), 1);
    EXPECT_EQ(value, 3);
}

TEST(Channel, ExpandFillsAWholePageAndUniformFindsItsByte)
{
    // Zero last: its page likely reuses the memory of the pages filled before it.
    for (uint8_t fill : {uint8_t(255), uint8_t(7), uint8_t(0)}) {
        PTzHANDLE channel = ITzChannelExpand(fill);
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(PTzBlockSize(channel), ITzBLOCK_PAGE_BYTES);
        uint8_t value = 1;
        EXPECT_EQ(ITzChannelUniform(channel, &value), 1);
        EXPECT_EQ(value, fill);
        PTzHandleFree(channel);
    }
}

TEST(Channel, LastByteChangedIsNotUniformAndTheHandleSurvives)
{
    PTzHANDLE channel = ITzChannelExpand(7);
    ASSERT_NE(channel, nullptr);
    static_cast<uint8_t*>(PTzHandleLock(channel))[ITzBLOCK_PAGE_BYTES - 1] = 6;
    PTzHandleUnlock(channel);
    uint8_t value = 0;
    EXPECT_EQ(ITzChannelUniform(channel, &value), 0);
    EXPECT_EQ(PTzBlockSize(channel), ITzBLOCK_PAGE_BYTES);  // not freed
    EXPECT_EQ(PTzHandleFree(channel), nullptr);
}

TEST(Channel, DuplicateIsAnIndependentCopy)
{
    PTzHANDLE channel = ITzChannelExpand(1);
    ASSERT_NE(channel, nullptr);
    auto* bytes = static_cast<uint8_t*>(PTzHandleLock(channel));
    for (uint32_t i = 0; i < ITzBLOCK_PAGE_BYTES; ++i)
        bytes[i] = uint8_t(i * 31);
    PTzHANDLE copy = ITzChannelDuplicate(channel);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, channel);
    const auto* copied = static_cast<const uint8_t*>(PTzHandleLock(copy));
    EXPECT_EQ(std::vector<uint8_t>(copied, copied + ITzBLOCK_PAGE_BYTES),
              std::vector<uint8_t>(bytes, bytes + ITzBLOCK_PAGE_BYTES));
    bytes[5] ^= 1;
    EXPECT_NE(copied[5], bytes[5]);
    PTzHandleUnlock(copy);
    PTzHandleUnlock(channel);
    PTzHandleFree(copy);
    PTzHandleFree(channel);
}

TEST(Channel, FailedAllocationsGiveNullAndNullHandlesAreRefused)
{
    PTzHANDLE channel = ITzChannelExpand(2);
    ASSERT_NE(channel, nullptr);
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(ITzChannelExpand(5), nullptr);
    EXPECT_EQ(ITzChannelDuplicate(channel), nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(ITzChannelDuplicate(nullptr), nullptr);
    uint8_t value = 0;
    EXPECT_EQ(ITzChannelUniform(nullptr, &value), 0);
    PTzHandleFree(channel);
}

}  // namespace
