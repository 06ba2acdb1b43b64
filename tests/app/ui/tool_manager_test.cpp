// The tool manager on a real view: the temporary tools of Space, Ctrl and Alt (held keys
// read from the events, Space let go in another window or with the program's focus),
// the user's choice under a temporary tool, the tool current from start-up, the palette's
// pressed button, a gesture ended by its view's closing, and what is stored at exit.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/shell/settings_store.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_button.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;

// A palette of the tools' buttons, named by their control ids, and the buttons pressed.
// The palette lets the button pressed before go, as the real one does.
struct FakePalette : quorvel::IPanelProvider {
    struct Buttons : QWidget, IToolButtonPalette {
        using QWidget::QWidget;
        void ToolButtonSelected(RToolButton* button) override
        {
            if (pressed && pressed != button)
                pressed->SetSelected(false);
            pressed = button;
        }
        RToolButton* pressed = nullptr;
    };
    QWidget* CreatePanel(quorvel::PanelSlot slot, QWidget* parent) override
    {
        if (slot != quorvel::PanelSlot::ToolPalette)
            return nullptr;
        auto* palette = new Buttons(parent);
        for (int id : {1073, 1074, 1077, 1079, 1085, 1087, 1094}) {
            auto* button = new RToolButton(palette);
            button->setObjectName(QString::number(id));
            button->SetPalette(palette);
        }
        return palette;
    }
};

class ToolManagerTest : public tooltest::ToolTest {
protected:
    void BeforeStart(CShellParts& parts) override
    {
        parts.panels = [] { return std::make_unique<FakePalette>(); };
        if (storedTool) {
            quorvel::WriteSettingDword(u"REG_VERSION", 1);
            quorvel::WriteSettingDword(u"Current_Tool", storedTool);
        }
    }

    // The ids of the palette's buttons shown pressed.
    std::vector<int> Pressed() const
    {
        std::vector<int> ids;
        for (int id : {1073, 1074, 1077, 1079, 1085, 1087, 1094}) {
            auto* button = dynamic_cast<RToolButton*>(frame->GetToolPaletteControl(id));
            if (button && button->IsSelected())
                ids.push_back(id);
        }
        return ids;
    }

    uint32_t RememberedId() const
    {
        return tools->GetRememberedTool() ? tools->GetRememberedTool()->GetToolID() : 0;
    }

    uint32_t storedTool = 0;
};

