// Merging a floating layer into its image layer with undo: the backup pass that keeps
// every block the merge can change, the resize to the merged bounds, and the merge of
// block parts (any grids) or whole blocks (aligned grids), through the selection. A merge
// either completes or is rolled back from its backups. Also the plain merge of two layers.
#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/selection_block_mask.h"

using lumatra::BlockAt;
using lumatra::BlockState;
using lumatra::StagedBackups;

namespace {

// The most pages a block merge holds at once: the selection's mask page and the four
// pages of an ARGB block.
constexpr uint32_t kMergePages = 5;

bool ScratchPagesFree(uint32_t count)
{
    const ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    return pool && pool->pageCount() - pool->pagesInUse() >= count;
}

bool SameKind(const ITzLayerImage& a, const ITzLayerImage& b)
{
    return a.GetColorMode() == b.GetColorMode() && a.GetBitDepth() == b.GetBitDepth();
}

_tagITzMERGEDATA MergeOf(const ITzLayerBase& layer)
{
    _tagITzMERGEDATA merge;
    layer.GetMergeData(&merge);
    return merge;
}

bool Meets(const PTzRECT& a, const PTzRECT& b)
{
    PTzRECT common;
    return PTzRectIntersect(&a, &b, &common) != 0;
}

// A floating block whose first channel (alpha, or the gray value) is uniform 0 leaves
// its target as it is under alpha-over and erase, at any opacity and through any mask,
// when this layer kind merges the floating kind at all (same kind, or gray into ARGB):
// a stroke's floating layer is mostly such blocks, so they are neither backed up nor
// merged, and a missing target stays missing.
bool LeavesTargetAsIs(ITzLayerImage& layer, ITzLayerImage& floating, uint32_t index)
{
    const ITzMERGETYPE type = floating.GetMergeType();
    const _tagITzBLOCKTYPE kind = floating.GetBlockType();
    _tagITzBLOCKDATAINFO info;
    return (type == ITzMERGE_NORMAL || type == ITzMERGE_ERASE) &&
           (kind == layer.GetBlockType() || kind == ITzBLOCKTYPE_GRAY) && floating.GetBlockInfo(index, &info, 0) == 0 &&
           !info.channels[0].data && info.channels[0].constant == 0;
}

bool PageAllZero(const uint8_t* page)
{
    uint8_t value = 0;
    return ITzBytesUniform(page, ITzBLOCK_PAGE_BYTES, &value) && value == 0;
}

// The floating data a kind's FloatMergeRect reads: the part itself from a floating layer
// of its own kind, the whole block from one of another kind (merged as block memory).
PTzRECT FloatingSourceRect(const ITzLayerImage& layer, const ITzLayerImage& floating, const PTzRECT& block,
                           const PTzRECT& part)
{
    return SameKind(layer, floating) ? part : block;
}

// A kind's backup test, which answers 0 both when no copy is needed and when the copy
// failed: the list's growth and the memory error a failed copy leaves tell them apart.
template <class Test>
int CheckedBackup(ITzUndoBlockListBase* list, Test&& test)
{
    const uint32_t before = list->GetCount();
    PTzSetLastError(0);
    const int result = test();
    if (list->GetCount() > before)
        return 1;
    if (result < 0)
        return result;
    const int error = PTzGetLastError();
    return error == ITzERR_CHANNEL_EXPAND || error == PTzERR_OUT_OF_MEMORY ? error : 0;
}

// One merge of a floating layer into a layer: backups, resize, block merges, commit.
class FloatingMerge {
public:
    FloatingMerge(ITzLayerImage& layer, ITzLayerImage& floating, ITzLayerImage* selection, bool aligned)
        : m_layer(layer), m_floating(floating), m_selection(selection), m_aligned(aligned)
    {
        layer.GetBounds(&m_dest);
        floating.GetBounds(&m_floatingBounds);
        layer.MergeGetNewBounds(&m_dest, &m_floatingBounds, &m_merged, floating.GetMergeType());
    }

