// The retouching kernels against plain scalar references written from the formulas with
// the blend tables (M, P, Q and the split weights), bit for bit, over random pixels,
// coverages, strengths and edges of the existing pixels, in every build the processor
// runs.
#include "engine/tools/retouch_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/pixels/blend_tables.h"
#include "engine/tools/retouch_kernels_test_hooks.h"
#include "tests/engine/pixels/kernel_build_test.h"

using lumatra::retouch::FilterDab;
using lumatra::retouch::Planes;
using lumatra::retouch::SmudgeDab;

namespace {

class RetouchKernels : public KernelBuildTest<ITzTestRetouchBuildName, ITzTestSetRetouchBuild> {};

// Four planes of width x height bytes.
struct Image {
    Image(int32_t w, int32_t h) : width(w), height(h), bytes(4, std::vector<uint8_t>(size_t(w) * size_t(h))) {}
    int32_t width, height;
    std::vector<std::vector<uint8_t>> bytes;
    uint8_t& at(int c, int32_t x, int32_t y) { return bytes[c][size_t(y) * size_t(width) + size_t(x)]; }
    Planes planes() { return {{bytes[0].data(), bytes[1].data(), bytes[2].data(), bytes[3].data()}, width}; }
};

// Random pixels with plenty of the extremes: alpha 0 and 255, and flat stretches.
void Randomise(Image& image, std::mt19937& random)
{
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const int kind = int(random() % 6);
            for (int c = 0; c < 4; ++c)
                image.at(c, x, y) = kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? uint8_t(40 + 30 * c) : uint8_t(random());
        }
}

const CMathMerge& Tables()
{
    return *GetMathMerge();
}

int M(int a, int b)
{
    return Tables().Product(uint8_t(a), uint8_t(b));
}

// The blend of a filter's result into the old pixel, from the tables.
void BlendReference(const int old[4], const int filtered[4], int d, int strength, int dabStrength, int out[4])
{
    const int weight = M(M(d, strength), dabStrength);
    const int ab = M(weight, filtered[0]);
    const int ob = M(old[0], 255 - weight);
    const int alpha = std::min(255, ab + ob);
    out[0] = alpha;
    for (int c = 1; c < 4; ++c) {
        // A colour both sides share stays.
        if (ab && ob && filtered[c] != old[c])
            out[c] = std::min<int>(255, int(Tables().Ratio(uint8_t(M(old[c], ob) + M(filtered[c], ab)),
                                                           uint8_t(alpha)) >> 8));
        else
            out[c] = ab && filtered[c] != old[c] ? filtered[c] : old[c];
    }
}

struct FilterCase {
    Image source, coverage, expected, dest;
    PTzRECT valid;
    uint8_t strength, dabStrength;
    // A destination with rows as long as the source's lets the kernel run the rows as one.
    FilterCase(int32_t w, int32_t h, bool longRows)
        : source(w + 2, h + 2), coverage(w + 2, h + 2), expected(w, h), dest(longRows ? w + 2 : w, h)
    {
    }
    bool matches() const
    {
        for (int c = 0; c < 4; ++c)
            for (int32_t y = 0; y < expected.height; ++y)
                for (int32_t x = 0; x < expected.width; ++x)
                    if (dest.bytes[c][size_t(y) * size_t(dest.width) + size_t(x)] !=
                        expected.bytes[c][size_t(y) * size_t(expected.width) + size_t(x)])
                        return false;
        return true;
    }
    bool exists(int32_t x, int32_t y) const
    {
        return x >= valid.left && x < valid.right && y >= valid.top && y < valid.bottom;
    }
    FilterDab dab()
    {
        return {source.planes(), valid,          &coverage.at(0, 1, 1), coverage.width, dest.planes(),
                expected.width,  expected.height, strength,              dabStrength};
    }
};