TEST_F(ToolManagerTest, SpaceCtrlAndAltSwapTheTemporaryToolsIn)
{
    EXPECT_EQ(CurrentId(), MAGR) << "the start-up default";
    Select(PEN);
    KeyDown(Qt::Key_Space);
    EXPECT_EQ(CurrentId(), PAN);
    EXPECT_EQ(RememberedId(), PEN);
    KeyUp(Qt::Key_Space);
    EXPECT_EQ(CurrentId(), PEN);
    EXPECT_EQ(RememberedId(), 0u);

    // Space wins over Ctrl; let go of Space with Ctrl held: the move tool, the pen remembered.
    KeyDown(Qt::Key_Space);
    KeyDown(Qt::Key_Control);
    EXPECT_EQ(CurrentId(), PAN);
    SendKey(QEvent::KeyRelease, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(CurrentId(), MOVE);
    EXPECT_EQ(RememberedId(), PEN);
    KeyUp(Qt::Key_Control);
    EXPECT_EQ(CurrentId(), PEN);

    // Alt: the eyedropper only over the pen, pencil, bucket and gradient.
    for (const auto& [tool, withAlt] : {std::pair{TEXT, TEXT}, std::pair{GRAD, EYED}, std::pair{PEN, EYED},
                                        std::pair{ERAS, ERAS}}) {
        Select(tool);
        KeyDown(Qt::Key_Alt);
        EXPECT_EQ(CurrentId(), withAlt) << std::hex << tool;
        KeyUp(Qt::Key_Alt);
        EXPECT_EQ(CurrentId(), tool) << std::hex << tool;
    }
}

TEST_F(ToolManagerTest, ATemporaryToolLastsUntilTheButtonIsReleased)
{
    Select(PEN);
    KeyDown(Qt::Key_Space);
    Press(At(50, 50));
    KeyUp(Qt::Key_Space);
    EXPECT_EQ(CurrentId(), PAN) << "no change in the middle of a drag";
    Drag(At(60, 60));
    Release(At(60, 60));
    EXPECT_EQ(CurrentId(), PEN);
}

TEST_F(ToolManagerTest, SpaceLetGoElsewhereOrWithTheFocusGivesTheToolBack)
{
    Select(PEN);
    QLineEdit elsewhere;
    elsewhere.show();
    KeyDown(Qt::Key_Space);
    ASSERT_EQ(CurrentId(), PAN);
    QTest::keyRelease(&elsewhere, Qt::Key_Space);
    EXPECT_EQ(CurrentId(), PAN) << "the view has not seen an event yet";
    Press(At(10, 10));
    EXPECT_EQ(CurrentId(), PEN) << "the press found Space up";
    Release(At(10, 10));
    RunIdle();

    // An auto-repeated release of Space is no release; the program losing the focus is.
    KeyDown(Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(view, &repeat);
    EXPECT_EQ(CurrentId(), PAN);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &inactive);
    KeyDown(Qt::Key_A);
    EXPECT_EQ(CurrentId(), PEN);
}

TEST_F(ToolManagerTest, AToolChosenUnderATemporaryToolIsTheOneThatComesBack)
{
    Select(PEN);
    EXPECT_EQ(Pressed(), std::vector<int>{1077});
    KeyDown(Qt::Key_Space);
    Select(ERAS);
    EXPECT_EQ(RememberedId(), ERAS);
    EXPECT_EQ(Pressed(), std::vector<int>{1079});
    KeyDown(Qt::Key_A);  // Space still held
    EXPECT_EQ(CurrentId(), PAN);
    KeyUp(Qt::Key_Space);
    EXPECT_EQ(CurrentId(), ERAS);
    EXPECT_EQ(RememberedId(), 0u);

    // The hand chosen while Space holds it stays after Space.
    KeyDown(Qt::Key_Space);
    Select(PAN);
    KeyUp(Qt::Key_Space);
    EXPECT_EQ(CurrentId(), PAN);
    EXPECT_EQ(Pressed(), std::vector<int>{1087});
}

TEST_F(ToolManagerTest, SelectingTheCurrentToolOnlyMovesTheFocusToTheActiveView)
{
    Select(GRAD);
    frame->setFocus();
    ASSERT_EQ(frame->focusWidget(), frame);
    Select(GRAD);
    EXPECT_EQ(frame->focusWidget(), view);
    EXPECT_EQ(Pressed(), std::vector<int>{1094});
}

// A gesture still running when its view closes (its picture with it) ends there: the tool
// lets go of the picture, and it and the temporary tools work in the next view.
TEST_F(ToolManagerTest, AViewClosedInTheMiddleOfAGestureEndsTheGesture)
{
    for (uint32_t tool : {PEN, ERAS, MOVE, MAGR, LASF, GRAD, TEXT, ZOOM}) {
        Select(tool);
        Press(At(40, 40));
        Drag(At(80, 70));
        RunIdleTurns(4);
        delete frame->GetActiveChild();
        EXPECT_FALSE(tools->GetCurrentTool()->IsBusy()) << std::hex << tool;

        handle = shelltest::MakeArgbPicture(200, 150, tooltest::Solid(0xFFFFFFFFu));
        picture = ITzPictGetPictureClass(handle);
        view = shelltest::OpenPicture(frame, handle, QStringLiteral("next.bmp"))->GetView();
        QCoreApplication::processEvents();
        ASSERT_TRUE(view->IsActive());
        KeyDown(Qt::Key_Space);
        EXPECT_EQ(CurrentId(), PAN) << std::hex << tool << ": no release is awaited any more";
        KeyUp(Qt::Key_Space);
    }
    Select(PEN);
    Stroke({At(20, 100), At(120, 100)});
    EXPECT_NE(tooltest::LayerPixel(picture, 0, 70, 100), 0xFFFFFFFFu) << "the pen paints again";
}

TEST_F(ToolManagerTest, TheToolCurrentAtExitIsStoredTemporaryOrNot)
{
    Select(PEN);
    KeyDown(Qt::Key_Space);
    test.reset();
    uint32_t stored = 0;
    ASSERT_TRUE(quorvel::ReadSettingDword(u"Current_Tool", &stored));
    EXPECT_EQ(stored, PAN);
}

class StoredTool : public ToolManagerTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    void SetUp() override
    {
        storedTool = GetParam();
        ToolManagerTest::SetUp();
    }
};

TEST_P(StoredTool, TextOrAnUnknownIdIsActivatedAndCanBeLeftAndChosenAgain)
{
    EXPECT_EQ(CurrentId(), TEXT);
    EXPECT_EQ(Pressed(), std::vector<int>{1085}) << "activated: its button shows pressed";
    Select(PEN);
    Select(TEXT);
    EXPECT_EQ(CurrentId(), TEXT);
    EXPECT_EQ(Pressed(), std::vector<int>{1085});
}

INSTANTIATE_TEST_SUITE_P(ToolManager, StoredTool, ::testing::Values(TEXT, PTzFourCC("XXXX")));

TEST(ToolManagerAlone, FindsTheTwentyToolsInTheirOrderAndNamesTheirRecords)
{
    CToolManager manager;
    const uint32_t ids[] = {BTET, MOVE, MAGR, MACI, MAGM, PAN, ZOOM, PEN, PENC, ERAS,
                            CLON, EYED, LASF, MAGC, SMDG, BLUR, SHAP, GRAD, BUCT, TEXT};
    for (uint32_t id : ids)
        EXPECT_EQ(manager.FindTool(id) ? manager.FindTool(id)->GetToolID() : 0, id);
    EXPECT_EQ(manager.GetCurrentTool(), manager.FindTool(TEXT)) << "the last made is current";
    EXPECT_EQ(manager.FindTool(PTzFourCC("XXXX")), nullptr);
    EXPECT_EQ(CToolBase::OptionValueName(GRAD), u"DARG");
    EXPECT_EQ(CToolBase::OptionValueName(PAN), u" NAP");
    EXPECT_EQ(CToolBase::OptionValueName(BUCT), u"TCUB");
}

}  // namespace
