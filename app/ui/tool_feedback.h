// What the tools draw over the picture while a gesture runs (the marquee's shape, the
// zoom rectangle, the gradient line, the lasso's path): overlay items of the view, which
// it paints after the picture, each under its id, taken away when the gesture ends.
#pragma once

#include <QPolygon>
#include <QRect>

#include "app/shell/picture_view.h"

enum ToolOverlayId : int {
    kShapeOverlay = 1,
    kZoomOverlay = 2,
    kGradientOverlay = 3,
    kLassoOverlayFirst = 100,  // one item for each run of kLassoOverlayPoints points
};
constexpr int kLassoOverlayPoints = 256;

// A dotted line that inverts every other pixel under it, so that it shows on any picture.
CViewOverlay DottedOverlay(const QPolygon& points);
// A solid black line.
CViewOverlay SolidOverlay(const QPolygon& points);
// The closed outline of a rectangle, and the outline of the ellipse inscribed in it,
// between two corners (client coordinates).
QPolygon RectangleOutline(QPoint corner1, QPoint corner2);
QPolygon EllipseOutline(QPoint corner1, QPoint corner2);
