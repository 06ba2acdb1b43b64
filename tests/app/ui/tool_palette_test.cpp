// The tool palette and the tools' option panels in the running program: one tool button
// pressed at a time, the colour swatches and their dialog, the number boxes' clamp, and
// panels that show their tool without changing it.
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QRadioButton>

#include "app/shell/current_colours.h"
#include "app/ui/colour_buttons.h"
#include "app/ui/program_panels.h"
#include "app/ui/tool_brush.h"
#include "app/ui/tool_brush_kinds.h"
#include "app/ui/tool_bucket.h"
#include "app/ui/tool_button.h"
#include "app/ui/tool_options.h"
#include "app/ui/tool_options_brush.h"
#include "app/ui/tool_options_text.h"
#include "engine/tools/tool_text.h"
#include "base/font_list.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;

constexpr int kToolButtons[] = {1073, 1090, 1075, 1076, 1074, 1085, 1077, 1078, 1079,
                                1080, 1081, 1082, 1083, 1084, 1094, 1086, 1087, 1088};

class PaletteTest : public tooltest::ToolTest {
protected:
    void BeforeStart(CShellParts& parts) override
    {
        parts.panels = [] { return std::make_unique<CProgramPanels>(); };
    }

    std::vector<int> Pressed() const
    {
        std::vector<int> ids;
        for (int id : kToolButtons) {
            auto* button = dynamic_cast<RToolButton*>(frame->GetToolPaletteControl(id));
            EXPECT_TRUE(button) << id;
            if (button && button->IsSelected())
                ids.push_back(id);
        }
        return ids;
    }
    void Click(int id) { QTest::mouseClick(frame->GetToolPaletteControl(id), Qt::LeftButton); }
    RColorButton* Swatch(int id) const { return dynamic_cast<RColorButton*>(frame->GetToolPaletteControl(id)); }
    QWidget* Panel() const { return frame->GetToolOptionsPanel() ? frame->GetToolOptionsPanel()->widget() : nullptr; }
    QLineEdit* Box(int id) const { return Panel()->findChild<QLineEdit*>(QString::number(id)); }
    // Types into a number box as the user does, over what it held.
    void Type(int id, const QString& text)
    {
        QLineEdit* box = Box(id);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    std::vector<uint8_t> Options(uint32_t id) const
    {
        uint8_t record[200] = {};
        uint32_t size = sizeof(record);
        CToolBase* tool = tools->FindTool(id);
        tool->GetOptions(record, &size);
        if (tool->IsBrushTool()) {
            // The brush tools keep their record as fields: what the panel could change.
            auto* brush = static_cast<CTool_BrushBase*>(tool);
            return {uint8_t(brush->GetBrushIndex()), brush->GetOpacity(), brush->GetPress(),
                    uint8_t(brush->GetHoldingSupport()), brush->GetStrength()};
        }
        return std::vector<uint8_t>(record, record + size);
    }
    CImageDataManager& Colours() const { return *CImageDataManager::GetImageDataManager(); }
};

TEST_F(PaletteTest, OneToolButtonShowsPressedAndRunsItsCommand)
{
    auto* dock = qobject_cast<QDockWidget*>(frame->GetToolPaletteControl(1077)->window());
    ASSERT_TRUE(dock);
    EXPECT_FALSE(dock->features() & QDockWidget::DockWidgetClosable) << "the palette has no close box";
    EXPECT_TRUE(dock->isFloating() && dock->isVisible());
    EXPECT_EQ(Pressed(), std::vector<int>{1073}) << "the start-up tool";
    Select(PEN);
    EXPECT_EQ(Pressed(), std::vector<int>{1077});
    Select(MAGM);
    EXPECT_EQ(Pressed(), std::vector<int>{1074}) << "the marquee move shows the Move button";
    Click(1079);
    EXPECT_EQ(CurrentId(), ERAS);
    EXPECT_EQ(Pressed(), std::vector<int>{1079});
    Click(1087);
    EXPECT_EQ(CurrentId(), PAN);
    EXPECT_EQ(Pressed(), std::vector<int>{1087});
}

TEST_F(PaletteTest, ColourCommandsRedrawBothSwatchesAtOnce)
{
    RColorButton* front = Swatch(1093);
    RColorButton* back = Swatch(1091);
    ASSERT_TRUE(front && back);
    const uint64_t frontDraws = front->GetDrawCount();
    const uint64_t backDraws = back->GetDrawCount();
    Click(1092);
    // No event loop turn: the swatches repainted inside the broadcasts.
    EXPECT_GT(front->GetDrawCount(), frontDraws);
    EXPECT_GT(back->GetDrawCount(), backDraws);
    EXPECT_EQ(front->grab().toImage().pixelColor(4, 4), QColor(Qt::white)) << "switched";
    EXPECT_EQ(back->grab().toImage().pixelColor(20, 20), QColor(Qt::black));
    Click(1089);
    EXPECT_EQ(front->grab().toImage().pixelColor(4, 4), QColor(Qt::black)) << "the defaults";
}

TEST_F(PaletteTest, SwatchDialogOpensOnBlackAndGivesTheFocusBack)
{
    _tagPTzCOLOR before{};
    Colours().GetFrontColor(&before);
    before.alpha = 200;
    before.components[0] = 10;
    Colours().SetFrontColor(&before);
    frame->setFocus();
    Click(1093);
    EXPECT_EQ(dialogs->colourOffered, QColor(Qt::black));
    _tagPTzCOLOR after{};
    Colours().GetFrontColor(&after);
    EXPECT_EQ(0, memcmp(&before, &after, sizeof(after))) << "cancelled: unchanged";
    EXPECT_EQ(frame->focusWidget(), view) << "through the main window to its active view";
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == frame; }, 2000))
        << "the main window is active again";

    frame->setFocus();
    dialogs->colourChosen = true;
    dialogs->colour = QColor(1, 2, 3);
    Click(1091);
    Colours().GetBackColor(&after);
    EXPECT_EQ(after.components[0], 1);
    EXPECT_EQ(after.components[2], 3);
    EXPECT_EQ(frame->focusWidget(), view) << "through the main window to its active view";
    Colours().GetFrontColor(&after);
    EXPECT_EQ(after.alpha, 200) << "the front colour untouched";
}

