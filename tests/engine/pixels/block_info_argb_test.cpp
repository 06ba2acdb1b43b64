// ARGB block records: expansion and copies are all-or-nothing, compression folds only
// uniform channels, and replacing a record frees exactly the handles it drops.
#include "engine/pixels/block_info_argb.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"

namespace {

struct CountdownReset {
    ~CountdownReset() { PTzTestSetAllocationCountdown(-1); }
};

uint8_t ByteAt(PTzHANDLE channel, uint32_t at)
{
    const uint8_t value = static_cast<uint8_t*>(PTzHandleLock(channel))[at];
    PTzHandleUnlock(channel);
    return value;
}

TEST(BlockInfoARGB, ExpandGivesHandlesFilledWithTheConstantsAndCompressFoldsThemBack)
{
    _tagITzBLOCKINFOARGB record{ITzBLOCK_PRESENT, {}, {255, 1, 2, 3}};
    record.channels[2] = ITzChannelExpand(9);
    static_cast<uint8_t*>(PTzHandleLock(record.channels[2]))[100] = 10;  // green has data
    PTzHandleUnlock(record.channels[2]);
    PTzHANDLE green = record.channels[2];

    ASSERT_EQ(ITzBlockInfoARGBExpand(&record), 0);
    for (PTzHANDLE channel : record.channels)
        ASSERT_NE(channel, nullptr);
    EXPECT_EQ(record.channels[2], green);  // an existing handle is kept
    EXPECT_EQ(ByteAt(record.channels[0], 65535), 255);
    EXPECT_EQ(ByteAt(record.channels[3], 0), 3);

    ASSERT_EQ(ITzBlockInfoARGBCompress(&record), 0);
    EXPECT_EQ(record.channels[0], nullptr);
    EXPECT_EQ(record.channels[1], nullptr);
    EXPECT_EQ(record.channels[3], nullptr);
    EXPECT_EQ(record.channels[2], green);  // not uniform: stays
    EXPECT_EQ(record.constants[0], 255);
    EXPECT_EQ(record.constants[3], 3);
    EXPECT_EQ(ITzBlockInfoARGBDestroy(&record), 1);
    EXPECT_EQ(record.flags, 0u);
    EXPECT_EQ(record.channels[2], nullptr);
}

TEST(BlockInfoARGB, ExpandThatRunsOutOfMemoryLeavesTheRecordAsItWas)
{
    CountdownReset reset;
    _tagITzBLOCKINFOARGB record{ITzBLOCK_PRESENT, {}, {1, 2, 3, 4}};
    const _tagITzBLOCKINFOARGB before = record;
    PTzTestSetAllocationCountdown(2);  // the third channel fails
    EXPECT_EQ(ITzBlockInfoARGBExpand(&record), ITzERR_CHANNEL_EXPAND);
    PTzTestSetAllocationCountdown(-1);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(record.channels[c], before.channels[c]);
    EXPECT_EQ(ITzBlockInfoARGBExpand(nullptr), ITzERR_INVALID);
}

TEST(BlockInfoARGB, DuplicateCopiesDeeplyOrNotAtAll)
{
    CountdownReset reset;
    _tagITzBLOCKINFOARGB record{ITzBLOCK_PRESENT, {}, {0, 5, 0, 6}};
    record.channels[0] = ITzChannelExpand(40);
    record.channels[2] = ITzChannelExpand(41);

    _tagITzBLOCKINFOARGB copy{};
    ASSERT_EQ(ITzBlockInfoARGBDuplicate(&record, &copy), 1);
    EXPECT_EQ(copy.flags, ITzBLOCK_PRESENT);
    EXPECT_NE(copy.channels[0], record.channels[0]);
    EXPECT_EQ(ByteAt(copy.channels[2], 7), 41);
    EXPECT_EQ(copy.channels[1], nullptr);
    EXPECT_EQ(copy.constants[1], 5);

    _tagITzBLOCKINFOARGB failed{};
    PTzTestSetAllocationCountdown(1);  // the alpha copy succeeds, the green one fails
    EXPECT_EQ(ITzBlockInfoARGBDuplicate(&record, &failed), 0);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(failed.channels[0], nullptr);  // out untouched; the leak checker sees the rest
    ITzBlockInfoARGBDestroy(&copy);
    ITzBlockInfoARGBDestroy(&record);
}

TEST(BlockInfoARGB, FreeReplacedKeepsHandlesTheIncomingRecordStillCarries)
{
    _tagITzBLOCKINFOARGB old{ITzBLOCK_PRESENT, {}, {}};
    old.channels[0] = ITzChannelExpand(1);
    old.channels[1] = ITzChannelExpand(2);
    _tagITzBLOCKINFOARGB incoming = old;
    incoming.channels[1] = nullptr;  // dropped: must be freed
    incoming.channels[3] = old.channels[0];
    incoming.channels[0] = nullptr;  // moved to another channel: must survive
    // The dropped handle is freed here (the leak checker tells), the moved one kept.
    ITzBlockInfoARGBFreeReplaced(&old, &incoming);
    EXPECT_EQ(ByteAt(incoming.channels[3], 0), 1);
    ITzBlockInfoARGBDestroy(&incoming);
}

}  // namespace
