// Rectangle arithmetic, the tile walk, zoom-rate scaling, angles and byte order.
#include "geometry.h"

#include <algorithm>
#include <cmath>

#include "error_codes.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int32_t kDefaultTile = 256;

bool isEmpty(const PTzRECT& r)
{
    return !(r.left < r.right && r.top < r.bottom);
}

// Coordinate sums are formed in 64 bits and pinned to the 32-bit range, so extreme
// input gives an extreme result instead of wrapping.
PTzRECT moved(const PTzRECT& r, int64_t dx, int64_t dy)
{
    return {PTzSaturate32(r.left + dx), PTzSaturate32(r.top + dy), PTzSaturate32(r.right + dx),
            PTzSaturate32(r.bottom + dy)};
}

uint64_t magnitude(int64_t value)
{
    return value < 0 ? 0 - uint64_t(value) : uint64_t(value);
}

// A signed value kept as sign and magnitude: the rate products reach 2^64 in
// magnitude, one bit more than int64_t holds.
struct Wide {
    bool negative;
    uint64_t magnitude;
};

Wide wide(int64_t value)
{
    return {value < 0, magnitude(value)};
}

// Both factors are below 2^32 in magnitude, so the product fits 64 unsigned bits.
Wide product(int64_t x, int64_t y)
{
    return {(x < 0) != (y < 0), magnitude(x) * magnitude(y)};
}

// c / divisor truncated towards zero, minus 1 for a negative coordinate a so that
// negative coordinates round down like positive ones.
int32_t scaled(Wide c, int64_t divisor, int32_t a)
{
    const uint64_t quotient = c.magnitude / magnitude(divisor);  // below 2^63
    int64_t result = (c.negative != (divisor < 0)) ? -int64_t(quotient) : int64_t(quotient);
    if (a < 0)
        --result;
    return PTzSaturate32(result);
}

}  // namespace

CORVANE_C int PTzRectEmpty(const PTzRECT* rect)
{
    if (!rect) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 1;
    }
    return isEmpty(*rect) ? 1 : 0;
}

