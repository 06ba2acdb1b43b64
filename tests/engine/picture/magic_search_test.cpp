// The magic wand against a naive 4-connected flood fill over a flat copy of the source:
// random two- and three-colour pictures of several blocks at tolerances 0, 10 and 255,
// transparent seeds, missing source blocks, a source at a negative position, a spiral
// that crosses block borders many times and regions that touch only diagonally.
#include "engine/picture/magic_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/magic_seed_line_list.h"
#include "tests/engine/pixels/layer_pixels_support.h"
#include "tests/engine/pixels/shape_reference.h"

namespace {

using layer_pixels::Pixels;

struct Colour {
    uint8_t a, r, g, b;
};

constexpr Colour kBase = {255, 100, 100, 100};
constexpr Colour kNear = {255, 105, 96, 108};  // within 10 of kBase
constexpr Colour kFar = {255, 200, 50, 50};
constexpr Colour kClear = {0, 9, 9, 9};        // transparent, colour bytes kept

void Put(Pixels& pixels, int32_t x, int32_t y, const Colour& c)
{
    const size_t i = size_t(y - pixels.bounds.top) * size_t(pixels.width()) + size_t(x - pixels.bounds.left);
    pixels.planes[0][i] = c.a;
    pixels.planes[1][i] = c.r;
    pixels.planes[2][i] = c.g;
    pixels.planes[3][i] = c.b;
}

// The region a 4-connected flood fill over the flat copy finds, as 0/255 bytes over the
// target rectangle; pixels outside the source and on missing blocks are transparent.
std::vector<uint8_t> NaiveRegion(const Pixels& source, const std::vector<bool>& missing, const PTzRECT& target,
                                 PTzPOINT seed, int tolerance)
{
    const int32_t width = target.right - target.left, height = target.bottom - target.top;
    const auto pixel = [&](int32_t x, int32_t y, int p) -> int {
        if (x < source.bounds.left || y < source.bounds.top || x >= source.bounds.right || y >= source.bounds.bottom ||
            missing[size_t(y - source.bounds.top) * size_t(source.width()) + size_t(x - source.bounds.left)])
            return 0;
        return int(source.at(x, y, p));
    };
    const int sa = pixel(seed.x, seed.y, 0), sr = pixel(seed.x, seed.y, 1), sg = pixel(seed.x, seed.y, 2),
              sb = pixel(seed.x, seed.y, 3);
    const auto matches = [&](int32_t x, int32_t y) {
        if (sa == 0)
            return pixel(x, y, 0) == 0;
        const auto near = [&](int value, int centre) { return value >= centre - tolerance && value <= centre + tolerance; };
        return pixel(x, y, 0) != 0 && near(pixel(x, y, 1), sr) && near(pixel(x, y, 2), sg) && near(pixel(x, y, 3), sb);
    };
    std::vector<uint8_t> region(size_t(width) * size_t(height), 0);
    std::vector<PTzPOINT> stack = {seed};
    while (!stack.empty()) {
        const PTzPOINT p = stack.back();
        stack.pop_back();
        if (p.x < target.left || p.y < target.top || p.x >= target.right || p.y >= target.bottom)
            continue;
        uint8_t& at = region[size_t(p.y - target.top) * size_t(width) + size_t(p.x - target.left)];
        if (at || !matches(p.x, p.y))
            continue;
        at = 255;
        stack.push_back({p.x + 1, p.y});
        stack.push_back({p.x - 1, p.y});
        stack.push_back({p.x, p.y + 1});
        stack.push_back({p.x, p.y - 1});
    }
    return region;
}

// Runs the wand into a fresh target and compares it with the naive fill.
void ExpectSameRegion(Pixels& source, const std::vector<bool>& missing, const PTzRECT& target, PTzPOINT seed,
                      int tolerance)
{
    SCOPED_TRACE(testing::Message() << "seed " << seed.x << "," << seed.y << " tolerance " << tolerance);
    auto layer = layer_pixels::MakeLayer(source);
    for (uint32_t index = 0; index < layer->GetBlockCount(); ++index) {
        PTzRECT block;
        layer->GetBlockPictRect(index, &block);
        const PTzPOINT corner = {block.left, block.top};
        if (PTzRectPointIn(&source.bounds, &corner) &&
            missing[size_t(corner.y - source.bounds.top) * size_t(source.width()) + size_t(corner.x - source.bounds.left)]) {
            const _tagITzBLOCKDATAINFO absent = {0, {}};  // any kind but 3 stores a missing block
            ASSERT_EQ(layer->SetBlockInfo(index, &absent), 0);
        }
    }
    auto mask = shape_reference::PresentLayer(target, 0);
    ASSERT_EQ(ITzMagicSearch().Search(&seed, mask.get(), layer.get(), uint32_t(tolerance) | 0x300), 0);
    const std::vector<uint8_t> expected = NaiveRegion(source, missing, target, seed, tolerance);
    const std::vector<uint8_t> got = shape_reference::ReadBytes(*mask, target);
    const int32_t width = target.right - target.left;
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], expected[i]) << "pixel " << target.left + int32_t(i % size_t(width)) << ", "
                                       << target.top + int32_t(i / size_t(width));
}

