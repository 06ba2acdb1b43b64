// ITzLayerImage: the abstract pixel layer. Its pixels live in a grid of 256 x 256 blocks
// whose channels are 64 KB handles or, when uniform, one byte; this class owns the grid's
// geometry, rectangle reads and writes, fills and the glue to the preview cache, and the
// kinds (ARGB, gray) supply the block records through the pure operations.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/geometry.h"
#include "base/memory.h"
#include "base/two_level_handle.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/block_position.h"
#include "engine/pixels/block_records.h"
#include "engine/pixels/layer_base.h"
#include "engine/pixels/merge_data.h"
#include "engine/pixels/merge_tile.h"
#include "engine/pixels/zoom_level.h"

class ITzPreviewCacheLink;
class ITzUndoBlockListBase;
namespace lumatra {
class ZoomReadPlan;
}
class ITzCrossPixelList;
class ITzPloygonCrossPixelList;
class ITzMagicSeedLineList;
struct BITMAPINFOHEADER;
struct _tagITzMEMHANDLECBS;
struct _tagITzZOOMBLBUFFERDATA;

inline constexpr int32_t ITzBLOCK_SIDE = 256;
// BlockPosToIndex of a position outside the grid: no block has this index, so every
// block access refuses it.
inline constexpr uint32_t ITzBLOCK_INDEX_NONE = 0xFFFFFFFFu;

// One channel of a block: its 65,536-byte handle, or null and the uniform byte.
struct _tagITzCHANNELDATA {
    PTzHANDLE data;
    uint8_t constant;
};

// The kind-independent view of a block record: channels 0 to lastChannel (3 for ARGB,
// 0 for gray). Handed to SetBlockInfo, the handles become the layer's.
struct _tagITzBLOCKDATAINFO {
    uint32_t lastChannel;
    _tagITzCHANNELDATA channels[4];
};

// The same with the handles locked (null pointer: the channel is its constant).
struct _tagITzCHANNELMEMINFO {
    uint8_t* data;
    uint8_t constant;
};
struct _tagITzBlOCKMEMINFO {
    uint32_t lastChannel;
    _tagITzCHANNELMEMINFO channels[4];
};

// Called once for every block a grow added: the layer (a preview-cache layer passes
// itself), its cache level (0 for the layer itself), the block index and the user value.
using ITzIMAGELAYERBLOCKINITPROC = int (*)(ITzLayerImage* layer, uint8_t level, uint32_t blockIndex,
                                           void* user);
struct _tagITzIMAGELAYERBLOCKINITCBSTR {
    ITzIMAGELAYERBLOCKINITPROC callback;
    void* user;
};

// Coordinates: picture P, layer L = P - position, block grid B = L + block offset.
// Block (column c, row r) covers B from (256c, 256r) to (256c + 256, 256r + 256), and
// its index is r x count x + c. The grid always covers the layer's bounds.
class LUMATRA_API ITzLayerImage : public ITzLayerBase {
public:
    ITzLayerImage();
    // Takes colour mode, bit depth and block offset; no blocks, floating layer or cache.
    explicit ITzLayerImage(const ITzLayerImage* source);
    // Deletes the floating layer and the preview cache; the kinds free their blocks.
    ~ITzLayerImage() override;

