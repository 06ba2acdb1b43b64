// The selection front-ends on a real picture: the operation Shift and Alt choose with and
// without a selection, the rectangle, ellipse, lasso and wand, a press inside the
// selection that drags it (one undo step, the editing ticket held throughout), the click
// that deselects, the arrow keys, and the outline on screen after every move of the
// selection by any of them, its undo and its redo.
#include <QScrollBar>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/shell_strings.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_marquee.h"
#include "engine/tools/mouse_track.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;
using tooltest::SelectionAt;

class SelectionTools : public tooltest::ToolTest {
protected:
    // A red square (40..80, 40..80) on white, for the wand.
    uint32_t PictureArgb(int x, int y) const override
    {
        return x >= 40 && x < 80 && y >= 40 && y < 80 ? 0xFFFF0000u : 0xFFFFFFFFu;
    }

    void SelectRect(PTzRECT rect)
    {
        ITzToolMask mask;
        ASSERT_EQ(mask.DrawRectSelection(picture, &rect, 255, ITzSELECTION_REPLACE), 1);
    }

    void DragRect(QPoint from, QPoint to, Qt::KeyboardModifiers keys = {})
    {
        Press(from, keys);
        Drag((from + to) / 2, keys);
        Drag(to, keys);
        Release(to, keys);
        RunIdle();
    }

    // The selected state of each point, as "1" and "0".
    std::string Selected(std::initializer_list<QPoint> points)
    {
        std::string out;
        for (const QPoint& p : points)
            out += SelectionAt(picture, p.x(), p.y()) >= 128 ? '1' : '0';
        return out;
    }
};

TEST_F(SelectionTools, ShiftAndAltChooseTheOperationOnlyWithASelection)
{
    Select(MAGR);
    struct Case {
        bool selectFirst;
        Qt::KeyboardModifiers keys;
        const char* expected;  // at (30,30), (50,30), (90,30), (130,30)
    } cases[] = {
        {false, Qt::ShiftModifier | Qt::AltModifier, "0110"},  // a new one, a square by Shift
        {true, {}, "0110"},                                    // replaced
        {true, Qt::ShiftModifier, "1110"},                     // added
        {true, Qt::AltModifier, "1000"},                       // subtracted
        {true, Qt::ShiftModifier | Qt::AltModifier, "0100"},   // intersected
    };
    for (const Case& c : cases) {
        if (c.selectFirst)
            SelectRect({20, 20, 60, 60});
        else
            tooltest::Deselect(picture);
        // From (45, 10), outside the selection, to (100, 58).
        DragRect(At(45, 10), At(100, 58), c.keys);
        EXPECT_EQ(Selected({{30, 30}, {50, 30}, {90, 30}, {130, 30}}), c.expected) << c.expected;
    }
}

TEST_F(SelectionTools, TheEllipseLassoAndWandSelectTheirShapes)
{
    Select(MACI);
    DragRect(At(20, 20), At(120, 80));
    EXPECT_EQ(Selected({{70, 50}, {22, 22}, {118, 78}}), "100") << "inside the ellipse, not its corners";
    Select(LASF);
    Press(At(10, 100));
    for (const QPoint& p : {At(100, 100), At(100, 140), At(10, 140)}) {
        Drag(p);
        RunIdleTurns(2);
    }
    Release(At(10, 140));
    RunIdle();
    EXPECT_EQ(Selected({{50, 110}, {70, 50}, {150, 110}}), "100");
    Select(MAGC);
    Press(At(60, 60));
    Release(At(60, 60));
    RunIdle();
    EXPECT_EQ(Selected({{41, 41}, {79, 79}, {85, 60}, {150, 110}}), "1100");
}

TEST_F(SelectionTools, AClickOrAZeroWidthDragDeselects)
{
    Select(MAGR);
    SelectRect({20, 20, 60, 60});
    Press(At(100, 100));
    Release(At(100, 100));
    RunIdle();
    EXPECT_EQ(picture->GetSelectionLayer(0), nullptr);
    SelectRect({20, 20, 60, 60});
    DragRect(At(100, 30), At(100, 90));
    EXPECT_EQ(picture->GetSelectionLayer(0), nullptr);
}

TEST_F(SelectionTools, APressInsideDragsTheSelectionAsOneStepThatUndoCannotSplit)
{
    Select(MAGR);
    SelectRect({20, 20, 60, 60});
    Press(At(40, 40));
    Drag(At(55, 45));
    EXPECT_EQ(ShownToolCursor(view), 0u + IDC_TOOL_SELECT_MOVE);
    RunIdleTurns(5);  // the view's check for a lock left behind must not break the drag's
    EXPECT_FALSE(picture->DoUndo()) << "refused mid-drag";
    EXPECT_FALSE(picture->AbleEditing());
    Drag(At(70, 50));
    Release(At(70, 50));
    RunIdle();
    EXPECT_TRUE(picture->AbleEditing());
    EXPECT_EQ(Selected({{25, 25}, {55, 35}, {85, 65}, {89, 69}, {90, 70}}), "01110");
    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(Selected({{25, 25}, {59, 59}, {60, 60}}), "110") << "the whole drag undone";
}

