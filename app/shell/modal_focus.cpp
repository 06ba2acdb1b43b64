// The return waits for the event loop's next turn: by then the dialog's own run has
// ended, or the next dialog it led to has opened and keeps the keyboard.
#include "app/shell/modal_focus.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "app/shell/main_frame.h"

CModalFocusReturn::CModalFocusReturn(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    qApp->installEventFilter(this);
}

bool CModalFocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->isModal())
            QTimer::singleShot(0, this, &CModalFocusReturn::ReturnFocus);
    }
    return QObject::eventFilter(watched, event);
}

void CModalFocusReturn::ReturnFocus()
{
    if (QApplication::activePopupWidget())
        return;
    if (QWidget* below = QApplication::activeModalWidget()) {
        below->activateWindow();
        return;
    }
    if (m_frame->isVisible())
        m_frame->FocusMainWindow();
}
