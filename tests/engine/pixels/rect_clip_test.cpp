// Rectangle clipping at the ends of the 32-bit range, where a 32-bit shift would wrap.
#include "engine/pixels/rect_clip.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(RectClip, SingleRectangleAtTheRangeEnds)
{
    PTzRECT rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_TRUE(ITzClipRectToSize(rect, 7, 5));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.bottom, 5);
    EXPECT_EQ(rect.right, 7);
    PTzRECT inverted{5, 1, 2, 3};
    EXPECT_FALSE(ITzClipRectToSize(inverted, 7, 5));
    EXPECT_EQ(inverted.left, 5);
    PTzRECT any{0, 0, 3, 3};
    EXPECT_FALSE(ITzClipRectToSize(any, 0, 5));
}

TEST(RectClip, PairAtTheRangeEndsKeepsPixelsPaired)
{
    ITzRectPair pair{1, 1, 1, 1, 1, 1};
    ASSERT_TRUE(ITzClipRectPair({INT_MIN, 0, INT_MAX, 4}, {10, 4}, {INT_MIN + 3, 0, 6, 4}, {10, 4}, pair));
    // Both lefts move by 2^31: the source's to 0, the destination's to 3.
    EXPECT_EQ(pair.sourceX, 0);
    EXPECT_EQ(pair.destX, 3);
    EXPECT_EQ(pair.width, 3);
    EXPECT_EQ(pair.height, 4);
    const ITzRectPair before = pair;
    EXPECT_FALSE(ITzClipRectPair({INT_MAX - 1, 0, INT_MAX, 1}, {10, 4}, {0, 0, 1, 1}, {10, 4}, pair));
    EXPECT_EQ(pair.width, before.width);
}

}  // namespace
