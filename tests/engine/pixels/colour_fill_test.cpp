// The colour selection: tolerance 0, 255 and a transparent pick, marks that stay, a point
// outside the selection, clamped channel ranges, and a scratch shortage reported.
#include "engine/pixels/colour_fill.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"
#include "tests/engine/pixels/layer_pixels_support.h"
#include "tests/engine/pixels/shape_reference.h"

namespace {

constexpr PTzRECT kBounds = {0, 0, 300, 260};

// Columns of colours: x / 30 picks one of ten, column 9 transparent with colour bytes.
layer_pixels::Pixels Stripes()
{
    layer_pixels::Pixels pixels = layer_pixels::Blank(kBounds);
    const uint8_t reds[10] = {250, 240, 239, 255, 100, 250, 250, 0, 250, 250};
    for (int32_t y = 0; y < 260; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            const size_t i = size_t(y) * 300 + size_t(x);
            const int column = x / 30;
            pixels.planes[0][i] = column == 9 ? 0 : column == 8 ? 1 : 255;
            pixels.planes[1][i] = reds[column];
            pixels.planes[2][i] = column == 5 ? 20 : 10;
            pixels.planes[3][i] = 10;
        }
    return pixels;
}

// Which stripes a pick at stripe `column` selects, read from the mask's first row.
std::vector<int> Selected(int column, uint8_t tolerance, uint8_t before = 0)
{
    layer_pixels::Pixels pixels = Stripes();
    auto source = layer_pixels::MakeLayer(pixels);
    auto mask = shape_reference::PresentLayer(kBounds, before);
    const PTzPOINT point = {column * 30 + 3, 100};
    EXPECT_EQ(ITzCOLORFILL().FillSelection(&point, mask.get(), source.get(), tolerance), 0);
    const std::vector<uint8_t> bytes = shape_reference::ReadBytes(*mask, kBounds);
    std::vector<int> stripes;
    for (int c = 0; c < 10; ++c) {
        const uint8_t value = bytes[size_t(259) * 300 + size_t(c * 30 + 29)];
        if (value == 255)
            stripes.push_back(c);
        else
            EXPECT_EQ(value, before);
    }
    return stripes;
}

TEST(ColourFill, ToleranceTransparencyAndClampedRanges)
{
    // red 250 +- 10 is 240-255: 239 stays out; green 20 lies 10 away.
    EXPECT_EQ(Selected(0, 0), (std::vector<int>{0, 6, 8}));
    EXPECT_EQ(Selected(0, 10), (std::vector<int>{0, 1, 3, 5, 6, 8}));
    EXPECT_EQ(Selected(0, 255), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Selected(9, 0), (std::vector<int>{9}));
    // Marks already there stay.
    EXPECT_EQ(Selected(4, 0, 255), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ColourFill, OutsidePointsNullsAndShortagesChangeNothing)
{
    layer_pixels::Pixels pixels = Stripes();
    auto source = layer_pixels::MakeLayer(pixels);
    auto mask = shape_reference::PresentLayer(kBounds, 7);
    const PTzPOINT outside = {300, 5}, inside = {5, 5};
    EXPECT_EQ(ITzCOLORFILL().FillSelection(&outside, mask.get(), source.get(), 0), 0);
    EXPECT_EQ(ITzCOLORFILL().FillSelection(&inside, nullptr, source.get(), 0), ITzERR_INVALID);
    EXPECT_EQ(shape_reference::ReadBytes(*mask, kBounds), std::vector<uint8_t>(300 * 260, 7));
    std::vector<uint8_t*> pages;
    uint8_t* page = nullptr;
    while (BlockMemoryAlloc(GetBlockMemoryPool(), &page, ITzBLOCK_PAGE_BYTES))
        pages.push_back(page);
    EXPECT_EQ(ITzCOLORFILL().FillSelection(&inside, mask.get(), source.get(), 0), PTzERR_OUT_OF_MEMORY);
    for (uint8_t* held : pages)
        BlockMemoryFree(held, ITzBLOCK_PAGE_BYTES, GetBlockMemoryPool());
}

}  // namespace
