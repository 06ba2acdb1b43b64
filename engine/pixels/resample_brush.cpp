// Brush tips scaled: by the centred bilinear tables, with every weighted contribution
// added into the destination through the 8-bit product and saturating, or reduced by
// nearest pixel with error accumulators.
#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/resample_bitmap_job.h"

namespace {

bool IsTip(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->pixels && bitmap->bits == 8 && bitmap->width > 0 && bitmap->height > 0;
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

// For every destination column, the source columns that feed it and their X weights,
// padded with weight 0 to the same number of taps for every column, so that the row
// loops need no branches. One block: the tap count, sources and weights as tap-major
// arrays [tap][dx], then the scratch rows of one resize: the gathered source bytes per
// tap and a 16-bit sum per destination column.
struct BrushColumns {
    uint32_t taps;
    int32_t* sources;
    uint8_t* weights;
    uint8_t* gathered;
    uint16_t* sums;
};

uint64_t BrushColumnsBytes(uint32_t taps, uint32_t destWidth)
{
    const uint64_t cells = uint64_t(taps) * destWidth;
    return 2 * sizeof(uint32_t) + cells * (sizeof(int32_t) + 2) + uint64_t(destWidth) * sizeof(uint16_t);
}

BrushColumns ColumnsOf(void* block, uint32_t destWidth)
{
    auto* head = static_cast<uint32_t*>(block);
    const uint64_t cells = uint64_t(head[0]) * destWidth;
    auto* sources = reinterpret_cast<int32_t*>(head + 2);
    auto* weights = reinterpret_cast<uint8_t*>(sources + cells);
    auto* gathered = weights + cells;
    // The sums start at an even offset: 8 + 6 x cells bytes.
    auto* sums = reinterpret_cast<uint16_t*>(gathered + cells);
    return {head[0], sources, weights, gathered, sums};
}

// Turns the X table around once per resize, so that the row loops read each destination
// pixel's sources directly instead of asking the table per source and destination row.
void* NewBrushColumns(const _tagITzBLRESIZETABLE& table, int32_t sourceWidth, int32_t destWidth)
{
    auto forEachPair = [&](auto&& visit) {
        for (int32_t sx = 0; sx < sourceWidth; ++sx) {
            int32_t first, last;
            const uint8_t* weights;
            if (!CutRange(table, sx, destWidth, first, last, weights))
                continue;
            for (int32_t dx = first; dx <= last; ++dx)
                visit(sx, dx, weights[dx - first]);
        }
    };
    std::unique_ptr<uint32_t[]> counts(new (std::nothrow) uint32_t[size_t(destWidth)]());
    if (!counts)
        return nullptr;
    forEachPair([&counts](int32_t, int32_t dx, uint8_t) { ++counts[size_t(dx)]; });
    // 255 taps at most keep the 16-bit sums from overflowing; the tables give 2 or 3.
    const uint32_t taps = std::max<uint32_t>(*std::max_element(counts.get(), counts.get() + destWidth), 1);
    const uint64_t bytes = BrushColumnsBytes(taps, uint32_t(destWidth));
    void* block = taps < 256 && bytes <= std::numeric_limits<uint32_t>::max() ? PTzPointNew(uint32_t(bytes)) : nullptr;
    if (!block)
        return nullptr;
    // The block is zero-filled: padding taps read source column 0 at weight 0.
    static_cast<uint32_t*>(block)[0] = taps;
    const BrushColumns columns = ColumnsOf(block, uint32_t(destWidth));
    std::fill(counts.get(), counts.get() + destWidth, 0u);
    forEachPair([&](int32_t sx, int32_t dx, uint8_t weight) {
        const uint64_t cell = uint64_t(counts[size_t(dx)]++) * uint32_t(destWidth) + uint32_t(dx);
        columns.sources[cell] = sx;
        columns.weights[cell] = weight;
    });
    return block;
}

// M(a, b) = (a x b + 127) / 255 in 16-bit lanes: with t = a x b + 127 (at most 65,152),
// t / 255 = (t + 1 + (t >> 8)) >> 8 exactly, and no step leaves 16 bits.
inline uint16_t Product16(uint16_t a, uint16_t b)
{
    const uint16_t t = uint16_t(a * b + 127);
    return uint16_t((t + 1 + (t >> 8)) >> 8);
}

// The destination columns a source row can reach: a tip's rows are empty towards their
// ends, and columns fed only by empty pixels gain nothing.
struct ColumnSpan {
    uint32_t first;
    uint32_t count;
};

// out[dx] = min(255, out[dx] + sum over the taps t of M(M(e, weights[t][dx]),
// gathered[t][dx])) over the span of one destination row, with the tap count known to
// the compiler: the tables give 1 to 3 taps, and this form is one vectorised pass.
// The destination row never overlaps the job's own arrays.
template <uint32_t Taps>
void AddRow(uint8_t* __restrict out, const BrushColumns& columns, uint16_t e, uint32_t stride, ColumnSpan span)
{
    const uint8_t* tapWeights[Taps];
    const uint8_t* tapBytes[Taps];
    for (uint32_t t = 0; t < Taps; ++t) {
        tapWeights[t] = columns.weights + size_t(t) * stride + span.first;
        tapBytes[t] = columns.gathered + size_t(t) * stride + span.first;
    }
    out += span.first;
    for (uint32_t dx = 0; dx < span.count; ++dx) {
        uint16_t sum = out[dx];
        for (uint32_t t = 0; t < Taps; ++t)
            sum = uint16_t(sum + Product16(Product16(e, tapWeights[t][dx]), tapBytes[t][dx]));
        out[dx] = uint8_t(std::min<uint16_t>(sum, 255));
    }
}

// The same for any tap count, one tap at a time through the 16-bit sums.
void AddRowByTaps(uint8_t* out, const BrushColumns& columns, uint16_t e, uint32_t stride, ColumnSpan span)
{
    out += span.first;
    std::copy(out, out + span.count, columns.sums);
    for (uint32_t t = 0; t < columns.taps; ++t) {
        const uint8_t* weights = columns.weights + uint64_t(t) * stride + span.first;
        const uint8_t* gathered = columns.gathered + uint64_t(t) * stride + span.first;
        for (uint32_t dx = 0; dx < span.count; ++dx)
            columns.sums[dx] = uint16_t(columns.sums[dx] + Product16(Product16(e, weights[dx]), gathered[dx]));
    }
    for (uint32_t dx = 0; dx < span.count; ++dx)
        out[dx] = uint8_t(std::min<uint16_t>(columns.sums[dx], 255));
}

void AddRow(uint8_t* out, const BrushColumns& columns, uint16_t e, uint32_t stride, ColumnSpan span)
{
    switch (columns.taps) {
    case 1:
        return AddRow<1>(out, columns, e, stride, span);
    case 2:
        return AddRow<2>(out, columns, e, stride, span);
    case 3:
        return AddRow<3>(out, columns, e, stride, span);
    default:
        return AddRowByTaps(out, columns, e, stride, span);
    }
}

// The columns fed by the source row's pixels from its first to its last nonzero one:
// each source column feeds a range that does not start before its left neighbour's, so
// columns left of those the first nonzero pixel feeds see only zeros (likewise on the
// right). False for a row of zeros.
bool NonzeroSpan(const _tagITzBLRESIZETABLE& table, const uint8_t* row, int32_t sourceWidth, int32_t destWidth,
                 ColumnSpan& span)
{
    const uint8_t* end = row + sourceWidth;
    const uint8_t* first = std::find_if(row, end, [](uint8_t v) { return v != 0; });
    if (first == end)
        return false;
    const uint8_t* last = end - 1;
    while (*last == 0)
        --last;
    int32_t from, to, unused;
    const uint8_t* weights;
    if (!CutRange(table, int32_t(first - row), destWidth, from, unused, weights) ||
        !CutRange(table, int32_t(last - row), destWidth, unused, to, weights)) {
        span = {0, uint32_t(destWidth)};
        return true;
    }
    span = {uint32_t(from), uint32_t(to - from + 1)};
    return true;
}

}  // namespace

void* ITzResize::ResizeBrushStart(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoomX,
                                  const _tagITzZOOMLEVEL* zoomY)
{
    if (!IsTip(dest) || !IsTip(source) || !zoomX || !zoomY)
        return nullptr;
    lumatra::BitmapResizeJob* job =
        lumatra::NewBitmapResizeJob(dest, source, CreateBL_CResizeTable(uint32_t(source->width), zoomX),
                                    CreateBL_CResizeTable(uint32_t(source->height), zoomY));
    if (!job)
        return nullptr;
    job->brushColumns = NewBrushColumns(*job->tableX, source->width, dest->width);
    if (!job->brushColumns) {
        ResizeBrushEnd(job);
        return nullptr;
    }
    return job;
}

// dest = min(dest + M[M[e][x]][source], 255) for every source pixel and every
// destination pixel it feeds with Y weight e and X weight x. Every term is positive, so
// the total saturates once per destination pixel.
int ITzResize::ResizeBrush(void* handle)
{
    auto* job = static_cast<lumatra::BitmapResizeJob*>(handle);
    if (!job || !job->brushColumns)
        return 0;
    const _tagITzBITMAP& source = *job->source;
    _tagITzBITMAP& dest = *job->dest;
    const uint32_t width = uint32_t(dest.width);
    const BrushColumns columns = ColumnsOf(job->brushColumns, width);
    for (int32_t sy = 0; sy < source.height; ++sy) {
        int32_t firstY, lastY;
        const uint8_t* weightsY;
        if (!CutRange(*job->tableY, sy, dest.height, firstY, lastY, weightsY))
            continue;
        const uint8_t* row = source.pixels + ptrdiff_t(sy) * source.stride;
        ColumnSpan span;
        if (!NonzeroSpan(*job->tableX, row, source.width, dest.width, span))
            continue;
        // The source bytes of each tap, gathered once for every destination row they feed.
        for (uint32_t t = 0; t < columns.taps; ++t) {
            const uint64_t base = uint64_t(t) * width + span.first;
            for (uint64_t cell = base; cell < base + span.count; ++cell)
                columns.gathered[cell] = row[columns.sources[cell]];
        }
        for (int32_t dy = firstY; dy <= lastY; ++dy)
            AddRow(dest.pixels + ptrdiff_t(dy) * dest.stride, columns, weightsY[dy - firstY], width, span);
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
