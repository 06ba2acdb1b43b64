// Icon buttons of the kit: state tracking and painting.
#include "app/ui/icon_button.h"

#include <QEnterEvent>

RIconButton::RIconButton(QWidget* parent) : ROwnerDrawButton(parent)
{
    SetDefaultIcons();
}

void RIconButton::SetDefaultIcons()
{
    SetIcons(355, 356, 352, 354);
}

void RIconButton::SetIcons(int normal, int pressed, int hover, int disabled)
{
    m_normalIcon = normal;
    m_pressedIcon = pressed;
    m_hoverIcon = hover;
    m_disabledIcon = disabled;
    update();
}

QSize RIconButton::sizeHint() const
{
    // The normal icon's own size; a usual icon's without one.
    const QPixmap icon = LoadIcon(m_normalIcon);
    return icon.isNull() ? QSize(24, 24) : icon.size();
}

void RIconButton::Paint(QPainter& painter, const QRect&)
{
    int id = m_normalIcon;
    if (!isEnabled())
        id = m_disabledIcon;
    else if (m_pressed)
        id = m_pressedIcon;
    else if (m_hover)
        id = m_hoverIcon;
    DrawIcon(painter, id);
}

void RIconButton::DrawIcon(QPainter& painter, int id)
{
    const QPixmap icon = LoadIcon(id);
    if (!icon.isNull())
        painter.drawPixmap(0, 0, icon);
}

QPixmap RIconButton::LoadIcon(int) const
{
    return {};
}

void RIconButton::SetHover(bool hover)
{
    if (m_hover == uint8_t(hover))
        return;
    m_hover = hover;
    update();
}

void RIconButton::enterEvent(QEnterEvent* event)
{
    SetHover(true);
    ROwnerDrawButton::enterEvent(event);
}

void RIconButton::leaveEvent(QEvent* event)
{
    SetHover(false);
    ROwnerDrawButton::leaveEvent(event);
}

void RIconButton::mouseMoveEvent(QMouseEvent* event)
{
    SetHover(rect().contains(event->position().toPoint()));
    ROwnerDrawButton::mouseMoveEvent(event);
}

void RIconButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = 1;
        update();
    }
    ROwnerDrawButton::mousePressEvent(event);
}

void RIconButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = 0;
        update();
    }
    ROwnerDrawButton::mouseReleaseEvent(event);
}

void RCheckButtonIcon::SetCheck(bool checked)
{
    if (m_checked == uint8_t(checked))
        return;
    m_checked = checked;
    update();
}

void RCheckButtonIcon::Paint(QPainter& painter, const QRect& exposed)
{
    if (m_checked && isEnabled())
        DrawIcon(painter, PressedIcon());
    else
        RIconButton::Paint(painter, exposed);
}
