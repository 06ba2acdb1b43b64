// ITzLayerImageN: the base of layers that are not image layers but are shown through a
// rendered image of their own (text layers). The image is an ARGB preview layer whose
// blocks this layer draws when they are first read; it shows, merges and converts in the
// layer's place.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/generated_layer_link.h"
#include "engine/pixels/layer_base.h"

class ITzLayerImageARGBPreview;

class LUMATRA_API ITzLayerImageN : public ITzLayerBase, public ITzGeneratedLayerLink {
public:
    ITzLayerImageN();
    // The layer-base properties of the source; the image is made anew when asked for.
    explicit ITzLayerImageN(const ITzLayerImageN* source);
    ~ITzLayerImageN() override;

    // The rendered image, made on first use with the layer's opacity, merge type and
    // bounds; null when memory is short.
    ITzLayerImage* GetPreviewLayer() override;
    // The image follows the layer's opacity and merge type.
    int SetOpacity(uint8_t opacity) override;
    int SetMergeType(ITzMERGETYPE mergeType) override;
    using ITzLayerBase::PreviewMergeToBitmap;
    // Drawn through the image: its result, -1001 without one.
    int PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                             const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int forSave) override;
    // Planned through the image: null without one.
    std::unique_ptr<ITzPreviewRows> PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                     const _tagITzZOOMLEVEL* zoomX,
                                                     const _tagITzZOOMLEVEL* zoomY) override;
    int PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                    const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                    int noMask) override;
    // Hands the image over self-contained: every block not drawn yet is drawn and the
    // image no longer draws through this layer, so it outlives it. Null when there is no
    // image or a block cannot be drawn (the image then stays).
    ITzLayerImage* RemovePerviewLayer() override;
    // Takes an image this kind of layer gave up (an ARGB preview layer) and ties it to
    // this layer again; gives back the image it replaces, untied, for the caller. Any
    // other layer is refused: it is given back and nothing changes.
    ITzLayerImage* SetPreviewLayer(ITzLayerImage* layer) override;
    // The image moves along.
    int MoveCore(_tagPTzOFFSET* offset) override;
    // The image moves along but keeps its size: a stored size may be anything, and the
    // content gives the image its size once laid out (ResizePreviewLayer).
    int DWKSetBounds(const PTzRECT* rect) override;

    // Draws the layer's content over a rectangle (layer coordinates) into an ARGB channel
    // bitmap placed at the rectangle's corner, over what it holds: 0, or -1001.
    virtual int DrawToChannelBitmap(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) = 0;
    // Gives the image the layer's bounds, when they differ; blocks it keeps are drawn
    // again where the content changed (InvalidatePreviewRect). 0, or the image's error.
    virtual int ResizePreviewLayer();
    // The image's blocks under a rectangle (layer coordinates) are drawn again when next
    // read, and observers hear the rectangle changed: 0, -1001 for null.
    virtual int InvalidatePreviewRect(const PTzRECT* rect);

    // The image's blocks are drawn here: the picture rectangle through DrawToChannelBitmap.
    int RenderToChannelBitmap(const PTzRECT* pictureRect, _tagITzCHANNELBITMAP* bitmap) override;

protected:
    // Replaces the image by a fresh one whose blocks lie on the picture's 256-pixel
    // borders, drawn as they are read.
    void RenewPreviewLayer();

    ITzLayerImageARGBPreview* m_image = nullptr;  // owned
};