    // Overrides of the layer base.
    ITzLayerImage* GetPreviewLayer() override;
    int IsImageLayer() const override;
    // Stepwise resize and quarter turn into a new layer of the same kind and properties,
    // which the job owns until its end call hands it over (null when a step failed). An
    // empty layer gives an empty layer and no steps.
    void* ResizeLayerStart(const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, uint32_t resampleType,
                           void* setting) override;
    int ResizeLayer(void* job, uint32_t* progress) override;
    ITzLayerBase* ResizeLayerEnd(void* job) override;
    int ResizeLayerCancel(void* job) override;
    void* RotateSLayerStart(const _tagPTzSIZE* pictureSize, uint32_t rotationType) override;
    int RotateSLayer(void* job, uint32_t* progress) override;
    ITzLayerBase* RotateSLayerEnd(void* job) override;
    int RotateSLayerCancel(void* job) override;
    int SetOpacity(uint8_t opacity) override;
    using ITzLayerBase::ExtendSize;
    // The grid grows with the bounds: ExtendSize(rect, out, 1).
    int ExtendSize(const PTzRECT* rect, PTzRECT* out) override;
    int Deactive() override;
    int PreviewFull(const PTzRECT* rect, uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                    const _tagITzZOOMLEVEL* zoomY) override;
    using ITzLayerBase::PreviewMergeToBitmap;
    int PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                             const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                             int forSave) override;
    int PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                    const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                    int noMask) override;
    int PreviewCopyToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                   const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY) override;
    // Moves the block offset with the position, so the pixels stay where they are.
    int SetBounds(const PTzRECT* rect) override;
    int SetTempOpacity(uint8_t opacity) override;
    int MoveCore(_tagPTzOFFSET* offset) override;
    ITzLayerBase* CreateTransferLayer() override;
    ITzLayerBase* CreateTransferLayerCroe() override;

    // Layer copies, DIB exchange, floating layer.
    virtual ITzLayerImage* CopyLayer();
    // Loads a packed DIB into this layer through the connected DIB exchange
    // (layer_dib_exchange.h): its result (1 loaded, 0 failed).
    virtual int RebuildWithDib(const BITMAPINFOHEADER* dib, uint32_t size);
    virtual int RebuildWithImageLayer(ITzLayerImage* source);
    // This layer's pixels as a packed DIB through the connected DIB exchange: the block
    // made through `memory`, or null.
    virtual void* SavetoDIB(_tagITzMEMHANDLECBS* memory);
    virtual int GetPreviewBounds(PTzRECT* bounds);
    virtual ITzLayerImage* CreateSameTypeLayer();
    // A new floating layer (type 0: of this kind, its grid aligned with this one; 1: a
    // gray erase mask, merge type 8), attached to this layer, which owns it. An attached
    // floating layer is merged away first; when that fails it stays and the result is
    // null, as for other types. CreateFloatingLayer also lets the picture listen to it.
    virtual ITzLayerImage* CreateFloatingLayer();
    virtual ITzLayerImage* CreateFloatingLayer_1(int floatingType);
    // Merges the floating layer through the picture's selection (MergeAction) and
    // detaches it for the caller: null without one, without a picture or when the merge
    // failed (the floating layer then stays).
    virtual ITzLayerImage* MergeFloatingLayer(ITzUndoBlockListBase* undo);
    virtual ITzLayerImage* GetFloatingLayer();
    // Merges the floating layer away as an undo step of the picture (under the caller's
    // editing ticket): 1 when there is none afterwards, 0 when it stays.
    virtual int ClearFloatingLayer();

    // Grid size (P rectangles): 0; -1001 for a null rectangle or a grid beyond 65,535
    // blocks a side; -1051 or the block list's error when memory runs out, the layer
    // then as it was. `init` nonzero inserts present (transparent) blocks, 0 missing ones.
    virtual uint32_t GetChannelCount() = 0;
    virtual int SetSize(const PTzRECT* rect, int init);
    virtual int GrowSize(const PTzRECT* rect, _tagITzIMAGELAYERBLOCKINITCBSTR* init);
    virtual int CutSize(const PTzRECT* rect);
    virtual int ExtendSize(const PTzRECT* rect, PTzRECT* out, int init);
    virtual int ExtendSizeGrow(const PTzRECT* rect, PTzRECT* out);

    // Zoomed reads of a zoomed picture rectangle; -1001 here.
    virtual int MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                              const _tagITzZOOMLEVEL* zoomY);
    virtual int GetBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                          const _tagITzZOOMLEVEL* zoomY);
    virtual int GetChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                 const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // Extends the layer to hold the rectangle (L), then fills the ellipse inscribed in it
    // with anti-aliased edges (the kind's FillBlockDataWithCrossData): the fill's result,
    // -1001 for null.
    virtual int FillArc(const PTzRECT* rect, const _tagPTzCOLOR* colour, int flag);
    // Extends the layer to hold the rectangle (L), making the grid when the layer has
    // none and present blocks where they are missing, then fills it: 0, -1001 for null,
    // or the error of a block that could not be made or filled.
    virtual int FillRect(const PTzRECT* rect, const _tagPTzCOLOR* colour);
    virtual int FillPolygonWithCrossData(ITzPloygonCrossPixelList* list, const _tagPTzCOLOR* colour);
    virtual int FillDataWithCrossData(ITzCrossPixelList* list, const _tagPTzCOLOR* colour);
    // 1 with the block of an L point and the point's place inside it; 0 outside the
    // grid or for null.
    virtual int GetPointBlockPostion(const PTzPOINT* point, _tagITzBLOCKPOSITION* position,
                                     PTzPOINT* inBlock);

    virtual int MagicSearchFillSelection(const PTzRECT* blockRect, _tagITzBITMAP* mask,
                                         ITzMagicSeedLineList* seeds, const _tagPTzCOLOR* colour,
                                         uint32_t tolerance);
    virtual int ColorFillSelection(_tagITzBITMAP* mask, const PTzRECT* rect, const _tagPTzCOLOR* colour,
                                   uint32_t tolerance);
    virtual int SetBlockColor(uint32_t index, const _tagPTzCOLOR* colour);
    // After a block changed: 1107 for its rectangle and the cache's update of it.
    virtual int BlockDataUpdated(uint32_t index);
    virtual int PreviewMergeToBitmapNoFloating(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    virtual int FloatMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                   const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                   ITzLayerImage* selection);
    virtual int PreviewMergeToBitmapWithFloating(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                 const _tagITzZOOMLEVEL* zoomX,
                                                 const _tagITzZOOMLEVEL* zoomY);
    virtual int GetDisplayData(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    virtual int GetDisplayChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // The plan of a zoomed read of a zoomed picture rectangle into a destination of
    // width x height (zoom_read_walk.h): false when no destination pixel shows the layer.
    bool PrepareZoomRead(const PTzRECT& rect, const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY,
                         bool enlarge, int32_t width, int32_t height, lumatra::ZoomReadPlan& plan);
    // A gray layer aligned with this grid holding this layer's alpha over its bounds (cut
    // to the L rect when given), block by block; null when a block cannot be copied.
    virtual ITzLayerImage* CopyMaskLayer(const PTzRECT* rect);
    // Multiplies the alpha under the L rect by a gray mask layer's values over `maskRect`
    // (0 where the mask layer has none): 0, -1001 for null, or the error of a failed block.
    virtual int MergeMaskLayer(ITzLayerImage* mask, const PTzRECT* maskRect, const PTzRECT* rect);
    // Unites an 8-bit mask placed at the L rect's corner into the alpha at opacity
    // `value`, block by block (MergeBlockMask, which answers 0 for a block whose alpha
    // could not take the mask): 1, or 0 for another depth or a failed part.
    virtual int MergeMask(_tagITzBITMAP* mask, const PTzRECT* rect, uint8_t value);
    virtual int RebuildPreview(const PTzRECT* rect, int flag);

    // Block records. The public GetBlockInfo/SetBlockInfo speak _tagITzBLOCKDATAINFO;
    // SetBlockInfo takes the incoming handles over and frees only the old handles it
    // does not carry, so a get-modify-set keeps live data.
    virtual int GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill);
    virtual int SetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info);
    // Every uniform channel of a present block gets a handle: 0, -1051 when memory is
    // short (block unchanged), the read's error for a missing block.
    virtual int UncompressBlock(uint32_t index);
    // Every channel whose bytes are all equal becomes its byte: 0, or the read's error.
    virtual int CompressBlock(uint32_t index);
    // Locks every handle of a block into `memory`: 0, or the read's error (nothing
    // locked). UnlockBlock undoes it.
    virtual int LockBlock(uint32_t index, _tagITzBlOCKMEMINFO* memory);
    virtual int UnlockBlock(uint32_t index, _tagITzBlOCKMEMINFO* memory);
    virtual int GetZoomData(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                            const _tagITzZOOMLEVEL* zoomY);
    virtual _tagITzBLOCKTYPE GetBlockType() = 0;
    virtual int FloatMergeRectDataToBlockMemory(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                                _tagITzBLOCKMEMORYGRAY* mask);
    virtual int FloatMergeBlockDataToBlockMemory(uint32_t block, _tagITzBLOCKMEMORY* target,
                                                 _tagITzBLOCKMEMORYGRAY* mask);
    virtual int FillRectDataToLayerBlock(ITzLayerImage* target, uint32_t block, const PTzRECT* rect);
    // Writes the bitmap over a rectangle of one block (block coordinates, clipped to
    // the block and to the bitmap placed at the rectangle's corner).
    virtual int SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap) = 0;
    virtual int SetBlockData(uint32_t index, const _tagITzBLOCKMEMORY* memory);

    // Colour of a P point: 0; outside the layer only the colour's alpha, set to 0.
    virtual int GetPixelColor(const PTzPOINT* point, _tagPTzCOLOR* colour);
    virtual int InvaildRect(const PTzRECT* rect);
    virtual int LoadNeedConvertColor(_tagPTzCOLORMODE* mode, uint16_t* bitDepth) = 0;
    // A view of the part of a bitmap placed at a P rectangle that lies inside the
    // layer: 1, or 0 for null or when nothing is inside.
    virtual int AdjustPBitmap(const _tagITzBITMAP* bitmap, const PTzRECT* rect, _tagITzBITMAP* outBitmap,
                              PTzRECT* outRect);
    // Sets a rectangle (clipped to 0-256) of one 65,536-byte channel page: 0, -1001 for null.
    virtual int FillBlockChannel(uint8_t* channel, const PTzRECT* rect, uint8_t value);
    // Makes the block's pixels outside `keep` (block coordinates) transparent, so that
    // data cut away earlier does not come back when the bounds grow: 1, 0 on failure.
    virtual int ClearBlockWhenExtend(uint32_t index, const PTzRECT* keep);
    virtual int CopyToLayerWithMask(ITzLayerImage* target, const _tagITzBLOCKPOSITION* targetPosition,
                                    const _tagITzBLOCKPOSITION* sourcePosition, ITzLayerImage* selection);
    // The kinds unite the mask into a present block's alpha (MergeBlockAlpha): 1 when the
    // alpha holds the union (a uniform 255 needs no change); 0 for null, a missing block
    // or an alpha that could not be expanded.
    virtual int MergeBlockMask(_tagITzBITMAP* mask, const _tagITzBLOCKPOSITION* position,
                               const PTzRECT* rect, uint32_t mode);
    // Unites an 8-bit mask, its (0, 0) at the in-block rect's corner, into one channel at
    // the opacity, expanding a uniform channel first: 1 when merged; 0 for a uniform 255
    // channel, which the union leaves as it is; -1001 for null or another depth and -1051
    // when the channel cannot be expanded, the channel then unchanged.
    virtual int MergeBlockAlpha(const _tagITzBITMAP* mask, PTzHANDLE* channel, uint8_t* constant,
                                const PTzRECT* rect, uint8_t opacity);
    // Merges a source layer's rectangle into this layer's L rectangle block by block:
    // 1 when every part succeeded, 0 when one failed or nothing lies in the grid.
    virtual int FillRectDataFromLayer(const PTzRECT* rect, ITzLayerImage* source, const PTzRECT* sourceRect,
                                      _tagITzMERGEDATA* merge, _tagITzBITMAP* mask, uint8_t flag);
    virtual int FillBlockDataFromLayer(uint32_t block, const PTzRECT* rect, ITzLayerImage* source,
                                       const PTzRECT* sourceRect, _tagITzMERGEDATA* merge, _tagITzBITMAP* mask,
                                       const PTzRECT* maskRect, uint8_t factor);
    virtual int FillChannelBitmapData(_tagITzCHANNELBITMAP* target, const PTzRECT* targetRect,
                                      const PTzRECT* rect, _tagITzMERGEDATA* merge, _tagITzBITMAP* mask,
                                      const PTzRECT* maskRect, uint8_t factor);
    virtual int FillRectDataToBlockMemoryWithMask(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                                  _tagITzBLOCKMEMORYGRAY* mask);

    virtual int GetBlockPointColor(uint32_t index, const PTzPOINT* inBlock, _tagPTzCOLOR* colour);
    virtual int AllowInvaildRect();
    // Reads a rectangle of one block (block coordinates) into the bitmap at (0, 0).
    virtual int GetBlockData(uint32_t index, const PTzRECT* rect, _tagITzBITMAP* bitmap) = 0;
    virtual int BlockDataAvailable(uint32_t index);
    virtual int BlockDataInvalid(uint32_t index);
    // Fills a rectangle of one block (block coordinates; null: the whole block).
    virtual int FillBlock(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                          const _tagPTzCOLOR* colour);
    virtual int FillBlockPolygonWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                              const PTzPOINT* origin, ITzPloygonCrossPixelList* list,
                                              const _tagPTzCOLOR* colour);
    virtual int FillBlockDataWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                           const PTzPOINT* origin, ITzCrossPixelList* list,
                                           const _tagPTzCOLOR* colour);
    // A gray layer of merge type 8 aligned with this grid, not attached; null when short of memory.
    virtual ITzLayerImage* CreateFloatingEraseMask();
    virtual ITzLayerImage* CreateFloatingLayerCore() = 0;
    // Places an empty layer's next grid so its block borders fall where this grid's do:
    // 1, or 0 for null, this layer or a layer that has blocks.
    virtual int CreateMatchBlock(ITzLayerImage* layer);
    // Inserts a record at `index` (present when `present` is nonzero): the list's result.
    virtual int InsertBlock(uint32_t index, int present) = 0;
    // Frees every handle of the record and removes it: the list's result.
    virtual int RemoveBlock(uint32_t index) = 0;
    virtual int AlphaDataFull(const PTzRECT* rect);
    virtual int AlphaDataEmpty(const PTzRECT* rect);

    // Coverage for drawing: 1 when the answer is sure, 0 otherwise (P rectangles).
    virtual int FloatPreviewFull(const PTzRECT* rect, uint8_t level);
    virtual int FloatPreviewNoAbleFull(const PTzRECT* rect, uint8_t level);
    virtual int AlphaFull(const PTzRECT* rect, uint8_t level);
    virtual int AlphaEmpty(const PTzRECT* rect, uint8_t level);
    virtual int CopyBlockAlpha(uint32_t index, PTzHANDLE* alpha, uint8_t* constant);
    // Stepwise filling of every cache level, forwarded to the preview cache.
    virtual uint32_t PreparePreviewCachePriority();
    virtual void* PreparePreviewCacheStart();
    virtual int PreparePreviewCacheRun(void* job, uint32_t* built);
    virtual int PreparePreviewCacheEnd(void* job);
    virtual int PrepareBlockData(uint32_t index);
    virtual ITzLayerImage* GetCacheLayer(uint8_t level);
    // The preview cache, made on first use; null while no preview cache is connected.
    virtual ITzPreviewCacheLink* GetCacheManager();
    virtual ITzLayerImage* CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager) = 0;
    virtual int SizeChanged(const PTzRECT* oldBounds);
    virtual int SizeGrowed(const PTzRECT* rect, _tagITzIMAGELAYERBLOCKINITCBSTR* init);
    virtual int PreviewUpdateRectData(const PTzRECT* rect, uint8_t flags);
    virtual int PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source,
                                                   uint8_t type);

    virtual int PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                                       uint8_t flags);
    virtual int PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock,
                                         const PTzPOINT* corner, uint8_t flags);
    virtual int FillCacheBlockAlpha(_tagITzCHANNELDATA* alpha, const PTzRECT* targetRect,
                                    const PTzRECT* sourceRect, uint8_t level);
    virtual int FillCacheBlock(_tagITzBLOCKMEMORYARGB* target, const PTzRECT* targetRect,
                               const PTzRECT* sourceRect, uint8_t level);
    // Puts back the bounds and blocks an edit kept in `undo` (indexes of the grid over
    // `oldBounds`), keeping the blocks it replaces in `redo`, so the same call with the
    // lists exchanged redoes. The current bounds go to `bounds` (may be null). Without
    // `undo` only moves the layer back to the old corner. 1; 0 for null old bounds, no
    // redo list, lists of another block type or a failure.
    virtual int Undo(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo, PTzRECT* bounds,
                     ITzUndoBlockListBase* redo);
    // Keeps block `index` in `undo` before an edit writes it, under the block's index in
    // the grid over `bounds` (the bounds that Undo will take the layer back to), so that
    // the grid may grow and renumber its blocks meanwhile: a present block as a copy, a
    // missing one made present and transparent and kept as missing. 1; 0, with the layer
    // and the list as they were, for null, a list of another block type, a block outside
    // the grid over `bounds` or a failed copy.
    int BackupBlockForUndo(uint32_t index, const PTzRECT* bounds, ITzUndoBlockListBase* undo);
    virtual int UndoBackupBlockList(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo,
                                    ITzUndoBlockListBase* redo);
    virtual int UndoSwitchBlockData(ITzUndoBlockListBase* undo);
    virtual int MergeGetNewBounds(const PTzRECT* dest, const PTzRECT* floating, PTzRECT* out,
                                  int32_t mergeType);
    virtual int FloatMergeBlock(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                                _tagITzBLOCKMEMORYGRAY* mask) = 0;
    // `rect` is the part of the block to merge (block coordinates). A floating layer of
    // the same kind is read over `floatingRect`, the P rectangle of that part; one of
    // another kind is merged a block at a time and reads the whole block's P rectangle.
    // A mask is a page laid over the whole block. Both merges: 1 when merged, 0 when failed.
    virtual int FloatMergeRect(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                               ITzLayerImage* floating, const PTzRECT* floatingRect,
                               _tagITzBLOCKMEMORYGRAY* mask) = 0;
    virtual int MergeNeedBackupDes(uint32_t block, const _tagITzMERGEDATA* merge);
    virtual int MergeNeedBackupSrc(uint32_t block, const _tagITzMERGEDATA* merge);
    virtual int MergeNeedBackupSrc(const PTzRECT* rect, const _tagITzMERGEDATA* merge);

    // Copies a present block into the list when merging the floating layer (over the P
    // rect, or its block `floatingBlock`) through the selection can change it: 1 when
    // copied, 0 when no copy is needed, a negative code when the copy failed.
    virtual int BackupBlockInBounds(uint32_t block, ITzLayerImage* floating, ITzLayerImage* selection,
                                    const PTzRECT* rect, ITzUndoBlockListBase* list);
    virtual int BackupBlockInBounds(uint32_t block, ITzLayerImage* floating, uint32_t floatingBlock,
                                    ITzLayerImage* selection, const PTzRECT* rect, ITzUndoBlockListBase* list);
    virtual int BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating,
                                               ITzLayerImage* selection, const PTzRECT* rect,
                                               ITzUndoBlockListBase* list) = 0;
    virtual int BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating, uint32_t floatingBlock,
                                               ITzLayerImage* selection, const PTzRECT* rect,
                                               ITzUndoBlockListBase* list) = 0;
    virtual int BackupBlock(uint32_t index, ITzUndoBlockListBase* list) = 0;
    virtual int FloatMergeRectForSameType(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                          ITzLayerImage* floating, const PTzRECT* floatingRect,
                                          _tagITzBLOCKMEMORYGRAY* mask) = 0;
    virtual int MoveBlocktoUndoList(uint32_t index, ITzUndoBlockListBase* list) = 0;
    virtual int SwitchBlockwithUndoList(uint32_t item, ITzUndoBlockListBase* list) = 0;
    virtual int CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                             const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection) = 0;
    // `takeOut` nonzero takes the selected part out of this block (a move); 0 copies it
    // and leaves this block as it is.
    virtual int CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                                 const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection,
                                 int takeOut) = 0;
    // Calls the initialiser's callback for one block that a grow added (level 0).
    virtual int InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init);
    virtual int UpdataPreviewForBrush(uint8_t level, const PTzRECT* rect, int flag);
    // Scratch bitmaps of the layer's kind; 0 here.
    virtual int LockBitmap(_tagITzBITMAP* bitmap);
    virtual int UnlockBitmap(_tagITzBITMAP* bitmap);
    virtual int LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap);
    virtual int UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap);

    // Writes the channel bitmap over an L rectangle, clipped to the grid (the planes
    // keep pace with the clipping): 1, or 0 when a block could not be written.
    virtual int SetRectChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect);
    // Reads an L rectangle, clipped to the layer's bounds; pixels outside are left as
    // they were: 1, or 0 when a block could not be read.
    virtual int GetRectChannelData(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect);
    // The same with the floating layer merged on top (through the selection, if any).
    virtual int GetRectChannelDataWithFloating(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect);
    virtual int FillBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap);
    virtual int LockBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap);
    // The same for a caller about to write the block's pixels: a channel stored as one
    // value gets its page without that value written into it, its bit set in `unfilled`
    // and the value in `values` (by plane), for the caller to fill the page with where
    // it does not write every byte. Kinds that cannot leave a page unfilled fill it.
    virtual int LockBlockToChannelBitmapUnfilled(uint32_t index, _tagITzCHANNELBITMAP* bitmap, uint8_t* unfilled,
                                                 uint8_t values[4]);
    virtual int UnlockChannelBitmapToBlock(uint32_t index, _tagITzCHANNELBITMAP* bitmap);
    virtual int ChannelBimapMergIn(_tagITzCHANNELBITMAP* source, const PTzRECT* rect, _tagITzBITMAP* mask,
                                   const PTzRECT* maskRect, _tagITzMERGEDATA* merge, uint8_t factor);
    // Block coordinates; the position forms refuse (0) a null or outside position.
    virtual int SetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap);
    virtual int SetChannelBlockData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                    _tagITzCHANNELBITMAP* bitmap);
    virtual int GetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap);
    virtual int GetChannelBlockData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                    _tagITzCHANNELBITMAP* bitmap);
    virtual int BlockChannelBimapMergIn(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* source,
                                        const PTzRECT* sourceRect, _tagITzBITMAP* mask, const PTzRECT* maskRect,
                                        _tagITzMERGEDATA* merge, uint8_t factor);

    // Resampled reads of the layer into a channel bitmap (a zoomed picture rectangle), as
    // stepwise jobs: the start gives null for null arguments, nothing to read or a short
    // scratch pool; a step 0 when the job is over or has failed; the end frees the job and
    // gives 1 when every step succeeded (the bilinear end then writes the pixels), else 0.
    virtual void* ResampleFillChannelBitmapStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                 const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                 uint32_t type, void* setting);
    virtual int ResampleFillChannelBitmap(void* job, uint32_t* progress);
    virtual int ResampleFillChannelBitmapEnd(void* job);
    virtual void* ResampleFillChannelBitmapNNStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                   const _tagITzZOOMLEVEL* zoomX,
                                                   const _tagITzZOOMLEVEL* zoomY, void* setting);
    virtual int ResampleFillChannelBitmapNN(void* job, uint32_t* progress);
    virtual int ResampleFillChannelBitmapNNEnd(void* job);
    virtual void* ResampleFillChannelBitmapBLStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                   const _tagITzZOOMLEVEL* zoomX,
                                                   const _tagITzZOOMLEVEL* zoomY, void* setting);
    virtual int ResampleFillChannelBitmapBL(void* job, uint32_t* progress);
    virtual int ResampleFillChannelBitmapBLEnd(void* job);
    virtual void* ResampleFillChannelBitmapBCStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                   const _tagITzZOOMLEVEL* zoomX,
                                                   const _tagITzZOOMLEVEL* zoomY, void* setting);
    virtual int ResampleFillChannelBitmapBC(void* job, uint32_t* progress);
    virtual int ResampleFillChannelBitmapBCEnd(void* job);
    // The accumulation buffer of a bilinear read for the channel bitmap's size and planes:
    // 1, or 0 with nothing taken. FreeBLZoomBuffer gives its arrays back: 1, 0 for null.
    int AllocBLZoomBuffer(const _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMBLBUFFERDATA* buffer);
    int FreeBLZoomBuffer(const _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMBLBUFFERDATA* buffer);

    // Geometry: 0, or -1001 for null (or, for block rectangles, an outside block).
    int LPointtoBPoint(const PTzPOINT* in, PTzPOINT* out) const;
    int BPointtoLPoint(const PTzPOINT* in, PTzPOINT* out) const;
    int LRECTtoBRECT(const PTzRECT* in, PTzRECT* out) const;
    int BRECTtoLRECT(const PTzRECT* in, PTzRECT* out) const;
    // ITzBLOCK_INDEX_NONE for a null position or one outside the grid.
    uint32_t BlockPosToIndex(const _tagITzBLOCKPOSITION* position) const;
    int IndexToBlockPos(uint32_t index, _tagITzBLOCKPOSITION* position) const;
    int GetBlockPictRect(uint32_t index, PTzRECT* rect) const;
    int GetBlockPictRect(const _tagITzBLOCKPOSITION* position, PTzRECT* rect) const;
    int GetBlockBlockRect(uint32_t index, PTzRECT* rect) const;
    int GetBlockBlockRect(const _tagITzBLOCKPOSITION* position, PTzRECT* rect) const;
    // The grid's rectangle in picture coordinates.
    int GetBlockBounds(PTzRECT* rect) const;
    uint32_t GetBlockCount() const;

    _tagPTzCOLORMODE GetColorMode() const { return m_colorMode; }
    uint16_t GetBitDepth() const { return m_bitDepth; }

    // Interleaved rectangle reads and writes (L), clipped to the grid and the bitmap,
    // which is placed at the rectangle's corner: 0, or -1001 for null, a bitmap without
    // pixels or nothing left after clipping.
    int GetRectData(const PTzRECT* rect, _tagITzBITMAP* bitmap);
    int SetRectData(const PTzRECT* rect, const _tagITzBITMAP* bitmap);
    // 1 when any block under the L rectangle holds data, else 0.
    int RectDataAvailable(const PTzRECT* rect);
    // Marks every block under the part of the L rectangle inside the layer invalid:
    // 1, 0 when nothing is inside.
    int RectDataInvalid(const PTzRECT* rect);
    // Every block of that cache level invalid: 1, 0 without that level.
    int InvalideCache(uint8_t level);

    // Aligns a zoomed rectangle down to whole zoom groups: the picture rectangle it
    // reads, the aligned zoomed rectangle and what the alignment removed.
    static void GetDataMatchRect(PTzRECT* pictureRect, PTzRECT* alignedRect, const PTzRECT* zoomedRect,
                                 const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                 _tagPTzOFFSET* offset);

    // Uniform channels. A channel record is folded into its byte when uniform (1, the
    // handle freed) and expanded back on demand (1, 0 when it has a handle already or
    // memory is short).
    static int CompressChannel(_tagITzCHANNELDATA* channel);
    static int UncompressChannel(_tagITzCHANNELDATA* channel);
    // A new 65,536-byte handle filled with `value`; null when memory is short.
    static PTzHANDLE UncompressChannelData(uint8_t value);
    // 1 and the byte when all bytes of the handle are equal (the handle is then freed);
    // 0 and the handle untouched otherwise.
    static int CompressChannelData(PTzHANDLE channel, uint8_t* value);
    static PTzHANDLE CopyChannelData(PTzHANDLE channel);

    // The native-format reader's access to the grid.
    int DWKGetBlockOffset(_tagPTzOFFSET* offset) const;
    int DWKSetBlockOffset(const _tagPTzOFFSET* offset);
    uint16_t DWKGetBlockCountX() const { return m_blockCountX; }
    uint16_t DWKGetBlockCountY() const { return m_blockCountY; }
    void DWKSetBlockCountX(uint16_t count) { m_blockCountX = count; }
    void DWKSetBlockCountY(uint16_t count) { m_blockCountY = count; }
    // Appends present blocks until the list holds count x by count y records, then
    // stores the record. The layer owns the passed handles from the call on, whatever
    // the result, and frees those it refused. 0, -1001 for null or an index outside
    // the grid, or the list's error.
    int DWKSetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info);

    // The floating layer taken on and off without a merge. SetFloatingLayer attaches a
    // layer when none is attached: 1, else 0 and nothing changes. RemoveFloatingLayer
    // detaches it for the caller, who then owns it; null when there is none.
    int SetFloatingLayer(ITzLayerImage* layer);
    ITzLayerImage* RemoveFloatingLayer();
    // 1 when the layer's block borders fall on the same picture coordinates as this
    // layer's: (offset - position) & 255 equal in both axes. 0 for null.
    int IsMatchBlockLayer(const ITzLayerImage* layer) const;
    // The distance from b's grid to a's in whole blocks: a block at column c of a lies at
    // column c + out.x of b. 1, or 0 for null or grids that are not aligned.
    static int GetBlockOffsetForMatchLayer(const ITzLayerImage* a, const ITzLayerImage* b, _tagPTzOFFSET* out);

    // Merges a floating layer into this layer through the selection (null: everywhere),
    // with the floating layer's merge type and opacity; the bounds become those of
    // MergeGetNewBounds. Every block the merge can change is copied into `undo` first
    // (a block that was missing is recorded as missing), so Undo with the old bounds
    // restores the layer exactly. 1; 0 with the layer and the list as they were for
    // null arguments, a list of another block type, or when a backup, a scratch page or
    // a block merge failed.
    int MergeAction(ITzLayerImage* floating, ITzLayerImage* selection, ITzUndoBlockListBase* undo);
    // MergeAction's path for aligned grids: each floating block merged whole into the
    // block at its place. 0 for grids that are not aligned.
    int MergeActionMatch(ITzLayerImage* floating, ITzLayerImage* selection, ITzUndoBlockListBase* undo);
    // Merges another layer into this one over the union of both bounds with the other's
    // merge type and opacity, without undo: 1, or 0 for null or when a tile failed.
    int MergeLayer(ITzLayerImage* other);
    // Merges the floating layer's part over an in-block rectangle (block coordinates) of
    // one block, through the selection's values over that block: the kind's FloatMergeRect
    // result, 1 when the selection is 0 over the whole block, 0 for null arguments or when
    // the selection cannot be read.
    int FloatMergeRectMask(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, ITzLayerImage* floating,
                           ITzLayerImage* selection);
    // Merges one floating block whole into this layer's block at the same place (P rect),
    // through the selection: the kind's FloatMergeBlock result, 1 when the selection is 0
    // over the block, 0 without a selection or when no page is free or it cannot be read.
    int FloatMergeBlockMask(ITzLayerImage* floating, uint32_t block, uint32_t floatingBlock, ITzLayerImage* selection,
                            const PTzRECT* blockRect);
    // The selection layer's own SelectionIsEmpty over the P rectangle: 1 when its values
    // there are all 0; 0 without a selection layer or a rectangle, so nothing counts as empty.
    static int SelectionIsEmpty(ITzLayerImage* selection, const PTzRECT* rect);

    // Block moves of the cut and move tools. The source block, when present, is copied
    // into the undo list first; a failed copy stops the edit before anything changes.
    // CopyToFloatLayer with `backup` 0 is a copy: the source keeps its pixels, so it
    // needs and makes no backup. The kind's CopyBlockCut or CopyBlockToFloat result;
    // 0 for the null arguments each names.
    static int CopyToCutLayer(ITzLayerImage* source, const _tagITzBLOCKPOSITION* sourcePosition,
                              ITzLayerImage* target, const _tagITzBLOCKPOSITION* targetPosition,
                              ITzLayerImage* selection, ITzUndoBlockListBase* undo);
    static int CopyToFloatLayer(ITzLayerImage* source, const _tagITzBLOCKPOSITION* sourcePosition,
                                ITzLayerImage* floating, const _tagITzBLOCKPOSITION* floatingPosition,
                                ITzLayerImage* selection, int backup, ITzUndoBlockListBase* undo);
    // Cuts the layer to the P rectangle, copying first every block whose visible part
    // changes into `undo`: 1; 0 with the layer and the list as they were for null
    // arguments, a list of another block type or a failed copy.
    int Crop(const PTzRECT* rect, ITzUndoBlockListBase* undo);

