// The brush tool's settings, its life (the stroke cache's pages and the jobs it may hold
// when destroyed) and the floating layer and track a stroke works with.
#include "engine/tools/tool_brush_base.h"

#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "engine/tools/brush_base.h"

ITzToolBrushBase::ITzToolBrushBase()
{
    PrepareCacheBitmap();
}

ITzToolBrushBase::~ITzToolBrushBase()
{
    EndJobs();
    m_track.reset();
    ReleaseChaeBitmap();
    ReleasePendingUndoData();
}

void ITzToolBrushBase::EndJobs()
{
    if (m_paintJob)
        DoBrushEnd(m_paintJob);
    m_paintJob = nullptr;
    if (m_cachePushJob)
        DoPushCacheEnd(m_cachePushJob);
    m_cachePushJob = nullptr;
    if (m_tipJob)
        DoGetBrushEnd(m_tipJob);
    m_tipJob = nullptr;
    m_pointPhase = 0;
}

int ITzToolBrushBase::SetBrush(ITzBrushBase* brush)
{
    // A running stroke holds the ticket, and its tip jobs and dabs belong to the old brush.
    if (m_ticket.Get() != 0)
        return 0;
    m_brush = brush;
    if (brush)
        brush->SetSoft(1);
    return 1;
}

void ITzToolBrushBase::SetDisplayZoomlevel(_tagITzZOOMLEVEL* zoom)
{
    m_displayCacheLevel = ITzZoomGetCacheLevel(zoom);
}

void ITzToolBrushBase::SetColor(_tagPTzCOLOR* front, _tagPTzCOLOR* back)
{
    if (front)
        m_frontColor = *front;
    if (back)
        m_backColor = *back;
}

void ITzToolBrushBase::SetPressFlag(uint8_t flags)
{
    m_pressFlags = flags;
}

void ITzToolBrushBase::SetOpacity(uint8_t opacity)
{
    m_opacity = opacity;
}

void ITzToolBrushBase::SetHoldingSupport(int holding)
{
    m_holdingSupport = holding;
}

void ITzToolBrushBase::SetMode(ITzMERGETYPE mode)
{
    m_paintMode = mode;
}

void ITzToolBrushBase::SetPress(uint8_t press)
{
    m_press = press;
}

int ITzToolBrushBase::IsPressSupportSize()
{
    return (m_pressFlags & ITzBRUSH_PRESS_SIZE) ? 1 : 0;
}

int ITzToolBrushBase::IsPressSupportOpacity()
{
    return (m_pressFlags & ITzBRUSH_PRESS_OPACITY) ? 1 : 0;
}

int ITzToolBrushBase::IsPressSupportColor()
{
    return (m_pressFlags & ITzBRUSH_PRESS_COLOR) ? 1 : 0;
}

uint32_t ITzToolBrushBase::AdjustStep(uint32_t step)
{
    return step;
}

ITzMouseTrack* ITzToolBrushBase::GetMouseTrack()
{
    if (!m_track) {
        m_track.reset(new (std::nothrow) ITzMouseTrack());
        if (m_track && m_holdingSupport)
            m_track->SetHoldingSupport();
    }
    return m_track.get();
}

ITzLayerImage* ITzToolBrushBase::CreateToolFloatLayer(ITzPicture* picture)
{
    ITzLayerImage* floating = CreateFloatingLayer(picture);
    if (floating) {
        floating->SetOpacity(m_opacity);
        floating->SetMergeType(m_paintMode);
    }
    return floating;
}

int ITzToolBrushBase::MergeToolFloatLayer(ITzPicture* picture)
{
    return MergeFloatingLayer(picture);
}

void ITzToolBrushBase::PrepareFloatingLayer(ITzLayerImage* /*floating*/, ITzPicture* /*picture*/)
{
}

void ITzToolBrushBase::PrepareCacheData(PTzRECT* /*window*/)
{
}

void ITzToolBrushBase::OnMouseActionEnd()
{
}
