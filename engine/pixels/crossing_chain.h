// The walk of an outline through one pixel row, shared by the arc and polygon scans: the
// outline enters the row on its top line and leaves on its bottom line, and the pieces
// between its crossings of the vertical pixel lines each lie in one pixel. Only pieces
// inside the clip are visited; those left of it only pass on which of the row's
// horizontal lines they touch, so far-off outlines cost nothing. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/anti_line_math.h"

namespace lumatra {

// Where a piece of an outline meets its pixel's border: the side (ITzPIXELSIDE) and the
// position along it in sixteenths (x on the top and bottom sides, y on the others).
struct PieceEnd {
    uint8_t side;
    uint8_t position;
};

// Floor division by 16 of a coordinate in sixteenths.
inline int64_t PixelOf(int64_t sixteenths)
{
    return sixteenths >> 4;
}

// Walks the outline of row `row` from (xTop, top line) to (xBottom, bottom line), all in
// sixteenths; yAt(x) gives the outline's height where it crosses the vertical line x.
// For each piece inside `clip` (pixels) whose ends meet different sides,
// piece(row, column, first end, second end) runs, the first end nearer the top line. For
// the part left of the clip, leftOf(row, sides) runs once with the ITzPIXELSIDE_TOP and
// ITzPIXELSIDE_BOTTOM bits of the horizontal lines it touches an odd number of times.
template <typename YAt, typename Piece, typename LeftOf>
void WalkRowChain(int32_t row, int64_t xTop, int64_t xBottom, const PTzRECT& clip, YAt&& yAt, Piece&& piece,
                  LeftOf&& leftOf)
{
    const int64_t top = int64_t(row) * ITzSUBPIXELS, bottom = top + ITzSUBPIXELS;
    const int64_t left = int64_t(clip.left) * ITzSUBPIXELS, right = int64_t(clip.right) * ITzSUBPIXELS;
    const auto lineBits = [&](int64_t y) -> uint8_t {
        return y == top ? ITzPIXELSIDE_TOP : y == bottom ? ITzPIXELSIDE_BOTTOM : 0;
    };
    // The outline falls monotonically through the row; rounding may not reverse it.
    int64_t lastY = top;
    const auto pointAt = [&](int64_t x, int64_t& y) {
        y = std::clamp<int64_t>(yAt(x), lastY, bottom);
        lastY = y;
    };
    const auto emit = [&](int64_t ax, int64_t ay, int64_t bx, int64_t by) {
        const int64_t column = PixelOf(std::min(ax, bx));
        const int64_t x0 = column * ITzSUBPIXELS;
        const auto end = [&](int64_t x, int64_t y) -> PieceEnd {
            if (const uint8_t bits = lineBits(y))
                return {bits, uint8_t(x - x0)};
            return {uint8_t(x == x0 ? ITzPIXELSIDE_LEFT : ITzPIXELSIDE_RIGHT), uint8_t(y - top)};
        };
        const PieceEnd a = end(ax, ay), b = end(bx, by);
        if (a.side != b.side)
            piece(row, int32_t(column), a, b);
    };
    const bool rightward = xBottom >= xTop;
    const int64_t low = std::min(xTop, xBottom), high = std::max(xTop, xBottom);
    if (low >= right)
        return;
    if (high <= left) {
        leftOf(row, uint8_t(ITzPIXELSIDE_TOP | ITzPIXELSIDE_BOTTOM));
        return;
    }
    // The visited stretch runs between the clip's vertical lines where the outline
    // crosses them; the vertical lines inside it cut it into pieces.
    const int64_t from = std::max(low, left), to = std::min(high, right);
    int64_t x = rightward ? from : to, y = top;
    if (x != xTop) {
        pointAt(x, y);
        if (rightward)
            leftOf(row, uint8_t(ITzPIXELSIDE_TOP ^ lineBits(y)));
    }
    const int64_t end = rightward ? to : from;
    const int64_t endY = end == xBottom ? bottom : -1;
    if (rightward) {
        for (int64_t line = (PixelOf(x) + 1) * ITzSUBPIXELS; line < end; line += ITzSUBPIXELS) {
            int64_t lineY;
            pointAt(line, lineY);
            emit(x, y, line, lineY);
            x = line;
            y = lineY;
        }
    } else {
        for (int64_t line = (PixelOf(x - 1)) * ITzSUBPIXELS; line > end; line -= ITzSUBPIXELS) {
            int64_t lineY;
            pointAt(line, lineY);
            emit(x, y, line, lineY);
            x = line;
            y = lineY;
        }
    }
    int64_t lastPointY = bottom;
    if (endY < 0)
        pointAt(end, lastPointY);
    emit(x, y, end, lastPointY);
    if (!rightward && end != xBottom)
        leftOf(row, uint8_t(lineBits(lastPointY) ^ ITzPIXELSIDE_BOTTOM));
}

}  // namespace lumatra
