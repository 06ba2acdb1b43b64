// The ARGB layer's block-level undo and block moves: backups into undo lists, handing
// blocks to a list and swapping them back, the tests that spare needless backups, and
// the masked copies of a block into another layer. Every operation either completes or
// leaves both sides as they were, so no handle is ever held twice.
#include <cstring>
#include <optional>

#include "base/error_codes.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/selection_block_mask.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/pixels/undo_block_move.h"

using lumatra::merge::GrayOp;

namespace {

constexpr uint8_t kColourChannels = 0x0E;

// Without a selection nothing counts as empty.
bool SelectionHasValues(ITzLayerImage* selection, const PTzRECT& pictureRect)
{
    if (!selection)
        return true;
    uint8_t value = 0;
    if (lumatra::ProbeBlockMask(selection, pictureRect, &value))
        return value != 0;
    const lumatra::ScratchPages page(1);
    if (!page.ok() || !lumatra::ReadBlockMask(selection, pictureRect, page.page(0)))
        return true;
    return !ITzBytesUniform(page.page(0), ITzBLOCK_PAGE_BYTES, &value) || value != 0;
}

// Gives the alpha channel a handle of its own constant, so it can be edited in place.
bool PrepareAlpha(_tagITzBLOCKINFOARGB& record)
{
    if (record.channels[0])
        return true;
    record.channels[0] = ITzChannelExpand(record.constants[0]);
    return record.channels[0] != nullptr;
}

// Folds the alpha channel into its byte when all its bytes are equal.
void FoldAlpha(_tagITzBLOCKINFOARGB& record)
{
    uint8_t value = 0;
    if (record.channels[0] && ITzChannelUniform(record.channels[0], &value)) {
        PTzHandleFree(record.channels[0]);
        record.channels[0] = nullptr;
        record.constants[0] = value;
    }
}

// alpha = op(alpha, mask) over a prepared alpha channel, then folded when uniform.
void ApplyToAlpha(_tagITzBLOCKINFOARGB& record, GrayOp op, const uint8_t* mask)
{
    {
        const PTzHandleLockGuard alpha(record.channels[0]);
        lumatra::merge::Job job;
        job.source[0] = mask;
        job.dest[0] = alpha.bytes();
        job.sourceStride = job.destStride = 256;
        job.width = job.height = 256;
        lumatra::merge::GrayPlane(op, job);
    }
    FoldAlpha(record);
}

// The selection over one block: one byte, or its values in a page.
struct BlockMask {
    bool uniform = true;
    uint8_t value = 0;
    const uint8_t* page = nullptr;
};

// op(alpha, value) for one byte, by the same kernel as whole channels.
uint8_t MaskByte(GrayOp op, uint8_t alpha, uint8_t value)
{
    lumatra::merge::Job job;
    job.source[0] = &value;
    job.dest[0] = &alpha;
    job.width = job.height = 1;
    lumatra::merge::GrayPlane(op, job);
    return alpha;
}

// Whether op(alpha, value) leaves every alpha as it is (keeps) or makes it 0 (clears).
bool MaskKeeps(GrayOp op, uint8_t value)
{
    return value == (op == GrayOp::Multiply ? 255 : 0);
}

bool MaskClears(GrayOp op, uint8_t value)
{
    return value == (op == GrayOp::Multiply ? 0 : 255);
}

// The handle the alpha needs before the mask can be applied: a mask of one byte works
// on the constant or on the data in place, a page needs data. False when memory is short.
bool ReadyAlpha(_tagITzBLOCKINFOARGB& record, const BlockMask& mask)
{
    return mask.uniform || PrepareAlpha(record);
}

// alpha = op(alpha, mask) after ReadyAlpha; a mask of one byte expands nothing.
void MaskAlpha(_tagITzBLOCKINFOARGB& record, GrayOp op, const BlockMask& mask)
{
    if (!mask.uniform) {
        ApplyToAlpha(record, op, mask.page);
        return;
    }
    if (MaskKeeps(op, mask.value))
        return;
    if (!record.channels[0]) {
        record.constants[0] = MaskByte(op, record.constants[0], mask.value);
        return;
    }
    if (MaskClears(op, mask.value)) {
        PTzHandleFree(record.channels[0]);
        record.channels[0] = nullptr;
        record.constants[0] = 0;
        return;
    }
    uint8_t values[256];
    std::memset(values, mask.value, sizeof values);
    {
        const PTzHandleLockGuard alpha(record.channels[0]);
        lumatra::merge::Job job;
        job.source[0] = values;  // one row, repeated
        job.dest[0] = alpha.bytes();
        job.destStride = 256;
        job.width = job.height = 256;
        lumatra::merge::GrayPlane(op, job);
    }
    FoldAlpha(record);
}

// A block of the layer's grid, present or missing.
bool BlockExists(ITzLayerImage* layer, uint32_t index)
{
    _tagITzBLOCKDATAINFO info;
    if (index == ITzBLOCK_INDEX_NONE)
        return false;
    const int read = layer->GetBlockInfo(index, &info, 0);
    return read == 0 || read == ITzERR_BLOCK_ABSENT;
}

bool OpaqueAlpha(const _tagITzBLOCKINFOARGB& target)
{
    return (target.flags & ITzBLOCK_PRESENT) && !target.channels[0] && target.constants[0] == 255;
}

bool NoColourData(const _tagITzBLOCKINFOARGB& record)
{
    return !record.channels[1] && !record.channels[2] && !record.channels[3];
}

bool SameColour(const uint8_t* a, const uint8_t* b)
{
    return a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

}  // namespace

int ITzLayerImageARGB::BackupBlock(uint32_t index, ITzUndoBlockListBase* list)
{
    return lumatra::BackupBlockToUndoList<ITzLayerImageARGB, _tagITzUNDOBLOCKITEMARGB>(*this, index, list);
}

int ITzLayerImageARGB::MoveBlocktoUndoList(uint32_t index, ITzUndoBlockListBase* list)
{
    return lumatra::MoveBlockToUndoList<ITzLayerImageARGB, _tagITzUNDOBLOCKITEMARGB>(*this, index, list);
}

int ITzLayerImageARGB::SwitchBlockwithUndoList(uint32_t item, ITzUndoBlockListBase* list)
{
    return lumatra::SwitchBlockWithUndoList<ITzLayerImageARGB, _tagITzUNDOBLOCKITEMARGB>(*this, item, list);
}

int ITzLayerImageARGB::MergeNeedBackupDes(uint32_t block, const _tagITzMERGEDATA* merge)
{
    _tagITzBLOCKINFOARGB record;
    if (!merge || merge->mergeType != ITzMERGE_ERASE || GetBlockInfo(block, &record, 0) != 0)
        return 1;
    return !IsBlockEmpty(&record);
}

int ITzLayerImageARGB::MergeNeedBackupSrc(uint32_t block, const _tagITzMERGEDATA* merge)
{
    _tagITzBLOCKINFOARGB record;
    if (!merge || merge->mergeType != ITzMERGE_NORMAL || GetBlockInfo(block, &record, 0) != 0)
        return 1;
    return !IsBlockEmpty(&record);
}

int ITzLayerImageARGB::MergeNeedBackupSrc(const PTzRECT* rect, const _tagITzMERGEDATA* merge)
{
    PTzRECT layerRect;
    _tagITzARGBMEMDATA same = {};
    if (!rect || !merge || merge->mergeType != ITzMERGE_NORMAL || PRECTtoLRECT(rect, &layerRect) != 0 ||
        !CheckRectSame(&layerRect, &same))
        return 1;
    return !((same.uniform & 1) && same.constants[0] == 0);
}

int ITzLayerImageARGB::MergeRectNeedBackupARGB(const _tagITzARGBMEMDATA* source, const _tagITzBLOCKINFOARGB* target,
                                               const _tagITzMERGEDATA* merge)
{
    if (!merge || merge->mergeType != ITzMERGE_NORMAL || !source || !target)
        return 1;
    if ((source->uniform & 1) && source->constants[0] == 0)
        return 0;
    const bool sameOpaque = OpaqueAlpha(*target) && NoColourData(*target) &&
                            (source->uniform & kColourChannels) == kColourChannels &&
                            SameColour(source->constants, target->constants);
    return !sameOpaque;
}

int ITzLayerImageARGB::MergeBlockNeedBackupARGB(const _tagITzBLOCKINFOARGB* source,
                                                const _tagITzBLOCKINFOARGB* target, const _tagITzMERGEDATA* merge)
{
    if (!merge || merge->mergeType != ITzMERGE_NORMAL || !source || !target)
        return 1;
    if (IsBlockEmpty(source))
        return 0;
    const bool sameOpaque = OpaqueAlpha(*target) && NoColourData(*target) && NoColourData(*source) &&
                            SameColour(source->constants, target->constants);
    return !sameOpaque;
}

int ITzLayerImageARGB::BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating,
                                                      ITzLayerImage* selection, const PTzRECT* rect,
                                                      ITzUndoBlockListBase* list)
{
    _tagITzBLOCKINFOARGB own;
    if (ITzLayerImageARGB::GetBlockInfo(block, &own, 0) != 0)
        return 0;
    auto* source = dynamic_cast<ITzLayerImageARGB*>(floating);
    PTzRECT floatingRect;
    _tagITzARGBMEMDATA same = {};
    if (!source || !rect || source->PRECTtoLRECT(rect, &floatingRect) != 0 ||
        !source->CheckRectSame(&floatingRect, &same))
        return BackupBlock(block, list);
    const _tagITzMERGEDATA merge = {floating->GetMergeType(), floating->GetOpacity()};
    if (MergeRectNeedBackupARGB(&same, &own, &merge) && SelectionHasValues(selection, *rect))
        return BackupBlock(block, list);
    return 0;
}

