// One scratch bitmap of 256 x 256 serves every tile of a paint; a tile at the picture's
// edge uses the top-left part of it.
#include "app/shell/picture_view.h"

#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "app/shell/bitmap_draw.h"
#include "app/shell/document.h"
#include "base/color.h"
#include "engine/picture/picture.h"

namespace {

constexpr int kTile = 256;
const QColor kSurround(128, 128, 128);

}  // namespace

void DrawPictureTiles(QPainter* painter, ITzPicture* picture, const QRect& area, const QPoint& origin,
                      _tagITzZOOMLEVEL zoom)
{
    _tagPTzSIZE size = {};
    if (!painter || !picture || picture->GetPreviewSize(&size, &zoom) != 0)
        return;
    const QRect zoomed = area.translated(-origin).intersected(QRect(0, 0, size.cx, size.cy));
    if (zoomed.isEmpty())
        return;
    _tagITzBITMAP scratch = {};
    const _tagPTzSIZE tileSize = {kTile, kTile};
    if (!ITzPrepareITzBitmap(&scratch, &tileSize, PTzCOLORMODE_RGB))
        return;
    const int firstX = zoomed.left() / kTile * kTile;
    const int firstY = zoomed.top() / kTile * kTile;
    for (int y = firstY; y <= zoomed.bottom(); y += kTile) {
        for (int x = firstX; x <= zoomed.right(); x += kTile) {
            const PTzRECT tile = {x, y, std::min(x + kTile, size.cx), std::min(y + kTile, size.cy)};
            _tagITzBITMAP bitmap = scratch;
            bitmap.width = tile.right - tile.left;
            bitmap.height = tile.bottom - tile.top;
            std::memset(bitmap.pixels, 0xFF, size_t(bitmap.stride) * size_t(bitmap.height));
            picture->GetPreviewData3(&tile, &bitmap, &zoom);
            const PTzRECT target = {tile.left + origin.x(), tile.top + origin.y(), tile.right + origin.x(),
                                    tile.bottom + origin.y()};
            ITzITzBitmapDraw(painter, &bitmap, &target);
        }
    }
    ITzReleaseITzBitmap(&scratch);
}

CTamsleyView::CTamsleyView(CTamsleyDoc* document, QWidget* parent) : QAbstractScrollArea(parent), m_document(document)
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateScrollRanges();
}

ITzPicture* CTamsleyView::GetPicture() const
{
    return m_document ? m_document->GetPicture() : nullptr;
}

QSize CTamsleyView::GetZoomedSize() const
{
    _tagPTzSIZE size = {};
    _tagITzZOOMLEVEL zoom = m_zoom;
    ITzPicture* picture = GetPicture();
    if (!picture || picture->GetPreviewSize(&size, &zoom) != 0)
        return {};
    return {size.cx, size.cy};
}

QPoint CTamsleyView::PictureOrigin() const
{
    const QSize zoomed = GetZoomedSize();
    const QSize room = viewport()->size();
    const int x = zoomed.width() < room.width() ? (room.width() - zoomed.width()) >> 1 : -horizontalScrollBar()->value();
    const int y = zoomed.height() < room.height() ? (room.height() - zoomed.height()) >> 1 : -verticalScrollBar()->value();
    return {x, y};
}

void CTamsleyView::UpdateScrollRanges()
{
    const QSize zoomed = GetZoomedSize();
    const QSize room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, zoomed.width() - room.width()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setRange(0, std::max(0, zoomed.height() - room.height()));
    verticalScrollBar()->setPageStep(room.height());
}

QSize CTamsleyView::sizeHint() const
{
    const QSize zoomed = GetZoomedSize();
    return zoomed.isEmpty() ? QAbstractScrollArea::sizeHint() : zoomed + QSize(2 * frameWidth(), 2 * frameWidth());
}

void CTamsleyView::FitFrameToPicture()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    const QSize zoomed = GetZoomedSize();
    if (!frame || zoomed.isEmpty())
        return;
    QSize wanted = frame->size() - viewport()->size() + zoomed;
    if (QWidget* area = frame->parentWidget())
        wanted = wanted.boundedTo(area->size());
    frame->resize(wanted);
    UpdateScrollRanges();
}

void CTamsleyView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kSurround);
    DrawPictureTiles(&painter, GetPicture(), event->rect(), PictureOrigin(), m_zoom);
}

void CTamsleyView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void CTamsleyView::scrollContentsBy(int, int)
{
    viewport()->update();
}
