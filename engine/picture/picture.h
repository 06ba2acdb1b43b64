// ITzPicture: the engine's document. A size, a stack of up to 255 layers (index 0 at the
// bottom) with an active layer, an optional selection layer, the undo history, the
// data-change observers and the editing lock that serialises every change by a tool.
#pragma once

#include <cstdint>
#include <memory>

#include "base/broadcaster.h"
#include "base/color.h"
#include "base/corvane_types.h"
#include "base/geometry.h"
#include "base/two_level_handle.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/zoom_level.h"

class CUndoDataManager;
class ITzLayerBase;
class ITzLayerImage;
class ITzLayerImageSelect;
class ITzPreviewRows;
class ITzTextManager;
struct _tagITzLAYERINFO;
struct BITMAPINFOHEADER;
struct _tagUNDODATABASE;
struct _tagFTzIMAGEINFO_1;

inline constexpr uint16_t ITzPICTURE_MAX_LAYERS = 255;

// Messages the picture broadcasts with itself as sender; the parameter is null unless noted.
enum ITzPictureMessage : uint32_t {
    ITzPICTMSG_LAYER_INSERTED = 1001,  // uint32_t* : the new layer's index
    ITzPICTMSG_LAYER_REMOVED = 1002,   // _tagITzPICTLAYERREMOVED*
    ITzPICTMSG_LAYER_MOVED = 1003,     // _tagITzPICTLAYERMOVED*
    ITzPICTMSG_ACTIVE_CHANGED = 1005,
    ITzPICTMSG_SIZE_CHANGED = 1006,
    ITzPICTMSG_DESTROY = 1007,         // from the destructor, while the layers still exist
};

struct _tagITzPICTLAYERREMOVED {
    uint32_t index;       // the former index
    ITzLayerBase* layer;  // now the remover's
};

// The file format a picture was read with or last saved as: the plug-in and that
// plug-in's own setting block, which the picture owns.
struct _tagITzPICTFORMETSETTING {
    void* plugin;
    void* setting;
};

struct _tagITzPICTLAYERMOVED {
    uint16_t from;
    uint16_t to;
};

// Told about changed pixels of the picture (picture coordinates). Does nothing by default.
class LUMATRA_API ITzPictDataChangeHandler {
public:
    virtual ~ITzPictDataChangeHandler();
    virtual void DataChanged(const PTzRECT* rect, int flag);
    virtual void DataChangedSelection(const PTzRECT* rect, int flag);
};

class LUMATRA_API ITzPicture : public PTzBroadcaster, public PTzListener, public ITzLayerOwner {
public:
    ITzPicture();
    // Broadcasts 1007, then frees the layers, the undo history and last the installed
    // selection layer, which records may still name. The observers are left alone.
    ~ITzPicture() override;

    // The C interface's handle is the picture's address. Null when out of memory.
    static void* CreatePicture();
    static ITzPicture* Lock(void* handle);
    // 1, or 0 for null.
    static int DestoryPicture(void* handle);

    // Creation and size.
    // Sets the size, no layer: 0.
    int Create(uint32_t width, uint32_t height);
    // The layer's bounds become the size and an image layer's colour mode and bit depth
    // the picture's; then it is inserted at 0. InsertLayer's result; -1001 for null.
    int Create(ITzLayerBase* layer);
    // One ARGB layer of the size filled with the colour (null: opaque white). 0; -1101
    // when the picture has layers, -1001 for a size beyond 32 bits signed, -51 when the
    // layer cannot be made, or the fill's error; the picture is unchanged on failure.
    int Create_1(uint32_t width, uint32_t height, const _tagPTzCOLOR* colour);
    // Null is ignored: 0.
    int GetSize(_tagPTzSIZE* size) const;
    // A different size is stored and broadcast as 1006: 1, or 0 for null.
    int SetSize(const _tagPTzSIZE* size);
    uint8_t GetBitDepth() const { return m_bitDepth; }
    _tagPTzCOLORMODE GetColorMode() const { return m_colorMode; }
    uint32_t GetXPelsPerMeter() const { return m_xPelsPerMeter; }
    uint32_t GetYPelsPerMeter() const { return m_yPelsPerMeter; }
    uint32_t SetXPelsPerMeter(uint32_t value) { return m_xPelsPerMeter = value; }
    uint32_t SetYPelsPerMeter(uint32_t value) { return m_yPelsPerMeter = value; }

