// What a person sees of the text tool, on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): a text layer typed through the key sink at 1/1 with its caret
// flashing after the last character, and the options bar over text whose size and colour
// differ across the selection. The PNGs stay in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QApplication>
#include <QDockWidget>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/ui/program_parts.h"
#include "app/ui/tool_manager.h"
#include "app/ui/tool_options_text.h"
#include "app/ui/tool_text.h"
#include "engine/tools/tool_text.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"
#include "tests/app/ui/tool_test_support.h"

using namespace shelltest;

namespace {

uint32_t Background(int, int)
{
    return 0xFFF4F0E0u;
}

// The panel's key sink; the display shows nothing here.
struct SinkPanel : ITextToolPanel {
    explicit SinkPanel(QWidget* parent) : sink(parent) { sink.show(); }
    RTextToolEdit* GetKeySink() override { return &sink; }
    void ShowTextSettings(const _tagPTzFONTDATAINFO&, const _tagPTzCOLOR&, uint8_t) override {}
    RTextToolEdit sink;
};

TEST(TextToolScreenshot, ATypedTextLayerWithItsCaret)
{
    tooltest::ScreenProgram program;
    ASSERT_NO_FATAL_FAILURE(program.Start());
    CMainFrame* frame = program.frame;
    CToolManager* tools = program.tools;
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(320, 160, Background), QStringLiteral("text.bmp"));
    child->setGeometry(10, 10, 420, 260);
    CTamsleyView* view = child->GetView();
    ASSERT_NO_FATAL_FAILURE(program.Activate(view));
    QWidget* area = view->viewport();
    const auto at = [view](int x, int y) { return PictureToClient(view, {x, y}); };

    tools->SelectTool(tool_id::TEXT);
    auto* text = dynamic_cast<CTool_Text*>(tools->GetCurrentTool());
    ASSERT_TRUE(text);
    SinkPanel panel(frame);
    text->SetPanel(&panel);
    const char16_t face[] = u"DejaVu Sans";
    text->SetFaceName(face);
    text->SetHeight(-28);
    QTest::mouseClick(area, Qt::LeftButton, {}, at(20, 40));
    view->setFocus();
    RunEventLoop(50);
    ASSERT_TRUE(panel.sink.hasFocus()) << "the idle turn hands the keys to the sink";
    QTest::keyClicks(&panel.sink, QStringLiteral("Quorvel text"));
    QTest::keyClick(&panel.sink, Qt::Key_Return);
    QTest::keyClicks(&panel.sink, QStringLiteral("second row "));
    // Committed by an input method; DejaVu lacks them, so a face that has them lends them.
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral(u"\u6F22\u5B57"));
    QApplication::sendEvent(&panel.sink, &commit);

    int32_t x = 0;
    int32_t y = 0;
    int32_t height = 0;
    ASSERT_TRUE(text->GetEngineTool()->GetFlashCursorPicturePos(view->GetPicture(), &x, &y, &height));
    const QPoint caret = at(x, y + height / 2);
    // The view's own timer flashes the caret: wait for a grab that shows it.
    QImage shown;
    bool caretShown = false;
    for (int tries = 0; tries < 30 && !caretShown; ++tries) {
        RunEventLoop(50);
        shown = ViewOnScreen(view);
        caretShown = shown.pixel(caret) == (~Background(0, 0) | 0xFF000000u);
    }
    shown.save(ScreenshotPath(QStringLiteral("tool_text_caret_xcb.png")));
    EXPECT_TRUE(caretShown);
    // Ink in both rows, the background away from them.
    int ink = 0;
    for (int px = at(20, 0).x(); px < at(x, 0).x(); ++px) {
        for (int py = at(0, 40).y(); py < at(0, y + height).y(); ++py)
            ink += qGray(shown.pixel(px, py)) < 100;
    }
    EXPECT_GT(ink, 200);
    EXPECT_EQ(shown.pixel(at(300, 150)), Background(0, 0));
    text->SetPanel(nullptr);
}

TEST(TextToolScreenshot, TheOptionsBarShowsNoSizeAndNoColourForTextThatMixesThem)
{
    quorvel::AppSettings().Wipe();
    tooltest::ScreenProgram program;
    ASSERT_NO_FATAL_FAILURE(program.Start(MakeProgramParts()));
    CMainFrame* frame = program.frame;
    CToolManager* tools = program.tools;
    ASSERT_TRUE(tools);
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(320, 160, Background), QStringLiteral("mixed.bmp"));
    child->setGeometry(90, 10, 420, 260);
    CTamsleyView* view = child->GetView();
    ASSERT_NO_FATAL_FAILURE(program.Activate(view));

    tools->SelectTool(tool_id::TEXT);
    auto* text = dynamic_cast<CTool_Text*>(tools->GetCurrentTool());
    QDockWidget* options = frame->GetToolOptionsPanel();
    auto* panel = options ? dynamic_cast<CToolOptionsText*>(options->widget()) : nullptr;
    ASSERT_TRUE(text && panel);
    _tagPTzCOLOR red = text->GetColor();
    red.components[0] = 230;
    const _tagPTzCOLOR black = text->GetColor();
    text->SetHeight(-40);
    text->SetColor(red);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, PictureToClient(view, {20, 40}));
    QTest::keyClicks(panel->GetKeySink(), QStringLiteral("ab"));
    text->SetHeight(-20);
    text->SetColor(black);
    QTest::keyClicks(panel->GetKeySink(), QStringLiteral("cd"));
    QTest::keyClick(panel->GetKeySink(), Qt::Key_Home);
    QTest::keyClick(panel->GetKeySink(), Qt::Key_End, Qt::ShiftModifier);
    RunEventLoop(200);

    QScreen* screen = frame->screen();
    const QImage shown = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = screen->geometry().topLeft();
    const QRect bar(options->mapToGlobal(QPoint(0, 0)) - origin, options->size());
    EXPECT_TRUE(shown.copy(bar).save(ScreenshotPath(QStringLiteral("tool_text_mixed_options_xcb.png"))));
    // The size box holds no digits and the swatch no red, where the first character's -40
    // and red used to stand.
    const auto count = [&](QWidget* widget, QRect part, auto&& test) {
        const QRect onScreen(widget->mapToGlobal(part.topLeft()) - origin, part.size());
        int found = 0;
        for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
            for (int x = onScreen.left(); x <= onScreen.right(); ++x)
                found += test(QColor(shown.pixel(x, y)));
        }
        return found;
    };
    QWidget* sizeText = panel->findChild<QComboBox*>(QStringLiteral("1141"))->lineEdit();
    EXPECT_EQ(count(sizeText, sizeText->rect().adjusted(2, 2, -2, -2), [](QColor c) { return c.value() < 100; }), 0);
    QWidget* swatch = panel->findChild<QWidget*>(QStringLiteral("1142"));
    EXPECT_EQ(count(swatch, swatch->rect(), [](QColor c) { return c.red() > 200 && c.green() < 60; }), 0);
}

}  // namespace
