// ITzLayerImageARGB, the picture's ordinary pixel layer: 32 bits per pixel, four 8-bit
// channels (alpha, red, green, blue) per 256 x 256 block, each a 65,536-byte handle or,
// when uniform, one byte. ITzLayerImageARGBPreview draws its blocks on demand from a
// generated layer (text layers).
#pragma once

#include <cstdint>

#include "engine/pixels/block_records.h"
#include "engine/pixels/layer_image.h"

class ITzGeneratedLayerLink;

// A rectangle read out in planar form. Plane i's first byte is the rectangle's top-left
// pixel; uniform bit i (1, 2, 4, 8) says channel i is the same over the whole rectangle,
// its constant in `constants[i]`.
struct _tagITzARGBMEMDATA {
    uint8_t* planes[4];  // alpha, red, green, blue; caller memory
    uint8_t constants[4];
    uint8_t uniform;
    int32_t stride;  // bytes per plane row
    int32_t height;  // rows
};

// How a stream reads or writes one channel of a block: `page` holds the channel's
// 65,536 bytes, or is null for a uniform channel, whose one value is `value`. True to
// go on, false to stop.
using ITzBlockChannelRead = bool (*)(uint32_t channel, uint8_t* page, uint8_t* value, void* user);
using ITzBlockChannelWrite = bool (*)(uint32_t channel, const uint8_t* page, uint8_t value, void* user);

class LUMATRA_API ITzLayerImageARGB : public ITzLayerImage {
public:
    // An empty layer: type 2, colour mode 3, 32 bits, an empty block list.
    ITzLayerImageARGB();
    // The image-layer part of `source` (no blocks: CopyLayer copies them, all or none).
    explicit ITzLayerImageARGB(const ITzLayerImageARGB* source);
    ~ITzLayerImageARGB() override;

