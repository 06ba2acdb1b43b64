// What a person sees of the selection outline on a real X server (run under xvfb-run with
// QT_QPA_PLATFORM=xcb): on a new picture with a stroke, a rectangle selection moved by
// the selection tool's own drag, by the move tool in several mouse steps and by the arrow
// keys, then undone and redone from the keyboard; after each, the outline's pixels on the
// screen lie on the selection's boundary and nowhere else. Then an ellipse selection,
// whose outline shows dashes along its diagonals at 1/1 and 4/1. The PNGs stay in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_manager.h"
#include "engine/pixels/layer_image_select.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"
#include "tests/app/ui/tool_test_support.h"

using namespace shelltest;

namespace {

class OutlineScreenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(program.Start());
        program.dialogs->newImage = [](int32_t* width, int32_t* height, QString*) {
            *width = 400;
            *height = 300;
            return true;
        };
        program.test->app->OnFileNew();
        CChildFrame* child = program.frame->GetActiveChild();
        ASSERT_TRUE(child);
        child->setGeometry(10, 10, 520, 420);
        view = child->GetView();
        ASSERT_NO_FATAL_FAILURE(program.Activate(view));
    }

    QPoint At(int x, int y) const { return PictureToClient(view, {x, y}); }
    QWidget* Area() const { return view->viewport(); }

    void Drag(uint32_t tool, std::initializer_list<QPoint> points)
    {
        program.tools->SelectTool(tool);
        QTest::mousePress(Area(), Qt::LeftButton, {}, At(points.begin()->x(), points.begin()->y()));
        for (const QPoint* p = points.begin() + 1; p != points.end(); ++p) {
            QTest::mouseEvent(QTest::MouseMove, Area(), Qt::NoButton, {}, At(p->x(), p->y()));
            RunEventLoop(20);
            if (checkEachStep)
                ExpectOutlineOnTheBoundary(std::string("drag step to ") + std::to_string(p->x()) + "," +
                                           std::to_string(p->y()));
        }
        const QPoint last = *(points.end() - 1);
        QTest::mouseRelease(Area(), Qt::LeftButton, {}, At(last.x(), last.y()));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(view, key, modifiers); }

    // The outline on the screen after the paint that follows: every boundary pixel black
    // or white, nothing else changed from the picture; saved when a name is given.
    OutlineCheck ExpectOutlineOnTheBoundary(const std::string& step, const QString& png = {})
    {
        RunEventLoop(60);
        const QImage shown = ViewOnScreen(view);
        if (!png.isEmpty())
            shown.save(ScreenshotPath(png));
        const OutlineCheck check = CheckOutline(*view, shown);
        EXPECT_GT(check.boundary, 100) << step;
        EXPECT_EQ(check.missing, 0) << check << "; " << step;
        EXPECT_EQ(check.stray, 0) << check << "; " << step;
        return check;
    }

    // Where the selected pixels are, in picture coordinates.
    PTzRECT SelectionBounds() const
    {
        PTzRECT bounds = {};
        if (auto* selection = dynamic_cast<ITzLayerImageSelect*>(view->GetPicture()->GetSelectionLayer(0)))
            selection->GetSelectionBounds(&bounds);
        return bounds;
    }

    tooltest::ScreenProgram program;
    CTamsleyView* view = nullptr;
    bool checkEachStep = false;
};

TEST_F(OutlineScreenshot, FollowsTheSelectionThroughEveryMoveUndoAndRedo)
{
    Drag(tool_id::PEN, {{60, 60}, {100, 80}, {140, 120}, {180, 130}});
    Drag(tool_id::MAGR, {{40, 40}, {120, 100}, {200, 150}});
    RunEventLoop(50);
    ASSERT_NE(view->GetPicture()->GetSelectionLayer(0), nullptr);
    ExpectOutlineOnTheBoundary("the rectangle selected", QStringLiteral("outline_selected_xcb.png"));

    // The selection tool's drag moves the selection alone, in several steps.
    checkEachStep = true;
    Drag(tool_id::MAGR, {{100, 80}, {104, 82}, {108, 84}, {112, 86}, {120, 90}});
    checkEachStep = false;
    ExpectOutlineOnTheBoundary("after the selection tool's drag", QStringLiteral("outline_dragged_xcb.png"));
    EXPECT_EQ(SelectionBounds().left, 40 + 20);
    EXPECT_EQ(SelectionBounds().top, 40 + 10);

    // The move tool takes the pixels along, in many small steps.
    checkEachStep = true;
    Drag(tool_id::MOVE, {{120, 90}, {127, 94}, {134, 98}, {141, 102}, {148, 106}, {155, 110}, {170, 120}});
    checkEachStep = false;
    ExpectOutlineOnTheBoundary("after the move tool's drag", QStringLiteral("outline_moved_xcb.png"));
    const PTzRECT moved = SelectionBounds();
    EXPECT_EQ(moved.left, 40 + 20 + 50);
    EXPECT_EQ(moved.top, 40 + 10 + 30);

    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Up);
    ExpectOutlineOnTheBoundary("after the arrow keys", QStringLiteral("outline_nudged_xcb.png"));
    EXPECT_EQ(SelectionBounds().left, moved.left - 10);
    EXPECT_EQ(SelectionBounds().top, moved.top - 1);

    for (int undo = 0; undo < 4; ++undo) {
        Key(Qt::Key_Z, Qt::ControlModifier);
        ExpectOutlineOnTheBoundary("undo " + std::to_string(undo));
    }
    const PTzRECT undone = SelectionBounds();
    EXPECT_EQ(undone.left, 40);
    EXPECT_EQ(undone.top, 40);
    ExpectOutlineOnTheBoundary("all undone", QStringLiteral("outline_undone_xcb.png"));
    for (int redo = 0; redo < 4; ++redo) {
        Key(Qt::Key_Y, Qt::ControlModifier);
        ExpectOutlineOnTheBoundary("redo " + std::to_string(redo));
    }
    ExpectOutlineOnTheBoundary("all redone", QStringLiteral("outline_redone_xcb.png"));
    EXPECT_NE(SelectionBounds().left, undone.left);
}

TEST_F(OutlineScreenshot, AnEllipseShowsDashesAlongItsDiagonalsAtEveryZoom)
{
    Drag(tool_id::MACI, {{40, 30}, {200, 150}, {360, 270}});
    RunEventLoop(50);
    ASSERT_NE(view->GetPicture()->GetSelectionLayer(0), nullptr);
    EXPECT_EQ(ExpectOutlineOnTheBoundary("the ellipse at 1/1", QStringLiteral("outline_ellipse_xcb.png")).gaps, 0);
    // At 4/1, about the arc's upper left, where it rises at 45 degrees.
    for (int step = 0; step < 3; ++step)
        Key(Qt::Key_Plus, Qt::ControlModifier);
    PTzPOINT rising = {72, 78}, zoomed = {};
    ASSERT_EQ(view->PictureToZoomed(&rising, &zoomed), 0);
    view->ScrollToZoomed(zoomed.x - Area()->width() / 2, zoomed.y - Area()->height() / 2);
    EXPECT_EQ(ExpectOutlineOnTheBoundary("the ellipse at 4/1", QStringLiteral("outline_ellipse_zoomed_xcb.png")).gaps,
              0);
}

}  // namespace
