// The slide combo: typed and dragged values, their broadcasts, and opening the popup.
#include "app/ui/slide_combobox.h"

#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "app/ui/combo_slider.h"
#include "app/ui/typed_number.h"

namespace {

// The longest text read back from the box.
constexpr qsizetype kTextLimit = 256;

}  // namespace

CSlideCombobox::CSlideCombobox(QWidget* parent)
    : QLineEdit(parent), m_arrow(new QToolButton(this)), m_popup(new CComboSlider(this))
{
    m_arrow->setArrowType(Qt::DownArrow);
    m_arrow->setFocusPolicy(Qt::NoFocus);
    m_arrow->setCursor(Qt::ArrowCursor);
    connect(m_arrow, &QToolButton::clicked, this, &CSlideCombobox::slideComboDrop);
    connect(this, &CSlideCombobox::slideComboDrop, this, &CSlideCombobox::OpenPopup, Qt::QueuedConnection);
    PlaceArrow();
    UpdateText();
}

CSlideCombobox::~CSlideCombobox()
{
    // The popup goes with this widget's children; it must not commit to a combo half gone.
    m_popup->SetOwner(nullptr);
}

int CSlideCombobox::SetValue(int value, bool tracking)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (tracking) {
        if (value == m_value)
            return value;
        m_value = value;
        ValueChange change{m_value, m_committed};
        Broadcast(kValueChanging, &change, nullptr);
    } else {
        m_value = value;
        ValueChange change{m_value, m_committed};
        m_committed = m_value;
        Broadcast(kValueCommitted, &change, nullptr);
    }
    UpdateText();
    return value;
}

int CSlideCombobox::SetValueQuiet(int value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    m_value = value;
    m_committed = value;
    // Text typed and not yet committed goes too, even for an unchanged value: it was
    // meant for what the box showed before (the layers panel's previous active layer).
    if (text() != FormatValue())
        UpdateText();
    return value;
}

void CSlideCombobox::SetRangePercent()
{
    m_minimum = 0;
    m_maximum = 100;
}

void CSlideCombobox::UpdateText()
{
    setText(FormatValue());
}

QString CSlideCombobox::FormatValue() const
{
    return QString::number(m_value);
}

void CSlideCombobox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup taking the focus (this combo's slider, or the box's own menu) is no leaving:
    // the popup commits what the user typed as it opens.
    if (event->reason() != Qt::PopupFocusReason)
        CommitText();
}

void CSlideCombobox::keyPressEvent(QKeyEvent* event)
{
    const bool altArrow = (event->modifiers() & Qt::AltModifier) && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up);
    if (event->key() == Qt::Key_F4 || altArrow) {
        emit slideComboDrop();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CSlideCombobox::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceArrow();
}

void CSlideCombobox::OpenPopup()
{
    if (m_popup->isVisible())
        return;
    if (isModified())
        CommitText();
    m_popup->SetRange(m_minimum, m_maximum);
    m_popup->SetPos(m_value);
    m_popup->SetOwner(this);
    // Under the combo, right edges in line.
    const QPoint bottomRight = mapToGlobal(QPoint(width(), height()));
    m_popup->move(bottomRight.x() - m_popup->width(), bottomRight.y());
    m_popup->show();
    m_popup->GetSlider()->setFocus(Qt::PopupFocusReason);
}

void CSlideCombobox::CommitText()
{
    int typed = 0;
    if (ReadLeadingInteger(QStringView(text()).left(kTextLimit), &typed))
        SetValue(typed, false);
    else
        UpdateText();  // nothing to commit: the box shows the value in force again
}

void CSlideCombobox::PlaceArrow()
{
    const int side = height() - 2;
    m_arrow->setGeometry(width() - side - 1, 1, side, side);
    setTextMargins(0, 0, side, 0);
}
