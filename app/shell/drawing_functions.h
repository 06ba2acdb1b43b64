// Small drawing and conversion helpers shared by the view, the print preview, the layers
// panel, the tool front-ends and the dialogs: opacity shown as a percentage, the
// checkerboard behind transparent pixels, a rectangle outline drawn with a raster
// operation, the system's face colour and the snap of a line to multiples of 45 degrees.
// (Keeping a window on its monitor is ClampRectToMonitor, clamp_rect.h.)
#pragma once

#include <QColor>
#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"

class QPainter;

// Opacity 0..255 as the nearest percentage, and a percentage (capped at 100) as the
// nearest opacity: 0 and 255 are 0 % and 100 %, 128 is 50 %, and every percentage comes
// back from its opacity unchanged.
uint32_t OpacityToPercent(uint8_t opacity);
uint8_t PercentToOpacity(uint32_t percent);

// The colour the system paints control faces with.
QColor GetFaceColor();

// Fills the rectangle (cut to the bitmap first) of a 24-bit bitmap with the current
// colours' checkerboard, each pixel the colour record's three colour bytes in their
// order: colour 1 where (x & (2c - 1)) < c matches (y & (2c - 1)) < c, else colour 2,
// with x and y the bitmap's coordinates plus `phase`, so that a caller can anchor the
// cells to its own coordinates. c is the cell size, a power of two. Other bitmaps and a
// cell size of 0 or less draw nothing.
void DrawCheckerboard(_tagITzBITMAP* bitmap, const PTzRECT* rect, int32_t cellSize, PTzPOINT phase = {0, 0});

// How DrawXorRectangle combines its pen with what lies under it.
enum class OutlineRop {
    Copy,    // the pen's colour
    NotXor,  // not (pen xor destination): a black pen inverts, a white one leaves alone
};

// The one-pixel outline just inside the rectangle (right and bottom exclusive), each
// pixel drawn once, corners too, so that a not-xor outline drawn twice leaves the
// target as it was. Not-xor needs a raster target. 1 when drawn; 0 for a null argument,
// an empty rectangle or not-xor on another target.
int DrawXorRectangle(QPainter* painter, const PTzRECT* rect, const QColor& colour, OutlineRop rop);

// Moves the end of a line from start so that the line runs horizontally, vertically or
// diagonally, whichever of the eight directions is nearest; a vertical line (no x
// change) stays as it is. Null arguments change nothing.
void ConstrainTo45Degrees(PTzPOINT* end, const PTzPOINT* start);