TEST_F(PaletteTest, NumberBoxesClampWhatIsTypedAndTheToolGetsTheShownValue)
{
    struct Case {
        uint32_t tool;
        int box;
        const char* typed;
        const char* shown;
        int value;
    };
    const Case cases[] = {
        {PEN, 1006, "300", "255", 255},
        {PEN, 1068, "-1", "0", 0},
        {PEN, 1006, "99999999999999999999", "255", 255},
        {PEN, 1068, "17", "17", 17},
        {BUCT, 1092, "40", "40", 40},
        {BLUR, 1095, "150", "150", 100},  // the box keeps more than the tool uses
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in " + std::to_string(c.box));
        Select(c.tool);
        Type(c.box, QString::fromLatin1(c.typed));
        EXPECT_EQ(Box(c.box)->text(), QString::fromLatin1(c.shown));
        CToolBase* tool = tools->GetCurrentTool();
        int value = -1;
        if (c.tool == BUCT)
            value = static_cast<CTool_Bucket*>(tool)->GetTolerance();
        else if (c.box == 1095)
            value = static_cast<CTool_BrushBase*>(tool)->GetStrength();
        else if (c.box == 1006)
            value = static_cast<CTool_BrushBase*>(tool)->GetOpacity();
        else
            value = static_cast<CTool_BrushBase*>(tool)->GetPress();
        EXPECT_EQ(value, c.value);
    }
}

TEST(NumberBoxTest, ValuesSaturateAndClampToAByte)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0},    {"abc", 0},  {"-1", 0},    {"300", 255}, {"255", 255}, {"12a", 12},
        {" 7", 7}, {"-99999999999999999999", 0}, {"99999999999999999999", 255},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ClampedNumberBoxValue(QString::fromLatin1(text)), value) << text;
}