FilterCase MakeCase(int32_t w, int32_t h, const PTzRECT& valid, std::mt19937& random, bool longRows = false)
{
    FilterCase test(w, h, longRows);
    Randomise(test.source, random);
    // A dab's coverage: random inside, nothing in the border around it.
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x)
            test.coverage.at(0, x, y) = (random() % 5 == 0) ? 0 : uint8_t(random());
    test.valid = valid;
    test.strength = uint8_t(random());
    test.dabStrength = uint8_t(random());
    return test;
}

// Every dab pixel: kept where it does not exist, else the filter's result blended into
// it. filter(x, y, old, filtered) fills the result of source pixel (x, y), or gives false
// for a pixel it leaves as it is; at(x, y, dx, dy) is the neighbour, or the centre where
// the neighbour does not exist.
template <typename Filter>
void FilterReference(FilterCase& test, Filter filter)
{
    for (int32_t y = 0; y < test.expected.height; ++y)
        for (int32_t x = 0; x < test.expected.width; ++x) {
            const int32_t sx = x + 1, sy = y + 1;
            int old[4], out[4], filtered[4];
            for (int c = 0; c < 4; ++c)
                old[c] = out[c] = test.source.at(c, sx, sy);
            if (test.exists(sx, sy) && filter(sx, sy, old, filtered))
                BlendReference(old, filtered, test.coverage.at(0, sx, sy), test.strength, test.dabStrength, out);
            for (int c = 0; c < 4; ++c)
                test.expected.at(c, x, y) = uint8_t(out[c]);
        }
}

PTzPOINT Neighbour(const FilterCase& test, int32_t x, int32_t y, int dx, int dy)
{
    return test.exists(x + dx, y + dy) ? PTzPOINT{x + dx, y + dy} : PTzPOINT{x, y};
}

void BlurReference(FilterCase& test)
{
    static const int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    FilterReference(test, [&](int32_t sx, int32_t sy, const int old[4], int filtered[4]) {
        int g = 0, sums[3] = {};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const PTzPOINT n = Neighbour(test, sx, sy, dx, dy);
                const int w = kWeights[dy + 1][dx + 1];
                const int a = test.source.at(0, n.x, n.y);
                g += w * a;
                for (int c = 0; c < 3; ++c)
                    sums[c] += w * Tables().RawProduct(uint8_t(a), test.source.at(c + 1, n.x, n.y));
            }
        filtered[0] = g >> 4;
        for (int c = 0; c < 3; ++c)
            filtered[c + 1] = g == 0 ? old[c + 1] : (sums[c] + g / 2) / g;
        return true;
    });
}

void SharpenReference(FilterCase& test)
{
    FilterReference(test, [&](int32_t sx, int32_t sy, const int old[4], int filtered[4]) {
        if (old[0] == 0 || test.coverage.at(0, sx, sy) == 0)
            return false;
        int total = 0, sums[4] = {};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int w = test.coverage.at(0, sx + dx, sy + dy);
                total += w;
                const PTzPOINT n = Neighbour(test, sx, sy, dx, dy);
                const int a = test.source.at(0, n.x, n.y);
                sums[0] += w * (old[0] - a);
                for (int c = 1; c < 4; ++c)
                    if (a != 0)
                        sums[c] += w * (old[c] - test.source.at(c, n.x, n.y));
            }
        for (int c = 0; c < 4; ++c)
            filtered[c] = std::clamp(old[c] + sums[c] / total, 0, 255);
        return true;
    });
}

struct Edge {
    const char* name;
    int32_t width, height;
    PTzRECT valid;  // source coordinates
};

// Pixels that exist everywhere, and the picture's edge on each side and at corners.
const Edge kEdges[] = {
    {"everywhere", 37, 23, {0, 0, 39, 25}},
    {"everywhere, small", 7, 5, {0, 0, 9, 7}},
    {"left edge", 37, 23, {4, 0, 39, 25}},
    {"top and right", 37, 23, {0, 3, 20, 25}},
    {"bottom left corner", 37, 23, {7, 0, 39, 11}},
    {"one pixel", 9, 9, {5, 5, 6, 6}},
    {"wide row", 300, 3, {0, 0, 302, 5}},
};

