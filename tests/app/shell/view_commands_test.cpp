// The view's commands on real engine pictures, run as the menus run them (the main
// frame's actions), with stand-ins for the tool manager and the dialogs: the enabling
// rules, the names of new layers, undo and redo for the current tool, what Resize passes
// on, Set Active Layer, and the editing keys with the real fill and delete.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <optional>

#include "app/shell/current_colours.h"
#include "app/shell/layer_naming.h"
#include "app/shell/main_frame.h"
#include "app/shell/shell_strings.h"
#include "app/shell/view_commands.h"
#include "app/shell/view_editing.h"
#include "engine/picture/editing_ticket.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/shell/shell_test_support.h"

using namespace quorvel;
using namespace shelltest;

namespace {

struct CountingTools : IToolManager {
    int undos = 0;
    int redos = 0;
    int SelectTool(uint32_t) override { return 1; }
    void LoadSettings(int) override {}
    QWidget* CreateOptionsPanel(QWidget*) override { return nullptr; }
    bool CurrentBrushIndex(uint32_t*) override { return false; }
    void SetCurrentBrush(uint32_t) override {}
    void OnUndo(CTamsleyView*) override { ++undos; }
    void OnRedo(CTamsleyView*) override { ++redos; }
};

// Answers as the test says; unset answers cancel.
struct ScriptedDialogs : IViewDialogs {
    std::optional<uint8_t> fillOpacity;
    std::optional<CImageResizeChoice> resize;
    std::optional<uint16_t> activeLayer;
    bool AskFillOpacity(QWidget*, uint8_t* opacity) override { return fillOpacity && (*opacity = *fillOpacity, true); }
    bool AskImageResize(QWidget*, ITzPicture*, CImageResizeChoice* choice) override
    {
        return resize && (*choice = *resize, true);
    }
    bool EditLayerProperties(QWidget*, ITzLayerBase*) override { return false; }
    bool AskActiveLayer(QWidget*, uint16_t, uint16_t* index) override
    {
        return activeLayer && (*index = *activeLayer, true);
    }
};

// A gradient in red, so that the two resampling methods give different pixels.
uint32_t Gradient(int x, int y)
{
    return 0xFF000000u | uint32_t(x * 6 % 256) << 16 | uint32_t(y * 9 % 256) << 8;
}

class PictureCommands : public ::testing::Test {
protected:
    PictureCommands()
    {
        CShellParts parts;
        parts.toolManager = [this] {
            auto made = std::make_unique<CountingTools>();
            tools = made.get();
            return made;
        };
        parts.viewDialogs = [this] {
            auto made = std::make_unique<ScriptedDialogs>();
            answers = made.get();
            return made;
        };
        parts.viewEditing = [] { return std::make_unique<CViewEditing>(); };
        test = std::make_unique<TestApp>(std::move(parts));
    }

    void SetUp() override
    {
        ASSERT_TRUE(test->app->InitInstance());
        frame = test->app->GetMainFrame();
    }

    // A new window of a 40 x 30 gradient, active.
    ITzPicture* Open()
    {
        void* handle = MakeArgbPicture(40, 30, Gradient);
        view = OpenPicture(frame, handle, QStringLiteral("g.bmp"))->GetView();
        QCoreApplication::processEvents();
        return ITzPictGetPictureClass(handle);
    }

    void Run(int id) { frame->Action(id)->trigger(); }
    bool Enabled(int id) const { return frame->Action(id)->isEnabled(); }

