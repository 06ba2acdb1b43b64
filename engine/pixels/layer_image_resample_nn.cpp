// The image layer's nearest-pixel read: each destination pixel shows the source pixel
// the nearest-pixel rule picks for it (ITzZoomNNSourceEnlarge when the axis enlarges,
// ITzZoomNNSourceReduce otherwise); the layer is walked one block per step and each
// block copies its pixels to every destination pixel that shows one of them.
// Destination pixels whose source lies outside the layer keep their bytes.
#include <algorithm>
#include <cstring>

#include "base/memory.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_resample.h"
#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "engine/pixels/zoom_terms.h"

namespace {

// The destination columns (or rows) are followed in the job by their block-grid source,
// -1 where it lies outside the layer; the valid ones form one run, rising.
struct _tagITzZOOMNNDATA {
    lumatra::ResampleJobHeader header;
    _tagITzCHANNELBITMAP view;  // the caller's bitmap, the layer's planes only
    int32_t width, height;      // destination pixels covered
    int32_t firstX, endX, firstY, endY;
    int32_t firstColumn, lastColumn, lastRow;
    int32_t column, row;  // the next block
    uint32_t blocks, done;
    bool failed;
};

constexpr size_t kTablesAt = (sizeof(_tagITzZOOMNNDATA) + 3) & ~size_t{3};

int32_t* SourceX(_tagITzZOOMNNDATA* job)
{
    return reinterpret_cast<int32_t*>(reinterpret_cast<uint8_t*>(job) + kTablesAt);
}

int32_t* SourceY(_tagITzZOOMNNDATA* job)
{
    return SourceX(job) + job->width;
}

// Fills one axis's table (picture source inside [low, high) taken to the block grid by
// `shift`) and gives its valid run; false when the run is empty.
bool FillAxis(int32_t* table, int32_t count, int32_t first, const _tagITzZOOMLEVEL& zoom, int32_t low, int32_t high,
              int32_t shift, int32_t& runFirst, int32_t& runEnd)
{
    lumatra::ZoomTerms terms = {1, 1};
    lumatra::ReadZoom(&zoom, terms);
    runFirst = count;
    runEnd = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t source = terms.enlarge() ? ITzZoomNNSourceEnlarge(&zoom, first + i)
                                               : ITzZoomNNSourceReduce(&zoom, first + i);
        const bool inside = source >= low && source < high;
        table[i] = inside ? source + shift : -1;
        if (inside) {
            runFirst = std::min(runFirst, i);
            runEnd = i + 1;
        }
    }
    return runFirst < runEnd;
}

// The destination range [first, end) of a run whose source lies in block `block`.
void BlockSpan(const int32_t* table, int32_t runFirst, int32_t runEnd, int32_t block, int32_t& first, int32_t& end)
{
    first = int32_t(std::lower_bound(table + runFirst, table + runEnd, block * 256) - table);
    end = int32_t(std::lower_bound(table + runFirst, table + runEnd, (block + 1) * 256) - table);
}

// Copies one destination row from a source row of the block, plane by plane.
void ResampleFillChannelBitmapNNDoBlockOneRow(const _tagITzCHANNELBITMAP& view, int32_t y, int32_t x0, int32_t x1,
                                             const int32_t* sourceX, const _tagITzCHANNELBITMAP& block,
                                             int32_t sourceRow, int32_t blockLeft)
{
    for (int p = 0; p < 5; ++p) {
        if (!view.planes[p] || !block.planes[p])
            continue;
        uint8_t* out = view.planes[p] + ptrdiff_t(y) * view.stride;
        const uint8_t* in = block.planes[p] + ptrdiff_t(sourceRow) * block.stride;
        for (int32_t x = x0; x < x1; ++x)
            out[x] = in[sourceX[x] - blockLeft];
    }
}

// Copies destination row `from` to row `to` over columns [x0, x1), in the planes that
// ResampleFillChannelBitmapNNDoBlockOneRow writes.
void CopyDestinationRow(const _tagITzCHANNELBITMAP& view, int32_t from, int32_t to, int32_t x0, int32_t x1,
                        const _tagITzCHANNELBITMAP& block)
{
    for (int p = 0; p < 5; ++p)
        if (view.planes[p] && block.planes[p])
            std::memcpy(view.planes[p] + ptrdiff_t(to) * view.stride + x0,
                        view.planes[p] + ptrdiff_t(from) * view.stride + x0, size_t(x1 - x0));
}

