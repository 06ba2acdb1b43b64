// The hand's drag.
#include "app/ui/tool_pan.h"

#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "engine/tools/mouse_track.h"

namespace {
constexpr uint32_t kPanTemplate = 149;
}

CTOOL_PAN::CTOOL_PAN() : CToolBase(tool_id::PAN, kPanTemplate, 1087) {}

int CTOOL_PAN::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_busy = 1;
    if (!view || !point)
        return 0;
    m_pressed = {point->x, point->y};
    CToolBase::OnLButtonDown(flags, point, view);
    // The zoomed position at the client's corner is the scroll position on every axis the
    // view can scroll.
    m_scroll = view->ClientToZoomed({0, 0});
    return 1;
}

void CTOOL_PAN::ScrollFor(const _tagPTzMOUSEPOINT* point, CTamsleyView* view) const
{
    const int64_t x = int64_t(m_scroll.x) + m_pressed.x - point->x;
    const int64_t y = int64_t(m_scroll.y) + m_pressed.y - point->y;
    view->ScrollToZoomed(PTzSaturate32(x), PTzSaturate32(y));
}

int CTOOL_PAN::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy || !view || !point)
        return 0;
    ScrollFor(point, view);
    return 1;
}

int CTOOL_PAN::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    const bool wasBusy = m_busy != 0;
    m_busy = 0;
    if (!view)
        return 0;
    CToolBase::OnLButtonUp(flags, point, view);
    if (wasBusy && point)
        ScrollFor(point, view);
    return 1;
}

int CTOOL_PAN::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowCursor(view, IDC_TOOL_PAN);
}
