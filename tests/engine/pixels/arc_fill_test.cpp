// The ellipse scan against the exact ellipse: pixels the outline does not come near
// against the ellipse's equation at their centres, crossed pixels against their covered
// share, from 1 x 1 to 20,000 pixels and cut by the clip on each side; the coverage
// tables, the crossing list's merge and the scan's refusals.
#include "engine/pixels/arc_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/error_codes.h"
#include "engine/pixels/anti_line_math.h"
#include "tests/engine/pixels/shape_reference.h"

namespace {

struct Ellipse {
    double cx, cy, rx, ry;  // pixels
    explicit Ellipse(const PTzRECT& r)
        : cx((double(r.left) + r.right) / 2), cy((double(r.top) + r.bottom) / 2), rx((double(r.right) - r.left) / 2),
          ry((double(r.bottom) - r.top) / 2)
    {
    }
    double f(double x, double y) const { return (x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry); }
    // Which of: wholly inside (1), wholly outside (0), or near the outline (-1) the pixel
    // grown by an eighth of a pixel is.
    int Classify(int64_t px, int64_t py) const
    {
        const double m = 0.125, x0 = px - m, y0 = py - m, x1 = px + 1 + m, y1 = py + 1 + m;
        const double nx = std::clamp(cx, x0, x1), ny = std::clamp(cy, y0, y1);
        const double far = std::max({f(x0, y0), f(x1, y0), f(x0, y1), f(x1, y1)});
        return far < 1 ? 1 : f(nx, ny) > 1 ? 0 : -1;
    }
    double Share(int64_t px, int64_t py) const
    {
        int inside = 0;
        constexpr int n = 64;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                inside += f(px + (i + 0.5) / n, py + (j + 0.5) / n) < 1;
        return inside * 255.0 / (n * n);
    }
    // Near one of the four extreme points, where the outline turns within a pixel.
    bool NearTip(int64_t px, int64_t py) const
    {
        const double tips[4][2] = {{cx, cy - ry}, {cx, cy + ry}, {cx - rx, cy}, {cx + rx, cy}};
        for (const auto& t : tips)
            if (std::abs(px + 0.5 - t[0]) < 2.5 && std::abs(py + 0.5 - t[1]) < 2.5)
                return true;
        return false;
    }
};

// Fills the ellipse into a layer over `clip` and checks every pixel it can judge.
void CheckEllipse(const PTzRECT& rect, const PTzRECT& clip, uint8_t value = 255)
{
    SCOPED_TRACE(testing::Message() << "ellipse " << rect.left << "," << rect.top << "," << rect.right << ","
                                    << rect.bottom << " clip " << clip.left << "," << clip.top << "," << clip.right
                                    << "," << clip.bottom);
    auto layer = shape_reference::PresentLayer(clip, 99);
    ITzLayerArcFill fill;
    fill.SetLayer(layer.get());
    const _tagPTzCOLOR colour = {PTzCOLORMODE_GRAY, 255, {value}};
    fill.SetColor(&colour);
    ASSERT_EQ(fill.Fill(&rect, &clip), 0);
    const std::vector<uint8_t> bytes = shape_reference::ReadBytes(*layer, clip);
    const Ellipse ellipse(rect);
    const bool large = ellipse.rx >= 20 && ellipse.ry >= 20;
    const int32_t width = clip.right - clip.left;
    int judged = 0;
    for (int32_t y = clip.top; y < clip.bottom; ++y)
        for (int32_t x = clip.left; x < clip.right; ++x) {
            const uint8_t got = bytes[size_t(y - clip.top) * size_t(width) + size_t(x - clip.left)];
            const int kind = ellipse.Classify(x, y);
            if (kind >= 0) {
                ASSERT_EQ(got, kind ? value : 0) << "pixel " << x << ", " << y;
                ++judged;
            } else if (large && !ellipse.NearTip(x, y)) {
                ASSERT_NEAR(got, ellipse.Share(x, y) * value / 255, 16) << "pixel " << x << ", " << y;
            }
        }
    EXPECT_GT(judged, 0);
}

TEST(ArcFill, EllipsesMatchTheirEquationFromOnePixelToTwentyThousand)
{
    CheckEllipse({3, 4, 4, 5}, {0, 0, 8, 8});
    CheckEllipse({2, 2, 5, 9}, {0, 0, 12, 12});
    CheckEllipse({1, 1, 40, 25}, {0, 0, 48, 30}, 200);
    CheckEllipse({-3, 5, 250, 300}, {0, 0, 300, 310});
    CheckEllipse({10, 7, 11, 260}, {0, 0, 20, 270});
    // Large ones seen through windows at each side, the clip cutting through the outline.
    const PTzRECT big = {-5000, -3000, 15000, 17000};
    CheckEllipse(big, {-5010, 6900, -4900, 7000});
    CheckEllipse(big, {14930, 7000, 15020, 7060});
    CheckEllipse(big, {4950, -3010, 5060, -2950});
    CheckEllipse(big, {4900, 16980, 5020, 17010});
    CheckEllipse(big, {9000, 0, 9100, 80});
    CheckEllipse({0, 0, 20000, 9000}, {100, 2000, 200, 2100});
}

TEST(ArcFill, OutlineLeftOfTheClipKeepsTheInsideRight)
{
    // Cut by the clip's left edge on every row: the rows start inside.
    CheckEllipse({-40, 0, 60, 80}, {0, 0, 64, 80});
    CheckEllipse({-30, -20, 50, 50}, {10, 0, 64, 40});
    // The list carries only parity left of the clip, at the column before it.
    ITzArcFill fill;
    const PTzRECT rect = {-40, 0, 60, 80}, clip = {0, 0, 64, 80};
    ASSERT_EQ(fill.Fill(&rect, &clip), 0);
    for (const _tagITzCROSSPIXEL& record : fill.GetList()->Records()) {
        EXPECT_GE(record.x, -1);
        if (record.x == -1) {
            EXPECT_EQ(record.sides & (ITzARCSIDE_LEFT | ITzARCSIDE_RIGHT), 0);
        }
    }
}

TEST(ArcFill, EmptyHugeAndTinyRectangles)
{
    const PTzRECT clip = {0, 0, 16, 16};
    for (const PTzRECT& empty : {PTzRECT{4, 4, 4, 9}, PTzRECT{4, 4, 9, 4}, PTzRECT{9, 9, 4, 4}}) {
        auto layer = shape_reference::PresentLayer(clip, 55);
        ITzLayerArcFill fill;
        fill.SetLayer(layer.get());
        EXPECT_EQ(fill.Fill(&empty, &clip), 0);
        EXPECT_EQ(shape_reference::ReadBytes(*layer, clip)[0], 55);  // untouched
    }
    ITzArcFill fill;
    const PTzRECT huge = {0, 0, (1 << 24) + 1, 10};
    EXPECT_EQ(fill.Fill(&huge, &clip), ITzERR_INVALID);
    const PTzRECT widest = {-(1 << 23), -(1 << 23), 1 << 23, 1 << 23};
    EXPECT_EQ(fill.Fill(&widest, &clip), 0);
    // The clip lies deep inside: each row keeps only the left outline's parity.
    EXPECT_EQ(fill.GetList()->GetCount(), 16u);
    for (const _tagITzCROSSPIXEL& record : fill.GetList()->Records())
        EXPECT_TRUE(record.x == -1 && (record.sides & ITzARCSIDE_TOP));
    const PTzRECT one = {3, 3, 4, 4};
    ASSERT_EQ(fill.Fill(&one, &clip), 0);
    EXPECT_EQ(fill.GetList()->GetCount(), 1u);
    EXPECT_EQ(fill.Fill(nullptr, &clip), ITzERR_INVALID);
}

TEST(ArcFill, CoverageTablesAndRecords)
{
    const ITzAntiLineMath& math = *GetAntiLineMath();
    EXPECT_EQ(math.Trapezoid(0, 0), 0);
    EXPECT_EQ(math.Trapezoid(16, 16), 255);
    EXPECT_EQ(math.Trapezoid(8, 8), 128);
    EXPECT_EQ(math.Triangle(16, 16), 128);
    for (uint32_t c = 0; c <= 16; ++c)
        EXPECT_EQ(math.Triangle(0, c), 0);
    // Each rule against the share of the top-left corner's side of the line through the
    // two crossings: first side at b, second at a.
    struct Case {
        uint8_t first, second;
        uint32_t b, a;
        uint8_t expected;
    };
    const Case cases[] = {
        {ITzPIXELSIDE_TOP, ITzPIXELSIDE_BOTTOM, 4, 12, 128},  {ITzPIXELSIDE_LEFT, ITzPIXELSIDE_RIGHT, 0, 16, 128},
        {ITzPIXELSIDE_TOP, ITzPIXELSIDE_LEFT, 16, 16, 128},   {ITzPIXELSIDE_LEFT, ITzPIXELSIDE_TOP, 8, 8, 32},
        {ITzPIXELSIDE_LEFT, ITzPIXELSIDE_BOTTOM, 0, 16, 127}, {ITzPIXELSIDE_BOTTOM, ITzPIXELSIDE_RIGHT, 0, 0, 127},
        {ITzPIXELSIDE_RIGHT, ITzPIXELSIDE_TOP, 16, 0, 127},   {ITzPIXELSIDE_TOP, ITzPIXELSIDE_RIGHT, 16, 0, 255},
        {ITzPIXELSIDE_TOP, ITzPIXELSIDE_TOP, 3, 9, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(math.GetCoverage(c.a, c.b, c.first, c.second), c.expected)
            << int(c.first) << "/" << int(c.second) << " " << c.b << "," << c.a;

    EXPECT_EQ(ITzCrossPixelList::RecordCoverage({0, 0, 0, 0, 8, 8, ITzARCSIDE_LEFT | ITzARCSIDE_RIGHT, 0, {}}), 127);
    ITzCrossPixelList list;
    list.AddCrossing({2, 5, 0, 0, 3, 0, ITzARCSIDE_LEFT, 0, {}});
    list.AddCrossing({2, 5, 6, 0, 9, 0, ITzARCSIDE_LEFT | ITzARCSIDE_TOP, 0, {}});
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.Records()[0].sides, ITzARCSIDE_TOP);
    EXPECT_EQ(list.Records()[0].left, 9);
    EXPECT_EQ(list.Records()[0].top, 6);
}

}  // namespace
