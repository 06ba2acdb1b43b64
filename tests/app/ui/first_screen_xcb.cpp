// What a new user sees first on a real X server without a window manager (run under
// xvfb-run with QT_QPA_PLATFORM=xcb, fresh settings): the floating panels at their default
// places in the area of the documents, over no bar and no tool's options, and a new 800 x
// 600 picture clear of them; a change of tool leaves the picture where it is, and when the
// area shrinks the document windows fit into it with scroll bars. The PNGs stay in the
// build tree's screenshot folder.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/ui/program_parts.h"
#include "app/ui/tool_base.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace quorvel;
using namespace shelltest;

namespace {

constexpr uint32_t kTools[] = {tool_id::MAGR, tool_id::MACI, tool_id::LASF, tool_id::MAGC, tool_id::MOVE,
                               tool_id::TEXT, tool_id::PEN,  tool_id::PENC, tool_id::ERAS, tool_id::CLON,
                               tool_id::SMDG, tool_id::BUCT, tool_id::BLUR, tool_id::SHAP, tool_id::GRAD,
                               tool_id::EYED, tool_id::PAN,  tool_id::ZOOM};

QRect OnScreen(const QWidget* widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

std::string ToolName(uint32_t id)
{
    return {char(id >> 24), char(id >> 16), char(id >> 8), char(id)};
}

void SaveScreen(CMainFrame* frame, const char* name)
{
    QScreen* screen = frame->screen();
    const QRect window = frame->frameGeometry().translated(-screen->geometry().topLeft());
    EXPECT_TRUE(screen->grabWindow(0, window.x(), window.y(), window.width(), window.height())
                    .save(ScreenshotPath(QString::fromLatin1(name))));
}

// The program started on fresh settings, with New answering width x height, opening the
// files named as on a command line.
struct FreshStart {
    explicit FreshStart(const std::vector<QByteArray>& files = {})
    {
        AppSettings().Wipe();
        dialogs->newImage = [this](int32_t* w, int32_t* h, QString* name) {
            *w = width;
            *h = height;
            *name = QStringLiteral("new");
            return true;
        };
        EXPECT_TRUE(test.app->InitInstance(files));
        frame = test.app->GetMainFrame();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame->GetPanel(PanelSlot::ToolPalette)->isVisible(); }));
        QTest::qWait(300);
    }
    CChildFrame* New(int32_t w, int32_t h)
    {
        width = w;
        height = h;
        test.app->OnFileNew();
        QTest::qWait(300);
        return frame->GetActiveChild();
    }
    ScopedDialogs dialogs;
    TestApp test{MakeProgramParts()};
    CMainFrame* frame = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

TEST(FirstScreen, ThePanelsCoverNoBarNoToolsOptionsAndNotANew800PixelPicture)
{
    FreshStart start;
    CMainFrame* frame = start.frame;
    std::vector<QRect> panels;
    for (PanelSlot slot : {PanelSlot::Info, PanelSlot::Layers, PanelSlot::ToolPalette})
        panels.push_back(frame->GetPanel(slot)->frameGeometry());
    const auto uncovered = [&](const QRect& rect, const std::string& what) {
        for (const QRect& panel : panels)
            EXPECT_FALSE(panel.intersects(rect)) << what;
    };
    QToolBar* toolbar = frame->findChild<QToolBar*>();
    ASSERT_NE(toolbar, nullptr);
    uncovered(OnScreen(toolbar), "tool bar");
    SaveScreen(frame, "first_screen_xcb.png");

    // Every tool's options bar shows whole, at one height, under no panel.
    int barHeight = 0;
    for (uint32_t id : kTools) {
        start.test.app->GetToolManager()->SelectTool(id);
        QTest::qWait(30);
        QDockWidget* options = frame->GetToolOptionsPanel();
        ASSERT_TRUE(options && options->isVisible() && !options->isFloating()) << ToolName(id);
        uncovered(OnScreen(options), ToolName(id));
        EXPECT_LE(options->widget()->sizeHint().width(), options->widget()->width()) << ToolName(id);
        if (!barHeight)
            barHeight = options->height();
        EXPECT_EQ(options->height(), barHeight) << ToolName(id);
        if (id == tool_id::ZOOM)
            SaveScreen(frame, "first_screen_zoom_tool_xcb.png");
    }

    // A new 800 x 600 picture opens whole at 1/1, under no panel.
    start.test.app->GetToolManager()->SelectTool(tool_id::PEN);
    CChildFrame* child = start.New(800, 600);
    ASSERT_NE(child, nullptr);
    uncovered(child->frameGeometry().translated(frame->GetMdiArea()->viewport()->mapToGlobal(QPoint(0, 0))),
              "document window");
    CTamsleyView* view = child->GetView();
    EXPECT_EQ(view->GetZoomedSize(), QSize(800, 600));
    EXPECT_EQ(view->viewport()->size(), QSize(800, 600));
    SaveScreen(frame, "first_screen_new_picture_xcb.png");
}

