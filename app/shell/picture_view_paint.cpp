// The view's painting. The picture is composed tile by tile into the back buffer, which
// holds the whole visible area and remembers which parts are stale, and copied to the
// window in one piece: a repaint of parts that did not change only copies, a scroll moves
// the buffer's pixels with the window's, and an outline step (the active view of a
// picture with a selection) recolours a quarter of the outline's pixels and copies them
// to the window. Only when the buffer cannot be had are the tiles drawn straight onto
// the window.
#include <QPaintEvent>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/shell/bitmap_draw.h"
#include "app/shell/paint_workers.h"
#include "app/shell/picture_tiles.h"
#include "app/shell/picture_view.h"
#include "app/shell/view_clock.h"
#include "base/color.h"

namespace {

const QColor kSurround(0xC0, 0xC0, 0xC0);

PTzRECT ToPTz(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect OverlayBounds(const CViewOverlay& overlay)
{
    const int margin = int(std::ceil(overlay.pen.widthF())) + 1;
    return overlay.points.boundingRect().adjusted(-margin, -margin, margin, margin);
}

}  // namespace

void CTamsleyView::paintEvent(QPaintEvent* event)
{
    ++m_counters.paints;
    QPainter painter(viewport());
    ITzPicture* picture = GetPicture();
    if (!picture) {
        painter.fillRect(event->rect(), kSurround);
        return;
    }
    const Geometry geometry = GetGeometry();
    const QRegion area = event->region() & geometry.visible;
    if (!area.isEmpty()) {
        if (CreateBackBuffer(painter, geometry.visible))
            PaintFromBackBuffer(painter, area, geometry, IsActive() && picture->GetSelectionLayer(0));
        else
            PaintDirect(painter, area, geometry);
    }
    PaintSurround(painter, geometry);
    PaintOverlays(painter);
}

void CTamsleyView::PaintDirect(QPainter& painter, const QRegion& area, const Geometry& geometry)
{
    FreeBackBuffer();
    const PTzPOINT origin = {geometry.origin.x(), geometry.origin.y()};
    for (const QRect& rect : area) {
        m_counters.tilesComposed +=
            DrawPictureTiles(&painter, GetPicture(), ToPTz(rect), origin, m_zoom, TileBackground::Checkerboard);
    }
}

void CTamsleyView::PaintFromBackBuffer(QPainter& painter, const QRegion& area, const Geometry& geometry,
                                       bool withOutline)
{
    if (!withOutline && m_outlineInBuffer) {
        // The outline's pixels are in the buffer: the picture goes back under them.
        FreeSelectionOutline();
        m_stale = m_backRect;
        m_outlineInBuffer = false;
    }
    const QPoint scroll = GetScrollPosition();
    if (m_outline.IsBuilt() && m_outline.GetScrollPosition() != scroll)
        m_outline.Free();
    const QRegion stale = area & m_stale;
    bool recolour = !stale.isEmpty();
    ComposeIntoBackBuffer(stale, geometry);
    if (withOutline) {
        if (!m_outline.IsBuilt()) {
            const PTzRECT zoomed = ToPTz(m_backRect.translated(-geometry.origin));
            m_outline.Build(GetPicture(), zoomed, m_zoom, m_backRecord, scroll);
            recolour = true;
        }
        if (recolour)
            m_outline.Paint(&m_backRecord, OutlinePhase(geometry));
        m_outlineInBuffer = true;
    }
    const PTzRECT target = ToPTz(m_backRect);
    painter.save();
    painter.setClipRegion(area);
    ITzBitmapDraw(&painter, m_backBuffer, &target);
    painter.restore();
}

void CTamsleyView::PaintSurround(QPainter& painter, const Geometry& geometry)
{
    if (geometry.coversClient)
        return;
    for (const QRect& band : QRegion(geometry.client) - QRegion(geometry.visible))
        painter.fillRect(band, kSurround);
    // The frame runs one pixel outside the picture; a side beyond the window is drawn just
    // outside it, out of sight.
    const auto clamp = [](int64_t value, int extent) { return int(std::clamp<int64_t>(value, -1, extent)); };
    const int left = clamp(int64_t(geometry.origin.x()) - 1, geometry.client.width());
    const int top = clamp(int64_t(geometry.origin.y()) - 1, geometry.client.height());
    const int right = clamp(int64_t(geometry.origin.x()) + geometry.zoomed.width(), geometry.client.width());
    const int bottom = clamp(int64_t(geometry.origin.y()) + geometry.zoomed.height(), geometry.client.height());
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, top, right - left, bottom - top));
}

