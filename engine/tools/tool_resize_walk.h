// The layer walk of the stepwise resize and rotation of a whole picture: one layer job
// at a time, and the progress over the blocks of all image layers. Library-private.
#pragma once

#include <cstdint>

class ITzLayerBase;
class ITzPicture;

namespace lumatra {

// A layer job's calls after its start: resize or rotation.
struct LayerJobCalls {
    int (ITzLayerBase::*step)(void* job, uint32_t* percent);
    ITzLayerBase* (ITzLayerBase::*end)(void* job);
    int (ITzLayerBase::*cancel)(void* job);
};

// The running layer job and the progress counters, in blocks.
struct LayerWalk {
    ITzLayerBase* layer;  // the current layer; null between layers
    void* layerJob;       // its job; null between layers
    uint32_t allBlocks;
    uint32_t blocksDone;
    uint32_t layerBlocks;  // of the current layer
};

// An image layer's blocks; 0 for other layers.
uint32_t LayerBlocks(ITzLayerBase* layer);
// The blocks of all image layers of the picture.
uint32_t PictureBlocks(ITzPicture& picture);

// Takes a started job of the layer as the current one.
void BeginLayer(LayerWalk& walk, ITzLayerBase* layer, void* layerJob);

enum class LayerStep { More, Done, Failed };

// One step of the current job. Done gives the new layer (the caller's) and leaves no
// current layer; Failed leaves no current layer and nothing behind. The percent of all
// blocks goes to `progress` when given: 0 while the picture holds no blocks.
LayerStep StepLayer(LayerWalk& walk, const LayerJobCalls& calls, ITzLayerBase** made, uint32_t* progress);

// Cancels a running job, if any.
void CancelLayer(LayerWalk& walk, const LayerJobCalls& calls);

}  // namespace lumatra
