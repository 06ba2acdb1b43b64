// The row band of the I/O manager: rows a reader delivers are gathered into tall
// rectangles before they reach the layer, and rows a writer asks for are composed a
// band at a time.
#include <algorithm>
#include <bit>
#include <cstring>

#include "base/memory.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace {

constexpr uint8_t kMaxBandShift = 8;  // 256 rows, the height of a tile

uint32_t PictureHeight(const ITzPicture& picture)
{
    _tagPTzSIZE size = {};
    picture.GetSize(&size);
    return static_cast<uint32_t>(std::max(size.cy, 0));
}

// Writes rows, clipped to the picture, into layer 0; nothing without an image layer 0.
int WriteRows(ITzPicture& picture, uint32_t row, uint32_t rows, const _tagITzBITMAP& geometry, uint8_t* pixels)
{
    auto* layer = picture.GetLayerCount() ? dynamic_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0)) : nullptr;
    if (!layer || rows == 0)
        return 0;
    _tagPTzSIZE size = {};
    picture.GetSize(&size);
    const int32_t right = std::min(geometry.width, size.cx);
    if (right <= 0)
        return 0;
    const PTzRECT rect = {0, static_cast<int32_t>(row), right, static_cast<int32_t>(row + rows)};
    _tagITzBITMAP bitmap = geometry;
    bitmap.height = static_cast<int32_t>(rows);
    bitmap.pixels = pixels;
    return layer->SetRectData(&rect, &bitmap);
}

// Composes the picture's rows at 1/1 into pixels laid out as the buffer; modes without
// alpha start white so that transparent parts come out white.
int ComposeRows(ITzPicture& picture, uint32_t row, uint32_t rows, const _tagPTzCOLORCONVERTBUFFER& buffer,
                uint8_t* pixels)
{
    const _tagPTzCOLORMODE mode = buffer.mode;
    if (mode != PTzCOLORMODE_ARGB && mode != PTzCOLORMODE_ACMYK && mode != PTzCOLORMODE_GRAY16)
        std::memset(pixels, 255, static_cast<size_t>(rows) * static_cast<uint32_t>(buffer.stride));
    _tagITzBITMAP bitmap = {buffer.width, static_cast<int32_t>(rows), buffer.stride, buffer.bits,
                            static_cast<int32_t>(mode), pixels};
    const PTzRECT rect = {0, static_cast<int32_t>(row), buffer.width, static_cast<int32_t>(row + rows)};
    _tagITzZOOMLEVEL zoom = {1, 1};
    // The mask-editing overlay is a view of the selection, never part of the file.
    const int maskEditing = picture.GetMaskEditingMode();
    picture.SetMaskEditingMode(0);
    const int result = picture.GetPreviewData(&rect, &bitmap, &zoom, 1);
    picture.SetMaskEditingMode(maskEditing);
    return result;
}

_tagITzBITMAP GeometryOf(const _tagPTzCOLORCONVERTBUFFER& buffer)
{
    return {buffer.width, 0, buffer.stride, buffer.bits, static_cast<int32_t>(buffer.mode), nullptr};
}

}  // namespace

ITzImageIOManager::ITzImageIOManager() = default;

ITzImageIOManager::~ITzImageIOManager()
{
    if (m_band.pixels)
        PTzPointFree(m_band.pixels);
}

bool ITzImageIOManager::MakeBand(const _tagPTzCOLORCONVERTBUFFER& buffer, uint32_t pictureHeight)
{
    if (m_bandMade)
        return true;
    if (buffer.width <= 0 || buffer.stride <= 0)
        return false;
    // A picture lower than a tile needs no more than the power of two above its height.
    int shift = pictureHeight >= (1u << kMaxBandShift) ? kMaxBandShift : std::bit_width(pictureHeight);
    for (shift = std::max(shift, 1); shift >= 1; --shift) {
        const uint64_t bytes = static_cast<uint64_t>(buffer.stride) << shift;
        if (bytes > UINT32_MAX)
            continue;
        if (auto* pixels = static_cast<uint8_t*>(PTzPointNew(static_cast<uint32_t>(bytes)))) {
            m_band = GeometryOf(buffer);
            m_band.height = 1 << shift;
            m_band.pixels = pixels;
            m_bandShift = static_cast<uint8_t>(shift);
            m_bandMade = 1;
            return true;
        }
    }
    return false;
}

bool ITzImageIOManager::BandMatches(const _tagPTzCOLORCONVERTBUFFER& buffer) const
{
    return buffer.width == m_band.width && buffer.stride == m_band.stride && buffer.bits == m_band.bits &&
           static_cast<int32_t>(buffer.mode) == m_band.colorMode;
}

uint8_t* ITzImageIOManager::BandRow(uint32_t index) const
{
    return m_band.pixels + static_cast<size_t>(index) * static_cast<uint32_t>(m_band.stride);
}

int ITzImageIOManager::FlushBand(ITzPicture* picture)
{
    if (BandEmpty() || !picture)
        return 0;
    const uint32_t first = static_cast<uint32_t>(m_bandFirst);
    const uint32_t held = static_cast<uint32_t>(m_bandEnd - m_bandFirst);
    m_bandFirst = m_bandEnd = -1;
    return WriteRows(*picture, first, held, m_band, BandRow(first - m_bandWindow));
}

