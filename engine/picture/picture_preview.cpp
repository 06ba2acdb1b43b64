// The view's source of pixels: preview sizes at a zoom, the composition of the visible
// layers over a zoomed rectangle, the selection's outline there, and scratch channel
// bitmaps of the picture's mode.
#include <algorithm>
#include <climits>

#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/preview_rows.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

// Zoom terms of 0 count as 1; the picture writes that back into the caller's record.
void FixZoomTerms(_tagITzZOOMLEVEL* zoom)
{
    if (zoom->numerator == 0)
        zoom->numerator = 1;
    if (zoom->denominator == 0)
        zoom->denominator = 1;
}

// ceil(length x num / den), exact in 64 bits for every 32-bit input.
uint64_t ZoomedLength(uint32_t length, const _tagITzZOOMLEVEL& zoom)
{
    const uint64_t num = zoom.numerator;
    const uint64_t den = zoom.denominator;
    return length / den * num + (length % den * num + den - 1) / den;
}

uint32_t CacheLength(uint32_t length, uint32_t level)
{
    const uint64_t side = uint64_t{1} << std::min<uint32_t>(level, 32);
    return static_cast<uint32_t>((length + side - 1) / side);
}

// The cache level and per-axis zooms every layer draws a preview with, and the zooms
// from picture pixels for a layer that has no such cache level.
struct PreviewZoom {
    uint8_t level;
    _tagITzZOOMLEVEL zoomX;
    _tagITzZOOMLEVEL zoomY;
    _tagITzZOOMLEVEL ownX;
    _tagITzZOOMLEVEL ownY;
};

PreviewZoom MakePreviewZoom(ITzPicture& picture, _tagITzZOOMLEVEL* zoom)
{
    FixZoomTerms(zoom);
    PreviewZoom result = {ITzZoomGetCacheLevel(zoom), {1, 1}, {1, 1}, {1, 1}, {1, 1}};
    picture.GetCacheLevelZoom(result.level, zoom, &result.zoomX, &result.zoomY);
    picture.GetCacheLevelZoom(0, zoom, &result.ownX, &result.ownY);
    return result;
}

// How one layer draws: from its preview cache at the preview's level, or from its own
// pixels when it has no cache level there (no cache, or none could be made).
struct LayerZoom {
    uint8_t level;
    const _tagITzZOOMLEVEL* zoomX;
    const _tagITzZOOMLEVEL* zoomY;
};

LayerZoom ZoomFor(ITzLayerBase& layer, const PreviewZoom& zoom)
{
    ITzLayerImage* image = layer.GetPreviewLayer();
    if (zoom.level == 0 || (image && image->GetCacheLayer(zoom.level)))
        return {zoom.level, &zoom.zoomX, &zoom.zoomY};
    return {0, &zoom.ownX, &zoom.ownY};
}

// Draws the visible layers with indices in [first, end) bottom to top, starting at the
// topmost visible one of them above `first` that covers the rectangle, since nothing
// under it shows.
template <typename Draw>
void ComposeLayers(ITzPicture& picture, const PTzRECT* rect, const PreviewZoom& zoom, uint16_t first, uint16_t end,
                   Draw draw)
{
    end = std::min(end, picture.GetLayerCount());
    uint16_t start = first;
    for (uint16_t i = end; i > first + 1;) {
        --i;
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        if (!layer->IsVisible())
            continue;
        const LayerZoom at = ZoomFor(*layer, zoom);
        if (layer->PreviewFull(rect, at.level, at.zoomX, at.zoomY)) {
            start = i;
            break;
        }
    }
    for (uint16_t i = start; i < end; ++i) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        if (layer && layer->IsVisible())
            draw(layer, ZoomFor(*layer, zoom));
    }
}

}  // namespace

int ITzPicture::GetPreviewSize(_tagPTzSIZE* out, _tagITzZOOMLEVEL* zoom)
{
    if (!out || !zoom)
        return ITzERR_INVALID;
    FixZoomTerms(zoom);
    out->cx = static_cast<int32_t>(std::min<uint64_t>(ZoomedLength(m_width, *zoom), INT32_MAX));
    out->cy = static_cast<int32_t>(std::min<uint64_t>(ZoomedLength(m_height, *zoom), INT32_MAX));
    return 0;
}

int ITzPicture::GetCacheLevelZoom(uint32_t level, _tagITzZOOMLEVEL* zoom, _tagITzZOOMLEVEL* zoomX,
                                  _tagITzZOOMLEVEL* zoomY)
{
    if (!zoom)
        return 0;
    _tagPTzSIZE preview;
    GetPreviewSize(&preview, zoom);
    if (zoomX)
        *zoomX = {static_cast<uint32_t>(preview.cx), CacheLength(m_width, level)};
    if (zoomY)
        *zoomY = {static_cast<uint32_t>(preview.cy), CacheLength(m_height, level)};
    return 1;
}

int ITzPicture::GetPreviewData(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, int forSave)
{
    return ComposePreview(rect, bitmap, zoom, 0, ITzPICTURE_MAX_LAYERS, forSave, 1);
}

