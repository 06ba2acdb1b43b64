// The bilinear kernel shared by every resampler: source pixels added to the sums of
// the destination pixels they feed, and the sums divided back into pixels. Planes are
// addressed alike for planar channel bitmaps and interleaved bitmaps. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/resample.h"

namespace lumatra {

// The byte planes of a bitmap: 0 alpha (or gray averaged as alpha), 1-4 colours, null
// where absent; neighbouring pixels `step` bytes apart, rows `stride` bytes apart.
struct PlaneView {
    uint8_t* planes[5];
    int32_t step;
    int32_t stride;
};

PlaneView ChannelPlanes(const _tagITzCHANNELBITMAP& bitmap);
// The planes of an interleaved bitmap by colour mode (alpha first where the mode has
// one); false for a mode without 8-bit channels or bits that do not match the mode.
bool BitmapPlanes(const _tagITzBITMAP& bitmap, PlaneView& out);
// The same view moved to pixel (x, y).
PlaneView PlanesAt(const PlaneView& view, int32_t x, int32_t y);

// 1 when no destination pixel's weight sum can pass 32 bits with these two tables.
bool WeightSumsFit(const _tagITzBLRESIZETABLE& x, const _tagITzBLRESIZETABLE& y);

enum class ZeroDivisor { Write255, Keep };
// alpha = alpha sum / weight sum into plane 0, colour k = colour sum k / colour-weight
// sum into plane k, for the planes present in both; a pixel whose divisor is 0 gets 255
// or keeps its byte. The buffer's rows are `bufferRow` entries long.
void DivideSums(const _tagITzZOOMBLBUFFERDATA& buffer, int32_t bufferRow, const PlaneView& out, int32_t width,
                int32_t height, ZeroDivisor rule);

// Where a resample accumulates: the buffer's entry (0, 0) is destination (area.left,
// area.top), its rows `rowLength` entries long; destinations outside `area` are skipped.
// Without alpha every source pixel counts `factor` times its weight.
struct BLTarget {
    _tagITzZOOMBLBUFFERDATA* buffer;
    int32_t rowLength;
    PTzRECT area;
    uint32_t factor;
};

// Adds source pixels separably: each source row is first summed per destination column
// with the X weights, then the row sums are added to each destination row it feeds with
// its Y weight. Every sum is an exact integer, so the sums equal those of adding
// w = (X weight) x (Y weight) per source and destination pixel.
class BLAccumulator {
public:
    // The scratch the row sums need for an area `width` columns wide.
    static uint64_t ScratchBytes(int32_t width);
    // `scratch` holds ScratchBytes(area width) bytes, 8-byte aligned.
    BLAccumulator(const BLTarget& target, const _tagITzBLRESIZETABLE& tableX, const _tagITzBLRESIZETABLE& tableY,
                  void* scratch);
    // Adds the source pixels of `rect` (table indices); `source` addresses the rect's corner.
    void Add(const PlaneView& source, const PTzRECT& rect);

private:
    // Row sums fit 32 bits unless a destination column gathers over 66,000 sources.
    template <bool Alpha, int Colours>
    void Dispatch(const PlaneView& source, const PTzRECT& rect, int32_t lo, int32_t hi);
    template <bool Alpha, int Colours, typename RowSum>
    void AddRows(const PlaneView& source, const PTzRECT& rect, int32_t lo, int32_t hi);

    BLTarget m_target;
    const _tagITzBLRESIZETABLE& m_x;
    const _tagITzBLRESIZETABLE& m_y;
    uint64_t* m_rowAlpha;
    uint64_t* m_rowColors[4];
    uint32_t* m_rowWeight;
};

}  // namespace lumatra
