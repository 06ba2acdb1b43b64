// ITzToolEffectBase: an effect run over the active image layer block by block, limited to
// the selection, in steps with progress. Every block is kept in the effect's record
// ('leff') before it changes, so that the effect can be cancelled, and undone and redone
// as one step by exchanging the kept blocks with the layer's.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/block_enum.h"
#include "engine/pixels/block_records.h"
#include "engine/tools/tool_base.h"

class ITzLayerImage;
class ITzUndoBlockListBase;

// The undo record of an effect. A PTzPointNew block owned by the tool kind.
struct _tagITzUNDOEFFECT {
    _tagUNDODATABASE head;
    uint32_t layerIndex;              // the layer's index in the picture's stack
    _tagITzBLOCKTYPE blockType;       // the layer's, and so the item kind of the block list
    ITzUndoBlockListBase* blockList;  // owned; made on first use. The blocks as they were,
                                      // indexed in the grid over the layer's bounds
    uint32_t spare;                   // always 0
    void* userData;                   // owned; freed through ReleaseUndoUserData
};

// A running effect, which the caller holds as an opaque handle.
struct _tagITzEFFECTINFO {
    ITzPicture* picture;
    uint16_t layerIndex;
    ITzLayerImage* layer;
    _tagITzBLOCKENUM blocks;   // the area's blocks in the layer's grid
    bool blocksLeft;           // the walk has not ended
    void* blockJob;            // a block effect that takes several steps, while it runs
    uint32_t allBlocks;        // the area's blocks, for the progress
    uint32_t blocksDone;
    uint32_t jobBlocks;        // the blocks of the running step
    ITzLayerImage* selection;  // the selection's mask; null: the effect applies everywhere
    PTzRECT bounds;            // the layer's bounds, over whose grid the record keeps blocks
    uint8_t* maskPage;         // a scratch page for the selection's values over a block
    // The selection over the block being started: its values in rows of 256, or null
    // when one value covers the block (255 without a selection).
    const uint8_t* blockMask;
    uint8_t blockMaskValue;
};

// The caller sets the effect's parameters (which name the picture), then EffectStart,
// EffectRun until it gives 0, and EffectApply to keep the result or EffectCancel to take
// it back. The tool holds the picture's editing ticket from the start to the apply or cancel.
class LUMATRA_API ITzToolEffectBase : public ITzToolBase {
public:
    // Tool ID 'leff'.
    ITzToolEffectBase();
    // An effect left running is cancelled, so the layer is as it was before it. (Only
    // the base's steps are reachable here: an effect that keeps data of its own cancels
    // a running job in its own destructor.)
    ~ITzToolEffectBase() override;

    // The exchange: the record's layer takes the kept blocks back and the record keeps
    // the ones they replace, so it then describes the opposite step. 1 when the layer
    // exchanged them (it is made the active layer); 0 with nothing changed for null
    // arguments, a record without blocks, an index that holds no image layer of the
    // record's block type, or a refused exchange.
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override;
    // Frees the block list, the user data (ReleaseUndoUserData) and the record: 1, 0 for null.
    int ReleaseUndoData(_tagUNDODATABASE* record) override;

    // Takes the ticket, merges a floating layer left on the active layer (an 'auto' step
    // under the ticket) and starts the walk over the area: the layer's bounds cut to the
    // selection's. The handle, or null with nothing held without a picture, while the
    // tool or another edit holds the picture, for an active layer that is no image layer,
    // or when the merge, the record or CreateEffectData fails.
    virtual void* EffectStart();
    // One step: a step of the running block job, or the next block of the area (a block
    // the selection leaves out is passed over unread; one that cannot be kept is left as
    // it is). 1 while a block was taken or a job stepped, 0 when the area is done or for
    // a handle this tool did not give. The percent done goes to `progress` when given
    // (100 for an empty area).
    virtual int EffectRun(void* handle, uint32_t* progress);
    // Gives the layer its kept blocks back, drops the record, releases the handle and the
    // ticket: 1; 0 for a handle this tool did not give.
    virtual int EffectCancel(void* handle);
    // Hands the record to the picture's history as one step when it holds blocks (an
    // effect that changed nothing saves none), releases the handle and the ticket: 1 when
    // a step was saved; 0 for a handle this tool did not give or when nothing was saved.
    virtual int EffectApply(void* handle);

protected:
    // The steps an effect builds on. ReleaseEffectData, then frees the job: 1, 0 for null.
    virtual int ReleaseEffectHandle(void* handle);
    // What the effect prepares for a job before its first block: 1 when it can run. 1 here.
    virtual int CreateEffectData(_tagITzEFFECTINFO* job);
    virtual int ReleaseEffectData(_tagITzEFFECTINFO* job);
    // The effect on one kept block of the job's layer, whose selection the job holds
    // (blockMask, blockMaskValue): a job when it takes more steps, null when it is done
    // (or cannot be done: the block is then as it was). Null here.
    virtual void* DoBlockStart(_tagITzEFFECTINFO* job, uint32_t block);
    // Steps a block job: nonzero while it has more to do, the percent of the block done
    // in `percent`; 0 here, where no block takes steps.
    virtual int DoBlockRun(_tagITzEFFECTINFO* job, void* blockJob, uint32_t* percent);
    // Ends a block job, or drops it half done: nothing to do here, 1.
    virtual int DoBlockEnd(_tagITzEFFECTINFO* job, void* blockJob);
    virtual int DoBlockCancel(_tagITzEFFECTINFO* job, void* blockJob);
    // Keeps the job's block in the record before it changes: 1, or 0 when it could not be
    // kept (memory), the record then as it was.
    virtual int BackupBlock(_tagITzEFFECTINFO* job, uint32_t block);
    // Replaces the pending record by an empty one for the layer at the stack index: 1, or
    // 0 (no record pending) for a null layer or out of memory.
    virtual int InitUndoData(ITzLayerImage* layer, uint16_t index);
    // The base keeps no user data: 1.
    virtual int ReleaseUndoUserData(void* userData);

    static _tagITzUNDOEFFECT* EffectRecord(_tagUNDODATABASE* head)
    {
        return reinterpret_cast<_tagITzUNDOEFFECT*>(head);
    }
    // The picture the parameters named.
    ITzPicture* m_picture = nullptr;

private:
    // The job behind a caller's handle: the running one, or null.
    _tagITzEFFECTINFO* RunningJob(void* handle) const;
    // Releases the job and the ticket after an apply or cancel.
    void EndJob();
    // Reads the selection over a block into the job's block mask, the layer's pixels left
    // unread: false when none of the block is selected (or the selection cannot be read).
    static bool ReadBlockSelection(_tagITzEFFECTINFO& job, uint32_t block);

    _tagITzEFFECTINFO* m_job = nullptr;  // the running effect
};
