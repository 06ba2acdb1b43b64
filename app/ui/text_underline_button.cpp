// The underline toggle: resource icons and the focus report.
#include "app/ui/text_underline_button.h"

#include <QApplication>

#include "app/ui/application_support.h"

RTextUnderLineButton::RTextUnderLineButton(QWidget* parent) : RCheckButtonIcon(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Only the application knows which widget lost the focus to this one.
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* previous, QWidget* now) {
        if (now == this && m_listener)
            m_listener->FocusTakenFrom(previous);
    });
}

QPixmap RTextUnderLineButton::LoadIcon(int id) const
{
    return RApplication::LoadImage(id);
}
