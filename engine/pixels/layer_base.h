// ITzLayerBase: what every layer of a picture has (kind, place and size, opacity, name,
// visibility, merge type, link group, owner) and the messages announcing its changes.
#pragma once

#include <cstdint>
#include <memory>

#include "base/broadcaster.h"
#include "base/corvane_types.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/merge_data.h"
#include "engine/pixels/zoom_level.h"

class ITzLayerImage;
class ITzLayerOwner;
class ITzPreviewRows;

enum _tagITzLAYERTYPE : uint32_t {
    ITzLAYERTYPE_GRAY = 0,  // every gray layer but the selection
    ITzLAYERTYPE_ARGB = 2,
    ITzLAYERTYPE_TEXT = 4,
    ITzLAYERTYPE_SELECT = 6,
};

constexpr uint32_t ITzLAYER_NAME_LENGTH = 64;  // UTF-16 units, terminator included

struct _tagITzLAYERINFO {
    uint32_t mergeType;  // an ITzMERGETYPE
    uint32_t visible;
    uint8_t opacity;
    PTzChar name[ITzLAYER_NAME_LENGTH];
};

// Messages a layer broadcasts with itself as sender; the parameter is null unless noted.
enum ITzLayerBroadcastCode : uint32_t {
    ITzLAYERMSG_LINK = 1101,
    ITzLAYERMSG_VISIBILITY = 1102,  // after a 1107 for the layer unless the opacity is 0
    ITzLAYERMSG_OPACITY = 1103,     // after a 1107 for the layer
    ITzLAYERMSG_MERGETYPE = 1104,   // after a 1107 for the layer
    ITzLAYERMSG_ACTIVE = 1105,
    ITzLAYERMSG_NAME = 1106,
    ITzLAYERMSG_DATA = 1107,        // parameter: _tagITzLAYERCHANGEDRECT*
    ITzLAYERMSG_DESTROY = 1108,     // sent once, while the whole layer is still alive
    ITzLAYERMSG_SELECTION = 1109,   // parameter: _tagITzLAYERCHANGEDRECT*
};

// The parameter of 1107 and 1109.
struct _tagITzLAYERCHANGEDRECT {
    PTzRECT rect;   // picture coordinates
    uint32_t flag;  // 0 from the layer base
};
static_assert(sizeof(_tagITzLAYERCHANGEDRECT) == 20);

// Picture coordinates P and layer coordinates L differ by the position: L = P - (left, top).
class LUMATRA_API ITzLayerBase : public PTzBroadcaster {
public:
    ITzLayerBase();
    // Takes type, position, size, opacity, flags, merge type and name; no owner, link -1.
    explicit ITzLayerBase(const ITzLayerBase* source);
    // Sends 1108 unless NotifyDestroy already did; by then the derived parts are gone.
    ~ITzLayerBase() override;

