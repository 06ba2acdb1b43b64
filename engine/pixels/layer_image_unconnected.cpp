// Slots of the image layer whose work belongs to code not yet in the engine: the
// floating layer's merges and block undo, resampling, arc fills and the magic wand.
// Until that code is connected each refuses, changing nothing.
#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"

ITzLayerImage* ITzLayerImage::CreateFloatingLayer()
{
    return nullptr;
}

ITzLayerImage* ITzLayerImage::CreateFloatingLayer_1(int /*floatingType*/)
{
    return nullptr;
}

ITzLayerImage* ITzLayerImage::MergeFloatingLayer(ITzUndoBlockListBase* /*undo*/)
{
    return nullptr;
}

// Without a floating layer there is nothing to merge; one that is there stays.
int ITzLayerImage::ClearFloatingLayer()
{
    return m_floating ? 0 : 1;
}

int ITzLayerImage::FillArc(const PTzRECT* /*rect*/, const _tagPTzCOLOR* /*colour*/, int /*flag*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::MagicSearchFillSelection(const PTzRECT* /*blockRect*/, _tagITzBITMAP* /*mask*/,
                                            ITzMagicSeedLineList* /*seeds*/, const _tagPTzCOLOR* /*colour*/,
                                            uint32_t /*tolerance*/)
{
    return 0;
}

ITzLayerImage* ITzLayerImage::CopyMaskLayer(const PTzRECT* /*rect*/)
{
    return nullptr;
}

int ITzLayerImage::MergeMaskLayer(ITzLayerImage* /*mask*/, const PTzRECT* /*maskRect*/, const PTzRECT* /*rect*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::MergeMask(_tagITzBITMAP* /*mask*/, const PTzRECT* /*rect*/, uint8_t /*value*/)
{
    return 0;
}

int ITzLayerImage::MergeBlockAlpha(const _tagITzBITMAP* /*mask*/, PTzHANDLE* /*channel*/, uint8_t* /*constant*/,
                                   const PTzRECT* /*rect*/, uint8_t /*opacity*/)
{
    return 0;
}

ITzLayerImage* ITzLayerImage::CreateFloatingEraseMask()
{
    return nullptr;
}

int ITzLayerImage::CreateMatchBlock(ITzLayerImage* /*layer*/)
{
    return 0;
}

int ITzLayerImage::Undo(const PTzRECT* /*oldBounds*/, ITzUndoBlockListBase* /*undo*/, PTzRECT* /*bounds*/,
                        ITzUndoBlockListBase* /*redo*/)
{
    return 0;
}

int ITzLayerImage::UndoBackupBlockList(const PTzRECT* /*oldBounds*/, ITzUndoBlockListBase* /*undo*/,
                                       ITzUndoBlockListBase* /*redo*/)
{
    return 0;
}

int ITzLayerImage::UndoSwitchBlockData(ITzUndoBlockListBase* /*undo*/)
{
    return 0;
}

int ITzLayerImage::MergeGetNewBounds(const PTzRECT* /*dest*/, const PTzRECT* /*floating*/, PTzRECT* /*out*/,
                                     int32_t /*mergeType*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::BackupBlockInBounds(uint32_t /*block*/, ITzLayerImage* /*floating*/, ITzLayerImage* /*selection*/,
                                       const PTzRECT* /*rect*/, ITzUndoBlockListBase* /*list*/)
{
    return 0;
}

int ITzLayerImage::BackupBlockInBounds(uint32_t /*block*/, ITzLayerImage* /*floating*/, uint32_t /*floatingBlock*/,
                                       ITzLayerImage* /*selection*/, const PTzRECT* /*rect*/,
                                       ITzUndoBlockListBase* /*list*/)
{
    return 0;
}

void* ITzLayerImage::ResampleFillChannelBitmapStart(_tagITzCHANNELBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                                    const _tagITzZOOMLEVEL* /*zoomX*/,
                                                    const _tagITzZOOMLEVEL* /*zoomY*/, uint32_t /*type*/,
                                                    void* /*setting*/)
{
    return nullptr;
}

int ITzLayerImage::ResampleFillChannelBitmap(void* /*job*/, uint32_t* /*progress*/)
{
    return 0;
}

int ITzLayerImage::ResampleFillChannelBitmapEnd(void* /*job*/)
{
    return 0;
}

void* ITzLayerImage::ResampleFillChannelBitmapNNStart(_tagITzCHANNELBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                                      const _tagITzZOOMLEVEL* /*zoomX*/,
                                                      const _tagITzZOOMLEVEL* /*zoomY*/, void* /*setting*/)
{
    return nullptr;
}

int ITzLayerImage::ResampleFillChannelBitmapNN(void* /*job*/, uint32_t* /*progress*/)
{
    return 0;
}

int ITzLayerImage::ResampleFillChannelBitmapNNEnd(void* /*job*/)
{
    return 0;
}

void* ITzLayerImage::ResampleFillChannelBitmapBLStart(_tagITzCHANNELBITMAP* /*bitmap*/, const PTzRECT* /*rect*/,
                                                      const _tagITzZOOMLEVEL* /*zoomX*/,
                                                      const _tagITzZOOMLEVEL* /*zoomY*/, void* /*setting*/)
{
    return nullptr;
}

int ITzLayerImage::ResampleFillChannelBitmapBL(void* /*job*/, uint32_t* /*progress*/)
{
    return 0;
}

int ITzLayerImage::ResampleFillChannelBitmapBLEnd(void* /*job*/)
{
    return 0;
}