    ScopedDialogs dialogs;
    CountingTools* tools = nullptr;
    ScriptedDialogs* answers = nullptr;
    std::unique_ptr<TestApp> test;
    CMainFrame* frame = nullptr;
    CTamsleyView* view = nullptr;
};

TEST_F(PictureCommands, EachCommandIsEnabledAsThePictureAllowsAndNoneWithoutAView)
{
    for (const CViewCommand& command : ViewCommands())
        EXPECT_FALSE(Enabled(command.id)) << command.text;
    ITzPicture* picture = Open();
    const struct {
        const char* state;
        std::function<void()> reach;
        std::vector<int> enabled;
        std::vector<int> disabled;
    } steps[] = {
        {"one layer, no selection", [] {}, {ID_SELECT_ALL, ID_LAYER_NEW, ID_EDIT_UNDO, ID_ZOOM_IN, ID_ZOOM_OUT},
         {ID_LAYER_DELETE, ID_LAYER_MERGE_ALL, ID_LAYER_MERGE_DOWN, ID_CROP, ID_DESELECT, ID_SELECT_INVERSE,
          ID_LAYER_CONVERT}},
        {"selected", [&] { Run(ID_SELECT_ALL); }, {ID_CROP, ID_DESELECT, ID_SELECT_INVERSE, ID_SELECT_ALL}, {}},
        {"two layers", [&] { Run(ID_LAYER_NEW); },
         {ID_LAYER_DELETE, ID_LAYER_MERGE_ALL, ID_LAYER_MERGE_DOWN}, {}},
        {"99 layers", [&] { for (int i = 2; i < 99; ++i) picture->NewImageLayer(u"x"); }, {ID_LAYER_NEW}, {}},
        {"100 layers", [&] { Run(ID_LAYER_NEW); }, {ID_LAYER_DELETE}, {ID_LAYER_NEW}},
        {"deselected", [&] { Run(ID_DESELECT); }, {ID_SELECT_ALL}, {ID_CROP, ID_DESELECT, ID_SELECT_INVERSE}},
        {"largest zoom", [&] { view->SetZoom({16, 1}); }, {ID_ZOOM_OUT}, {ID_ZOOM_IN}},
    };
    for (const auto& step : steps) {
        step.reach();
        for (int id : step.enabled)
            EXPECT_TRUE(Enabled(id)) << step.state << " " << id;
        for (int id : step.disabled)
            EXPECT_FALSE(Enabled(id)) << step.state << " " << id;
    }
    EXPECT_EQ(picture->GetLayerCount(), 100);
}

TEST_F(PictureCommands, NewLayersAreNumberedFromTheLayerCountPastTheNamesInUse)
{
    const struct {
        std::vector<std::u16string> names;
        std::u16string expected;
    } cases[] = {
        {{u"Layer", u"Layer 1", u"Layer 3"}, u"Layer 4"},
        {{u"Layer 3", u"Layer 4"}, u"Layer 2"},
        {{u"x"}, u"Layer 1"},
        {{u"layer 1"}, u"Layer 1"},  // names compare exactly
    };
    for (const auto& c : cases) {
        ITzPicture picture;
        picture.Create(10, 10);
        for (const std::u16string& name : c.names) {
            picture.InsertLayer(picture.GetLayerCount(), new ITzLayerImageARGB());
            picture.GetLayerbyIndex(uint16_t(picture.GetLayerCount() - 1))->SetName(name.c_str());
        }
        EXPECT_TRUE(MakeNewLayerName(picture) == c.expected) << c.names.size();
    }
    // An empty picture names its first layer "Layer"; past 199 the last number is taken.
    ITzPicture empty;
    empty.Create(10, 10);
    EXPECT_TRUE(MakeNewLayerName(empty) == u"Layer");
    ITzPicture full;
    full.Create(10, 10);
    for (int i = 0; i < 100; ++i) {
        full.InsertLayer(full.GetLayerCount(), new ITzLayerImageARGB());
        const std::u16string name = u"Layer " + QString::number(100 + i).toStdU16String();
        full.GetLayerbyIndex(uint16_t(i))->SetName(name.c_str());
    }
    EXPECT_TRUE(MakeNewLayerName(full) == u"Layer 199");
}

TEST_F(PictureCommands, UndoAndRedoTellTheCurrentToolOnlyWhenTheyChangedThePicture)
{
    Open();
    Run(ID_EDIT_UNDO);
    Run(ID_EDIT_REDO);
    EXPECT_EQ(tools->undos + tools->redos, 0);
    Run(ID_SELECT_ALL);
    Run(ID_EDIT_UNDO);
    Run(ID_EDIT_UNDO);
    Run(ID_EDIT_REDO);
    Run(ID_EDIT_REDO);
    EXPECT_EQ(tools->undos, 1);
    EXPECT_EQ(tools->redos, 1);
}

TEST_F(PictureCommands, ResizePassesSizeResolutionAndMethodWithAnUnsetMethodAsBilinear)
{
    std::vector<uint32_t> results[3];
    for (uint32_t mode : {0u, 1u, 2u}) {
        ITzPicture* picture = Open();
        answers->resize = CImageResizeChoice{70, 50, 5000, mode};
        Run(ID_RESIZE);
        _tagPTzSIZE size = {};
        picture->GetSize(&size);
        EXPECT_EQ(size.cx, 70);
        EXPECT_EQ(size.cy, 50);
        EXPECT_EQ(picture->GetXPelsPerMeter(), 5000u);
        EXPECT_EQ(picture->GetYPelsPerMeter(), 5000u);
        results[mode] = LayerArgb(picture->GetLayerbyIndex(0), {0, 0, 70, 50});
    }
    EXPECT_EQ(results[2], results[1]);
    EXPECT_NE(results[1], results[0]);
    // A cancelled dialog changes nothing.
    ITzPicture* picture = Open();
    answers->resize.reset();
    Run(ID_RESIZE);
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    EXPECT_EQ(size.cx, 40);
    // A new resolution alone leaves no undo step, yet the document must ask to be saved.
    answers->resize = CImageResizeChoice{40, 30, 5000, 1};
    Run(ID_RESIZE);
    EXPECT_EQ(picture->GetXPelsPerMeter(), 5000u);
    EXPECT_TRUE(view->GetDocument()->IsModified());
}

TEST_F(PictureCommands, PictureCommandsMakeTheirEngineStep)
{
    ITzPicture* picture = Open();
    const PTzRECT selected = {5, 4, 25, 14};
    ITzToolMask mask;
    mask.DrawRectSelection(picture, &selected, 255, ITzSELECTION_REPLACE);
    const auto size = [picture] {
        _tagPTzSIZE s = {};
        picture->GetSize(&s);
        return QSize(s.cx, s.cy);
    };
    Run(ID_CROP);
    EXPECT_EQ(size(), QSize(20, 10));
    Run(ID_ROTATE_90CW);
    EXPECT_EQ(size(), QSize(10, 20));
    Run(ID_ROTATE_180);
    EXPECT_EQ(size(), QSize(10, 20));
    Run(ID_SELECTION_MODE);
    EXPECT_EQ(picture->GetMaskEditingMode(), 1);
    // Any index: the picture keeps it within the stack.
    Run(ID_LAYER_NEW);
    Run(ID_LAYER_NEW);
    answers->activeLayer = 0xFFFF;
    Run(ID_SET_ACTIVE_LAYER);
    EXPECT_EQ(picture->GetActiveLayerID(), 2);
    answers->activeLayer = 0;
    Run(ID_SET_ACTIVE_LAYER);
    EXPECT_EQ(picture->GetActiveLayerID(), 0);
    Run(ID_LAYER_MERGE_ALL);
    EXPECT_EQ(picture->GetLayerCount(), 1);
    // Fill at the opacity chosen, over the whole layer without a selection.
    Run(ID_DESELECT);
    const _tagPTzCOLOR front = {PTzCOLORMODE_ARGB, 255, {0, 0, 255}};
    test->app->GetColours()->SetFrontColor(&front);
    answers->fillOpacity = 255;
    Run(ID_FILL_COLOR);
    EXPECT_EQ(LayerArgb(picture->GetLayerbyIndex(0), {3, 3, 4, 4})[0], 0xFF0000FFu);
}

// A gesture left holding the picture (its release lost to a dialog) keeps its floating
// layer: changing the active layer would merge it away from under the tool.
TEST_F(PictureCommands, SetActiveLayerWaitsWhileAnotherEditHoldsThePicture)
{
    ITzPicture* picture = Open();
    Run(ID_LAYER_NEW);
    auto* active = static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(1));
    ITzEditingTicket gesture;
    ASSERT_TRUE(gesture.Start(picture));
    ASSERT_NE(active->CreateFloatingLayer(), nullptr);
    answers->activeLayer = 0;
    Run(ID_SET_ACTIVE_LAYER);
    EXPECT_EQ(picture->GetActiveLayerID(), 1);
    EXPECT_NE(active->GetFloatingLayer(), nullptr);
    gesture.Stop();
    Run(ID_SET_ACTIVE_LAYER);
    EXPECT_EQ(picture->GetActiveLayerID(), 0);
}

