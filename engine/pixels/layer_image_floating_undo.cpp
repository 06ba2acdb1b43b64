// Block-level undo of the image layer: swapping an edit's kept blocks back in (and the
// replaced ones out for redo), crops that keep what they cut, and the block moves of the
// cut and move tools. Block indexes in a list belong to the grid over the bounds the
// list was made at; grids are always the smallest that cover the bounds, so the bounds
// and the layer's block-border phase give that grid back.
#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/undo_block_list.h"

using lumatra::BlockState;

namespace {

// A grid in picture coordinates: its corner and its counts.
struct GridFrame {
    int64_t left = 0;
    int64_t top = 0;
    int64_t countX = 0;
    int64_t countY = 0;
};

int64_t FloorTo(int64_t value, int64_t phase)
{
    const int64_t remainder = ((value - phase) % ITzBLOCK_SIDE + ITzBLOCK_SIDE) % ITzBLOCK_SIDE;
    return value - remainder;
}

int64_t BlocksOver(int64_t from, int64_t to)
{
    return to > from ? (to - from + ITzBLOCK_SIDE - 1) / ITzBLOCK_SIDE : 0;
}

// The grid the layer has over `bounds`: its borders where the layer's are now.
GridFrame FrameOver(const ITzLayerImage& layer, const PTzRECT& bounds)
{
    if (PTzRectEmpty(&bounds))
        return {};
    PTzRECT grid;
    layer.GetBlockBounds(&grid);
    GridFrame frame;
    frame.left = FloorTo(bounds.left, grid.left);
    frame.top = FloorTo(bounds.top, grid.top);
    frame.countX = BlocksOver(frame.left, bounds.right);
    frame.countY = BlocksOver(frame.top, bounds.bottom);
    return frame;
}

GridFrame CurrentFrame(const ITzLayerImage& layer)
{
    PTzRECT grid;
    layer.GetBlockBounds(&grid);
    return {grid.left, grid.top, layer.DWKGetBlockCountX(), layer.DWKGetBlockCountY()};
}

// The index in `to` of the block at the place of block `index` of `from`; false when
// `to` has no block there.
bool MapBlock(const GridFrame& from, uint32_t index, const GridFrame& to, uint32_t* out)
{
    if (from.countX == 0 || int64_t(index / from.countX) >= from.countY)
        return false;
    const int64_t x = from.left + int64_t(index % from.countX) * ITzBLOCK_SIDE - to.left;
    const int64_t y = from.top + int64_t(index / from.countX) * ITzBLOCK_SIDE - to.top;
    if (x < 0 || y < 0 || x % ITzBLOCK_SIDE != 0 || y % ITzBLOCK_SIDE != 0 || x / ITzBLOCK_SIDE >= to.countX ||
        y / ITzBLOCK_SIDE >= to.countY)
        return false;
    *out = uint32_t(y / ITzBLOCK_SIDE * to.countX + x / ITzBLOCK_SIDE);
    return true;
}

uint32_t BlockCount(const ITzLayerImage& layer)
{
    return uint32_t(layer.DWKGetBlockCountX()) * layer.DWKGetBlockCountY();
}

// Every block that meets nothing of `bounds` goes to the list.
bool MoveBlocksOutside(ITzLayerImage& layer, const PTzRECT& bounds, ITzUndoBlockListBase* list)
{
    for (uint32_t index = 0, count = BlockCount(layer); index < count; ++index) {
        PTzRECT block, common;
        layer.GetBlockPictRect(index, &block);
        if (!PTzRectIntersect(&block, &bounds, &common) && !lumatra::MoveBlockOrAbsence(layer, index, list))
            return false;
    }
    return true;
}

// Gives the layer back the blocks handed to the list from item `start` on, newest first.
void ReturnBlocks(ITzLayerImage& layer, ITzUndoBlockListBase* list, uint32_t start)
{
    for (uint32_t item = list->GetCount(); item-- > start;)
        if (layer.SwitchBlockwithUndoList(item, list))
            list->RemoveItem(item);  // it holds the layer's empty record now
}

// Every item names a block of the grid over the old bounds, so that swapping the items
// back in cannot fail halfway.
bool ItemsFit(const GridFrame& old, ITzUndoBlockListBase* list)
{
    for (uint32_t item = 0, count = list->GetCount(); item < count; ++item) {
        _tagITzUNDOBLOCKITEMARGB entry;  // the larger item; only the index is read
        if (!list->GetItem(item, &entry, sizeof entry) ||
            ITzUndoBlockListBase::GetItemBlockIndex(&entry) >= uint64_t(old.countX * old.countY))
            return false;
    }
    return true;
}

bool SameType(ITzLayerImage& layer, ITzUndoBlockListBase* list)
{
    return list && list->GetBlockType() == layer.GetBlockType();
}

// Keeps the source block, when it is present, before a block move changes it.
bool KeepSource(ITzLayerImage& source, uint32_t index, ITzUndoBlockListBase* undo)
{
    const int state = BlockState(source, index);
    return state == 0 || (state > 0 && source.BackupBlock(index, undo));
}

}  // namespace

