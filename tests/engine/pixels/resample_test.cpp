// ITzResize: the weight tables against the weight rules, the accumulation buffers, the
// block-wise service and the bitmap resizers bit-exact against the direct per-pixel
// form, brush tips, and what a short scratch pool does to each.
#include "engine/pixels/resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "layer_pixels_support.h"
#include "resample_reference.h"

namespace {

using layer_pixels::Blank;
using layer_pixels::Pixels;
using layer_pixels::RandomPixels;

// Holds every free page of the scratch pool but `spare` for the length of a test.
class PoolShortage {
public:
    explicit PoolShortage(size_t spare)
    {
        for (uint8_t* page; (page = GetBlockMemoryPool()->Alloc(ITzBLOCK_PAGE_BYTES)) != nullptr;)
            m_held.push_back(page);
        for (size_t i = 0; i < spare && !m_held.empty(); ++i) {
            GetBlockMemoryPool()->Free(m_held.back());
            m_held.pop_back();
        }
    }
    ~PoolShortage()
    {
        for (uint8_t* page : m_held)
            GetBlockMemoryPool()->Free(page);
    }

private:
    std::vector<uint8_t*> m_held;
};

uint32_t TableWeight(const _tagITzBLRESIZETABLE& table, int32_t s, int32_t d)
{
    int32_t first, last;
    const uint8_t* weights;
    if (!ITzResize::GetIndexPriListFromBLResizeTable(&table, s, &first, &last, &weights) || d < first || d > last)
        return 0;
    return weights[d - first];
}

template <class Axis>
void ExpectTableWeights(const _tagITzBLRESIZETABLE& table, const Axis& axis)
{
    uint32_t widest = 0;
    for (int32_t s = table.firstSource; s < table.endSource; ++s) {
        int32_t first, last;
        const uint8_t* weights;
        ASSERT_EQ(ITzResize::GetIndexPriListFromBLResizeTable(&table, s, &first, &last, &weights), 1);
        widest = std::max<uint32_t>(widest, uint32_t(last - first + 1));
        for (int32_t d = first - 3; d <= last + 3; ++d)
            ASSERT_EQ(TableWeight(table, s, d), axis.Weight(s, d)) << "source " << s << " destination " << d;
    }
    EXPECT_EQ(table.width, widest);
}

TEST(ResizeTables, HalvingGivesEverySourceWeight128)
{
    const _tagITzZOOMLEVEL half = {1, 2};
    _tagITzBLRESIZETABLE* table = ITzResize::CreateBLResizetable(0, 8, &half);
    ASSERT_NE(table, nullptr);
    for (int32_t d = 0; d < 4; ++d) {
        EXPECT_EQ(TableWeight(*table, 2 * d, d), 128u);
        EXPECT_EQ(TableWeight(*table, 2 * d + 1, d), 128u);
    }
    ITzResize::ReleaseBLResizetable(table);
}

TEST(ResizeTables, DoublingPutsDestination1AtSourceQuarter)
{
    const _tagITzZOOMLEVEL twice = {2, 1};
    _tagITzBLRESIZETABLE* table = ITzResize::CreateBLResizetable(0, 2, &twice);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(TableWeight(*table, 0, 1), 191u);
    EXPECT_EQ(TableWeight(*table, 1, 1), 64u);
    ITzResize::ReleaseBLResizetable(table);
}

TEST(ResizeTables, PlainAndCentredTablesHoldTheRulesWeights)
{
    std::mt19937 random(131);
    for (int trial = 0; trial < 200; ++trial) {
        const bool enlarge = trial % 2 == 0;
        const uint32_t small = 1 + random() % 9, large = small + 1 + random() % (trial % 10 == 1 ? 3000 : 40);
        const _tagITzZOOMLEVEL zoom = enlarge ? _tagITzZOOMLEVEL{large, small} : _tagITzZOOMLEVEL{small, large};
        const int32_t first = int32_t(random() % 2001) - 1000, count = 1 + int32_t(random() % 300);
        _tagITzBLRESIZETABLE* plain = ITzResize::CreateBLResizetable(first, first + count, &zoom);
        ASSERT_NE(plain, nullptr);
        ExpectTableWeights(*plain, resample_ref::PlainAxis{first, first + count, zoom.numerator, zoom.denominator});
        ITzResize::ReleaseBLResizetable(plain);
        _tagITzBLRESIZETABLE* centred = ITzResize::CreateBL_CResizeTable(uint32_t(count), &zoom);
        ASSERT_NE(centred, nullptr);
        ExpectTableWeights(*centred, resample_ref::CentredAxis{count, zoom.numerator, zoom.denominator});
        ITzResize::ReleaseBLResizetable(centred);
    }
}

TEST(ResizeTables, CentredSizesAndRefusals)
{
    const _tagITzZOOMLEVEL twice = {2, 1}, third = {1, 3};
    EXPECT_EQ(ITzResize::GetBL_CResizedSize(10, &twice), 22u);  // ceil(2 x 11 / 1)
    EXPECT_EQ(ITzResize::GetBL_CResizedSize(10, &third), 4u);   // ceil(10 / 3)
    EXPECT_EQ(ITzResize::GetBL_CResizedSize(10, nullptr), 0u);
    EXPECT_EQ(ITzResize::CreateBLResizetable(5, 5, &twice), nullptr);
    EXPECT_EQ(ITzResize::CreateBLResizetable(0, 5, nullptr), nullptr);
    const _tagITzZOOMLEVEL huge = {ITzZOOM_TERM_MAX, 1};
    EXPECT_EQ(ITzResize::CreateBLResizetable(0, 100000, &huge), nullptr);  // could not be stored
}

TEST(ResizeBuffers, EachColourModeTakesItsArraysAndNoMore)
{
    const _tagPTzSIZE size = {256, 256};
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    _tagITzZOOMBLBUFFERDATA buffer = {};
    ASSERT_EQ(ITzResize::AllocBLZoomBuffer(&size, PTzCOLORMODE_GRAY, &buffer), 1);
    EXPECT_EQ(buffer.weightSum, nullptr);
    EXPECT_EQ(buffer.alphaSum, nullptr);
    EXPECT_NE(buffer.colorWeightSum, nullptr);
    EXPECT_NE(buffer.colorSums[0], nullptr);
    EXPECT_EQ(buffer.colorSums[1], nullptr);
    EXPECT_EQ(pool->pagesInUse(), 16u);
    ASSERT_EQ(ITzResize::AllocBLZoomBuffer(&size, PTzCOLORMODE_GRAY16, &buffer), 1);
    EXPECT_NE(buffer.weightSum, nullptr);
    EXPECT_NE(buffer.alphaSum, nullptr);
    EXPECT_EQ(pool->pagesInUse(), 28u);  // the gray buffer was released first
    ASSERT_EQ(ITzResize::AllocBLZoomBuffer(&size, PTzCOLORMODE_ARGB, &buffer), 1);
    EXPECT_NE(buffer.colorSums[2], nullptr);
    EXPECT_EQ(buffer.colorSums[3], nullptr);
    EXPECT_EQ(ITzResize::ReleaseBLZoomBuffer(&size, &buffer), 1);
    EXPECT_EQ(pool->pagesInUse(), 0u);
    EXPECT_EQ(ITzResize::AllocBLZoomBuffer(&size, PTzCOLORMODE_2BIT, &buffer), 0);
    _tagITzCHANNELBITMAP gray = {256, 256, 256, PTzCOLORMODE_GRAY, {reinterpret_cast<uint8_t*>(&buffer)}};
    ASSERT_EQ(ITzResize::AllocBLZoomBuffer(&size, &gray, &buffer), 1);
    EXPECT_NE(buffer.alphaSum, nullptr);  // a gray plane averages as alpha does
    EXPECT_EQ(buffer.colorWeightSum, nullptr);
    ITzResize::ReleaseBLZoomBuffer(&size, &buffer);
}

TEST(ResizeBuffers, AShortPoolTakesNothing)
{
    const _tagPTzSIZE size = {256, 256};
    PoolShortage shortage(20);
    const uint32_t before = GetBlockMemoryPool()->pagesInUse();
    _tagITzZOOMBLBUFFERDATA buffer = {};
    EXPECT_EQ(ITzResize::AllocBLZoomBuffer(&size, PTzCOLORMODE_ARGB, &buffer), 0);
    EXPECT_EQ(buffer.weightSum, nullptr);
    EXPECT_EQ(buffer.alphaSum, nullptr);
    EXPECT_EQ(GetBlockMemoryPool()->pagesInUse(), before);
}

// The block-wise service's source: the pixels of a picture of planes.
int ReadPixels(PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, void* user)
{
    const Pixels& pixels = *static_cast<const Pixels*>(user);
    for (int32_t y = rect->top; y < rect->bottom; ++y)
        for (int32_t x = rect->left; x < rect->right; ++x)
            for (int p = 0; p < 4; ++p)
                if (bitmap->planes[p])
                    bitmap->planes[p][(y - rect->top) * bitmap->stride + (x - rect->left)] =
                        uint8_t(pixels.at(x, y, p));
    return 1;
}

int ReadNothing(PTzRECT*, _tagITzCHANNELBITMAP*, void*)
{
    return 0;
}

// Compares a resized picture of planes with the direct form of the plain tables (the
// destination's size over the source's), zero divisors giving 255.
void ExpectPlainResize(const Pixels& source, const Pixels& out, bool alpha)
{
    const resample_ref::PlainAxis x = {0, source.width(), out.width(), source.width()};
    const resample_ref::PlainAxis y = {0, source.height(), out.height(), source.height()};
    for (int32_t dy = 0; dy < out.height(); ++dy)
        for (int32_t dx = 0; dx < out.width(); ++dx) {
            const resample_ref::Sums sums = resample_ref::Gather(
                x, y, dx, dy, alpha, 3, 128, [&](int64_t sx, int64_t sy, int p) { return source.at(sx, sy, p); });
            if (alpha) {
                ASSERT_EQ(int(out.at(dx, dy, 0)), resample_ref::Divide(sums.alpha, sums.weight, 255))
                    << dx << "," << dy;
            }
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(int(out.at(dx, dy, 1 + k)), resample_ref::Divide(sums.colour[k], sums.colourWeight, 255))
                    << dx << "," << dy;
        }
}

// One call may cover many tiles: each starts from empty sums.
TEST(ResizeBlockService, MatchesTheDirectFormTileAfterTile)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 8; ++trial) {
        const bool alpha = trial % 2 == 0;
        Pixels source = RandomPixels({0, 0, 1 + int32_t(random() % 600), 1 + int32_t(random() % 400)}, uint32_t(trial));
        Pixels out = Blank({0, 0, 1 + int32_t(random() % 700), 1 + int32_t(random() % 500)}, 0x11);
        const _tagPTzSIZE from = {source.width(), source.height()}, to = {out.width(), out.height()};
        const _tagITzRESIZEINPUTPROCINFO input = {&ReadPixels, &source};
        void* handle = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
        ASSERT_NE(handle, nullptr);
        _tagITzCHANNELBITMAP bitmap = out.Bitmap();
        if (!alpha)
            bitmap.planes[0] = nullptr, bitmap.kind = PTzCOLORMODE_RGB;
        ASSERT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &out.bounds, &bitmap), 1);
        ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, handle);
        ExpectPlainResize(source, out, alpha);
    }
    EXPECT_EQ(GetBlockMemoryPool()->pagesInUse(), 0u);
}

