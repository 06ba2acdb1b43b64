// Moving the selection mask by drag and by key.
#include "app/ui/tool_marquee_move.h"

#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_manager.h"
#include "app/ui/virtual_keys.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_mask.h"

namespace {

CToolBase* MoveTool()
{
    CToolManager* manager = CToolManager::GetToolManager();
    return manager ? manager->FindTool(tool_id::MOVE) : nullptr;
}

bool ActiveLayerFloats(ITzPicture* picture)
{
    ITzLayerBase* active = picture->GetLayerbyIndex(picture->GetActiveLayerID());
    return active && active->IsImageLayer() && static_cast<ITzLayerImage*>(active)->GetFloatingLayer();
}

}  // namespace

bool ArrowKeyStep(uint32_t key, bool shift, _tagPTzOFFSET* step)
{
    const int32_t distance = shift ? 10 : 1;
    switch (key) {
    case VK_LEFT:
        *step = {-distance, 0};
        return true;
    case VK_UP:
        *step = {0, -distance};
        return true;
    case VK_RIGHT:
        *step = {distance, 0};
        return true;
    case VK_DOWN:
        *step = {0, distance};
        return true;
    default:
        return false;
    }
}

CTool_Marquee_Move::CTool_Marquee_Move() : CToolBase(tool_id::MAGM, kNoOptionsTemplate, 1074) {}

bool CTool_Marquee_Move::MoveSelection(ITzPicture* picture, _tagPTzOFFSET step)
{
    ITzLayerImage* selection = picture ? picture->GetSelectionLayer(0) : nullptr;
    if (!selection)
        return false;
    if (step.x != 0 || step.y != 0)
        selection->Move(&step);
    return true;
}

int CTool_Marquee_Move::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    ITzPicture* picture = ViewPicture(view);
    if (!picture || !point || m_busy || !picture->AbleEditing())
        return 0;
    if (ActiveLayerFloats(picture)) {
        CToolBase* move = MoveTool();
        m_toMoveTool = move != nullptr;
        return move ? move->OnLButtonDown(flags, point, view) : 0;
    }
    PTzPOINT pressed;
    if (!ToPicturePixel(view, point, &pressed) || !picture->GetSelectionLayer(0) ||
        !picture->EditingStart(&m_ticket))
        return 0;
    m_busy = 1;
    m_start = m_last = pressed;
    return 1;
}

int CTool_Marquee_Move::OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (m_toMoveTool) {
        CToolBase* move = MoveTool();
        return move ? move->OnMouseMove(flags, point, view) : 0;
    }
    PTzPOINT at;
    if (!m_busy || !ToPicturePixel(view, point, &at))
        return 0;
    if (!MoveSelection(view->GetPicture(), {at.x - m_last.x, at.y - m_last.y}))
        return 0;
    m_last = at;
    return 1;
}

int CTool_Marquee_Move::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (m_toMoveTool) {
        m_toMoveTool = false;
        CToolBase::OnLButtonUp(flags, point, view);
        CToolBase* move = MoveTool();
        return move ? move->OnLButtonUp(flags, point, view) : 0;
    }
    CToolBase::OnLButtonUp(flags, point, view);
    if (!m_busy)
        return 0;
    m_busy = 0;
    ITzPicture* picture = ViewPicture(view);
    if (!picture)
        return 0;
    PTzPOINT at = m_last;
    if (ToPicturePixel(view, point, &at) && MoveSelection(picture, {at.x - m_last.x, at.y - m_last.y}))
        m_last = at;
    // The selection has moved already; the step records the whole drag.
    const _tagPTzOFFSET offset = {m_last.x - m_start.x, m_last.y - m_start.y};
    ITzToolMask mask;
    mask.MoveUndoSave(picture, &offset);
    picture->EditingStop(m_ticket);
    return 1;
}

int CTool_Marquee_Move::OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    if (!picture || !picture->AbleEditing())
        return 0;
    if (ActiveLayerFloats(picture)) {
        CToolBase* move = MoveTool();
        return move ? move->OnKeyDown(key, repeat, flags, view) : 0;
    }
    _tagPTzOFFSET step;
    uint32_t ticket = 0;
    if (!ArrowKeyStep(key, ShiftIn(flags), &step) || !picture->GetSelectionLayer(0) ||
        !picture->EditingStart(&ticket))
        return 0;
    MoveSelection(picture, step);
    ITzToolMask mask;
    mask.MoveUndoSave(picture, &step);
    picture->EditingStop(ticket);
    return 1;
}

int CTool_Marquee_Move::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowCursor(view, IDC_TOOL_SELECT_MOVE);
}

int CTool_Marquee_Move::OnIdle(CTamsleyView* view)
{
    if (m_toMoveTool) {
        if (CToolBase* move = MoveTool())
            move->OnIdle(view);
        return 1;
    }
    return int(m_busy);
}
