// The tip as a picture for brush previews: centred in the caller's gray bitmap and
// scaled down, keeping its aspect ratio, when it does not fit.
#include <cstddef>
#include <cstring>

#include "engine/pixels/resample.h"
#include "engine/tools/brush_base.h"

namespace {

// Copies `tip` into the middle of `target`, which is at least as large.
void CopyCentred(_tagITzBITMAP* target, const _tagITzBITMAP& tip)
{
    const int32_t left = (target->width - tip.width) / 2, top = (target->height - tip.height) / 2;
    for (int32_t row = 0; row < tip.height; ++row)
        std::memcpy(target->pixels + ptrdiff_t(top + row) * target->stride + left,
                    tip.pixels + ptrdiff_t(row) * tip.stride, size_t(tip.width));
}

}  // namespace

int ITzBrushBase::GetDisplayBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap || !bitmap->pixels || bitmap->bits != 8 || bitmap->colorMode != 6 || bitmap->width < 1 ||
        bitmap->height < 1 || bitmap->stride < bitmap->width)
        return 0;
    _tagITzBITMAP tip = {};
    if (!GetBitmap(&tip))
        return 0;
    if (tip.width <= bitmap->width && tip.height <= bitmap->height) {
        std::memset(bitmap->pixels, 0, size_t(bitmap->height) * size_t(bitmap->stride));
        CopyCentred(bitmap, tip);
        return 1;
    }
    const int64_t tw = tip.width, th = tip.height, bw = bitmap->width, bh = bitmap->height;
    _tagPTzSIZE size = {bitmap->width, bitmap->height};
    if (bh * tw < bw * th)
        size.cx = int32_t(bh * tw / th);
    else
        size.cy = int32_t(bw * th / tw);
    size.cx = size.cx < 1 ? 1 : size.cx;
    size.cy = size.cy < 1 ? 1 : size.cy;
    _tagITzBITMAP scaled = {};
    if (!ITzPrepareITzBitmap(&scaled, &size, 6))
        return 0;
    const int resized = ITzResize::ResizeBitmapSimpleBL(&scaled, &tip);
    if (resized) {
        std::memset(bitmap->pixels, 0, size_t(bitmap->height) * size_t(bitmap->stride));
        CopyCentred(bitmap, scaled);
    }
    ITzReleaseITzBitmap(&scaled);
    return resized ? 1 : 0;
}
