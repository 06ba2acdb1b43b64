// The move, hand, zoom and eyedropper front-ends on a real picture: what the Copy option
// and Alt make of a move, Shift's 45-degree drag, the arrow keys, the hand's scrolling,
// the zoom's clicks and rectangle, the eyedropper's picks, and the Zoom In and Zoom Out
// commands' enabled states after each zoom of the keys and the zoom tool.
#include <QScrollBar>

#include "app/shell/current_colours.h"
#include "app/shell/shell_strings.h"
#include "app/shell/zoom_ladder.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_move.h"
#include "app/ui/tool_zoom.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;

// Equal zoom ratios, as the view keeps them (never reduced).
bool SameZoom(_tagITzZOOMLEVEL a, _tagITzZOOMLEVEL b)
{
    return a.numerator == b.numerator && a.denominator == b.denominator;
}

class ViewTools : public tooltest::ToolTest {
protected:
    // Transparent at the top left, red elsewhere on the left, blue on the right.
    uint32_t PictureArgb(int x, int y) const override
    {
        if (x < 20 && y < 20)
            return 0;
        return x < 100 ? 0xFFFF0000u : 0xFF0000FFu;
    }

    PTzRECT LayerBounds(uint16_t index) const
    {
        PTzRECT bounds = {};
        picture->GetLayerbyIndex(index)->GetBounds(&bounds);
        return bounds;
    }

    _tagITzZOOMLEVEL Zoom() const
    {
        _tagITzZOOMLEVEL zoom = {};
        view->GetZoomLevel(&zoom);
        return zoom;
    }
};

TEST_F(ViewTools, CopyAndAltDecideWhetherAMoveLeavesACopy)
{
    Select(MOVE);
    auto* move = static_cast<CTool_Move*>(tools->FindTool(MOVE));
    const struct {
        uint32_t copy;
        Qt::KeyboardModifiers keys;
        uint16_t layers;
    } cases[] = {{0, {}, 1}, {0, Qt::AltModifier, 2}, {1, {}, 2}, {1, Qt::AltModifier, 1}};
    for (const auto& c : cases) {
        move->SetCopy(c.copy);
        Press(At(50, 50), c.keys);
        Drag(At(60, 50), c.keys);
        Release(At(70, 50), c.keys);
        RunIdle();
        EXPECT_EQ(picture->GetLayerCount(), c.layers) << c.copy << " " << c.keys.toInt();
        picture->DoUndo();
        ASSERT_EQ(picture->GetLayerCount(), 1);
        ASSERT_EQ(LayerBounds(0).left, 0);
    }
}

TEST_F(ViewTools, ShiftKeepsAMoveOnAFortyFiveDegreeLineAndArrowsStepIt)
{
    Select(MOVE);
    Press(At(50, 50));
    Drag(At(70, 56), Qt::ShiftModifier);
    Drag(At(80, 57), Qt::ShiftModifier);
    Release(At(80, 57), Qt::ShiftModifier);
    RunIdle();
    EXPECT_EQ(LayerBounds(0).left, 30);
    EXPECT_EQ(LayerBounds(0).top, 0);
    Press(At(50, 50));
    Release(At(71, 69), Qt::ShiftModifier);
    RunIdle();
    EXPECT_EQ(LayerBounds(0).left, 50);
    EXPECT_EQ(LayerBounds(0).top, 20) << "diagonal";
    KeyDown(Qt::Key_Up, Qt::ShiftModifier);
    KeyDown(Qt::Key_Left);
    EXPECT_EQ(LayerBounds(0).left, 49);
    EXPECT_EQ(LayerBounds(0).top, 10);
}

TEST_F(ViewTools, TheHandScrollsThePictureAlongWithThePointer)
{
    view->SetZoom({4, 1});
    QCoreApplication::processEvents();
    Select(PAN);
    const int x = view->horizontalScrollBar()->value();
    const int y = view->verticalScrollBar()->value();
    Press(QPoint(200, 200));
    Drag(QPoint(150, 170));
    EXPECT_EQ(view->horizontalScrollBar()->value(), x + 50);
    EXPECT_EQ(view->verticalScrollBar()->value(), y + 30);
    Release(QPoint(160, 160));
    EXPECT_EQ(view->horizontalScrollBar()->value(), x + 40);
}

