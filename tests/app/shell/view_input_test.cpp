// The view's input with stand-ins for the tool manager, the layers panel and the view's
// editing keys: the click that activates a view, the pressures of each event and of the
// tablet, keys, the timer, the information panel, activation, and the check for an
// editing lock left behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/shell/current_colours.h"
#include "app/shell/error_log.h"
#include "app/shell/info_data.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/tools/mouse_track.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

// The tool manager and the current tool in one: every event is logged as text.
struct FakeTools : quorvel::IToolManager, quorvel::IViewTools {
    std::vector<std::string> events;
    int wantsIdle = 0;
    int usesKeys = 0;
    int timerTicks = 0;
    int systemKeys = 0;

    int SelectTool(uint32_t) override { return 1; }
    void LoadSettings(int) override {}
    QWidget* CreateOptionsPanel(QWidget*) override { return nullptr; }
    bool CurrentBrushIndex(uint32_t*) override { return false; }
    void SetCurrentBrush(uint32_t) override {}
    IViewTools* GetViewTools() override { return this; }

    int Log(const char* what, const _tagPTzMOUSEPOINT* point)
    {
        events.push_back(std::string(what) + " " + std::to_string(point->x) + "," + std::to_string(point->y) + " " +
                         std::to_string(point->pressure));
        return 1;
    }
    int OnLButtonDown(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView*) override { return Log("down", point); }
    int OnLButtonUp(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView*) override { return Log("up", point); }
    int OnLButtonDblClk(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView*) override { return Log("double", point); }
    int OnMouseMove(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*) override { return 0; }
    int OnSetCursor(CTamsleyView*, int32_t, int32_t) override { return 0; }
    int OnKeyDown(uint32_t key, uint32_t, uint32_t, CTamsleyView*) override
    {
        events.push_back("key " + std::to_string(key));
        return usesKeys;
    }
    int OnKeyUp(uint32_t, uint32_t, uint32_t, CTamsleyView*) override { return usesKeys; }
    int OnSysKey() override { return ++systemKeys, 0; }
    int OnIdle(CTamsleyView*) override { return wantsIdle; }
    void OnTimer(CTamsleyView*) override { ++timerTicks; }
};

struct FakePanels : quorvel::IPanelProvider {
    std::vector<ITzPicture*> shown;
    QWidget* CreatePanel(quorvel::PanelSlot, QWidget*) override { return nullptr; }
    void ShowLayersOf(ITzPicture* picture) override { shown.push_back(picture); }
};

struct FakeEditing : quorvel::IViewEditing {
    std::vector<std::string> calls;
    void FillSelection(CTamsleyView*, const _tagPTzCOLOR& colour) override
    {
        calls.push_back("fill " + std::to_string(colour.components[0]));
    }
    void ClearSelection(CTamsleyView*) override { calls.push_back("clear"); }
};

class ViewInput : public ::testing::Test {
protected:
    ViewInput()
    {
        CShellParts parts;
        parts.toolManager = [this] {
            auto made = std::make_unique<FakeTools>();
            tools = made.get();
            return made;
        };
        parts.panels = [this] {
            auto made = std::make_unique<FakePanels>();
            panels = made.get();
            return made;
        };
        parts.viewEditing = [this] {
            auto made = std::make_unique<FakeEditing>();
            editing = made.get();
            return made;
        };
        test = std::make_unique<TestApp>(std::move(parts));
    }

    void SetUp() override
    {
        ASSERT_TRUE(test->app->InitInstance());
        CMainFrame* frame = test->app->GetMainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        for (int i = 0; i < 2; ++i) {
            pictures[i] = MakeArgbPicture(500, 400, [i](int x, int y) {
                return x < 20 && y < 20 ? 0x00000000u : 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | uint32_t(i);
            });
            views[i] = OpenPicture(frame, pictures[i], QStringLiteral("p%1.bmp").arg(i))->GetView();
        }
        QCoreApplication::processEvents();
    }

    // A left press and release at the client point of the viewport.
    void Click(CTamsleyView* view, QPoint at)
    {
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    }