// Sums of 32 bits overflowed beyond about 4,100:1 on both axes.
TEST(ResizeBlockService, AReductionOf4200To1OnBothAxesKeepsItsColour)
{
    Pixels source = Blank({0, 0, 4200, 4200});
    std::fill(source.planes[0].begin(), source.planes[0].end(), 255);
    std::fill(source.planes[1].begin(), source.planes[1].end(), 250);
    std::fill(source.planes[2].begin(), source.planes[2].end(), 3);
    const _tagPTzSIZE from = {4200, 4200}, to = {1, 1};
    const _tagITzRESIZEINPUTPROCINFO input = {&ReadPixels, &source};
    void* handle = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
    ASSERT_NE(handle, nullptr);
    Pixels out = Blank({0, 0, 1, 1});
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    ASSERT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &out.bounds, &bitmap), 1);
    EXPECT_EQ(out.at(0, 0, 0), 255u);
    EXPECT_EQ(out.at(0, 0, 1), 250u);
    EXPECT_EQ(out.at(0, 0, 2), 3u);
    ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, handle);
}

TEST(ResizeBlockService, TransparentOrSkippedSourcesGiveAlpha0AndColour255)
{
    Pixels source = Blank({0, 0, 40, 40});
    const _tagPTzSIZE from = {40, 40}, to = {100, 10};
    for (ITzRESIZEINPUTPROC read : {&ReadPixels, &ReadNothing}) {
        const _tagITzRESIZEINPUTPROCINFO input = {read, &source};
        void* handle = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
        Pixels out = Blank({0, 0, 100, 10}, 0x22);
        _tagITzCHANNELBITMAP bitmap = out.Bitmap();
        ASSERT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &out.bounds, &bitmap), 1);
        EXPECT_EQ(out.at(50, 5, 0), read == &ReadPixels ? 0u : 255u);
        EXPECT_EQ(out.at(50, 5, 1), 255u);
        ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, handle);
    }
}

