// The move tool's drag and keys.
#include "app/ui/tool_move.h"

#include <new>

#include "app/shell/drawing_functions.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_key_state.h"
#include "app/ui/tool_marquee_move.h"
#include "app/ui/tool_options_panels.h"
#include "engine/tools/tool_move.h"

namespace {
constexpr uint32_t kMoveTemplate = 243;
}

CTool_Move::CTool_Move() : CToolBase(tool_id::MOVE, kMoveTemplate, 1074) {}

CTool_Move::~CTool_Move() = default;

ITzToolMove* CTool_Move::Engine()
{
    if (!m_engine)
        m_engine.reset(new (std::nothrow) ITzToolMove());
    return m_engine.get();
}

bool CTool_Move::DragPoint(uint32_t flags, const _tagPTzMOUSEPOINT* point, CTamsleyView* view, PTzPOINT* at) const
{
    if (!ToPicturePixel(view, point, at))
        return false;
    if (ShiftIn(flags))
        ConstrainTo45Degrees(at, &m_start);
    return true;
}

void CTool_Move::MoveTo(PTzPOINT at)
{
    if (at.x == m_last.x && at.y == m_last.y)
        return;
    const _tagPTzOFFSET offset = {at.x - m_last.x, at.y - m_last.y};
    if (ITzToolMove* engine = Engine())
        engine->MoveOffset(&offset);
    m_last = at;
}

int CTool_Move::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    PTzPOINT pressed;
    if (!ToPicturePixel(view, point, &pressed))
        return 1;
    m_busy = 1;
    m_start = m_last = pressed;
    if (ITzToolMove* engine = Engine()) {
        engine->SetToolType(ITzTOOLMOVETYPE(MoveType(AltIn(flags))));
        engine->StartMove(view->GetPicture(), &m_start);
    }
    return 1;
}

int CTool_Move::OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    PTzPOINT at;
    if (m_busy && DragPoint(flags, point, view, &at))
        MoveTo(at);
    return 1;
}

int CTool_Move::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonUp(flags, point, view);
    if (!m_busy)
        return 1;
    m_busy = 0;
    PTzPOINT at;
    if (DragPoint(flags, point, view, &at))
        MoveTo(at);
    if (m_engine)
        m_engine->StopMove();
    return 1;
}

int CTool_Move::OnKeyDown(uint32_t key, uint32_t, uint32_t flags, CTamsleyView* view)
{
    _tagPTzOFFSET step;
    if (!ArrowKeyStep(key, ShiftIn(flags), &step))
        return 0;
    ITzToolMove* engine = Engine();
    if (engine && view) {
        engine->SetToolType(ITzTOOLMOVETYPE(MoveType(AltIn(flags))));
        engine->KeyMove(view->GetPicture(), &step);
    }
    return 1;
}

int CTool_Move::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    const CToolKeyState* keys = Keys();
    return ShowCursor(view, MoveType(keys && keys->IsAltDown()) ? IDC_TOOL_MOVE_COPY : IDC_TOOL_MOVE);
}

QWidget* CTool_Move::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionMove(this, parent);
}
