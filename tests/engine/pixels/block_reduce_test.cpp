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

Page RandomPage(std::mt19937& random)
{
    Page page = MakePage();
    for (uint8_t& byte : page)
        byte = uint8_t(random());
    return page;
}

// Reducing by 2^k in one call equals k reductions by 2 through intermediate pages:
// the truncations of a single sum over the whole square would not compose.
TEST(ReduceChannelPage, ShiftKEqualsKHalvingsInARow)
{
    std::mt19937 random(5);
    const Page source = RandomPage(random);
    for (uint32_t shift = 1; shift <= 8; ++shift) {
        const int32_t side = 256 >> shift;
        Page direct = MakePage(), stepped = source;
        const PTzRECT rect{0, 0, side, side};
        ASSERT_EQ(ITzReduceChannelPage(source.data(), direct.data(), &rect, shift), 0);
        for (uint32_t step = 1; step <= shift; ++step) {
            Page next = MakePage();
            const PTzRECT half{0, 0, 256 >> step, 256 >> step};
            ASSERT_EQ(ITzReduceChannelPage(stepped.data(), next.data(), &half, 1), 0);
            stepped = next;
        }
        EXPECT_EQ(direct, stepped) << "shift " << shift;
    }
}

TEST(ReduceChannelPage, ShiftEightOfAFullPageKeepsTheExtremes)
{
    Page full = MakePage(255), target = MakePage();
    const PTzRECT rect{3, 4, 4, 5};
    ASSERT_EQ(ITzReduceChannelPage(full.data(), target.data(), &rect, 8), 0);
    EXPECT_EQ(At(target, 3, 4), 255);
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

// Every weight from 0 to 1,020 and the largest sums occur on random pages; the
// division must stay exact against a plain one.
TEST(ReduceBlockMemory, HalvingMatchesAPlainPerPixelReference)
{
    std::mt19937 random(12);
    Pages source, target;
    source.a = RandomPage(random);
    source.r = RandomPage(random);
    source.g = RandomPage(random);
    source.b = RandomPage(random);
    for (int x = 0; x < 256; ++x)  // the largest weights and sums
        At(source.a, x, 0) = At(source.a, x, 1) = At(source.r, x, 0) = At(source.r, x, 1) = 255;
    std::fill(target.g.begin(), target.g.end(), 7);
    _tagITzBLOCKMEMORYARGB in = source.memory(), out = target.memory();
    const PTzRECT rect{0, 0, 128, 128};
    ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 1), 0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            uint32_t weight = 0, sums[4] = {};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const uint32_t a = At(source.a, 2 * x + dx, 2 * y + dy);
                    weight += a;
                    sums[1] += a * At(source.r, 2 * x + dx, 2 * y + dy);
                    sums[2] += a * At(source.g, 2 * x + dx, 2 * y + dy);
                    sums[3] += a * At(source.b, 2 * x + dx, 2 * y + dy);
                }
            ASSERT_EQ(At(target.a, x, y), weight / 4);
            ASSERT_EQ(At(target.r, x, y), weight ? sums[1] / weight : 0);
            ASSERT_EQ(At(target.g, x, y), weight ? sums[2] / weight : 7);
            ASSERT_EQ(At(target.b, x, y), weight ? sums[3] / weight : 0);
        }
}

TEST(ReduceBlockMemory, ShiftKEqualsKHalvingsInARowWithWeightedColours)
{
    std::mt19937 random(9);
    Pages source;
    source.a = RandomPage(random);
    source.r = RandomPage(random);
    source.g = RandomPage(random);
    // Alpha 0 and 1 in whole areas, where the weights and truncations bite hardest.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            At(source.a, x, y) = uint8_t(random() % 2);
    for (uint32_t shift = 2; shift <= 8; ++shift) {
        const int32_t side = 256 >> shift;
        Pages direct, stepped = source;
        _tagITzBLOCKMEMORYARGB in = source.memory(), out = direct.memory();
        in.planes[3] = nullptr;
        in.constants[3] = 42;
        const PTzRECT rect{0, 0, side, side};
        ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, shift), 0);
        for (uint32_t step = 1; step <= shift; ++step) {
            Pages next;
            _tagITzBLOCKMEMORYARGB from = stepped.memory(), to = next.memory();
            from.planes[3] = nullptr;
            from.constants[3] = 42;
            const PTzRECT half{0, 0, 256 >> step, 256 >> step};
            ASSERT_EQ(ITzReduceBlockMemory(&from, &to, &half, 1), 0);
            stepped = next;
        }
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                ASSERT_EQ(At(direct.a, x, y), At(stepped.a, x, y)) << "shift " << shift;
                ASSERT_EQ(At(direct.b, x, y), 42);
                ASSERT_EQ(At(direct.r, x, y), At(stepped.r, x, y)) << "shift " << shift << " at " << x << "," << y;
                ASSERT_EQ(At(direct.g, x, y), At(stepped.g, x, y));
            }
    }
}

TEST(ReduceBlockMemory, ShiftEightOfOpaqueWhiteStaysWhite)
{
    Pages source, target;
    for (Page* page : {&source.a, &source.r, &source.g, &source.b})
        std::fill(page->begin(), page->end(), 255);
    _tagITzBLOCKMEMORYARGB in = source.memory(), out = target.memory();
    const PTzRECT rect{0, 0, 1, 1};
    ASSERT_EQ(ITzReduceBlockMemory(&in, &out, &rect, 8), 0);
    for (Page* page : {&target.a, &target.r, &target.g, &target.b})
        EXPECT_EQ(At(*page, 0, 0), 255);
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