TEST_F(PaletteTest, PanelsShowTheirToolWithoutChangingIt)
{
    auto* pen = static_cast<CTool_BrushBase*>(tools->FindTool(PEN));
    pen->SetOpacity(77);
    pen->SetHoldingSupport(1);
    static_cast<CTool_Erase*>(tools->FindTool(ERAS))->SetEraseMode(0);
    for (uint32_t id : {MOVE, MAGR, MACI, MAGM, PAN, ZOOM, PEN, PENC, ERAS, CLON, EYED, LASF, MAGC, SMDG, BLUR, SHAP,
                        GRAD, BUCT, TEXT}) {
        SCOPED_TRACE(id);
        const std::vector<uint8_t> before = Options(id);
        Select(id);
        ASSERT_TRUE(Panel());
        EXPECT_EQ(Panel()->objectName(), QString::number(tools->FindTool(id)->GetOptionsDialogID()));
        QCoreApplication::processEvents();
        EXPECT_EQ(Options(id), before);
    }
    Select(PEN);
    EXPECT_EQ(Box(1006)->text(), QStringLiteral("77"));
    EXPECT_EQ(Box(1068)->text(), QStringLiteral("255"));
    auto* brushPanel = dynamic_cast<CToolOptionsBrushBase*>(Panel());
    ASSERT_TRUE(brushPanel);
    EXPECT_TRUE(brushPanel->GetPreview().IsAttached());
    EXPECT_EQ(brushPanel->GetPreview().GetBrushIndex(), pen->GetBrushIndex());
    pen->SetBrushIndex(pen->GetBrushIndex() == 0 ? 1 : 0);
    EXPECT_EQ(brushPanel->GetPreview().GetBrushIndex(), pen->GetBrushIndex()) << "the preview follows the tool";

    Select(ERAS);
    EXPECT_TRUE(Panel()->findChild<QRadioButton*>(QStringLiteral("1069"))->isChecked());
    QTest::mouseClick(Panel()->findChild<QRadioButton*>(QStringLiteral("1070")), Qt::LeftButton);
    EXPECT_EQ(static_cast<CTool_Erase*>(tools->FindTool(ERAS))->GetEraseMode(), 1u);
    EXPECT_FALSE(Panel()->findChild<QLineEdit*>(QStringLiteral("1095"))) << "the eraser has no strength";
}

TEST_F(PaletteTest, TextPanelShowsTheFontAndTakesTypedSizes)
{
    Select(TEXT);
    auto* panel = dynamic_cast<CToolOptionsText*>(Panel());
    ASSERT_TRUE(panel);
    auto* text = static_cast<CTool_Text*>(tools->GetCurrentTool());
    EXPECT_EQ(text->GetPanel(), panel);
    // Selecting a tool activated the main window.
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    view->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return view->hasFocus(); }));
    RunIdle();
    EXPECT_EQ(frame->focusWidget(), panel->GetKeySink()) << "the panel's key sink takes the view's typing";
    auto* faces = panel->findChild<QComboBox*>(QStringLiteral("1139"));
    auto* styles = panel->findChild<QComboBox*>(QStringLiteral("1140"));
    auto* sizes = panel->findChild<QComboBox*>(QStringLiteral("1141"));
    ASSERT_TRUE(faces && styles && sizes);
    EXPECT_EQ(uint32_t(faces->count()), test->app->GetFontManager()->GetFontCount());

    _tagPTzFONTDATAINFO font = text->GetFont();
    std::fill(std::begin(font.faceName), std::end(font.faceName), PTzChar(0));
    std::u16string unknown = u"No Such Face Here";
    std::copy(unknown.begin(), unknown.end(), font.faceName);
    font.italic = 1;
    font.weight = 700;
    font.height = 20;
    panel->ShowTextSettings(font, text->GetColor(), ITzTEXTVALID_ALL);
    EXPECT_EQ(faces->currentIndex(), -1) << "a face not in the list selects none";
    EXPECT_EQ(styles->currentIndex(), 3);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("20"));
    if (faces->count() > 0) {
        font.faceName[faces->itemText(0).toStdU16String().copy(font.faceName, 31)] = 0;
        panel->ShowTextSettings(font, text->GetColor(), ITzTEXTVALID_ALL);
        EXPECT_EQ(faces->currentIndex(), 0);
    }
    EXPECT_NE(text->GetFont().height, 20) << "showing sets nothing";

    struct Typed {
        const char* keys;  // typed after the box's text; "!" clears the box first
        const char* shown;
        int height;
    };
    const Typed typed[] = {
        {"!1200", "999", 999},  // the cap
        {"!24", "24", 24},
        {"a", "24", 24},        // "24a": the last size comes back
        {"!", "", 24},          // an empty box applies nothing
        {"0", "0", 24},         // nor does 0
        {"!7", "7", 7},
    };
    QLineEdit* box = sizes->lineEdit();
    for (const Typed& t : typed) {
        SCOPED_TRACE(t.keys);
        QString keys = QString::fromLatin1(t.keys);
        if (keys.startsWith(u'!')) {
            box->end(false);
            box->home(true);
            QTest::keyClick(box, Qt::Key_Backspace);
            keys.remove(0, 1);
        }
        box->end(false);
        QTest::keyClicks(box, keys);
        EXPECT_EQ(box->text(), QString::fromLatin1(t.shown));
        EXPECT_EQ(text->GetFont().height, t.height);
    }

    emit styles->activated(1);
    EXPECT_EQ(text->GetFont().italic, 1);
    EXPECT_LE(text->GetFont().weight, 600);
    emit sizes->activated(15);
    EXPECT_EQ(text->GetFont().height, 72);

    const _tagPTzCOLOR before = text->GetColor();
    QTest::mouseClick(panel->findChild<QWidget*>(QStringLiteral("1142")), Qt::LeftButton);
    EXPECT_EQ(0, memcmp(&before, &text->GetColor(), sizeof before)) << "a cancelled dialog changes nothing";
    dialogs->colourChosen = true;
    dialogs->colour = QColor(9, 8, 7);
    QTest::mouseClick(panel->findChild<QWidget*>(QStringLiteral("1142")), Qt::LeftButton);
    EXPECT_EQ(text->GetColor().mode, PTzCOLORMODE_RGB);
    EXPECT_EQ(text->GetColor().components[0], 9);
    EXPECT_EQ(text->GetColor().components[2], 7);

    Select(PEN);
    EXPECT_EQ(text->GetPanel(), nullptr) << "the panel went with its tool";
}