    ScopedDialogs dialogs;
    FakeTools* tools = nullptr;
    FakePanels* panels = nullptr;
    FakeEditing* editing = nullptr;
    std::unique_ptr<TestApp> test;
    void* pictures[2] = {};
    CTamsleyView* views[2] = {};
};

TEST_F(ViewInput, TheClickThatActivatesAViewAndItsReleaseReachNoTool)
{
    ASSERT_TRUE(views[1]->IsActive());
    ASSERT_FALSE(views[0]->IsActive());
    Click(views[0], {30, 40});
    EXPECT_TRUE(views[0]->IsActive());
    EXPECT_FALSE(views[1]->IsActive());
    EXPECT_TRUE(tools->events.empty());
    Click(views[0], {31, 41});
    EXPECT_EQ(tools->events, (std::vector<std::string>{"down 31,41 255", "up 31,41 0"}));
    // The layers panel followed the active view; 5201 told each change.
    ASSERT_FALSE(panels->shown.empty());
    EXPECT_EQ(panels->shown.back(), ITzPictGetPictureClass(pictures[0]));
}

TEST_F(ViewInput, AReleaseCarriesNoPressureAndADoubleClickFull)
{
    QWidget* viewport = views[1]->viewport();
    const QPoint at(50, 60);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    // Qt sends a double click in place of the second press.
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &twice);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    EXPECT_EQ(tools->events,
              (std::vector<std::string>{"down 50,60 255", "up 50,60 0", "double 50,60 255", "up 50,60 0"}));
    // Other buttons are not the tools'.
    tools->events.clear();
    QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    EXPECT_TRUE(tools->events.empty());
}

