// What a person sees after Select All and Fill Color at 50 % of the front colour, run from
// the main frame's commands with the real Fill Color dialog, on a picture of known
// colours: the view's pixels on a real X server's screen (run under xvfb-run with
// QT_QPA_PLATFORM=xcb) against the composition worked out by hand, and the information
// panel showing the colour under the cursor. The PNGs stay in the build tree's
// screenshot folder.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "app/shell/current_colours.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/shell_strings.h"
#include "app/ui/program_panels.h"
#include "app/ui/view_dialogs.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace quorvel;
using namespace shelltest;

namespace {

// 120 x 90: the left half opaque blue, the upper right quadrant opaque green, the lower
// right quadrant transparent.
uint32_t Known(int x, int y)
{
    if (x < 60)
        return 0xFF0000FF;
    return y < 45 ? 0xFF00FF00 : 0x00000000;
}

// The fill is red at opacity 128 (50 %). On an opaque pixel each channel moves from d
// towards s by (Q * (s - d)) >> 16 with Q = (128 * 65536 + 127) / 255 = 32897, so 0
// becomes 128 and 255 becomes 255 - 129 = 126; a transparent pixel becomes red at alpha
// 128, which the view lays over its checkerboard: each channel of the cell moves by
// (x * 128 + 127) / 255 towards red, white (255) to 127 and grey (127) to 191 and 63.
struct Expected {
    QPoint at;  // picture pixel
    QRgb shown;
};
constexpr Expected kExpected[] = {
    {{10, 10}, qRgb(128, 0, 126)},   // blue
    {{50, 80}, qRgb(128, 0, 126)},
    {{70, 10}, qRgb(128, 126, 0)},   // green
    {{100, 40}, qRgb(128, 126, 0)},
    {{66, 50}, qRgb(255, 127, 127)},  // transparent over a white cell (x & 15 < 8, y & 15 < 8)
    {{100, 84}, qRgb(255, 127, 127)},
    {{76, 50}, qRgb(191, 63, 63)},    // over a grey cell
    {{66, 60}, qRgb(191, 63, 63)},
};

QImage Grab(QWidget* widget, const QRect& rect)
{
    QScreen* screen = widget->screen();
    const QPoint corner = widget->mapToGlobal(rect.topLeft()) - screen->geometry().topLeft();
    return screen->grabWindow(0, corner.x(), corner.y(), rect.width(), rect.height()).toImage();
}

TEST(ViewCommandsScreenshot, SelectAllAndFillAtHalfTheFrontColourShowExactColoursAndTheInformationPanelThePickedOne)
{
    ScopedDialogs dialogs;
    CShellParts parts;
    parts.viewDialogs = [] { return std::make_unique<CViewDialogs>(); };
    parts.panels = [] { return std::make_unique<CProgramPanels>(); };
    TestApp test(std::move(parts));
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->resize(900, 600);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(120, 90, Known), QStringLiteral("known.bmp"));
    child->setGeometry(10, 10, 300, 250);
    CTamsleyView* view = child->GetView();
    const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {255, 0, 0}};
    test.app->GetColours()->SetFrontColor(&red);
    dialogs->modal = [](QDialog* dialog) {
        dialog->show();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("1006"));
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("50"));
        dialog->accept();
        return dialog->result();
    };

    frame->Action(ID_SELECT_ALL)->trigger();
    frame->Action(ID_FILL_COLOR)->trigger();
    ASSERT_EQ(dialogs->modalDialogs, 1);
    QTest::qWait(300);  // painted, and drawn by the X server

    const QRect picture(view->PictureOrigin(), QSize(120, 90));
    const QImage shown = Grab(view->viewport(), picture);
    EXPECT_TRUE(shown.save(ScreenshotPath(QStringLiteral("fill_half_red_xcb.png"))));
    ASSERT_EQ(shown.size(), QSize(120, 90));
    for (const Expected& e : kExpected)
        EXPECT_EQ(shown.pixel(e.at) & 0xFFFFFF, e.shown & 0xFFFFFF) << e.at.x() << "," << e.at.y();

    // The cursor over picture pixel (20, 30): the panel shows its colour and place.
    QTest::mouseMove(view->viewport(), picture.topLeft() + QPoint(20, 30));
    QTest::qWait(200);
    QDockWidget* panel = frame->GetPanel(PanelSlot::Info);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    QStringList fields;
    for (int id = 1131; id <= 1135; ++id)
        fields << panel->findChild<QLabel*>(QString::number(id))->text();
    EXPECT_EQ(fields.join(u','), QStringLiteral("128,0,126,20,30"));
    EXPECT_TRUE(Grab(panel, panel->rect()).save(ScreenshotPath(QStringLiteral("information_panel_xcb.png"))));
    EXPECT_TRUE(frame->screen()->grabWindow(0).save(ScreenshotPath(QStringLiteral("view_commands_screen_xcb.png"))));

    // The Select menu, opened, with the commands the selection allows.
    QMenu* select = frame->menuBar()->actions().at(2)->menu();
    ASSERT_NE(select, nullptr);
    select->popup(frame->mapToGlobal(QPoint(80, 30)));
    QTest::qWait(200);
    EXPECT_TRUE(frame->Action(ID_DESELECT)->isEnabled());
    EXPECT_TRUE(Grab(select, select->rect()).save(ScreenshotPath(QStringLiteral("select_menu_xcb.png"))));
    select->hide();
}

}  // namespace