    int Run(ITzUndoBlockListBase* undo)
    {
        // Checked before any block changes, so that no merge stops halfway for want of them.
        if (!ScratchPagesFree(kMergePages))
            return 0;
        // The grid grows to the merged bounds before the merge and is cut to them only
        // once the backups are the caller's: cutting removes blocks and needs no memory,
        // and a rollback of a grid that only grew needs none either.
        StagedBackups staged(m_layer.GetBlockType());
        if ((!m_aligned || ClearFloatingOutside()) && Backup(staged) &&
            m_layer.ExtendSize(&m_merged, nullptr, 1) == 0 && (m_aligned ? MergeBlocks() : MergeParts()) &&
            staged.CommitTo(undo)) {
            m_layer.CutSize(&m_merged);
            m_layer.SizeChanged(&m_dest);
            return 1;
        }
        staged.RollBack(m_layer, m_dest);
        return 0;
    }

private:
    uint32_t BlockCount(const ITzLayerImage& layer) const
    {
        return uint32_t(layer.DWKGetBlockCountX()) * layer.DWKGetBlockCountY();
    }

    // A block keeps what lies outside its layer's bounds until the bounds grow over it;
    // whole floating blocks are merged, so that part is cleared first. What the floating
    // layer shows does not change.
    bool ClearFloatingOutside()
    {
        for (uint32_t index = 0, count = BlockCount(m_floating); index < count; ++index) {
            PTzRECT block, inside = {};
            m_floating.GetBlockPictRect(index, &block);
            PTzRectIntersect(&block, &m_floatingBounds, &inside);
            if (PTzRectEqual(&block, &inside) || BlockState(m_floating, index) <= 0)
                continue;
            PTzRECT keep = {};
            if (!PTzRectEmpty(&inside))
                keep = {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                        inside.bottom - block.top};
            if (!m_floating.ClearBlockWhenExtend(index, &keep))
                return false;
        }
        return true;
    }

    // Keeps every block of the current grid that the resize or the merge can change:
    // whole when the resize changes its visible part, else when the kind's test says the
    // merge can change it. A missing block the merge writes into is recorded as missing
    // and made present; MergeBlocks skips the same floating blocks as this pass.
    bool Backup(StagedBackups& staged)
    {
        _tagPTzOFFSET shift = {};
        if (m_aligned && !ITzLayerImage::GetBlockOffsetForMatchLayer(&m_layer, &m_floating, &shift))
            return false;
        for (uint32_t index = 0, count = BlockCount(m_layer); index < count; ++index) {
            PTzRECT block, before = {}, after = {}, part = {};
            m_layer.GetBlockPictRect(index, &block);
            PTzRectIntersect(&block, &m_dest, &before);
            PTzRectIntersect(&block, &m_merged, &after);
            const bool resized = !PTzRectEqual(&before, &after);
            uint32_t floatingIndex = ITzBLOCK_INDEX_NONE;
            bool touched = false;
            if (m_aligned) {
                floatingIndex = BlockAt(m_layer, index, m_floating, shift);
                touched = !PTzRectEmpty(&after) && floatingIndex != ITzBLOCK_INDEX_NONE &&
                          BlockState(m_floating, floatingIndex) != 0 &&
                          !LeavesTargetAsIs(m_layer, m_floating, floatingIndex);
            } else {
                touched = PTzRectIntersect(&after, &m_floatingBounds, &part) != 0;
            }
            if (!resized && !touched)
                continue;
            const int state = BlockState(m_layer, index);
            if (state < 0)
                return false;
            if (state == 0) {
                if (!lumatra::AddAbsence(staged.list(), index) ||
                    (touched && !lumatra::MakeBlockPresent(m_layer, index)))
                    return false;
                continue;
            }
            if (resized) {
                if (!m_layer.BackupBlock(index, staged.list()))
                    return false;
                continue;
            }
            const int backed = m_aligned ? m_layer.BackupBlockInBounds(index, &m_floating, floatingIndex, m_selection,
                                                                       &block, staged.list())
                                         : m_layer.BackupBlockInBounds(index, &m_floating, m_selection, &part,
                                                                       staged.list());
            if (backed < 0)
                return false;
        }
        return true;
    }

