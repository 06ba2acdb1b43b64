// Tile merges against the plain per-pixel reference, on random tiles, at opacity 255 and
// below, with and without a mask; and the worked examples of the merge formulas.
#include "engine/pixels/merge_tile.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "merge_builds.h"
#include "merge_reference.h"

namespace {

constexpr size_t kTile = 65536;

struct ArgbTile {
    std::array<std::vector<uint8_t>, 4> planes;  // alpha, red, green, blue

    explicit ArgbTile(std::mt19937& random)
    {
        for (auto& plane : planes)
            plane = RandomBytes(random, kTile);
    }
    ArgbTile(RefPixel pixel)
    {
        const uint8_t values[4] = {pixel.a, pixel.r, pixel.g, pixel.b};
        for (int c = 0; c < 4; ++c)
            planes[c].assign(kTile, values[c]);
    }
    RefPixel At(size_t i) const { return {planes[0][i], planes[1][i], planes[2][i], planes[3][i]}; }
    std::array<const uint8_t*, 4> Source() const
    {
        return {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()};
    }
    std::array<uint8_t*, 4> Dest()
    {
        return {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()};
    }
};

class MergeTile : public MergeBuildTest {
protected:
    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random{1234};
};

TEST_P(MergeTile, AlphaOverMatchesReference)
{
    for (const uint8_t opacity : {255, 128, 1, 0}) {
        for (const bool masked : {false, true}) {
            const ArgbTile source(random);
            const ArgbTile before(random);
            const std::vector<uint8_t> mask = RandomBytes(random, kTile);
            ArgbTile dest = before;
            const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, opacity};
            if (masked)
                ITzMergeBlockARGBMask(source.Source().data(), dest.Dest().data(), &merge, &t, mask.data());
            else
                ITzMergeBlockARGB(source.Source().data(), dest.Dest().data(), &merge, &t);
            for (size_t i = 0; i < kTile; ++i) {
                const uint8_t a = RefWeight(t, source.At(i).a, opacity, masked ? &mask[i] : nullptr);
                ASSERT_EQ(dest.At(i), RefAlphaOver(t, source.At(i), before.At(i), a))
                    << "pixel " << i << " opacity " << int(opacity) << " masked " << masked;
            }
        }
    }
}

TEST_P(MergeTile, SmudgeMixesUnderMaskAndCopiesWithoutOne)
{
    const ArgbTile source(random);
    const ArgbTile before(random);
    const std::vector<uint8_t> mask = RandomBytes(random, kTile);
    // The opacity plays no part in the smudge mix.
    const _tagITzMERGEDATA merge{ITzMERGE_SMUDGE, 7};

    ArgbTile dest = before;
    ITzMergeBlockARGBMask(source.Source().data(), dest.Dest().data(), &merge, &t, mask.data());
    for (size_t i = 0; i < kTile; ++i)
        ASSERT_EQ(dest.At(i), RefSmudge(t, source.At(i), before.At(i), mask[i])) << "pixel " << i;

    dest = before;
    ITzMergeBlockARGB(source.Source().data(), dest.Dest().data(), &merge, &t);
    EXPECT_EQ(dest.planes, source.planes);
}

TEST_P(MergeTile, SmudgeDividesByTheNewAlpha)
{
    const std::vector<uint8_t> mask(kTile, 128);
    const _tagITzMERGEDATA merge{ITzMERGE_SMUDGE, 255};

    // Opaque colour smudged into transparency keeps its colour at half the alpha.
    ArgbTile dest(RefPixel{0, 0, 0, 0});
    const ArgbTile opaque(RefPixel{255, 200, 100, 10});
    ITzMergeBlockARGBMask(opaque.Source().data(), dest.Dest().data(), &merge, &t, mask.data());
    EXPECT_EQ(dest.At(0), (RefPixel{128, 199, 99, 9}));

    // A transparent source leaves the colour it is mixed into, not black.
    ArgbTile under(RefPixel{255, 200, 100, 10});
    const ArgbTile clear(RefPixel{0, 50, 50, 50});
    ITzMergeBlockARGBMask(clear.Source().data(), under.Dest().data(), &merge, &t, mask.data());
    EXPECT_EQ(under.At(0), (RefPixel{127, 200, 100, 10}));

    // Opaque on opaque: the new alpha is the source alpha, as before the division changed.
    ArgbTile solid(RefPixel{255, 0, 255, 40});
    ITzMergeBlockARGBMask(opaque.Source().data(), solid.Dest().data(), &merge, &t, mask.data());
    EXPECT_EQ(solid.At(0), RefSmudge(t, opaque.At(0), RefPixel{255, 0, 255, 40}, 128));
    EXPECT_EQ(solid.At(0), (RefPixel{255, 99, 177, 24}));
}

