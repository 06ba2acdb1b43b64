// The selection tools' shared rules, and the rectangle and ellipse drags.
#include "app/ui/tool_marquee.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_feedback.h"
#include "app/ui/tool_key_state.h"
#include "app/ui/tool_manager.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/tools/mouse_track.h"

namespace {

constexpr int32_t kAutoScrollStep = 30;

CToolBase* MarqueeMove()
{
    CToolManager* manager = CToolManager::GetToolManager();
    return manager ? manager->FindTool(tool_id::MAGM) : nullptr;
}

uint32_t OperationCursor(uint32_t operation)
{
    switch (operation) {
    case kMarqueeAdd:
        return IDC_TOOL_SELECT_ADD;
    case kMarqueeSubtract:
        return IDC_TOOL_SELECT_SUBTRACT;
    case kMarqueeIntersect:
        return IDC_TOOL_SELECT_INTERSECT;
    case kMarqueeHandOver:
        return IDC_TOOL_SELECT_MOVE;
    default:
        return IDC_TOOL_SELECT_NEW;
    }
}

}  // namespace

CTool_Marquee_Base::CTool_Marquee_Base(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton)
    : CToolBase(id, optionsTemplate, paletteButton)
{
}

uint32_t CTool_Marquee_Base::ChooseOperation(bool shift, bool alt, CTamsleyView* view, PTzPOINT client)
{
    ITzPicture* picture = ViewPicture(view);
    if (!picture || !picture->GetSelectionLayer(0))
        return kMarqueeReplace;
    if (shift)
        return alt ? kMarqueeIntersect : kMarqueeAdd;
    if (alt)
        return kMarqueeSubtract;
    return PointInSelection(view, client) ? kMarqueeHandOver : kMarqueeReplace;
}

bool CTool_Marquee_Base::PointInSelection(CTamsleyView* view, PTzPOINT client)
{
    ITzPicture* picture = ViewPicture(view);
    ITzLayerImage* selection = picture ? picture->GetSelectionLayer(0) : nullptr;
    if (!selection || selection->GetType() != ITzLAYERTYPE_SELECT)
        return false;
    const _tagPTzMOUSEPOINT sample = {client.x, client.y, 0, {}};
    PTzPOINT point;
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    const PTzRECT bounds = {0, 0, size.cx, size.cy};
    if (!ToPicturePixel(view, &sample, &point) || !PTzRectPointIn(&bounds, &point))
        return false;
    PTzPOINT inLayer;
    selection->PPointtoLPoint(&point, &inLayer);
    return static_cast<ITzLayerImageSelect*>(selection)->PointInSelection(&inLayer) != 0;
}

std::unique_ptr<ITzToolMask> CTool_Marquee_Base::NewMask()
{
    return std::unique_ptr<ITzToolMask>(new (std::nothrow) ITzToolMask());
}

void CTool_Marquee_Base::Deselect(ITzPicture* picture)
{
    if (!picture)
        return;
    picture->ClearFloatingLayer();
    if (std::unique_ptr<ITzToolMask> mask = NewMask())
        mask->ClearSelectioin(picture);
}

int CTool_Marquee_Base::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    if (!view || !point || !view->GetPicture())
        return 0;
    m_operation = ChooseOperation(ShiftIn(flags), AltIn(flags), view, {point->x, point->y});
    if (m_operation != kMarqueeHandOver)
        return BeginGesture(flags, point, view);
    m_handedOver = true;
    CToolBase* move = MarqueeMove();
    return move ? move->OnLButtonDown(flags, point, view) : 0;
}

int CTool_Marquee_Base::OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_handedOver)
        return ContinueGesture(flags, point, view);
    CToolBase* move = MarqueeMove();
    return move ? move->OnMouseMove(flags, point, view) : 0;
}

int CTool_Marquee_Base::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonUp(flags, point, view);
    if (!m_handedOver)
        return EndGesture(flags, point, view);
    m_handedOver = false;
    CToolBase* move = MarqueeMove();
    return move ? move->OnLButtonUp(flags, point, view) : 0;
}

int CTool_Marquee_Base::OnIdle(CTamsleyView* view)
{
    if (!m_handedOver)
        return IdleGesture(view);
    if (CToolBase* move = MarqueeMove())
        move->OnIdle(view);
    // The gesture holds the picture's editing ticket: the view must not take the lock
    // for one left behind.
    return 1;
}

int CTool_Marquee_Base::OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view)
{
    CToolBase* move = MarqueeMove();
    return move ? move->OnKeyDown(key, repeat, flags, view) : 0;
}

int CTool_Marquee_Base::OnSetCursor(int32_t x, int32_t y, CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    if (!picture)
        return 0;
    uint32_t operation = m_operation;
    if (!m_busy && !m_handedOver) {
        const CToolKeyState* keys = Keys();
        operation = ChooseOperation(keys && keys->IsShiftDown(), keys && keys->IsAltDown(), view, {x, y});
    }
    return ShowCursor(view, OperationCursor(operation));
}

int CTool_Marquee_Base::ContinueGesture(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    return 0;
}

int CTool_Marquee_Base::EndGesture(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView* view)
{
    m_busy = 0;
    return view ? 1 : 0;
}

int CTool_Marquee_Base::IdleGesture(CTamsleyView*)
{
    return int(m_busy);
}

