// The alpha-over row loops' shortcuts against the per-pixel reference, in every build:
// rows whose source and destination alphas run in whole vectors of 0, of 255 or of mixed
// values (the steps a loop leaves out, copies, or blends without dividing) beside steps
// of the general blend, at widths that end in a partial vector; for the planar, the
// 32-bit and the 24-bit merges, at opacity 255 and below, with and without a mask.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "merge_builds.h"
#include "merge_reference.h"

namespace {

// The alphas of a run of 32 pixels, the longest step of any loop.
enum class Run { Zero, Full, Mixed };

struct Case {
    const char* name;
    std::vector<Run> source, dest;  // repeated along the row
};

const std::vector<Case> kCases = {
    {"transparent source", {Run::Zero}, {Run::Mixed}},
    {"opaque source", {Run::Full}, {Run::Mixed}},
    {"onto transparent", {Run::Mixed}, {Run::Zero}},
    {"onto opaque", {Run::Mixed}, {Run::Full}},
    {"opaque onto transparent", {Run::Full}, {Run::Zero}},
    {"transparent onto opaque", {Run::Zero}, {Run::Full}},
    {"runs of each", {Run::Zero, Run::Full, Run::Mixed, Run::Mixed, Run::Full}, {Run::Full, Run::Zero, Run::Mixed}},
};

constexpr int32_t kWidths[] = {256, 100, 45, 7};

// A planar merge's mask: none, random weights, or 255 throughout (the opacity-255 loop
// under a mask).
enum class Mask { None, Random, Opaque };
constexpr int32_t kHeight = 3;

// Random bytes with alphas by the case's runs at byte `offset` of pixels `bytes` wide.
std::vector<uint8_t> Pixels(std::mt19937& random, const std::vector<Run>& runs, int32_t width, int bytes, int offset)
{
    std::vector<uint8_t> pixels = RandomBytes(random, size_t(width) * kHeight * size_t(bytes));
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const Run run = runs[size_t(x / 32 + y) % runs.size()];
            uint8_t& alpha = pixels[(size_t(y) * width + x) * bytes + offset];
            alpha = run == Run::Zero ? 0 : run == Run::Full ? 255 : alpha;
        }
    return pixels;
}

std::string Trace(const Case& c, int32_t width, uint8_t opacity, const char* more)
{
    return std::string(c.name) + ", width " + std::to_string(width) + ", opacity " + std::to_string(opacity) + more;
}

class MergeKernels : public MergeBuildTest {
protected:
    const CMathMerge& t = *GetMathMerge();
    std::mt19937 random{77};
};

TEST_P(MergeKernels, PlanarShortcutsGiveTheReferencePixels)
{
    for (const Case& c : kCases)
        for (const int32_t width : kWidths)
            for (const uint8_t opacity : {uint8_t(255), uint8_t(128)})
                for (const Mask mask : {Mask::None, Mask::Random, Mask::Opaque}) {
                    SCOPED_TRACE(Trace(c, width, opacity, mask == Mask::None     ? ""
                                                          : mask == Mask::Random ? ", mask"
                                                                                 : ", opaque mask"));
                    const std::vector<uint8_t> source = Pixels(random, c.source, width, 1, 0);
                    const std::vector<uint8_t> before = Pixels(random, c.dest, width, 1, 0);
                    const size_t plane = size_t(width) * kHeight;
                    std::vector<uint8_t> sourceColours = RandomBytes(random, 3 * plane);
                    std::vector<uint8_t> dest = before, destColours = RandomBytes(random, 3 * plane);
                    const std::vector<uint8_t> colours = destColours;
                    std::vector<uint8_t> maskBytes = RandomBytes(random, plane);
                    if (mask == Mask::Opaque)
                        maskBytes.assign(plane, 255);
                    const auto planes = [&](const uint8_t* alpha, const uint8_t* rest) {
                        return _tagITzCHANNELBITMAP{width, kHeight, width, 3,
                                                    {const_cast<uint8_t*>(alpha), const_cast<uint8_t*>(rest),
                                                     const_cast<uint8_t*>(rest + plane),
                                                     const_cast<uint8_t*>(rest + 2 * plane), nullptr}};
                    };
                    const _tagITzCHANNELBITMAP from = planes(source.data(), sourceColours.data());
                    _tagITzCHANNELBITMAP to = planes(dest.data(), destColours.data());
                    const _tagITzBITMAP maskBitmap = {width, kHeight, width, 8, 6, maskBytes.data()};
                    const PTzRECT whole = {0, 0, width, kHeight};
                    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, opacity};
                    const bool masked = mask != Mask::None;
                    ITzMergeChannelBitmap(&merge, 255, &whole, &to, &t, &whole, &from, &whole,
                                          masked ? &maskBitmap : nullptr);
                    for (size_t i = 0; i < plane; ++i) {
                        const RefPixel s = {source[i], sourceColours[i], sourceColours[plane + i],
                                            sourceColours[2 * plane + i]};
                        const RefPixel d = {before[i], colours[i], colours[plane + i], colours[2 * plane + i]};
                        const uint8_t a = RefWeight(t, s.a, opacity, masked ? &maskBytes[i] : nullptr);
                        const RefPixel merged = {dest[i], destColours[i], destColours[plane + i],
                                                 destColours[2 * plane + i]};
                        ASSERT_EQ(merged, RefAlphaOver(t, s, d, a)) << "pixel " << i;
                    }
                }
}

