// Reduction of block pages by 2^k: truncating means, alpha-weighted colour means,
// constants for pageless channels, and the placement of the target rect.
#include "engine/pixels/block_reduce.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "base/error_codes.h"

namespace {

using Page = std::vector<uint8_t>;

Page MakePage(uint8_t fill = 0)
{
    return Page(ITzBLOCK_PAGE_BYTES, fill);
}

uint8_t& At(Page& page, int x, int y)
{
    return page[size_t(y) * 256 + size_t(x)];
}

TEST(ReduceChannelPage, TruncatingMeanOfEachSquare)
{
    Page source = MakePage(), target = MakePage(77);
    At(source, 0, 0) = 1;
    At(source, 1, 0) = 2;
    At(source, 0, 1) = 2;
    At(source, 1, 1) = 2;  // 7 / 4 truncates to 1
    At(source, 2, 0) = 255;
    const PTzRECT rect{10, 20, 12, 21};  // two target pixels at (10, 20) and (11, 20)
    ASSERT_EQ(ITzReduceChannelPage(source.data(), target.data(), &rect, 1), 0);
    EXPECT_EQ(At(target, 10, 20), 1);
    EXPECT_EQ(At(target, 11, 20), 63);
    EXPECT_EQ(At(target, 12, 20), 77);  // outside the rect
    EXPECT_EQ(At(target, 10, 21), 77);
}

TEST(ReduceChannelPage, ShiftEightIsTheMeanOfTheWholePageAgainstAPlainSum)
{
    std::mt19937 random(5);
    Page source = MakePage(), target = MakePage();
    uint64_t sum = 0;
    for (uint8_t& byte : source)
        sum += byte = uint8_t(random());
    const PTzRECT rect{3, 4, 4, 5};
    ASSERT_EQ(ITzReduceChannelPage(source.data(), target.data(), &rect, 8), 0);
    EXPECT_EQ(At(target, 3, 4), sum >> 16);
}

TEST(ReduceChannelPage, RefusesShiftZeroNullsAndRectsWhoseSourceLeavesThePage)
{
    Page source = MakePage(), target = MakePage();
    const PTzRECT ok{0, 0, 128, 128};
    const PTzRECT tooWide{0, 0, 129, 1};
    const PTzRECT outside{250, 0, 257, 1};
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), &ok, 0), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), &ok, 9), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(nullptr, target.data(), &ok, 1), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), nullptr, 1), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), &tooWide, 1), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), &outside, 1), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceChannelPage(source.data(), target.data(), &ok, 1), 0);
}

struct Pages {
    Page a = MakePage(), r = MakePage(), g = MakePage(), b = MakePage();
    _tagITzBLOCKMEMORYARGB memory() { return {{a.data(), r.data(), g.data(), b.data()}, {}}; }
};

TEST(ReduceBlockMemory, AlphaWeightedColourAndTruncatedAlpha)
{
    Pages source, target;
    At(source.a, 0, 0) = 255;
    At(source.r, 0, 0) = 200;
    At(source.g, 0, 0) = 10;
    At(source.g, 1, 0) = 250;  // under alpha 0: weighs nothing
    _tagITzBLOCKMEMORYARGB in = source.memory(), out = target.memory();
    in.planes[3] = nullptr;
    in.constants[3] = 42;
    const PTzRECT rect{0, 0, 2, 1};
    ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 1), 0);
    EXPECT_EQ(At(target.a, 0, 0), 63);
    EXPECT_EQ(At(target.r, 0, 0), 200);
    EXPECT_EQ(At(target.g, 0, 0), 10);
    EXPECT_EQ(At(target.b, 0, 0), 42);  // pageless channel: its constant
    EXPECT_EQ(At(target.b, 1, 0), 42);
}

TEST(ReduceBlockMemory, TransparentSquareLeavesColoursAndNoAlphaDataMeansPlainMeans)
{
    Pages source, target;
    std::fill(target.r.begin(), target.r.end(), 99);
    At(source.r, 0, 0) = 200;
    _tagITzBLOCKMEMORYARGB in = source.memory(), out = target.memory();
    const PTzRECT rect{0, 0, 1, 1};
    ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 1), 0);
    EXPECT_EQ(At(target.a, 0, 0), 0);
    EXPECT_EQ(At(target.r, 0, 0), 99);

    in.planes[0] = nullptr;
    in.constants[0] = 0;
    ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 1), 0);
    EXPECT_EQ(At(target.r, 0, 0), 50);  // 200 / 4 whatever the alpha constant
    EXPECT_EQ(At(target.a, 0, 0), 0);
}

TEST(ReduceBlockMemory, TargetNeedsAllFourPages)
{
    Pages source, target;
    _tagITzBLOCKMEMORYARGB in = source.memory(), out = target.memory();
    out.planes[2] = nullptr;
    const PTzRECT rect{0, 0, 1, 1};
    EXPECT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 1), ITzERR_INVALID);
    EXPECT_EQ(ITzReduceBlockMemory(&in, nullptr, &rect, 1), ITzERR_INVALID);
}

}  // namespace