    // Any grids: the block parts under the floating bounds inside the merged bounds.
    bool MergeParts()
    {
        PTzRECT area;
        if (!PTzRectIntersect(&m_floatingBounds, &m_merged, &area))
            return true;
        for (uint32_t index = 0, count = BlockCount(m_layer); index < count; ++index) {
            PTzRECT block, part;
            m_layer.GetBlockPictRect(index, &block);
            if (!PTzRectIntersect(&block, &area, &part))
                continue;
            _tagITzBLOCKPOSITION position;
            m_layer.IndexToBlockPos(index, &position);
            const PTzRECT inBlock = {part.left - block.left, part.top - block.top, part.right - block.left,
                                     part.bottom - block.top};
            const PTzRECT source = FloatingSourceRect(m_layer, m_floating, block, part);
            const int merged = m_selection ? m_layer.FloatMergeRectMask(&position, &inBlock, &m_floating, m_selection)
                                           : m_layer.FloatMergeRect(&position, &inBlock, &m_floating, &source, nullptr);
            if (!merged)
                return false;
        }
        return true;
    }

    // Aligned grids: every present floating block that meets the merged bounds and can
    // change its target, whole, into the block at its place.
    bool MergeBlocks()
    {
        _tagPTzOFFSET shift;
        if (!ITzLayerImage::GetBlockOffsetForMatchLayer(&m_floating, &m_layer, &shift))
            return false;
        for (uint32_t source = 0, count = BlockCount(m_floating); source < count; ++source) {
            PTzRECT block;
            m_floating.GetBlockPictRect(source, &block);
            const int state = BlockState(m_floating, source);
            if (!Meets(block, m_merged) || state == 0)
                continue;
            const uint32_t target = BlockAt(m_floating, source, m_layer, shift);
            if (state < 0 || target == ITzBLOCK_INDEX_NONE)
                return false;
            if (LeavesTargetAsIs(m_layer, m_floating, source))
                continue;
            const int merged = m_selection
                                   ? m_layer.FloatMergeBlockMask(&m_floating, target, source, m_selection, &block)
                                   : m_layer.FloatMergeBlock(&m_floating, source, target, nullptr);
            if (!merged)
                return false;
        }
        return true;
    }

    ITzLayerImage& m_layer;
    ITzLayerImage& m_floating;
    ITzLayerImage* m_selection;
    bool m_aligned;
    PTzRECT m_dest, m_floatingBounds, m_merged;
};

}  // namespace

int ITzLayerImage::MergeAction(ITzLayerImage* floating, ITzLayerImage* selection, ITzUndoBlockListBase* undo)
{
    if (!floating || floating == this || !undo || undo->GetBlockType() != GetBlockType())
        return 0;
    if (IsMatchBlockLayer(floating))
        return MergeActionMatch(floating, selection, undo);
    return FloatingMerge(*this, *floating, selection, false).Run(undo);
}

int ITzLayerImage::MergeActionMatch(ITzLayerImage* floating, ITzLayerImage* selection, ITzUndoBlockListBase* undo)
{
    if (!floating || floating == this || !undo || undo->GetBlockType() != GetBlockType() ||
        !IsMatchBlockLayer(floating))
        return 0;
    return FloatingMerge(*this, *floating, selection, true).Run(undo);
}

int ITzLayerImage::BackupBlockInBounds(uint32_t block, ITzLayerImage* floating, ITzLayerImage* selection,
                                       const PTzRECT* rect, ITzUndoBlockListBase* list)
{
    if (!floating || !rect || !list || BlockState(*this, block) <= 0)
        return 0;
    if (SameKind(*this, *floating))
        return CheckedBackup(list, [&] { return BackupBlockInBoundsForSameType(block, floating, selection, rect, list); });
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    if (!MergeNeedBackupDes(block, &merge) || !floating->MergeNeedBackupSrc(rect, &merge) ||
        SelectionIsEmpty(selection, rect))
        return 0;
    return BackupBlock(block, list) ? 1 : ITzERR_CHANNEL_EXPAND;
}

