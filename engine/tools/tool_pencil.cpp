// The pencil's tips: the hard tip placed on whole pixels, taken in one step.
#include "engine/tools/tool_pencil.h"

#include "engine/tools/brush_base.h"

int ITzToolPencil::SetBrush(ITzBrushBase* brush)
{
    const int stored = ITzToolPen::SetBrush(brush);
    if (stored && brush)
        brush->SetSoft(0);
    return stored;
}

void ITzToolPencil::SetPressFlag(uint8_t flags)
{
    ITzToolPen::SetPressFlag(uint8_t(flags & ~ITzBRUSH_PRESS_OPACITY));
}

void* ITzToolPencil::DoGetBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* /*picture*/)
{
    m_dab = {};
    m_dabRect = {0, 0, 0, 0};
    if (!m_brush || !point)
        return nullptr;
    // A tip that cannot be had leaves the dab empty, and the point paints nothing.
    if (IsPressSupportSize())
        m_brush->GetPressBrushInfo(point, &m_dabRect, &m_dab);
    else
        m_brush->GetBrushInfo(point, &m_dabRect, &m_dab);
    return nullptr;
}

int ITzToolPencil::DoGetBrush(void* /*job*/)
{
    return 0;
}

int ITzToolPencil::DoGetBrushEnd(void* /*job*/)
{
    return DabHasPixels(&m_dab) ? 1 : 0;
}
