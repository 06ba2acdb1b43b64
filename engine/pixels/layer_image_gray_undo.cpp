// The gray layer's block-level undo and block moves: backups into undo lists, handing
// blocks to a list and swapping them back, the tests that spare needless backups, and
// the masked moves of a block into another mask. Every operation either completes or
// leaves both sides as they were, so no handle is ever held twice.
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/selection_block_mask.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/pixels/undo_block_move.h"

using lumatra::merge::GrayOp;

namespace {

bool Uniform(const _tagITzBLOCKINFOGRAY& record, uint8_t value)
{
    return (record.flags & ITzBLOCK_PRESENT) && !record.data && record.constant == value;
}

// A merge with `value` as its source that, scaled by the opacity, keeps every pixel of an
// intersection: only 255 at full opacity.
bool KeepsIntersection(uint8_t value, const _tagITzMERGEDATA& merge)
{
    return value == 255 && merge.opacity == 255;
}

// A merge through the selection skips a block over which the selection reads as
// uniformly 0, and only such a block: gray merges apply no mask inside a block, so a
// selection of 0 over just a part of the block spares no backup.
bool SelectionEmptyOverBlock(const ITzLayerImage& layer, uint32_t block, ITzLayerImage* selection)
{
    auto* mask = dynamic_cast<ITzLayerImageGray*>(selection);
    PTzRECT picture, local;
    uint8_t value = 0;
    return mask && layer.GetBlockPictRect(block, &picture) == 0 && mask->PRECTtoLRECT(&picture, &local) == 0 &&
           mask->IsRectDataSame(&local, &value) && value == 0;
}

// d = op(d, mask) over a record that has data of its own.
void ApplyMask(const _tagITzBLOCKINFOGRAY& record, GrayOp op, const uint8_t* mask)
{
    const PTzHandleLockGuard data(record.data);
    lumatra::merge::Job job;
    job.source[0] = mask;
    job.dest[0] = data.bytes();
    job.sourceStride = job.destStride = 256;
    job.width = job.height = 256;
    lumatra::merge::GrayPlane(op, job);
}

}  // namespace

int ITzLayerImageGray::BackupBlock(uint32_t index, ITzUndoBlockListBase* list)
{
    return lumatra::BackupBlockToUndoList<ITzLayerImageGray, _tagITzUNDOBLOCKITEMGRAY>(*this, index, list);
}

int ITzLayerImageGray::MoveBlocktoUndoList(uint32_t index, ITzUndoBlockListBase* list)
{
    return lumatra::MoveBlockToUndoList<ITzLayerImageGray, _tagITzUNDOBLOCKITEMGRAY>(*this, index, list);
}

int ITzLayerImageGray::SwitchBlockwithUndoList(uint32_t item, ITzUndoBlockListBase* list)
{
    return lumatra::SwitchBlockWithUndoList<ITzLayerImageGray, _tagITzUNDOBLOCKITEMGRAY>(*this, item, list);
}

int ITzLayerImageGray::MergeNeedBackupDes(uint32_t block, const _tagITzMERGEDATA* merge)
{
    _tagITzBLOCKINFOGRAY record;
    if (!merge || GetBlockInfo(block, &record, 0) != 0)
        return 1;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
        return !Uniform(record, 255);
    case ITzMERGE_INTERSECT:
    case ITzMERGE_SUBTRACT:
    case ITzMERGE_ERASE:
        return !Uniform(record, 0);
    default:
        return 1;
    }
}

// Asked only when this mask floats over a layer of another kind, where the tile merge
// erases by the mask whatever the type: only a mask of 0 keeps every pixel. The rule
// that spares intersections with 255 holds between masks alone and is not used here.
int ITzLayerImageGray::MergeNeedBackupSrc(uint32_t block, const _tagITzMERGEDATA* merge)
{
    _tagITzBLOCKINFOGRAY record;
    if (!merge || GetBlockInfo(block, &record, 0) != 0)
        return 1;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
    case ITzMERGE_SUBTRACT:
    case ITzMERGE_ERASE:
        return !IsBlockEmpty(&record);
    default:
        return 1;
    }
}

