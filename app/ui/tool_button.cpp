// The tool palette's buttons.
#include "app/ui/tool_button.h"

void RToolButton::SetSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
    if (selected && m_palette)
        m_palette->ToolButtonSelected(this);
}

void RToolButton::DrawItem(QPainter& painter)
{
    if (m_selected && isEnabled())
        DrawIconOf(painter, PressedIcon());
    else
        RCIconButton::DrawItem(painter);
}
