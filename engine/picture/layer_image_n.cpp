// The rendered image of a generated layer: made on demand, kept in step with the
// layer's properties and bounds, drawn block by block through the layer, and handed
// over whole when the layer is converted into an image layer.
#include "engine/picture/layer_image_n.h"

#include <new>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_rows.h"

ITzLayerImageN::ITzLayerImageN() = default;

ITzLayerImageN::ITzLayerImageN(const ITzLayerImageN* source) : ITzLayerBase(source) {}

ITzLayerImageN::~ITzLayerImageN()
{
    ITzLayerBase::DestroyLayer(m_image);
}

ITzLayerImage* ITzLayerImageN::GetPreviewLayer()
{
    if (m_image)
        return m_image;
    auto* image = new (std::nothrow) ITzLayerImageARGBPreview(this);
    if (!image || image->InitBlockList() != 0) {
        ITzLayerBase::DestroyLayer(image);
        return nullptr;
    }
    m_image = image;
    m_image->SetTempOpacity(m_opacity);
    m_image->SetMergeType(m_mergeType);
    ResizePreviewLayer();
    return m_image;
}

void ITzLayerImageN::RenewPreviewLayer()
{
    ITzLayerBase::DestroyLayer(m_image);
    m_image = nullptr;
    GetPreviewLayer();
}

int ITzLayerImageN::SetOpacity(uint8_t opacity)
{
    if (m_image)
        m_image->SetOpacity(opacity);
    return ITzLayerBase::SetOpacity(opacity);
}

int ITzLayerImageN::SetMergeType(ITzMERGETYPE mergeType)
{
    if (m_image)
        m_image->SetMergeType(mergeType);
    return ITzLayerBase::SetMergeType(mergeType);
}

int ITzLayerImageN::PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                         const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int forSave)
{
    ITzLayerImage* image = GetPreviewLayer();
    return image ? image->PreviewMergeToBitmap(bitmap, rect, level, zoomX, zoomY, forSave) : ITzERR_INVALID;
}

std::unique_ptr<ITzPreviewRows> ITzLayerImageN::PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                                 uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                                                                 const _tagITzZOOMLEVEL* zoomY)
{
    ITzLayerImage* image = GetPreviewLayer();
    return image ? image->PlanPreviewMerge(bitmap, rect, level, zoomX, zoomY) : nullptr;
}

int ITzLayerImageN::PreviewMergeToChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                                const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                int noMask)
{
    ITzLayerImage* image = GetPreviewLayer();
    return image ? image->PreviewMergeToChannelBitmap(bitmap, rect, level, zoomX, zoomY, noMask) : ITzERR_INVALID;
}

ITzLayerImage* ITzLayerImageN::RemovePerviewLayer()
{
    if (!GetPreviewLayer() || !m_image->DrawMissingBlocks())
        return nullptr;
    ITzLayerImageARGBPreview* image = m_image;
    image->SetOwner(nullptr);
    m_image = nullptr;
    return image;
}

ITzLayerImage* ITzLayerImageN::SetPreviewLayer(ITzLayerImage* layer)
{
    auto* image = dynamic_cast<ITzLayerImageARGBPreview*>(layer);
    if (!image)
        return layer;
    ITzLayerImageARGBPreview* old = m_image;
    if (old)
        old->SetOwner(nullptr);
    image->SetOwner(this);
    m_image = image;
    return old;
}

int ITzLayerImageN::MoveCore(_tagPTzOFFSET* offset)
{
    const int moved = ITzLayerBase::MoveCore(offset);
    if (moved == 0 && m_image)
        m_image->MoveCore(offset);
    return moved;
}

int ITzLayerImageN::DWKSetBounds(const PTzRECT* rect)
{
    const PTzPOINT was = m_position;
    const int set = ITzLayerBase::DWKSetBounds(rect);
    _tagPTzOFFSET offset = {PTzSaturate32(int64_t(m_position.x) - was.x), PTzSaturate32(int64_t(m_position.y) - was.y)};
    if (set == 0 && m_image && (offset.x != 0 || offset.y != 0))
        m_image->MoveCore(&offset);
    return set;
}

int ITzLayerImageN::ResizePreviewLayer()
{
    if (!m_image)
        return 0;
    PTzRECT bounds, imageBounds;
    GetBounds(&bounds);
    m_image->GetBounds(&imageBounds);
    if (PTzRectEqual(&bounds, &imageBounds))
        return 0;
    return m_image->SetSize(&bounds, 0);
}

int ITzLayerImageN::InvalidatePreviewRect(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    if (m_image)
        m_image->InvaildRect(rect);
    return PreviewChanged(rect);
}

int ITzLayerImageN::RenderToChannelBitmap(const PTzRECT* pictureRect, _tagITzCHANNELBITMAP* bitmap)
{
    PTzRECT layerRect;
    if (!pictureRect || !bitmap || PRECTtoLRECT(pictureRect, &layerRect) != 0)
        return ITzERR_INVALID;
    return DrawToChannelBitmap(&layerRect, bitmap);
}
