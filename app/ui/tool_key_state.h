// CToolKeyState: which of Space, Ctrl, Alt and Shift are held, for the temporary tools and
// for the tools that read a key outside an event of their own (cursors, idle autoscroll).
// An application event filter watches every input event: the modifiers of each event set
// Ctrl, Alt and Shift (either side), except that a modifier key's own press or release
// decides its state (the window system reports a modifier key's press without its own
// bit). Space has no modifier bit: its press and release set it, auto-repeats are passed
// over, and it is let go when the program loses the focus, as a release in another
// program never arrives.
#pragma once

#include <QObject>

class CToolKeyState : public QObject {
public:
    // Watches the application's events for its life.
    CToolKeyState();
    ~CToolKeyState() override;

    bool IsSpaceDown() const { return m_space; }
    bool IsControlDown() const { return m_control; }
    bool IsAltDown() const { return m_alt; }
    bool IsShiftDown() const { return m_shift; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeModifiers(Qt::KeyboardModifiers modifiers);
    void ReleaseAll();

    bool m_space = false;
    bool m_control = false;
    bool m_alt = false;
    bool m_shift = false;
};
