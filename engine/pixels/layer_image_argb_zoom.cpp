// The ARGB layer's zoomed reads: one walk (zoom_read_walk.h) with three pixel actions
// (copy into a 32-bit bitmap, copy into four planes, alpha-over onto a 32- or 24-bit
// bitmap), and the dispatchers that pick the ZoomIn or ZoomOut form.
#include "base/error_codes.h"
#include "engine/pixels/argb_pack.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/zoom_read_walk.h"

int ITzLayerImageARGB::ZoomRead(ZoomAction action, bool enlarge, void* destination, const PTzRECT* rect,
                                const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!destination || !rect || !zoomX || !zoomY)
        return ITzERR_INVALID;
    auto* bitmap = static_cast<_tagITzBITMAP*>(destination);
    auto* channels = static_cast<_tagITzCHANNELBITMAP*>(destination);
    int32_t width = 0, height = 0;
    if (action == ZoomAction::ChannelBitmap) {
        for (int c = 0; c < 4; ++c)
            if (!channels->planes[c])
                return ITzERR_INVALID;
        width = channels->width;
        height = channels->height;
    } else {
        if (!bitmap->pixels || (action == ZoomAction::Bitmap && bitmap->bits != 32))
            return ITzERR_INVALID;
        // Merges write onto 32- and 24-bit pixels only; other depths stay as they are.
        if (action == ZoomAction::Merge && bitmap->bits != 32 && bitmap->bits != 24)
            return 0;
        width = bitmap->width;
        height = bitmap->height;
    }
    lumatra::ZoomReadPlan plan;
    if (!PrepareZoomRead(*rect, *zoomX, *zoomY, enlarge, width, height, plan))
        return 0;
    const auto fetch = lumatra::FetchOf(this);
    switch (action) {
    case ZoomAction::Bitmap:
        plan.Walk(fetch, [bitmap](int32_t y, int32_t x, int32_t count, const uint8_t* row) {
            lumatra::CopyRowInto(*bitmap, y, x, count, row, 4);
        });
        break;
    case ZoomAction::ChannelBitmap:
        plan.Walk(fetch, [channels](int32_t y, int32_t x, int32_t count, const uint8_t* row) {
            const ptrdiff_t at = ptrdiff_t(y) * channels->stride + x;
            uint8_t* const planes[4] = {channels->planes[0] + at, channels->planes[1] + at,
                                        channels->planes[2] + at, channels->planes[3] + at};
            lumatra::pack::ARGBToPlanes(row, planes, count);
        });
        break;
    case ZoomAction::Merge:
        plan.Walk(fetch, [bitmap, opacity = m_opacity](int32_t y, int32_t x, int32_t count, const uint8_t* row) {
            lumatra::AlphaOverRowOnto(*bitmap, y, x, count, row, opacity);
        });
        break;
    }
    return 0;
}

int ITzLayerImageARGB::MergeToBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Merge, false, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::MergeToBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Merge, true, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetChannelBitmapZoomOut(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                               const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::ChannelBitmap, false, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetChannelBitmapZoomIn(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                              const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::ChannelBitmap, true, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetBitmapZoomOut(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                        const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Bitmap, false, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetBitmapZoomIn(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                       const _tagITzZOOMLEVEL* zoomY)
{
    return ZoomRead(ZoomAction::Bitmap, true, bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY)
{
    if (!zoomX || !bitmap || bitmap->bits != 32)
        return ITzERR_INVALID;
    return Enlarges(*zoomX) ? GetBitmapZoomIn(bitmap, rect, zoomX, zoomY)
                            : GetBitmapZoomOut(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::GetChannelBitmap(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                        const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!zoomX)
        return ITzERR_INVALID;
    return Enlarges(*zoomX) ? GetChannelBitmapZoomIn(bitmap, rect, zoomX, zoomY)
                            : GetChannelBitmapZoomOut(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                     const _tagITzZOOMLEVEL* zoomY)
{
    return m_mergeType == ITzMERGE_NORMAL ? MergeToBitmapNormal(bitmap, rect, zoomX, zoomY)
                                          : MergeToBitmapDefault(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::MergeToBitmapNormal(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                           const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!zoomX)
        return ITzERR_INVALID;
    return Enlarges(*zoomX) ? MergeToBitmapZoomIn(bitmap, rect, zoomX, zoomY)
                            : MergeToBitmapZoomOut(bitmap, rect, zoomX, zoomY);
}

int ITzLayerImageARGB::MergeToBitmapDefault(_tagITzBITMAP* bitmap, const PTzRECT* rect,
                                            const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    return MergeToBitmapThroughScratch(bitmap, rect, zoomX, zoomY);
}