    // Operations this kind adds, in this order (derived kinds keep it).
    using ITzLayerImage::RebuildWithDib;
    // Loading a DIB without its size is not supported: -1001 and the layer untouched.
    virtual int RebuildWithDib(const BITMAPINFOHEADER* dib);
    using ITzLayerImage::GetBlockInfo;
    using ITzLayerImage::SetBlockInfo;
    // 0 with the record copied out; -1001 for null, the list's error for an index it
    // cannot read, -1301 for a missing block.
    virtual int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill);
    // Stores the record as it is (the handles become the layer's): 0, -1001 for null,
    // or the list's error.
    virtual int SetBlockInfo(uint32_t index, const _tagITzBLOCKINFOARGB* record);
    virtual int InitBlockList();
    virtual int DestoryBlockList();
    using ITzLayerImage::UncompressBlock;
    using ITzLayerImage::CompressBlock;
    // 0; -1051 (record unchanged) when a channel cannot be expanded; -1001 for null.
    virtual int UncompressBlock(_tagITzBLOCKINFOARGB* record);
    virtual int CompressBlock(_tagITzBLOCKINFOARGB* record);
    // A deep copy of block `index`: 1; 0 for a missing block, or when a handle cannot
    // be copied (then nothing is kept and the last error is -1051).
    virtual int CopyBlockData(uint32_t index, _tagITzBLOCKINFOARGB* out);
    virtual int FillBlockBuffer(const _tagITzBLOCKINFOARGB* record, _tagITzBlockBUFFER* buffer);
    virtual int FillBlockBufferChannel(PTzHANDLE channel, uint8_t constant, uint8_t* page);
    virtual int FillChannelMemoryZoomAlpha(const uint8_t* source, uint8_t* target, const PTzRECT* targetRect,
                                           uint32_t shift);
    virtual int FillBlockMemoryZoom(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYARGB* target,
                                    const PTzRECT* targetRect, uint32_t shift);
    virtual int FillBlockMemory(const _tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORYARGB* memory);
    virtual int FillPreviewCacheData(const PTzRECT* rect, _tagITzBLOCKMEMORYARGB* target,
                                     const PTzRECT* targetRect, uint32_t shift, int fill);
    virtual int FillPreviewCacheChannelData(const PTzRECT* rect, uint8_t* target, const PTzRECT* targetRect,
                                            uint32_t shift, uint8_t unused);
    // Zoomed reads of a zoomed picture rectangle into a destination as large as it:
    // 0, also when the rectangle misses the layer; -1001 for a null argument.
    virtual int MergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                     const _tagITzZOOMLEVEL* zoomY);
    virtual int MergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                    const _tagITzZOOMLEVEL* zoomY);
    virtual int GetChannelBitmapZoomOut(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                        const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    virtual int GetChannelBitmapZoomIn(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                       const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    virtual int GetBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY);
    virtual int GetBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY);
    // Planar rectangle reads (layer coordinates): 1, or 0 with last error -1001.
    virtual int GetRectData_1(const PTzRECT* rect, _tagITzARGBMEMDATA* out, int fill);
    virtual int GetRectData_2(const PTzRECT* rect, _tagITzARGBMEMDATA* out);
    // Which channels are uniform over a rectangle inside the layer, a missing block
    // counting as 0 in every channel: 1, or 0 for null or a rectangle not inside.
    virtual int CheckRectSame(const PTzRECT* rect, _tagITzARGBMEMDATA* out);
    virtual int FloatMergeBlockForSameType(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                                           _tagITzBLOCKMEMORYGRAY* mask);

    // Overrides of the image layer.
    ITzLayerBase* CreateCopyLayer() override;
    // A full copy, or null (nothing kept) when any block cannot be copied.
    ITzLayerImage* CopyLayer() override;
    ITzLayerImage* CreateSameTypeLayer() override;
    uint32_t GetChannelCount() override;
    int MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                      const _tagITzZOOMLEVEL* zoomY) override;
    int GetBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                  const _tagITzZOOMLEVEL* zoomY) override;
    int GetChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                         const _tagITzZOOMLEVEL* zoomY) override;
    // The magic wand's fill of one block (a rect of at most 256 x 256, L) into the mask
    // placed at its corner: 1 when it ran, 0 for bad arguments or when memory ran short.
    // A uniform block is tested once and never expanded.
    int MagicSearchFillSelection(const PTzRECT* blockRect, _tagITzBITMAP* mask, ITzMagicSeedLineList* seeds,
                                 const _tagPTzCOLOR* colour, uint32_t tolerance) override;
    int ColorFillSelection(_tagITzBITMAP* mask, const PTzRECT* rect, const _tagPTzCOLOR* colour,
                           uint32_t tolerance) override;
    int SetBlockColor(uint32_t index, const _tagPTzCOLOR* colour) override;
    int FloatMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                           ITzLayerImage* selection) override;
    int PreviewMergeToBitmapWithFloating(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                         const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY) override;
    // PreviewMergeToBitmap planned as rows: the layer or its cache level straight onto
    // the bitmap, or, with a floating layer, through scratch rows as it draws through
    // scratch tiles. Null for a bitmap it does not merge onto, or a floating layer or
    // selection of neither image kind.
    std::unique_ptr<ITzPreviewRows> PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                     const _tagITzZOOMLEVEL* zoomX,
                                                     const _tagITzZOOMLEVEL* zoomY) override;
    // Kind 3 with four (handle, constant) pairs. A missing block gives -1301 and an
    // all-zero record.
    int GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill) override;
    // Kind 3 stores a present block, any other kind a missing one. On success the layer
    // owns the incoming handles (dropping them for another kind) and frees the old ones
    // they do not include; on failure it takes and frees nothing.
    int SetBlockInfo(uint32_t index, const _tagITzBLOCKDATAINFO* info) override;
    _tagITzBLOCKTYPE GetBlockType() override;
    int FloatMergeRectDataToBlockMemory(const PTzRECT* rect, _tagITzBLOCKMEMORY* target,
                                        _tagITzBLOCKMEMORYGRAY* mask) override;
    int FloatMergeBlockDataToBlockMemory(uint32_t block, _tagITzBLOCKMEMORY* target,
                                         _tagITzBLOCKMEMORYGRAY* mask) override;
    int FillRectDataToLayerBlock(ITzLayerImage* target, uint32_t block, const PTzRECT* rect) override;
    int SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap) override;
    int SetBlockData(uint32_t index, const _tagITzBLOCKMEMORY* memory) override;
    int LoadNeedConvertColor(_tagPTzCOLORMODE* mode, uint16_t* bitDepth) override;
    int CopyToLayerWithMask(ITzLayerImage* target, const _tagITzBLOCKPOSITION* targetPosition,
                            const _tagITzBLOCKPOSITION* sourcePosition, ITzLayerImage* selection) override;
    int MergeBlockMask(_tagITzBITMAP* mask, const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                       uint32_t mode) override;
    int FillBlockDataFromLayer(uint32_t block, const PTzRECT* rect, ITzLayerImage* source,
                               const PTzRECT* sourceRect, _tagITzMERGEDATA* merge, _tagITzBITMAP* mask,
                               const PTzRECT* maskRect, uint8_t factor) override;
    int FillChannelBitmapData(_tagITzCHANNELBITMAP* target, const PTzRECT* targetRect, const PTzRECT* rect,
                              _tagITzMERGEDATA* merge, _tagITzBITMAP* mask, const PTzRECT* maskRect,
                              uint8_t factor) override;
    int GetBlockPointColor(uint32_t index, const PTzPOINT* inBlock, _tagPTzCOLOR* colour) override;
    int GetBlockData(uint32_t index, const PTzRECT* rect, _tagITzBITMAP* bitmap) override;
    int BlockDataAvailable(uint32_t index) override;
    int BlockDataInvalid(uint32_t index) override;
    int FillBlock(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, const _tagPTzCOLOR* colour) override;
    // This kind fills nothing from a crossing list: the ellipse is refused with -1001
    // before the layer grows, so no caller is left with a larger layer and nothing drawn.
    int FillArc(const PTzRECT* rect, const _tagPTzCOLOR* colour, int flag) override;
    ITzLayerImage* CreateFloatingLayerCore() override;
    int InsertBlock(uint32_t index, int present) override;
    int RemoveBlock(uint32_t index) override;
    int AlphaDataFull(const PTzRECT* rect) override;
    int CopyBlockAlpha(uint32_t index, PTzHANDLE* alpha, uint8_t* constant) override;
    // A preview-cache level of this kind (ITzPreviewCacheARGB) for the manager; null for
    // another manager or level, or when memory is short.
    ITzLayerImage* CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager) override;
    int FillCacheBlockAlpha(_tagITzCHANNELDATA* alpha, const PTzRECT* targetRect, const PTzRECT* sourceRect,
                            uint8_t level) override;
    int FillCacheBlock(_tagITzBLOCKMEMORYARGB* target, const PTzRECT* targetRect, const PTzRECT* sourceRect,
                       uint8_t level) override;
    int FloatMergeBlock(ITzLayerImage* floating, uint32_t sourceBlock, uint32_t targetBlock,
                        _tagITzBLOCKMEMORYGRAY* mask) override;
    int FloatMergeRect(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect, ITzLayerImage* floating,
                       const PTzRECT* floatingRect, _tagITzBLOCKMEMORYGRAY* mask) override;
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
    int FloatMergeRectForSameType(const _tagITzBLOCKPOSITION* position, const PTzRECT* rect,
                                  ITzLayerImage* floating, const PTzRECT* floatingRect,
                                  _tagITzBLOCKMEMORYGRAY* mask) override;
    // Hands a present block's record to the list; the block is emptied only once the
    // list holds it. 1, or 0 (nothing changed).
    int MoveBlocktoUndoList(uint32_t index, ITzUndoBlockListBase* list) override;
    // Swaps the block with the item's record; a failed write back restores the layer's
    // record, so no handle is ever held by both. 1; 0 for a null list or a failed swap.
    int SwitchBlockwithUndoList(uint32_t item, ITzUndoBlockListBase* list) override;
    int CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                     const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection) override;
    int CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                         const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection,
                         int takeOut) override;
    int LockBitmap(_tagITzBITMAP* bitmap) override;
    int UnlockBitmap(_tagITzBITMAP* bitmap) override;
    int LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap) override;
    int UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap) override;
    int FillBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap) override;
    int LockBlockToChannelBitmap(uint32_t index, _tagITzCHANNELBITMAP* bitmap) override;
    int LockBlockToChannelBitmapUnfilled(uint32_t index, _tagITzCHANNELBITMAP* bitmap, uint8_t* unfilled,
                                         uint8_t values[4]) override;
    int UnlockChannelBitmapToBlock(uint32_t index, _tagITzCHANNELBITMAP* bitmap) override;
    using ITzLayerImage::SetChannelBlockData;
    using ITzLayerImage::GetChannelBlockData;
    int SetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override;
    int GetChannelBlockData(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override;
    int BlockChannelBimapMergIn(uint32_t index, const PTzRECT* rect, _tagITzCHANNELBITMAP* source,
                                const PTzRECT* sourceRect, _tagITzBITMAP* mask, const PTzRECT* maskRect,
                                _tagITzMERGEDATA* merge, uint8_t factor) override;

    // Frees the four handles and zeroes the record: 1, 0 for null.
    static int DestroyBlockData(_tagITzBLOCKINFOARGB* record);
    // Nonzero for a present block without alpha data whose alpha constant is 0.
    static int IsBlockEmpty(const _tagITzBLOCKINFOARGB* record);
    int MergeToBitmapNormal(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                            const _tagITzZOOMLEVEL* zoomY);
    int MergeToBitmapDefault(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                             const _tagITzZOOMLEVEL* zoomY);
    // Copies an in-block rectangle of one channel to plane + at.y x stride + at.x, or
    // fills it with the constant when the handle is null: 1, 0 for null.
    static int GetBlockDataChannel(uint8_t* plane, uint32_t stride, const _tagPTzOFFSET* at, PTzHANDLE channel,
                                   uint8_t constant, const PTzRECT* inBlock);
    // 1 when merging the source over the target block may change it (merge type 3).
    static int MergeRectNeedBackupARGB(const _tagITzARGBMEMDATA* source, const _tagITzBLOCKINFOARGB* target,
                                       const _tagITzMERGEDATA* merge);
    static int MergeBlockNeedBackupARGB(const _tagITzBLOCKINFOARGB* source, const _tagITzBLOCKINFOARGB* target,
                                        const _tagITzMERGEDATA* merge);
    // Expands the record and locks its four channels into a kind-3 block memory: 1, 0
    // when it cannot be expanded. UnlockBlockForBlockMemory unlocks and compresses.
    static int LockBlockToBlockMemory(_tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORY* memory);
    static int UnlockBlockForBlockMemory(_tagITzBLOCKINFOARGB* record, _tagITzBLOCKMEMORY* memory);
    static int FillBlockMemoryWithRectData(_tagITzBLOCKMEMORY* out, const _tagITzARGBMEMDATA* data);
    // The same into a 256 x 256 channel bitmap of the layer's kind.
    int LockBlockToChannelBitmap(_tagITzBLOCKINFOARGB* record, _tagITzCHANNELBITMAP* bitmap);
    static int UnlockBlockforChannelBitmap(_tagITzBLOCKINFOARGB* record, _tagITzCHANNELBITMAP* bitmap);

    // Whole blocks for the code above the pixel layer, which never handles block records.
    // Makes block `index` a copy of the source's block `sourceIndex`, channel by channel
    // (uniform channels stay uniform): 1; 0 when either block is missing or a handle
    // cannot be made (the block as it was), or when a handle cannot be read (the block
    // is stored with the channels that were copied).
    int CopyBlockFrom(uint32_t index, ITzLayerImageARGB* source, uint32_t sourceIndex);
    // Merges an in-block rectangle of the source's block `sourceIndex` over the same
    // rectangle of block `index`, alpha over at full opacity: 1; 0 when either block is
    // missing or scratch memory is short (the block as it was), or when the block's
    // handles cannot be locked (it is stored unmerged).
    int MergeBlockPartOver(uint32_t index, const PTzRECT* inBlock, ITzLayerImageARGB* source,
                           uint32_t sourceIndex);
    // The channels of block `index` that are uniform, bit c for channel c; a missing
    // block reads as four channels uniform at 0.
    uint8_t GetBlockUniformChannels(uint32_t index);
    // Hands block `index` to `write` channel by channel in order, each page locked for
    // its call (a missing block as by GetBlockUniformChannels): true when every call gave
    // true; false at the first false, or when a page cannot be locked.
    bool WriteBlockChannels(uint32_t index, ITzBlockChannelWrite write, void* user);
    // Loads block `index` channel by channel in order through `read`: a channel whose bit
    // is set in `uniform` gets its value, any other a new page that `read` fills whole.
    // The grid first grows to its block counts (DWKSetBlockInfo). 0 when stored; when
    // `read` gives false (-1001) or a page cannot be made (-1051) nothing is stored and
    // every new page is freed; else the error of storing.
    int ReadBlockChannels(uint32_t index, uint8_t uniform, ITzBlockChannelRead read, void* user);

protected:
    // Reads a planar rectangle; `fill` goes to GetBlockInfo, `allPlanes` requires four planes.
    int ReadRectData(const PTzRECT* rect, _tagITzARGBMEMDATA* out, int fill, bool allPlanes);

private:
    enum class ZoomAction { Bitmap, ChannelBitmap, Merge };
    int ZoomRead(ZoomAction action, bool enlarge, void* destination, const PTzRECT* rect,
                 const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // A block of another layer of this kind, read through the kind-independent record:
    // false when it is missing or of another kind.
    static bool ReadARGBBlock(ITzLayerImage* layer, uint32_t index, _tagITzBLOCKINFOARGB& record);
    static _tagITzBLOCKDATAINFO ToDataInfo(const _tagITzBLOCKINFOARGB& record);
    // MergeToBitmap planned as rows, with this layer's merge data.
    std::unique_ptr<ITzPreviewRows> PlanMergeToBitmap(const _tagITzBITMAP& bitmap, const PTzRECT& rect,
                                                      const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY);
    // Copies the block into the target's block (times the selection mask when
    // `maskCopy`) and, when `takeOut`, takes the mask off this block's alpha; all or
    // nothing. A selection of one value over the block expands no channel.
    int MoveSelectedPart(uint32_t index, const _tagITzBLOCKINFOARGB& own, ITzLayerImage* target,
                         uint32_t targetIndex, ITzLayerImage* selection, bool maskCopy, bool takeOut);
    int StoreChanged(uint32_t index, const _tagITzBLOCKINFOARGB& record);
};

// An ARGB layer whose missing blocks are drawn on first read by the generated layer
// that owns it (not owned here). Without an owner it is a plain ARGB layer.
class LUMATRA_API ITzLayerImageARGBPreview : public ITzLayerImageARGB {
public:
    explicit ITzLayerImageARGBPreview(ITzGeneratedLayerLink* owner);
    ~ITzLayerImageARGBPreview() override;

    using ITzLayerImageARGB::GetBlockInfo;
    // A missing block is drawn first: the draw's result (0, or -1001 when it failed,
    // the block then staying missing); present blocks as the ARGB layer. Without an
    // owner a missing block stays missing (-1301).
    int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill) override;
    // Marks the blocks under an L rectangle to be drawn again and drops the cached
    // levels there: 1, 0 when the rectangle misses the layer.
    int InvaildRect(const PTzRECT* rect) override;
    // With an owner a block the bounds grow into is drawn again when read, not cleared
    // (which would draw it first only to clear it).
    int ClearBlockWhenExtend(uint32_t index, const PTzRECT* keep) override;

    ITzGeneratedLayerLink* GetOwner() const { return m_owner; }
    // Ties the layer to a generated layer, or (null) makes it self-contained.
    void SetOwner(ITzGeneratedLayerLink* owner) { m_owner = owner; }
    // Draws every block not drawn yet: 1, or 0 when one could not be drawn.
    int DrawMissingBlocks();

private:
    ITzGeneratedLayerLink* m_owner;
};