    virtual ITzLayerBase* CreateCopyLayer();
    virtual ITzLayerImage* GetPreviewLayer();
    virtual int IsImageLayer() const;
    virtual void SetPicture(ITzLayerOwner* picture);
    virtual ITzLayerOwner* GetPicture() const;
    virtual int IsLayerEmpty();
    // Stepwise resize and quarter-turn rotation into a new layer; the job is opaque.
    virtual void* ResizeLayerStart(const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                   uint32_t resampleType, void* setting);
    virtual int ResizeLayer(void* job, uint32_t* progress);
    virtual ITzLayerBase* ResizeLayerEnd(void* job);
    virtual int ResizeLayerCancel(void* job);
    virtual void* RotateSLayerStart(const _tagPTzSIZE* pictureSize, uint32_t rotationType);
    virtual int RotateSLayer(void* job, uint32_t* progress);
    virtual ITzLayerBase* RotateSLayerEnd(void* job);
    virtual int RotateSLayerCancel(void* job);
    virtual uint16_t GetLinkNumber() const;
    virtual int IsVisible() const;
    virtual uint8_t GetOpacity() const;
    virtual int SetOpacity(uint8_t opacity);
    virtual ITzMERGETYPE GetMergeType() const;
    virtual int SetMergeType(ITzMERGETYPE mergeType);
    // The bounds below give 0, or -1001 for null.
    virtual int GetAvalibeLBounds(PTzRECT* bounds) const;
    virtual int GetLBounds(PTzRECT* bounds) const;
    virtual int GetBounds(PTzRECT* bounds) const;
    // MoveCore on this layer, then on the other layers of its link group; MoveCore's result.
    virtual int Move(_tagPTzOFFSET* offset);
    virtual int PRECTtoLRECT(const PTzRECT* in, PTzRECT* out) const;
    virtual int LRECTtoPRECT(const PTzRECT* in, PTzRECT* out) const;
    virtual int PPointtoLPoint(const PTzPOINT* in, PTzPOINT* out) const;
    virtual int LPointtoPPoint(const PTzPOINT* in, PTzPOINT* out) const;
    // Bounds become their union with `rect` (picture coordinates); 0, -1001 for a null rect.
    virtual int ExtendSize(const PTzRECT* rect, PTzRECT* out);
    virtual int SetActive();
    virtual int Deactive();
    virtual int PreviewFull(const PTzRECT* rect, uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                            const _tagITzZOOMLEVEL* zoomY);
    virtual int PreviewMergeToBitmapForSave(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // Draws the layer at full opacity at the cache level of `zoom`.
    virtual int PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoom,
                                     int forSave);
    virtual int PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                     const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int forSave);
    // What PreviewMergeToBitmap(bitmap, rect, level, zoomX, zoomY, 0) draws, planned as rows
    // that may run on other threads (preview_rows.h); null when the layer draws only in
    // one piece, as this base does.
    virtual std::unique_ptr<ITzPreviewRows> PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                             uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                                                             const _tagITzZOOMLEVEL* zoomY);
    virtual int PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                            int noMask);
    virtual int PreviewCopyToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY);
    // Sends 1107 for a rectangle in layer coordinates: 0, or -1001 (nothing sent) for null.
    virtual int PreviewChanged(const PTzRECT* rect);
    virtual void SetLinkNumber(uint16_t link);
    // Position (left, top), size (right - left, bottom - top): 0, or -1001 for null.
    virtual int SetBounds(const PTzRECT* rect);
    virtual int Setvisibility(int visible);
    // A layer drawn through a rendered image (a text layer) detaches that image and gives
    // it to the caller, who owns it; null here and for every kind without one.
    virtual ITzLayerImage* RemovePerviewLayer();
    // Installs a rendered image and gives back the one it replaces; the base takes
    // nothing and gives its argument back.
    virtual ITzLayerImage* SetPreviewLayer(ITzLayerImage* layer);
    // Stores the opacity without any message.
    virtual int SetTempOpacity(uint8_t opacity);
    virtual int MoveCore(_tagPTzOFFSET* offset);
    // A new layer of the same kind carrying this layer's properties; null when none is made.
    virtual ITzLayerBase* CreateTransferLayer();
    virtual ITzLayerBase* CreateTransferLayerCroe();
    virtual void ActiveChanged();
    // The native-format reader's bounds setter: always this class's SetBounds.
    virtual int DWKSetBounds(const PTzRECT* rect);

    _tagITzLAYERTYPE GetType() const { return m_type; }
    const PTzChar* GetName() const { return m_name; }
    // Copies at most 63 units and sends 1106: 1, or 0 for null.
    int SetName(const PTzChar* name);
    int GetLayerInfo(_tagITzLAYERINFO* info) const;
    // Undoable through the owner: the edit's result; 0 for null, -1001 without an owner.
    int SetLayerInfo(_tagITzLAYERINFO* info);
    int GetMergeData(_tagITzMERGEDATA* data) const;
    // Undoable through the owner; the visibility afterwards.
    int DoSetvisibility(int visible);
    int IsLinkWithCurrent();
    // Undoable through the owner: link 0 unlinks from the active layer, nonzero links.
    // The edit's result; 0 for the active layer itself, -1001 without an owner.
    int DoLinkWithCurrent(int link);
    // The plain form the owner's edit uses. 0, or -1001 without an owner.
    int LinkWithCurrent(int link);
    // MoveCore on every other layer of the owner with this layer's link number: 0, or
    // -1001 without an owner or layers.
    int MoveLinkLayer(_tagPTzOFFSET* offset);

    // The explicit step before destruction: sends 1108 while every part of the layer is
    // still alive, once. Listeners of 1108 may call into the layer but must not delete it.
    void NotifyDestroy();

    // Type 2 an ARGB image layer, type 6 a selection layer; null for any other type and
    // when memory is short.
    static ITzLayerBase* CreateLayer(_tagITzLAYERTYPE type);
    // Sends 1108, then deletes the layer: 1, or 0 for null.
    static int DestroyLayer(ITzLayerBase* layer);

protected:
    // Broadcasts 1107 (or 1109) for a rectangle in picture coordinates.
    void SendRectMessage(uint32_t code, const PTzRECT& pictureRect, uint32_t flag);
    void SendMessage(uint32_t code);

    _tagITzLAYERTYPE m_type = ITzLAYERTYPE_GRAY;
    _tagPTzSIZE m_size = {0, 0};
    PTzPOINT m_position = {0, 0};  // left, top of the layer's origin in the picture
    uint8_t m_opacity = 255;
    PTzChar m_name[ITzLAYER_NAME_LENGTH] = {};
    uint8_t m_flags = 1;  // bit 0 visible
    ITzMERGETYPE m_mergeType = ITzMERGE_NORMAL;
    ITzLayerOwner* m_picture = nullptr;  // not owned
    int16_t m_linkNumber = -1;

private:
    bool m_destroyNotified = false;
};

// For std::unique_ptr of any layer: destroys it through DestroyLayer.
struct ITzLayerDestroyer {
    void operator()(ITzLayerBase* layer) const { ITzLayerBase::DestroyLayer(layer); }
};
