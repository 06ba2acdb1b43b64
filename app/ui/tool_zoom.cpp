// The zoom tool's clicks and rectangle.
#include "app/ui/tool_zoom.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_feedback.h"
#include "app/ui/tool_key_state.h"
#include "app/ui/tool_options_panels.h"
#include "engine/tools/mouse_track.h"

namespace {
constexpr uint32_t kZoomTemplate = 148;
}

CTOOL_ZOOM::CTOOL_ZOOM() : CToolBase(tool_id::ZOOM, kZoomTemplate, 1088) {}

void CTOOL_ZOOM::ShowRectangle(CTamsleyView* view) const
{
    view->SetOverlay(kZoomOverlay, DottedOverlay(RectangleOutline(QPoint(m_anchor.x, m_anchor.y),
                                                                  QPoint(m_current.x, m_current.y))));
}

int CTOOL_ZOOM::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_dragged = false;
    if (!view || !point)
        return 0;
    if (ZoomsOut(ShiftIn(flags))) {
        view->ZoomOutAt(view->ClientToZoomed({point->x, point->y}));
        return 1;
    }
    m_busy = 1;
    m_anchor = m_current = {point->x, point->y};
    CToolBase::OnLButtonDown(flags, point, view);
    ShowRectangle(view);
    return 1;
}

int CTOOL_ZOOM::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy || !view || !point)
        return 0;
    if (!m_dragged && std::abs(point->x - m_anchor.x) <= kDragThreshold &&
        std::abs(point->y - m_anchor.y) <= kDragThreshold)
        return 1;
    m_dragged = true;
    if (point->x != m_current.x || point->y != m_current.y) {
        m_current = {point->x, point->y};
        ShowRectangle(view);
    }
    return 1;
}

int CTOOL_ZOOM::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy || !view)
        return 0;
    m_busy = 0;
    CToolBase::OnLButtonUp(flags, point, view);
    view->RemoveOverlay(kZoomOverlay);
    if (m_dragged) {
        const PTzPOINT a = view->ClientToZoomed(m_anchor);
        const PTzPOINT b = view->ClientToZoomed(m_current);
        view->ZoomToRect({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
    } else if (point) {
        view->ZoomInAt(view->ClientToZoomed({point->x, point->y}));
    }
    return 1;
}

int CTOOL_ZOOM::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    const CToolKeyState* keys = Keys();
    return ShowCursor(view, ZoomsOut(keys && keys->IsShiftDown()) ? IDC_TOOL_ZOOM_OUT : IDC_TOOL_ZOOM_IN);
}

QWidget* CTOOL_ZOOM::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsZoom(this, parent);
}