TEST_P(RetouchKernels, FiltersMatchTheirReferencesAtEveryEdge)
{
    std::mt19937 random(3);
    for (const Edge& edge : kEdges)
        for (const bool longRows : {false, true})
            for (int round = 0; round < 3; ++round) {
                FilterCase blur = MakeCase(edge.width, edge.height, edge.valid, random, longRows);
                BlurReference(blur);
                lumatra::retouch::BlurDab(blur.dab());
                EXPECT_TRUE(blur.matches()) << "blur, " << edge.name << ", long rows " << longRows;

                FilterCase sharpen = MakeCase(edge.width, edge.height, edge.valid, random, longRows);
                SharpenReference(sharpen);
                lumatra::retouch::SharpenDab(sharpen.dab());
                EXPECT_TRUE(sharpen.matches()) << "sharpen, " << edge.name << ", long rows " << longRows;
            }
}

TEST_P(RetouchKernels, FiltersLeaveAUniformAreaAsItIs)
{
    std::mt19937 random(4);
    for (const uint8_t alpha : {uint8_t(255), uint8_t(90), uint8_t(0)}) {
        FilterCase test = MakeCase(20, 20, {0, 0, 22, 22}, random);
        const uint8_t values[4] = {alpha, 10, 200, 77};
        for (int c = 0; c < 4; ++c)
            std::fill(test.source.bytes[c].begin(), test.source.bytes[c].end(), values[c]);
        test.strength = test.dabStrength = 255;
        for (auto kernel : {lumatra::retouch::BlurDab, lumatra::retouch::SharpenDab}) {
            kernel(test.dab());
            for (int c = 0; c < 4; ++c)
                for (uint8_t v : test.dest.bytes[c])
                    ASSERT_EQ(v, values[c]) << "alpha " << int(alpha) << ", channel " << c;
        }
    }
}

struct SmudgeCase {
    Image layer, transfer, coverage, selection;
    Image layerAfter, transferAfter;
    uint8_t strength, dabStrength;
    // A layer wider than the dab gives rows of different lengths, which the kernels
    // cannot run as one.
    SmudgeCase(int32_t w, int32_t h, int32_t layerPadding = 0)
        : layer(w + layerPadding, h), transfer(w, h), coverage(w, h), selection(w, h),
          layerAfter(w + layerPadding, h), transferAfter(w, h)
    {
    }
    SmudgeDab dab(bool selected)
    {
        return {layerAfter.planes(),
                transferAfter.planes(),
                coverage.bytes[0].data(),
                coverage.width,
                selected ? selection.bytes[0].data() : nullptr,
                selection.width,
                transfer.width,
                transfer.height,
                strength,
                dabStrength};
    }
};

// min(255, M(cx, hx) + M(cy, hy)) with (hx, hy) from the split-weights table.
int SplitMixReference(int cx, int cy, int x, int y)
{
    const uint16_t shares = Tables().SplitWeights(uint8_t(x), uint8_t(y));
    return std::min(255, M(cx, shares >> 8) + M(cy, shares & 0xFF));
}

void SmudgeReference(SmudgeCase& test, bool selected)
{
    for (int32_t y = 0; y < test.transfer.height; ++y)
        for (int32_t x = 0; x < test.transfer.width; ++x) {
            // Pick-up.
            const int v = M(test.transfer.at(0, x, y), test.strength);
            const int w = M(test.layer.at(0, x, y), 255 - test.strength);
            const int carried = std::min(255, v + w);
            int transfer[4] = {carried};
            for (int c = 1; c < 4; ++c)
                transfer[c] = carried == 0 ? test.transfer.at(c, x, y)
                                           : SplitMixReference(test.transfer.at(c, x, y), test.layer.at(c, x, y), v, w);
            // Deposit.
            int b0 = M(test.coverage.at(0, x, y), test.dabStrength);
            if (selected)
                b0 = M(b0, test.selection.at(0, x, y));
            const int big = M(transfer[0], b0);
            const int kept = M(test.layer.at(0, x, y), 255 - b0);
            int layer[4] = {std::min(255, big + kept)};
            for (int c = 1; c < 4; ++c)
                layer[c] = big == 0    ? test.layer.at(c, x, y)
                           : kept == 0 ? transfer[c]
                                       : SplitMixReference(transfer[c], test.layer.at(c, x, y), big, kept);
            for (int c = 0; c < 4; ++c) {
                test.transfer.at(c, x, y) = uint8_t(transfer[c]);
                test.layer.at(c, x, y) = uint8_t(layer[c]);
            }
        }
}