// Zoom In answers Ctrl with the key that carries "+", shifted (which the platform
// delivers as Ctrl and "+") or not; the menu shows "Ctrl++".
TEST_F(PictureCommands, ZoomKeysStepTheActiveViewsZoom)
{
    Open();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    EXPECT_EQ(frame->Action(ID_ZOOM_IN)->shortcut().toString(), QStringLiteral("Ctrl++"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        _tagITzZOOMLEVEL zoom;
    } cases[] = {
        {Qt::Key_Equal, Qt::ControlModifier, {2, 1}},
        {Qt::Key_Plus, Qt::ControlModifier, {3, 1}},
        {Qt::Key_Minus, Qt::ControlModifier, {2, 1}},
    };
    for (const auto& c : cases) {
        QTest::keyClick(view, c.key, c.modifiers);
        _tagITzZOOMLEVEL zoom{};
        view->GetZoomLevel(&zoom);
        EXPECT_EQ(zoom.numerator * c.zoom.denominator, c.zoom.numerator * zoom.denominator)
            << c.key << " " << c.modifiers << ": " << zoom.numerator << "/" << zoom.denominator;
    }
}

TEST_F(PictureCommands, ShiftOrCtrlBackspaceFillsTheSelectionAndDeleteClearsIt)
{
    ITzPicture* picture = Open();
    const PTzRECT selected = {10, 10, 20, 20};
    ITzToolMask mask;
    mask.DrawRectSelection(picture, &selected, 255, ITzSELECTION_REPLACE);
    CImageDataManager* colours = test->app->GetColours();
    const _tagPTzCOLOR front = {PTzCOLORMODE_ARGB, 255, {11, 0, 0}};
    const _tagPTzCOLOR back = {PTzCOLORMODE_ARGB, 255, {22, 0, 0}};
    colours->SetFrontColor(&front);
    colours->SetBackColor(&back);
    const auto at = [picture](int x, int y) { return LayerArgb(picture->GetLayerbyIndex(0), {x, y, x + 1, y + 1})[0]; };
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        uint32_t inside;
    } cases[] = {
        {Qt::Key_Backspace, Qt::ShiftModifier, 0xFF0B0000u},
        {Qt::Key_Backspace, Qt::ControlModifier, 0xFF160000u},
        {Qt::Key_Backspace, Qt::NoModifier, 0xFF160000u},  // alone it does nothing
        {Qt::Key_Delete, Qt::NoModifier, 0x00000000u},
    };
    for (const auto& c : cases) {
        QTest::keyClick(view, c.key, c.modifiers);
        EXPECT_EQ(at(15, 15) & (c.inside ? 0xFFFFFFFFu : 0xFF000000u), c.inside) << c.key << " " << c.modifiers;
        EXPECT_EQ(at(5, 5), Gradient(5, 5));
    }
}

}  // namespace