TEST_F(ViewTools, ZoomClicksAndRectangles)
{
    Select(ZOOM);
    auto* zoom = static_cast<CTOOL_ZOOM*>(tools->FindTool(ZOOM));
    _tagITzZOOMLEVEL before = Zoom();
    // A drag of 10 pixels or less is a click: one step in.
    Press(QPoint(100, 100));
    Drag(QPoint(110, 90));
    Release(QPoint(110, 90));
    EXPECT_TRUE(SameZoom(Zoom(), StepZoomLadder(before, true)));
    // Shift reverses the option: out with Zoom In chosen, in with Zoom Out chosen.
    before = Zoom();
    Press(QPoint(100, 100), Qt::ShiftModifier);
    Release(QPoint(100, 100), Qt::ShiftModifier);
    EXPECT_TRUE(SameZoom(Zoom(), StepZoomLadder(before, false)));
    zoom->SetZoomOut(1);
    before = Zoom();
    Press(QPoint(100, 100), Qt::ShiftModifier);
    Release(QPoint(100, 100), Qt::ShiftModifier);
    EXPECT_TRUE(SameZoom(Zoom(), StepZoomLadder(before, true)));
    Press(QPoint(100, 100));
    EXPECT_TRUE(SameZoom(Zoom(), before)) << "Zoom Out chosen: the press zooms out";
    Release(QPoint(100, 100));
    zoom->SetZoomOut(0);

    // A larger drag fits its rectangle to the view, showing the dotted rectangle meanwhile.
    view->SetZoom({1, 1});
    Press(At(10, 10));
    Drag(At(30, 20));
    const QImage shown = view->viewport()->grab().toImage();
    EXPECT_NE(shown.pixel(At(20, 10)), shown.pixel(At(20, 11))) << "the rectangle's edge";
    Release(At(30, 20));
    EXPECT_GT(Zoom().numerator, 4 * Zoom().denominator);
    EXPECT_EQ(ShownToolCursor(view), 0u + IDC_TOOL_ZOOM_IN);
}

TEST_F(ViewTools, TheEyedropperPicksOpaquePixelsIntoTheFrontOrWithShiftTheBackColour)
{
    Select(EYED);
    CImageDataManager* colours = test->app->GetColours();
    _tagPTzCOLOR front = {};
    _tagPTzCOLOR back = {};
    colours->GetFrontColor(&front);
    Press(At(5, 5));
    Release(At(5, 5));
    _tagPTzCOLOR now = {};
    colours->GetFrontColor(&now);
    EXPECT_TRUE(PTzColorSame(&now, &front)) << "a transparent pixel changes nothing";
    Press(At(50, 50));
    Drag(At(150, 50));
    Release(At(150, 50));
    colours->GetFrontColor(&now);
    EXPECT_EQ(now.components[2], 255) << "followed the pointer to blue";
    Press(At(50, 50), Qt::ShiftModifier);
    Release(At(50, 50), Qt::ShiftModifier);
    colours->GetBackColor(&back);
    EXPECT_EQ(back.components[0], 255);
    EXPECT_EQ(back.components[2], 0);
}

// A picture of 40 x 30, which the Zoom In and Zoom Out commands stop at 16/1 and at 1/6.
class ZoomCommands : public ViewTools {
protected:
    QSize PictureSize() const override { return {40, 30}; }

    bool Enabled(int id) const { return frame->Action(id)->isEnabled(); }
    // A command's key as the user presses it, at once: no idle turn comes between.
    void Keys(Qt::Key key, int times)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(view, key, Qt::ControlModifier);
    }
};

TEST_F(ZoomCommands, EveryChangeOfZoomRefreshesWhetherZoomInAndZoomOutAreEnabled)
{
    Keys(Qt::Key_Plus, 10);
    ASSERT_TRUE(SameZoom(Zoom(), {16, 1}));
    EXPECT_FALSE(Enabled(quorvel::ID_ZOOM_IN));
    Select(ZOOM);
    Press(At(20, 15), Qt::ShiftModifier);
    Release(At(20, 15), Qt::ShiftModifier);
    EXPECT_TRUE(SameZoom(Zoom(), {12, 1}));
    EXPECT_TRUE(Enabled(quorvel::ID_ZOOM_IN)) << "after the zoom tool's step out";
    Keys(Qt::Key_Plus, 1);
    EXPECT_TRUE(SameZoom(Zoom(), {16, 1})) << "Ctrl++ zooms in again";

    Keys(Qt::Key_Minus, 20);
    ASSERT_TRUE(SameZoom(Zoom(), {1, 6}));
    EXPECT_FALSE(Enabled(quorvel::ID_ZOOM_OUT));
    Press(At(20, 15));
    Release(At(20, 15));
    EXPECT_TRUE(SameZoom(Zoom(), {1, 4}));
    EXPECT_TRUE(Enabled(quorvel::ID_ZOOM_OUT)) << "after the zoom tool's click in";
    Keys(Qt::Key_Minus, 1);
    EXPECT_TRUE(SameZoom(Zoom(), {1, 6})) << "Ctrl+- zooms out again";

    // A rectangle dragged with the zoom tool to the largest zoom.
    Keys(Qt::Key_Plus, 5);
    ASSERT_TRUE(Enabled(quorvel::ID_ZOOM_IN));
    Press(At(5, 5));
    Drag(At(17, 17));
    Release(At(17, 17));
    EXPECT_GE(Zoom().numerator / Zoom().denominator, 16u);
    EXPECT_FALSE(Enabled(quorvel::ID_ZOOM_IN)) << "after the zoom tool's rectangle";
}

}  // namespace
