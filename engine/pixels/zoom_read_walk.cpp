// Nearest-pixel source tables by an incremental counter, the reduction of a zoomed read
// to the destination pixels that show the layer, and the row actions the reads share.
#include "engine/pixels/zoom_read_walk.h"

#include <algorithm>
#include <cstring>

#include "base/color.h"
#include "engine/pixels/argb_pack.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/zoom_terms.h"

namespace lumatra {

void CopyRowInto(const _tagITzBITMAP& bitmap, int32_t y, int32_t x, int32_t count, const uint8_t* row, int bytes)
{
    std::memcpy(bitmap.pixels + ptrdiff_t(y) * bitmap.stride + ptrdiff_t(x) * bytes, row, size_t(count) * bytes);
}

void AlphaOverRowOnto(const _tagITzBITMAP& bitmap, int32_t y, int32_t x, int32_t count, const uint8_t* row,
                      uint8_t opacity)
{
    const int bytes = bitmap.bits / 8;
    merge::Job job;
    job.source[0] = row;
    job.dest[0] = bitmap.pixels + ptrdiff_t(y) * bitmap.stride + ptrdiff_t(x) * bytes;
    job.width = count;
    job.height = 1;
    job.opacity = opacity;
    if (bytes == 4)
        merge::AlphaOver32(job);
    else
        merge::AlphaOver32To24(job, bitmap.colorMode == PTzCOLORMODE_BGR);
}

std::vector<int64_t> ZoomSourceTable(const _tagITzZOOMLEVEL& zoom, bool enlarge, int32_t first, int32_t count)
{
    std::vector<int64_t> table(size_t(std::max(count, 0)));
    ZoomTerms terms;
    if (table.empty() || !ReadZoom(&zoom, terms))
        return {};
    // Enlarging: s = floor(t / 2 num) with t = (2z + 1) den, t stepping by 2 den.
    // Reducing: s = ceil(u / num) - 1 = floor((u - 1) / num) with u = (z + 1) den -
    // floor(den / 2), u stepping by den. With both terms at most 2^30 the counter stays
    // far inside 64 bits, and each source is formed whole, so a source beyond the 32-bit
    // range stays exact. The quotient and remainder step along instead of dividing at
    // every pixel.
    const int64_t divisor = enlarge ? 2 * terms.num : terms.num;
    const int64_t step = enlarge ? 2 * terms.den : terms.den;
    const int64_t counter =
        enlarge ? (2 * int64_t{first} + 1) * terms.den : (int64_t{first} + 1) * terms.den - terms.den / 2 - 1;
    const int64_t stepQuotient = step / divisor, stepRemainder = step % divisor;
    int64_t source = FloorDiv(counter, divisor);
    int64_t remainder = counter - source * divisor;
    for (int64_t& entry : table) {
        entry = source;
        source += stepQuotient;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++source;
        }
    }
    return table;
}

namespace {

// Picture coordinates to block-grid coordinates, -1 where the pixel lies outside the
// layer's available bounds or the grid.
std::vector<int32_t> ToBlockGrid(const std::vector<int64_t>& table, int32_t position, int32_t low, int32_t high,
                                 int32_t offset, uint32_t blocks)
{
    const int64_t gridEnd = int64_t{blocks} * 256;
    std::vector<int32_t> grid(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const int64_t layer = table[i] - position;
        const int64_t cell = layer + offset;
        grid[i] = (layer >= low && layer < high && cell >= 0 && cell < gridEnd) ? int32_t(cell) : -1;
    }
    return grid;
}

// The valid entries of a monotonic table form one run.
bool ValidRun(const std::vector<int32_t>& table, int32_t& first, int32_t& end)
{
    const auto begin = std::find_if(table.begin(), table.end(), [](int32_t v) { return v >= 0; });
    const auto stop = std::find_if(begin, table.end(), [](int32_t v) { return v < 0; });
    first = int32_t(begin - table.begin());
    end = int32_t(stop - table.begin());
    return first < end;
}

}  // namespace

bool ZoomReadPlan::Prepare(const PTzRECT& zoomedRect, const _tagITzZOOMLEVEL& zoomX,
                           const _tagITzZOOMLEVEL& zoomY, bool enlarge, int32_t width, int32_t height,
                           const ZoomLayerPlace& place)
{
    const int32_t columns = int32_t(std::min<int64_t>(int64_t{zoomedRect.right} - zoomedRect.left, width));
    const int32_t rows = int32_t(std::min<int64_t>(int64_t{zoomedRect.bottom} - zoomedRect.top, height));
    if (columns <= 0 || rows <= 0 || place.blocksAcross == 0 || place.blocksDown == 0)
        return false;
    m_x = ToBlockGrid(ZoomSourceTable(zoomX, enlarge, zoomedRect.left, columns), place.position.x,
                      place.available.left, place.available.right, place.blockOffset.x, place.blocksAcross);
    m_y = ToBlockGrid(ZoomSourceTable(zoomY, enlarge, zoomedRect.top, rows), place.position.y,
                      place.available.top, place.available.bottom, place.blockOffset.y, place.blocksDown);
    if (!ValidRun(m_x, m_firstX, m_endX) || !ValidRun(m_y, m_firstY, m_endY))
        return false;
    m_blocksAcross = place.blocksAcross;
    m_row.assign(size_t(m_endX - m_firstX) * 4, 0);
    return true;
}

void ZoomReadPlan::Span(const std::vector<int32_t>& table, int32_t from, int32_t to, int32_t block,
                        int32_t& first, int32_t& end)
{
    const auto begin = table.begin() + from, stop = table.begin() + to;
    first = int32_t(std::lower_bound(begin, stop, block << 8) - table.begin());
    end = int32_t(std::lower_bound(begin, stop, (block + 1) << 8) - table.begin());
}

void ZoomReadPlan::GatherRow(const ARGBBlockReader& reader, int32_t sourceY, int32_t first, int32_t end,
                             int32_t blockLeft, uint8_t* out) const
{
    const uint8_t* rows[4] = {reader.row(0, sourceY), reader.row(1, sourceY), reader.row(2, sourceY),
                              reader.row(3, sourceY)};
    const int32_t* source = m_x.data();
    // At 1:1 the sources run without gaps and the row packs straight across.
    if (source[end - 1] - source[first] == end - 1 - first) {
        const int32_t at = source[first] - blockLeft;
        const uint8_t* const run[4] = {rows[0] + at, rows[1] + at, rows[2] + at, rows[3] + at};
        pack::PlanesToARGB(run, out, end - first);
        return;
    }
    // Otherwise the block's span under the row is packed once and its pixels picked
    // whole: enlarging repeats each, reducing skips some.
    const int32_t spanLeft = source[first] - blockLeft;
    const int32_t span = source[end - 1] - source[first] + 1;
    uint8_t packed[256 * 4];
    const uint8_t* const run[4] = {rows[0] + spanLeft, rows[1] + spanLeft, rows[2] + spanLeft, rows[3] + spanLeft};
    pack::PlanesToARGB(run, packed, span);
    for (int32_t x = first; x < end; ++x, out += 4)
        std::memcpy(out, packed + 4 * (source[x] - source[first]), 4);
}

void ZoomReadPlan::GatherRow(const GrayBlockReader& reader, int32_t sourceY, int32_t first, int32_t end,
                             int32_t blockLeft, uint8_t* out) const
{
    const uint8_t* source = reader.row(sourceY);
    for (int32_t x = first; x < end; ++x)
        out[x - first] = source[m_x[size_t(x)] - blockLeft];
}

}  // namespace lumatra
