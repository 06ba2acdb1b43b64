// What a person sees of the tools, on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): a pen stroke finished at 2/1, and a rectangle marquee being
// dragged over it, its dotted outline inverting every other pixel. The PNGs stay in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/brush_manager.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_manager.h"
#include "engine/picture/engine_functions.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace shelltest;

namespace {

// 160 x 120: light blue above, pale yellow below.
uint32_t Background(int, int y)
{
    return y < 60 ? 0xFFB0D0F0u : 0xFFF0E8A0u;
}

QImage OnScreen(CTamsleyView* view)
{
    QScreen* screen = view->screen();
    const QPoint corner = view->viewport()->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
    return screen->grabWindow(0, corner.x(), corner.y(), view->viewport()->width(), view->viewport()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// An event loop that waits, as the program's does: its idle turns paint the stroke.
void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(ToolScreenshot, APenStrokeAtTwoToOneAndAMarqueeDraggedOverIt)
{
    ScopedDialogs dialogs;
    CShellParts parts;
    CToolManager* tools = nullptr;
    parts.toolManager = [&tools] {
        auto made = std::make_unique<CToolManager>();
        tools = made.get();
        return made;
    };
    parts.brushManager = [] { return std::make_unique<CBrushManager>(); };
    TestApp test(std::move(parts));
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->resize(900, 640);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(160, 120, Background), QStringLiteral("stroke.bmp"));
    child->setGeometry(10, 10, 400, 320);
    CTamsleyView* view = child->GetView();
    view->SetZoom({2, 1});
    frame->activateWindow();  // without a window manager nothing else gives the program the focus
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    Wait(100);
    ASSERT_TRUE(view->IsActive());
    QWidget* area = view->viewport();
    const auto at = [view](int x, int y) { return PictureToClient(view, {x, y}); };

    tools->SelectTool(tool_id::PEN);
    QTest::mousePress(area, Qt::LeftButton, {}, at(20, 30));
    for (int step = 1; step <= 12; ++step) {
        QTest::mouseEvent(QTest::MouseMove, area, Qt::NoButton, {}, at(20 + 10 * step, 30 + 5 * step));
        Wait(10);
    }
    QTest::mouseRelease(area, Qt::LeftButton, {}, at(140, 90));
    Wait(200);
    const QImage stroke = OnScreen(view);
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
    Wait(200);
    const QImage marquee = OnScreen(view);
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
    Wait(50);
    EXPECT_NE(view->GetPicture()->GetSelectionLayer(0), nullptr);
}

}  // namespace
