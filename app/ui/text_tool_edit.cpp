// The text tool's key sink.
#include "app/ui/text_tool_edit.h"

#include <QInputMethodEvent>

namespace {

// What the Delete key types; the text tool deletes on the key itself, never on it.
constexpr char16_t kDeleteCharacter = 0x7F;

}  // namespace

RTextToolEdit::RTextToolEdit(QWidget* parent) : RControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFixedSize(1, 1);
}

void RTextToolEdit::OnAttach()
{
    // Attaching took the placeholder's size; the sink keeps its single pixel.
    setFixedSize(1, 1);
}

QVariant RTextToolEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRect(0, 0, 1, 1);
    default:
        return RControl::inputMethodQuery(query);
    }
}

void RTextToolEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_receiver) {
        m_receiver->OnTextKeyDown(event->key(), event->modifiers());
        PassText(event->text());
    }
    event->accept();
}

void RTextToolEdit::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

void RTextToolEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (m_receiver)
        PassText(event->commitString());
    event->accept();
}

void RTextToolEdit::PassText(const QString& text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar unit = text[at];
        if (unit.unicode() == kDeleteCharacter)
            continue;
        // A surrogate counts only with its partner; an input method's stray half is dropped.
        if (unit.isLowSurrogate())
            continue;
        const bool pair = unit.isHighSurrogate();
        if (pair && (at + 1 >= text.size() || !text[at + 1].isLowSurrogate()))
            continue;
        // The receiver may let go of the sink while it takes a unit.
        if (!m_receiver)
            return;
        m_receiver->OnTextChar(unit.unicode());
        if (pair) {
            ++at;
            if (!m_receiver)
                return;
            m_receiver->OnTextChar(text[at].unicode());
        }
    }
}