    // The layer stack. The picture owns the layers in it.
    uint16_t GetLayerCount() override;
    ITzLayerBase* GetLayerbyIndex(uint16_t index) override;
    // Index above the count: at the top. The layer joins the picture (owner, a free link
    // number when it has none, listened to) and 1001 follows; the active index stays.
    // 0; -1001 for null or a layer already in the stack, -1102 with 255 layers.
    int InsertLayer(uint16_t index, ITzLayerBase* layer);
    // The layer leaves the picture and goes to the caller, also when `out` is null (the
    // caller then reads it from 1002). 0; -1001 (out null) for an index at or above the count.
    int RemoveLayer(uint16_t index, ITzLayerBase** out);
    // Moves a layer, broadcasts 1003 and makes the new index active: 0; -1001 (nothing
    // happens) when an index is at or above the count or the two are equal.
    int MoveLayer(uint16_t from, uint16_t to);
    // The undoable forms, through the layer-manager tool: 1 when it made the step, else 0.
    // A layer that was not inserted stays the caller's.
    int DoInsertLayer(uint16_t index, ITzLayerBase* layer);
    // The removed layer belongs to the undo step; `out` gets it on success.
    int DoRemoveLayer(uint16_t index, ITzLayerBase** out);
    int DoMoveLayer(uint16_t from, uint16_t to);
    // 0 without layers; a stored index at or above the count is pulled down to the top.
    uint16_t GetActiveLayerID() override;
    // Clamped into the stack; a change deactivates the old layer, activates the new one
    // and broadcasts 1005. 0.
    int SetActiveLayerID(uint16_t index);
    uint16_t GetAvailableLinkNum() override;
    // A new named ARGB layer above the active one, as an undo step: 1, else 0 (last
    // error -1203 at 255 layers). Only for 32-bit ARGB pictures.
    int NewImageLayer(const PTzChar* name);
    // Removes the active layer as an undo step: 1, else 0 (last error -1202 with fewer
    // than two layers).
    int DeleteCurrentLayer();
    // A new empty ARGB layer, not inserted; null unless the picture is 32-bit ARGB.
    ITzLayerImage* CreateImagelayer();
    // The bottom layer's answer when it is an image layer, else 0.
    int LoadNeedConvertColor_1(_tagPTzCOLORMODE* mode, uint16_t* bitDepth);

    // The active image layer's floating layer merged as an undo step ('auto') under the
    // caller's ticket: the layer's answer; 1 when the active layer is no image layer.
    int ClearFloatingLayer();
    // The owner service behind every image layer's ClearFloatingLayer: merges THAT layer's
    // floating layer (a stack layer or the selection layer): 1, or 0 when refused (no
    // history, while the history replays a step) or failed, the layer keeping it.
    int AutoMergeFloatingLayer(ITzLayerImage* layer) override;
    // A copy of the active image layer (null for another kind). With a selection, the part
    // of the floating layer (or, without one, the layer) inside the selection's bounds,
    // masked by it; null when the two do not meet or a block cannot be copied.
    ITzLayerImage* CreateCopyLayer();

    // Layer-property edits as undo steps, through the layer-manager tool.
    int DoSetLayerInfo(ITzLayerBase* layer, _tagITzLAYERINFO* info) override;
    int DoSetLayerVisibility(ITzLayerBase* layer, int visible) override;
    int DoSetLayerLink(ITzLayerBase* layer, int link) override;

    // Paste. The new layer goes above the active one and becomes active: 1; 0 when it
    // cannot be made or inserted (nothing kept, nothing active changed).
    // A copy of the layer, rebuilt when its colour mode or bit depth differ from the picture's.
    int PasteImageLayer(ITzLayerImage* layer);
    int PasteDIB(const BITMAPINFOHEADER* header, uint32_t size);
    // A new ARGB layer for a paste; null unless the picture is 32-bit ARGB, and with 255
    // layers (last error -1203).
    ITzLayerImage* PasteCreateLayer();
    // The undoable forms, each through a short-lived tool: the paste, centred on the
    // selection (or the picture), takes the selection into its step: 1, else 0. The cut
    // takes the selected pixels of the active image layer (and the selection) out, the
    // delete only the pixels; both give the pixels as a new layer to the caller, or null.
    int DoPasteImageLayer(ITzLayerImage* layer);
    int DoPasteDIB(const BITMAPINFOHEADER* header, uint32_t size);
    ITzLayerImage* DoCut();
    ITzLayerImage* DoDelete();

    // Layers drawn through a rendered image (text layers) become image layers. The
    // user's Convert command, an undo step of its own under its own ticket: 1 when the
    // layer was converted, else 0. The layer at the index as an image layer for an edit
    // that needs one, converted under that edit's ticket when it is of another kind
    // (`converted`, when given, tells): null when there is none or it cannot be converted.
    int ConvertLayerToImageLayer(uint16_t index);
    ITzLayerImage* GetImageLayerConvert(uint16_t index, int* converted);

