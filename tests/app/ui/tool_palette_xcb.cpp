// The tool palette and the pen's options bar as a person sees them on a real X server (run
// under xvfb-run with QT_QPA_PLATFORM=xcb): the palette floats at the place stored at the
// last exit with the pen's button pressed, and the pen's panel is docked along the top of
// the main window. The PNG stays in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QEventLoop>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/ui/application_support.h"
#include "app/ui/brush_manager.h"
#include "app/ui/program_panels.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_button.h"
#include "app/ui/tool_manager.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace shelltest;

namespace {

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

uint32_t Checks(int x, int y)
{
    return ((x / 16 + y / 16) % 2) ? 0xFFE0C090u : 0xFF90B0E0u;
}

TEST(PaletteScreenshot, ThePaletteAtItsStoredPlaceAndThePenOptionsBar)
{
    ScopedDialogs dialogs;
    quorvel::AppSettings().Wipe();
    quorvel::WriteSettingDword(u"REG_VERSION", 1);
    quorvel::WriteSettingDword(u"Current_Tool", tool_id::PEN);
    const QPoint stored(24, 150);
    const std::pair<const char16_t*, uint32_t> place[] = {
        {u"Tool UI Left", stored.x()}, {u"Tool UI Top", stored.y()},
        {u"Tool UI Right", stored.x() + 70}, {u"Tool UI Bottom", stored.y() + 300}};
    for (const auto& [name, value] : place)
        quorvel::WriteSettingDword(name, value);

    CShellParts parts;
    parts.toolManager = [] { return std::make_unique<CToolManager>(); };
    parts.brushManager = [] { return std::make_unique<CBrushManager>(); };
    parts.panels = [] { return std::make_unique<CProgramPanels>(); };
    parts.applicationSupport = [] { return std::make_unique<RApplication>(); };
    TestApp test(std::move(parts));
    ASSERT_TRUE(test.app->InitInstance());
    CMainFrame* frame = test.app->GetMainFrame();
    frame->move(0, 0);
    frame->resize(620, 460);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(160, 120, Checks), QStringLiteral("checks.bmp"));
    child->setGeometry(110, 10, 300, 240);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    Wait(300);

    QDockWidget* palette = frame->GetPanel(quorvel::PanelSlot::ToolPalette);
    ASSERT_TRUE(palette && palette->isVisible() && palette->isFloating());
    EXPECT_EQ(palette->frameGeometry().topLeft(), stored);
    auto* pen = dynamic_cast<RToolButton*>(frame->GetToolPaletteControl(1077));
    ASSERT_TRUE(pen);
    EXPECT_TRUE(pen->IsSelected());
    QDockWidget* options = frame->GetToolOptionsPanel();
    ASSERT_TRUE(options && options->isVisible() && !options->isFloating());
    EXPECT_EQ(frame->dockWidgetArea(options), Qt::TopDockWidgetArea);
    auto* opacity = options->findChild<QLineEdit*>(QStringLiteral("1006"));
    ASSERT_TRUE(opacity && opacity->isVisible());
    EXPECT_EQ(opacity->text(), QStringLiteral("255"));

    QScreen* screen = frame->screen();
    const QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shot.save(ScreenshotPath(QStringLiteral("tool_palette_xcb.png"))));
    // The pressed pen button shows its pressed image where it stands on screen.
    const QRect penOnScreen(pen->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft(), pen->size());
    EXPECT_EQ(shot.copy(penOnScreen), pen->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

}  // namespace
