// What a person sees of the tools, on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): a pen stroke finished at 2/1, and a rectangle marquee being
// dragged over it, its dotted outline inverting every other pixel. The PNGs stay in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_manager.h"
#include "engine/picture/engine_functions.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"
#include "tests/app/ui/tool_test_support.h"

using namespace shelltest;

namespace {

// 160 x 120: light blue above, pale yellow below.
uint32_t Background(int, int y)
{
    return y < 60 ? 0xFFB0D0F0u : 0xFFF0E8A0u;
}

TEST(ToolScreenshot, APenStrokeAtTwoToOneAndAMarqueeDraggedOverIt)
{
    tooltest::ScreenProgram program;
    ASSERT_NO_FATAL_FAILURE(program.Start());
    CMainFrame* frame = program.frame;
    CToolManager* tools = program.tools;
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(160, 120, Background), QStringLiteral("stroke.bmp"));
    child->setGeometry(10, 10, 400, 320);
    CTamsleyView* view = child->GetView();
    view->SetZoom({2, 1});
    ASSERT_NO_FATAL_FAILURE(program.Activate(view));
    QWidget* area = view->viewport();
    const auto at = [view](int x, int y) { return PictureToClient(view, {x, y}); };

    tools->SelectTool(tool_id::PEN);
    QTest::mousePress(area, Qt::LeftButton, {}, at(20, 30));
    for (int step = 1; step <= 12; ++step) {
        QTest::mouseEvent(QTest::MouseMove, area, Qt::NoButton, {}, at(20 + 10 * step, 30 + 5 * step));
        RunEventLoop(10);
    }
    QTest::mouseRelease(area, Qt::LeftButton, {}, at(140, 90));
    RunEventLoop(200);
    const QImage stroke = ViewOnScreen(view);
    stroke.save(ScreenshotPath(QStringLiteral("tool_pen_stroke_xcb.png")));
    // Every picture pixel two screen pixels wide and high: black along the stroke's middle,
    // the background away from it.
    for (int x : {40, 80, 120}) {
        const QPoint middle = at(x, 30 + (x - 20) / 2);
        EXPECT_LT(qGray(stroke.pixel(middle)), 40) << x;
        EXPECT_EQ(stroke.pixel(middle), stroke.pixel(middle + QPoint(1, 1))) << x;
    }
    EXPECT_EQ(stroke.pixel(at(140, 20)), Background(140, 20));
    EXPECT_EQ(stroke.pixel(at(20, 110)), Background(20, 110));

    tools->SelectTool(tool_id::MAGR);
    QTest::mousePress(area, Qt::LeftButton, {}, at(30, 15));
    QTest::mouseEvent(QTest::MouseMove, area, Qt::NoButton, {}, at(80, 50));
    QTest::mouseEvent(QTest::MouseMove, area, Qt::NoButton, {}, at(110, 100));
    RunEventLoop(200);
    const QImage marquee = ViewOnScreen(view);
    marquee.save(ScreenshotPath(QStringLiteral("tool_marquee_drag_xcb.png")));
    EXPECT_TRUE(frame->screen()->grabWindow(0).save(ScreenshotPath(QStringLiteral("tool_screen_xcb.png"))));
    // The outline's top edge: inverted and untouched pixels alternate along it.
    const QPoint left = at(30, 15);
    int inverted = 0;
    int untouched = 0;
    for (int x = left.x() + 4; x < at(110, 15).x() - 4; ++x) {
        const QRgb shown = marquee.pixel(x, left.y());
        const QRgb under = marquee.pixel(x, left.y() - 1);
        inverted += shown == (~under | 0xFF000000u);
        untouched += shown == under;
    }
    EXPECT_GT(inverted, 40);
    EXPECT_GT(untouched, 40);
    EXPECT_EQ(marquee.pixel(at(70, 60)), stroke.pixel(at(70, 60))) << "inside: the picture as it was";
    QTest::mouseRelease(area, Qt::LeftButton, {}, at(110, 100));
    RunEventLoop(50);
    EXPECT_NE(view->GetPicture()->GetSelectionLayer(0), nullptr);
}

}  // namespace