    // Selection. The selection layer is not one of the stack's layers; whoever takes it
    // out owns it, and the picture frees the one installed when it is destroyed.
    // The current one; with none and `create` nonzero a new one is made and installed.
    ITzLayerImage* GetSelectionLayer(int create) override;
    // Installs the layer (null: none) and gives back the one it replaces.
    ITzLayerImage* SetSelectLayer(ITzLayerImage* layer);
    // Takes the selection layer out (its area reported changed first); null when none.
    ITzLayerImage* RemoveSelectionLayer();
    // Sets the bits of the selection's outline over a rectangle of zoomed pixels in a
    // one-bit bitmap: 0, also without a selection; -1001 for null or the selection's -1001.
    int GetSelectionBoundary(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom);
    // File format. The picture releases the setting it holds when it is destroyed;
    // SetFormat takes the new setting and leaves the old one to the caller.
    // The loading plug-in's format code; four blanks (0x20202020) without one.
    uint32_t GetFormat() const;
    // 1, or 0 for null.
    int GetFormat(_tagITzPICTFORMETSETTING* format) const;
    int SetFormat(const _tagITzPICTFORMETSETTING* format);
    void* GetLoadPlugIn() const { return m_format.plugin; }
    // Whether the plug-in can save this picture in its save mode: nonzero when it can.
    int SavePlugInSupport(void* plugin);
    // Mode 1 asks the plug-in about the picture's description, mode 8 always can.
    int SupportSaveMode(uint32_t mode, void* plugin);
    int SupportSaveMode_1(void* plugin);
    // The picture's description for a writer; without alpha an RGB or ARGB picture is
    // described as 24-bit RGB. 1, or 0 for null.
    int GetIMAGEINFO_1FromPict(_tagFTzIMAGEINFO_1* info, int withAlpha) const;

    // The text model the picture's text layers share, made on first use; null when
    // memory is short. It goes after the layers and the undo history, which hold glyphs.
    ITzTextManager* GetTextManager();

    int SetMaskEditingMode(int mode) { return m_maskEditingMode = mode; }
    int GetMaskEditingMode() const { return m_maskEditingMode; }

    // Observers, called in the order they were inserted; not owned.
    // 1, or 0 for null or when the list cannot grow.
    int InsertDataChangeHandler(ITzPictDataChangeHandler* handler);
    // Removes the first entry equal to the handler: 1, or 0 when not found or null.
    int RemoveDataChangeHandler(ITzPictDataChangeHandler* handler);
    void DataChanged(const PTzRECT* rect, int flag);
    void DataChangedSelect(const PTzRECT* rect, int flag);
    // Every handler's DataChanged(rect, 0); nothing for a null rect.
    void DataChangedInBrush(uint8_t unused, const PTzRECT* rect);

