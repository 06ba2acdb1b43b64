// Merges of interleaved bitmaps (CMathMerge::MergeBitmap): the rectangles are clipped to
// their bitmaps, then the kernel for the merge type and the two depths runs once.
#include <cstddef>

#include "engine/pixels/bitmap.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/merge_data.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/rect_clip.h"

namespace merge = lumatra::merge;

namespace {

// A bitmap of 8, 24 or 32 bits whose rows are long enough for its width.
bool Usable(const _tagITzBITMAP* bitmap)
{
    if (!bitmap || !bitmap->pixels || bitmap->width < 0 || bitmap->height < 0)
        return false;
    if (bitmap->bits != 8 && bitmap->bits != 24 && bitmap->bits != 32)
        return false;
    return int64_t(bitmap->width) * (bitmap->bits / 8) <= bitmap->stride;
}

uint8_t* PixelAt(const _tagITzBITMAP& bitmap, int32_t x, int32_t y)
{
    return bitmap.pixels + ptrdiff_t(y) * bitmap.stride + ptrdiff_t(x) * (bitmap.bits / 8);
}

}  // namespace

void CMathMerge::MergeBitmap(const CMathMerge*, const PTzRECT* sourceRect,
                             const _tagITzBITMAP* source, _tagITzBITMAP* dest,
                             const PTzRECT* destRect, const _tagITzMERGEDATA* merge)
{
    if (!sourceRect || !destRect || !merge || !Usable(source) || !Usable(dest))
        return;
    ITzRectPair pair;
    if (!ITzClipRectPair(*sourceRect, {source->width, source->height}, *destRect,
                         {dest->width, dest->height}, pair))
        return;

    merge::Job job;
    job.source[0] = PixelAt(*source, pair.sourceX, pair.sourceY);
    job.sourceStride = source->stride;
    job.dest[0] = PixelAt(*dest, pair.destX, pair.destY);
    job.destStride = dest->stride;
    job.width = pair.width;
    job.height = pair.height;
    job.opacity = merge->opacity;

    const int from = source->bits;
    const int to = dest->bits;
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
        if (from == 32 && to == 32)
            merge::AlphaOver32(job);
        else if (from == 32 && to == 24)
            merge::AlphaOver32To24(job, dest->colorMode == 2);
        else if (from == 8 && to == 8)
            merge::GrayPlane(merge::GrayOp::Union, job);
        break;
    case ITzMERGE_INVERT:
        if (from == 8 && (to == 32 || to == 24))
            merge::Invert(job, to / 8);
        break;
    case ITzMERGE_ERASE:
        if (from == 8 && to == 32)
            merge::GrayIntoAlpha32(merge::GrayOp::Erase, job);
        break;
    case ITzMERGE_MULTIPLY_ALPHA:
        if (from == 8 && to == 8)
            merge::GrayPlane(merge::GrayOp::Multiply, job);
        else if (from == 8 && to == 32)
            merge::GrayIntoAlpha32(merge::GrayOp::Multiply, job);
        break;
    default:
        break;
    }
}
