// The held keys, from the application's input events.
#include "app/ui/tool_key_state.h"

#include <QApplication>
#include <QKeyEvent>

CToolKeyState::CToolKeyState()
{
    if (qApp)
        qApp->installEventFilter(this);
}

CToolKeyState::~CToolKeyState()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void CToolKeyState::TakeModifiers(Qt::KeyboardModifiers modifiers)
{
    m_control = modifiers.testFlag(Qt::ControlModifier);
    m_alt = modifiers.testFlag(Qt::AltModifier);
    m_shift = modifiers.testFlag(Qt::ShiftModifier);
}

void CToolKeyState::ReleaseAll()
{
    m_space = m_control = m_alt = m_shift = false;
}

bool CToolKeyState::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool pressed = event->type() == QEvent::KeyPress;
        TakeModifiers(key->modifiers());
        switch (key->key()) {
        case Qt::Key_Space:
            if (!key->isAutoRepeat())
                m_space = pressed;
            break;
        case Qt::Key_Control:
            m_control = pressed;
            break;
        case Qt::Key_Alt:
            m_alt = pressed;
            break;
        case Qt::Key_Shift:
            m_shift = pressed;
            break;
        default:
            break;
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        TakeModifiers(static_cast<const QInputEvent*>(event)->modifiers());
        break;
    case QEvent::ApplicationStateChange:
        if (static_cast<const QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            ReleaseAll();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