CORVANE_C int PTzRectEqual(const PTzRECT* a, const PTzRECT* b)
{
    if (!a || !b) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

CORVANE_C int PTzRectByOffsetAndSize(PTzRECT* out, const _tagPTzOFFSET* offset,
                                     const _tagPTzSIZE* size)
{
    if (!out || !offset || !size)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    *out = {offset->x, offset->y, PTzSaturate32(int64_t(offset->x) + size->cx),
            PTzSaturate32(int64_t(offset->y) + size->cy)};
    return 0;
}

CORVANE_C int PTzRectCreateByOffsetAndSize(PTzRECT* out, const _tagPTzOFFSET* offset,
                                           const _tagPTzSIZE* size)
{
    return PTzRectByOffsetAndSize(out, offset, size);
}

CORVANE_C int PTzRectOffset(const PTzRECT* rect, const _tagPTzOFFSET* offset, PTzRECT* out)
{
    if (!rect || !offset || !out)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    *out = moved(*rect, offset->x, offset->y);
    return 0;
}

CORVANE_C int PTzRectGetClientRect(const PTzRECT* frame, const PTzRECT* rect, PTzRECT* out)
{
    if (!frame || !rect || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    *out = moved(*rect, -int64_t(frame->left), -int64_t(frame->top));
    return 1;
}

CORVANE_C int PTzRectIntersect(const PTzRECT* a, const PTzRECT* b, PTzRECT* out)
{
    if (!a || !b || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const PTzRECT common{std::max(a->left, b->left), std::max(a->top, b->top),
                         std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (isEmpty(common)) {
        *out = {};
        return 0;
    }
    *out = common;
    return 1;
}

CORVANE_C int PTzRectBounds(const PTzRECT* a, const PTzRECT* b, PTzRECT* out)
{
    if (!a || !b || !out)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (isEmpty(*a)) {
        *out = *b;
        return 0;
    }
    if (isEmpty(*b)) {
        *out = *a;
        return 0;
    }
    *out = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
            std::max(a->bottom, b->bottom)};
    return 0;
}

CORVANE_C int PTzRectLimitValue(PTzRECT* rect, int32_t x, int32_t y)
{
    if (!rect)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    rect->left = std::min(rect->left, x);
    rect->top = std::min(rect->top, y);
    rect->right = std::max(rect->right, PTzSaturate32(int64_t(x) + 1));
    rect->bottom = std::max(rect->bottom, PTzSaturate32(int64_t(y) + 1));
    return 0;
}

CORVANE_C int PTzRectLimitPoint(PTzRECT* rect, const PTzPOINT* point)
{
    if (!rect || !point)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return PTzRectLimitValue(rect, point->x, point->y);
}

CORVANE_C int PTzRectLimitRect(PTzRECT* rect, const PTzRECT* other)
{
    if (!rect || !other)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    rect->left = std::min(rect->left, other->left);
    rect->top = std::min(rect->top, other->top);
    rect->right = std::max(rect->right, other->right);
    rect->bottom = std::max(rect->bottom, other->bottom);
    return 0;
}

CORVANE_C int PTzRectPointIn(const PTzRECT* rect, const PTzPOINT* point)
{
    if (!rect || !point) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    return rect->left <= point->x && point->x < rect->right && rect->top <= point->y &&
           point->y < rect->bottom;
}

CORVANE_C int PTzRectEnumFill(const PTzRECT* rect, _tagPTzRECTENUM* walk, const _tagPTzSIZE* size)
{
    if (!rect || !walk)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    const _tagPTzSIZE tile = size ? *size : _tagPTzSIZE{kDefaultTile, kDefaultTile};
    if (tile.cx <= 0 || tile.cy <= 0)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    *walk = {rect->left, rect->top, rect->right, rect->bottom,
             tile.cx,    tile.cy,   rect->left,  rect->top};
    return 0;
}

CORVANE_C int PTzRectEnumGetCurrent(_tagPTzRECTENUM* walk, PTzRECT* out)
{
    if (!walk || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    // x >= right also ends the walk of an empty or inverted rectangle, and a record
    // with no tile size (never made by PTzRectEnumFill) must not walk forever.
    if (walk->y >= walk->bottom || walk->x >= walk->right || walk->tileWidth <= 0 ||
        walk->tileHeight <= 0)
        return 0;
    // Formed in 64 bits: a tile may reach past the end of the coordinate range.
    const auto clipped = [](int32_t from, int32_t extent, int32_t end) {
        return int32_t(std::min<int64_t>(int64_t(from) + extent, end));
    };
    const int32_t tileRight = clipped(walk->x, walk->tileWidth, walk->right);
    const int32_t tileBottom = clipped(walk->y, walk->tileHeight, walk->bottom);
    *out = {walk->x, walk->y, tileRight, tileBottom};
    if (tileRight == walk->right) {
        walk->x = walk->left;
        walk->y = tileBottom;
    } else {
        walk->x = tileRight;
    }
    return 1;
}

CORVANE_C int64_t PTzGetLineLength(const PTzPOINT* p, const PTzPOINT* q)
{
    if (!p || !q)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    // Coordinates come in sixteenths of a pixel: their squares leave 32 bits early.
    const uint64_t dx = magnitude(int64_t(q->x) - p->x);
    const uint64_t dy = magnitude(int64_t(q->y) - p->y);
    return int64_t(std::sqrt(double(dx * dx) + double(dy * dy)) + 0.5);
}

// Enlarging: c = 2an + d; otherwise c = n(2a + 1); the result is c / 2d.
CORVANE_C int32_t PTzGetMulValue(int32_t a, _tagPTzRATE rate)
{
    const int64_t n = rate.numerator;
    const int64_t d = rate.denominator;
    if (n == 0 || d == 0)
        return 0;
    const Wide c = d < n ? wide(2 * int64_t(a) * n + d) : product(n, 2 * int64_t(a) + 1);
    return scaled(c, 2 * d, a);
}

// c = d(2a + 1); the result is c / 2n.
CORVANE_C int32_t PTzGetDivValue(int32_t a, _tagPTzRATE rate)
{
    const int64_t n = rate.numerator;
    const int64_t d = rate.denominator;
    if (n == 0 || d == 0)
        return 0;
    return scaled(product(d, 2 * int64_t(a) + 1), 2 * n, a);
}

CORVANE_C double PTzSin(double x)
{
    return std::sin(x);
}

CORVANE_C double PTzCos(double x)
{
    return std::cos(x);
}

CORVANE_C double PTzTan(double x)
{
    return std::tan(x);
}

CORVANE_C double PTzArcSin(double x)
{
    return std::asin(x);
}

CORVANE_C double PTzArcCos(double x)
{
    return std::acos(x);
}

CORVANE_C double PTzArcTan(double x)
{
    return std::atan(x);
}

CORVANE_C double PTzSinAngle(double degrees)
{
    return std::sin(degrees * kPi / 180);
}

CORVANE_C double PTzCosAngle(double degrees)
{
    return std::cos(degrees * kPi / 180);
}

CORVANE_C double PTzTanAngle(double degrees)
{
    return std::tan(degrees * kPi / 180);
}

CORVANE_C double PTzArcSinAngle(double x)
{
    return std::asin(x) * 180 / kPi;
}

CORVANE_C double PTzArcCosAngle(double x)
{
    return std::acos(x) * 180 / kPi;
}

CORVANE_C double PTzArcTanAngle(double x)
{
    return std::atan(x) * 180 / kPi;
}

CORVANE_C double PTzDPItoDPM(double x)
{
    return x * 100 / 2.54;
}

CORVANE_C double PTzDPMtoDPI(double x)
{
    return x * 2.54 / 100;
}

CORVANE_C uint16_t PTzReorder16(uint16_t value)
{
    return uint16_t(value << 8 | value >> 8);
}

CORVANE_C uint32_t PTzReorder32(uint32_t value)
{
    return value << 24 | (value & 0xFF00) << 8 | (value >> 8 & 0xFF00) | value >> 24;
}
