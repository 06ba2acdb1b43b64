// The eyedropper's pick, through the view's colour pick.
#include "app/ui/tool_eyedrop.h"

#include "app/shell/colour_pick.h"
#include "app/shell/current_colours.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"

CTool_Eyedrop::CTool_Eyedrop() : CToolBase(tool_id::EYED, kNoOptionsTemplate, 1086) {}

void CTool_Eyedrop::Pick(const _tagPTzMOUSEPOINT* point, CTamsleyView* view) const
{
    CImageDataManager* colours = CImageDataManager::GetImageDataManager();
    PTzPOINT at;
    _tagPTzCOLOR colour;
    if (!colours || !ToPicturePixel(view, point, &at) || !PickPictureColor(view->GetPicture(), &at, &colour))
        return;
    if (m_toFront)
        colours->SetFrontColor(&colour);
    else
        colours->SetBackColor(&colour);
}

int CTool_Eyedrop::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_busy = 1;
    m_toFront = !ShiftIn(flags);
    Pick(point, view);
    return 1;
}

int CTool_Eyedrop::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy)
        return 0;
    Pick(point, view);
    return 1;
}

int CTool_Eyedrop::OnLButtonUp(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    m_busy = 0;
    return 1;
}

int CTool_Eyedrop::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowCursor(view, IDC_TOOL_EYEDROP);
}