// A short pool used to leave tiles white and report success.
TEST(ResizeBlockService, AShortPoolFailsTheCallAndLeavesTheBitmap)
{
    Pixels source = RandomPixels({0, 0, 64, 64}, 3);
    const _tagPTzSIZE from = {64, 64}, to = {128, 128};
    const _tagITzRESIZEINPUTPROCINFO input = {&ReadPixels, &source};
    void* handle = ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_BILINEAR, &from, &to, &input);
    ASSERT_NE(handle, nullptr);
    Pixels out = Blank({0, 0, 128, 128}, 0x44);
    _tagITzCHANNELBITMAP bitmap = out.Bitmap();
    {
        PoolShortage shortage(10);  // too few for the buffer
        EXPECT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &out.bounds, &bitmap), 0);
    }
    EXPECT_EQ(out.at(5, 5, 1), 0x44u);
    ASSERT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &out.bounds, &bitmap), 1);
    {
        PoolShortage shortage(0);  // the buffer is kept, the source pages cannot be had
        Pixels again = Blank({0, 0, 128, 128}, 0x44);
        _tagITzCHANNELBITMAP second = again.Bitmap();
        EXPECT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_BILINEAR, handle, &again.bounds, &second), 0);
        EXPECT_EQ(again.at(5, 5, 1), 0x44u);
    }
    ITzResize::ResizeReleaseSettingHandle(ITzRESAMPLE_BILINEAR, handle);
    EXPECT_EQ(ITzResize::ResizeCreateSettingHandle(ITzRESAMPLE_NEAREST, &from, &to, &input), nullptr);
    EXPECT_EQ(ITzResize::ResizeGetBlockData(ITzRESAMPLE_NEAREST, handle, &out.bounds, &bitmap), 0);
}

