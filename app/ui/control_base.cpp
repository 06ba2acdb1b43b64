// Attaching kit controls in their placeholders' places, and their painting.
#include "app/ui/control_base.h"

RControlBase::RControlBase(QWidget* control) : m_control(control) {}

RControlBase::~RControlBase()
{
    Detach();
}

bool RControlBase::Attach(QWidget* parent, int id)
{
    if (!parent || parent == m_parent)
        return false;
    QWidget* placeholder = nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>(QString::number(id))) {
        if (child != m_control && !m_control->isAncestorOf(child)) {
            placeholder = child;
            break;
        }
    }
    if (!placeholder)
        return false;
    Detach();

    QWidget* slotParent = placeholder->parentWidget();
    QLayout* layout = slotParent->layout();
    std::unique_ptr<QLayoutItem> replaced(layout ? layout->replaceWidget(placeholder, m_control) : nullptr);
    if (!replaced) {
        layout = nullptr;
        m_control->setParent(slotParent);
        m_control->setGeometry(placeholder->geometry());
    }
    m_control->setObjectName(placeholder->objectName());
    m_control->setSizePolicy(placeholder->sizePolicy());
    m_control->setMinimumSize(placeholder->minimumSize());
    m_control->setMaximumSize(placeholder->maximumSize());
    m_control->setToolTip(placeholder->toolTip());
    m_control->setEnabled(placeholder->isEnabledTo(slotParent));
    m_placeholderShown = !placeholder->isHidden();
    m_control->setVisible(m_placeholderShown);

    placeholder->hide();
    placeholder->setParent(nullptr);
    m_placeholder.reset(placeholder);
    m_parent = parent;
    m_slotParent = slotParent;
    m_slotLayout = layout;
    OnAttach();
    return true;
}

void RControlBase::Detach()
{
    if (!m_placeholder)
        return;
    // A panel that deletes its children has already let go of this one: the placeholder
    // goes with the panel, and the control is left alone.
    const bool panelGoing =
        !m_slotParent || (m_control->parent() == m_slotParent && !m_slotParent->children().contains(m_control));
    if (panelGoing) {
        m_placeholder.reset();
    } else {
        QWidget* placeholder = m_placeholder.release();
        placeholder->setParent(m_slotParent);
        std::unique_ptr<QLayoutItem> replaced(m_slotLayout ? m_slotLayout->replaceWidget(m_control, placeholder) : nullptr);
        if (!replaced)
            placeholder->setGeometry(m_control->geometry());
        placeholder->setVisible(m_placeholderShown);
        m_control->hide();
        m_control->setParent(nullptr);
    }
    m_parent = nullptr;
    m_slotParent = nullptr;
    m_slotLayout = nullptr;
}

void RControlBase::Invalidate()
{
    m_control->update();
}

QRect RControlBase::GetClientRect() const
{
    return m_control->rect();
}

void RControlBase::PaintControl(QWidget* surface, const QRect& exposed)
{
    QPainter painter(surface);
    if (!OnEraseBackground(painter, exposed))
        painter.fillRect(exposed, surface->palette().brush(surface->backgroundRole()));
    Paint(painter, exposed);
}
