// The text tool's front-end on a real picture: clicks and the key sink's keys editing
// text layers, what the sink keeps from the view, the selection's highlight that goes
// with the tool, the panel display after edits and Undo, face names that keep their
// terminator, and the flashing caret's line.
#include <QInputMethodEvent>
#include <QMdiArea>
#include <QPaintEvent>
#include <cstring>
#include <string>
#include <vector>

#include "app/ui/text_tool_edit.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_text.h"
#include "base/font.h"
#include "base/font_text_port.h"
#include "engine/tools/tool_text.h"
#include "tests/app/ui/tool_test_support.h"
#include "tests/engine/picture/text_test_support.h"

namespace {

using namespace tool_id;
using text_test::TextOf;

// The panel as the text tool sees it: the real key sink and a display that records what
// it was shown.
struct RecordingPanel : ITextToolPanel {
    explicit RecordingPanel(QWidget* parent) : sink(parent) { sink.show(); }
    RTextToolEdit* GetKeySink() override { return &sink; }
    void ShowTextSettings(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t) override
    {
        fonts.push_back(font);
        colours.push_back(colour);
    }
    RTextToolEdit sink;
    std::vector<_tagPTzFONTDATAINFO> fonts;
    std::vector<_tagPTzCOLOR> colours;
};

// Counts what reaches the view's pixel editing.
struct RecordingEditing : quorvel::IViewEditing {
    int* calls;
    explicit RecordingEditing(int* count) : calls(count) {}
    void FillSelection(CTamsleyView*, const _tagPTzCOLOR&) override { ++*calls; }
    void ClearSelection(CTamsleyView*) override { ++*calls; }
};

// The rectangles the view's area was asked to paint.
struct PaintRecorder : QObject {
    std::vector<QRect> rects;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

class TextTool : public tooltest::ToolTest {
protected:
    void BeforeStart(CShellParts& parts) override
    {
        parts.viewEditing = [this] { return std::make_unique<RecordingEditing>(&editingCalls); };
    }
    void SetUp() override
    {
        ToolTest::SetUp();
        panel = std::make_unique<RecordingPanel>(frame);
        Select(TEXT);
        text = dynamic_cast<CTool_Text*>(tools->GetCurrentTool());
        ASSERT_TRUE(text);
        text->SetPanel(panel.get());
        text->SetFaceName(u"DejaVu Sans");
        text->SetHeight(-20);
    }
    void TearDown() override
    {
        if (text)
            text->SetPanel(nullptr);
        panel.reset();
        ToolTest::TearDown();
    }

    // A click into the picture, then the focus to the sink as the idle turn gives it.
    void Click(int x, int y, Qt::KeyboardModifiers keys = {})
    {
        Press(At(x, y), keys);
        Release(At(x, y), keys);
        view->setFocus();
        RunIdle();
    }
    ITzLayerText* ActiveText() const
    {
        return dynamic_cast<ITzLayerText*>(picture->GetLayerbyIndex(picture->GetActiveLayerID()));
    }
    RTextToolEdit* Sink() const { return &panel->sink; }
    void Commit(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(Sink(), &event);
    }