TEST_F(ViewInput, ThePressureOfATabletEventGoesWithTheNextPressWhileThePenStaysNear)
{
    QWidget* viewport = views[1]->viewport();
    const QPoint at(70, 80);
    const auto tablet = [&](QEvent::Type type, double pressure) {
        QTabletEvent event(type, QPointingDevice::primaryPointingDevice(), QPointF(at), viewport->mapToGlobal(QPointF(at)),
                           pressure, 0, 0, 0, 0, 0, Qt::NoModifier, Qt::LeftButton, Qt::LeftButton);
        QApplication::sendEvent(viewport, &event);
        EXPECT_FALSE(event.isAccepted()) << "ignored, so that Qt makes a mouse event of it";
    };
    tablet(QEvent::TabletPress, 0.5);
    Click(views[1], at);
    // The release ended the tablet data: a press of the mouse alone has full pressure.
    Click(views[1], at);
    tablet(QEvent::TabletPress, 0.2);
    QTabletEvent away(QEvent::TabletLeaveProximity, QPointingDevice::primaryPointingDevice(), QPointF(), QPointF(), 0, 0,
                      0, 0, 0, 0, Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QApplication::sendEvent(qApp, &away);
    Click(views[1], at);
    EXPECT_EQ(tools->events, (std::vector<std::string>{"down 70,80 128", "up 70,80 0", "down 70,80 255", "up 70,80 0",
                                                       "down 70,80 255", "up 70,80 0"}));
    const struct {
        double pressure;
        uint8_t byte;
    } cases[] = {{0.5, 128}, {0, 0}, {1, 255}, {-0.2, 0}, {1.7, 255}, {1.0 / 255, 1},
                 {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TabletPressureByte(c.pressure), c.byte) << c.pressure;
}

TEST_F(ViewInput, KeysGoToTheToolFirstThenToTheEditingKeysAndNeverScroll)
{
    CTamsleyView* view = views[1];
    view->SetZoom({4, 1});
    view->ScrollToZoomed(100, 100);
    const int scrolled = view->horizontalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    CImageDataManager* colours = test->app->GetColours();
    const _tagPTzCOLOR front = {PTzCOLORMODE_ARGB, 255, {11, 0, 0}};
    const _tagPTzCOLOR back = {PTzCOLORMODE_ARGB, 255, {22, 0, 0}};
    colours->SetFrontColor(&front);
    colours->SetBackColor(&back);
    QTest::keyClick(view, Qt::Key_Backspace, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Backspace, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(editing->calls, (std::vector<std::string>{"fill 11", "fill 22", "clear"}));
    EXPECT_EQ(view->horizontalScrollBar()->value(), scrolled);
    EXPECT_NE(std::find(tools->events.begin(), tools->events.end(), "key " + std::to_string(Qt::Key_Right)),
              tools->events.end());
    // A tool that uses the keys keeps them.
    tools->usesKeys = 1;
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(editing->calls.size(), 3u);
    // Keys with Alt held go to the temporary-tool check only.
    tools->events.clear();
    QTest::keyClick(view, Qt::Key_A, Qt::AltModifier);
    EXPECT_GE(tools->systemKeys, 2);
    EXPECT_TRUE(tools->events.empty());
}

TEST_F(ViewInput, OnlyTheActiveViewRunsTheTimer)
{
    QTest::qWait(90);
    const int ticks = tools->timerTicks;
    EXPECT_GE(ticks, 2);
    views[1]->OnActivateView(false);
    QTest::qWait(60);
    EXPECT_EQ(tools->timerTicks, ticks);
}

TEST_F(ViewInput, TheInformationPanelGetsTheColourAndPositionUnderTheCursor)
{
    RInfoData* info = test->app->GetInfoData();
    CTamsleyView* view = views[1];
    view->SetZoom({2, 1});
    view->ScrollToZoomed(0, 0);
    const QPoint corner = view->PictureOrigin();
    QTest::mouseMove(view->viewport(), corner + QPoint(100, 61));
    uint32_t colour[3] = {};
    int32_t position[2] = {};
    ASSERT_EQ(info->GetColor(colour), 1);
    ASSERT_EQ(info->GetPosition(position), 1);
    EXPECT_EQ(position[0], 50);
    EXPECT_EQ(position[1], 30);
    EXPECT_EQ(colour[0], 50u);
    EXPECT_EQ(colour[1], 30u);
    EXPECT_EQ(colour[2], 1u);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view->viewport(), &leave);
    EXPECT_EQ(info->GetColor(colour), 0);
}

// The first error log made is the process's: the test's, made before the application's.
class ViewIdle : public ViewInput {
protected:
    TempFolder temp;
    _tagPTzFILE path = temp.Record("Error.dat");
    std::unique_ptr<Quorvel_ERROR> log = std::make_unique<Quorvel_ERROR>(&path);
};

TEST_F(ViewIdle, ALockLeftBehindIsBrokenOnlyWhenTheToolStopsAskingForTime)
{
    ASSERT_EQ(Quorvel_ERROR::GetErrorLog(), log.get());
    ITzPicture* picture = views[1]->GetPicture();
    uint32_t ticket = 0;
    ASSERT_EQ(picture->EditingStart(&ticket), 1);
    tools->wantsIdle = 1;
    for (int turn = 0; turn < 50; ++turn)
        EXPECT_EQ(test->app->OnIdle(), 1);
    EXPECT_EQ(picture->AbleEditing(), 0) << "the gesture keeps its ticket";
    // Under a modal dialog the work behind it holds the lock.
    tools->wantsIdle = 0;
    {
        QDialog modal(test->app->GetMainFrame());
        modal.setModal(true);
        modal.show();
        ASSERT_NE(QApplication::activeModalWidget(), nullptr);
        views[1]->OnIdle();
        EXPECT_EQ(picture->AbleEditing(), 0);
    }
    EXPECT_EQ(test->app->OnIdle(), 0);
    EXPECT_EQ(picture->AbleEditing(), 1);
    test->app->OnIdle();
    log.reset();  // closes the file
    const std::string bytes = temp.Read("Error.dat");
    const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
    size_t entries = 0;
    for (size_t at = text.find(u"Tool = "); at != std::u16string::npos; at = text.find(u"Tool = ", at + 1))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

}  // namespace
