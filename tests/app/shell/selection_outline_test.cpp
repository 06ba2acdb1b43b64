// The marching outline of a selection: the recolouring rules against a full paint, the
// stripes anchored to zoomed coordinates, the 100 ms pacing shared by all views (with a
// clock of the test's), steps that write only the pixels that change and compose
// nothing, the entries built again after a scroll, and dashes along every edge of round
// and slanted selections at every zoom.
#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <vector>

#include "app/shell/picture_view.h"
#include "app/shell/selection_outline.h"
#include "app/shell/view_clock.h"
#include "base/color.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

uint32_t now = 0;

uint32_t TestClock()
{
    return now;
}

// A 300 x 200 picture with a rectangular selection and a hole in it.
void* SelectedPicture()
{
    void* handle = MakeArgbPicture(300, 200, [](int x, int y) { return 0xFF204060u | uint32_t(x & 0x1F) << 16 | uint32_t(y & 0x1F); });
    ITzToolMask mask;
    const PTzRECT outer = {20, 15, 260, 170};
    const PTzRECT hole = {100, 60, 130, 90};
    mask.DrawRectSelection(ITzPictGetPictureClass(handle), &outer, 255, ITzSELECTION_REPLACE);
    mask.DrawRectSelection(ITzPictGetPictureClass(handle), &hole, 255, ITzSELECTION_SUBTRACT);
    return handle;
}

class Outline : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept = SetViewClock(TestClock);
        now += 100000;  // past any step an earlier test took
    }
    void TearDown() override { SetViewClock(kept); }

    ViewClock kept = nullptr;
};

TEST_F(Outline, AStepAfterAFullRecolouringEqualsAFullRecolouringAtTheNextPhase)
{
    void* handle = SelectedPicture();
    const int width = 150, height = 100;
    const int stride = ((24 * width + 31) >> 3) & ~3;
    std::vector<uint8_t> stepped(size_t(stride) * height, 0x55), full(stepped);
    _tagITzBITMAP steppedBuffer = {width, height, stride, 24, PTzCOLORMODE_RGB, stepped.data()};
    _tagITzBITMAP fullBuffer = {width, height, stride, 24, PTzCOLORMODE_RGB, full.data()};
    CSelectionOutline outline;
    // The zoomed rectangle at 1/2 whose pixel (0, 0) is the buffers'.
    const PTzRECT zoomed = {3, 1, 3 + width, 1 + height};
    ASSERT_EQ(outline.Build(ITzPictGetPictureClass(handle), zoomed, {1, 2}, steppedBuffer, QPoint(7, 9)), 1);
    EXPECT_EQ(outline.GetScrollPosition(), QPoint(7, 9));
    ASSERT_GT(outline.GetCount(), 300u);
    for (uint32_t phase = 0; phase < 16; ++phase) {
        outline.Paint(&steppedBuffer, phase);
        uint64_t written = 0;
        outline.Update(&steppedBuffer, phase + 1, &written);
        outline.Paint(&fullBuffer, phase + 1);
        ASSERT_EQ(stepped, full) << phase;
        // A quarter of the outline changes colour each step, and only those are written.
        EXPECT_NEAR(double(written), outline.GetCount() / 4.0, outline.GetCount() / 16.0);
    }
    // Refused: not 24-bit, no pixels.
    _tagITzBITMAP gray = {width, height, stride, 8, PTzCOLORMODE_GRAY, stepped.data()};
    EXPECT_EQ(outline.Paint(&gray, 0), 0);
    EXPECT_EQ(outline.Update(nullptr, 0), 0);
    outline.Free();
    EXPECT_FALSE(outline.IsBuilt());
    EXPECT_EQ(outline.GetScrollPosition(), QPoint());
    ITzPictDestroy(handle);
}

TEST_F(Outline, AStepRecoloursOnlyWhatChangesComposesNothingAndMatchesAFullPaint)
{
    ShownView shown(SelectedPicture(), QSize(400, 300));
    CTamsleyView& view = *shown.view;
    view.SetZoom({3, 2});
    view.OnActivateView(true);
    const PTzRECT whole = {0, 0, 300, 200};
    view.GetPicture()->DataChanged(&whole, 0);
    QCoreApplication::processEvents();
    const QImage before = shown.Grab();
    const int phase = StripePhase(view, before);
    ASSERT_GE(phase, 0);
    const CViewPaintCounters counters = view.GetPaintCounters();
    now += 100;
    EXPECT_EQ(view.OnIdle(), 0);
    QCoreApplication::processEvents();
    const QImage stepped = shown.Grab();
    EXPECT_EQ(StripePhase(view, stepped), (phase + 1) & 7);
    EXPECT_EQ(view.GetPaintCounters().tilesComposed, counters.tilesComposed) << "a step composes nothing";
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            changed += before.pixel(x, y) != stepped.pixel(x, y);
    EXPECT_GT(changed, 100);
    EXPECT_EQ(view.GetPaintCounters().outlinePixelsWritten - counters.outlinePixelsWritten, uint64_t(changed));
    // Everything composed again at the same phase gives the same picture.
    view.GetPicture()->DataChanged(&whole, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.Grab(), stepped);
    // The selection's corner, picture (20, 15), is an outline pixel while the view is
    // active, and shows the picture again once it is not.
    const QPoint corner = view.PictureOrigin() + QPoint(30, 22);
    EXPECT_TRUE(stepped.pixel(corner) == qRgb(0, 0, 0) || stepped.pixel(corner) == qRgb(255, 255, 255));
    view.OnActivateView(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.Grab().pixel(corner), qRgb(0x34, 0x40, 0x6F));
}

