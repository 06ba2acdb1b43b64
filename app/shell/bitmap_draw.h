// Drawing engine bitmaps on the program's windows: the engine never links Qt, so the
// program draws its bitmaps itself, wrapping their pixels without a copy, and keeps its
// own 24-bit bitmaps (the view's back buffer) as QImages behind a handle.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"

class QPainter;

// Draws the bitmap with its top-left corner at the rectangle's and at most the
// rectangle's size. Mode 1 (red, green, blue), mode 2 (blue, green, red) and mode 6
// (gray) are drawn; other depths, and null arguments, draw nothing.
void ITzITzBitmapDraw(QPainter* painter, const _tagITzBITMAP* bitmap, const PTzRECT* rect);

// Draws a planar bitmap of kind 1 (red, green, blue) or 3 (alpha ignored) with its
// top-left corner at the rectangle's and at most the rectangle's size: red from plane
// 1, green from plane 2, blue from plane 3. Other kinds, missing colour planes and null
// arguments draw nothing. The print operation draws its blocks with it.
void ITzITzChannelBitmapDraw(QPainter* painter, const _tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect);

// A 24-bit bitmap of the program's own: red, green, blue in memory order (the engine's
// mode 1), rows top-down and padded to 4 bytes, so that an engine bitmap record can
// describe its pixels.
class ITzBitmap24;

// An empty (black) bitmap of the size and, through bits, its pixels: null for a null
// painter or out-pointer, a side of 0 or one beyond what a QImage holds, or when memory
// is short. The painter stands for the device the bitmap is drawn on; it is not kept.
ITzBitmap24* ITzBitmapCreat24Bits(QPainter* painter, uint32_t width, uint32_t height, void** bits);
// Frees the bitmap; null is ignored.
void ITzBitmapDestroy(ITzBitmap24* bitmap);
// Draws the bitmap's top-left part of the rectangle's size at the rectangle's corner.
// Null arguments draw nothing.
void ITzBitmapDraw(QPainter* painter, ITzBitmap24* bitmap, const PTzRECT* rect);