void CTamsleyView::PaintOverlays(QPainter& painter)
{
    for (const auto& [id, overlay] : m_overlays) {
        painter.setCompositionMode(overlay.mode);
        painter.setPen(overlay.pen);
        painter.drawPolyline(overlay.points);
    }
}

void CTamsleyView::SetOverlay(int id, const CViewOverlay& overlay)
{
    RemoveOverlay(id);
    m_overlays[id] = overlay;
    viewport()->update(OverlayBounds(overlay));
}

void CTamsleyView::RemoveOverlay(int id)
{
    const auto found = m_overlays.find(id);
    if (found == m_overlays.end())
        return;
    viewport()->update(OverlayBounds(found->second));
    m_overlays.erase(found);
}

bool CTamsleyView::CreateBackBuffer(QPainter& painter, const QRect& visible)
{
    if (visible.isEmpty())
        return false;
    if (m_backBuffer && visible.size() == m_backRect.size()) {
        if (visible.topLeft() != m_backRect.topLeft()) {
            m_backRect = visible;
            m_stale = visible;
            m_outline.Free();
        }
        return true;
    }
    FreeBackBuffer();
    void* bits = nullptr;
    m_backBuffer = ITzBitmapCreat24Bits(&painter, uint32_t(visible.width()), uint32_t(visible.height()), &bits);
    if (!m_backBuffer)
        return false;
    m_backRecord = {visible.width(), visible.height(), ((24 * visible.width() + 31) >> 3) & ~3, 24,
                    PTzCOLORMODE_RGB, static_cast<uint8_t*>(bits)};
    m_backRect = visible;
    m_stale = visible;
    return true;
}

void CTamsleyView::FreeBackBuffer()
{
    ITzBitmapDestroy(m_backBuffer);
    m_backBuffer = nullptr;
    m_backRecord = {};
    m_backRect = QRect();
    m_stale = QRegion();
    m_outlineInBuffer = false;
    m_outline.Free();
    m_below.Free();
}

void CTamsleyView::ComposeIntoBackBuffer(const QRegion& area, const Geometry& geometry)
{
    // Each tile is planned here; the planned ones are composed in bands of rows by the
    // paint workers, the others in one piece at once.
    std::vector<CTileRows> planned;
    for (const QRect& rect : area) {
        const PTzRECT part = ToPTz(rect);
        _tagPTzRECTENUM walk;
        PTzRectEnumFill(&part, &walk, nullptr);
        PTzRECT tile;
        while (PTzRectEnumGetCurrent(&walk, &tile)) {
            PTzRECT inBuffer = {tile.left - m_backRect.left(), tile.top - m_backRect.top(),
                                tile.right - m_backRect.left(), tile.bottom - m_backRect.top()};
            _tagITzBITMAP view;
            if (!ITzGetSubBitmap(&view, &inBuffer, &m_backRecord))
                continue;
            const PTzRECT zoomed = {tile.left - geometry.origin.x(), tile.top - geometry.origin.y(),
                                    tile.right - geometry.origin.x(), tile.bottom - geometry.origin.y()};
            const QRect placed(inBuffer.left, inBuffer.top, inBuffer.right - inBuffer.left,
                               inBuffer.bottom - inBuffer.top);
            CTileRows rows;
            if (m_below.Plan(GetPicture(), view, placed, zoomed, m_zoom, m_backRect.size(), rows)) {
                planned.push_back(std::move(rows));
                ++m_counters.tilesInBands;
            } else {
                m_below.Compose(GetPicture(), &view, placed, zoomed, m_zoom, m_backRect.size());
            }
            ++m_counters.tilesComposed;
        }
    }
    ComposeBands(planned);
    m_stale -= area;
}

