// The ellipse scan. Lengths are in sixteenths of a pixel: centre (cx, cy), radii rx, ry.
// A pixel row's outline runs, on each side, from the half width at its top line to the
// half width at its bottom line; where it crosses a vertical pixel line its height comes
// from the half height there. Squares of radii reach 2^54, so products are 128 bits.
#include "engine/pixels/arc_fill.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/crossing_chain.h"
#include "engine/pixels/layer_image.h"

namespace {

using u128 = unsigned __int128;

// round(sqrt(q)), rounding halves up.
int64_t RoundedSqrt(uint64_t q)
{
    uint64_t s = uint64_t(std::sqrt(double(q)));
    while (s > 0 && u128(s) * s > q)
        --s;
    while (u128(s + 1) * (s + 1) <= q)
        ++s;
    return int64_t(q > s * s + s ? s + 1 : s);
}

// The half extent along one axis at distance d from the centre along the other, of the
// ellipse with radius `along` on that axis and `across` on the other:
// round(sqrt((across^2 - d^2) x along^2 / across^2)); 0 outside.
int64_t HalfExtent(int64_t d, int64_t across, int64_t along)
{
    const u128 acrossSquared = u128(across) * u128(across), dSquared = u128(d < 0 ? -d : d) * u128(d < 0 ? -d : d);
    if (dSquared >= acrossSquared)
        return 0;
    const u128 alongSquared = u128(along) * u128(along);
    return RoundedSqrt(uint64_t((acrossSquared - dSquared) * alongSquared / acrossSquared));
}

uint8_t ArcSides(uint8_t pixelSides)
{
    uint8_t sides = 0;
    if (pixelSides & ITzPIXELSIDE_TOP)
        sides |= ITzARCSIDE_TOP;
    if (pixelSides & ITzPIXELSIDE_BOTTOM)
        sides |= ITzARCSIDE_BOTTOM;
    if (pixelSides & ITzPIXELSIDE_LEFT)
        sides |= ITzARCSIDE_LEFT;
    if (pixelSides & ITzPIXELSIDE_RIGHT)
        sides |= ITzARCSIDE_RIGHT;
    return sides;
}

void SetPosition(_tagITzCROSSPIXEL& record, const lumatra::PieceEnd& end)
{
    switch (end.side) {
    case ITzPIXELSIDE_TOP:
        record.top = end.position;
        break;
    case ITzPIXELSIDE_BOTTOM:
        record.bottom = end.position;
        break;
    case ITzPIXELSIDE_LEFT:
        record.left = end.position;
        break;
    default:
        record.right = end.position;
        break;
    }
}

}  // namespace

ITzArcFill::ITzArcFill() = default;
ITzArcFill::~ITzArcFill() = default;

int ITzArcFill::Fill(const PTzRECT* ellipse, const PTzRECT* clip)
{
    if (!ellipse || !clip)
        return ITzERR_INVALID;
    const int64_t width = int64_t(ellipse->right) - ellipse->left, height = int64_t(ellipse->bottom) - ellipse->top;
    if (width > ITzARC_MAX_SIDE || height > ITzARC_MAX_SIDE)
        return ITzERR_INVALID;
    if (width <= 0 || height <= 0 || PTzRectEmpty(clip))
        return 0;
    m_list.reset(new (std::nothrow) ITzCrossPixelList);
    if (!m_list)
        return PTzERR_OUT_OF_MEMORY;
    Scan(*ellipse, *clip);
    if (m_list->Failed())
        return PTzERR_OUT_OF_MEMORY;
    return FillCallback(m_list.get());
}

void ITzArcFill::Scan(const PTzRECT& ellipse, const PTzRECT& clip)
{
    constexpr int64_t kHalf = ITzSUBPIXELS / 2;
    const int64_t cx = (int64_t(ellipse.left) + ellipse.right) * kHalf;
    const int64_t cy = (int64_t(ellipse.top) + ellipse.bottom) * kHalf;
    const int64_t rx = (int64_t(ellipse.right) - ellipse.left) * kHalf;
    const int64_t ry = (int64_t(ellipse.bottom) - ellipse.top) * kHalf;
    const auto piece = [&](int32_t row, int32_t column, lumatra::PieceEnd a, lumatra::PieceEnd b) {
        _tagITzCROSSPIXEL record = {column, row, 0, 0, 0, 0, ArcSides(uint8_t(a.side | b.side)), 0, {}};
        SetPosition(record, a);
        SetPosition(record, b);
        m_list->AddCrossing(record);
    };
    // Left of the clip only the parity of the row's line crossings counts; it goes to
    // the column just left of the clip, where no crossing of its own lies.
    const auto leftOf = [&](int32_t row, uint8_t sides) {
        if (sides)
            m_list->AddCrossing({clip.left - 1, row, 0, 0, 0, 0, ArcSides(sides), 0, {}});
    };
    const int32_t first = std::max(ellipse.top, clip.top), last = std::min(ellipse.bottom, clip.bottom);
    for (int32_t row = first; row < last && !m_list->Failed(); ++row) {
        const int64_t top = int64_t(row) * ITzSUBPIXELS, bottom = top + ITzSUBPIXELS;
        const int64_t m = HalfExtent(top - cy, ry, rx), o = HalfExtent(bottom - cy, ry, rx);
        // Rows above the centre curve up to it, rows below down from it; the row that
        // holds the centre line has equal half widths and no vertical line between.
        const int64_t sign = bottom <= cy ? -1 : 1;
        const auto yAt = [&](int64_t x) { return cy + sign * HalfExtent(x - cx, rx, ry); };
        lumatra::WalkRowChain(row, cx - m, cx - o, clip, yAt, piece, leftOf);
        lumatra::WalkRowChain(row, cx + m, cx + o, clip, yAt, piece, leftOf);
    }
}

int ITzArcFill::FillCallback(ITzCrossPixelList* list)
{
    if (list)
        list->ComputeCoverage();
    return 0;
}

ITzLayerArcFill::ITzLayerArcFill() = default;
ITzLayerArcFill::~ITzLayerArcFill() = default;

void ITzLayerArcFill::SetColor(const _tagPTzCOLOR* colour)
{
    m_colour = colour ? *colour : _tagPTzCOLOR{};
}

int ITzLayerArcFill::FillCallback(ITzCrossPixelList* list)
{
    ITzArcFill::FillCallback(list);
    if (!m_layer)
        return ITzERR_INVALID;
    return m_layer->FillDataWithCrossData(list, &m_colour);
}