int ITzLayerImage::BackupBlockInBounds(uint32_t block, ITzLayerImage* floating, uint32_t floatingBlock,
                                       ITzLayerImage* selection, const PTzRECT* rect, ITzUndoBlockListBase* list)
{
    if (!floating || !list || BlockState(*this, block) <= 0)
        return 0;
    if (SameKind(*this, *floating))
        return CheckedBackup(list, [&] {
            return BackupBlockInBoundsForSameType(block, floating, floatingBlock, selection, rect, list);
        });
    const _tagITzMERGEDATA merge = MergeOf(*floating);
    if (!MergeNeedBackupDes(block, &merge) || !floating->MergeNeedBackupSrc(floatingBlock, &merge) ||
        (rect && SelectionIsEmpty(selection, rect)))
        return 0;
    return BackupBlock(block, list) ? 1 : ITzERR_CHANNEL_EXPAND;
}

int ITzLayerImage::SelectionIsEmpty(ITzLayerImage* selection, const PTzRECT* rect)
{
    // Only a selection layer answers; anything else counts as not empty.
    auto* select = dynamic_cast<ITzLayerImageSelect*>(selection);
    return select && rect ? select->SelectionIsEmpty(rect) : 0;
}

int ITzLayerImage::FloatMergeRectMask(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                      ITzLayerImage* floating, ITzLayerImage* selection)
{
    const uint32_t index = BlockPosToIndex(position);
    if (!rect || !floating || !selection || index == ITzBLOCK_INDEX_NONE)
        return 0;
    PTzRECT block;
    GetBlockPictRect(index, &block);
    const lumatra::ScratchPages page(1);
    if (!page.ok() || !lumatra::ReadBlockMask(selection, block, page.page(0)))
        return 0;
    if (PageAllZero(page.page(0)))
        return 1;
    const PTzRECT part = {block.left + rect->left, block.top + rect->top, block.left + rect->right,
                          block.top + rect->bottom};
    const PTzRECT source = FloatingSourceRect(*this, *floating, block, part);
    _tagITzBLOCKMEMORYGRAY mask = {page.page(0)};
    return FloatMergeRect(position, rect, floating, &source, &mask);
}

int ITzLayerImage::FloatMergeBlockMask(ITzLayerImage* floating, uint32_t block, uint32_t floatingBlock,
                                       ITzLayerImage* selection, const PTzRECT* blockRect)
{
    if (!floating || !selection || !blockRect)
        return 0;
    const lumatra::ScratchPages page(1);
    if (!page.ok() || !lumatra::ReadBlockMask(selection, *blockRect, page.page(0)))
        return 0;
    if (PageAllZero(page.page(0)))
        return 1;
    _tagITzBLOCKMEMORYGRAY mask = {page.page(0)};
    return FloatMergeBlock(floating, floatingBlock, block, &mask);
}

int ITzLayerImage::MergeLayer(ITzLayerImage* other)
{
    if (!other || other == this)
        return 0;
    PTzRECT mine, theirs, all;
    GetBounds(&mine);
    other->GetBounds(&theirs);
    PTzRectBounds(&mine, &theirs, &all);
    _tagPTzRECTENUM walk;
    if (SetSize(&all, 1) != 0 || PTzRectEnumFill(&all, &walk, nullptr) != 0)
        return 0;
    const _tagITzMERGEDATA merge = MergeOf(*other);
    const CMathMerge* tables = GetMathMerge();
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        const int32_t width = tile.right - tile.left;
        const int32_t height = tile.bottom - tile.top;
        _tagITzCHANNELBITMAP target = {width, height, 0, 0, {}};
        _tagITzCHANNELBITMAP source = {width, height, 0, 0, {}};
        if (!LockChannelBitmap(&target))
            return 0;
        PTzRECT local, otherLocal;
        PRECTtoLRECT(&tile, &local);
        other->PRECTtoLRECT(&tile, &otherLocal);
        bool done = false;
        if (other->LockChannelBitmap(&source)) {
            if (GetRectChannelData(&target, &local) && other->GetRectChannelData(&source, &otherLocal)) {
                const PTzRECT whole = {0, 0, width, height};
                ITzMergeChannelBitmap(&merge, 255, nullptr, &target, tables, &whole, &source, &whole, nullptr);
                done = SetRectChannelData(&target, &local) != 0;
            }
            other->UnlockChannelBitmap(&source);
        }
        UnlockChannelBitmap(&target);
        if (!done)
            return 0;
    }
    return 1;
}