TEST_P(MergeKernels, InterleavedShortcutsGiveTheReferencePixels)
{
    for (const Case& c : kCases)
        for (const int32_t width : kWidths)
            for (const uint8_t opacity : {uint8_t(255), uint8_t(128)})
                for (const int32_t mode : {3, 1, 2}) {  // 32-bit, 24-bit red first, blue first
                    SCOPED_TRACE(Trace(c, width, opacity, mode == 3 ? "" : mode == 1 ? ", rgb" : ", bgr"));
                    const int bytes = mode == 3 ? 4 : 3;
                    const std::vector<uint8_t> source = Pixels(random, c.source, width, 4, 0);
                    // A 24-bit destination has no alpha: its runs go to its first colour.
                    const std::vector<uint8_t> before = Pixels(random, c.dest, width, bytes, 0);
                    std::vector<uint8_t> dest = before;
                    const _tagITzBITMAP from = {width, kHeight, width * 4, 32, 3, const_cast<uint8_t*>(source.data())};
                    _tagITzBITMAP to = {width, kHeight, width * bytes, uint16_t(bytes * 8), mode, dest.data()};
                    const PTzRECT whole = {0, 0, width, kHeight};
                    const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, opacity};
                    CMathMerge::MergeBitmap(&t, &whole, &from, &to, &whole, &merge);
                    for (size_t i = 0; i < size_t(width) * kHeight; ++i) {
                        const uint8_t* s = &source[4 * i];
                        const uint8_t* d = &before[bytes * i];
                        const uint8_t a = t.Product(s[0], opacity);
                        if (bytes == 4) {
                            const RefPixel p = RefAlphaOver(t, {s[0], s[1], s[2], s[3]}, {d[0], d[1], d[2], d[3]}, a);
                            ASSERT_EQ((RefPixel{dest[4 * i], dest[4 * i + 1], dest[4 * i + 2], dest[4 * i + 3]}), p)
                                << "pixel " << i;
                        } else {
                            for (int k = 0; k < 3; ++k)
                                ASSERT_EQ(dest[3 * i + k], RefAlphaOver24(t, s[mode == 2 ? 3 - k : 1 + k], d[k], a))
                                    << "pixel " << i << " byte " << k;
                        }
                    }
                }
}

// Every pair of source and destination alphas, each step of a row mixing destination
// alphas so that the general blend meets each pair: its division holds for all of them.
TEST_P(MergeKernels, EveryPairOfAlphasGivesTheReferencePixels)
{
    constexpr int32_t kSide = 256;
    const size_t count = size_t(kSide) * kSide;
    for (const uint8_t opacity : {uint8_t(255), uint8_t(128)}) {
        SCOPED_TRACE("opacity " + std::to_string(opacity));
        std::vector<uint8_t> source = RandomBytes(random, 4 * count), before = RandomBytes(random, 4 * count);
        for (size_t i = 0; i < count; ++i) {
            source[4 * i] = uint8_t(i % kSide);
            before[4 * i] = uint8_t(i % kSide + i / kSide);
        }
        std::vector<uint8_t> dest = before;
        const _tagITzBITMAP from = {kSide, kSide, kSide * 4, 32, 3, source.data()};
        _tagITzBITMAP to = {kSide, kSide, kSide * 4, 32, 3, dest.data()};
        const PTzRECT whole = {0, 0, kSide, kSide};
        const _tagITzMERGEDATA merge{ITzMERGE_NORMAL, opacity};
        CMathMerge::MergeBitmap(&t, &whole, &from, &to, &whole, &merge);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* s = &source[4 * i];
            const uint8_t* d = &before[4 * i];
            const RefPixel p = RefAlphaOver(t, {s[0], s[1], s[2], s[3]}, {d[0], d[1], d[2], d[3]},
                                            t.Product(s[0], opacity));
            ASSERT_EQ((RefPixel{dest[4 * i], dest[4 * i + 1], dest[4 * i + 2], dest[4 * i + 3]}), p) << "pixel " << i;
        }
    }
}

INSTANTIATE_MERGE_BUILDS(MergeKernels);

}  // namespace