TEST_F(PaletteTest, TheTextPanelShowsEmptyWhatDiffersAcrossTheSelectedTextAndSetsIt)
{
    Select(TEXT);
    auto* panel = dynamic_cast<CToolOptionsText*>(Panel());
    ASSERT_TRUE(panel);
    auto* text = static_cast<CTool_Text*>(tools->GetCurrentTool());
    auto* faces = panel->findChild<QComboBox*>(QStringLiteral("1139"));
    auto* styles = panel->findChild<QComboBox*>(QStringLiteral("1140"));
    auto* sizes = panel->findChild<QComboBox*>(QStringLiteral("1141"));
    auto* swatch = dynamic_cast<RTextColor*>(panel->findChild<QWidget*>(QStringLiteral("1142")));
    auto* underline = dynamic_cast<RTextUnderLineButton*>(panel->findChild<QWidget*>(QStringLiteral("1146")));
    ASSERT_TRUE(faces && styles && sizes && swatch && underline);
    _tagPTzCOLOR black = {};
    black.mode = PTzCOLORMODE_RGB;
    _tagPTzCOLOR red = black;
    red.components[0] = 255;

    // "ab" is typed with one part of the font changed, "cd" with it back as before.
    const struct {
        const char* part;
        std::function<void(bool changed)> set;
    } parts[] = {
        {"face", [&](bool changed) { text->SetFaceName(changed ? u"DejaVu Serif" : u"DejaVu Sans"); }},
        {"size", [&](bool changed) { text->SetHeight(changed ? -40 : -20); }},
        {"italic", [&](bool changed) { text->SetStyle(changed, 400); }},
        {"weight", [&](bool changed) { text->SetStyle(false, changed ? 700 : 400); }},
        {"underline", [&](bool changed) { text->SetUnderline(changed); }},
        {"colour", [&](bool changed) { text->SetColor(changed ? red : black); }},
    };
    // What the panel shows of each part, with "-" for a part shown empty (the underline
    // button shows a mix as not underlined).
    const auto shown = [&] {
        _tagPTzCOLOR colour;
        return std::string(faces->currentIndex() >= 0 ? "f" : "-") + (sizes->currentText().isEmpty() ? "-" : "s") +
               (styles->currentIndex() >= 0 ? "i" : "-") + (underline->GetCheck() ? "u" : "-") +
               (swatch->GetColor(colour) ? "c" : "-");
    };
    const std::string expected[] = {"-si-c", "f-i-c", "fs--c", "fs--c", "fsi-c", "fsi--"};
    for (size_t i = 0; i < std::size(parts); ++i) {
        SCOPED_TRACE(parts[i].part);
        for (const auto& part : parts)
            part.set(false);
        Press(At(20, 40));
        Release(At(20, 40));
        parts[i].set(true);
        QTest::keyClicks(panel->GetKeySink(), QStringLiteral("ab"));
        parts[i].set(false);
        QTest::keyClicks(panel->GetKeySink(), QStringLiteral("cd"));
        QTest::keyClick(panel->GetKeySink(), Qt::Key_Home);
        QTest::keyClick(panel->GetKeySink(), Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(shown(), expected[i]);
        EXPECT_EQ(sizes->currentText(), i == 1 ? QString() : QStringLiteral("-20"));

        // Setting the part, even to the value the tool took from the caret's first
        // character, sets it for all the selected text.
        parts[i].set(true);
        _tagITzTEXTSETTING setting = {};
        ASSERT_TRUE(text->GetEngineTool()->GetFontSettingInfo(picture, &setting));
        EXPECT_EQ(int(setting.valid), int(ITzTEXTVALID_ALL));
        while (picture->DoUndo()) {
        }
    }
}

}  // namespace
