// The gray layer's zoomed reads and draws: one walk (zoom_read_walk.h) gathers the mask
// bytes each destination row shows, then one of three row actions writes them (copy
// into an 8-bit bitmap, coloured overlay onto 32- or 24-bit pixels, alpha times mask);
// the dispatchers pick the ZoomIn or ZoomOut form.
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/block_view_gray.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/zoom_read_walk.h"

namespace {

// The overlay is drawn at half strength: mask 255 composes the colour with alpha 128.
constexpr uint8_t kOverlayStrength = 128;

// Red, green and blue of a mode-1 colour; red for anything else.
void OverlayColour(const _tagPTzCOLOR* colour, uint8_t rgb[3])
{
    const bool given = colour && colour->mode == PTzCOLORMODE_RGB;
    rgb[0] = given ? colour->components[0] : uint8_t(255);
    rgb[1] = given ? colour->components[1] : uint8_t(0);
    rgb[2] = given ? colour->components[2] : uint8_t(0);
}

}  // namespace

int ITzLayerImageGray::ZoomRead(ZoomAction action, bool enlarge, _tagITzBITMAP* bitmap, const PTzRECT* rect,
                                const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                const _tagPTzCOLOR* colour)
{
    if (!bitmap || !bitmap->pixels || !rect || !zoomX || !zoomY)
        return 0;
    // Depths an action does not write are left as they are.
    const uint16_t bits = bitmap->bits;
    const bool writes = action == ZoomAction::Bitmap    ? bits == 8
                        : action == ZoomAction::Overlay ? bits == 32 || bits == 24
                                                        : bits == 32;
    if (!writes)
        return 0;
    lumatra::ZoomReadPlan plan;
    if (!PrepareZoomRead(*rect, *zoomX, *zoomY, enlarge, bitmap->width, bitmap->height, plan))
        return 0;
    uint8_t rgb[3];
    OverlayColour(colour, rgb);
    std::vector<uint8_t> values(plan.RowBytes());
    std::vector<uint8_t> overlay(action == ZoomAction::Overlay ? size_t(bitmap->width) * 4 : 0);
    // One destination row [x0, x0 + count) of mask values onto the bitmap's row y.
    const auto emit = [&](int32_t y, int32_t x0, int32_t count, const uint8_t* row) {
        if (action == ZoomAction::Bitmap) {
            lumatra::CopyRowInto(*bitmap, y, x0, count, row, 1);
            return;
        }
        if (action == ZoomAction::AlphaMask) {
            lumatra::merge::Job job;
            job.source[0] = row;
            job.dest[0] = bitmap->pixels + ptrdiff_t(y) * bitmap->stride + ptrdiff_t(x0) * 4;
            job.width = count;
            job.height = 1;
            lumatra::merge::GrayIntoAlpha32(lumatra::merge::GrayOp::Multiply, job);
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            uint8_t* pixel = &overlay[size_t(i) * 4];
            pixel[0] = row[i];
            pixel[1] = rgb[0];
            pixel[2] = rgb[1];
            pixel[3] = rgb[2];
        }
        lumatra::AlphaOverRowOnto(*bitmap, y, x0, count, overlay.data(), kOverlayStrength);
    };
    plan.ForEachBlock([&](uint32_t index, int32_t column, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
        _tagITzBLOCKINFOGRAY record;
        if (GetBlockInfo(index, &record, 1) != 0)
            return;
        const lumatra::GrayBlockReader reader(record);
        if (reader.ok())
            plan.GatherRows(reader, {column, x0, x1, y0, y1}, y0, y1, values.data(), emit);
    });
    return 0;
}

int ITzLayerImageGray::FloatMaskMergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                     const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::AlphaMask, false, bitmap, rect, zoomX, zoomY, nullptr);
}

int ITzLayerImageGray::FloatMaskMergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                    const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::AlphaMask, true, bitmap, rect, zoomX, zoomY, nullptr);
}

int ITzLayerImageGray::MergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                            const _tagPTzCOLOR* colour)
{
    return ZoomRead(ZoomAction::Overlay, false, bitmap, rect, zoomX, zoomY, colour);
}

int ITzLayerImageGray::MergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                           const _tagPTzCOLOR* colour)
{
    return ZoomRead(ZoomAction::Overlay, true, bitmap, rect, zoomX, zoomY, colour);
}

int ITzLayerImageGray::GetBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                        const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Bitmap, false, bitmap, rect, zoomX, zoomY, nullptr);
}

int ITzLayerImageGray::GetBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                       const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Bitmap, true, bitmap, rect, zoomX, zoomY, nullptr);
}

int ITzLayerImageGray::MergeToBitmapColor(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                          const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                          const _tagPTzCOLOR* colour)
{
    if (!zoomX)
        return ITzERR_INVALID;
    return Enlarges(*zoomX) ? MergeToBitmapZoomIn(bitmap, rect, zoomX, zoomY, colour)
                            : MergeToBitmapZoomOut(bitmap, rect, zoomX, zoomY, colour);
}

int ITzLayerImageGray::GetBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY)
{
    if (!zoomX || !bitmap || bitmap->bits != 8)
        return ITzERR_INVALID;
    return Enlarges(*zoomX) ? GetBitmapZoomIn(bitmap, rect, zoomX, zoomY)
                            : GetBitmapZoomOut(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageGray::GetChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                        const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!bitmap || !bitmap->planes[0])
        return ITzERR_INVALID;
    _tagITzBITMAP plane = {bitmap->width, bitmap->height, bitmap->stride, 8, PTzCOLORMODE_GRAY, bitmap->planes[0]};
    return GetBitmap(&plane, rect, zoomX, zoomY);
}

int ITzLayerImageGray::MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                     const _tagITzZOOMLEVEL* zoomY)
{
    return m_mergeType == ITzMERGE_MULTIPLY_ALPHA ? MergeToBitmapColor(bitmap, rect, zoomX, zoomY, nullptr)
                                                  : MergeToBitmapDefault(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageGray::MergeToBitmapDefault(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return MergeToBitmapThroughScratch(bitmap, rect, zoomX, zoomY);
}