Pixels RandomColours(const PTzRECT& bounds, const std::vector<Colour>& palette, const std::vector<int>& weights,
                     uint32_t seed)
{
    Pixels pixels = layer_pixels::Blank(bounds);
    std::mt19937 random(seed);
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    for (int32_t y = bounds.top; y < bounds.bottom; ++y)
        for (int32_t x = bounds.left; x < bounds.right; ++x)
            Put(pixels, x, y, palette[size_t(pick(random))]);
    return pixels;
}

std::vector<bool> NoneMissing(const Pixels& pixels)
{
    return std::vector<bool>(size_t(pixels.width()) * size_t(pixels.height()), false);
}

TEST(MagicSearch, RandomPicturesMatchTheNaiveFloodFill)
{
    const PTzRECT bounds = {0, 0, 600, 520};
    Pixels two = RandomColours(bounds, {kBase, kFar}, {62, 38}, 1);
    Pixels three = RandomColours(bounds, {kBase, kNear, kClear}, {40, 25, 35}, 2);
    std::mt19937 random(3);
    for (int tolerance : {0, 10, 255}) {
        for (int i = 0; i < 3; ++i) {
            const PTzPOINT seed = {int32_t(random() % 600), int32_t(random() % 520)};
            ExpectSameRegion(two, NoneMissing(two), bounds, seed, tolerance);
            ExpectSameRegion(three, NoneMissing(three), bounds, seed, tolerance);
        }
    }
}

TEST(MagicSearch, MissingBlocksAndASourceAtANegativePosition)
{
    // The source starts left of and above the target; blocks of it are missing.
    const PTzRECT sourceBounds = {-300, -100, 500, 600}, target = {0, 0, 700, 520};
    Pixels source = RandomColours(sourceBounds, {kBase, kClear, kFar}, {50, 30, 20}, 4);
    std::vector<bool> missing = NoneMissing(source);
    for (int32_t y = sourceBounds.top; y < sourceBounds.bottom; ++y)
        for (int32_t x = sourceBounds.left; x < sourceBounds.right; ++x) {
            // The layer's blocks fall on multiples of 256 in picture coordinates.
            const int32_t bx = (x + 512) / 256, by = (y + 512) / 256;
            if ((bx == 2 && by == 2) || (bx == 3 && by == 3))
                missing[size_t(y - sourceBounds.top) * size_t(source.width()) + size_t(x - sourceBounds.left)] = true;
        }
    for (const PTzPOINT seed : {PTzPOINT{10, 10}, PTzPOINT{300, 300}, PTzPOINT{650, 100}, PTzPOINT{200, 5}})
        for (int tolerance : {0, 255})
            ExpectSameRegion(source, missing, target, seed, tolerance);
}

