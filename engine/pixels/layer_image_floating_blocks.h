// Block-level helpers of the image layer's floating merges and block undo: block states,
// the pairing of blocks of aligned grids, and backups, each block kept as a copy or as
// the record that it was missing, staged per edit until the edit succeeded. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/block_records.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"

namespace lumatra {

// 1 for a present block, 0 for a missing one, negative when the block cannot be read.
int BlockState(ITzLayerImage& layer, uint32_t index);

// The block of `to` at the place of block `index` of `from`, for aligned grids whose
// columns and rows differ by `shift` (GetBlockOffsetForMatchLayer(from, to)); none when
// `to` has no block there.
uint32_t BlockAt(const ITzLayerImage& from, uint32_t index, const ITzLayerImage& to, const _tagPTzOFFSET& shift);

// Makes a missing block present and transparent, so that a merge has data to write.
bool MakeBlockPresent(ITzLayerImage& layer, uint32_t index);

// Appends an item recording that block `index` is missing: swapped into a layer it makes
// the block missing again.
bool AddAbsence(ITzUndoBlockListBase* list, uint32_t index);

// Hands a block to the list: a present block moves into it (the layer's block becomes
// missing), a missing one is recorded as missing. False when that fails.
bool MoveBlockOrAbsence(ITzLayerImage& layer, uint32_t index, ITzUndoBlockListBase* list);

// Keeps block `index` in the list under the index `keptIndex` (its place in the grid an
// Undo gives the layer back): a present block as a copy; a missing one is made present
// and transparent, so that an edit can write it, and kept as missing. False, with the
// layer and the list as they were, when that fails.
bool BackupBlockAs(ITzLayerImage& layer, uint32_t index, uint32_t keptIndex, ITzUndoBlockListBase* list);

// Folds a channel into which rectangle `merged` (in-block) was just merged into its
// byte when all its bytes are equal, exactly as a whole scan would. A few probes in and
// around the rectangle settle the usual case, a channel plainly mixed, without a scan.
void FoldMergedChannel(PTzHANDLE& channel, uint8_t& constant, const PTzRECT& merged);

// The backups of one edit. They reach the caller's list only when the edit succeeded;
// a failed edit is rolled back from them and whatever is left is freed with the stage.
class StagedBackups {
public:
    explicit StagedBackups(_tagITzBLOCKTYPE type) : m_list(type) {}
    StagedBackups(const StagedBackups&) = delete;
    StagedBackups& operator=(const StagedBackups&) = delete;

    ITzUndoBlockListBase* list() { return &m_list; }
    // A copy of a present block, or the record of a missing one: false when it fails.
    bool RecordWhole(ITzLayerImage& layer, uint32_t index);
    // Appends every backup to `target`, all or none: false (target as it was) on failure.
    bool CommitTo(ITzUndoBlockListBase* target);
    // Puts the layer back to how it was at `bounds` before an edit that changed only
    // blocks kept here and grew the bounds, if at all; it allocates nothing. False when
    // the block list could not be read.
    bool RollBack(ITzLayerImage& layer, const PTzRECT& bounds);

private:
    ITzUndoTwoLevelBlockList m_list;
};

}  // namespace lumatra
