// The tool front-ends' test set-up: the program's own tool manager and brush library in a
// test application, a picture of one engine layer shown 1/1 in the main frame's active
// view, and the user's hand: mouse and keys with modifiers through QTest, and the idle
// turns the program would run, run here until none is wanted; and the same program on a
// real screen for the screenshot programs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/settings_store.h"
#include "app/ui/brush_manager.h"
#include "app/ui/tool_base.h"
#include "app/ui/tool_manager.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "tests/app/shell/shell_test_support.h"

namespace tooltest {

// A solid colour, 0xAARRGGBB.
inline std::function<uint32_t(int, int)> Solid(uint32_t argb)
{
    return [argb](int, int) { return argb; };
}

// Every byte of the layer's pixels over its picture rectangle, as the layer holds them
// (ARGB, rows top down).
inline std::vector<uint8_t> LayerPixels(ITzPicture* picture, uint16_t index)
{
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    auto* layer = static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(index));
    std::vector<uint8_t> pixels(size_t(size.cx) * size_t(size.cy) * 4);
    _tagITzBITMAP bitmap = {size.cx, size.cy, size.cx * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    PTzRECT rect = {0, 0, size.cx, size.cy};
    layer->PRECTtoLRECT(&rect, &rect);
    layer->GetRectData(&rect, &bitmap);
    return pixels;
}

// One layer pixel, 0xAARRGGBB.
inline uint32_t LayerPixel(ITzPicture* picture, uint16_t index, int x, int y)
{
    auto* layer = static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(index));
    uint8_t p[4] = {};
    _tagITzBITMAP bitmap = {1, 1, 4, 32, PTzCOLORMODE_ARGB, p};
    PTzRECT rect = {x, y, x + 1, y + 1};
    layer->PRECTtoLRECT(&rect, &rect);
    layer->GetRectData(&rect, &bitmap);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The selection value at a picture pixel (0 without a selection).
inline uint8_t SelectionAt(ITzPicture* picture, int x, int y)
{
    ITzLayerImage* selection = picture->GetSelectionLayer(0);
    if (!selection)
        return 0;
    uint8_t value = 0;
    _tagITzBITMAP bitmap = {1, 1, 4, 8, PTzCOLORMODE_GRAY, &value};
    PTzRECT rect = {x, y, x + 1, y + 1};
    selection->PRECTtoLRECT(&rect, &rect);
    selection->GetRectData(&rect, &bitmap);
    return value;
}

// Takes the selection away (no undo step is wanted of a test's preparation).
inline void Deselect(ITzPicture* picture)
{
    if (ITzLayerImage* selection = picture->RemoveSelectionLayer())
        ITzLayerDestroy(selection);
}

// The program's tool manager and brush library as the start-up makes them; *tools points
// at the manager once it is made.
inline CShellParts ToolParts(CToolManager** tools)
{
    CShellParts parts;
    parts.toolManager = [tools] {
        auto made = std::make_unique<CToolManager>();
        *tools = made.get();
        return made;
    };
    parts.brushManager = [] { return std::make_unique<CBrushManager>(); };
    return parts;
}

// The program with its tools on a real screen, for the screenshot programs: started in a
// test application with its main frame shown at 900 x 640. Its steps end the test on a
// fatal failure: call them through ASSERT_NO_FATAL_FAILURE.
class ScreenProgram {
public:
    void Start() { Start(ToolParts(&tools)); }
    // The same with the parts given (the whole program's, say).
    void Start(CShellParts parts)
    {
        test = std::make_unique<shelltest::TestApp>(std::move(parts));
        ASSERT_TRUE(test->app->InitInstance());
        tools = dynamic_cast<CToolManager*>(test->app->GetToolManager());
        frame = test->app->GetMainFrame();
        frame->resize(900, 640);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    // Gives the main frame the focus (without a window manager nothing else does) and
    // waits for the view, in the active window, to be the active view.
    void Activate(CTamsleyView* view)
    {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        shelltest::RunEventLoop(100);
        ASSERT_TRUE(view->IsActive());
    }

    shelltest::ScopedDialogs dialogs;
    std::unique_ptr<shelltest::TestApp> test;
    CToolManager* tools = nullptr;
    CMainFrame* frame = nullptr;
};

class ToolTest : public ::testing::Test {
protected:
    // The picture's size and pixels, and what a test adds before start-up.
    virtual QSize PictureSize() const { return {200, 150}; }
    virtual uint32_t PictureArgb(int, int) const { return 0xFFFFFFFFu; }
    virtual void BeforeStart(CShellParts&) {}