int ITzImageIOManager::ReceiveWindowRows(ITzPicture* picture, uint32_t row, uint32_t rows, uint8_t* data,
                                         uint32_t height)
{
    // A row is kept at its place in the window, whichever way the rows come.
    const uint32_t capacity = 1u << m_bandShift;
    const uint32_t window = row & ~(capacity - 1);
    const bool joins = !BandEmpty() && window == m_bandWindow &&
                       (row == static_cast<uint32_t>(m_bandEnd) || row + rows == static_cast<uint32_t>(m_bandFirst));
    if (!joins) {
        if (const int result = FlushBand(picture))
            return result;
        if (row == window && row + rows == std::min(window + capacity, height))
            return WriteRows(*picture, row, rows, m_band, data);
        m_bandWindow = window;
        m_bandFirst = m_bandEnd = static_cast<int32_t>(row);
    }
    std::memcpy(BandRow(row - window), data, static_cast<size_t>(rows) * static_cast<uint32_t>(m_band.stride));
    m_bandFirst = std::min(m_bandFirst, static_cast<int32_t>(row));
    m_bandEnd = std::max(m_bandEnd, static_cast<int32_t>(row + rows));
    return 0;
}

int ITzImageIOManager::ReceiveRows(ITzPicture* picture, uint32_t row, uint32_t rows,
                                   const _tagPTzCOLORCONVERTBUFFER* buffer)
{
    if (!picture || !buffer || !buffer->data || buffer->stride <= 0)
        return -1;
    // Rows outside the picture or the buffer never reach the layer.
    const uint32_t height = PictureHeight(*picture);
    if (row >= height)
        return 0;
    rows = std::min({rows, height - row, static_cast<uint32_t>(std::max(buffer->height, 0))});
    if (rows == 0)
        return 0;
    if (!MakeBand(*buffer, height))
        return WriteRows(*picture, row, rows, GeometryOf(*buffer), buffer->data);
    // The band keeps the first delivery's layout; rows of another layout go straight in.
    if (!BandMatches(*buffer)) {
        if (const int result = FlushBand(picture))
            return result;
        return WriteRows(*picture, row, rows, GeometryOf(*buffer), buffer->data);
    }
    // The delivery window by window, in the order rows come: bottom up its last first.
    const uint32_t capacity = 1u << m_bandShift;
    const size_t stride = static_cast<uint32_t>(buffer->stride);
    for (uint32_t top = row, end = row + rows; top < end;) {
        const uint32_t first = m_bandBottomUp ? std::max(top, (end - 1) & ~(capacity - 1)) : top;
        const uint32_t last = m_bandBottomUp ? end : std::min(end, (top | (capacity - 1)) + 1);
        if (const int result = ReceiveWindowRows(picture, first, last - first, buffer->data + (first - row) * stride,
                                                 height))
            return result;
        if (m_bandBottomUp)
            end = first;
        else
            top = last;
    }
    return 0;
}

void ITzImageIOManager::ServeFromBand(uint32_t& row, uint32_t& rows, uint8_t*& out)
{
    if (BandEmpty())
        return;
    const size_t stride = static_cast<uint32_t>(m_band.stride);
    const uint32_t first = static_cast<uint32_t>(m_bandFirst);
    const uint32_t end = static_cast<uint32_t>(m_bandEnd);
    if (!m_bandBottomUp) {
        if (row < first || row >= end)
            return;
        const uint32_t count = std::min(rows, end - row);
        std::memcpy(out, BandRow(row - first), count * stride);
        row += count;
        rows -= count;
        out += count * stride;
        return;
    }
    const uint32_t requestEnd = row + rows;
    if (requestEnd <= first || requestEnd > end)
        return;
    const uint32_t shared = std::max(row, first);
    std::memcpy(out + (shared - row) * stride, BandRow(shared - first), (requestEnd - shared) * stride);
    rows = shared - row;
}

int ITzImageIOManager::RefillBand(ITzPicture* picture, uint32_t row, uint32_t rows,
                                  const _tagPTzCOLORCONVERTBUFFER& buffer)
{
    const uint32_t capacity = 1u << m_bandShift;
    uint32_t first = row;
    uint32_t end = std::min(row + capacity, PictureHeight(*picture));
    if (m_bandBottomUp) {
        end = row + rows;
        first = end > capacity ? end - capacity : 0;
    }
    m_bandFirst = m_bandEnd = -1;
    if (const int result = ComposeRows(*picture, first, end - first, buffer, m_band.pixels))
        return result;
    m_bandFirst = static_cast<int32_t>(first);
    m_bandEnd = static_cast<int32_t>(end);
    return 0;
}

int ITzImageIOManager::SupplyRows(ITzPicture* picture, uint32_t row, uint32_t rows,
                                  _tagPTzCOLORCONVERTBUFFER* buffer)
{
    if (!picture || !buffer || !buffer->data || buffer->stride <= 0 || buffer->width <= 0)
        return -1;
    // Rows below the picture are the writer's own; nothing is composed for them.
    const uint32_t height = PictureHeight(*picture);
    if (row >= height)
        return 0;
    rows = std::min({rows, height - row, static_cast<uint32_t>(std::max(buffer->height, 0))});
    if (rows == 0)
        return 0;
    if (!MakeBand(*buffer, height) || !BandMatches(*buffer))
        return ComposeRows(*picture, row, rows, *buffer, buffer->data);
    // A writer that starts anywhere but at the top writes the file bottom-up.
    if (BandEmpty() && row != 0)
        m_bandBottomUp = 1;
    uint8_t* out = buffer->data;
    ServeFromBand(row, rows, out);
    if (rows == 0)
        return 0;
    if (rows >= (1u << m_bandShift))
        return ComposeRows(*picture, row, rows, *buffer, out);
    if (const int result = RefillBand(picture, row, rows, *buffer))
        return result;
    ServeFromBand(row, rows, out);
    return 0;
}
