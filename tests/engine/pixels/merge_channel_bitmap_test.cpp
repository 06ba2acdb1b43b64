// ITzMergeChannelBitmap and ITzMultiplyPlaneByBitmap against the per-pixel reference:
// every merge type with and without a mask, opacity and mask factor 255 and below, on
// random planes with padded rows and rectangles that reach past the edges.
#include "engine/pixels/merge_channel_bitmap.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "merge_builds.h"
#include "merge_reference.h"

namespace {

struct Planar {
    _tagITzCHANNELBITMAP bitmap{};
    std::array<std::vector<uint8_t>, 4> planes;

    Planar(std::mt19937& random, int32_t width, int32_t height, int32_t kind)
    {
        const int32_t stride = width + 3;  // padding that must stay untouched
        bitmap = {width, height, stride, kind, {}};
        for (int c = 0; c < (kind == 3 ? 4 : 1); ++c) {
            planes[c] = RandomBytes(random, size_t(stride) * height);
            bitmap.planes[c] = planes[c].data();
        }
    }
    Planar(const Planar& other) : bitmap(other.bitmap), planes(other.planes)
    {
        for (int c = 0; c < 4; ++c)
            bitmap.planes[c] = planes[c].empty() ? nullptr : planes[c].data();
    }
    size_t At(int32_t x, int32_t y) const { return size_t(y) * bitmap.stride + x; }
    RefPixel Pixel(size_t i) const { return {planes[0][i], planes[1][i], planes[2][i], planes[3][i]}; }
    void Set(size_t i, RefPixel p) { planes[0][i] = p.a, planes[1][i] = p.r, planes[2][i] = p.g, planes[3][i] = p.b; }
    _tagPTzSIZE Size() const { return {bitmap.width, bitmap.height}; }
};

struct Mask {
    _tagITzBITMAP bitmap{};
    std::vector<uint8_t> bytes;