protected:
    // Fills this layer's empty block list with deep copies of the blocks of `source`, a
    // layer of the same kind with records of type Record, and takes its grid: 1, or 0 when
    // a block could not be read or copied (BlockListCopy, block_list.h).
    template <typename Record, typename Kind>
    int CopyBlocksFrom(Kind& source);
    // An L rectangle (cut to the layer's bounds when `toBounds`) clipped to the grid and
    // turned into B; false when nothing is left.
    bool ClipToGrid(const PTzRECT& layerRect, bool toBounds, PTzRECT& gridRect) const;
    // Frees the handles of a record that the layer refused or replaced.
    static void FreeBlockDataInfo(const _tagITzBLOCKDATAINFO& info);
    // Gives the pixels of a bitmap the kinds' LockBitmap took from the block memory pool
    // back: 1, 0 when there are none.
    static int UnlockPoolBitmap(_tagITzBITMAP* bitmap);
    // Reads the P rectangle into a zeroed scratch bitmap of the kind and merges that onto
    // `bitmap` with the layer's merge data: GetBitmap's result, 0 when no scratch.
    int MergeToBitmapThroughScratch(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                    const _tagITzZOOMLEVEL* zoomY);
    // Draws the display data tile by tile into scratch tiles of `bits` per pixel, the
    // selection merged over each first, and merges them onto `bitmap`: 0, -1001 for null.
    int FloatMergeThroughTiles(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                               ITzLayerImage* selection, uint16_t bits);

    _tagPTzCOLORMODE m_colorMode = PTzCOLORMODE_ARGB;
    uint16_t m_bitDepth = 32;
    PTzTWOLEVELHANDLE m_blockList = nullptr;  // made and freed by the kinds
    _tagPTzOFFSET m_blockOffset = {0, 0};     // B = L + offset
    uint16_t m_blockCountX = 0;
    uint16_t m_blockCountY = 0;
    ITzLayerImage* m_floating = nullptr;       // owned while attached
    ITzPreviewCacheLink* m_cache = nullptr;    // owned

