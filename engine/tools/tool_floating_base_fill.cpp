// Filling a block of a floating layer from a block of another ARGB layer: a whole block is
// copied channel by channel, a part of one merged alpha-over.
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_floating_base.h"

int ITzToolFloatingBase::CopyChannel(void* sourceHandle, uint8_t value, void** destHandle, uint8_t* destValue)
{
    return ITzChannelCopyInto(sourceHandle, value, destHandle, destValue);
}

int ITzToolFloatingBase::FillFloatBlockWithData(ITzLayerImage* source, _tagITzBLOCKPOSITION* sourcePosition,
                                                PTzRECT* rect, ITzLayerImage* dest,
                                                _tagITzBLOCKPOSITION* destPosition)
{
    auto* argbSource = dynamic_cast<ITzLayerImageARGB*>(source);
    auto* argbDest = dynamic_cast<ITzLayerImageARGB*>(dest);
    if (!argbSource || !sourcePosition || !rect || !argbDest || !destPosition)
        return 0;
    return FillFloatBlockWithDataARGB(argbSource, sourcePosition, rect, argbDest, destPosition);
}

int ITzToolFloatingBase::FillFloatBlockWithDataARGB(ITzLayerImageARGB* source, _tagITzBLOCKPOSITION* sourcePosition,
                                                    PTzRECT* rect, ITzLayerImageARGB* dest,
                                                    _tagITzBLOCKPOSITION* destPosition)
{
    if (!source || !sourcePosition || !rect || !dest || !destPosition)
        return 0;
    const uint32_t sourceIndex = source->BlockPosToIndex(sourcePosition);
    const uint32_t destIndex = dest->BlockPosToIndex(destPosition);
    const bool wholeBlock = rect->left == 0 && rect->top == 0 && rect->right == ITzBLOCK_SIDE &&
                            rect->bottom == ITzBLOCK_SIDE;
    if (wholeBlock)
        return dest->CopyBlockFrom(destIndex, source, sourceIndex);
    return dest->MergeBlockPartOver(destIndex, rect, source, sourceIndex);
}