int ITzLayerImageGray::MergeNeedBackupSrc(const PTzRECT* rect, const _tagITzMERGEDATA* merge)
{
    PTzRECT local;
    uint8_t value = 0;
    if (!rect || !merge || PRECTtoLRECT(rect, &local) != 0 || !IsRectDataSame(&local, &value))
        return 1;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
    case ITzMERGE_SUBTRACT:
    case ITzMERGE_ERASE:
        return value != 0;
    default:
        return 1;
    }
}

int ITzLayerImageGray::MergeRectNeedBackupGray(uint8_t value, const _tagITzBLOCKINFOGRAY* target,
                                               const _tagITzMERGEDATA* merge)
{
    if (!target || !merge)
        return 1;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
        return !(value == 0 || Uniform(*target, 255));
    case ITzMERGE_REPLACE:
        return !Uniform(*target, value);
    case ITzMERGE_INTERSECT:
        return !(Uniform(*target, 0) || KeepsIntersection(value, *merge));
    case ITzMERGE_SUBTRACT:
        return !(Uniform(*target, 0) || value == 0);
    default:
        return 1;
    }
}

int ITzLayerImageGray::MergeBlockNeedBackupGray(const _tagITzBLOCKINFOGRAY* source,
                                                const _tagITzBLOCKINFOGRAY* target, const _tagITzMERGEDATA* merge)
{
    if (!source || !target || !merge)
        return 1;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
        return !(IsBlockEmpty(source) || Uniform(*target, 255));
    case ITzMERGE_REPLACE:
        return !(Uniform(*source, source->constant) && Uniform(*target, source->constant));
    case ITzMERGE_INTERSECT:
        return !(Uniform(*target, 0) || (Uniform(*source, 255) && KeepsIntersection(255, *merge)));
    case ITzMERGE_SUBTRACT:
        return !(Uniform(*target, 0) || Uniform(*source, 0));
    default:
        return 1;
    }
}

int ITzLayerImageGray::BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating,
                                                      ITzLayerImage* selection, const PTzRECT* rect,
                                                      ITzUndoBlockListBase* list)
{
    _tagITzBLOCKINFOGRAY own;
    if (ITzLayerImageGray::GetBlockInfo(block, &own, 0) != 0 || SelectionEmptyOverBlock(*this, block, selection))
        return 0;
    auto* source = dynamic_cast<ITzLayerImageGray*>(floating);
    PTzRECT floatingRect;
    uint8_t value = 0;
    if (!source || !rect || source->PRECTtoLRECT(rect, &floatingRect) != 0 ||
        !source->IsRectDataSame(&floatingRect, &value))
        return BackupBlock(block, list);
    const _tagITzMERGEDATA merge = {floating->GetMergeType(), floating->GetOpacity()};
    return MergeRectNeedBackupGray(value, &own, &merge) ? BackupBlock(block, list) : 0;
}

int ITzLayerImageGray::BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating,
                                                      uint32_t floatingBlock, ITzLayerImage* selection,
                                                      const PTzRECT*, ITzUndoBlockListBase* list)
{
    _tagITzBLOCKINFOGRAY own, source;
    if (!floating || ITzLayerImageGray::GetBlockInfo(block, &own, 0) != 0 ||
        !ReadGrayBlock(floating, floatingBlock, source) || SelectionEmptyOverBlock(*this, block, selection))
        return 0;
    const _tagITzMERGEDATA merge = {floating->GetMergeType(), floating->GetOpacity()};
    return MergeBlockNeedBackupGray(&source, &own, &merge) ? BackupBlock(block, list) : 0;
}

