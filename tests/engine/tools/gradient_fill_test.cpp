// The gradient's colours against plain scalar references of the formulas, pixel by pixel
// and bit for bit: every sign of dx and dy, both types, tiles near the points and far from
// them, and points at the ends of the coordinate range, where the products need 128 bits.
#include "engine/tools/gradient_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

using Wide = __int128;
using UWide = unsigned __int128;

namespace {

constexpr int32_t kSide = 256;

struct Points {
    const char* name;
    PTzPOINT start, end;
};

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

const Points kPoints[] = {
    {"right", {10, 20}, {200, 20}},
    {"left", {200, 30}, {-50, 30}},
    {"down", {40, 5}, {40, 300}},
    {"up", {40, 250}, {40, -20}},
    {"right and down, shallow", {-30, 10}, {300, 120}},
    {"right and up, steep", {100, 240}, {160, -90}},
    {"left and down, steep", {200, 0}, {150, 260}},
    {"left and up, shallow", {240, 200}, {-100, 70}},
    {"diagonal", {0, 0}, {128, 128}},
    {"anti-diagonal", {128, 0}, {0, 128}},
    {"one pixel", {77, 77}, {78, 77}},
    {"far away", {-100000, 5000}, {250000, -300}},
    {"range ends", {kMin, kMax}, {kMax, kMin}},
    {"range ends, steep", {kMin + 7, kMin}, {kMin, kMax}},
};

// Where the tiles lie: at the picture's corner, and at the range's end.
const int64_t kOrigins[][2] = {{0, 0}, {-256, 256}, {kMax - 255, kMin}};

const uint8_t kStart[3] = {10, 250, 128};
const uint8_t kEnd[3] = {240, 3, 128};

Wide Mix(Wide t, Wide f, int c0, int c1)
{
    return ((t - f) * c0 + f * c1 + t / 2) / t;
}

int LinearReference(const Points& p, int64_t x, int64_t y, int c)
{
    const Wide x0 = p.start.x, y0 = p.start.y, x1 = p.end.x, y1 = p.end.y;
    const Wide dx = x1 - x0, dy = y1 - y0;
    Wide t, f;
    if ((dx < 0 ? -dx : dx) < (dy < 0 ? -dy : dy)) {
        t = (65536 * dx * dx + 65536 * dy * y1 + 128 * dy) / (256 * dy) - 256 * y0;
        f = (256 * dx * (x - x0) + dy / 2) / dy + 256 * (y - y0);
    } else {
        t = (65536 * dy * dy + 65536 * dx * x1 + 128 * dx) / (256 * dx) - 256 * x0;
        f = (256 * dy * (y - y0) + dx / 2) / dx + 256 * (x - x0);
    }
    if (t > 0)
        return f < 1 ? kStart[c] : f >= t ? kEnd[c] : int(Mix(t, f, kStart[c], kEnd[c]));
    return f >= 0 ? kStart[c] : f <= t ? kEnd[c] : int(Mix(t, f, kStart[c], kEnd[c]));
}

// floor(sqrt(n) + 0.5), exactly: the floor of the root, from the double's estimate set
// right by whole steps, plus one when n > r^2 + r.
Wide RoundedRoot(UWide n)
{
    UWide low = UWide(std::sqrt(double(n)));
    while (low * low > n)
        --low;
    while ((low + 1) * (low + 1) <= n)
        ++low;
    return Wide(n - low * low > low ? low + 1 : low);
}

int RadialReference(const Points& p, int64_t x, int64_t y, int c)
{
    const Wide dx = Wide(p.end.x) - p.start.x, dy = Wide(p.end.y) - p.start.y;
    const UWide squared = UWide(dx * dx) + UWide(dy * dy);
    const Wide r = RoundedRoot(squared);
    const Wide ox = x - Wide(p.start.x), oy = y - Wide(p.start.y);
    const UWide distance = UWide(ox * ox) + UWide(oy * oy);
    if (distance >= squared)
        return kEnd[c];
    const Wide b = RoundedRoot(distance);
    return int(((r - b) * kStart[c] + b * kEnd[c] + r / 2) / r);
}

struct Tile {
    std::vector<uint8_t> planes[3];
    Tile()
    {
        for (auto& plane : planes)
            plane.assign(size_t(kSide) * kSide, 0x5A);
    }
};

void Check(uint32_t type, const Points& p, const PTzRECT& part, const int64_t origin[2])
{
    lumatra::GradientShape shape;
    ASSERT_TRUE(shape.Prepare(type, p.start, p.end, kStart, kEnd)) << p.name;
    Tile tile;
    uint8_t* const planes[3] = {tile.planes[0].data(), tile.planes[1].data(), tile.planes[2].data()};
    shape.Fill(planes, kSide, part, origin[0], origin[1]);
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x)
            for (int c = 0; c < 3; ++c) {
                const bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
                const int64_t px = origin[0] + x, py = origin[1] + y;
                const int expected = !inside    ? 0x5A
                                     : type == 0 ? LinearReference(p, px, py, c)
                                                 : RadialReference(p, px, py, c);
                ASSERT_EQ(tile.planes[c][size_t(y) * kSide + x], expected)
                    << (type == 0 ? "linear " : "radial ") << p.name << " at " << px << "," << py << " channel " << c;
            }
}

TEST(GradientFill, BothTypesMatchTheFormulasForEverySignAndPlace)
{
    const PTzRECT whole = {0, 0, kSide, kSide};
    const PTzRECT part = {13, 70, 201, 222};
    for (uint32_t type : {0u, 1u})
        for (const Points& p : kPoints)
            for (size_t o = 0; o < std::size(kOrigins); ++o)
                Check(type, p, o == 1 ? part : whole, kOrigins[o]);
}

TEST(GradientFill, EdgeCases)
{
    // A linear gradient from (0, 0) to (100, 0): C0 up to x = 0, C1 from x = 100, the
    // mixture between, whatever y is.
    const Points across = {"across", {0, 0}, {100, 0}};
    lumatra::GradientShape shape;
    ASSERT_TRUE(shape.Prepare(0, across.start, across.end, kStart, kEnd));
    Tile tile;
    uint8_t* const planes[3] = {tile.planes[0].data(), tile.planes[1].data(), tile.planes[2].data()};
    shape.Fill(planes, kSide, {0, 0, kSide, kSide}, -100, -50);
    for (int32_t y = 0; y < kSide; ++y) {
        EXPECT_EQ(tile.planes[0][size_t(y) * kSide + 100], kStart[0]);  // x = 0
        EXPECT_EQ(tile.planes[0][size_t(y) * kSide + 200], kEnd[0]);    // x = 100
        EXPECT_EQ(tile.planes[0][size_t(y) * kSide + 150], tile.planes[0][150]);
    }
    EXPECT_GT(tile.planes[0][150], kStart[0]);
    EXPECT_LT(tile.planes[0][150], kEnd[0]);

    // A radial gradient whose start is its end paints C1 everywhere.
    const PTzPOINT point = {30, 30};
    ASSERT_TRUE(shape.Prepare(1, point, point, kStart, kEnd));
    shape.Fill(planes, kSide, {0, 0, kSide, kSide}, 0, 0);
    for (int c = 0; c < 3; ++c)
        for (uint8_t v : tile.planes[c])
            ASSERT_EQ(v, kEnd[c]);

    // A linear one whose points meet, and other types, are refused.
    EXPECT_FALSE(shape.Prepare(0, point, point, kStart, kEnd));
    EXPECT_FALSE(shape.Prepare(2, across.start, across.end, kStart, kEnd));
}

}  // namespace
