// Thumbnails are composed as the picture composes a preview: the checkerboard first,
// then the layer merged at full opacity from its cache level.
#include "app/ui/layer_thumbnail.h"

#include "app/shell/drawing_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

constexpr int32_t kMaxWidth = 40;
constexpr int32_t kMaxHeight = 25;
constexpr int32_t kCheckerCell = 4;

}  // namespace

_tagITzZOOMLEVEL LayerThumbnailZoom(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return {1, 1};
    if (int64_t(width) * kMaxHeight > int64_t(kMaxWidth) * height)
        return {uint32_t(kMaxWidth), uint32_t(width)};
    return {uint32_t(kMaxHeight), uint32_t(height)};
}

CLayerThumbnail ReadLayerThumbnail(ITzPicture* picture, ITzLayerBase* layer)
{
    CLayerThumbnail thumbnail;
    _tagPTzSIZE size = {};
    if (!picture || !layer || picture->GetSize(&size) != 0)
        return thumbnail;
    _tagITzZOOMLEVEL zoom = LayerThumbnailZoom(size.cx, size.cy);
    _tagPTzSIZE shown = {};
    picture->GetPreviewSize(&shown, &zoom);
    if (shown.cx <= 0 || shown.cy <= 0)
        return thumbnail;
    QImage image(shown.cx, shown.cy, QImage::Format_RGB888);
    if (image.isNull())
        return thumbnail;
    _tagITzBITMAP bitmap = {shown.cx, shown.cy, int32_t(image.bytesPerLine()), 24, PTzCOLORMODE_RGB, image.bits()};
    const PTzRECT whole = {0, 0, shown.cx, shown.cy};
    DrawCheckerboard(&bitmap, &whole, kCheckerCell);
    // The layer's cache level when it has one there, as the picture's own previews do.
    uint8_t level = ITzZoomGetCacheLevel(&zoom);
    ITzLayerImage* preview = layer->GetPreviewLayer();
    if (level != 0 && !(preview && preview->GetCacheLayer(level)))
        level = 0;
    _tagITzZOOMLEVEL zoomX = {1, 1};
    _tagITzZOOMLEVEL zoomY = {1, 1};
    picture->GetCacheLevelZoom(level, &zoom, &zoomX, &zoomY);
    layer->PreviewMergeToBitmap(&bitmap, &whole, level, &zoomX, &zoomY, 0);
    thumbnail.image = std::move(image);
    thumbnail.fromOwnPixels = level == 0;
    return thumbnail;
}
