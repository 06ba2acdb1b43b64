// ITzLayerImageGray, the one-channel (8-bit) image layer that carries masks: the picture's
// selection, the floating masks of the selection and move tools and the preview-cache
// levels of masks. Each 256 x 256 block is one 65,536-byte handle or one constant byte.
#pragma once

#include <cstdint>

#include "engine/pixels/block_records.h"
#include "engine/pixels/layer_image.h"

// A rectangle of a mask read out (GetRectChannelData): when `uniform` is 1 the whole
// rectangle holds `value` and the pixels are not written; otherwise the pixels hold the
// rectangle, its top-left pixel first, 0 where the layer has no data.
struct _tagITzGRAYMEMDATA {
    uint8_t* pixels;  // caller memory, as a rule a 65,536-byte scratch page
    uint8_t value;
    uint8_t uniform;
    int32_t stride;  // bytes per row
    int32_t height;  // rows the memory holds
};

class LUMATRA_API ITzLayerImageGray : public ITzLayerImage {
public:
    // An empty mask: colour mode 6, 8 bits, an empty block list.
    ITzLayerImageGray();
    // The image-layer part of `source` (no blocks: CreateCopyLayer copies them, all or none).
    explicit ITzLayerImageGray(const ITzLayerImageGray* source);
    ~ITzLayerImageGray() override;

