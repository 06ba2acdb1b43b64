// The copy of the active layer that copy and cut hand to the clipboard: the whole layer,
// or with a selection the selected part of what the user sees on it, block by block.
#include <memory>

#include "engine/picture/picture.h"
#include "engine/pixels/block_enum.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"

namespace {

using OwnedLayer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Copies every block of `source` under the P rectangle into the block at the same place
// of `copy`, whose grid is aligned with the source's, masked by the selection.
bool CopySelectedBlocks(ITzLayerImage& source, ITzLayerImage& copy, ITzLayerImage& selection, const PTzRECT& area)
{
    _tagPTzOFFSET shift;
    PTzRECT local, grid;
    _tagITzBLOCKENUM walk;
    if (!ITzLayerImage::GetBlockOffsetForMatchLayer(&source, &copy, &shift) ||
        source.PRECTtoLRECT(&area, &local) != 0 || source.LRECTtoBRECT(&local, &grid) != 0 ||
        ITzBlockEnumFill(&grid, nullptr, &walk) != 0)
        return false;
    _tagITzBLOCKPOSITION position;
    while (ITzBlockEnumGetCurrent(&walk, nullptr, &position, nullptr)) {
        const int32_t column = int32_t(position.column) + shift.x;
        const int32_t row = int32_t(position.row) + shift.y;
        if (column < 0 || row < 0 || column > UINT16_MAX || row > UINT16_MAX)
            return false;
        const _tagITzBLOCKPOSITION target = {uint16_t(column), uint16_t(row)};
        if (!source.CopyToLayerWithMask(&copy, &target, &position, &selection))
            return false;
    }
    return true;
}

}  // namespace

ITzLayerImage* ITzPicture::CreateCopyLayer()
{
    ITzLayerBase* active = GetLayerbyIndex(GetActiveLayerID());
    if (!active || !active->IsImageLayer())
        return nullptr;
    auto* layer = static_cast<ITzLayerImage*>(active);
    ITzLayerImageSelect* selection = GetSelectionMask();
    if (!selection)
        return layer->CopyLayer();
    ITzLayerImage* source = layer->GetFloatingLayer() ? layer->GetFloatingLayer() : layer;
    PTzRECT sourceBounds, selected, area;
    source->GetBounds(&sourceBounds);
    selection->GetSelectionBounds(&selected);
    if (!PTzRectIntersect(&sourceBounds, &selected, &area))
        return nullptr;
    OwnedLayer copy(source->CreateSameTypeLayer());
    if (!copy || !source->CreateMatchBlock(copy.get()) || copy->SetSize(&area, 1) != 0 ||
        !CopySelectedBlocks(*source, *copy, *selection, area))
        return nullptr;
    return copy.release();
}
