// The kept pixels are the first half of the split composition the picture offers: the
// layers [0, active) over the checkerboard; each tile adds [active, count) with the
// selection. The picture's backdrop stamp says when the kept layers may look different.
#include "app/shell/layers_below_cache.h"

#include <cstring>
#include <new>

#include "app/shell/picture_tiles.h"
#include "engine/picture/picture.h"

bool CLayersBelowCache::Key::operator==(const Key& other) const
{
    return picture == other.picture && stamp == other.stamp && active == other.active &&
           activeLayer == other.activeLayer && zoom.numerator == other.zoom.numerator &&
           zoom.denominator == other.zoom.denominator && corner == other.corner && size == other.size;
}

const uint8_t* CLayersBelowCache::Below(ITzPicture* picture, const QRect& inBuffer, const PTzRECT& zoomed,
                                        _tagITzZOOMLEVEL zoom, QSize bufferSize, uint16_t& first)
{
    const uint16_t active = picture->GetActiveLayerID();
    const Key key = {picture,
                     picture->GetBackdropStamp(),
                     active,
                     picture->GetLayerbyIndex(active),
                     zoom,
                     QPoint(zoomed.left - inBuffer.left(), zoomed.top - inBuffer.top()),
                     bufferSize};
    first = 0;
    // Under the bottom layer lies the checkerboard alone: nothing to keep.
    if (active == 0 || !QRect(QPoint(), bufferSize).contains(inBuffer) || !Take(key))
        return nullptr;
    for (const QRect& part : QRegion(inBuffer) - m_valid)
        ComposeMissing(picture, part, zoom);
    first = active;
    return Row(inBuffer.top(), inBuffer.left());
}

void CLayersBelowCache::Compose(ITzPicture* picture, _tagITzBITMAP* tile, const QRect& inBuffer,
                                const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom, QSize bufferSize)
{
    uint16_t first = 0;
    const uint8_t* below = Below(picture, inBuffer, zoomed, zoom, bufferSize, first);
    if (!below) {
        ComposePictureTile(picture, tile, zoomed, zoom, TileBackground::Checkerboard);
        return;
    }
    const size_t bytes = size_t(inBuffer.width()) * 3;
    for (int y = 0; y < inBuffer.height(); ++y)
        std::memcpy(tile->pixels + ptrdiff_t(y) * tile->stride, below + ptrdiff_t(y) * m_stride, bytes);
    picture->GetPreviewLayers(&zoomed, tile, &zoom, first, ITzPICTURE_MAX_LAYERS, 1);
}

bool CLayersBelowCache::Plan(ITzPicture* picture, const _tagITzBITMAP& tile, const QRect& inBuffer,
                             const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom, QSize bufferSize, CTileRows& rows)
{
    uint16_t first = 0;
    rows.below = Below(picture, inBuffer, zoomed, zoom, bufferSize, first);
    try {
        rows.layers = picture->PlanPreviewLayers(&zoomed, &tile, &zoom, first, ITzPICTURE_MAX_LAYERS, 1);
    } catch (const std::bad_alloc&) {
        return false;  // composed in one piece, as without memory for a plan
    }
    if (!rows.layers)
        return false;
    rows.tile = tile;
    rows.zoomed = zoomed;
    rows.belowStride = m_stride;
    return true;
}

void CTileRows::Run(int32_t top, int32_t bottom) const
{
    if (below) {
        const size_t bytes = size_t(tile.width) * 3;
        for (int32_t y = top; y < bottom; ++y)
            std::memcpy(tile.pixels + ptrdiff_t(y) * tile.stride, below + ptrdiff_t(y) * belowStride, bytes);
    } else {
        PTzRECT rows = {0, top, tile.width, bottom};
        _tagITzBITMAP band;
        if (ITzGetSubBitmap(&band, &rows, &tile))
            DrawTileBackground(&band, {zoomed.left, zoomed.top + top, zoomed.right, zoomed.top + bottom},
                               TileBackground::Checkerboard);
    }
    layers->Run(tile, top, bottom);
}

void CLayersBelowCache::ComposeMissing(ITzPicture* picture, const QRect& part, _tagITzZOOMLEVEL zoom)
{
    _tagITzBITMAP below = {part.width(), part.height(), m_stride, 24, PTzCOLORMODE_RGB,
                           Row(part.top(), part.left())};
    const PTzRECT zoomed = {m_key.corner.x() + part.left(), m_key.corner.y() + part.top(),
                            m_key.corner.x() + part.left() + part.width(),
                            m_key.corner.y() + part.top() + part.height()};
    DrawTileBackground(&below, zoomed, TileBackground::Checkerboard);
    picture->GetPreviewLayers(&zoomed, &below, &zoom, 0, m_key.active, 0);
    m_valid |= part;
}

bool CLayersBelowCache::Take(const Key& key)
{
    if (key == m_key && !m_pixels.empty())
        return true;
    m_valid = QRegion();
    m_key = key;
    const int32_t stride = ((24 * key.size.width() + 31) >> 3) & ~3;
    const size_t bytes = size_t(stride) * size_t(key.size.height());
    if (m_pixels.size() != bytes) {
        Free();
        m_key = key;
        try {
            m_pixels.resize(bytes);
        } catch (const std::bad_alloc&) {
            Free();
            return false;
        }
    }
    m_stride = stride;
    return !m_pixels.empty();
}

void CLayersBelowCache::Free()
{
    std::vector<uint8_t>().swap(m_pixels);
    m_stride = 0;
    m_valid = QRegion();
    m_key = Key();
}
