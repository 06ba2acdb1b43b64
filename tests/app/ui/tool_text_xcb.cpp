// What a person sees of the text tool, on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): a text layer typed through the key sink at 1/1 with its caret
// flashing after the last character. The PNG stays in the build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QTest>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_manager.h"
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
    void ShowTextSettings(const _tagPTzFONTDATAINFO&, const _tagPTzCOLOR&) override {}
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
    QTest::keyClicks(&panel.sink, QStringLiteral("second row"));

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

}  // namespace
