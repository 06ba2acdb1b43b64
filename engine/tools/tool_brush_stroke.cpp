// The stroke protocol of the brush tools (mouse down, moves, idle steps, mouse up) and the
// point work the mouse track drives: the tip of each point, then its dab.
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/brush_base.h"
#include "engine/tools/tool_brush_base.h"

int ITzToolBrushBase::OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!sample || !picture || !StartEditing(picture))
        return 0;
    // Everything that can fail is had before the floating layer, which cannot be given
    // back once made, so a refusal leaves nothing behind.
    ITzMouseTrack* track = PrepareCacheBitmap() ? GetMouseTrack() : nullptr;
    ITzLayerImage* floating = track ? CreateToolFloatLayer(picture) : nullptr;
    if (!floating) {
        m_track.reset();
        StopEditing(picture);
        return 0;
    }
    PrepareFloatingLayer(floating, picture);
    if (m_displayCacheLevel != 0)
        if (ITzLayerImage* cacheLayer = floating->GetCacheLayer(m_displayCacheLevel))
            PrepareFloatingLayerCache(cacheLayer);
    return StartTrack(*track, sample, picture);
}

int ITzToolBrushBase::StartTrack(ITzMouseTrack& track, _tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    m_pushPicture = picture;
    track.SetStep(AdjustStep(m_brush ? m_brush->GetStep() : 1), IsPressSupportSize());
    track.SetOwner(this);
    track.AddPoint(sample);
    track.SetOwnerFlag(1);
    return 1;
}

int ITzToolBrushBase::OnMouseMove(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!sample || !picture || !m_track)
        return 0;
    m_track->AddPoint(sample);
    return 1;
}

int ITzToolBrushBase::OnIdle(ITzPicture* picture)
{
    if (!m_track || !picture)
        return 0;
    if (m_cachePushJob) {
        if (!DoPushCacheRun(m_cachePushJob)) {
            DoPushCacheEnd(m_cachePushJob);
            m_cachePushJob = nullptr;
        }
        return 1;
    }
    if (!m_track->DoNextPoint(picture))
        m_cachePushJob = DoPushCacheStart(picture);
    return 1;
}

int ITzToolBrushBase::HasIdleWork()
{
    if (!m_track)
        return 0;
    return m_cachePushJob || !m_cacheEmpty || m_track->HasWork() ? 1 : 0;
}

int ITzToolBrushBase::OnMouseUp(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!sample || !picture || !m_track)
        return 0;
    m_track->AddPoint(sample);
    m_track->SetOwnerFlag(0);
    // An idle push still running owns the cache until it has marked it empty.
    if (m_cachePushJob) {
        while (DoPushCacheRun(m_cachePushJob)) {
        }
        DoPushCacheEnd(m_cachePushJob);
        m_cachePushJob = nullptr;
    }
    while (m_track->DoNextPoint(picture)) {
    }
    if (_tagITzTOOLBRUSH_DOPUSHCACHEINFO* push = DoPushCacheStart(picture)) {
        while (DoPushCacheRun(push)) {
        }
        DoPushCacheEnd(push);
    }
    m_track.reset();
    MergeToolFloatLayer(picture);
    StopEditing(picture);
    m_pushPicture = nullptr;
    OnMouseActionEnd();
    return 0;
}

int ITzToolBrushBase::DoPoint(_tagPTzMOUSEPOINT* point, void* picture)
{
    if (!point)
        return 1;
    auto* target = static_cast<ITzPicture*>(picture);
    if (m_pointPhase == 0) {
        if (!m_tipJob) {
            m_tipJob = DoGetBrushStart(point, target);
            if (m_tipJob)
                return 0;
        } else {
            if (DoGetBrush(m_tipJob))
                return 0;
            DoGetBrushEnd(m_tipJob);
            m_tipJob = nullptr;
        }
        m_pointPhase = 1;
    }
    if (!m_paintJob) {
        m_paintJob = DoBrushStart(point, target);
        if (m_paintJob)
            return 0;
    } else {
        if (DoBrush(m_paintJob))
            return 0;
        DoBrushEnd(m_paintJob);
        m_paintJob = nullptr;
    }
    m_pointPhase = 0;
    return 1;
}

void* ITzToolBrushBase::DoGetBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* /*picture*/)
{
    m_dab = {};
    m_dabRect = {0, 0, 0, 0};
    if (!m_brush || !point)
        return nullptr;
    // The tip is asked on a copy: the point's own pressure still drives the opacity.
    _tagPTzMOUSEPOINT tipPoint = *point;
    if (!IsPressSupportSize())
        tipPoint.pressure = 255;
    return m_brush->GetPressAntiBrushInfoStart(&tipPoint, &m_dabRect, &m_dab);
}

int ITzToolBrushBase::DoGetBrush(void* job)
{
    return m_brush && job ? m_brush->GetPressAntiBrushInfoRun(job) : 0;
}

int ITzToolBrushBase::DoGetBrushEnd(void* job)
{
    const int made = m_brush && job ? m_brush->GetPressAntiBrushInfoEnd(job) : 0;
    if (!made) {
        m_dab = {};
        m_dabRect = {0, 0, 0, 0};
    }
    return made;
}

_tagITzTOOLBRUSH_DOBRUSHINFO* ITzToolBrushBase::DoBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* picture)
{
    if (!point)
        return nullptr;
    const uint8_t strength = IsPressSupportOpacity() ? uint8_t((m_press * point->pressure + 127) / 255) : m_press;
    return DoPushBrushStart(&m_dabRect, &m_dab, strength, picture);
}

int ITzToolBrushBase::DoBrush(_tagITzTOOLBRUSH_DOBRUSHINFO* job)
{
    return DoPushBurshRun(job);
}

int ITzToolBrushBase::DoBrushEnd(_tagITzTOOLBRUSH_DOBRUSHINFO* job)
{
    return DoPushBrushEnd(job);
}