    Mask(std::mt19937& random, int32_t width, int32_t height)
    {
        const int32_t stride = ((width + 3) & ~3) + 4;
        bytes = RandomBytes(random, size_t(stride) * height);
        bitmap = {width, height, stride, 8, 6, bytes.data()};
    }
    const uint8_t* At(int32_t x, int32_t y) const { return &bytes[size_t(y) * bitmap.stride + x]; }
};

// The destination pixel after the merge; unchanged where the source kind and type do nothing.
void ReferencePixel(const CMathMerge& t, const _tagITzMERGEDATA& merge, uint8_t factor,
                    const Planar& source, size_t s, Planar& dest, size_t d, const uint8_t* m)
{
    const RefPixel under = dest.Pixel(d);
    const uint8_t weight = m ? t.Product(*m, factor) : 255;
    if (source.bitmap.kind == 6) {
        if (merge.mergeType == ITzMERGE_ERASE)
            dest.planes[0][d] = RefGray(t, ITzMERGE_ERASE,
                                        RefWeight(t, source.planes[0][s], merge.opacity, m, factor), under.a);
        return;
    }
    const RefPixel over = source.Pixel(s);
    switch (merge.mergeType) {
    case ITzMERGE_NORMAL:
        dest.Set(d, RefAlphaOver(t, over, under, RefWeight(t, over.a, merge.opacity, m, factor)));
        break;
    case ITzMERGE_COLOR_COPY:
        dest.Set(d, {m ? t.Union(t.Product(over.a, weight), under.a) : over.a, over.r, over.g, over.b});
        break;
    case ITzMERGE_SMUDGE:
        dest.Set(d, RefSmudge(t, over, under, weight));
        break;
    default:
        break;
    }
}

class MergeChannelBitmap : public MergeBuildTest {
protected:
    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random{4321};
};

TEST_P(MergeChannelBitmap, EveryTypeMatchesReference)
{
    size_t paired = 0;  // guards the test itself: the rectangles must overlap often
    for (const int kind : {3, 6}) {
        for (int type = 2; type <= 10; ++type) {
            for (const bool masked : {false, true}) {
                for (const uint8_t opacity : {255, 90}) {
                    for (const uint8_t factor : {255, 170}) {
                        const Planar source(random, 40 + type * 9, 23, kind);
                        Planar dest(random, 130 - type * 5, 17, 3);
                        const Mask mask(random, 100, 25);
                        const PTzRECT sourceRect = RandomRect(random, source.bitmap.width, source.bitmap.height);
                        const PTzRECT destRect = RandomRect(random, dest.bitmap.width, dest.bitmap.height);
                        const PTzRECT maskRect = RandomRect(random, mask.bitmap.width, mask.bitmap.height);
                        const _tagITzMERGEDATA merge{type, opacity};

                        Planar expected = dest;
                        const PTzRECT rects[] = {sourceRect, destRect, masked ? maskRect : destRect};
                        const _tagPTzSIZE sizes[] = {source.Size(), dest.Size(),
                                                     masked ? _tagPTzSIZE{mask.bitmap.width, mask.bitmap.height} : dest.Size()};
                        ForPairedPixels(rects, sizes, [&](int32_t i, int32_t j) {
                            ++paired;
                            ReferencePixel(t, merge, factor, source, source.At(sourceRect.left + i, sourceRect.top + j),
                                           expected, expected.At(destRect.left + i, destRect.top + j),
                                           masked ? mask.At(maskRect.left + i, maskRect.top + j) : nullptr);
                        });
                        ITzMergeChannelBitmap(&merge, factor, &maskRect, &dest.bitmap, &t, &destRect,
                                              &source.bitmap, &sourceRect, masked ? &mask.bitmap : nullptr);
                        ASSERT_EQ(dest.planes, expected.planes)
                            << "kind " << kind << " type " << type << " masked " << masked
                            << " opacity " << int(opacity) << " factor " << int(factor);
                    }
                }
            }
        }
    }
    EXPECT_GT(paired, 50000u);
}

TEST_P(MergeChannelBitmap, EraseWithFullMaskClearsAlphaOnly)
{
    Planar dest(random, 16, 16, 3);
    const Planar before = dest;
    Planar source(random, 16, 16, 6);
    std::fill(source.planes[0].begin(), source.planes[0].end(), 255);
    Mask mask(random, 16, 16);
    std::fill(mask.bytes.begin(), mask.bytes.end(), 255);
    const PTzRECT rect{0, 0, 16, 16};
    const _tagITzMERGEDATA merge{ITzMERGE_ERASE, 255};
    ITzMergeChannelBitmap(&merge, 255, &rect, &dest.bitmap, &t, &rect, &source.bitmap, &rect, &mask.bitmap);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            ASSERT_EQ(dest.planes[0][dest.At(x, y)], 0);
    for (int c = 1; c < 4; ++c)
        EXPECT_EQ(dest.planes[c], before.planes[c]);
}

TEST_P(MergeChannelBitmap, BadArgumentsChangeNothing)
{
    Planar dest(random, 8, 8, 3);
    const Planar before = dest;
    const Planar source(random, 8, 8, 3);
    const Mask mask(random, 8, 8);
    const PTzRECT rect{0, 0, 8, 8};
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    ITzMergeChannelBitmap(nullptr, 255, &rect, &dest.bitmap, &t, &rect, &source.bitmap, &rect, nullptr);
    ITzMergeChannelBitmap(&merge, 255, &rect, &dest.bitmap, &t, nullptr, &source.bitmap, &rect, nullptr);
    ITzMergeChannelBitmap(&merge, 255, nullptr, &dest.bitmap, &t, &rect, &source.bitmap, &rect, &mask.bitmap);
    // A destination of another kind, and a source missing a plane.
    _tagITzCHANNELBITMAP grayDest = dest.bitmap;
    grayDest.kind = 6;
    ITzMergeChannelBitmap(&merge, 255, &rect, &grayDest, &t, &rect, &source.bitmap, &rect, nullptr);
    _tagITzCHANNELBITMAP holed = source.bitmap;
    holed.planes[3] = nullptr;
    ITzMergeChannelBitmap(&merge, 255, &rect, &dest.bitmap, &t, &rect, &holed, &rect, nullptr);
    // A mask that is not 8-bit.
    _tagITzBITMAP wide = mask.bitmap;
    wide.bits = 32;
    ITzMergeChannelBitmap(&merge, 255, &rect, &dest.bitmap, &t, &rect, &source.bitmap, &rect, &wide);
    EXPECT_EQ(dest.planes, before.planes);
}

TEST_P(MergeChannelBitmap, MultiplyPlaneByBitmapMatchesReference)
{
    for (int trial = 0; trial < 20; ++trial) {
        Planar plane(random, 90, 12, 3);
        const Mask bitmap(random, 70, 15);
        const PTzRECT planeRect = RandomRect(random, plane.bitmap.width, plane.bitmap.height);
        const PTzRECT bitmapRect = RandomRect(random, bitmap.bitmap.width, bitmap.bitmap.height);
        Planar expected = plane;
        const PTzRECT rects[] = {bitmapRect, planeRect};
        const _tagPTzSIZE sizes[] = {{bitmap.bitmap.width, bitmap.bitmap.height}, plane.Size()};
        ForPairedPixels(rects, sizes, [&](int32_t i, int32_t j) {
            uint8_t& p = expected.planes[0][expected.At(planeRect.left + i, planeRect.top + j)];
            p = t.Product(*bitmap.At(bitmapRect.left + i, bitmapRect.top + j), p);
        });
        ITzMultiplyPlaneByBitmap(&planeRect, &bitmapRect, &t, &plane.bitmap, &bitmap.bitmap);
        ASSERT_EQ(plane.planes, expected.planes) << trial;
    }
}

INSTANTIATE_MERGE_BUILDS(MergeChannelBitmap);

}  // namespace