TEST_P(MergeTile, OtherTypesAndMissingPlanesChangeNothing)
{
    const ArgbTile source(random);
    const ArgbTile before(random);
    const std::vector<uint8_t> mask = RandomBytes(random, kTile);
    for (const int type : {2, 4, 5, 6, 7, 8, 9, 11}) {
        ArgbTile dest = before;
        const _tagITzMERGEDATA merge{type, 255};
        ITzMergeBlockARGB(source.Source().data(), dest.Dest().data(), &merge, &t);
        ITzMergeBlockARGBMask(source.Source().data(), dest.Dest().data(), &merge, &t, mask.data());
        EXPECT_EQ(dest.planes, before.planes) << type;
    }
    ArgbTile dest = before;
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    auto planes = dest.Dest();
    planes[2] = nullptr;
    ITzMergeBlockARGB(source.Source().data(), planes.data(), &merge, &t);
    ITzMergeBlockARGB(source.Source().data(), dest.Dest().data(), nullptr, &t);
    ITzMergeBlockARGBMask(source.Source().data(), dest.Dest().data(), &merge, &t, nullptr);
    ITzMergeBlockARGB(nullptr, dest.Dest().data(), &merge, &t);
    EXPECT_EQ(dest.planes, before.planes);
}

TEST_P(MergeTile, AlphaOverExamples)
{
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    const ArgbTile source(RefPixel{128, 0, 100, 255});

    // Onto transparency the source colour and alpha are copied.
    ArgbTile clear(RefPixel{0, 9, 9, 9});
    ITzMergeBlockARGB(source.Source().data(), clear.Dest().data(), &merge, &t);
    EXPECT_EQ(clear.At(0), (RefPixel{128, 0, 100, 255}));

    // Onto opaque pixels alpha becomes 255 and each channel moves about half way, the
    // shift rounding towards minus infinity: 255 -> 126 and 0 -> 128.
    ArgbTile opaque(RefPixel{255, 255, 100, 0});
    ITzMergeBlockARGB(source.Source().data(), opaque.Dest().data(), &merge, &t);
    EXPECT_EQ(opaque.At(kTile - 1), (RefPixel{255, 126, 100, 128}));
}

TEST_P(MergeTile, GrayUnionAndEraseMatchReference)
{
    for (const uint8_t opacity : {255, 200, 0}) {
        for (const bool masked : {false, true}) {
            const std::vector<uint8_t> source = RandomBytes(random, kTile);
            const std::vector<uint8_t> mask = RandomBytes(random, kTile);
            const std::vector<uint8_t> before = RandomBytes(random, kTile);
            const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, opacity};
            std::vector<uint8_t> united = before;
            std::vector<uint8_t> erased = before;
            if (masked) {
                ITzMergeBlockGrayMask(source.data(), united.data(), &merge, &t, mask.data());
                ITzEraseBlockGrayMask(source.data(), erased.data(), &merge, &t, mask.data());
            } else {
                ITzMergeBlockGray(source.data(), united.data(), &merge, &t);
                ITzEraseBlockGray(source.data(), erased.data(), &merge, &t);
            }
            for (size_t i = 0; i < kTile; ++i) {
                const uint8_t v = RefWeight(t, source[i], opacity, masked ? &mask[i] : nullptr);
                ASSERT_EQ(united[i], RefGray(t, ITzMERGE_NORMAL, v, before[i])) << i;
                ASSERT_EQ(erased[i], RefGray(t, ITzMERGE_ERASE, v, before[i])) << i;
            }
        }
    }
}

TEST_P(MergeTile, GrayUnionExamples)
{
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 255};
    for (int d = 0; d < 256; ++d) {
        EXPECT_EQ(ITzMergeGrayValue(&merge, 255, uint8_t(d)), 255);
        EXPECT_EQ(ITzMergeGrayValue(&merge, 0, uint8_t(d)), d);
    }
}