int ITzLayerImageARGB::BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating,
                                                      uint32_t floatingBlock, ITzLayerImage* selection,
                                                      const PTzRECT* rect, ITzUndoBlockListBase* list)
{
    _tagITzBLOCKINFOARGB own, source;
    if (!floating || ITzLayerImageARGB::GetBlockInfo(block, &own, 0) != 0 ||
        !ReadARGBBlock(floating, floatingBlock, source))
        return 0;
    const _tagITzMERGEDATA merge = {floating->GetMergeType(), floating->GetOpacity()};
    if (MergeBlockNeedBackupARGB(&source, &own, &merge) && (!rect || SelectionHasValues(selection, *rect)))
        return BackupBlock(block, list);
    return 0;
}

int ITzLayerImageARGB::CopyToLayerWithMask(ITzLayerImage* target, const _tagITzBLOCKPOSITION* targetPosition,
                                           const _tagITzBLOCKPOSITION* sourcePosition, ITzLayerImage* selection)
{
    const uint32_t index = BlockPosToIndex(sourcePosition);
    if (!target || index == ITzBLOCK_INDEX_NONE || target->GetBlockType() != ITzBLOCKTYPE_ARGB)
        return 0;
    const uint32_t targetIndex = target->BlockPosToIndex(targetPosition);
    if (!BlockExists(target, targetIndex))
        return 0;
    // Copied first: the target's data goes only once the copy is sure.
    _tagITzBLOCKINFOARGB copy;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &copy, 0);
    if (read == ITzERR_BLOCK_ABSENT)
        copy = {ITzBLOCK_PRESENT, {}, {}};
    else if (read != 0 || !CopyBlockData(index, &copy))
        return 0;
    if (selection) {
        const lumatra::ScratchPages mask(1);
        PTzRECT blockRect;
        GetBlockPictRect(index, &blockRect);
        if (!mask.ok() || !lumatra::ReadBlockMask(selection, blockRect, mask.page(0)) || !PrepareAlpha(copy)) {
            DestroyBlockData(&copy);
            return 0;
        }
        ApplyToAlpha(copy, GrayOp::Multiply, mask.page(0));
    }
    const _tagITzBLOCKDATAINFO info = ToDataInfo(copy);
    if (target->SetBlockInfo(targetIndex, &info) != 0) {
        DestroyBlockData(&copy);
        return 0;
    }
    target->BlockDataUpdated(targetIndex);
    return 1;
}

