// What a person sees: the main window with a four-colour BMP at 1/1, grabbed from a real
// X server's screen (run under xvfb-run with QT_QPA_PLATFORM=xcb). The PNG stays in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "app/shell/document.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace shelltest;

namespace {

TEST(Screenshot, TheScreenShowsAFourColourBmpAtOneToOne)
{
    TempFolder temp;
    temp.Write("four.bmp", FourColourBmp());
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    ASSERT_NE(test.app->OpenDocumentFile(QString::fromStdString(temp.Item("four.bmp"))), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    CTamsleyView* view = frame->GetActiveTamsleyView();
    ASSERT_NE(view, nullptr);
    QTest::qWait(200);  // the X server has drawn what the window painted

    QScreen* screen = frame->screen();
    const QPoint corner = view->viewport()->mapToGlobal(view->PictureOrigin()) - screen->geometry().topLeft();
    const QImage shown = screen->grabWindow(0, corner.x(), corner.y(), 96, 64).toImage();
    frame->grab().save(ScreenshotPath(QStringLiteral("main_frame_xcb.png")));
    const QPixmap whole = screen->grabWindow(0);
    EXPECT_TRUE(whole.save(ScreenshotPath(QStringLiteral("screen_xcb.png"))));
    EXPECT_TRUE(shown.save(ScreenshotPath(QStringLiteral("four_colour_xcb.png"))));
    ASSERT_EQ(shown.size(), QSize(96, 64));
    for (int y = 0; y < 64; y += 7) {
        for (int x = 0; x < 96; x += 5)
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, FourColourAt(x, y) & 0xFFFFFF) << x << "," << y;
    }
}

// A file whose name holds Latin-1 bytes: its window's title shows the bad bytes as
// U+FFFD, which the PNG shows as the font draws it.
TEST(Screenshot, ANameThatIsNotUtf8ShowsReadablyInItsWindowsTitle)
{
    TempFolder temp;
    temp.Write("latin1-\xE9t\xE9.bmp", FourColourBmp());
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance({QByteArray::fromStdString(temp.Item("latin1-\xE9t\xE9.bmp"))}));
    CMainFrame* frame = test.app->GetMainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    ASSERT_NE(frame->GetActiveChild(), nullptr) << dialogs->messages.size();
    const QString title = frame->GetActiveChild()->windowTitle();
    EXPECT_TRUE(title.contains(QString::fromStdU16String(u"latin1-\uFFFDt\uFFFD.bmp"))) << title.toStdString();
    frame->GetActiveChild()->resize(420, 160);  // room for the whole title
    QTest::qWait(200);
    EXPECT_TRUE(frame->grab().save(ScreenshotPath(QStringLiteral("latin1_title_xcb.png"))));
}

}  // namespace
