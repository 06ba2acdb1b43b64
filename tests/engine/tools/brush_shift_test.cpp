// Sub-pixel shifted tips against a plain bilinear reference at every sixteenth-pixel
// offset.
#include <gtest/gtest.h>

#include <random>

#include "brush_test_support.h"
#include "engine/pixels/blend_tables.h"
#include "engine/tools/brush_base.h"

using namespace brush_test;

namespace {

// out[i][j] = min(255, M(w11, T[i][j]) + M(w12, T[i][j+1]) + M(w21, T[i+1][j]) + M(w22,
// T[i+1][j+1])), M the blend tables' product, M(256, v) = v.
std::vector<uint8_t> Reference(const _tagITzBITMAP& tip, uint32_t fx, uint32_t fy)
{
    const CMathMerge& tables = *GetMathMerge();
    auto weighted = [&tables](uint32_t w, uint8_t v) { return w == 256 ? v : tables.Product(uint8_t(w), v); };
    std::vector<uint8_t> out;
    for (int32_t i = 0; i + 1 < tip.height; ++i)
        for (int32_t j = 0; j + 1 < tip.width; ++j) {
            const uint32_t sum = weighted(fx * fy, At(tip, j, i)) + weighted((16 - fx) * fy, At(tip, j + 1, i)) +
                                 weighted(fx * (16 - fy), At(tip, j, i + 1)) +
                                 weighted((16 - fx) * (16 - fy), At(tip, j + 1, i + 1));
            out.push_back(uint8_t(sum > 255 ? 255 : sum));
        }
    return out;
}

// A tip of arbitrary bytes, border included, with a stride wider than its rows.
struct NoisyTip {
    NoisyTip(int32_t width, int32_t height) : bytes(size_t(height) * (width + 3))
    {
        std::mt19937 random(7);
        for (uint8_t& b : bytes)
            b = uint8_t(random() % 4 == 0 ? 255 : random());
        tip = {width, height, width + 3, 8, 6, bytes.data()};
    }
    std::vector<uint8_t> bytes;
    _tagITzBITMAP tip;
};

}  // namespace

TEST(BrushShift, EveryOffsetMatchesThePlainReference)
{
    ASSERT_NE(GetMathMerge(), nullptr);
    ITzBrushBase brush;
    for (auto [width, height] : {std::pair{9, 7}, std::pair{2, 2}, std::pair{40, 3}}) {
        NoisyTip noisy(width, height);
        for (uint32_t fy = 0; fy < 16; ++fy)
            for (uint32_t fx = 0; fx < 16; ++fx) {
                _tagITzBITMAP out = {};
                ASSERT_EQ(brush.GetAntiBrushByBitmap(&out, &noisy.tip, int32_t(fx), int32_t(fy)), 1);
                ASSERT_EQ(out.width, width - 1);
                ASSERT_EQ(out.height, height - 1);
                ASSERT_EQ(Bytes(out), Reference(noisy.tip, fx, fy)) << width << " " << fx << " " << fy;
            }
    }
}

TEST(BrushShift, OffsetsAreTakenModuloSixteen)
{
    ITzBrushBase brush;
    NoisyTip noisy(6, 6);
    _tagITzBITMAP out = {};
    ASSERT_EQ(brush.GetAntiBrushByBitmap(&out, &noisy.tip, -3, 37), 1);
    EXPECT_EQ(Bytes(out), Reference(noisy.tip, 13, 5));
    EXPECT_EQ(brush.GetBrushWidthByAnti(&out), 4u);
    EXPECT_EQ(brush.GetBrushHeightByAnti(nullptr), 0u);
}

TEST(BrushShift, RefusesTipsWithoutAPixelToShiftAndItsOwnBuffer)
{
    ITzBrushBase brush;
    NoisyTip noisy(5, 5);
    _tagITzBITMAP out = {}, again = {}, line = noisy.tip;
    line.height = 1;
    EXPECT_EQ(brush.GetAntiBrushByBitmap(&out, &line, 1, 1), 0);
    EXPECT_EQ(brush.GetAntiBrushByBitmap(&out, nullptr, 1, 1), 0);
    ASSERT_EQ(brush.GetAntiBrushByBitmap(&out, &noisy.tip, 1, 1), 1);
    EXPECT_EQ(brush.GetAntiBrushByBitmap(&again, &out, 1, 1), 0);
}