private:
    // What a grow added around the old grid: columns at the left, rows at the top, and
    // the old counts (0 when the grid was made anew).
    struct GridGrowth {
        uint16_t left, top, oldCountX, oldCountY;
    };
    int ExtendCore(const PTzRECT* rect, PTzRECT* out, int init, bool clearStraddling, GridGrowth* growth);
    int ExtendNew(const PTzRECT& bounds, int init);
    int ClearStraddlingBlocks(const PTzRECT& oldBounds, const PTzRECT& newBounds);
    void InitGrownBlocks(const GridGrowth& growth, _tagITzIMAGELAYERBLOCKINITCBSTR* init);
    // Each keeps the counts in step; a failed insert takes back what it inserted.
    int InsertColumns(uint16_t at, uint16_t count, int init);
    int InsertRows(uint16_t at, uint16_t count, int init);
    int RemoveColumns(uint16_t first, uint16_t count);
    int RemoveRows(uint16_t first, uint16_t count);
    int RemoveAllBlocks();
    int MergeFloatingOnto(_tagITzCHANNELBITMAP* bitmap, const PTzRECT& rect, uint8_t level,
                          const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, bool display);
    using ChannelBlockOp = int (ITzLayerImage::*)(uint32_t, const PTzRECT*, _tagITzCHANNELBITMAP*);
    int WalkRectChannel(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, ChannelBlockOp blockOp);
};

// Copies a source layer's rectangle (its floating layer composited) into the
// destination layer's rectangle, 256 x 256 at a time, the smaller of the two sizes;
// nothing is written when the colour modes differ. 0, -1001 for null.
LUMATRA_C int ITzCopyLayerRect(const PTzRECT* destRect, const PTzRECT* sourceRect, ITzLayerImage* source,
                               ITzLayerImage* dest);
