// Merges of planar bitmaps: the rectangles are clipped together, then one merge kernel
// runs over the common rectangle of the planes.
#include "engine/pixels/merge_channel_bitmap.h"

#include <cstddef>

#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/rect_clip.h"

namespace merge = lumatra::merge;

namespace {

// A channel bitmap with planes 0 to planes - 1 present and rows long enough.
bool Usable(const _tagITzCHANNELBITMAP* bitmap, int planes)
{
    if (!bitmap || bitmap->width < 0 || bitmap->height < 0 || bitmap->stride < bitmap->width)
        return false;
    for (int c = 0; c < planes; ++c)
        if (!bitmap->planes[c])
            return false;
    return true;
}

// An 8-bit bitmap with rows long enough.
bool UsableGray(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->pixels && bitmap->bits == 8 && bitmap->width >= 0 &&
           bitmap->height >= 0 && bitmap->stride >= bitmap->width;
}

ptrdiff_t Offset(int32_t x, int32_t y, int32_t stride)
{
    return ptrdiff_t(y) * stride + x;
}

// The paired source and destination rectangles clipped, and with a mask clipped again
// against the mask's rectangle, the source following every move of the destination.
bool Clip(const PTzRECT& sourceRect, _tagPTzSIZE sourceSize, const PTzRECT& destRect,
          _tagPTzSIZE destSize, const PTzRECT* maskRect, const _tagITzBITMAP* mask,
          ITzRectPair& pair, int32_t& maskX, int32_t& maskY)
{
    if (!ITzClipRectPair(sourceRect, sourceSize, destRect, destSize, pair))
        return false;
    if (!mask)
        return true;
    // The mask's corner first follows the moves the destination made above.
    const PTzRECT maskPart{int32_t(int64_t(maskRect->left) + pair.destX - destRect.left),
                           int32_t(int64_t(maskRect->top) + pair.destY - destRect.top),
                           maskRect->right, maskRect->bottom};
    const PTzRECT destPart{pair.destX, pair.destY, pair.destX + pair.width,
                           pair.destY + pair.height};
    ITzRectPair maskPair;
    if (!ITzClipRectPair(maskPart, {mask->width, mask->height}, destPart, destSize, maskPair))
        return false;
    pair.sourceX += maskPair.destX - pair.destX;
    pair.sourceY += maskPair.destY - pair.destY;
    pair.destX = maskPair.destX;
    pair.destY = maskPair.destY;
    pair.width = maskPair.width;
    pair.height = maskPair.height;
    maskX = maskPair.sourceX;
    maskY = maskPair.sourceY;
    return true;
}

}  // namespace

void ITzMergeChannelBitmap(const _tagITzMERGEDATA* merge, uint8_t factor, const PTzRECT* maskRect,
                           _tagITzCHANNELBITMAP* dest, const CMathMerge*, const PTzRECT* destRect,
                           const _tagITzCHANNELBITMAP* source, const PTzRECT* sourceRect,
                           const _tagITzBITMAP* mask)
{
    if (!merge || !destRect || !sourceRect || !source || !Usable(dest, 4) || dest->kind != 3)
        return;
    if (mask && (!maskRect || !UsableGray(mask)))
        return;
    const int type = merge->mergeType;
    const bool colour = source->kind == 3 &&
                        (type == ITzMERGE_COLOR_COPY || type == ITzMERGE_NORMAL || type == ITzMERGE_SMUDGE);
    const bool erase = source->kind == 6 && type == ITzMERGE_ERASE;
    const int planes = colour ? 4 : 1;
    if ((!colour && !erase) || !Usable(source, planes))
        return;

    ITzRectPair pair;
    int32_t maskX = 0;
    int32_t maskY = 0;
    if (!Clip(*sourceRect, {source->width, source->height}, *destRect, {dest->width, dest->height},
              maskRect, mask, pair, maskX, maskY))
        return;

    merge::Job job;
    const ptrdiff_t from = Offset(pair.sourceX, pair.sourceY, source->stride);
    const ptrdiff_t to = Offset(pair.destX, pair.destY, dest->stride);
    for (int c = 0; c < planes; ++c) {
        job.source[c] = source->planes[c] + from;
        job.dest[c] = dest->planes[c] + to;
    }
    job.sourceStride = source->stride;
    job.destStride = dest->stride;
    if (mask) {
        job.mask = mask->pixels + Offset(maskX, maskY, mask->stride);
        job.maskStride = mask->stride;
    }
    job.width = pair.width;
    job.height = pair.height;
    job.opacity = merge->opacity;
    job.factor = factor;

    if (erase)
        merge::GrayPlane(merge::GrayOp::Erase, job);
    else if (type == ITzMERGE_NORMAL)
        merge::AlphaOverPlanar(job);
    else if (!mask)
        merge::CopyPlanes(job, 4);
    else if (type == ITzMERGE_COLOR_COPY)
        merge::ColorCopyPlanar(job);
    else
        merge::SmudgePlanar(job);
}

void ITzMultiplyPlaneByBitmap(const PTzRECT* planeRect, const PTzRECT* bitmapRect,
                              const CMathMerge*, _tagITzCHANNELBITMAP* plane,
                              const _tagITzBITMAP* bitmap)
{
    if (!planeRect || !bitmapRect || !Usable(plane, 1) || !UsableGray(bitmap))
        return;
    ITzRectPair pair;
    if (!ITzClipRectPair(*bitmapRect, {bitmap->width, bitmap->height}, *planeRect,
                         {plane->width, plane->height}, pair))
        return;
    merge::Job job;
    job.source[0] = bitmap->pixels + Offset(pair.sourceX, pair.sourceY, bitmap->stride);
    job.sourceStride = bitmap->stride;
    job.dest[0] = plane->planes[0] + Offset(pair.destX, pair.destY, plane->stride);
    job.destStride = plane->stride;
    job.width = pair.width;
    job.height = pair.height;
    merge::GrayPlane(merge::GrayOp::Multiply, job);
}
