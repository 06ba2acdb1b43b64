// CMathMerge::MergeBitmap against the per-pixel reference: every merge type and pair of
// depths, at opacity 255 and below, on random bitmaps and rectangles that reach past
// the edges, including the bytes that pad each row.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "merge_builds.h"
#include "merge_reference.h"

namespace {

struct Image {
    _tagITzBITMAP bitmap{};
    std::vector<uint8_t> bytes;

    // Rows padded past the next multiple of 4, so that a write beyond a row shows.
    Image(std::mt19937& random, int32_t width, int32_t height, uint16_t bits, int32_t mode)
    {
        const int32_t stride = ((width * bits / 8 + 3) & ~3) + 4;
        bytes = RandomBytes(random, size_t(stride) * height);
        bitmap = {width, height, stride, bits, mode, bytes.data()};
    }
    uint8_t* Pixel(int32_t x, int32_t y) { return bytes.data() + y * bitmap.stride + x * bitmap.bits / 8; }
};

int32_t ModeOf(uint16_t bits, bool bgr)
{
    return bits == 32 ? 3 : bits == 24 ? (bgr ? 2 : 1) : 6;
}

// The merged destination pixel, or the pixel unchanged where the combination does nothing.
void ReferencePixel(const CMathMerge& t, int type, uint8_t opacity, const Image& source,
                    const uint8_t* s, Image& dest, uint8_t* d)
{
    const int from = source.bitmap.bits;
    const int to = dest.bitmap.bits;
    const uint8_t v = t.Product(s[0], opacity);
    if (type == ITzMERGE_NORMAL && from == 32 && to == 32) {
        const RefPixel p = RefAlphaOver(t, {s[0], s[1], s[2], s[3]}, {d[0], d[1], d[2], d[3]}, v);
        d[0] = p.a, d[1] = p.r, d[2] = p.g, d[3] = p.b;
    } else if (type == ITzMERGE_NORMAL && from == 32 && to == 24) {
        const bool bgr = dest.bitmap.colorMode == 2;
        for (int c = 0; c < 3; ++c)
            d[c] = RefAlphaOver24(t, s[bgr ? 3 - c : 1 + c], d[c], v);
    } else if ((type == ITzMERGE_NORMAL || type == ITzMERGE_MULTIPLY_ALPHA) && from == 8 && to == 8) {
        d[0] = RefGray(t, type, v, d[0]);
    } else if ((type == ITzMERGE_ERASE || type == ITzMERGE_MULTIPLY_ALPHA) && from == 8 && to == 32) {
        d[0] = RefGray(t, type, v, d[0]);
    } else if (type == ITzMERGE_INVERT && from == 8 && (to == 32 || to == 24) && s[0]) {
        for (int c = to == 32 ? 1 : 0; c < to / 8; ++c)
            d[c] = uint8_t(255 - d[c]);
    }
}

class MergeBitmap : public MergeBuildTest {
protected:
    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random{99};
};

TEST_P(MergeBitmap, EveryTypeAndDepthMatchesReference)
{
    const uint16_t depths[] = {8, 24, 32};
    size_t paired = 0;  // guards the test itself: the rectangles must overlap often
    for (int type = 2; type <= 10; ++type) {
        for (const uint16_t from : depths) {
            for (const uint16_t to : depths) {
                for (const uint8_t opacity : {255, 140}) {
                    for (int trial = 0; trial < 4; ++trial) {
                        const bool bgr = trial & 1;
                        // Rows from a few pixels to past the widest vector, to run the
                        // vector loops as well as their tails.
                        Image source(random, 5 + trial * 47, 20, from, ModeOf(from, false));
                        Image dest(random, 150 - trial * 30, 10 + trial * 5, to, ModeOf(to, bgr));
                        const PTzRECT sourceRect = RandomRect(random, source.bitmap.width, source.bitmap.height);
                        const PTzRECT destRect = RandomRect(random, dest.bitmap.width, dest.bitmap.height);
                        Image expected = dest;
                        expected.bitmap.pixels = expected.bytes.data();
                        const PTzRECT rects[] = {sourceRect, destRect};
                        const _tagPTzSIZE sizes[] = {{source.bitmap.width, source.bitmap.height},
                                                     {dest.bitmap.width, dest.bitmap.height}};
                        ForPairedPixels(rects, sizes, [&](int32_t i, int32_t j) {
                            ++paired;
                            ReferencePixel(t, type, opacity, source,
                                           source.Pixel(sourceRect.left + i, sourceRect.top + j), expected,
                                           expected.Pixel(destRect.left + i, destRect.top + j));
                        });
                        const _tagITzMERGEDATA merge{type, opacity};
                        CMathMerge::MergeBitmap(&t, &sourceRect, &source.bitmap, &dest.bitmap, &destRect, &merge);
                        ASSERT_EQ(dest.bytes, expected.bytes)
                            << "type " << type << " " << from << " -> " << to << " opacity "
                            << int(opacity) << " trial " << trial;
                    }
                }
            }
        }
    }
    EXPECT_GT(paired, 100000u);
}

TEST_P(MergeBitmap, ClippedCornerKeepsPixelsPaired)
{
    // A source rectangle starting at (-2, -1) merges source (0, 0) onto destination (3, 2).
    Image source(random, 4, 4, 8, 6);
    Image dest(random, 6, 6, 8, 6);
    std::fill(dest.bytes.begin(), dest.bytes.end(), 0);
    std::fill(source.bytes.begin(), source.bytes.end(), 0);
    *source.Pixel(0, 0) = 200;
    const PTzRECT sourceRect{-2, -1, 3, 3};
    const PTzRECT destRect{1, 1, 6, 6};
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    CMathMerge::MergeBitmap(nullptr, &sourceRect, &source.bitmap, &dest.bitmap, &destRect, &merge);
    EXPECT_EQ(*dest.Pixel(3, 2), 200);
    EXPECT_EQ(std::count(dest.bytes.begin(), dest.bytes.end(), 0), std::ptrdiff_t(dest.bytes.size() - 1));
}

TEST_P(MergeBitmap, BadArgumentsChangeNothing)
{
    Image source(random, 8, 8, 32, 3);
    Image dest(random, 8, 8, 32, 3);
    const std::vector<uint8_t> before = dest.bytes;
    const PTzRECT rect{0, 0, 8, 8};
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    CMathMerge::MergeBitmap(&t, nullptr, &source.bitmap, &dest.bitmap, &rect, &merge);
    CMathMerge::MergeBitmap(&t, &rect, nullptr, &dest.bitmap, &rect, &merge);
    CMathMerge::MergeBitmap(&t, &rect, &source.bitmap, &dest.bitmap, &rect, nullptr);
    // Rows shorter than the width claims.
    _tagITzBITMAP shortRows = source.bitmap;
    shortRows.stride = 16;
    CMathMerge::MergeBitmap(&t, &rect, &shortRows, &dest.bitmap, &rect, &merge);
    // A rectangle wholly outside its bitmap.
    const PTzRECT outside{8, 0, 12, 8};
    CMathMerge::MergeBitmap(&t, &outside, &source.bitmap, &dest.bitmap, &rect, &merge);
    EXPECT_EQ(dest.bytes, before);
}

INSTANTIATE_MERGE_BUILDS(MergeBitmap);

}  // namespace
