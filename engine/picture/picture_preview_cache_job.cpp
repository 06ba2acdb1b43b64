// Building every layer's preview cache as one stepwise job with a progress in percent.
#include <algorithm>
#include <memory>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace {

struct PreviewCacheJob {
    uint16_t layerCount;
    uint16_t nextLayer;
    void* layerJob;               // open job of `layer`, or null
    ITzLayerImage* layer;         // the preview layer being built
    uint64_t total;               // sum of every preview layer's priority
    uint64_t done;
};

}  // namespace

void* ITzPicture::PreparePreviewCacheStart()
{
    auto* job = new (std::nothrow) PreviewCacheJob{m_layerCount, 0, nullptr, nullptr, 0, 0};
    if (!job)
        return nullptr;
    for (uint16_t i = 0; i < m_layerCount; ++i)
        if (ITzLayerImage* preview = m_layers[i]->GetPreviewLayer())
            job->total += preview->PreparePreviewCachePriority();
    return job;
}

int ITzPicture::PreparePreviewCacheRun(void* handle, uint8_t* percent)
{
    auto* job = static_cast<PreviewCacheJob*>(handle);
    if (!job)
        return 0;
    // Open the next layer that has a cache job to run; layers without one are skipped.
    while (!job->layerJob && job->nextLayer < std::min(job->layerCount, m_layerCount)) {
        ITzLayerImage* preview = m_layers[job->nextLayer++]->GetPreviewLayer();
        void* layerJob = preview ? preview->PreparePreviewCacheStart() : nullptr;
        if (layerJob) {
            job->layer = preview;
            job->layerJob = layerJob;
        }
    }
    if (job->layerJob) {
        // A layer may be drawn from its new cache level from now on.
        ++m_backdropStamp;
        uint32_t built = 0;
        const int more = job->layer->PreparePreviewCacheRun(job->layerJob, &built);
        job->done += built;
        if (!more) {
            job->layer->PreparePreviewCacheEnd(job->layerJob);
            job->layerJob = nullptr;
            job->layer = nullptr;
        }
    }
    if (percent)
        *percent = job->total == 0 ? 100 : static_cast<uint8_t>(std::min<uint64_t>(job->done * 100 / job->total, 100));
    return job->layerJob || job->nextLayer < std::min(job->layerCount, m_layerCount) ? 1 : 0;
}

int ITzPicture::PreparePreviewCacheEnd(void* handle)
{
    std::unique_ptr<PreviewCacheJob> job(static_cast<PreviewCacheJob*>(handle));
    if (!job)
        return 0;
    if (job->layerJob)
        job->layer->PreparePreviewCacheEnd(job->layerJob);
    return 1;
}

int ITzPicture::DoPreparePreviewCache()
{
    void* job = PreparePreviewCacheStart();
    if (!job)
        return 0;
    while (PreparePreviewCacheRun(job, nullptr)) {
    }
    return PreparePreviewCacheEnd(job);
}