TEST(FirstScreen, AChangeOfToolLeavesThePictureInPlaceAndAShrunkAreaScrollsWhatNoLongerFits)
{
    FreshStart start;
    CMainFrame* frame = start.frame;
    IToolManager* tools = start.test.app->GetToolManager();
    tools->SelectTool(tool_id::MAGR);
    CChildFrame* first = start.New(800, 600);
    ASSERT_NE(first, nullptr);
    const auto originOnScreen = [](CChildFrame* child) {
        CTamsleyView* view = child->GetView();
        return view->viewport()->mapToGlobal(view->PictureOrigin());
    };
    const QPoint before = originOnScreen(first);
    for (uint32_t id : {tool_id::PEN, tool_id::TEXT, tool_id::MAGR}) {
        tools->SelectTool(id);
        QTest::qWait(50);
        EXPECT_EQ(originOnScreen(first), before) << ToolName(id);
    }

    // With the options bar floating, a picture just fits the area; docked again, the bar
    // takes room and the window fits into what is left, scrolling to the last row.
    QDockWidget* options = frame->GetToolOptionsPanel();
    options->setFloating(true);
    QTest::qWait(200);
    QWidget* room = frame->GetMdiArea()->viewport();
    const int decoration = first->height() - first->GetView()->viewport()->height();
    const int height = room->height() - first->y() - decoration;
    CChildFrame* child = OpenPicture(frame, MakeArgbPicture(300, height, [](int, int) { return 0xFF4080C0u; }),
                                     QStringLiteral("tall.bmp"));
    QTest::qWait(200);
    CTamsleyView* view = child->GetView();
    const QSize opened = child->size();
    ASSERT_EQ(view->viewport()->height(), height);
    ASSERT_FALSE(view->verticalScrollBar()->isVisible());
    const QPoint inWindow = view->viewport()->mapTo(child, view->PictureOrigin());

    options->setFloating(false);
    QTest::qWait(200);
    ASSERT_LT(room->height(), opened.height() + child->y());
    EXPECT_EQ(child->y() + child->height(), room->height());
    EXPECT_EQ(view->viewport()->mapTo(child, view->PictureOrigin()), inWindow);
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum() + view->viewport()->height(), height);
    SaveScreen(frame, "first_screen_fitted_window_xcb.png");

    // The room comes back, and the window its size.
    options->setFloating(true);
    QTest::qWait(200);
    EXPECT_EQ(child->size(), opened);
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
}

TEST(FirstScreen, APictureNamedOnTheCommandLineOpensBesideThePaletteWithItsTitleBarWhole)
{
    TempFolder folder;
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::red);
    folder.Write("small.bmp", Bmp24(small));
    FreshStart start({QByteArray::fromStdString(folder.Item("small.bmp"))});
    CMainFrame* frame = start.frame;
    CChildFrame* child = frame->GetActiveChild();
    ASSERT_NE(child, nullptr);
    const QRect window(frame->GetMdiArea()->viewport()->mapToGlobal(child->pos()), child->size());
    EXPECT_FALSE(frame->GetPanel(PanelSlot::ToolPalette)->frameGeometry().intersects(window));
    EXPECT_EQ(child->size(), child->size().expandedTo(child->minimumSizeHint()));
    // The picture at 1/1 in the middle of the window's client area.
    CTamsleyView* view = child->GetView();
    EXPECT_EQ(view->GetZoomedSize(), QSize(40, 30));
    EXPECT_EQ(view->PictureOrigin(), QPoint((view->viewport()->width() - 40) / 2, (view->viewport()->height() - 30) / 2));
    SaveScreen(frame, "first_screen_command_line_xcb.png");
}

}  // namespace
