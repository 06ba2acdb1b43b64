// The selection-driven block walk of the cut and move tools.
#include "engine/tools/tool_selection_blocks.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/selection_block_mask.h"

namespace lumatra {

ITzLayerImageSelect* SelectedMask(ITzPicture& picture, PTzRECT* bounds)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(0));
    if (!selection)
        return nullptr;
    selection->GetSelectionBounds(bounds);
    return PTzRectEmpty(bounds) ? nullptr : selection;
}

bool ForSelectedBlocks(ITzLayerImage& source, ITzLayerImage& target, ITzLayerImage* selection,
                       const SelectedBlockMove& move)
{
    _tagPTzOFFSET shift;
    if (!ITzLayerImage::GetBlockOffsetForMatchLayer(&target, &source, &shift))
        return false;
    for (uint32_t index = 0, count = target.GetBlockCount(); index < count; ++index) {
        PTzRECT blockRect;
        uint8_t value = 0;
        target.GetBlockPictRect(index, &blockRect);
        // Decided from the selection's block records alone: nothing of the layer is read.
        if (ProbeBlockMask(selection, blockRect, &value) && value == 0)
            continue;
        const uint32_t sourceIndex = BlockAt(target, index, source, shift);
        if (sourceIndex == ITzBLOCK_INDEX_NONE)
            continue;
        const int state = BlockState(source, sourceIndex);
        if (state < 0)
            return false;
        if (state == 0)
            continue;  // a missing block holds nothing to move
        _tagITzBLOCKPOSITION from, to;
        source.IndexToBlockPos(sourceIndex, &from);
        target.IndexToBlockPos(index, &to);
        if (!move(from, to))
            return false;
    }
    return true;
}

bool FitsAfterMove(const PTzRECT& rect, int64_t dx, int64_t dy)
{
    const auto fits = [](int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; };
    return fits(rect.left + dx) && fits(rect.right + dx) && fits(rect.top + dy) && fits(rect.bottom + dy);
}

bool MoveStaysInRange(ITzPicture& picture, ITzLayerBase& moved, bool withLinks, int64_t dx, int64_t dy)
{
    const auto fits = [&](ITzLayerBase* layer) {
        PTzRECT bounds;
        return !layer || (layer->GetBounds(&bounds) == 0 && FitsAfterMove(bounds, dx, dy));
    };
    if (!fits(&moved) || !fits(picture.GetSelectionLayer(0)))
        return false;
    for (uint16_t i = 0; withLinks && i < picture.GetLayerCount(); ++i) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        if (layer->GetLinkNumber() == moved.GetLinkNumber() && !fits(layer))
            return false;
    }
    return true;
}

}  // namespace lumatra