TEST(MagicSearch, SpiralsCrossBlockBordersAndDiagonalsDoNotJoin)
{
    const PTzRECT bounds = {0, 0, 700, 700};
    Pixels spiral = layer_pixels::Blank(bounds);
    for (int32_t y = 0; y < 700; ++y)
        for (int32_t x = 0; x < 700; ++x)
            Put(spiral, x, y, kFar);
    // A square spiral corridor two pixels wide, winding outward from the centre.
    int32_t x = 350, y = 350, length = 6;
    const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    for (int turn = 0; length < 690; ++turn, length += 3) {
        for (int32_t step = 0; step < length; ++step) {
            if (x < 1 || y < 1 || x >= 699 || y >= 699)
                break;
            Put(spiral, x, y, kBase);
            Put(spiral, x + 1, y + 1, kBase);
            Put(spiral, x + 1, y, kBase);
            Put(spiral, x, y + 1, kBase);
            x += dx[turn % 4] * (step + 1 < length ? 1 : 0);
            y += dy[turn % 4] * (step + 1 < length ? 1 : 0);
        }
    }
    ExpectSameRegion(spiral, NoneMissing(spiral), bounds, {350, 350}, 0);
    ExpectSameRegion(spiral, NoneMissing(spiral), bounds, {0, 0}, 0);

    // Two squares meeting only at the corner of four blocks.
    Pixels corner = layer_pixels::Blank({0, 0, 512, 512});
    for (int32_t py = 0; py < 512; ++py)
        for (int32_t px = 0; px < 512; ++px)
            Put(corner, px, py, (px < 256) == (py < 256) ? kBase : kFar);
    auto source = layer_pixels::MakeLayer(corner);
    auto mask = shape_reference::PresentLayer({0, 0, 512, 512}, 0);
    const PTzPOINT seed = {10, 10};
    ASSERT_EQ(ITzMagicSearch().Search(&seed, mask.get(), source.get(), 0), 0);
    EXPECT_EQ(shape_reference::ReadBytes(*mask, {255, 255, 257, 257}), (std::vector<uint8_t>{255, 0, 0, 0}));
}

TEST(MagicSearch, RefusalsAndUniformBlocks)
{
    Pixels flat = layer_pixels::Blank({0, 0, 600, 300});
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 600; ++x)
            Put(flat, x, y, kBase);
    auto source = layer_pixels::MakeLayer(flat);
    auto mask = shape_reference::PresentLayer({0, 0, 600, 300}, 0);
    const PTzPOINT outside = {600, 5}, inside = {5, 5};
    EXPECT_EQ(ITzMagicSearch().Search(&outside, mask.get(), source.get(), 0), 0);
    EXPECT_EQ(shape_reference::ReadBytes(*mask, {0, 0, 600, 300}), std::vector<uint8_t>(600 * 300, 0));
    EXPECT_EQ(ITzMagicSearch().Search(nullptr, mask.get(), source.get(), 0), ITzERR_INVALID);
    // A gray source cannot fill blocks: the search reports it.
    EXPECT_EQ(ITzMagicSearch().Search(&inside, mask.get(), mask.get(), 0), ITzERR_INVALID);
    // A uniform picture is marked whole, block by block as constants.
    auto target = shape_reference::PresentLayer({0, 0, 600, 300}, 0);
    ASSERT_EQ(ITzMagicSearch().Search(&inside, target.get(), source.get(), 0), 0);
    EXPECT_EQ(shape_reference::ReadBytes(*target, {0, 0, 600, 300}), std::vector<uint8_t>(600 * 300, 255));
    _tagITzBLOCKINFOGRAY record;
    ASSERT_EQ(target->GetBlockInfo(0, &record, 0), 0);
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(record.constant, 255);
}

TEST(MagicSeedLineList, LinesKeepTheirOrderAndMergeWhenTheyTouch)
{
    ITzMagicSeedLineList list;
    list.Insert({5, 10, 20, 1});
    list.Insert({5, 21, 30, 1});  // touches: merged
    list.Insert({3, 0, 4, 1});
    list.Insert({5, 40, 41, -1});
    list.Insert({9, 0, 1, -1});
    list.Insert({5, 25, 50, 0});
    const std::vector<std::vector<int32_t>> expected = {
        {3, 0, 4, 1}, {5, 10, 30, 1}, {9, 0, 1, -1}, {5, 40, 41, -1}, {5, 25, 50, 0}};
    ASSERT_EQ(list.GetCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& line = list.Lines()[i];
        EXPECT_EQ((std::vector<int32_t>{line.row, line.first, line.last, line.direction}), expected[i]);
    }
}

}  // namespace