TEST_F(Outline, TenStepsWithin100MsAcrossTwoViewsMoveOnce)
{
    ShownView first(SelectedPicture(), QSize(300, 200));
    CTamsleyView second(first.document.get());
    second.resize(300, 200);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    for (CTamsleyView* view : {first.view.get(), &second}) {
        view->OnActivateView(true);
        view->viewport()->update();  // each paints its outline once
    }
    QCoreApplication::processEvents();
    const uint64_t written[2] = {first.view->GetPaintCounters().outlinePixelsWritten,
                                 second.GetPaintCounters().outlinePixelsWritten};
    now += 1000;
    for (int i = 0; i < 10; ++i) {
        (i % 2 ? second : *first.view).OnIdle();
        now += 9;
    }
    QCoreApplication::processEvents();
    EXPECT_GT(first.view->GetPaintCounters().outlinePixelsWritten, written[0]) << "the first step";
    EXPECT_EQ(second.GetPaintCounters().outlinePixelsWritten, written[1]) << "within 100 ms of it";
    now += 10;  // 100 ms after the first step
    second.OnIdle();
    EXPECT_GT(second.GetPaintCounters().outlinePixelsWritten, written[1]);
}

TEST_F(Outline, ScrollingBuildsTheEntriesAgainForTheNewPlace)
{
    ShownView shown(SelectedPicture(), QSize(250, 180));
    CTamsleyView& view = *shown.view;
    view.SetZoom({2, 1});
    view.OnActivateView(true);
    view.viewport()->update();
    QCoreApplication::processEvents();
    int phase = StripePhase(view, shown.Grab());
    ASSERT_GE(phase, 0);
    // The stripes stay with the picture while it scrolls, and step on from there.
    for (const QPoint& to : {QPoint(37, 0), QPoint(37, 91), QPoint(5, 13)}) {
        view.ScrollToZoomed(to.x(), to.y());
        QCoreApplication::processEvents();
        EXPECT_EQ(StripePhase(view, shown.Grab()), phase) << to.x() << "," << to.y();
        now += 100;
        view.OnIdle();
        QCoreApplication::processEvents();
        phase = (phase + 1) & 7;
        EXPECT_EQ(StripePhase(view, shown.Grab()), phase) << to.x() << "," << to.y();
    }
}

TEST_F(Outline, EveryBoundaryPixelCarriesDashesAlongEdgesOfEveryDirectionAtEveryZoom)
{
    // Sixteenths of a pixel, for the lasso's polygons.
    const auto lasso = [](std::vector<PTzPOINT> points) {
        for (PTzPOINT& point : points)
            point = {point.x * 16, point.y * 16};
        return [points](ITzPicture* picture) {
            ITzToolMask mask;
            return mask.DrawPolygonSelection(picture, uint32_t(points.size()), points.data(), 255, ITzSELECTION_REPLACE);
        };
    };
    struct Shape {
        const char* name;
        std::function<int(ITzPicture*)> select;
        PTzPOINT rising;  // a boundary point where the edge rises to the right at 45 degrees
    } shapes[] = {
        {"ellipse",
         [](ITzPicture* picture) {
             ITzToolMask mask;
             const PTzRECT box = {30, 20, 270, 180};
             return mask.DrawArcSelection(picture, &box, 255, ITzSELECTION_REPLACE);
         },
         {50, 56}},
        {"diamond", lasso({{150, 20}, {230, 100}, {150, 180}, {70, 100}}), {110, 60}},
        {"slanted", lasso({{20, 170}, {140, 50}, {280, 110}, {200, 190}}), {80, 110}},
    };
    const _tagITzZOOMLEVEL zooms[] = {{1, 3}, {1, 1}, {3, 2}, {4, 1}, {16, 1}};
    for (const Shape& shape : shapes) {
        ShownView shown(MakeArgbPicture(300, 200, [](int, int) { return 0xFF808080u; }), QSize(400, 300));
        CTamsleyView& view = *shown.view;
        ASSERT_EQ(shape.select(view.GetPicture()), 1) << shape.name;
        view.OnActivateView(true);
        for (const _tagITzZOOMLEVEL& zoom : zooms) {
            view.SetZoom(zoom);
            PTzPOINT rising;
            ASSERT_EQ(view.PictureToZoomed(&shape.rising, &rising), 0);
            view.ScrollToZoomed(rising.x - 200, rising.y - 150);
            for (int phase = 0; phase < 2; ++phase) {
                now += 100;
                view.OnIdle();
                QCoreApplication::processEvents();
                const OutlineCheck check = CheckOutline(view, shown.Grab());
                EXPECT_GT(check.boundary, 80) << shape.name << " at " << zoom.numerator << "/" << zoom.denominator;
                EXPECT_EQ(check.missing + check.stray + check.gaps, 0)
                    << check << "; " << shape.name << " at " << zoom.numerator << "/" << zoom.denominator;
            }
        }
    }
}

}  // namespace
