// The lasso's path and polygon.
#include "app/ui/tool_lasso.h"

#include "app/shell/picture_view.h"
#include "app/ui/tool_feedback.h"
#include "engine/tools/mouse_track.h"

CTool_Lasso::CTool_Lasso() : CTool_Marquee_Base(tool_id::LASF, kNoOptionsTemplate, 1075) {}

int CTool_Lasso::BeginGesture(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_busy = 1;
    ClearPath(view);
    Append(view, point);
    m_firstPoint = true;
    return 1;
}

int CTool_Lasso::ContinueGesture(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy || !view || !point)
        return 0;
    m_firstPoint = false;
    Append(view, point);
    return 1;
}

int CTool_Lasso::EndGesture(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy)
        return view ? 1 : 0;
    m_busy = 0;
    ITzPicture* picture = ViewPicture(view);
    if (picture && point) {
        if (m_firstPoint) {
            Deselect(picture);
        } else {
            Append(view, point);
            if (std::unique_ptr<ITzToolMask> mask = NewMask())
                mask->DrawPolygonSelection(picture, uint32_t(m_points.size()), m_points.data(), 255,
                                           int32_t(m_operation));
        }
    }
    ClearPath(view);
    return view ? 1 : 0;
}

void CTool_Lasso::Append(CTamsleyView* view, const _tagPTzMOUSEPOINT* sample)
{
    _tagPTzMOUSEPOINT converted = *sample;
    if (!ToPictureSubpixel(view, &converted))
        return;
    const PTzPOINT point = {converted.x, converted.y};
    if (m_points.size() >= kCapacity || (!m_points.empty() && m_points.back().x == point.x &&
                                         m_points.back().y == point.y))
        return;
    m_points.push_back(point);
    // A run full of points starts the next, from the run's last point.
    const QPoint client(sample->x, sample->y);
    if (m_drawn.empty() || m_drawn.back().size() >= kLassoOverlayPoints)
        m_drawn.push_back(m_drawn.empty() ? QPolygon() : QPolygon({m_drawn.back().back()}));
    m_drawn.back() << client;
    const int id = kLassoOverlayFirst + int(m_drawn.size()) - 1;
    view->SetOverlay(id, SolidOverlay(m_drawn.back()));
}

void CTool_Lasso::ClearPath(CTamsleyView* view)
{
    if (view) {
        for (size_t run = 0; run < m_drawn.size(); ++run)
            view->RemoveOverlay(kLassoOverlayFirst + int(run));
    }
    m_drawn.clear();
    m_points.clear();
    m_points.shrink_to_fit();
}