TEST_P(MergeTile, TaggedBlocksDispatchByKind)
{
    const std::vector<uint8_t> mask = RandomBytes(random, kTile);
    ArgbTile colour(random);
    const ArgbTile before(random);
    std::vector<uint8_t> gray = RandomBytes(random, kTile);
    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, 180};
    const auto block = [](uint32_t kind, std::array<uint8_t*, 4> planes) {
        return _tagITzBLOCKMEMORY{kind, {planes[0], planes[1], planes[2], planes[3]}};
    };

    // 3 onto 3: the four-channel merge.
    ArgbTile tagged = before;
    ArgbTile direct = before;
    _tagITzBLOCKMEMORY colourSource = block(3, colour.Dest());
    _tagITzBLOCKMEMORY colourDest = block(3, tagged.Dest());
    ITzMergeTaggedBlockMask(&merge, &colourDest, &colourSource, &t, mask.data());
    ITzMergeBlockARGBMask(colour.Source().data(), direct.Dest().data(), &merge, &t, mask.data());
    EXPECT_EQ(tagged.planes, direct.planes);

    // 6 onto 3: the erase of the destination's alpha, colours kept.
    tagged = before;
    colourDest = block(3, tagged.Dest());
    _tagITzBLOCKMEMORY graySource = block(6, {gray.data(), nullptr, nullptr, nullptr});
    ITzMergeTaggedBlock(&merge, &colourDest, &graySource, &t);
    std::vector<uint8_t> alpha = before.planes[0];
    ITzEraseBlockGray(gray.data(), alpha.data(), &merge, &t);
    EXPECT_EQ(tagged.planes[0], alpha);
    EXPECT_EQ(tagged.planes[1], before.planes[1]);

    // 6 onto 6: the gray union. 3 onto 6: nothing.
    std::vector<uint8_t> target = before.planes[0];
    _tagITzBLOCKMEMORY grayDest = block(6, {target.data(), nullptr, nullptr, nullptr});
    ITzMergeTaggedBlock(&merge, &grayDest, &graySource, &t);
    std::vector<uint8_t> united = before.planes[0];
    ITzMergeBlockGray(gray.data(), united.data(), &merge, &t);
    EXPECT_EQ(target, united);
    ITzMergeTaggedBlock(&merge, &grayDest, &colourSource, &t);
    EXPECT_EQ(target, united);
}

TEST_P(MergeTile, TypedGrayMergesMatchReference)
{
    const std::vector<uint8_t> source = RandomBytes(random, kTile);
    const std::vector<uint8_t> before = RandomBytes(random, kTile);
    for (const int type : {3, 5, 6, 7, 8, 9}) {
        for (const uint8_t opacity : {255, 77}) {
            const _tagITzMERGEDATA merge{type, opacity};
            std::vector<uint8_t> dest = before;
            ITzMergeGrayTileData(&merge, source.data(), 0, dest.data());
            for (size_t i = 0; i < kTile; ++i) {
                const uint8_t v = RefWeight(t, source[i], opacity, nullptr);
                ASSERT_EQ(dest[i], RefGray(t, type, v, before[i])) << type << " " << i;
            }
            // A uniform source merges its one value everywhere.
            dest = before;
            ITzMergeGrayTileData(&merge, nullptr, 201, dest.data());
            for (size_t i = 0; i < kTile; ++i)
                ASSERT_EQ(dest[i], RefGray(t, type, RefWeight(t, 201, opacity, nullptr), before[i]));
            // Two uniform channels: the value merge is the same formula.
            for (int s = 0; s < 256; s += 5)
                for (int d = 0; d < 256; d += 3)
                    ASSERT_EQ(ITzMergeGrayValue(&merge, uint8_t(s), uint8_t(d)),
                              RefGray(t, type, RefWeight(t, uint8_t(s), opacity, nullptr), uint8_t(d)));
        }
    }
}

TEST_P(MergeTile, TypedGrayMergesIgnoreOtherTypes)
{
    const std::vector<uint8_t> before = RandomBytes(random, kTile);
    for (const int type : {2, 4, 10}) {
        const _tagITzMERGEDATA merge{type, 255};
        std::vector<uint8_t> dest = before;
        ITzMergeGrayTileData(&merge, nullptr, 200, dest.data());
        EXPECT_EQ(dest, before);
        EXPECT_EQ(ITzMergeGrayValue(&merge, 200, 17), 17);
    }
    EXPECT_EQ(ITzMergeGrayValue(nullptr, 200, 17), 17);
}

INSTANTIATE_MERGE_BUILDS(MergeTile);

}  // namespace