    // Operations this kind adds, in this order; the selection layer continues after them.
    // The zoomed operations take a rectangle in zoomed picture coordinates whose corner
    // is the bitmap's pixel (0, 0).
    // The mask as a coloured overlay (red unless the colour has mode 1): -1001 without
    // an x zoom, else the zoomed form's result.
    virtual int MergeToBitmapColor(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                   const _tagITzZOOMLEVEL* zoomY, const _tagPTzCOLOR* colour);
    using ITzLayerImage::GetBlockInfo;
    using ITzLayerImage::SetBlockInfo;
    // 0 with the record copied out; -1001 (also the last error) for null, the list's
    // error for an index it cannot read, -1301 for a missing block.
    virtual int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOGRAY* out, int fill);
    // Stores the record as it is (its handle becomes the layer's): 0, -1001 (also the
    // last error) for null, or the list's error.
    virtual int SetBlockInfo(uint32_t index, const _tagITzBLOCKINFOGRAY* record);
    // A deep copy of block `index`: 1; 0 for a missing block or when the handle cannot
    // be copied (last error -1051).
    virtual int CopyBlockData(uint32_t index, _tagITzBLOCKINFOGRAY* out);
    // Reduces a picture rectangle of at most 256 x 256 by 2^shift into a rectangle of a
    // cache block: 0; -1001 for bad arguments, without a scratch page, or when the
    // layer could not be read.
    virtual int FillPreviewCacheData(const PTzRECT* source, _tagITzBLOCKMEMORYGRAY* target,
                                     const PTzRECT* targetRect, uint32_t shift);
    // The byte at a layer point: 1, or 0 for null, outside the grid or a missing block.
    virtual int GetPointValue(const PTzPOINT* point, uint8_t* value);
    virtual int InitBlockList();
    virtual int DestoryBlockList();
    using ITzLayerImage::UncompressBlock;
    using ITzLayerImage::CompressBlock;
    // Gives a block without data a handle of its constant: 0, the last error when memory
    // is short (record unchanged), -1001 for null.
    virtual int UncompressBlock(_tagITzBLOCKINFOGRAY* record);
    // Folds data whose bytes are all equal into the constant: 0, -1001 for null.
    virtual int CompressBlock(_tagITzBLOCKINFOGRAY* record);
    // The block into the memory's first page, or that page null and the first constant
    // set for a block without data: 0, -1001 for null or a page that cannot be written.
    virtual int FillBlockMemory(const _tagITzBLOCKINFOGRAY* record, _tagITzBLOCKMEMORYARGB* memory);
    // Box mean by 2^shift of the source's first page (or its first constant) into a
    // rectangle of the target page: 0; -1001 for null, a shift of 0 or no target page.
    virtual int FillBlockMemoryZoom(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYGRAY* target,
                                    const PTzRECT* targetRect, uint32_t shift);
    // 1 and the common value when every pixel of a rectangle inside the layer's bounds
    // holds it, a missing block counting as 0; 0 otherwise, -1001 as last error for null.
    virtual int IsRectDataSame(const PTzRECT* rect, uint8_t* value);
    using ITzLayerImage::GetRectChannelData;
    // Reads a layer rectangle: uniform, or the pixels of every present block inside the
    // layer over zeros. 1, or 0 with last error -1001 for null arguments or pixels.
    virtual int GetRectChannelData(const PTzRECT* rect, _tagITzGRAYMEMDATA* out);
    // One 65,536-byte page: a copy of the handle's bytes or the constant repeated: 0,
    // -1001 for a null page or a handle that cannot be read.
    virtual int FillBlockBufferChannel(PTzHANDLE channel, uint8_t constant, uint8_t* page);
    // The buffer's first page from the record: 0, -1001 (also the last error) for null.
    virtual int FillBlockBuffer(const _tagITzBLOCKINFOGRAY* record, _tagITzBlockBUFFER* buffer);
    // The zoomed walks (ZoomOut at 1:1 or less, ZoomIn above): always 0; a null
    // argument or a bitmap of a depth the operation does not write changes nothing.
    // Alpha of 32-bit pixels times the mask.
    virtual int FloatMaskMergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                              const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    virtual int FloatMaskMergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                             const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // The coloured overlay onto 32- or 24-bit pixels, at half strength for mask 255.
    virtual int MergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                     const _tagITzZOOMLEVEL* zoomY, const _tagPTzCOLOR* colour);
    virtual int MergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                    const _tagITzZOOMLEVEL* zoomY, const _tagPTzCOLOR* colour);
    // The mask's bytes into an 8-bit bitmap.
    virtual int GetBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY);
    virtual int GetBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY);

    // Overrides of the image layer.
    // A full copy, or null (nothing kept) when any block cannot be copied.
    ITzLayerBase* CreateCopyLayer() override;
    ITzLayerImage* CreateSameTypeLayer() override;
    uint32_t GetChannelCount() override;
    // Merge type 9 draws the coloured overlay, any other blends the mask's bytes.
    int MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                      const _tagITzZOOMLEVEL* zoomY) override;
    // 8-bit bitmaps only (-1001 otherwise, and without an x zoom).
    int GetBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                  const _tagITzZOOMLEVEL* zoomY) override;
    // The channel bitmap's first plane as an 8-bit bitmap.
    int GetChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                         const _tagITzZOOMLEVEL* zoomY) override;
    // The block becomes present and uniform at the colour's byte 5: 1, 0 for null.
    int SetBlockColor(uint32_t index, const _tagPTzCOLOR* colour) override;
    int FloatMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                           ITzLayerImage* selection) override;
    // Kind 0 with one (handle, constant) pair. A missing block gives -1301 and an
    // all-zero record.
    int GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill) override;
    // Kind 0 stores a present block, any other kind a missing one. On success the layer
    // owns the incoming handles (dropping them for another kind) and frees the old one
    // when they do not include it; on failure it takes and frees nothing.
    int SetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info) override;
    _tagITzBLOCKTYPE GetBlockType() override;
    int FloatMergeRectDataToBlockMemory(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                        _tagITzBLOCKMEMORYGRAY* mask) override;
    int FloatMergeBlockDataToBlockMemory(uint32_t block, _tagITzBLOCKMEMORY* target,
                                         _tagITzBLOCKMEMORYGRAY* mask) override;
    using ITzLayerImage::SetBlockData;
    // 8-bit bitmaps only (-1001 otherwise); a missing block stays as it is.
    int SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap) override;
    // Mode 6 with 8 bits is kept as it is (0); anything else becomes mode 6, 8 bits (1).
    int LoadNeedConvertColor(_tagPTzCOLORMODE* mode, uint16_t* bitDepth) override;
    int MergeBlockMask(_tagITzBITMAP* mask, const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                       uint32_t mode) override;
    int GetBlockPointColor(uint32_t index, const PTzPOINT* inBlock, _tagPTzCOLOR* colour) override;
    // 8-bit bitmaps with pixels only (-1001 and last error otherwise); a missing block
    // copies nothing and gives 0.
    int GetBlockData(uint32_t index, const PTzRECT* rect, _tagITzBITMAP* bitmap) override;
    int BlockDataAvailable(uint32_t index) override;
    int BlockDataInvalid(uint32_t index) override;
    // Fills with the colour's byte 5 (0 for a null colour): 0, -1001 for a missing block.
    int FillBlock(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, const _tagPTzCOLOR* colour) override;
    // Rewrite the block's rows over the in-block rect from a crossing list in picture
    // coordinates (`origin`: the block corner's picture point) by the even-odd rule: 255
    // inside for a polygon, the colour's byte 5 (255 for null) for an arc, crossed pixels
    // at their share. 0; -1001 for null or a missing block.
    int FillBlockPolygonWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                      const PTzPOINT* origin, ITzPloygonCrossPixelList* list,
                                      const _tagPTzCOLOR* colour) override;
    int FillBlockDataWithCrossData(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, const PTzPOINT* origin,
                                   ITzCrossPixelList* list, const _tagPTzCOLOR* colour) override;
    ITzLayerImage* CreateFloatingLayerCore() override;
    int InsertBlock(uint32_t index, int present) override;
    int RemoveBlock(uint32_t index) override;
    int AlphaDataFull(const PTzRECT* rect) override;
    // Cache layers belong to the preview cache, which is not connected yet: null.
    ITzLayerImage* CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager) override;
    int FillCacheBlockAlpha(_tagITzCHANNELDATA* alpha, const PTzRECT* targetRect, const PTzRECT* sourceRect,
                            uint8_t level) override;
    // Merges a block of a gray floating layer (types 3, 5, 6, 7; 4 copies it over the
    // target; other types change nothing): 1 when the merge ran, 0 when a block is
    // missing or memory is short (unchanged). The selection mask is not applied.
    int FloatMergeBlock(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                        _tagITzBLOCKMEMORYGRAY* mask) override;
    // Only a gray floating layer is merged (FloatMergeRectForSameType); others give 0.
    int FloatMergeRect(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, ITzLayerImage* floating,
                       const PTzRECT* floatingRect, _tagITzBLOCKMEMORYGRAY* mask) override;
    // 1 = back the block up before the merge, 0 = the merge cannot change it.
    int MergeNeedBackupDes(uint32_t block, const _tagITzMERGEDATA* merge) override;
    int MergeNeedBackupSrc(uint32_t block, const _tagITzMERGEDATA* merge) override;
    int MergeNeedBackupSrc(const PTzRECT* rect, const _tagITzMERGEDATA* merge) override;
    int BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating, ITzLayerImage* selection,
                                       const PTzRECT* rect, ITzUndoBlockListBase* list) override;
    int BackupBlockInBoundsForSameType(uint32_t block, ITzLayerImage* floating, uint32_t floatingBlock,
                                       ITzLayerImage* selection, const PTzRECT* rect,
                                       ITzUndoBlockListBase* list) override;
    // Appends (index, a deep copy of the block): the list's result; 0 when the copy or
    // the append fails (nothing kept), and for a missing block.
    int BackupBlock(uint32_t index, ITzUndoBlockListBase* list) override;
    // Merges the floating mask over an in-block rectangle (null: the whole block), read
    // over `floatingRect`, the picture rectangle of that part; only the part changes and
    // the selection mask is not applied. 1 when the merge ran, 0 when nothing could be
    // read or memory is short (block unchanged).
    int FloatMergeRectForSameType(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                  ITzLayerImage* floating, const PTzRECT* floatingRect,
                                  _tagITzBLOCKMEMORYGRAY* mask) override;
    // Hands a present block's record to the list; the block is emptied only once the
    // list holds it. 1, or 0 (nothing changed).
    int MoveBlocktoUndoList(uint32_t index, ITzUndoBlockListBase* list) override;
    // Swaps the block with the item's record; a failed write back restores the layer's
    // record. 1 (also for an item that cannot be read); 0 for null or a failed swap.
    int SwitchBlockwithUndoList(uint32_t item, ITzUndoBlockListBase* list) override;
    // The selected part of a block into another mask, as the ARGB layer moves alpha:
    // the target gets the block times the mask (CopyBlockCut) or a full copy
    // (CopyBlockToFloat), and this block keeps max(v - mask, 0) (CopyBlockToFloat only
    // when `takeOut`: a copy leaves it as it is). 1, or 0 unchanged.
    int CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                     const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection) override;
    int CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                         const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection,
                         int takeOut) override;
    // An 8-bit bitmap of the layer's mode, rows padded to 4 bytes, pixels from the pool.
    int LockBitmap(_tagITzBITMAP* bitmap) override;
    int UnlockBitmap(_tagITzBITMAP* bitmap) override;
    // One zeroed plane from the pool, stride = width.
    int LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap) override;
    int UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap) override;
    // The block's handle, expanded and stored, exposed as a 256 x 256 plane until
    // UnlockChannelBitmapToBlock folds it back: 1, 0 for a missing block.
    int LockBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap) override;
    int UnlockChannelBitmapToBlock(uint32_t index, _tagITzCHANNELBITMAP* bitmap) override;
    using ITzLayerImage::SetChannelBlockData;
    using ITzLayerImage::GetChannelBlockData;
    // The one channel in the first plane; a missing block gives 1 unchanged.
    int SetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override;
    int GetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override;

    // Frees the handle and zeroes the record: 1, 0 for null.
    static int DestroyBlockData(_tagITzBLOCKINFOGRAY* record);
    // Nonzero for a present block without data whose constant is 0.
    static int IsBlockEmpty(const _tagITzBLOCKINFOGRAY* record);
    int MergeToBitmapDefault(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                             const _tagITzZOOMLEVEL* zoomY);
    // 1 when merging a source rectangle uniform at `value` into the target block may
    // change it; MergeBlockNeedBackupGray the same for a source block.
    static int MergeRectNeedBackupGray(uint8_t value, const _tagITzBLOCKINFOGRAY* target,
                                       const _tagITzMERGEDATA* merge);
    static int MergeBlockNeedBackupGray(const _tagITzBLOCKINFOGRAY* source, const _tagITzBLOCKINFOGRAY* target,
                                        const _tagITzMERGEDATA* merge);

private:
    enum class ZoomAction { Bitmap, Overlay, AlphaMask };
    int ZoomRead(ZoomAction action, bool enlarge, _tagITzBITMAP* bitmap, const PTzRECT* rect,
                 const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, const _tagPTzCOLOR* colour);
    // A block of another gray layer: false when it is missing or the layer is no mask.
    static bool ReadGrayBlock(ITzLayerImage* layer, uint32_t index, _tagITzBLOCKINFOGRAY& record);
    int StoreChanged(uint32_t index, const _tagITzBLOCKINFOGRAY& record);
    template <typename Records>
    int FillBlockWithCrossings(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, const PTzPOINT* origin,
                               const Records& records, uint8_t value);
    // Copies the block into the target's block (times the mask when `maskCopy`) and,
    // when `takeOut`, takes the mask off this block; all or nothing.
    int MoveSelectedPart(uint32_t index, const _tagITzBLOCKINFOGRAY& own, ITzLayerImageGray* target,
                         uint32_t targetIndex, ITzLayerImage* selection, bool maskCopy, bool takeOut);
};