int ITzLayerImageGray::CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                                        const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection,
                                        int takeOut)
{
    auto* target = dynamic_cast<ITzLayerImageGray*>(floating);
    const uint32_t index = BlockPosToIndex(position);
    const uint32_t targetIndex = target ? target->BlockPosToIndex(floatingPosition) : ITzBLOCK_INDEX_NONE;
    _tagITzBLOCKINFOGRAY own, existing;
    if (index == ITzBLOCK_INDEX_NONE || targetIndex == ITzBLOCK_INDEX_NONE)
        return 0;
    const int exists = target->GetBlockInfo(targetIndex, &existing, 0);
    if (exists != 0 && exists != ITzERR_BLOCK_ABSENT)
        return 0;
    if (ITzLayerImageGray::GetBlockInfo(index, &own, 0) != 0)
        own = {};  // a missing block floats as 0 and stays missing
    return MoveSelectedPart(index, own, target, targetIndex, selection, false, takeOut != 0);
}

int ITzLayerImageGray::CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                                    const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOGRAY own, existing;
    if (index == ITzBLOCK_INDEX_NONE || ITzLayerImageGray::GetBlockInfo(index, &own, 0) != 0)
        return 0;
    // Without a target block of this kind only the cut happens.
    auto* mask = dynamic_cast<ITzLayerImageGray*>(target);
    uint32_t targetIndex = mask ? mask->BlockPosToIndex(targetPosition) : ITzBLOCK_INDEX_NONE;
    if (targetIndex != ITzBLOCK_INDEX_NONE) {
        const int exists = mask->GetBlockInfo(targetIndex, &existing, 0);
        if (exists != 0 && exists != ITzERR_BLOCK_ABSENT)
            targetIndex = ITzBLOCK_INDEX_NONE;
    }
    return MoveSelectedPart(index, own, mask, targetIndex, selection, true, true);
}

int ITzLayerImageGray::MoveSelectedPart(uint32_t index, const _tagITzBLOCKINFOGRAY& own, ITzLayerImageGray* target,
                                        uint32_t targetIndex, ITzLayerImage* selection, bool maskCopy, bool takeOut)
{
    const lumatra::ScratchPages mask(1);
    if (!mask.ok())
        return 0;
    // A selection that cannot be read selects nothing.
    PTzRECT blockRect;
    if (GetBlockPictRect(index, &blockRect) != 0 || !lumatra::ReadBlockMask(selection, blockRect, mask.page(0)))
        std::memset(mask.page(0), 0, ITzBLOCK_PAGE_BYTES);
    const bool present = (own.flags & ITzBLOCK_PRESENT) != 0;
    const bool copying = targetIndex != ITzBLOCK_INDEX_NONE;
    const bool cutting = takeOut && present && (own.data || own.constant != 0);
    // Everything that can fail comes first: the copy and the handles the edits need.
    _tagITzBLOCKINFOGRAY copy = {nullptr, 0, ITzBLOCK_PRESENT};
    _tagITzBLOCKINFOGRAY cut = own;
    bool ok = !copying || !present || CopyBlockData(index, &copy);
    const bool masking = copying && maskCopy && (copy.data || copy.constant != 0);
    if (ok && masking)
        ok = UncompressBlock(&copy) == 0;
    if (ok && cutting)
        ok = UncompressBlock(&cut) == 0;
    if (ok && copying) {
        if (masking) {
            ApplyMask(copy, GrayOp::Multiply, mask.page(0));
            CompressBlock(&copy);
        }
        _tagITzBLOCKINFOGRAY previous;
        const int read = target->GetBlockInfo(targetIndex, &previous, 0);
        ok = (read == 0 || read == ITzERR_BLOCK_ABSENT) && target->SetBlockInfo(targetIndex, &copy) == 0;
        if (ok)
            DestroyBlockData(&previous);
    }
    if (!ok) {
        DestroyBlockData(&copy);
        if (cut.data != own.data)
            PTzHandleFree(cut.data);
        return 0;
    }
    if (copying)
        target->BlockDataUpdated(targetIndex);
    if (cutting) {
        ApplyMask(cut, GrayOp::Subtract, mask.page(0));
        CompressBlock(&cut);
        StoreChanged(index, cut);
    }
    return 1;
}