TEST_F(SelectionTools, ShiftLeftNudgesTheSelectionTenPixelsAsOneStep)
{
    Select(MAGR);
    SelectRect({40, 40, 80, 80});
    KeyDown(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Selected({{30, 50}, {69, 50}, {70, 50}}), "110");
    KeyDown(Qt::Key_Down);
    EXPECT_EQ(Selected({{30, 40}, {30, 41}}), "01");
    ASSERT_TRUE(picture->DoUndo());
    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(Selected({{39, 50}, {40, 40}, {79, 79}}), "011");

    // Without a selection an arrow is no selection tool's: nothing moves, nothing recorded.
    tooltest::Deselect(picture);
    picture->ClearModified();
    KeyDown(Qt::Key_Left);
    EXPECT_FALSE(picture->DoUndo());
}

TEST_F(SelectionTools, ADragAtTheViewsEdgeScrollsOneStepForEachRepaint)
{
    view->SetZoom({4, 1});
    QCoreApplication::processEvents();
    Select(MAGR);
    QScrollBar* bar = view->horizontalScrollBar();
    const int start = bar->value();
    Press(QPoint(50, 50));
    Drag(QPoint(Area()->width() + 40, 60));
    EXPECT_EQ(bar->value(), start + 30);
    for (int turn = 0; turn < 5; ++turn)
        test->app->OnIdle();
    EXPECT_EQ(bar->value(), start + 30) << "no repaint yet";
    for (int paint = 0; paint < 3; ++paint) {
        QCoreApplication::processEvents();
        test->app->OnIdle();
        test->app->OnIdle();
    }
    EXPECT_EQ(bar->value(), start + 120);
    // The marquee follows: its far corner is where the pointer is now over the picture.
    Release(QPoint(Area()->width() + 40, 60));
    RunIdle();
    PTzPOINT corner;
    const _tagPTzMOUSEPOINT edge = {Area()->width() - 1, 55, 0, {}};
    ASSERT_TRUE(ToPicturePixel(view, &edge, &corner));
    EXPECT_EQ(SelectionAt(picture, corner.x - 1, corner.y), 255);
}

std::string FourCC(uint32_t id)
{
    return {char(id >> 24), char(id >> 16), char(id >> 8), char(id)};
}

class SelectionOutline : public SelectionTools {
protected:
    // The outline on screen after the idle turns and the paint that follow a change.
    shelltest::OutlineCheck Shown()
    {
        RunIdle();
        return shelltest::CheckOutline(*view, view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
};

TEST_F(SelectionOutline, FollowsEveryMoveOfTheSelectionItsUndoAndItsRedo)
{
    view->SetZoom({3, 2});
    SelectRect({30, 30, 70, 60});
    const auto drag = [this](uint32_t tool, QPoint from, std::initializer_list<QPoint> steps) {
        Select(tool);
        Press(At(from.x(), from.y()));
        for (const QPoint& step : steps) {
            Drag(At(step.x(), step.y()));
            const shelltest::OutlineCheck check = Shown();
            EXPECT_GT(check.boundary, 100) << FourCC(tool) << " at " << step.x() << "," << step.y();
            EXPECT_EQ(check.missing + check.stray, 0)
                << check << "; " << FourCC(tool) << " at " << step.x() << "," << step.y();
        }
        Release(At(std::data(steps)[steps.size() - 1].x(), std::data(steps)[steps.size() - 1].y()));
    };
    const auto keys = [this](uint32_t tool) {
        Select(tool);
        KeyDown(Qt::Key_Left, Qt::ShiftModifier);
        KeyUp(Qt::Key_Left, Qt::ShiftModifier);
        KeyDown(Qt::Key_Down);
    };
    const auto command = [this](int id) { return [this, id] { frame->Action(id)->trigger(); }; };
    struct Step {
        const char* what;
        std::function<void()> run;
    };
    std::vector<Step> steps = {
        // The selection tools move the mask alone; then the move tool lifts the pixels.
        {"selection drag", [&] { drag(MAGR, {50, 45}, {{60, 50}, {70, 55}, {80, 60}}); }},
        {"selection arrows", [&] { keys(MAGR); }},
        {"move tool drag", [&] { drag(MOVE, {70, 60}, {{75, 62}, {82, 66}, {95, 72}, {110, 80}}); }},
        {"move tool arrows", [&] { keys(MOVE); }},
    };
    // Each drag is one step, each arrow another: six to undo, then to redo.
    for (int id : {quorvel::ID_EDIT_UNDO, quorvel::ID_EDIT_REDO}) {
        for (int step = 0; step < 6; ++step)
            steps.push_back({id == quorvel::ID_EDIT_UNDO ? "undo" : "redo", command(id)});
    }
    PTzRECT before = {};
    for (const Step& step : steps) {
        picture->GetSelectionLayer(0)->GetBounds(&before);
        step.run();
        const shelltest::OutlineCheck check = Shown();
        PTzRECT after = {};
        picture->GetSelectionLayer(0)->GetBounds(&after);
        EXPECT_FALSE(PTzRectEqual(&before, &after)) << step.what << ": the selection moved";
        EXPECT_GT(check.boundary, 100) << step.what;
        EXPECT_EQ(check.missing + check.stray, 0) << check << "; " << step.what;
    }
}

}  // namespace
