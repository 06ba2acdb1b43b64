// The overlays' pens and shapes.
#include "app/ui/tool_feedback.h"

#include <QPainterPath>

CViewOverlay DottedOverlay(const QPolygon& points)
{
    QPen pen(Qt::white, 0, Qt::DotLine);
    return {points, pen, QPainter::RasterOp_SourceXorDestination};
}

CViewOverlay SolidOverlay(const QPolygon& points)
{
    return {points, QPen(Qt::black, 0), QPainter::CompositionMode_SourceOver};
}

QPolygon RectangleOutline(QPoint corner1, QPoint corner2)
{
    return QPolygon({corner1, QPoint(corner2.x(), corner1.y()), corner2, QPoint(corner1.x(), corner2.y()), corner1});
}

QPolygon EllipseOutline(QPoint corner1, QPoint corner2)
{
    QPainterPath path;
    path.addEllipse(QRectF(corner1, corner2).normalized());
    return path.toFillPolygon().toPolygon();
}