    void SetUp() override
    {
        quorvel::AppSettings().Wipe();
        CShellParts parts = ToolParts(&tools);
        BeforeStart(parts);
        test = std::make_unique<shelltest::TestApp>(std::move(parts));
        ASSERT_TRUE(test->app->InitInstance());
        frame = test->app->GetMainFrame();
        frame->resize(900, 700);
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        const QSize size = PictureSize();
        handle = shelltest::MakeArgbPicture(size.width(), size.height(),
                                            [this](int x, int y) { return PictureArgb(x, y); });
        picture = ITzPictGetPictureClass(handle);
        CChildFrame* child = shelltest::OpenPicture(frame, handle, QStringLiteral("tools.bmp"));
        child->resize(size + QSize(200, 200));
        view = child->GetView();
        QCoreApplication::processEvents();
        ASSERT_TRUE(view->IsActive());
    }

    void TearDown() override
    {
        test.reset();
    }

    // The client point of a picture point at the view's zoom.
    QPoint At(int x, int y) const { return PictureToClient(view, {x, y}); }
    QWidget* Area() const { return view->viewport(); }

    void Select(uint32_t id) { tools->SelectTool(id); }
    void Press(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(Area(), Qt::LeftButton, keys, at);
    }
    void Drag(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseEvent(QTest::MouseMove, Area(), Qt::NoButton, keys, at);
    }
    void Release(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseRelease(Area(), Qt::LeftButton, keys, at);
    }
    void Stroke(const std::vector<QPoint>& points, Qt::KeyboardModifiers keys = {})
    {
        Press(points.front(), keys);
        for (size_t i = 1; i < points.size(); ++i) {
            Drag(points[i], keys);
            RunIdleTurns(4);
        }
        Release(points.back(), keys);
        RunIdle();
    }
    // A key event to the view as the window system sends it: a modifier held comes in the
    // modifiers alone (QTest's helpers would press and release the modifier keys too).
    void SendKey(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers keys = {}, QWidget* to = nullptr)
    {
        QKeyEvent event(type, key, keys);
        QApplication::sendEvent(to ? to : view, &event);
    }
    void KeyDown(Qt::Key key, Qt::KeyboardModifiers keys = {}) { SendKey(QEvent::KeyPress, key, keys); }
    void KeyUp(Qt::Key key, Qt::KeyboardModifiers keys = {}) { SendKey(QEvent::KeyRelease, key, keys); }

    // Idle turns until none wants more (a bounded number: a gesture in progress wants
    // them for as long as it lasts), with the events they post.
    int RunIdle(int limit = 100000)
    {
        int turns = 0;
        while (turns < limit && test->app->OnIdle())
            ++turns;
        QCoreApplication::processEvents();
        return turns;
    }
    void RunIdleTurns(int count) { RunIdle(count); }

    uint32_t CurrentId() const { return tools->GetCurrentTool() ? tools->GetCurrentTool()->GetToolID() : 0; }

    shelltest::ScopedDialogs dialogs;
    std::unique_ptr<shelltest::TestApp> test;
    CToolManager* tools = nullptr;
    CMainFrame* frame = nullptr;
    void* handle = nullptr;
    ITzPicture* picture = nullptr;
    CTamsleyView* view = nullptr;
};

}  // namespace tooltest
