// The polygon fill against exact geometry: pixels no edge touches against an even-odd
// test at their centres, pixels one edge crosses against the exact share on the inside,
// for random, self-intersecting and far-reaching polygons; and the list's rules.
#include "engine/picture/polygon_fill.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/pixels/anti_line_math.h"
#include "tests/engine/pixels/shape_reference.h"

namespace {

using shape_reference::Point;

struct Counts {
    int inside = 0, outside = 0, shared = 0;
};

// Fills the polygon (pixel corners are snapped in the fill; the reference snaps the same
// way) into a layer over `clip` and checks every pixel it can judge exactly.
Counts CheckPolygon(const std::vector<PTzPOINT>& points, const PTzRECT& clip)
{
    auto layer = shape_reference::PresentLayer(clip, 77);
    ITzLayerPloygonFill fill;
    fill.SetLayer(layer.get());
    EXPECT_EQ(fill.Fill(uint32_t(points.size()), points.data(), &clip), 0);
    const std::vector<uint8_t> bytes = shape_reference::ReadBytes(*layer, clip);
    std::vector<Point> polygon;
    for (const PTzPOINT& p : points)
        polygon.push_back({p.x & ~15, p.y & ~15});
    Counts counts;
    const int32_t width = clip.right - clip.left;
    for (int32_t y = clip.top; y < clip.bottom; ++y) {
        for (int32_t x = clip.left; x < clip.right; ++x) {
            const uint8_t got = bytes[size_t(y - clip.top) * size_t(width) + size_t(x - clip.left)];
            int touching = 0;
            size_t edge = 0;
            for (size_t i = 0; i < polygon.size(); ++i)
                if (shape_reference::SegmentTouchesPixel(polygon[i], polygon[(i + 1) % polygon.size()], x, y)) {
                    ++touching;
                    edge = i;
                }
            if (touching == 0) {
                const bool inside = shape_reference::InsidePolygon(polygon, x * 16 + 8.0, y * 16 + 8.0);
                EXPECT_EQ(got, inside ? 255 : 0) << "pixel " << x << ", " << y;
                if (got != (inside ? 255 : 0))
                    return counts;
                ++(inside ? counts.inside : counts.outside);
            } else if (touching == 1) {
                const Point a = polygon[edge], b = polygon[(edge + 1) % polygon.size()];
                const shape_reference::Part part = shape_reference::PositiveSide(a, b, x, y);
                if (part.area <= 0 || part.area >= 256)
                    continue;  // the edge only grazes the pixel
                const bool positiveInside = shape_reference::InsidePolygon(polygon, part.x, part.y);
                const double area = part.area;
                const double share = (positiveInside ? area : 256 - area) * 255 / 256;
                EXPECT_NEAR(got, share, 16) << "pixel " << x << ", " << y;
                ++counts.shared;
            }
        }
    }
    return counts;
}

std::vector<PTzPOINT> Pixels(std::initializer_list<std::pair<int32_t, int32_t>> points)
{
    std::vector<PTzPOINT> out;
    for (const auto& [x, y] : points)
        out.push_back({x * 16, y * 16});
    return out;
}

TEST(PolygonFill, RandomPolygonsMatchEvenOddAndExactShares)
{
    std::mt19937 random(20);
    const PTzRECT clip = {0, 0, 140, 100};
    for (int round = 0; round < 12; ++round) {
        std::vector<PTzPOINT> points;
        const int count = 3 + int(random() % 8);
        // Vertices reach beyond the clip on every side; sub-pixel bits are snapped away.
        for (int i = 0; i < count; ++i)
            points.push_back({int32_t(random() % (200 * 16)) - 30 * 16, int32_t(random() % (160 * 16)) - 30 * 16});
        const Counts counts = CheckPolygon(points, clip);
        EXPECT_GT(counts.inside + counts.outside, 0);
        EXPECT_GT(counts.shared, 0);
    }
}

TEST(PolygonFill, StarLeavesItsCentreOutAndRectangleFillsStrictlyInside)
{
    const PTzRECT clip = {0, 0, 64, 64};
    const Counts star = CheckPolygon(Pixels({{32, 2}, {50, 60}, {4, 22}, {60, 22}, {14, 60}}), clip);
    EXPECT_GT(star.inside, 100);
    auto layer = shape_reference::PresentLayer(clip, 9);
    ITzLayerPloygonFill fill;
    fill.SetLayer(layer.get());
    const std::vector<PTzPOINT> star2 = Pixels({{32, 2}, {50, 60}, {4, 22}, {60, 22}, {14, 60}});
    ASSERT_EQ(fill.Fill(5, star2.data(), &clip), 0);
    EXPECT_EQ(shape_reference::ReadBytes(*layer, {32, 36, 33, 37})[0], 0);  // the pentagon inside the star

    // Corners on pixel corners: exactly the pixels inside, sub-pixel vertices snapped.
    const std::vector<PTzPOINT> square = {{10 * 16 + 11, 12 * 16 + 3}, {30 * 16, 12 * 16}, {30 * 16 + 15, 40 * 16},
                                          {10 * 16, 40 * 16 + 9}};
    auto target = shape_reference::PresentLayer(clip, 9);
    ITzLayerPloygonFill rect;
    rect.SetLayer(target.get());
    ASSERT_EQ(rect.Fill(4, square.data(), &clip), 0);
    const std::vector<uint8_t> bytes = shape_reference::ReadBytes(*target, clip);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(bytes[size_t(y * 64 + x)], (x >= 10 && x < 30 && y >= 12 && y < 40) ? 255 : 0) << x << "," << y;
}

TEST(PolygonFill, LongEdgesAndFarVerticesCostNothingOutsideTheClip)
{
    // An edge over 3,000 pixels inside a wide clip.
    CheckPolygon(Pixels({{2, 3}, {3150, 30}, {40, 38}}), {0, 0, 3200, 40});
    // Vertices at the ends of the coordinate range on each side of the clip.
    constexpr int32_t kFar = INT32_MAX & ~15;
    const std::vector<PTzPOINT> huge = {{-kFar, -kFar}, {kFar, 5 * 16}, {60 * 16, kFar}, {-kFar, 30 * 16}};
    CheckPolygon(huge, {0, 0, 80, 60});
    CheckPolygon(Pixels({{-500000, 10}, {70, 20}, {-400000, 50}}), {0, 0, 80, 60});
    CheckPolygon(Pixels({{5, -900000}, {70, 900000}, {30, 30}}), {0, 0, 80, 60});
}

TEST(PolygonFill, RefusalsAndTheListsRules)
{
    const PTzRECT clip = {0, 0, 10, 10};
    const std::vector<PTzPOINT> two = Pixels({{1, 1}, {5, 5}});
    ITzPloygonFill fill;
    EXPECT_EQ(fill.Fill(2, two.data(), &clip), 0);
    EXPECT_EQ(fill.GetList(), nullptr);
    EXPECT_EQ(fill.Fill(3, nullptr, &clip), 0);

    // A horizontal edge on a pixel line adds nothing; a vertical one lists the pixels right
    // of it with top and bottom sides and no coverage.
    const std::vector<PTzPOINT> flat = Pixels({{1, 2}, {6, 2}, {6, 2}});
    ASSERT_EQ(fill.Fill(3, flat.data(), &clip), 0);
    EXPECT_EQ(fill.GetList()->GetCount(), 0u);
    ITzPloygonFill vertical;
    const std::vector<PTzPOINT> line = Pixels({{3, 1}, {3, 4}, {3, 1}});
    ASSERT_EQ(vertical.Fill(3, line.data(), &clip), 0);
    // The edge walked there and back: each pixel's two crossings cancel.
    for (const auto& record : vertical.GetList()->Records())
        EXPECT_EQ(record.sides, 0);

    ITzPloygonCrossPixelList list;
    list.AddCrossing({0, 3, 10, ITzPIXELSIDE_TOP | ITzPIXELSIDE_BOTTOM, 0, 0});
    list.AddCrossing({0, 3, 30, ITzPIXELSIDE_BOTTOM | ITzPIXELSIDE_LEFT, 0, 0});
    list.AddCrossing({0, -1, 0, ITzPIXELSIDE_TOP, 1, 0});
    list.AddCrossing({0, -1, 0, ITzPIXELSIDE_TOP | ITzPIXELSIDE_BOTTOM, 1, 0});
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.Records()[0].sides, ITzPIXELSIDE_BOTTOM);
    EXPECT_EQ(list.Records()[1].sides, ITzPIXELSIDE_TOP | ITzPIXELSIDE_LEFT);
    EXPECT_EQ(list.Records()[1].coverage, 10 + 30 + 1);  // both meet only the bottom
}

}  // namespace