// An interleaved bitmap of the colour mode holding the planes' bytes (alpha first).
struct Interleaved {
    _tagITzBITMAP bitmap = {};
    Interleaved(int32_t width, int32_t height, int32_t mode)
    {
        const _tagPTzSIZE size = {width, height};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
    }
    ~Interleaved() { ITzReleaseITzBitmap(&bitmap); }
    bool alpha() const { return bitmap.colorMode == PTzCOLORMODE_ARGB; }
    int colours() const { return bitmap.colorMode == PTzCOLORMODE_GRAY ? 1 : 3; }
    uint8_t& at(int32_t x, int32_t y, int p)
    {
        const int byte = alpha() ? p : p - 1;
        return bitmap.pixels[y * bitmap.stride + x * (bitmap.bits / 8) + byte];
    }
    void From(const Pixels& pixels)
    {
        for (int32_t y = 0; y < bitmap.height; ++y)
            for (int32_t x = 0; x < bitmap.width; ++x)
                for (int p = alpha() ? 0 : 1; p <= colours(); ++p)
                    at(x, y, p) = uint8_t(pixels.at(x, y, p));
    }
};

TEST(ResizeBitmap, PlainAndCentredResizesMatchTheDirectForm)
{
    std::mt19937 random(11);
    for (int32_t mode : {PTzCOLORMODE_ARGB, PTzCOLORMODE_RGB, PTzCOLORMODE_GRAY}) {
        const PTzRECT bounds = {0, 0, 1 + int32_t(random() % 300), 1 + int32_t(random() % 300)};
        const Pixels pixels = RandomPixels(bounds, uint32_t(mode));
        Interleaved source(pixels.width(), pixels.height(), mode);
        source.From(pixels);
        Interleaved dest(1 + int32_t(random() % 400), 1 + int32_t(random() % 400), mode);
        ASSERT_EQ(ITzResize::ResizeBitmapSimpleBL(&dest.bitmap, &source.bitmap), 1);
        const resample_ref::PlainAxis x = {0, pixels.width(), dest.bitmap.width, pixels.width()};
        const resample_ref::PlainAxis y = {0, pixels.height(), dest.bitmap.height, pixels.height()};
        const _tagITzZOOMLEVEL zoomX = {3, 5}, zoomY = {7, 2};
        Interleaved centred(int32_t(ITzResize::GetBL_CResizedSize(uint32_t(pixels.width()), &zoomX)),
                            int32_t(ITzResize::GetBL_CResizedSize(uint32_t(pixels.height()), &zoomY)), mode);
        ASSERT_EQ(ITzResize::ResizeBitmapSimpleBL_C(&centred.bitmap, &source.bitmap, &zoomX, &zoomY), 1);
        const resample_ref::CentredAxis cx = {pixels.width(), 3, 5}, cy = {pixels.height(), 7, 2};
        const auto pixel = [&](int64_t sx, int64_t sy, int p) { return pixels.at(sx, sy, p); };
        const auto expect = [&](Interleaved& out, const auto& ax, const auto& ay) {
            for (int32_t dy = 0; dy < out.bitmap.height; ++dy)
                for (int32_t dx = 0; dx < out.bitmap.width; ++dx) {
                    const resample_ref::Sums sums =
                        resample_ref::Gather(ax, ay, dx, dy, out.alpha(), out.colours(), 128, pixel);
                    if (out.alpha()) {
                        ASSERT_EQ(int(out.at(dx, dy, 0)), resample_ref::Divide(sums.alpha, sums.weight, 255));
                    }
                    for (int k = 0; k < out.colours(); ++k) {
                        const int expected = resample_ref::Divide(sums.colour[k], sums.colourWeight, 255);
                        ASSERT_EQ(int(out.at(dx, dy, 1 + k)), expected) << "mode " << mode << " at " << dx << "," << dy;
                    }
                }
        };
        expect(dest, x, y);
        expect(centred, cx, cy);
    }
}

