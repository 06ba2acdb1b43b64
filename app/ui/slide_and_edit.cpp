// The slider-and-box pair. The pair's own writes go under signal blockers, so only the
// user's changes come back to it: each value is reported once, however it was reached.
#include "app/ui/slide_and_edit.h"

#include <QAbstractSlider>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "app/ui/typed_number.h"

CRSlideAndEditCom::CRSlideAndEditCom(QWidget* parent, int sliderId, int editId)
    : QObject(parent), m_parent(parent)
{
    if (!parent)
        return;
    m_slider = parent->findChild<QAbstractSlider*>(QString::number(sliderId));
    m_edit = parent->findChild<QLineEdit*>(QString::number(editId));
    if (m_slider) {
        // Drags, clicks, steps and keys alike: every value the user gives the slider.
        connect(m_slider, &QAbstractSlider::valueChanged, this, [this] { SetValue(GetValue()); });
    }
    if (m_edit) {
        connect(m_edit, &QLineEdit::textEdited, this, &CRSlideAndEditCom::OnTextEdited);
        connect(m_edit, &QLineEdit::editingFinished, this, &CRSlideAndEditCom::OnEditingFinished);
    }
}

int CRSlideAndEditCom::SetRange(int minimum, int maximum)
{
    if (!m_parent || !m_slider || maximum < minimum)
        return 0;
    const int64_t span = int64_t(maximum) - minimum;
    if (span > std::numeric_limits<int>::max())
        return 0;
    m_minimum = minimum;
    m_maximum = maximum;
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setRange(0, int(span));
    }
    SetValue(GetValue());
    return 1;
}

void CRSlideAndEditCom::GetRange(int* minimum, int* maximum) const
{
    *minimum = m_minimum;
    *maximum = m_maximum;
}

int CRSlideAndEditCom::GetValue() const
{
    return m_slider ? m_slider->value() + m_minimum : 0;
}

int CRSlideAndEditCom::SetValue(int value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (m_slider && m_slider->value() != value - m_minimum) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(value - m_minimum);
    }
    int shown = 0;
    if (m_edit && (!ReadLeadingInteger(m_edit->text(), &shown) || shown != value)) {
        const QSignalBlocker quiet(m_edit);
        m_edit->setText(QString::number(value));
    }
    if (value != m_lastReported) {
        m_lastReported = value;
        emit slideEditChanged(value, this);
    }
    return value;
}

void CRSlideAndEditCom::OnTextEdited(const QString& text)
{
    // Text without a number, or with one below the minimum, may still grow into a value
    // in range: it waits for the next key or for the box to be left.
    int typed = 0;
    if (ReadLeadingInteger(text, &typed) && typed >= m_minimum)
        SetValue(typed);
}

void CRSlideAndEditCom::OnEditingFinished()
{
    int typed = 0;
    SetValue(m_edit && ReadLeadingInteger(m_edit->text(), &typed) ? typed : GetValue());
}