    int editingCalls = 0;
    std::unique_ptr<RecordingPanel> panel;
    CTool_Text* text = nullptr;
};

TEST_F(TextTool, AClickStartsALayerAndTypingIntoTheSinkIsOneStep)
{
    Click(20, 30);
    ASSERT_EQ(picture->GetLayerCount(), 2);
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    EXPECT_EQ(std::u16string(layer->GetName()), u"Layer 1") << "named as New Layer names";
    EXPECT_TRUE(Sink()->hasFocus()) << "the idle turn gives the focused view's keys to the sink";
    QTest::keyClicks(Sink(), QStringLiteral("abc"));
    EXPECT_EQ(TextOf(*layer), u"abc");
    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(TextOf(*layer), u"");
    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(picture->GetLayerCount(), 1) << "the click's new layer is the step before";
}

TEST_F(TextTool, TheSinksKeysEditAndSelectAndNoneReachesTheView)
{
    Click(20, 30);
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    QTest::keyClicks(Sink(), QStringLiteral("abcd"));
    QTest::keyClick(Sink(), Qt::Key_Backspace);
    EXPECT_EQ(TextOf(*layer), u"abc");
    QTest::keyClick(Sink(), Qt::Key_Home);
    QTest::keyClick(Sink(), Qt::Key_Delete);
    EXPECT_EQ(TextOf(*layer), u"bc");
    QTest::keyClick(Sink(), Qt::Key_Right, Qt::ShiftModifier);
    uint32_t anchor = 9;
    uint32_t caret = 9;
    layer->GetSelectRange(&anchor, &caret);
    EXPECT_EQ(anchor, 0u);
    EXPECT_EQ(caret, 1u);
    QTest::keyClick(Sink(), Qt::Key_X);
    EXPECT_EQ(TextOf(*layer), u"xc") << "typing replaces the selection";
    EXPECT_EQ(editingCalls, 0) << "Delete and Backspace in the sink never edit pixels";

    // Tab and other control characters are no text; Return breaks the row once.
    QTest::keyClick(Sink(), Qt::Key_Tab);
    QKeyEvent controlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    QApplication::sendEvent(Sink(), &controlA);
    QTest::keyClick(Sink(), Qt::Key_Return);
    EXPECT_EQ(TextOf(*layer), u"x\rc");

    // The same Delete sent to the view does reach the pixel editing.
    KeyDown(Qt::Key_Delete);
    EXPECT_EQ(editingCalls, 1);
}

TEST_F(TextTool, AnInputMethodsCommitInsertsBothHalvesOfAPairAndDropsAStrayHalf)
{
    Click(20, 30);
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    Commit(QString::fromUtf16(u"a\U0001F600"));
    Commit(QString(QChar(0xD83D)) + QChar(u'b'));
    EXPECT_EQ(TextOf(*layer), u"a\U0001F600b");
}

TEST_F(TextTool, KeysDoNothingUnderAnotherToolOrWithoutAPicture)
{
    Click(20, 30);
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    Select(PEN);
    EXPECT_EQ(text->GetPanel(), nullptr);
    EXPECT_EQ(text->GetEngineTool(), nullptr);
    QTest::keyClicks(Sink(), QStringLiteral("ab"));
    text->OnTextChar(u'c');
    text->OnTextKeyDown(Qt::Key_Delete, {});
    EXPECT_EQ(TextOf(*layer), u"");

    // Current again, but with no picture open.
    Select(TEXT);
    text->SetPanel(panel.get());
    panel->fonts.clear();
    dialogs->answers.push_back(quorvel::MessageAnswer::No);
    frame->findChild<QMdiArea*>()->closeAllSubWindows();
    QCoreApplication::processEvents();
    text->OnTextChar(u'c');
    text->OnTextKeyDown(Qt::Key_Left, {});
    EXPECT_TRUE(panel->fonts.empty());
}

TEST_F(TextTool, TheSelectionsHighlightGoesWithTheToolAndStaysGoneWhenItComesBack)
{
    Click(20, 30);
    QTest::keyClicks(Sink(), QStringLiteral("WWWW"));
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    PTzRECT bounds = {};
    layer->GetBounds(&bounds);
    // A drag over the text from its end to its start selects all of it.
    const int middle = (bounds.top + bounds.bottom) / 2;
    Press(At(bounds.right - 1, middle));
    Drag(At(bounds.left, middle));
    Release(At(bounds.left, middle));
    const QRect text(At(bounds.left, bounds.top), At(bounds.right, bounds.bottom) - QPoint(1, 1));
    // The share of the text's rectangle that the view shows dark: the highlight inverts
    // the white picture under it.
    const auto dark = [&] {
        QCoreApplication::processEvents();
        const QImage shown = Area()->grab().toImage();
        int count = 0;
        for (int y = text.top(); y <= text.bottom(); ++y) {
            for (int x = text.left(); x <= text.right(); ++x)
                count += qGray(shown.pixel(x, y)) < 128;
        }
        return double(count) / double(text.width() * text.height());
    };
    EXPECT_GT(dark(), 0.5);
    Select(PEN);
    EXPECT_LT(dark(), 0.3);
    uint32_t anchor = 9;
    uint32_t caret = 9;
    layer->GetSelectRange(&anchor, &caret);
    EXPECT_EQ(anchor, 0u) << "the caret stays";
    EXPECT_EQ(caret, 0u);
    Select(TEXT);
    EXPECT_LT(dark(), 0.3);
}

TEST_F(TextTool, ThePanelShowsTheFontAtTheCaretAfterMovesReleasesAndUndo)
{
    Click(20, 30);
    ITzLayerText* layer = ActiveText();
    ASSERT_TRUE(layer);
    QTest::keyClicks(Sink(), QStringLiteral("ab"));
    QTest::keyClick(Sink(), Qt::Key_Home);
    QTest::keyClick(Sink(), Qt::Key_End, Qt::ShiftModifier);
    text->SetHeight(-40);
    ASSERT_FALSE(panel->fonts.empty());
    EXPECT_EQ(panel->fonts.back().height, -20);

    ASSERT_TRUE(picture->DoUndo());
    tools->OnUndo(view);
    EXPECT_EQ(panel->fonts.back().height, -20);
    EXPECT_EQ(text->GetFont().height, -20) << "new text takes the caret's font";
    ASSERT_TRUE(picture->DoRedo());
    tools->OnRedo(view);
    EXPECT_EQ(panel->fonts.back().height, -40);
    EXPECT_EQ(std::u16string(panel->fonts.back().faceName), u"DejaVu Sans");
}

TEST_F(TextTool, FaceNamesKeepTheirTerminatorFromThePanelTheRecordAndTheEngine)
{
    const std::u16string longName(40, u'Q');
    text->SetFaceName(longName.c_str());
    const std::u16string kept(text->GetFont().faceName);
    EXPECT_EQ(kept, std::u16string(31, u'Q'));
    // A name the same in the units kept changes nothing.
    const _tagPTzFONTDATAINFO before = text->GetFont();
    text->SetFaceName(std::u16string(35, u'Q').c_str());
    EXPECT_EQ(std::memcmp(&before, &text->GetFont(), sizeof before), 0);

    uint8_t record[kToolOptionsMaxBytes] = {};
    uint32_t size = sizeof record;
    text->GetOptions(record, &size);
    ASSERT_EQ(size, text_record::kSize);
    EXPECT_EQ(record[62] | record[63], 0) << "the record's last face unit is the terminator";

    // The engine's record of a typed character gives its face back whole.
    text->SetFaceName(u"DejaVu Serif");
    Click(20, 30);
    QTest::keyClicks(Sink(), QStringLiteral("a"));
    text->SetFaceName(u"DejaVu Sans");
    QTest::keyClick(Sink(), Qt::Key_Left);
    EXPECT_EQ(std::u16string(text->GetFont().faceName), u"DejaVu Serif");
}

TEST(TextOptions, NewTextStartsAtTheCellHeightOfTheSystemsFontNotANegativeSize)
{
    quorvel::AppSettings().Wipe();
    CToolManager manager;
    const _tagPTzFONTDATAINFO font = static_cast<CTool_Text*>(manager.FindTool(TEXT))->GetFont();
    _tagPTzFONTDATAINFO system = {};
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    ASSERT_TRUE(port && PTzGetFontInfo(port, &system));
    PTzDestoryTextPort(port);
    ASSERT_LT(system.height, 0) << "the system's font is sized by its em";
    int32_t ascent = 0, descent = 0;
    ASSERT_TRUE(PTzFontYInfoByFontInfo(&system, &ascent, &descent));
    EXPECT_EQ(font.height, ascent + descent) << "the size box shows a size of the list's kind";
    ASSERT_TRUE(PTzFontYInfoByFontInfo(&font, &ascent, &descent));
    EXPECT_EQ(ascent + descent, font.height) << "the same cell as the system's font";
}

TEST(TextOptions, TheFontAndColourOfNewTextAreStoredAtExitAndLoadedAtStart)
{
    quorvel::AppSettings().Wipe();
    const _tagPTzCOLOR red = {PTzCOLORMODE_RGB, 0, {200, 10, 20}};
    {
        CToolManager manager;
        auto* text = static_cast<CTool_Text*>(manager.FindTool(TEXT));
        text->SetFaceName(u"DejaVu Serif");
        text->SetHeight(-24);
        text->SetStyle(true, 700);
        text->SetUnderline(true);
        text->SetColor(red);
    }
    CToolManager manager;
    auto* text = static_cast<CTool_Text*>(manager.FindTool(TEXT));
    EXPECT_NE(std::u16string(text->GetFont().faceName), u"DejaVu Serif") << "the default text font first";
    manager.LoadSettings(1);
    const _tagPTzFONTDATAINFO& font = text->GetFont();
    EXPECT_EQ(std::u16string(font.faceName), u"DejaVu Serif");
    EXPECT_EQ(font.height, -24);
    EXPECT_EQ(font.italic, 1);
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.underline, 1);
    EXPECT_EQ(std::memcmp(&text->GetColor(), &red, sizeof red), 0);
}

TEST(TextCaret, TheLineRunsFromYToYPlusHeightOrTheFontsHeightOnAnEmptyRow)
{
    const _tagPTzFONTDATAINFO font = text_test::Sans(-20);
    int32_t ascent = 0;
    int32_t descent = 0;
    ASSERT_TRUE(PTzFontYInfoByFontInfo(&font, &ascent, &descent));
    struct Case {
        int32_t y, height, top, bottom;
    } cases[] = {
        {5, 10, 5, 15},
        {-7, 3, -7, -4},
        {12, 0, 12, 12 + ascent + descent},
    };
    for (const Case& c : cases) {
        int32_t top = 0;
        int32_t bottom = 0;
        CTool_Text::CaretLine(font, c.y, c.height, &top, &bottom);
        EXPECT_EQ(top, c.top) << c.y;
        EXPECT_EQ(bottom, c.bottom) << c.y;
    }
    EXPECT_GT(ascent + descent, 0);
}

TEST_F(TextTool, TheCaretFlashesWhileTheSinkHasTheFocusRepaintsOnlyItsLineAndGoesWithTheTool)
{
    Click(40, 30);
    QTest::keyClicks(Sink(), QStringLiteral("ab"));
    int32_t x = 0;
    int32_t y = 0;
    int32_t height = 0;
    ASSERT_TRUE(text->GetEngineTool()->GetFlashCursorPicturePos(picture, &x, &y, &height));
    ASSERT_GT(height, 0);
    // The view's own 20 ms timer flashes the caret. Whether, within `ms`, the caret's
    // middle is seen shown (the white line inverts the white picture) or, with `shown`
    // false, seen hidden.
    const QPoint middle = At(x, y + height / 2);
    const auto seen = [&](bool shown, int ms) {
        for (int waited = 0; waited < ms; waited += 40) {
            QTest::qWait(40);
            if ((Area()->grab().toImage().pixel(middle) != qRgb(255, 255, 255)) == shown)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(seen(true, 1200));
    EXPECT_TRUE(seen(false, 1200));

    // Its toggles repaint the line's rectangle and nothing more, once the typing's own
    // paints are done.
    PaintRecorder recorder;
    Area()->installEventFilter(&recorder);
    do {
        recorder.rects.clear();
        RunIdle();
        QTest::qWait(20);
    } while (!recorder.rects.empty());
    QTest::qWait(1100);
    Area()->removeEventFilter(&recorder);
    ASSERT_GE(recorder.rects.size(), 2u);
    for (const QRect& painted : recorder.rects) {
        EXPECT_LE(painted.width(), 4);
        EXPECT_LE(painted.height(), height + 4);
        EXPECT_TRUE(painted.contains(At(x, y)));
    }

    // Without the sink's focus it stays hidden; with it, it flashes again.
    view->setFocus();
    QTest::qWait(40);
    EXPECT_FALSE(seen(true, 1200));
    Sink()->setFocus();
    EXPECT_TRUE(seen(true, 1200));
    // No text layer active: no caret stays behind.
    picture->SetActiveLayerID(0);
    QTest::qWait(40);
    EXPECT_FALSE(seen(true, 1200));
    picture->SetActiveLayerID(1);
    EXPECT_TRUE(seen(true, 1200));
    Select(MAGR);
    EXPECT_FALSE(seen(true, 600));
}

}  // namespace