    // Preview, the view's source of pixels. Zoom terms of 0 are set to 1 in the caller's record.
    // Each side rounded up: 0, or -1001 for null.
    int GetPreviewSize(_tagPTzSIZE* out, _tagITzZOOMLEVEL* zoom);
    // Composes the visible layers over a rectangle of zoomed pixels, skipping those under
    // the topmost layer that covers it; in mask-editing mode the selection goes on top.
    // 0; -1001 for null or without layers.
    int GetPreviewData(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, int forSave);
    int GetPreviewData3(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom);
    // The visible layers with indices in [first, end) composed as GetPreviewData3 composes
    // the whole stack (from the topmost of them above `first` that covers the rectangle),
    // then the selection in mask-editing mode when `withMask` is nonzero. [0, a) and then
    // [a, count) with the mask over one bitmap give GetPreviewData3's pixels, since a
    // covering layer hides exactly what lies under it. 0; -1001 for null or without layers.
    int GetPreviewLayers(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, uint16_t first,
                         uint16_t end, int withMask);
    // GetPreviewLayers planned as rows that may run on other threads (preview_rows.h),
    // bottom layer first: null when a layer, or the selection drawn in mask-editing
    // mode, draws only in one piece, or for null arguments or without layers.
    std::unique_ptr<ITzPreviewRows> PlanPreviewLayers(const PTzRECT* rect, const _tagITzBITMAP* bitmap,
                                                      _tagITzZOOMLEVEL* zoom, uint16_t first, uint16_t end,
                                                      int withMask);
    // Counts the changes that can alter how the layers other than the active one look:
    // their pixels and properties, the stack, the active index, the size, the selection,
    // the preview caches, and every change reported without its layer. A display that
    // keeps composed layers other than the active one keeps them while the count stays.
    uint64_t GetBackdropStamp() const { return m_backdropStamp; }
    int GetPreviewDataForSave(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom);
    // The same into a channel bitmap; the selection only when `noMask` is 0.
    int GetPreviewData2(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, int noMask);
    int GetPreviewData4(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMLEVEL* zoom);
    // zoomX = {preview width, width at the cache level}, zoomY the same for the height:
    // 1, or 0 for a null zoom.
    int GetCacheLevelZoom(uint32_t level, _tagITzZOOMLEVEL* zoom, _tagITzZOOMLEVEL* zoomX,
                          _tagITzZOOMLEVEL* zoomY) override;
    // Invalidates the active ARGB or selection layer's cache at the zoom's level: 1 when
    // there was such a cache, else 0.
    int Testing_UpdateActiveLayerCurrentCache(_tagITzZOOMLEVEL* zoom);
    // Builds every layer's preview cache at once: 1, or 0 when out of memory.
    int DoPreparePreviewCache();
    // The same as a stepwise job. Start: the job, null when out of memory. Run: 1 while
    // work remains, 0 when done (or for null); the percent done when asked (100 when
    // there was nothing to build). End: frees the job, closing an open layer job: 1, 0 for null.
    void* PreparePreviewCacheStart();
    int PreparePreviewCacheRun(void* job, uint8_t* percent);
    int PreparePreviewCacheEnd(void* job);
    // A scratch channel bitmap of the picture's colour mode and the record's size
    // (planes 0-3 for ARGB, 0-4 otherwise), zero-filled, all planes or none: 1, or 0
    // (record unchanged) for null, a bad size or a short scratch pool.
    int LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap);
    // Gives every plane back: 1, or 0 for null.
    int UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap);

    // Undo history. DoUndo/DoRedo take the editing ticket for their run: nonzero when
    // something was undone or redone; 0 without a history or while the lock is out.
    int DoUndo();
    int DoRedo();
    // The history owns a saved record: 1; 0 when refused (the caller keeps the record).
    int SaveUndoData(_tagUNDODATABASE* record, int modifies);
    int GetLastUndoData(_tagUNDODATABASE** out);
    int SetLastUndoData(_tagUNDODATABASE* record, int modifies);
    // Nonzero when the picture changed since its clean state.
    int IsModified();
    // Frees the whole history, so the picture is clean: 0.
    int ClearModified();

    // The editing lock. Tickets are never 0. EditingStart: 1 and the ticket, or 0 for null
    // or while one is out. EditingStop: 1 only for the outstanding ticket.
    int EditingStart(uint32_t* ticket);
    // The ticket handed out after `last`: one more, skipping 0 when the counter wraps.
    static uint32_t NextEditingTicket(uint32_t last) { return last == UINT32_MAX ? 1 : last + 1; }
    int EditingStop(uint32_t ticket);
    // 1 while no ticket is out.
    int AbleEditing() const;
    // Breaks a lock left behind: 1 when there was none, 0 when one was broken.
    int ClearnEditLock();

protected:
    // Layers' 1107 (preview changed) and 1109 (selection changed) go to the observers.
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;
    // Every message of the picture's own changes the backdrop stamp first.
    int Broadcast(uint32_t message, void* param, PTzBroadcaster* sender) override;

private:
    // 0 when the layer can join the stack, else InsertLayer's refusal.
    int CheckInsertable(const ITzLayerBase* layer) const;
    void ReportLayerBounds(ITzLayerBase* layer);
    // GetPreviewData over the layers [first, end), the selection when `withMask` is nonzero.
    int ComposePreview(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, uint16_t first,
                       uint16_t end, int forSave, int withMask);
    // The observers' DataChanged, without touching the backdrop stamp.
    void TellDataChanged(const PTzRECT* rect, int flag);
    // Index a new layer above the active one gets.
    uint16_t IndexAboveActive();
    // Takes the layer: inserted above the active layer and made active (1), or freed (0).
    int InsertAsActive(ITzLayerImage* layer);
    bool IsArgb32() const;
    // Gives the format's setting back to its plug-in and forgets the format.
    void ReleaseFormat();
    // The installed selection layer as a selection mask; null when there is none.
    ITzLayerImageSelect* GetSelectionMask() const;

    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint16_t m_layerCount = 0;
    ITzLayerBase* m_layers[ITzPICTURE_MAX_LAYERS] = {};
    ITzLayerImage* m_selection = nullptr;  // installed, not one of the stack
    uint16_t m_activeIndex = 0;
    std::unique_ptr<CUndoDataManager> m_undo;  // null when it could not be made
    uint8_t m_bitDepth = 32;
    _tagPTzCOLORMODE m_colorMode = PTzCOLORMODE_ARGB;
    uint32_t m_xPelsPerMeter = 0;
    uint32_t m_yPelsPerMeter = 0;
    int m_maskEditingMode = 0;
    _tagITzPICTFORMETSETTING m_format = {};
    PTzTWOLEVELHANDLE m_observers = nullptr;  // made on the first insertion
    uint32_t m_ticketCounter = 0;             // the last ticket handed out
    uint32_t m_editing = 0;                   // nonzero while a ticket is out
    bool m_replaying = false;                 // while the history undoes or redoes a step
    std::unique_ptr<ITzTextManager> m_textManager;
    uint64_t m_backdropStamp = 0;
};
