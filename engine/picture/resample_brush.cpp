// Brush tips scaled: by the centred bilinear tables, with every weighted contribution
// added into the destination through the 8-bit product and saturating, or reduced by
// nearest pixel with error accumulators.
#include <algorithm>

#include "engine/picture/resample.h"
#include "engine/picture/resample_bitmap_job.h"

namespace {

bool IsTip(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->pixels && bitmap->bits == 8 && bitmap->width > 0 && bitmap->height > 0;
}

// The blend tables' M: the rounded product of two 8-bit fractions.
uint32_t Product(uint32_t a, uint32_t b)
{
    return (a * b + 127) / 255;
}

// A table row's destination range cut to [0, limit): false when nothing is left.
bool CutRange(const _tagITzBLRESIZETABLE& table, int32_t source, int32_t limit, int32_t& first, int32_t& last,
              const uint8_t*& weights)
{
    if (!ITzResize::GetIndexPriListFromBLResizeTable(&table, source, &first, &last, &weights))
        return false;
    const int32_t from = std::max(first, 0);
    weights += from - first;
    first = from;
    last = std::min(last, limit - 1);
    return first <= last;
}

}  // namespace

void* ITzResize::ResizeBrushStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoomX,
                                  const _tagITzZOOMLEVEL* zoomY)
{
    if (!IsTip(dest) || !IsTip(source) || !zoomX || !zoomY)
        return nullptr;
    return lumatra::NewBitmapResizeJob(dest, source, CreateBL_CResizeTable(uint32_t(source->width), zoomX),
                                       CreateBL_CResizeTable(uint32_t(source->height), zoomY));
}

// dest = min(dest + M[M[e][x]][source], 255) for every source pixel and every
// destination pixel it feeds with Y weight e and X weight x.
int ITzResize::ResizeBrush(void* handle)
{
    auto* job = static_cast<lumatra::BitmapResizeJob*>(handle);
    if (!job)
        return 0;
    const _tagITzBITMAP& source = *job->source;
    _tagITzBITMAP& dest = *job->dest;
    for (int32_t sy = 0; sy < source.height; ++sy) {
        int32_t firstY, lastY;
        const uint8_t* weightsY;
        if (!CutRange(*job->tableY, sy, dest.height, firstY, lastY, weightsY))
            continue;
        const uint8_t* row = source.pixels + ptrdiff_t(sy) * source.stride;
        for (int32_t dy = firstY; dy <= lastY; ++dy) {
            const uint32_t e = weightsY[dy - firstY];
            uint8_t* out = dest.pixels + ptrdiff_t(dy) * dest.stride;
            for (int32_t sx = 0; sx < source.width; ++sx) {
                int32_t firstX, lastX;
                const uint8_t* weightsX;
                if (!CutRange(*job->tableX, sx, dest.width, firstX, lastX, weightsX))
                    continue;
                for (int32_t dx = firstX; dx <= lastX; ++dx) {
                    const uint32_t add = Product(Product(e, weightsX[dx - firstX]), row[sx]);
                    out[dx] = uint8_t(std::min<uint32_t>(out[dx] + add, 255));
                }
            }
        }
    }
    return 0;
}

int ITzResize::ResizeBrushEnd(void* job)
{
    return ResizeBitmapBL_CEnd(job);
}

int ITzResize::ResizeBrushSimple(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoomX,
                                 const _tagITzZOOMLEVEL* zoomY)
{
    void* job = ResizeBrushStart(dest, source, zoomX, zoomY);
    if (!job)
        return 0;
    while (ResizeBrush(job))
        ;
    return ResizeBrushEnd(job);
}

// With W x H the destination and w x h the source: a source row is taken when the sum
// of H per source row reaches the row counter (from h / 2, growing by h); within it a
// source column when the total of W per column passes the column counter (from w / 2,
// growing by w).
int ITzResize::ResizeBrushNN(_tagITzBITMAP* dest, const _tagITzBITMAP* source)
{
    if (!IsTip(dest) || !IsTip(source) || dest->width > source->width || dest->height > source->height)
        return 0;
    const int64_t W = dest->width, H = dest->height, w = source->width, h = source->height;
    int64_t rowCounter = h / 2, sum = 0;
    int32_t dy = 0;
    for (int32_t sy = 0; sy < source->height && dy < dest->height; ++sy) {
        sum += H;
        if (sum < rowCounter)
            continue;
        rowCounter += h;
        const uint8_t* in = source->pixels + ptrdiff_t(sy) * source->stride;
        uint8_t* out = dest->pixels + ptrdiff_t(dy++) * dest->stride;
        int64_t columnCounter = w / 2, total = 0;
        int32_t dx = 0;
        for (int32_t sx = 0; sx < source->width && dx < dest->width; ++sx) {
            total += W;
            if (total > columnCounter) {
                out[dx++] = in[sx];
                columnCounter += w;
            }
        }
    }
    return 1;
}