TEST(ResizeBitmap, RefusesMismatchedBitmapsAndAShortPool)
{
    Interleaved argb(10, 10, PTzCOLORMODE_ARGB), gray(10, 10, PTzCOLORMODE_GRAY), other(20, 20, PTzCOLORMODE_ARGB);
    EXPECT_EQ(ITzResize::ResizeBitmapBLStart(&argb.bitmap, &gray.bitmap), nullptr);
    EXPECT_EQ(ITzResize::ResizeBitmapBLStart(nullptr, &gray.bitmap), nullptr);
    PoolShortage shortage(10);
    EXPECT_EQ(ITzResize::ResizeBitmapBLStart(&other.bitmap, &argb.bitmap), nullptr);
    EXPECT_EQ(ITzResize::ResizeBitmapSimpleBL(&other.bitmap, &argb.bitmap), 0);
}

// Contributions are added through the product table and saturate: a destination that is
// not zero-filled brightens.
TEST(ResizeBrush, AddsIntoTheDestinationAndSaturates)
{
    Interleaved source(9, 9, PTzCOLORMODE_GRAY), dest(5, 5, PTzCOLORMODE_GRAY);
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 9; ++x)
            source.at(x, y, 1) = uint8_t(20 * x + 7 * y);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x)
            dest.at(x, y, 1) = uint8_t(60 * y);
    const _tagITzZOOMLEVEL zoom = {128, 255};
    ASSERT_EQ(ITzResize::GetBL_CResizedSize(9, &zoom), 5u);
    ASSERT_EQ(ITzResize::ResizeBrushSimple(&dest.bitmap, &source.bitmap, &zoom, &zoom), 1);
    const resample_ref::CentredAxis axis = {9, 128, 255};
    const auto product = [](uint32_t a, uint32_t b) { return (a * b + 127) / 255; };
    for (int32_t dy = 0; dy < 5; ++dy)
        for (int32_t dx = 0; dx < 5; ++dx) {
            uint32_t value = uint32_t(60 * dy);
            for (int32_t sy = 0; sy < 9; ++sy)
                for (int32_t sx = 0; sx < 9; ++sx)
                    value += product(product(axis.Weight(sy, dy), axis.Weight(sx, dx)), (20 * sx + 7 * sy) & 255);
            EXPECT_EQ(dest.at(dx, dy, 1), std::min<uint32_t>(value, 255)) << dx << "," << dy;
        }
}

