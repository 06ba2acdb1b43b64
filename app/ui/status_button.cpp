// State tracking and icon painting of the hover buttons.
#include "app/ui/status_button.h"

#include <QEnterEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/ui/application_support.h"

void RStatusButton::DrawItem(QPainter&) {}

void RStatusButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(painter);
}

void RStatusButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (isEnabled() && !m_hover) {
        m_hover = true;
        m_state = kHover;
        update();
    }
}

void RStatusButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    if (isEnabled() && m_hover) {
        m_hover = false;
        m_state = kNormal;
        update();
    }
}

void RStatusButton::mousePressEvent(QMouseEvent* event)
{
    QAbstractButton::mousePressEvent(event);
    if (isEnabled() && event->button() == Qt::LeftButton) {
        m_state = kPressed;
        update();
    }
}

void RStatusButton::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton::mouseReleaseEvent(event);
    if (isEnabled() && event->button() == Qt::LeftButton) {
        m_state = m_hover ? kHover : kNormal;
        update();
    }
}

void RStatusButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_hover) {
        m_hover = false;
        m_state = kNormal;
        update();
    }
}

void RCIconButton::SetIcons(int normal, int hover, int pressed, int disabled)
{
    m_normal = normal;
    m_hoverIcon = hover ? hover : normal;
    m_pressed = pressed ? pressed : normal;
    m_disabled = disabled ? disabled : normal;
    updateGeometry();
    update();
}

void RCIconButton::SetTooltip(const QString& text)
{
    setToolTip(text);
}

QSize RCIconButton::sizeHint() const
{
    const QPixmap icon = RApplication::LoadImage(m_normal);
    return icon.isNull() ? QSize(24, 24) : icon.size();
}

void RCIconButton::DrawItem(QPainter& painter)
{
    int id = m_normal;
    if (!isEnabled())
        id = m_disabled;
    else if (GetState() == kHover)
        id = m_hoverIcon;
    else if (GetState() == kPressed)
        id = m_pressed;
    DrawIconOf(painter, id);
}

void RCIconButton::DrawIconOf(QPainter& painter, int id)
{
    const QPixmap icon = RApplication::LoadImage(id);
    if (!icon.isNull())
        painter.drawPixmap(0, 0, icon);
}
