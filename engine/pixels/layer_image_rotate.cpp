// The image layer's quarter-turn job: a new layer of the same kind and properties,
// sized to the turned bounds, filled one block per call from the pixels that turn onto
// it.
#include "base/memory.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_resample.h"
#include "engine/pixels/rotate.h"

namespace {

struct RotateJob {
    ITzLayerImage* target;  // owned until the end hands it over
    _tagPTzSIZE turned;     // the picture's size after the turn
    uint32_t type;
    uint32_t blocks, done;  // the next block is `done`
    bool failed;
};

// Writes the source (the block part's pixels before the turn) turned into the block
// part, plane by plane. For a part of w x h pixels, destination (x, y) takes source
// type 0 (x, y); 1 (y, w - 1 - x); 2 (h - 1 - y, x); 3 (w - 1 - x, h - 1 - y).
void CopyTurned(const _tagITzCHANNELBITMAP& source, const _tagITzCHANNELBITMAP& part, uint32_t type)
{
    const int32_t w = part.width, h = part.height;
    for (int p = 0; p < 5; ++p) {
        if (!source.planes[p] || !part.planes[p])
            continue;
        const uint8_t* in = source.planes[p];
        const ptrdiff_t stride = source.stride;
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* out = part.planes[p] + ptrdiff_t(y) * part.stride;
            switch (type) {
            case ITzROTATS_CLOCKWISE:
                for (int32_t x = 0; x < w; ++x)
                    out[x] = in[(w - 1 - x) * stride + y];
                break;
            case ITzROTATS_COUNTERCLOCKWISE:
                for (int32_t x = 0; x < w; ++x)
                    out[x] = in[x * stride + (h - 1 - y)];
                break;
            case ITzROTATS_HALF:
                for (int32_t x = 0; x < w; ++x)
                    out[x] = in[(h - 1 - y) * stride + (w - 1 - x)];
                break;
            default:
                for (int32_t x = 0; x < w; ++x)
                    out[x] = in[y * stride + x];
                break;
            }
        }
    }
}

}  // namespace

void* ITzLayerImage::RotateSLayerStart(const _tagPTzSIZE* pictureSize, uint32_t rotationType)
{
    PTzRECT bounds, turned = {0, 0, 0, 0};
    _tagPTzSIZE turnedSize;
    if (!ITzRotatedSize(pictureSize, rotationType, &turnedSize) || GetBounds(&bounds) != 0)
        return nullptr;
    if (!PTzRectEmpty(&bounds))
        ITzRotatedRect(&bounds, pictureSize, rotationType, &turned);
    auto* job = static_cast<RotateJob*>(PTzPointNew(sizeof(RotateJob)));
    if (!job)
        return nullptr;
    *job = {lumatra::NewTransferTarget(*this, turned), turnedSize, rotationType, 0, 0, false};
    if (!job->target) {
        PTzPointFree(job);
        return nullptr;
    }
    job->blocks = PTzRectEmpty(&turned) ? 0 : job->target->GetBlockCount();
    return job;
}

int ITzLayerImage::RotateSLayer(void* handle, uint32_t* progress)
{
    auto* job = static_cast<RotateJob*>(handle);
    if (!job)
        return 0;
    if (progress)
        *progress = job->blocks ? job->done * 100 / job->blocks : 0;
    if (job->failed || job->done >= job->blocks)
        return 0;
    // The block's part inside the new layer, and where its pixels were before the turn.
    PTzRECT blockRect, bounds, part, before, local;
    job->target->GetBlockPictRect(job->done, &blockRect);
    job->target->GetBounds(&bounds);
    bool ok = true;
    if (PTzRectIntersect(&blockRect, &bounds, &part)) {
        ITzRotatedRect(&part, &job->turned, ITzInverseRotation(job->type), &before);
        PRECTtoLRECT(&before, &local);
        _tagITzCHANNELBITMAP source = {before.right - before.left, before.bottom - before.top, 0, 0, {}};
        _tagITzCHANNELBITMAP block;
        ok = LockChannelBitmap(&source) != 0;
        if (ok) {
            ok = GetRectChannelData(&source, &local) && job->target->LockBlockToChannelBitmap(job->done, &block);
            if (ok) {
                PTzRECT inBlock = {part.left - blockRect.left, part.top - blockRect.top, part.right - blockRect.left,
                                   part.bottom - blockRect.top};
                _tagITzCHANNELBITMAP view;
                ITzGetSubChannelBitmap(&inBlock, &view, &block);
                CopyTurned(source, view, job->type);
                ok = job->target->UnlockChannelBitmapToBlock(job->done, &block) != 0;
            }
            UnlockChannelBitmap(&source);
        }
    }
    if (!ok) {
        job->failed = true;
        return 0;
    }
    ++job->done;
    if (progress)
        *progress = job->done * 100 / job->blocks;
    return job->done < job->blocks ? 1 : 0;
}

ITzLayerBase* ITzLayerImage::RotateSLayerEnd(void* handle)
{
    auto* job = static_cast<RotateJob*>(handle);
    if (!job)
        return nullptr;
    ITzLayerImage* layer = lumatra::HandOverTarget(job->target, !job->failed && job->done == job->blocks);
    PTzPointFree(job);
    return layer;
}

int ITzLayerImage::RotateSLayerCancel(void* handle)
{
    auto* job = static_cast<RotateJob*>(handle);
    if (job) {
        lumatra::HandOverTarget(job->target, false);
        PTzPointFree(job);
    }
    return 1;
}
