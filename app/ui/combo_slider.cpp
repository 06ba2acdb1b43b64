// The slide combo's popup slider.
#include "app/ui/combo_slider.h"

#include <QHBoxLayout>
#include <QKeyEvent>

#include "app/ui/slide_combobox.h"

void CPopupSlider::focusOutEvent(QFocusEvent* event)
{
    CNPageSliderBar::focusOutEvent(event);
    if (QWidget* popup = parentWidget())
        popup->close();
}

CComboSlider::CComboSlider(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), m_slider(new CPopupSlider(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedSize(160, 30);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_slider);
    setFocusProxy(m_slider);
    // Dragging the thumb reports every position it reaches; line and page steps wait for
    // the close.
    connect(m_slider, &QSlider::sliderMoved, this, [this](int position) {
        if (m_owner)
            m_owner->SetValue(position, true);
    });
    connect(m_slider, &QSlider::sliderReleased, this, [this] {
        if (m_owner)
            m_owner->SetValue(m_slider->value(), true);
    });
}

void CComboSlider::SetRange(int minimum, int maximum)
{
    m_slider->setRange(minimum, maximum);
}

void CComboSlider::SetPos(int position)
{
    m_slider->setValue(position);
}

void CComboSlider::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    if (m_owner)
        m_owner->SetValue(m_slider->value(), false);
}

void CComboSlider::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        close();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}