int ITzPicture::GetPreviewLayers(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, uint16_t first,
                                 uint16_t end, int withMask)
{
    return ComposePreview(rect, bitmap, zoom, first, end, 0, withMask);
}

int ITzPicture::ComposePreview(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom, uint16_t first,
                               uint16_t end, int forSave, int withMask)
{
    if (!rect || !bitmap || !zoom || m_layerCount == 0)
        return ITzERR_INVALID;
    const PreviewZoom z = MakePreviewZoom(*this, zoom);
    ComposeLayers(*this, rect, z, first, end, [&](ITzLayerBase* layer, const LayerZoom& at) {
        layer->PreviewMergeToBitmap(bitmap, rect, at.level, at.zoomX, at.zoomY, forSave);
    });
    if (withMask && m_maskEditingMode && m_selection) {
        const LayerZoom at = ZoomFor(*m_selection, z);
        m_selection->PreviewMergeToBitmap(bitmap, rect, at.level, at.zoomX, at.zoomY, 0);
    }
    return 0;
}

std::unique_ptr<ITzPreviewRows> ITzPicture::PlanPreviewLayers(const PTzRECT* rect, const _tagITzBITMAP* bitmap,
                                                              _tagITzZOOMLEVEL* zoom, uint16_t first, uint16_t end,
                                                              int withMask)
{
    if (!rect || !bitmap || !zoom || m_layerCount == 0 || (withMask && m_maskEditingMode && m_selection))
        return nullptr;
    const PreviewZoom z = MakePreviewZoom(*this, zoom);
    auto stack = std::make_unique<ITzPreviewRowsStack>();
    bool planned = true;
    ComposeLayers(*this, rect, z, first, end, [&](ITzLayerBase* layer, const LayerZoom& at) {
        std::unique_ptr<ITzPreviewRows> rows =
            planned ? layer->PlanPreviewMerge(bitmap, rect, at.level, at.zoomX, at.zoomY) : nullptr;
        planned = rows != nullptr;
        if (planned)
            stack->Add(std::move(rows));
    });
    return planned ? std::move(stack) : nullptr;
}

int ITzPicture::GetPreviewData3(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom)
{
    return GetPreviewData(rect, bitmap, zoom, 0);
}

int ITzPicture::GetPreviewDataForSave(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom)
{
    return GetPreviewData(rect, bitmap, zoom, 1);
}

int ITzPicture::GetPreviewData2(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMLEVEL* zoom,
                                int noMask)
{
    if (!rect || !bitmap || !zoom || m_layerCount == 0)
        return ITzERR_INVALID;
    const PreviewZoom z = MakePreviewZoom(*this, zoom);
    ComposeLayers(*this, rect, z, 0, m_layerCount, [&](ITzLayerBase* layer, const LayerZoom& at) {
        layer->PreviewMergeToChannelBitmap(bitmap, rect, at.level, at.zoomX, at.zoomY, 0);
    });
    if (m_maskEditingMode && m_selection && !noMask) {
        const LayerZoom at = ZoomFor(*m_selection, z);
        m_selection->PreviewMergeToChannelBitmap(bitmap, rect, at.level, at.zoomX, at.zoomY, 0);
    }
    return 0;
}

int ITzPicture::GetPreviewData4(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, _tagITzZOOMLEVEL* zoom)
{
    return GetPreviewData2(rect, bitmap, zoom, 0);
}

int ITzPicture::GetSelectionBoundary(const PTzRECT* rect, _tagITzBITMAP* bitmap, _tagITzZOOMLEVEL* zoom)
{
    if (!rect || !bitmap || !zoom)
        return ITzERR_INVALID;
    const PreviewZoom z = MakePreviewZoom(*this, zoom);
    ITzLayerImageSelect* selection = GetSelectionMask();
    return selection ? selection->GetSelectionBoundary(bitmap, rect, z.level, &z.zoomX, &z.zoomY) : 0;
}

int ITzPicture::Testing_UpdateActiveLayerCurrentCache(_tagITzZOOMLEVEL* zoom)
{
    ITzLayerBase* active = GetLayerbyIndex(GetActiveLayerID());
    if (!zoom || !active)
        return 0;
    if (active->GetType() != ITzLAYERTYPE_ARGB && active->GetType() != ITzLAYERTYPE_SELECT)
        return 0;
    return static_cast<ITzLayerImage*>(active)->InvalideCache(ITzZoomGetCacheLevel(zoom));
}

int ITzPicture::LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap)
        return 0;
    const _tagPTzSIZE size = {bitmap->width, bitmap->height};
    const uint32_t colorPlanes = m_colorMode == PTzCOLORMODE_ARGB ? 3 : 4;
    if (!ITzUtilityChannelBitmap::CreateITzBufferBitmap(bitmap, &size, 1, colorPlanes))
        return 0;
    bitmap->kind = static_cast<int32_t>(m_colorMode);
    return 1;
}

int ITzPicture::UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap)
        return 0;
    const _tagPTzSIZE size = {bitmap->width, bitmap->height};
    ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(bitmap, &size);
    return 1;
}