TEST_P(RetouchKernels, SmudgePickUpAndDepositMatchTheirReferencesWithAndWithoutASelection)
{
    std::mt19937 random(5);
    for (const bool selected : {false, true})
        for (int round = 0; round < 6; ++round) {
            SmudgeCase test(61, 17, round % 2 ? 5 : 0);
            Randomise(test.layer, random);
            Randomise(test.transfer, random);
            Randomise(test.coverage, random);
            Randomise(test.selection, random);
            test.strength = round == 0 ? 0 : round == 1 ? 255 : uint8_t(random());
            test.dabStrength = round == 2 ? 255 : uint8_t(random());
            test.layerAfter = test.layer;
            test.transferAfter = test.transfer;
            lumatra::retouch::SmudgePickUp(test.dab(selected));
            lumatra::retouch::SmudgeDeposit(test.dab(selected));
            SmudgeReference(test, selected);
            EXPECT_EQ(test.transferAfter.bytes, test.transfer.bytes) << "selection " << selected << ", round " << round;
            EXPECT_EQ(test.layerAfter.bytes, test.layer.bytes) << "selection " << selected << ", round " << round;
        }
}

TEST_P(RetouchKernels, SmudgeEdgeCases)
{
    // A row whose first pixels are transparent in transfer and layer: every later pixel
    // still mixes with the layer colour of that same pixel.
    SmudgeCase row(8, 1);
    for (int32_t x = 0; x < 8; ++x) {
        const uint8_t alpha = x < 3 ? 0 : 200;
        row.layer.at(0, x, 0) = alpha;
        row.layer.at(1, x, 0) = uint8_t(30 * x);
        row.transfer.at(1, x, 0) = 99;
    }
    row.strength = 0;  // the transfer becomes the layer
    row.dabStrength = 0;
    row.layerAfter = row.layer;
    row.transferAfter = row.transfer;
    lumatra::retouch::SmudgePickUp(row.dab(false));
    for (int32_t x = 3; x < 8; ++x)
        EXPECT_EQ(row.transferAfter.at(1, x, 0), 30 * x) << x;
    EXPECT_EQ(row.transferAfter.at(1, 0, 0), 99);  // transparent: the colour stays

    // A transparent layer takes the transfer's colours; a transparent transfer leaves the
    // layer's colours and lowers its alpha to M(alpha, 255 - b0).
    SmudgeCase deposit(2, 1);
    deposit.transfer.at(0, 0, 0) = 180;
    deposit.transfer.at(2, 0, 0) = 40;
    deposit.layer.at(2, 0, 0) = 250;
    deposit.layer.at(0, 1, 0) = 200;
    deposit.layer.at(2, 1, 0) = 60;
    deposit.coverage.at(0, 0, 0) = deposit.coverage.at(0, 1, 0) = 255;
    deposit.dabStrength = 128;
    deposit.layerAfter = deposit.layer;
    deposit.transferAfter = deposit.transfer;
    lumatra::retouch::SmudgeDeposit(deposit.dab(false));
    EXPECT_EQ(deposit.layerAfter.at(2, 0, 0), 40);
    EXPECT_EQ(deposit.layerAfter.at(0, 0, 0), M(180, 128));
    EXPECT_EQ(deposit.layerAfter.at(2, 1, 0), 60);
    EXPECT_EQ(deposit.layerAfter.at(0, 1, 0), M(200, 255 - 128));
}

INSTANTIATE_KERNEL_BUILDS(RetouchKernels);

}  // namespace