// Reads the part of block `index` (grid column and row) that the destination rows
// [y0, y1) and columns [x0, x1) show and copies it to them; a missing block reads as
// transparent. False when no page is free or the block cannot be read.
bool ResampleFillChannelBitmapNNDoBlock(ITzLayerImage& layer, _tagITzZOOMNNDATA* job, uint32_t index, int32_t column,
                                        int32_t row, int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    // The sources rise with the destinations: the first and last shown bound the part.
    const int32_t* sourceX = SourceX(job);
    const int32_t* sourceY = SourceY(job);
    const PTzRECT part = {sourceX[x0] - column * 256, sourceY[y0] - row * 256, sourceX[x1 - 1] - column * 256 + 1,
                          sourceY[y1 - 1] - row * 256 + 1};
    _tagITzCHANNELBITMAP block = {part.right - part.left, part.bottom - part.top, 0, 0, {}};
    if (!layer.LockChannelBitmap(&block))
        return false;
    const bool read = layer.GetChannelBlockData(index, &part, &block) != 0;
    if (read)
        for (int32_t y = y0; y < y1; ++y) {
            // An enlargement shows a source row on several destination rows in turn: the
            // first picks its pixels, the others copy it.
            if (y > y0 && sourceY[y] == sourceY[y - 1])
                CopyDestinationRow(job->view, y - 1, y, x0, x1, block);
            else
                ResampleFillChannelBitmapNNDoBlockOneRow(job->view, y, x0, x1, sourceX, block,
                                                         sourceY[y] - row * 256 - part.top, column * 256 + part.left);
        }
    layer.UnlockChannelBitmap(&block);
    return read;
}

}  // namespace

void* ITzLayerImage::ResampleFillChannelBitmapNNStart(_tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect,
                                                      const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
                                                      void* /*setting*/)
{
    lumatra::ZoomTerms terms;
    if (!bitmap || !rect || !lumatra::ReadZoom(zoomX, terms) || !lumatra::ReadZoom(zoomY, terms))
        return nullptr;
    const PTzRECT area = lumatra::ResampleArea(*rect, *bitmap);
    PTzRECT source;
    if (!lumatra::ResampleSourceRect(*this, ITzRESAMPLE_NEAREST, area, *zoomX, *zoomY, nullptr, source))
        return nullptr;
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    const uint64_t bytes = kTablesAt + (uint64_t(width) + uint64_t(height)) * sizeof(int32_t);
    auto* job = bytes <= UINT32_MAX ? static_cast<_tagITzZOOMNNDATA*>(PTzPointNew(uint32_t(bytes))) : nullptr;
    if (!job)
        return nullptr;
    job->header = {ITzRESAMPLE_NEAREST, false};
    job->view = lumatra::LayerPlanesOf(*this, *bitmap);
    job->width = width;
    job->height = height;
    const int32_t shiftX = m_blockOffset.x - m_position.x, shiftY = m_blockOffset.y - m_position.y;
    if (!FillAxis(SourceX(job), width, area.left, *zoomX, source.left, source.right, shiftX, job->firstX, job->endX) ||
        !FillAxis(SourceY(job), height, area.top, *zoomY, source.top, source.bottom, shiftY, job->firstY, job->endY)) {
        PTzPointFree(job);
        return nullptr;
    }
    job->firstColumn = job->column = SourceX(job)[job->firstX] >> 8;
    job->lastColumn = SourceX(job)[job->endX - 1] >> 8;
    job->row = SourceY(job)[job->firstY] >> 8;
    job->lastRow = SourceY(job)[job->endY - 1] >> 8;
    job->blocks = uint32_t(job->lastColumn - job->firstColumn + 1) * uint32_t(job->lastRow - job->row + 1);
    return job;
}

int ITzLayerImage::ResampleFillChannelBitmapNN(void* handle, uint32_t* progress)
{
    auto* job = static_cast<_tagITzZOOMNNDATA*>(handle);
    if (!job || job->failed || job->row > job->lastRow)
        return 0;
    const int32_t column = job->column, row = job->row;
    if (++job->column > job->lastColumn) {
        job->column = job->firstColumn;
        ++job->row;
    }
    int32_t x0, x1, y0, y1;
    BlockSpan(SourceX(job), job->firstX, job->endX, column, x0, x1);
    BlockSpan(SourceY(job), job->firstY, job->endY, row, y0, y1);
    const uint32_t index = uint32_t(row) * m_blockCountX + uint32_t(column);
    if (x0 < x1 && y0 < y1 && !ResampleFillChannelBitmapNNDoBlock(*this, job, index, column, row, x0, x1, y0, y1)) {
        job->failed = true;
        return 0;
    }
    ++job->done;
    if (progress)
        *progress = job->done * 100 / job->blocks;
    return 1;
}

int ITzLayerImage::ResampleFillChannelBitmapNNEnd(void* handle)
{
    auto* job = static_cast<_tagITzZOOMNNDATA*>(handle);
    if (!job)
        return 0;
    const bool complete = !job->failed && job->done == job->blocks;
    PTzPointFree(job);
    return complete ? 1 : 0;
}
