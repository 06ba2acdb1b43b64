// The walk shared by the zoomed reads of an image layer: which source pixel each
// destination pixel shows, per axis, and the visit of the layer's blocks under the
// read, one row of blocks after the other. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/block_view_gray.h"
#include "engine/pixels/zoom_level.h"

namespace lumatra {

// One axis of a zoomed read: for destination pixel i (0 <= i < count) the source pixel
// `first + i` of the zoomed axis shows. ZoomOut (den >= num): the last source pixel s
// with ZP(s) <= z; ZoomIn: the pixel under the destination pixel's centre,
// ((2z + 1) den) / (2 num). A zero term counts as 1; a term above ITzZOOM_TERM_MAX
// gives no table. Sources are exact in 64 bits, also beyond the 32-bit range.
std::vector<int64_t> ZoomSourceTable(const _tagITzZOOMLEVEL& zoom, bool enlarge, int32_t first,
                                     int32_t count);

// Where the layer lies for a read: its available bounds in layer coordinates and the
// offsets that take picture coordinates to block-grid coordinates.
struct ZoomLayerPlace {
    PTzRECT available;     // layer coordinates
    PTzPOINT position;     // the layer's origin in picture coordinates
    PTzPOINT blockOffset;  // block grid = layer + offset
    uint32_t blocksAcross;
    uint32_t blocksDown;
};

// The row actions the reads share: `count` gathered pixels placed at (x, y) of a
// bitmap, copied (`bytes` per pixel) or, 32-bit ARGB pixels, alpha-over onto its 32- or
// 24-bit pixels at an opacity.
void CopyRowInto(const _tagITzBITMAP& bitmap, int32_t y, int32_t x, int32_t count, const uint8_t* row, int bytes);
void AlphaOverRowOnto(const _tagITzBITMAP& bitmap, int32_t y, int32_t x, int32_t count, const uint8_t* row,
                      uint8_t opacity);

// The destination pixels one block serves: columns [x0, x1) and rows [y0, y1), the
// block in grid column `column`.
struct ZoomVisit {
    int32_t column, x0, x1, y0, y1;
};

// A read's destination pixels reduced to the ones that show a pixel of the layer, each
// with its source in block-grid coordinates.
class ZoomReadPlan {
public:
    // False when no destination pixel shows a pixel of the layer. Destination pixels
    // beyond (width, height) are never visited.
    bool Prepare(const PTzRECT& zoomedRect, const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY,
                 bool enlarge, int32_t width, int32_t height, const ZoomLayerPlace& place);

    // Calls fetch(index, record) for each block under the read, row after row and left
    // to right; for a block it could read (fetch true) it calls
    // emit(destination y, first destination x, count, row of 32-bit alpha, red, green,
    // blue pixels) for each destination row the block serves. A missing block, or one
    // whose channels cannot be locked, emits nothing.
    template <class Fetch, class Emit>
    void Walk(Fetch&& fetch, Emit&& emit);

    // The kind-independent part of the walk: calls visit(index, block column, first
    // destination x, end x, first destination y, end y) for each block under the read
    // that serves destination pixels, row after row and left to right.
    template <class Visit>
    void ForEachBlock(Visit&& visit) const;
    // The block-grid source of destination column x or row y inside a visited range.
    int32_t SourceX(int32_t x) const { return m_x[size_t(x)]; }
    int32_t SourceY(int32_t y) const { return m_y[size_t(y)]; }

    // The rows of a visit that lie in [top, bottom): the source pixels of each gathered
    // from the block into `row` (32-bit pixels from an ARGB block, bytes from a gray
    // one), then emit(destination y, x0, count, row). A row showing the same source row
    // as the row above it reuses that gathering.
    template <class Reader, class Emit>
    void GatherRows(const Reader& reader, const ZoomVisit& visit, int32_t top, int32_t bottom, uint8_t* row,
                    Emit&& emit) const;
    // Bytes enough for the row of any visit.
    size_t RowBytes() const { return m_row.size(); }

private:
    // The destination range [first, end) whose source lies in block column or row `block`.
    static void Span(const std::vector<int32_t>& table, int32_t from, int32_t to, int32_t block,
                     int32_t& first, int32_t& end);
    void GatherRow(const ARGBBlockReader& reader, int32_t sourceY, int32_t first, int32_t end,
                   int32_t blockLeft, uint8_t* out) const;
    void GatherRow(const GrayBlockReader& reader, int32_t sourceY, int32_t first, int32_t end,
                   int32_t blockLeft, uint8_t* out) const;

    std::vector<int32_t> m_x, m_y;  // source in block-grid coordinates
    int32_t m_firstX = 0, m_endX = 0, m_firstY = 0, m_endY = 0;
    uint32_t m_blocksAcross = 0;
    std::vector<uint8_t> m_row;
};

template <class Visit>
void ZoomReadPlan::ForEachBlock(Visit&& visit) const
{
    const int32_t firstRow = m_y[m_firstY] >> 8, lastRow = m_y[m_endY - 1] >> 8;
    const int32_t firstColumn = m_x[m_firstX] >> 8, lastColumn = m_x[m_endX - 1] >> 8;
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        int32_t y0 = 0, y1 = 0;
        Span(m_y, m_firstY, m_endY, row, y0, y1);
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            int32_t x0 = 0, x1 = 0;
            Span(m_x, m_firstX, m_endX, column, x0, x1);
            if (y0 != y1 && x0 != x1)
                visit(uint32_t(row) * m_blocksAcross + uint32_t(column), column, x0, x1, y0, y1);
        }
    }
}

template <class Reader, class Emit>
void ZoomReadPlan::GatherRows(const Reader& reader, const ZoomVisit& visit, int32_t top, int32_t bottom,
                              uint8_t* row, Emit&& emit) const
{
    const int32_t first = std::max(visit.y0, top), end = std::min(visit.y1, bottom);
    for (int32_t y = first; y < end; ++y) {
        // Enlarging repeats source rows: a row gathered for the row above serves again.
        if (y == first || m_y[y] != m_y[y - 1])
            GatherRow(reader, m_y[y] & 255, visit.x0, visit.x1, visit.column << 8, row);
        emit(y, visit.x0, visit.x1 - visit.x0, static_cast<const uint8_t*>(row));
    }
}

template <class Fetch, class Emit>
void ZoomReadPlan::Walk(Fetch&& fetch, Emit&& emit)
{
    ForEachBlock([&](uint32_t index, int32_t column, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
        _tagITzBLOCKINFOARGB record{};
        if (!fetch(index, record))
            return;
        const ARGBBlockReader reader(record);
        if (reader.ok())
            GatherRows(reader, {column, x0, x1, y0, y1}, y0, y1, m_row.data(), emit);
    });
}

// A layer's blocks as its zoomed reads fetch them.
template <class Layer>
auto FetchOf(Layer* layer)
{
    return [layer](uint32_t index, auto& record) { return layer->GetBlockInfo(index, &record, 1) == 0; };
}

}  // namespace lumatra
