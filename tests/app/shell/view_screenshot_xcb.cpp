// What a person sees of the view: two windows of one picture with a selection, at 1/1
// (centred in its surround, inside its frame) and at 2/1 (active, with the marching
// outline), grabbed from a real X server's screen (run under xvfb-run with
// QT_QPA_PLATFORM=xcb). The PNGs stay in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace shelltest;

namespace {

// 120 x 90 in four colours, the lower right quadrant transparent.
uint32_t QuadrantPixel(int x, int y)
{
    if (x >= 60 && y >= 45)
        return 0x00000000;
    return x < 60 ? (y < 45 ? 0xFFE03020u : 0xFF2040E0u) : 0xFF20C040u;
}

TEST(ViewScreenshot, TwoWindowsOfOnePictureAtOneAndTwoWithTheSelectionOutline)
{
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->resize(900, 600);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    void* handle = MakeArgbPicture(120, 90, QuadrantPixel);
    ITzToolMask mask;
    const PTzRECT selected = {25, 20, 95, 70};
    ASSERT_EQ(mask.DrawRectSelection(ITzPictGetPictureClass(handle), &selected, 255, ITzSELECTION_REPLACE), 1);
    CChildFrame* child = OpenPicture(frame, handle, QStringLiteral("quadrants.bmp"));
    child->setGeometry(10, 10, 240, 200);
    auto* second = new QMdiSubWindow();
    auto* zoomed = new CTamsleyView(child->GetDocument(), second);
    second->setWidget(zoomed);
    frame->GetMdiArea()->addSubWindow(second);
    second->setGeometry(270, 10, 300, 240);
    second->show();
    zoomed->SetZoom({2, 1});
    frame->GetMdiArea()->setActiveSubWindow(second);
    frame->activateWindow();  // without a window manager nothing else gives the program the focus
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    // An event loop that waits, as the program's does: its idle turns step the outline.
    RunEventLoop(400);

    CTamsleyView* plain = child->GetView();
    EXPECT_TRUE(zoomed->IsActive());
    EXPECT_FALSE(plain->IsActive());
    EXPECT_TRUE(frame->screen()->grabWindow(0).save(ScreenshotPath(QStringLiteral("views_screen_xcb.png"))));
    const QImage one = ViewOnScreen(plain);
    const QImage two = ViewOnScreen(zoomed);
    one.save(ScreenshotPath(QStringLiteral("view_one_xcb.png")));
    two.save(ScreenshotPath(QStringLiteral("view_two_xcb.png")));

    // At 1/1: centred, the surround's grey, a black frame one pixel outside, the colours
    // and, under the transparent quadrant, the checkerboard's cells of 8.
    const QPoint origin = plain->PictureOrigin();
    ASSERT_GT(origin.x(), 1);
    ASSERT_GT(origin.y(), 1);
    EXPECT_EQ(one.pixel(origin + QPoint(-2, 40)), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(one.pixel(origin + QPoint(-1, 40)), qRgb(0, 0, 0));
    EXPECT_EQ(one.pixel(origin + QPoint(120, 89)), qRgb(0, 0, 0));
    EXPECT_EQ(one.pixel(origin + QPoint(50, 90)), qRgb(0, 0, 0));
    EXPECT_EQ(one.pixel(origin + QPoint(50, 91)), qRgb(0xC0, 0xC0, 0xC0));
    for (const QPoint& p : {QPoint(0, 0), QPoint(59, 44), QPoint(0, 89), QPoint(119, 0), QPoint(30, 60)})
        EXPECT_EQ(one.pixel(origin + p), QuadrantPixel(p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(one.pixel(origin + QPoint(64, 48)), qRgb(255, 255, 255));  // cell (64, 48): colour 1
    EXPECT_EQ(one.pixel(origin + QPoint(72, 48)), qRgb(127, 127, 127));
    EXPECT_EQ(one.pixel(origin + QPoint(72, 56)), qRgb(255, 255, 255));
    EXPECT_EQ(StripePhase(*plain, one), -1) << "no outline in the inactive window";

    // At 2/1: every picture pixel twice as wide and high, and the outline's stripes
    // anchored to zoomed coordinates.
    const QPoint corner = zoomed->PictureOrigin();
    for (const QPoint& p : {QPoint(2, 2), QPoint(59, 44), QPoint(0, 89), QPoint(10, 60)}) {
        EXPECT_EQ(two.pixel(corner + 2 * p), QuadrantPixel(p.x(), p.y())) << p.x() << "," << p.y();
        EXPECT_EQ(two.pixel(corner + 2 * p + QPoint(1, 1)), QuadrantPixel(p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_GE(StripePhase(*zoomed, two), 0);
    delete second;
}

}  // namespace
