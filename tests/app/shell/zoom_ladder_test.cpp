// The zoom ladder, its stop rules with pictures up to 2^30 pixels a side, the ratio of a
// dragged rectangle, and the window title's percentage.
#include <gtest/gtest.h>

#include <string>

#include "app/shell/zoom_ladder.h"
#include "tests/app/shell/shell_test_support.h"

namespace {

std::string Text(_tagITzZOOMLEVEL zoom)
{
    return std::to_string(zoom.numerator) + "/" + std::to_string(zoom.denominator);
}

TEST(ZoomLadder, RunsBothWaysFromOneToOne)
{
    std::string up, down;
    _tagITzZOOMLEVEL rising = {1, 1}, falling = {1, 1};
    for (int i = 0; i < 8; ++i) {
        rising = NextZoomLevel(rising, true);
        falling = NextZoomLevel(falling, false);
        up += Text(rising) + " ";
        down += Text(falling) + " ";
    }
    EXPECT_EQ(up, "2/1 3/1 4/1 6/1 8/1 12/1 16/1 24/1 ");
    EXPECT_EQ(down, "2/3 1/2 1/3 1/4 1/6 1/8 1/12 1/16 ");
    // The ladder ends where its terms would leave 32 bits.
    EXPECT_EQ(Text(NextZoomLevel({4026531840u, 1}, true)), "4026531840/1");
}

TEST(ZoomLadder, AnyRatioStepsToItsNeighbours)
{
    const struct {
        _tagITzZOOMLEVEL from;
        const char* in;
        const char* out;
    } cases[] = {
        {{1, 1}, "2/1", "2/3"},      {{12, 1}, "16/1", "8/1"},  {{5, 3}, "2/1", "1/1"},
        {{33, 2}, "24/1", "16/1"},   {{1, 5}, "1/4", "1/6"},    {{3, 4}, "1/1", "2/3"},
        {{2, 3}, "1/1", "1/2"},      {{0, 7}, "2/1", "2/3"},    {{4, 0}, "2/1", "2/3"},
        {{24, 48}, "2/3", "1/3"},    {{7, 1}, "8/1", "6/1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(StepZoomLadder(c.from, true)), c.in) << Text(c.from);
        EXPECT_EQ(Text(StepZoomLadder(c.from, false)), c.out) << Text(c.from);
    }
}

TEST(ZoomLadder, StopRules)
{
    const _tagPTzSIZE picture = {640, 480};
    const struct {
        _tagITzZOOMLEVEL zoom;
        _tagPTzSIZE picture;
        bool in;
    } zoomIn[] = {
        {{12, 1}, picture, true},
        {{16, 1}, picture, false},
        {{33, 2}, picture, false},  // a rectangle zoom's ratio: quotient 16
        {{31, 2}, picture, true},
        // Sides up to 2^30: no step whose zoomed size would pass 2^31 - 1.
        {{1, 1}, {1 << 30, 5}, false},
        {{1, 2}, {1 << 30, 5}, true},
        {{1, 1}, {(1 << 30) - 1, 5}, true},
        {{2, 3}, {5, 1 << 30}, true},
        {{1, 1}, {5, 1 << 30}, false},
    };
    for (const auto& c : zoomIn)
        EXPECT_EQ(CanZoomIn(c.zoom, c.picture), c.in) << Text(c.zoom) << " " << c.picture.cx << "x" << c.picture.cy;
    const struct {
        _tagITzZOOMLEVEL zoom;
        _tagPTzSIZE zoomed;
        bool out;
    } zoomOut[] = {
        {{2, 1}, {2, 2}, true},      {{1, 1}, {5, 5}, false},   {{1, 1}, {100, 1}, false},
        {{1, 2}, {10, 3}, true},     {{1, 4}, {9, 9}, false},   {{1, 1}, {1, 50}, false},
    };
    for (const auto& c : zoomOut)
        EXPECT_EQ(CanZoomOut(c.zoom, c.zoomed), c.out) << Text(c.zoom) << " " << c.zoomed.cx << "x" << c.zoomed.cy;
    EXPECT_TRUE(ZoomFits({2, 1}, {(1 << 30) - 1, 1}));
    EXPECT_FALSE(ZoomFits({2, 1}, {1 << 30, 1}));
    EXPECT_EQ(ZoomedLength(1 << 30, {16, 1}), uint64_t(1) << 34);
    EXPECT_EQ(ZoomedLength(5, {2, 3}), 4u);
}

TEST(ZoomLadder, ARectangleFillsTheWindowOnItsTighterAxis)
{
    const _tagPTzSIZE picture = {4000, 3000};
    const struct {
        int64_t width, height;
        int32_t clientWidth, clientHeight;
        _tagPTzSIZE picture;
        const char* zoom;
    } cases[] = {
        {100, 50, 400, 300, picture, "400/100"},  // the width decides, never reduced
        {50, 100, 400, 300, picture, "300/100"},
        {2, 2, 33, 33, picture, "33/2"},
        {10, 10, 400, 300, picture, "16/1"},      // 30/1 is past the most
        {0, 0, 400, 300, picture, "16/1"},        // no extent at all
        {0, 50, 400, 300, picture, "300/50"},
        {40, 0, 400, 300, picture, "400/40"},
        {5000, 5000, 400, 300, picture, "300/5000"},
        {10, 10, 400, 300, {1 << 30, 10}, "1/1"},  // the most that fits such a side
        {10, 10, 400, 300, {1 << 29, 10}, "3/1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(ZoomForRect(c.width, c.height, c.clientWidth, c.clientHeight, c.picture)), c.zoom)
            << c.width << "x" << c.height;
}

TEST(ZoomLadder, TheTitleShowsThePercentageBeforeTheWholeDocumentTitle)
{
    EXPECT_EQ(ZoomTitle({1, 1}, QStringLiteral("a.bmp")), QStringLiteral("100%a.bmp"));
    EXPECT_EQ(ZoomTitle({2, 1}, QStringLiteral("a.bmp")), QStringLiteral("200%a.bmp"));
    EXPECT_EQ(ZoomTitle({2, 3}, QStringLiteral("a.bmp")), QStringLiteral("66.67%a.bmp"));
    EXPECT_EQ(ZoomTitle({1, 8}, QStringLiteral("a.bmp")), QStringLiteral("12.50%a.bmp"));
    EXPECT_EQ(ZoomTitle({33, 2}, QString()), QStringLiteral("1650%"));
    // A "%" in the document's own title stays where it is.
    EXPECT_EQ(ZoomTitle({1, 1}, QStringLiteral("50%off.bmp")), QStringLiteral("100%50%off.bmp"));
}

}  // namespace