int ITzLayerImageARGB::CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                                        const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection,
                                        int takeOut)
{
    const uint32_t index = BlockPosToIndex(position);
    const uint32_t floatingIndex = floating ? floating->BlockPosToIndex(floatingPosition) : ITzBLOCK_INDEX_NONE;
    if (index == ITzBLOCK_INDEX_NONE || !floating || floating->GetBlockType() != ITzBLOCKTYPE_ARGB ||
        !BlockExists(floating, floatingIndex))
        return 0;
    _tagITzBLOCKINFOARGB own;
    if (ITzLayerImageARGB::GetBlockInfo(index, &own, 0) != 0)
        own = {};  // a missing block floats as transparent and stays missing
    return MoveSelectedPart(index, own, floating, floatingIndex, selection, false, takeOut != 0);
}

int ITzLayerImageARGB::CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                                    const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOARGB own;
    if (index == ITzBLOCK_INDEX_NONE || ITzLayerImageARGB::GetBlockInfo(index, &own, 0) != 0)
        return 0;
    // Without a target block of this kind only the cut happens.
    uint32_t targetIndex = target ? target->BlockPosToIndex(targetPosition) : ITzBLOCK_INDEX_NONE;
    if (!target || target->GetBlockType() != ITzBLOCKTYPE_ARGB || !BlockExists(target, targetIndex))
        targetIndex = ITzBLOCK_INDEX_NONE;
    return MoveSelectedPart(index, own, target, targetIndex, selection, true, true);
}

