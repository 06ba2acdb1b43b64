// Rectangles, points, tile walks, zoom rates, angles and byte order shared by every
// deliverable. Rectangles exclude their right and bottom edges; coordinates that would
// leave the 32-bit range saturate at its ends.
#pragma once

#include <cstdint>

#include "corvane_export.h"

struct PTzRECT {
    int32_t left, top, right, bottom;
};

struct PTzPOINT {
    int32_t x, y;
};

struct _tagPTzSIZE {
    int32_t cx, cy;
};

struct _tagPTzOFFSET {
    int32_t x, y;
};

// A zoom factor numerator / denominator; it is never reduced to lowest terms.
struct _tagPTzRATE {
    int32_t numerator;
    uint32_t denominator;
};

// A walk over a rectangle in tiles, prepared by PTzRectEnumFill.
struct _tagPTzRECTENUM {
    int32_t left, top, right, bottom;
    int32_t tileWidth, tileHeight;
    int32_t x, y;  // top-left corner of the next tile
};

// A coordinate formed in 64 bits, pinned to the 32-bit range.
inline int32_t PTzSaturate32(int64_t value)
{
    return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : int32_t(value);
}

// The width and height of a rectangle in 64 bits, negative when it is inverted: a
// caller's rectangle may span the whole 32-bit range, which right - left in 32 bits
// cannot hold.
inline int64_t PTzRectWidth(const PTzRECT& rect)
{
    return int64_t(rect.right) - rect.left;
}
inline int64_t PTzRectHeight(const PTzRECT& rect)
{
    return int64_t(rect.bottom) - rect.top;
}

// 1 unless left < right and top < bottom (1 with -1 stored for null).
CORVANE_C int PTzRectEmpty(const PTzRECT* rect);
// 1 when all four values are equal; 0 when not or for a null argument.
CORVANE_C int PTzRectEqual(const PTzRECT* a, const PTzRECT* b);
// out = {x, y, x + cx, y + cy}: 0, or -1 stored for a null argument.
CORVANE_C int PTzRectByOffsetAndSize(PTzRECT* out, const _tagPTzOFFSET* offset,
                                     const _tagPTzSIZE* size);
CORVANE_C int PTzRectCreateByOffsetAndSize(PTzRECT* out, const _tagPTzOFFSET* offset,
                                           const _tagPTzSIZE* size);
// out = rect moved by the offset: 0, or -1 stored for a null argument.
CORVANE_C int PTzRectOffset(const PTzRECT* rect, const _tagPTzOFFSET* offset, PTzRECT* out);
// out = rect in the frame's own coordinates: 1, or 0 with -1 stored for a null argument.
CORVANE_C int PTzRectGetClientRect(const PTzRECT* frame, const PTzRECT* rect, PTzRECT* out);
// 1 and the intersection; 0 and an all-zero out when it is empty; 0 with -1 stored
// (out untouched) for a null argument.
CORVANE_C int PTzRectIntersect(const PTzRECT* a, const PTzRECT* b, PTzRECT* out);
// The bounding box of both, ignoring an empty one (both empty: b): 0, or -1 for null.
CORVANE_C int PTzRectBounds(const PTzRECT* a, const PTzRECT* b, PTzRECT* out);
// Grow the rectangle to contain the pixel, point or other rectangle, whether or not it
// was empty: 0, or -1 stored for a null argument.
CORVANE_C int PTzRectLimitValue(PTzRECT* rect, int32_t x, int32_t y);
CORVANE_C int PTzRectLimitPoint(PTzRECT* rect, const PTzPOINT* point);
CORVANE_C int PTzRectLimitRect(PTzRECT* rect, const PTzRECT* other);
// 1 when left <= x < right and top <= y < bottom; 0 otherwise or with -1 stored for null.
CORVANE_C int PTzRectPointIn(const PTzRECT* rect, const PTzPOINT* point);

// Starts a tile walk, with 256 x 256 tiles when size is null: 0, or -1 stored for a
// null argument or a tile size of 0 or less. An empty rectangle gives no tiles.
CORVANE_C int PTzRectEnumFill(const PTzRECT* rect, _tagPTzRECTENUM* walk, const _tagPTzSIZE* size);
// 1 and the current tile clipped to the rectangle, then advances; 0 when the walk is
// over (0 with -1 stored for a null argument).
CORVANE_C int PTzRectEnumGetCurrent(_tagPTzRECTENUM* walk, PTzRECT* out);

// Distance between two points rounded to the nearest integer; -1 stored and returned
// for a null argument.
CORVANE_C int64_t PTzGetLineLength(const PTzPOINT* p, const PTzPOINT* q);
// Picture coordinate a in view coordinates at the given zoom rate, and back; 0 when the
// numerator or denominator is 0. Negative coordinates round down.
CORVANE_C int32_t PTzGetMulValue(int32_t a, _tagPTzRATE rate);
CORVANE_C int32_t PTzGetDivValue(int32_t a, _tagPTzRATE rate);

// In radians.
CORVANE_C double PTzSin(double x);
CORVANE_C double PTzCos(double x);
CORVANE_C double PTzTan(double x);
CORVANE_C double PTzArcSin(double x);
CORVANE_C double PTzArcCos(double x);
CORVANE_C double PTzArcTan(double x);
// In degrees.
CORVANE_C double PTzSinAngle(double degrees);
CORVANE_C double PTzCosAngle(double degrees);
CORVANE_C double PTzTanAngle(double degrees);
CORVANE_C double PTzArcSinAngle(double x);
CORVANE_C double PTzArcCosAngle(double x);
CORVANE_C double PTzArcTanAngle(double x);

// Resolution in dots per inch to dots per metre, and back.
CORVANE_C double PTzDPItoDPM(double x);
CORVANE_C double PTzDPMtoDPI(double x);

CORVANE_C uint16_t PTzReorder16(uint16_t value);
CORVANE_C uint32_t PTzReorder32(uint32_t value);
