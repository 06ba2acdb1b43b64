// After each modal dialog of the program closes, whatever closed it, and after each click
// on a button of the floating layers panel, the main window is the active window and the
// active view has the keyboard, so that Ctrl+Z works at once: on a real X server without
// a window manager (run under xvfb-run with QT_QPA_PLATFORM=xcb), through Resize, Layer
// Properties, New and the colour dialog, and the panel's layer buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/shell/main_frame.h"
#include "app/shell/panel_place.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_strings.h"
#include "app/ui/layer_manager_dlg.h"
#include "app/ui/program_parts.h"
#include "app/ui/status_button.h"
#include "tests/app/shell/shell_test_support.h"
#include "tests/app/shell/xcb_sanitizer_suppressions.h"

using namespace quorvel;
using namespace shelltest;

namespace {

// The dialog button box's button of the role.
void ClickButton(QWidget* dialog, QDialogButtonBox::ButtonRole role)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == role) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    FAIL() << "no button of the role";
}

// Closes the next modal dialog to open, once it is shown, in the way given.
void CloseNextModal(std::function<void(QWidget*)> close)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, close = std::move(close)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        QTest::qWait(100);  // as a person would see it first
        close(dialog);
    });
    poll->start(10);
}

// The program started on fresh settings with one picture open, counting the runs of its
// Undo command.
class ModalFocusScreenshot : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings().Wipe();
        m_test.emplace(MakeProgramParts());
        ASSERT_TRUE(m_test->app->InitInstance());
        frame = m_test->app->GetMainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        CChildFrame* child = OpenPicture(frame, MakeArgbPicture(200, 150, [](int, int) { return 0xFF808080u; }),
                                         QStringLiteral("focus.bmp"));
        view = child->GetView();
        QObject::connect(frame->Action(ID_EDIT_UNDO), &QAction::triggered, [this] { ++m_undos; });
    }

    // Whether the main window becomes the active window with the view holding the keys.
    bool ViewGetsTheKeys()
    {
        return QTest::qWaitFor(
            [&] { return QApplication::activeWindow() == frame && QApplication::focusWidget() == view; }, 2000);
    }

    // Whether Ctrl+Z, pressed where the keys go, runs Undo once.
    bool CtrlZUndoes()
    {
        const int before = m_undos;
        if (QWidget* focus = QApplication::focusWidget())
            QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
        return m_undos == before + 1;
    }

    CMainFrame* frame = nullptr;
    CTamsleyView* view = nullptr;

private:
    std::optional<TestApp> m_test;
    int m_undos = 0;
};

TEST_F(ModalFocusScreenshot, AfterEachDialogTheMainWindowIsActiveAndCtrlZReachesTheView)
{
    frame->FocusMainWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view; }));
    const struct {
        const char* name;
        int command;
        std::function<void(QWidget*)> close;
    } dialogs[] = {
        {"Resize, OK", ID_RESIZE, [](QWidget* d) { ClickButton(d, QDialogButtonBox::AcceptRole); }},
        {"Layer Properties, Escape", ID_LAYER_PROPERTIES, [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"New, Cancel", ID_FILE_NEW, [](QWidget* d) { ClickButton(d, QDialogButtonBox::RejectRole); }},
        {"colour, close button", ID_FRONT_COLOR, [](QWidget* d) { d->close(); }},
    };
    for (const auto& dialog : dialogs) {
        // Something to undo, made from the menu.
        frame->Action(ID_LAYER_NEW)->trigger();
        CloseNextModal(dialog.close);
        frame->Action(dialog.command)->trigger();
        EXPECT_TRUE(ViewGetsTheKeys()) << dialog.name;
        EXPECT_TRUE(CtrlZUndoes()) << dialog.name;
    }
    QScreen* screen = frame->screen();
    const QRect window = frame->frameGeometry().translated(-screen->geometry().topLeft());
    EXPECT_TRUE(screen->grabWindow(0, window.x(), window.y(), window.width(), window.height())
                    .save(ScreenshotPath(QStringLiteral("modal_focus_xcb.png"))));
}

TEST_F(ModalFocusScreenshot, AfterEachLayersPanelButtonCtrlZReachesTheView)
{
    QDockWidget* dock = frame->GetPanel(PanelSlot::Layers);
    auto* panel = dock ? dynamic_cast<CLayerManagerDlg*>(dock->widget()) : nullptr;
    ASSERT_TRUE(panel && dock->isFloating());
    for (const int button : {CLayerManagerDlg::kNewLayerId, CLayerManagerDlg::kDeleteId,
                             CLayerManagerDlg::kMergeDownId, CLayerManagerDlg::kMergeAllId}) {
        // A layer for the button to work on, made from the menu; then the panel's window
        // active, as a click on it leaves it. (A tool window counts as active while its
        // main window is, so the wait is for the active window itself.)
        frame->Action(ID_LAYER_NEW)->trigger();
        dock->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dock; })) << button;
        QTest::mouseClick(panel->GetButton(button), Qt::LeftButton);
        EXPECT_TRUE(ViewGetsTheKeys()) << button;
        EXPECT_TRUE(CtrlZUndoes()) << button;
    }
}

}  // namespace
