// RTextToolEdit: the text tool's key sink on the text options panel. A focusable widget of
// one pixel (a hidden widget cannot hold the focus) that hands every key press and every
// character, typed or committed by an input method, to its receiver, the text tool's
// front-end, and lets no key through to its parents. Shortcuts stay the frame's: Ctrl+Z,
// X, C, V and A reach the menus as they would from the view.
#pragma once

#include <QWidget>

#include "app/ui/control_base.h"

// What the text tool takes from its key sink.
class ITextKeyReceiver {
public:
    virtual ~ITextKeyReceiver() = default;
    // A key went down (Qt's key code) with the modifiers held.
    virtual void OnTextKeyDown(int key, Qt::KeyboardModifiers modifiers) = 0;
    // One UTF-16 unit of typed text: a character outside the basic plane comes as its two
    // surrogates, one call each (a surrogate without its partner never comes). Control
    // characters (Backspace 8, Enter 13) come too, all but Delete's 0x7F.
    virtual void OnTextChar(char16_t unit) = 0;
};

class RTextToolEdit : public RControl<QWidget> {
public:
    explicit RTextToolEdit(QWidget* parent = nullptr);

    // The receiver of the keys, or null: the keys are then kept and dropped.
    void SetReceiver(ITextKeyReceiver* receiver) { m_receiver = receiver; }
    ITextKeyReceiver* GetReceiver() const { return m_receiver; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void OnAttach() override;
    bool OnEraseBackground(QPainter&, const QRect&) override { return true; }
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void PassText(const QString& text);

    ITextKeyReceiver* m_receiver = nullptr;
};