CTool_Marquee_Shape::CTool_Marquee_Shape(uint32_t id, uint32_t paletteButton)
    : CTool_Marquee_Base(id, kNoOptionsTemplate, paletteButton)
{
}

int CTool_Marquee_Shape::BeginGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    PTzPOINT pressed;
    if (!ToPicturePixel(view, point, &pressed))
        return 0;
    m_busy = 1;
    m_anchor = m_current = pressed;
    m_client = {point->x, point->y};
    m_flags = flags;
    m_nothingDrawn = true;
    m_shiftReleased = false;
    return 1;
}

int CTool_Marquee_Shape::ContinueGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    if (!m_busy || !view || !point)
        return 0;
    m_nothingDrawn = false;
    m_client = {point->x, point->y};
    m_flags = flags;
    Step(view);
    return 1;
}

int CTool_Marquee_Shape::IdleGesture(CTamsleyView* view)
{
    if (m_busy && view && !m_nothingDrawn && AutoScroll(view))
        Step(view);
    return int(m_busy);
}

bool CTool_Marquee_Shape::AutoScroll(CTamsleyView* view)
{
    const QSize room = view->viewport()->size();
    const int32_t dx = m_client.x <= 0 ? -kAutoScrollStep : m_client.x >= room.width() - 1 ? kAutoScrollStep : 0;
    const int32_t dy = m_client.y <= 0 ? -kAutoScrollStep : m_client.y >= room.height() - 1 ? kAutoScrollStep : 0;
    // Scrolling repaints later: a step each time the view has painted, not each idle turn.
    const uint64_t paints = view->GetPaintCounters().paints;
    if ((dx == 0 && dy == 0) || paints == m_scrolledAtPaint)
        return false;
    const PTzPOINT origin = view->ClientToZoomed({0, 0});
    const PTzPOINT before = origin;
    view->ScrollToZoomed(origin.x + dx, origin.y + dy);
    m_scrolledAtPaint = paints;
    const PTzPOINT after = view->ClientToZoomed({0, 0});
    return after.x != before.x || after.y != before.y;
}

void CTool_Marquee_Shape::Step(CTamsleyView* view)
{
    AutoScroll(view);
    const _tagPTzMOUSEPOINT sample = {m_client.x, m_client.y, 0, {}};
    PTzPOINT point;
    if (!ToPicturePixel(view, &sample, &point))
        return;
    m_current = Constrained(point, m_flags);
    view->SetOverlay(kShapeOverlay, DottedOverlay(Outline(PictureToClient(view, m_anchor),
                                                          PictureToClient(view, m_current))));
}

PTzPOINT CTool_Marquee_Shape::Constrained(PTzPOINT point, uint32_t flags)
{
    // After Shift or Alt chose the operation, Shift constrains only once it was let go.
    const bool shift = ShiftIn(flags);
    if (!shift)
        m_shiftReleased = true;
    const bool constrained = m_operation == kMarqueeReplace ? shift : shift && m_shiftReleased;
    if (!constrained)
        return point;
    const int64_t dx = int64_t(point.x) - m_anchor.x;
    const int64_t dy = int64_t(point.y) - m_anchor.y;
    const int64_t side = std::min(std::llabs(dx), std::llabs(dy));
    return {int32_t(m_anchor.x + (dx < 0 ? -side : side)), int32_t(m_anchor.y + (dy < 0 ? -side : side))};
}

int CTool_Marquee_Shape::EndGesture(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView* view)
{
    if (!m_busy)
        return view ? 1 : 0;
    m_busy = 0;
    if (!view)
        return 0;
    view->RemoveOverlay(kShapeOverlay);
    ITzPicture* picture = view->GetPicture();
    const PTzRECT rect = {std::min(m_anchor.x, m_current.x), std::min(m_anchor.y, m_current.y),
                          std::max(m_anchor.x, m_current.x), std::max(m_anchor.y, m_current.y)};
    if (m_nothingDrawn || rect.left == rect.right || rect.top == rect.bottom) {
        Deselect(picture);
        return 1;
    }
    if (std::unique_ptr<ITzToolMask> mask = NewMask())
        DrawSelection(*mask, picture, rect);
    return 1;
}

CTool_Marquee_Rect::CTool_Marquee_Rect() : CTool_Marquee_Shape(tool_id::MAGR, 1073) {}

QPolygon CTool_Marquee_Rect::Outline(QPoint corner1, QPoint corner2) const
{
    return RectangleOutline(corner1, corner2);
}

int CTool_Marquee_Rect::DrawSelection(ITzToolMask& mask, ITzPicture* picture, const PTzRECT& rect) const
{
    return mask.DrawRectSelection(picture, &rect, 255, int32_t(m_operation));
}

CTool_Marquee_Circle::CTool_Marquee_Circle() : CTool_Marquee_Shape(tool_id::MACI, 1090) {}

QPolygon CTool_Marquee_Circle::Outline(QPoint corner1, QPoint corner2) const
{
    return EllipseOutline(corner1, corner2);
}

int CTool_Marquee_Circle::DrawSelection(ITzToolMask& mask, ITzPicture* picture, const PTzRECT& rect) const
{
    return mask.DrawArcSelection(picture, &rect, 255, int32_t(m_operation));
}
