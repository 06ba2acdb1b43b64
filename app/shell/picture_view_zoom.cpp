// The view's zoom: ladder steps about a point, the zoom to a dragged rectangle, the
// centring that follows each, and the scroll sizes of the zoomed picture.
#include <QScrollBar>
#include <algorithm>

#include "app/shell/picture_view.h"
#include "app/shell/zoom_ladder.h"

bool CTamsleyView::CanZoomIn() const
{
    _tagPTzSIZE size = {};
    ITzPicture* picture = GetPicture();
    return picture && picture->GetSize(&size) == 0 && ::CanZoomIn(m_zoom, size);
}

bool CTamsleyView::CanZoomOut() const
{
    const QSize zoomed = GetZoomedSize();
    return GetPicture() && ::CanZoomOut(m_zoom, {zoomed.width(), zoomed.height()});
}

int CTamsleyView::SetZoom(_tagITzZOOMLEVEL zoom)
{
    if (zoom.numerator == 0 || zoom.denominator == 0)
        zoom = {1, 1};
    if (CompareZoom(zoom, m_zoom) == 0)
        return 1;
    m_zoom = zoom;
    FreeSelectionOutline();
    InvalidateAll();
    UpdateScrollSizes();
    UpdateZoomTitle();
    // Zoom In and Zoom Out follow at once, whoever zoomed: a command, a key or a tool.
    UpdateFrameCommands();
    return 1;
}

void CTamsleyView::StepZoom(PTzPOINT picture, bool in)
{
    SetZoom(StepZoomLadder(m_zoom, in));
    CentreOnPicturePoint(picture);
    InvalidateAll();
}

void CTamsleyView::ZoomInAt(PTzPOINT zoomed)
{
    PTzPOINT picture;
    if (CanZoomIn() && ZoomedToPicture(&zoomed, &picture) == 0)
        StepZoom(picture, true);
}

void CTamsleyView::ZoomOutAt(PTzPOINT zoomed)
{
    PTzPOINT picture;
    if (CanZoomOut() && ZoomedToPicture(&zoomed, &picture) == 0)
        StepZoom(picture, false);
}

void CTamsleyView::ZoomInCentre()
{
    if (CanZoomIn())
        StepZoom(GetVisibleCentre(), true);
}

void CTamsleyView::ZoomOutCentre()
{
    if (CanZoomOut())
        StepZoom(GetVisibleCentre(), false);
}

void CTamsleyView::ZoomToRect(const PTzRECT& zoomed)
{
    _tagPTzSIZE size = {};
    if (!CanZoomIn() || GetPicture()->GetSize(&size) != 0)
        return;
    PTzPOINT corners[2] = {{zoomed.left, zoomed.top}, {zoomed.right, zoomed.bottom}};
    for (PTzPOINT& corner : corners) {
        PTzPOINT picture;
        if (ZoomedToPicture(&corner, &picture) != 0)
            return;
        corner = {std::clamp(picture.x, 0, size.cx), std::clamp(picture.y, 0, size.cy)};
    }
    const int64_t width = std::abs(int64_t(corners[1].x) - corners[0].x);
    const int64_t height = std::abs(int64_t(corners[1].y) - corners[0].y);
    const PTzPOINT middle = {int32_t((int64_t(corners[0].x) + corners[1].x) / 2),
                             int32_t((int64_t(corners[0].y) + corners[1].y) / 2)};
    SetZoom(ZoomForRect(width, height, viewport()->width(), viewport()->height(), size));
    CentreOnPicturePoint(middle);
    InvalidateAll();
}

PTzPOINT CTamsleyView::GetVisibleCentre() const
{
    const QSize zoomed = GetZoomedSize();
    const QSize room = viewport()->size();
    const QPoint scroll = GetScrollPosition();
    const PTzPOINT centre = {zoomed.width() < room.width() ? zoomed.width() / 2 : room.width() / 2 + scroll.x(),
                             zoomed.height() < room.height() ? zoomed.height() / 2 : room.height() / 2 + scroll.y()};
    PTzPOINT picture = {};
    ZoomedToPicture(&centre, &picture);
    return picture;
}

void CTamsleyView::CentreOnPicturePoint(PTzPOINT picture)
{
    PTzPOINT zoomed;
    if (PictureToZoomed(&picture, &zoomed) != 0)
        return;
    const QSize size = GetZoomedSize();
    const QSize room = viewport()->size();
    const auto place = [](int64_t point, int extent, int room) {
        return extent > room ? int(std::clamp<int64_t>(point - room / 2, 0, extent - room)) : 0;
    };
    horizontalScrollBar()->setValue(place(zoomed.x, size.width(), room.width()));
    verticalScrollBar()->setValue(place(zoomed.y, size.height(), room.height()));
}

void CTamsleyView::UpdateScrollSizes()
{
    // A picture that fits the area the scroll bars would leave free needs none, even
    // while they still show.
    const QSize zoomed = GetZoomedSize();
    const QSize largest = maximumViewportSize();
    const bool fits = zoomed.width() <= largest.width() && zoomed.height() <= largest.height();
    const QSize room = fits ? largest : viewport()->size();
    const auto size = [](QScrollBar* bar, int total, int client) {
        bar->setRange(0, std::max(0, total - client));
        bar->setPageStep(std::min(client / 3, total));
        bar->setSingleStep(5);
    };
    size(horizontalScrollBar(), zoomed.width(), room.width());
    size(verticalScrollBar(), zoomed.height(), room.height());
}