int ITzLayerImage::Undo(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo, PTzRECT* bounds,
                        ITzUndoBlockListBase* redo)
{
    if (!oldBounds)
        return 0;
    PTzRECT current;
    GetBounds(&current);
    if (bounds)
        *bounds = current;
    if (!undo) {
        _tagPTzOFFSET back = {oldBounds->left - current.left, oldBounds->top - current.top};
        if (back.x != 0 || back.y != 0)
            Move(&back);
        return 1;
    }
    if (!SameType(*this, undo) || !SameType(*this, redo) || !ItemsFit(FrameOver(*this, *oldBounds), undo))
        return 0;
    const uint32_t start = redo->GetCount();
    if (!MoveBlocksOutside(*this, *oldBounds, redo) || !UndoBackupBlockList(oldBounds, undo, redo) ||
        SetSize(oldBounds, 1) != 0) {
        ReturnBlocks(*this, redo, start);
        return 0;
    }
    return UndoSwitchBlockData(undo);
}

int ITzLayerImage::UndoBackupBlockList(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo,
                                       ITzUndoBlockListBase* redo)
{
    if (!oldBounds || !undo || !redo)
        return 0;
    const GridFrame old = FrameOver(*this, *oldBounds);
    const GridFrame now = CurrentFrame(*this);
    for (uint32_t item = 0, count = undo->GetCount(); item < count; ++item) {
        _tagITzUNDOBLOCKITEMARGB entry;  // the larger item; only the index is read
        if (!undo->GetItem(item, &entry, sizeof entry))
            return 0;
        uint32_t index;
        if (MapBlock(old, ITzUndoBlockListBase::GetItemBlockIndex(&entry), now, &index) &&
            !lumatra::MoveBlockOrAbsence(*this, index, redo))
            return 0;
    }
    return 1;
}

int ITzLayerImage::UndoSwitchBlockData(ITzUndoBlockListBase* undo)
{
    if (!undo)
        return 0;
    int result = 1;
    for (uint32_t item = 0, count = undo->GetCount(); item < count; ++item)
        if (!SwitchBlockwithUndoList(item, undo))
            result = 0;
    return result;
}

int ITzLayerImage::BackupBlockForUndo(uint32_t index, const PTzRECT* bounds, ITzUndoBlockListBase* list)
{
    uint32_t kept;
    if (!bounds || !SameType(*this, list) || !MapBlock(CurrentFrame(*this), index, FrameOver(*this, *bounds), &kept))
        return 0;
    return lumatra::BackupBlockAs(*this, index, kept, list) ? 1 : 0;
}

int ITzLayerImage::Crop(const PTzRECT* rect, ITzUndoBlockListBase* undo)
{
    if (!rect || !SameType(*this, undo))
        return 0;
    PTzRECT old, cropped;
    GetBounds(&old);
    PTzRectIntersect(&old, rect, &cropped);
    lumatra::StagedBackups staged(GetBlockType());
    for (uint32_t index = 0, count = BlockCount(*this); index < count; ++index) {
        PTzRECT block, before = {}, after = {};
        GetBlockPictRect(index, &block);
        PTzRectIntersect(&block, &old, &before);
        PTzRectIntersect(&block, &cropped, &after);
        if (!PTzRectEqual(&before, &after) && !staged.RecordWhole(*this, index))
            return 0;
    }
    // The backups are copies, so the layer is as it was until the cut, which only
    // removes blocks and needs no memory: committing them first leaves nothing to roll back.
    if (!staged.CommitTo(undo))
        return 0;
    return SetSize(&cropped, 1) == 0 ? 1 : 0;
}

int ITzLayerImage::CopyToCutLayer(ITzLayerImage* source, const _tagITzBLOCKPOSITION* sourcePosition,
                                  ITzLayerImage* target, const _tagITzBLOCKPOSITION* targetPosition,
                                  ITzLayerImage* selection, ITzUndoBlockListBase* undo)
{
    if (!source || !sourcePosition)
        return 0;
    const uint32_t index = source->BlockPosToIndex(sourcePosition);
    if (index == ITzBLOCK_INDEX_NONE || !KeepSource(*source, index, undo))
        return 0;
    return source->CopyBlockCut(sourcePosition, target, targetPosition, selection);
}

int ITzLayerImage::CopyToFloatLayer(ITzLayerImage* source, const _tagITzBLOCKPOSITION* sourcePosition,
                                    ITzLayerImage* floating, const _tagITzBLOCKPOSITION* floatingPosition,
                                    ITzLayerImage* selection, int backup, ITzUndoBlockListBase* undo)
{
    if (!source || !sourcePosition || !floating || !floatingPosition || !selection)
        return 0;
    const uint32_t index = source->BlockPosToIndex(sourcePosition);
    if (index == ITzBLOCK_INDEX_NONE || (backup && !KeepSource(*source, index, undo)))
        return 0;
    return source->CopyBlockToFloat(sourcePosition, floating, floatingPosition, selection, backup);
}
