// Stored-channel merges: uniform channels stay uniform without allocating, expanded
// ones match the per-pixel reference and fold back when the result became uniform.
#include "engine/pixels/merge_stored_channel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "base/memory.h"
#include "base/memory_test_hooks.h"
#include "merge_builds.h"
#include "merge_reference.h"

namespace {

constexpr uint32_t kTile = 65536;

PTzHANDLE HandleWith(const std::vector<uint8_t>& bytes)
{
    PTzHANDLE handle = PTzHandleNew(kTile);
    const PTzHandleLockGuard lock(handle);
    std::memcpy(lock.bytes(), bytes.data(), kTile);
    return handle;
}

std::vector<uint8_t> BytesOf(PTzHANDLE handle)
{
    const PTzHandleLockGuard lock(handle);
    return {lock.bytes(), lock.bytes() + kTile};
}

class MergeStoredChannel : public MergeBuildTest {
protected:
    void TearDown() override { PTzTestSetAllocationCeiling(0); }

    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random{77};
};

TEST_P(MergeStoredChannel, UniformChannelsStayUniformWithoutAllocating)
{
    PTzTestSetAllocationCeiling(1);
    for (const int type : {3, 5, 6, 7}) {
        const _tagITzMERGEDATA merge{type, 150};
        _tagITzCHANNELDATA dest{nullptr, 90};
        const _tagITzCHANNELDATA source{nullptr, 200};
        ASSERT_EQ(ITzMergeStoredChannel(&merge, &dest, &source), 1);
        EXPECT_EQ(dest.data, nullptr);
        EXPECT_EQ(dest.constant, RefGray(t, type, t.Product(200, 150), 90)) << type;
    }
}

TEST_P(MergeStoredChannel, ExpandedChannelsMatchReference)
{
    const std::vector<uint8_t> source = RandomBytes(random, kTile);
    const std::vector<uint8_t> before = RandomBytes(random, kTile);
    for (const int type : {3, 5, 6, 7}) {
        for (const uint8_t opacity : {255, 60}) {
            const _tagITzMERGEDATA merge{type, opacity};
            // A stored source onto a stored destination.
            const _tagITzCHANNELDATA from{HandleWith(source), 0};
            _tagITzCHANNELDATA dest{HandleWith(before), 0};
            ASSERT_EQ(ITzMergeStoredChannel(&merge, &dest, &from), 1);
            const std::vector<uint8_t> merged = BytesOf(dest.data);
            for (uint32_t i = 0; i < kTile; ++i)
                ASSERT_EQ(merged[i], RefGray(t, type, t.Product(source[i], opacity), before[i]));
            PTzHandleFree(dest.data);
            PTzHandleFree(from.data);

            // A buffer onto a uniform destination expands it.
            _tagITzCHANNELDATA uniform{nullptr, 33};
            ASSERT_EQ(ITzMergeStoredChannelBuffer(&merge, &uniform, source.data(), 0, 0), 1);
            ASSERT_NE(uniform.data, nullptr);
            EXPECT_EQ(BytesOf(uniform.data)[1234], RefGray(t, type, t.Product(source[1234], opacity), 33));
            PTzHandleFree(uniform.data);
        }
    }
}

TEST_P(MergeStoredChannel, UniformResultFoldsBack)
{
    // Subtracting a full source clears everything, so the handle becomes the byte 0.
    const _tagITzMERGEDATA merge{ITzMERGE_SUBTRACT, 255};
    _tagITzCHANNELDATA dest{HandleWith(RandomBytes(random, kTile)), 0};
    ASSERT_EQ(ITzMergeStoredChannelBuffer(&merge, &dest, nullptr, 1, 255), 1);
    EXPECT_EQ(dest.data, nullptr);
    EXPECT_EQ(dest.constant, 0);
}

TEST_P(MergeStoredChannel, FailuresLeaveTheDestination)
{
    const std::vector<uint8_t> source = RandomBytes(random, kTile);
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    _tagITzCHANNELDATA dest{nullptr, 44};

    PTzTestSetAllocationCeiling(1000);  // no room to expand the destination
    EXPECT_EQ(ITzMergeStoredChannelBuffer(&merge, &dest, source.data(), 0, 0), 0);
    PTzTestSetAllocationCeiling(0);
    const _tagITzMERGEDATA replace{ITzMERGE_REPLACE, 255};
    EXPECT_EQ(ITzMergeStoredChannelBuffer(&replace, &dest, source.data(), 0, 0), 0);
    EXPECT_EQ(ITzMergeStoredChannelBuffer(&merge, &dest, nullptr, 0, 0), 0);
    EXPECT_EQ(ITzMergeStoredChannel(&merge, &dest, nullptr), 0);
    EXPECT_EQ(dest.data, nullptr);
    EXPECT_EQ(dest.constant, 44);
}

INSTANTIATE_MERGE_BUILDS(MergeStoredChannel);

}  // namespace
