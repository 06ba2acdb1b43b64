// The gradient's line and its run, to the end on the spot.
#include "app/ui/tool_gradient.h"

#include <new>

#include "app/shell/current_colours.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_feedback.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_panels.h"
#include "engine/tools/tool_gradient.h"

namespace {
constexpr uint32_t kGradientTemplate = 239;
}

CTool_Gradient::CTool_Gradient() : CToolBase(tool_id::GRAD, kGradientTemplate, 1094) {}

void CTool_Gradient::ShowLine(CTamsleyView* view) const
{
    view->SetOverlay(kGradientOverlay,
                     DottedOverlay(QPolygon({PictureToClient(view, m_start), PictureToClient(view, m_end)})));
}

int CTool_Gradient::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    PTzPOINT pressed;
    // A press the view cannot place starts no gesture: the release then paints nothing.
    if (!ToPicturePixel(view, point, &pressed))
        return view ? 1 : 0;
    m_busy = 1;
    m_start = m_end = pressed;
    ShowLine(view);
    return 1;
}

int CTool_Gradient::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    PTzPOINT at;
    if (!m_busy || !ToPicturePixel(view, point, &at))
        return 0;
    m_end = at;
    ShowLine(view);
    return 1;
}

int CTool_Gradient::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    const int released = CToolBase::OnLButtonUp(flags, point, view);
    if (!m_busy)
        return released;
    m_busy = 0;
    if (!view)
        return released;
    view->RemoveOverlay(kGradientOverlay);
    Paint(view->GetPicture());
    return released;
}

void CTool_Gradient::Paint(ITzPicture* picture) const
{
    CImageDataManager* colours = CImageDataManager::GetImageDataManager();
    if (!picture || !colours || (m_start.x == m_end.x && m_start.y == m_end.y) || m_type > ITzGRADIENT_RADIAL)
        return;
    _tagITzGRADIENTINFO_2 info = {};
    info.startX = m_start.x;
    info.startY = m_start.y;
    info.endX = m_end.x;
    info.endY = m_end.y;
    colours->GetFrontColor(&info.startColor);
    colours->GetBackColor(&info.endColor);
    ITzToolGradient gradient;
    void* job = gradient.DoGradient_2Start(picture, _tagITzGRADIENT_2_TYPE(m_type), &info, m_opacity);
    if (!job)
        return;
    while (gradient.DoGradient_2Run(job, nullptr)) {
    }
    gradient.DoGradient_2End(job);
}

int CTool_Gradient::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowPaintingCursor(view, IDC_TOOL_GRADIENT);
}

void CTool_Gradient::SetOptions(const uint8_t* bytes, uint32_t size)
{
    DecodeGradientRecord(bytes, size, &m_type, &m_opacity);
}

void CTool_Gradient::GetOptions(uint8_t* buffer, uint32_t* size)
{
    if (size)
        *size = EncodeGradientRecord(m_type, m_opacity, buffer, *size);
}

QWidget* CTool_Gradient::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsGradient(this, parent);
}
