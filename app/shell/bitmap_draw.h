// Drawing engine bitmaps on the program's windows: the engine never links Qt, so the
// program draws its bitmaps itself, wrapping their pixels without a copy.
#pragma once

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"

class QPainter;

// Draws the bitmap with its top-left corner at the rectangle's and at most the
// rectangle's size. Mode 1 (red, green, blue), mode 2 (blue, green, red) and mode 6
// (gray) are drawn; other depths, and null arguments, draw nothing.
void ITzITzBitmapDraw(QPainter* painter, const _tagITzBITMAP* bitmap, const PTzRECT* rect);