void CTamsleyView::ComposeBands(const std::vector<CTileRows>& tiles)
{
    struct Band {
        const CTileRows* tile;
        int32_t top, bottom;
    };
    std::vector<Band> bands;
    for (const CTileRows& tile : tiles)
        for (int32_t top = 0; top < tile.tile.height; top += kBandRows)
            bands.push_back({&tile, top, std::min(top + kBandRows, tile.tile.height)});
    PaintWorkers().Run(bands.size(), [&bands](size_t i) { bands[i].tile->Run(bands[i].top, bands[i].bottom); });
}

void CTamsleyView::ScrollBackBuffer(int dx, int dy)
{
    const int width = m_backRecord.width;
    const int height = m_backRecord.height;
    if (std::abs(dx) >= width || std::abs(dy) >= height) {
        m_stale = m_backRect;
        return;
    }
    // The pixels move with the picture: (x, y) goes to (x + dx, y + dy). Rows are walked
    // away from where they go, so that none is overwritten before it moved.
    const size_t rowBytes = size_t(width - std::abs(dx)) * 3;
    const int from = dx < 0 ? -dx : 0;
    const int to = dx > 0 ? dx : 0;
    const auto move = [&](int y) {
        uint8_t* target = m_backRecord.pixels + int64_t(y) * m_backRecord.stride + int64_t(to) * 3;
        const uint8_t* source = m_backRecord.pixels + int64_t(y - dy) * m_backRecord.stride + int64_t(from) * 3;
        std::memmove(target, source, rowBytes);
    };
    if (dy > 0) {
        for (int y = height - 1; y >= dy; --y)
            move(y);
    } else {
        for (int y = 0; y < height + dy; ++y)
            move(y);
    }
    const QRegion exposed = QRegion(m_backRect) - QRegion(m_backRect.translated(dx, dy));
    m_stale = (m_stale.translated(dx, dy) | exposed) & m_backRect;
}

void CTamsleyView::scrollContentsBy(int dx, int dy)
{
    FreeSelectionOutline();
    if (m_backBuffer)
        ScrollBackBuffer(dx, dy);
    viewport()->scroll(dx, dy);
    // The overlays stay where they are in the window, not where the scroll moved them.
    for (const auto& [id, overlay] : m_overlays) {
        const QRect bounds = OverlayBounds(overlay);
        viewport()->update(bounds);
        viewport()->update(bounds.translated(dx, dy));
    }
}

void CTamsleyView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollSizes();
    FreeSelectionOutline();
    InvalidateAll();
}

uint32_t CTamsleyView::OutlinePhase(const Geometry& geometry) const
{
    // Anchored to zoomed coordinates: the phase counts from the visible area's corner.
    return m_outlinePhase + uint32_t(m_backRect.left() - geometry.origin.x()) +
           uint32_t(m_backRect.top() - geometry.origin.y());
}

void CTamsleyView::FreeSelectionOutline()
{
    m_outline.Free();
}

void CTamsleyView::StepSelectionOutline()
{
    if (!IsActive() || !CSelectionOutline::TakeStep(ViewTime()))
        return;
    m_outlinePhase = (m_outlinePhase + 1) & 7;
    const Geometry geometry = GetGeometry();
    if (m_backBuffer && m_outline.IsBuilt() && m_backRect == geometry.visible &&
        m_outline.GetScrollPosition() == GetScrollPosition()) {
        m_outline.Update(&m_backRecord, OutlinePhase(geometry), &m_counters.outlinePixelsWritten);
        const QRect bounds = m_outline.GetBounds();
        if (!bounds.isEmpty())
            viewport()->update(bounds.translated(m_backRect.topLeft()));
        return;
    }
    // Nothing to recolour yet: the next paint builds the buffer and the outline.
    viewport()->update(geometry.visible);
}

void CTamsleyView::InvalidateClient(const QRect& rect)
{
    if (m_backBuffer)
        m_stale |= rect & m_backRect;
    viewport()->update(rect);
}

void CTamsleyView::InvalidateAll()
{
    if (m_backBuffer)
        m_stale = m_backRect;
    viewport()->update();
}