// Each destination column reads its sources through per-column taps: strong reductions
// give more taps than the usual 2 or 3, and the axes may differ. Rows with empty ends
// and empty rows, as a tip has them, are skipped only where they add nothing.
TEST(ResizeBrush, EveryTapCountMatchesThePlainSum)
{
    const _tagITzZOOMLEVEL zooms[] = {{1, 5}, {100, 128}, {2, 7}, {200, 255}};
    for (const _tagITzZOOMLEVEL& zoomX : zooms)
        for (const _tagITzZOOMLEVEL& zoomY : zooms) {
            Interleaved source(23, 17, PTzCOLORMODE_GRAY);
            for (int32_t y = 0; y < 17; ++y)
                for (int32_t x = 0; x < 23; ++x)
                    source.at(x, y, 1) = (x < y % 5 || x > 22 - y % 4 || y % 6 == 2) ? 0 : uint8_t(x * 11 + y * 9 + (x * y) % 7);
            const int32_t width = int32_t(ITzResize::GetBL_CResizedSize(23, &zoomX));
            const int32_t height = int32_t(ITzResize::GetBL_CResizedSize(17, &zoomY));
            Interleaved dest(width, height, PTzCOLORMODE_GRAY);
            ASSERT_EQ(ITzResize::ResizeBrushSimple(&dest.bitmap, &source.bitmap, &zoomX, &zoomY), 1);
            const resample_ref::CentredAxis axisX = {23, zoomX.numerator, zoomX.denominator};
            const resample_ref::CentredAxis axisY = {17, zoomY.numerator, zoomY.denominator};
            const auto product = [](uint32_t a, uint32_t b) { return (a * b + 127) / 255; };
            for (int32_t dy = 0; dy < height; ++dy)
                for (int32_t dx = 0; dx < width; ++dx) {
                    uint32_t value = 0;
                    for (int32_t sy = 0; sy < 17; ++sy)
                        for (int32_t sx = 0; sx < 23; ++sx)
                            value += product(product(axisY.Weight(sy, dy), axisX.Weight(sx, dx)), source.at(sx, sy, 1));
                    ASSERT_EQ(dest.at(dx, dy, 1), std::min<uint32_t>(value, 255))
                        << zoomX.numerator << "/" << zoomX.denominator << " " << zoomY.numerator << "/"
                        << zoomY.denominator << " at " << dx << "," << dy;
                }
        }
}

// 4 x 4 to 2 x 2: rows are taken when the row sum reaches its counter (rows 0 and 2),
// columns when the total passes its counter (columns 1 and 3).
TEST(ResizeBrush, NearestPixelReductionPicksByTheCounters)
{
    Interleaved source(4, 4, PTzCOLORMODE_GRAY), dest(2, 2, PTzCOLORMODE_GRAY), large(5, 5, PTzCOLORMODE_GRAY);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            source.at(x, y, 1) = uint8_t(10 * y + x);
    ASSERT_EQ(ITzResize::ResizeBrushNN(&dest.bitmap, &source.bitmap), 1);
    EXPECT_EQ(dest.at(0, 0, 1), 1);
    EXPECT_EQ(dest.at(1, 0, 1), 3);
    EXPECT_EQ(dest.at(0, 1, 1), 21);
    EXPECT_EQ(dest.at(1, 1, 1), 23);
    EXPECT_EQ(ITzResize::ResizeBrushNN(&large.bitmap, &source.bitmap), 0);
}

TEST(ResizeRects, DestinationEdgesRoundOutwardsTowardsZero)
{
    const _tagITzZOOMLEVEL third = {1, 3};
    const PTzRECT in = {10, -10, 20, 7};
    PTzRECT out;
    ASSERT_EQ(ITzResize::GetResizeDesRect(&out, &in, &third, &third, ITzRESAMPLE_BILINEAR), 1);
    EXPECT_EQ(out.left, 2);     // (10 - 3 + 1) / 3
    EXPECT_EQ(out.top, -4);     // (-10 - 3 + 1) / 3, truncated towards zero
    EXPECT_EQ(out.right, 7);    // (20 + 2) / 3
    EXPECT_EQ(out.bottom, 3);   // (7 + 2) / 3
    ASSERT_EQ(ITzResize::GetResizeSrcRect(&out, &in, &third, &third, ITzRESAMPLE_BILINEAR), 1);
    EXPECT_EQ(out.left, 29);
    EXPECT_EQ(out.right, 61);
    EXPECT_EQ(ITzResize::GetResizeSrcRect(&out, &in, &third, &third, ITzRESAMPLE_RESERVED), 0);
}

}  // namespace
