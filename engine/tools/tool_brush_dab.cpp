// Painting one dab: into the stroke cache when it fits the cache's window (pushing the
// cache first when the dab leaves it), or, when larger than the window, straight into the
// floating layer.
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_brush_base.h"

int ITzToolBrushBase::PushBrush(PTzRECT* dabRect, _tagITzBITMAP* dab, uint8_t strength, ITzPicture* picture)
{
    if (!dabRect || !DabHasPixels(dab))
        return 0;
    if (picture)
        m_pushPicture = picture;
    if (!m_cacheEmpty && !FitsWindow(*dabRect))
        PushCache();
    if (m_cacheEmpty && !DabFitsCache(*dab)) {
        _tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job = DoPushBrushImageStart(dabRect, dab, strength, m_pushPicture);
        if (!job)
            return 0;
        while (DoPushBrushImageRun(job)) {
        }
        DoPushBrushImageEnd(job);
        return 1;
    }
    // Without a picture the cache could not be pushed, and the dab cannot join it.
    if (!m_cacheEmpty && !FitsWindow(*dabRect))
        return 0;
    return MergeBrush(dabRect, dab, strength);
}

_tagITzTOOLBRUSH_DOBRUSHINFO* ITzToolBrushBase::DoPushBrushStart(PTzRECT* dabRect, _tagITzBITMAP* dab,
                                                                  uint8_t strength, ITzPicture* picture)
{
    if (!dabRect || !DabHasPixels(dab))
        return nullptr;
    return new (std::nothrow)
        _tagITzTOOLBRUSH_DOBRUSHINFO{*dab, *dabRect, strength, 0, picture, nullptr, nullptr, nullptr};
}

int ITzToolBrushBase::DoPushBurshRun(_tagITzTOOLBRUSH_DOBRUSHINFO* job)
{
    if (!job)
        return 0;
    if (job->state == 0) {
        if (m_cacheEmpty && !DabFitsCache(job->dab)) {
            job->imageJob = DoPushBrushImageStart(&job->dabRect, &job->dab, job->opacity, job->picture);
            job->state = 1;
            return job->imageJob ? 1 : 0;
        }
        if (!m_cacheEmpty && !FitsWindow(job->dabRect)) {
            job->cacheJob = DoPushCacheStart(job->picture);
            // A cache that cannot be pushed (no picture) gives up its paint, so that the
            // dab is placed anew on the next call.
            if (!job->cacheJob)
                ClearCache();
            job->state = job->cacheJob ? 1 : 0;
            return 1;
        }
        job->mergeJob = DoMergeBrushStart(job);
        job->state = 2;
    }
    if (job->state == 1) {
        if (job->cacheJob) {
            if (DoPushCacheRun(job->cacheJob))
                return 1;
            DoPushCacheEnd(job->cacheJob);
            job->cacheJob = nullptr;
            job->state = 0;
            return 1;
        }
        if (job->imageJob && DoPushBrushImageRun(job->imageJob))
            return 1;
        return 0;
    }
    return job->mergeJob && DoMergeBrushRun(job->mergeJob) ? 1 : 0;
}

int ITzToolBrushBase::DoPushBrushEnd(_tagITzTOOLBRUSH_DOBRUSHINFO* job)
{
    if (!job)
        return 0;
    if (job->mergeJob)
        DoMergeBrushEnd(job->mergeJob);
    if (job->imageJob)
        DoPushBrushImageEnd(job->imageJob);
    if (job->cacheJob)
        DoPushCacheEnd(job->cacheJob);
    delete job;
    return 1;
}

_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* ITzToolBrushBase::DoPushBrushImageStart(PTzRECT* dabRect, _tagITzBITMAP* dab,
                                                                            uint8_t strength, ITzPicture* picture)
{
    ITzLayerImage* floating = picture ? GetPushLayer(picture) : nullptr;
    if (!dabRect || !DabHasPixels(dab) || !floating)
        return nullptr;
    m_pushPicture = picture;
    PTzRECT rect = {dabRect->left, dabRect->top, dabRect->left + dab->width, dabRect->top + dab->height};
    if (!GetRectDataReady(floating, &rect, nullptr))
        return nullptr;
    // The part of the dab that the (possibly cut) rectangle covers.
    PTzRECT part = {rect.left - dabRect->left, rect.top - dabRect->top, rect.right - dabRect->left,
                    rect.bottom - dabRect->top};
    _tagITzBITMAP view;
    if (!ITzGetSubBitmap(&view, &part, dab))
        return nullptr;
    PTzRECT layerRect;
    floating->PRECTtoLRECT(&rect, &layerRect);
    return new (std::nothrow) _tagITzTOOLBRUSH_DOBRUSHIMAGEINFO{0, floating, view, rect, layerRect, strength};
}

int ITzToolBrushBase::DoPushBrushImageRun(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job)
{
    if (!job)
        return 0;
    switch (job->state) {
    case 0:
        MergeBrushToImage(job, job->opacity);
        break;
    case 1:
        UpdateCacheDataForDataChange(job->floatingLayer, &job->rect, 1);
        break;
    case 2:
        DataChanged(m_pushPicture, &job->rect);
        break;
    default:
        return 0;
    }
    ++job->state;
    return 1;
}

int ITzToolBrushBase::DoPushBrushImageEnd(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job)
{
    if (!job)
        return 0;
    delete job;
    return 1;
}

int ITzToolBrushBase::MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength)
{
    if (!job || !job->floatingLayer)
        return 0;
    return job->floatingLayer->MergeMask(&job->dab, &job->layerRect, strength);
}

_tagITzTOOLBRUSH_DOMERGEBRUSHINFO* ITzToolBrushBase::DoMergeBrushStart(_tagITzTOOLBRUSH_DOBRUSHINFO* job)
{
    if (!job)
        return nullptr;
    auto* merge = new (std::nothrow) _tagITzTOOLBRUSH_DOMERGEBRUSHINFO{0, job};
    if (merge)
        MergeBrush(&job->dabRect, &job->dab, job->opacity);
    return merge;
}

int ITzToolBrushBase::DoMergeBrushRun(_tagITzTOOLBRUSH_DOMERGEBRUSHINFO* /*job*/)
{
    return 0;
}

int ITzToolBrushBase::DoMergeBrushEnd(_tagITzTOOLBRUSH_DOMERGEBRUSHINFO* job)
{
    if (!job)
        return 0;
    delete job;
    return 1;
}
