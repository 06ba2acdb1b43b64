// The image layer's floating layer: making one aligned with the layer's grid, merging it
// away with undo, taking it on and off, and the geometry of aligned grids and merged bounds.
#include <memory>

#include "base/broadcaster.h"
#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_owner.h"

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// The picture hears about the floating layer's changes like about its layers'.
PTzListener* PictureListener(ITzLayerOwner* owner)
{
    return dynamic_cast<PTzListener*>(owner);
}

int32_t Phase(int32_t offset, int32_t position)
{
    return (offset - position) & 255;
}

}  // namespace

ITzLayerImage* ITzLayerImage::CreateFloatingLayer()
{
    ITzLayerImage* floating = CreateFloatingLayer_1(0);
    if (floating)
        if (PTzListener* listener = PictureListener(m_picture))
            listener->AddToBroadcaster(floating);
    return floating;
}

ITzLayerImage* ITzLayerImage::CreateFloatingLayer_1(int floatingType)
{
    if (floatingType != 0 && floatingType != 1)
        return nullptr;
    // The old floating layer stays when it cannot be merged away: its pixels are the user's.
    if (!ClearFloatingLayer())
        return nullptr;
    LayerPointer floating(floatingType == 0 ? CreateFloatingLayerCore() : CreateFloatingEraseMask());
    if (!floating || (floatingType == 0 && !CreateMatchBlock(floating.get())))
        return nullptr;
    m_floating = floating.release();
    return m_floating;
}

int ITzLayerImage::ClearFloatingLayer()
{
    if (!m_floating)
        return 1;
    if (m_picture)
        m_picture->AutoMergeFloatingLayer(this);
    return m_floating ? 0 : 1;
}

ITzLayerImage* ITzLayerImage::MergeFloatingLayer(ITzUndoBlockListBase* undo)
{
    if (!m_floating || !m_picture)
        return nullptr;
    ITzLayerImage* selection = m_picture->GetSelectionLayer(0);
    // The selection's own floating layer is merged everywhere, not through itself.
    if (selection == this)
        selection = nullptr;
    if (!MergeAction(m_floating, selection, undo))
        return nullptr;
    return RemoveFloatingLayer();
}

int ITzLayerImage::SetFloatingLayer(ITzLayerImage* layer)
{
    if (m_floating || !layer || layer == this)
        return 0;
    m_floating = layer;
    if (PTzListener* listener = PictureListener(m_picture))
        listener->AddToBroadcaster(layer);
    PTzRECT bounds, local;
    layer->GetBounds(&bounds);
    if (!PTzRectEmpty(&bounds) && PRECTtoLRECT(&bounds, &local) == 0)
        PreviewChanged(&local);
    return 1;
}

ITzLayerImage* ITzLayerImage::RemoveFloatingLayer()
{
    ITzLayerImage* floating = m_floating;
    if (!floating)
        return nullptr;
    m_floating = nullptr;
    if (PTzListener* listener = PictureListener(m_picture))
        listener->RemoveFromBroadcaster(floating);
    // The picture no longer draws it over this layer.
    PTzRECT bounds, local;
    floating->GetBounds(&bounds);
    if (!PTzRectEmpty(&bounds) && PRECTtoLRECT(&bounds, &local) == 0)
        PreviewChanged(&local);
    return floating;
}

int ITzLayerImage::CreateMatchBlock(ITzLayerImage* layer)
{
    // Only an empty grid can be placed anew without moving pixels.
    if (!layer || layer == this || layer->GetBlockCount() != 0)
        return 0;
    // Block borders lie where P = position - offset (mod 256); the layer's next grid,
    // made from its offset and position, then has its borders where this grid has them.
    layer->m_blockOffset = {(layer->m_position.x + m_blockOffset.x - m_position.x) & 255,
                            (layer->m_position.y + m_blockOffset.y - m_position.y) & 255};
    return 1;
}

int ITzLayerImage::IsMatchBlockLayer(const ITzLayerImage* layer) const
{
    if (!layer)
        return 0;
    return Phase(m_blockOffset.x, m_position.x) == Phase(layer->m_blockOffset.x, layer->m_position.x) &&
           Phase(m_blockOffset.y, m_position.y) == Phase(layer->m_blockOffset.y, layer->m_position.y);
}

int ITzLayerImage::GetBlockOffsetForMatchLayer(const ITzLayerImage* a, const ITzLayerImage* b, _tagPTzOFFSET* out)
{
    if (!a || !b || !out || !a->IsMatchBlockLayer(b))
        return 0;
    // (offset - position) is the distance from the grid's corner to the picture origin.
    const int64_t dx = (int64_t(b->m_blockOffset.x) - b->m_position.x) - (int64_t(a->m_blockOffset.x) - a->m_position.x);
    const int64_t dy = (int64_t(b->m_blockOffset.y) - b->m_position.y) - (int64_t(a->m_blockOffset.y) - a->m_position.y);
    *out = {int32_t(dx >> 8), int32_t(dy >> 8)};
    return 1;
}

int ITzLayerImage::MergeGetNewBounds(const PTzRECT* dest, const PTzRECT* floating, PTzRECT* out, int32_t mergeType)
{
    if (!dest || !floating || !out)
        return ITzERR_INVALID;
    switch (mergeType) {
    case ITzMERGE_NORMAL:
    case ITzMERGE_SMUDGE:
        PTzRectBounds(dest, floating, out);
        break;
    case ITzMERGE_REPLACE:
    case ITzMERGE_INVERT:
        *out = *floating;
        break;
    case ITzMERGE_INTERSECT:
        PTzRectIntersect(dest, floating, out);
        break;
    default:  // subtract, erase and the rest change pixels only inside the layer
        *out = *dest;
        break;
    }
    return 0;
}