int ITzLayerImageARGB::MoveSelectedPart(uint32_t index, const _tagITzBLOCKINFOARGB& own, ITzLayerImage* target,
                                        uint32_t targetIndex, ITzLayerImage* selection, bool maskCopy,
                                        bool takeOut)
{
    const bool present = (own.flags & ITzBLOCK_PRESENT) != 0;
    const bool copying = targetIndex != ITzBLOCK_INDEX_NONE;
    const bool holdsAlpha = present && (own.channels[0] || own.constants[0] != 0);
    // The mask only where alpha is masked: the selection over this block as one byte when
    // it is one, else its values in a page (all 0 when the selection cannot be read).
    BlockMask mask;
    std::optional<lumatra::ScratchPages> page;
    if (holdsAlpha && (takeOut || (copying && maskCopy))) {
        PTzRECT blockRect;
        GetBlockPictRect(index, &blockRect);
        mask.uniform = lumatra::ProbeBlockMask(selection, blockRect, &mask.value) != 0;
        if (!mask.uniform) {
            page.emplace(1);
            if (!page->ok())
                return 0;
            if (!lumatra::ReadBlockMask(selection, blockRect, page->page(0)))
                std::memset(page->page(0), 0, ITzBLOCK_PAGE_BYTES);
            mask.page = page->page(0);
        }
    }
    const bool cutting = holdsAlpha && takeOut && !(mask.uniform && MaskKeeps(GrayOp::Subtract, mask.value));
    const bool masking =
        holdsAlpha && copying && maskCopy && !(mask.uniform && MaskKeeps(GrayOp::Multiply, mask.value));
    // Everything that can fail comes first: the copy and the handles the edits need.
    _tagITzBLOCKINFOARGB copy = {ITzBLOCK_PRESENT, {}, {}};
    _tagITzBLOCKINFOARGB cut = own;
    bool ok = !copying || !present || ITzBlockInfoARGBDuplicate(&own, &copy);
    if (ok && masking)
        ok = ReadyAlpha(copy, mask);
    if (ok && cutting)
        ok = ReadyAlpha(cut, mask);
    if (ok && copying) {
        if (masking)
            MaskAlpha(copy, GrayOp::Multiply, mask);
        const _tagITzBLOCKDATAINFO info = ToDataInfo(copy);
        ok = target->SetBlockInfo(targetIndex, &info) == 0;
    }
    if (!ok) {
        DestroyBlockData(&copy);
        if (cut.channels[0] != own.channels[0])
            PTzHandleFree(cut.channels[0]);
        return 0;
    }
    if (copying)
        target->BlockDataUpdated(targetIndex);
    if (cutting) {
        MaskAlpha(cut, GrayOp::Subtract, mask);
        StoreChanged(index, cut);
    }
    return 1;
}

int ITzLayerImageARGB::MergeBlockMask(_tagITzBITMAP* mask, const _tagITzBLOCKPOSITION* position,
                                      const PTzRECT* rect, uint32_t mode)
{
    const uint32_t index = BlockPosToIndex(position);
    _tagITzBLOCKINFOARGB record;
    if (!mask || !rect || index == ITzBLOCK_INDEX_NONE || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    const int merged = MergeBlockAlpha(mask, &record.channels[0], &record.constants[0], rect, uint8_t(mode));
    if (merged < 0)
        return 0;  // the dab was dropped: the caller must not count it as painted
    if (merged > 0) {
        lumatra::FoldMergedChannel(record.channels[0], record.constants[0], *rect);
        SetBlockInfo(index, &record);
    }
    return 1;
}
