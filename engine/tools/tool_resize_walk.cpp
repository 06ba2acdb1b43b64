// The layer walk of the picture-wide resize and rotation: block counts, the step of the
// current layer job and the progress reported from it.
#include "engine/tools/tool_resize_walk.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace lumatra {

namespace {

void Report(const LayerWalk& walk, uint64_t hundredths, uint32_t* progress)
{
    // Nothing to do is no progress, not a division by 0.
    if (progress)
        *progress = walk.allBlocks ? uint32_t(hundredths / walk.allBlocks) : 0;
}

void EndLayer(LayerWalk& walk)
{
    walk.layer = nullptr;
    walk.layerJob = nullptr;
    walk.layerBlocks = 0;
}

}  // namespace

uint32_t LayerBlocks(ITzLayerBase* layer)
{
    if (!layer || !layer->IsImageLayer())
        return 0;
    return static_cast<ITzLayerImage*>(layer)->GetBlockCount();
}

uint32_t PictureBlocks(ITzPicture& picture)
{
    uint32_t blocks = 0;
    for (uint16_t index = 0, count = picture.GetLayerCount(); index < count; ++index)
        blocks += LayerBlocks(picture.GetLayerbyIndex(index));
    return blocks;
}

void BeginLayer(LayerWalk& walk, ITzLayerBase* layer, void* layerJob)
{
    walk.layer = layer;
    walk.layerJob = layerJob;
    walk.layerBlocks = LayerBlocks(layer);
}

LayerStep StepLayer(LayerWalk& walk, const LayerJobCalls& calls, ITzLayerBase** made, uint32_t* progress)
{
    ITzLayerBase* layer = walk.layer;
    uint32_t percent = 0;
    if ((layer->*calls.step)(walk.layerJob, &percent)) {
        Report(walk, uint64_t(walk.layerBlocks) * percent + uint64_t(walk.blocksDone) * 100, progress);
        return LayerStep::More;
    }
    // A job whose step failed ends without a layer.
    *made = (layer->*calls.end)(walk.layerJob);
    walk.blocksDone += walk.layerBlocks;
    EndLayer(walk);
    if (!*made)
        return LayerStep::Failed;
    Report(walk, uint64_t(walk.blocksDone) * 100, progress);
    return LayerStep::Done;
}

void CancelLayer(LayerWalk& walk, const LayerJobCalls& calls)
{
    if (walk.layerJob)
        (walk.layer->*calls.cancel)(walk.layerJob);
    EndLayer(walk);
}

}  // namespace lumatra
