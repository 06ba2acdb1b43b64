// The block walker: the documented walks and a coverage model over random rectangles.
#include "engine/pixels/block_enum.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Step {
    _tagITzBLOCKPOSITION position;
    PTzRECT part;
    uint32_t offset[2];
};

std::vector<Step> Walk(PTzRECT rect)
{
    _tagITzBLOCKENUM walk{};
    EXPECT_EQ(ITzBlockEnumFill(&rect, nullptr, &walk), 0);
    std::vector<Step> steps;
    Step step{};
    while (ITzBlockEnumGetCurrent(&walk, &step.part, &step.position, step.offset))
        steps.push_back(step);
    return steps;
}

void ExpectStep(const Step& s, int column, int row, PTzRECT part, uint32_t ox, uint32_t oy)
{
    EXPECT_EQ(s.position.column, column);
    EXPECT_EQ(s.position.row, row);
    EXPECT_EQ(s.part.left, part.left);
    EXPECT_EQ(s.part.top, part.top);
    EXPECT_EQ(s.part.right, part.right);
    EXPECT_EQ(s.part.bottom, part.bottom);
    EXPECT_EQ(s.offset[0], ox);
    EXPECT_EQ(s.offset[1], oy);
}

TEST(BlockEnum, OneWholeBlock)
{
    const std::vector<Step> steps = Walk({0, 0, 256, 256});
    ASSERT_EQ(steps.size(), 1u);
    ExpectStep(steps[0], 0, 0, {0, 0, 256, 256}, 0, 0);
}

TEST(BlockEnum, RectangleAcrossAColumnBorder)
{
    const std::vector<Step> steps = Walk({250, 10, 260, 20});
    ASSERT_EQ(steps.size(), 2u);
    ExpectStep(steps[0], 0, 0, {250, 10, 256, 20}, 0, 0);
    ExpectStep(steps[1], 1, 0, {0, 10, 4, 20}, 6, 0);
}

TEST(BlockEnum, RowMajorOffsetsGrowByWholeBlocksAfterTheFirst)
{
    const std::vector<Step> steps = Walk({100, 200, 700, 520});
    ASSERT_EQ(steps.size(), 9u);
    ExpectStep(steps[0], 0, 0, {100, 200, 256, 256}, 0, 0);
    ExpectStep(steps[1], 1, 0, {0, 200, 256, 256}, 156, 0);
    ExpectStep(steps[2], 2, 0, {0, 200, 188, 256}, 412, 0);
    ExpectStep(steps[3], 0, 1, {100, 0, 256, 256}, 0, 56);
    ExpectStep(steps[7], 1, 2, {0, 0, 256, 8}, 156, 312);
}

TEST(BlockEnum, NegativeCornerIsRaisedInPlace)
{
    PTzRECT rect{-5, -5, 3, 3};
    _tagITzBLOCKENUM walk{};
    ASSERT_EQ(ITzBlockEnumFill(&rect, nullptr, &walk), 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    Step s{};
    ASSERT_EQ(ITzBlockEnumGetCurrent(&walk, &s.part, &s.position, s.offset), 1);
    ExpectStep(s, 0, 0, {0, 0, 3, 3}, 0, 0);
    EXPECT_EQ(ITzBlockEnumGetCurrent(&walk, nullptr, nullptr, nullptr), 0);
}

TEST(BlockEnum, RefusesNullEmptyAndUncountableRectangles)
{
    _tagITzBLOCKENUM walk{};
    const PTzRECT refused[] = {{-9, 0, -1, 5}, {4, 4, 4, 9}, {0, 0, 0xFFFF * 256 + 1, 1},
                               {0, 0, 65537, 1}, {0, 10, 5, 65547}};
    for (PTzRECT rect : refused) {
        const PTzRECT before = rect;
        EXPECT_EQ(ITzBlockEnumFill(&rect, nullptr, &walk), -1001);
        EXPECT_EQ(rect.left, before.left);
    }
    PTzRECT rect{0, 0, 65536, 1};
    EXPECT_EQ(ITzBlockEnumFill(&rect, nullptr, &walk), 0);
    EXPECT_EQ(ITzBlockEnumFill(nullptr, nullptr, &walk), -1001);
    EXPECT_EQ(ITzBlockEnumFill(&rect, nullptr, nullptr), -1001);
    EXPECT_EQ(ITzBlockEnumGetCurrent(nullptr, nullptr, nullptr, nullptr), 0);
}

// Every pixel of a random rectangle is covered once, and each part sits where its
// position and offset say.
TEST(BlockEnum, PartsTileTheRectangleExactly)
{
    std::mt19937 random(31337);
    for (int n = 0; n < 300; ++n) {
        const int32_t left = int32_t(random() % 900) - 100, top = int32_t(random() % 900) - 100;
        const PTzRECT rect{left, top, left + 1 + int32_t(random() % 700), top + 1 + int32_t(random() % 700)};
        if (rect.right <= 0 || rect.bottom <= 0)
            continue;
        const int32_t x0 = std::max(rect.left, 0), y0 = std::max(rect.top, 0);
        const int32_t w = rect.right - x0, h = rect.bottom - y0;
        std::vector<int> covered(size_t(w) * h, 0);
        for (const Step& s : Walk(rect)) {
            ASSERT_LT(s.part.left, s.part.right);
            ASSERT_LE(s.part.right, 256);
            ASSERT_EQ(s.position.column * 256 + s.part.left, x0 + int32_t(s.offset[0]));
            ASSERT_EQ(s.position.row * 256 + s.part.top, y0 + int32_t(s.offset[1]));
            for (int32_t y = s.part.top; y < s.part.bottom; ++y)
                for (int32_t x = s.part.left; x < s.part.right; ++x)
                    ++covered[size_t(s.offset[1] + y - s.part.top) * w + s.offset[0] + x - s.part.left];
        }
        for (int c : covered)
            ASSERT_EQ(c, 1);
    }
}

}  // namespace
