// Counting the outline's pixels in the four diagonal quadrants around each one, straight
// from the mask's bits; then one answer for each straight run of pixels.
#include "app/shell/outline_direction.h"

#include <algorithm>
#include <bit>

namespace {

// Two picture pixels at the zoom, in zoomed pixels: a zoomed staircase counts as the
// edge it draws.
int32_t Reach(_tagITzZOOMLEVEL zoom)
{
    const uint32_t denominator = std::max<uint32_t>(zoom.denominator, 1);
    const uint32_t scale = std::clamp<uint32_t>((zoom.numerator + denominator - 1) / denominator, 1, 64);
    return int32_t(2 * scale);
}

// The set bits of a row of the mask in columns [from, to).
size_t CountIn(const OutlineMask& mask, int32_t row, int32_t from, int32_t to)
{
    if (row < 0 || row >= mask.height)
        return 0;
    from = std::max(from, 0);
    to = std::min(to, mask.width);
    const uint8_t* line = mask.bits + size_t(row) * size_t(mask.stride);
    const auto bit = [line](int32_t x) { return size_t(line[x >> 3] >> (7 - (x & 7))) & 1; };
    size_t count = 0;
    int32_t x = from;
    for (; x < to && (x & 7); ++x)
        count += bit(x);
    for (; x + 8 <= to; x += 8)
        count += size_t(std::popcount(line[x >> 3]));
    for (; x < to; ++x)
        count += bit(x);
    return count;
}

// Whether the outline runs from below left to above right through the pixel: outline
// pixels lie within the reach both above right and below left of it, and more of them
// than above left and below right. (A corner of a rectangle has pixels in one of the
// two quadrants only.)
bool RisesAround(const OutlineMask& mask, int32_t row, int32_t column, int32_t reach)
{
    // The pixels within the reach of one quadrant: rows above (-1) or below (+1), columns
    // left (-1) or right (+1).
    const auto quadrant = [&](int32_t vertical, int32_t horizontal) {
        const int32_t from = horizontal < 0 ? column - reach : column + 1;
        size_t count = 0;
        for (int32_t dy = 1; dy <= reach; ++dy)
            count += CountIn(mask, row + vertical * dy, from, from + reach);
        return count;
    };
    const size_t aboveRight = quadrant(-1, +1);
    if (aboveRight == 0)
        return false;
    const size_t belowLeft = quadrant(+1, -1);
    return belowLeft > 0 && aboveRight + belowLeft > quadrant(-1, -1) + quadrant(+1, +1);
}

// A straight run of outline pixels and how many of them rise.
struct Run {
    size_t length = 0;
    size_t rising = 0;
    bool Rises() const { return 2 * rising >= length; }
};

}  // namespace

OutlineRows ReadOutlineRows(const OutlineMask& mask)
{
    size_t count = 0;
    for (int32_t row = 0; row < mask.height; ++row)
        count += CountIn(mask, row, 0, mask.width);
    OutlineRows rows;
    rows.columns.reserve(count);
    rows.rowStarts.reserve(size_t(mask.height) + 1);
    for (int32_t row = 0; row < mask.height; ++row) {
        rows.rowStarts.push_back(rows.columns.size());
        const uint8_t* line = mask.bits + size_t(row) * size_t(mask.stride);
        for (int32_t byte = 0; byte < (mask.width + 7) / 8; ++byte) {
            // Most bytes hold no outline: only set bits are visited, leftmost first.
            for (unsigned bits = line[byte]; bits != 0;) {
                const int lead = std::countl_zero(uint8_t(bits));
                const int32_t column = byte * 8 + lead;
                if (column < mask.width)
                    rows.columns.push_back(column);
                bits &= ~(0x80u >> lead);
            }
        }
    }
    rows.rowStarts.push_back(rows.columns.size());
    return rows;
}

std::vector<uint8_t> FindRisingOutline(const OutlineMask& mask, const OutlineRows& rows, _tagITzZOOMLEVEL zoom)
{
    const int32_t reach = Reach(zoom);
    const size_t count = rows.columns.size();
    std::vector<uint8_t> around(count);
    // Vertical runs, numbered from the top: a pixel joins the run of the pixel above it,
    // found walking the row above alongside.
    std::vector<size_t> verticalOf(count);
    std::vector<Run> vertical;
    for (int32_t row = 0; row < mask.height; ++row) {
        size_t above = row > 0 ? rows.rowStarts[size_t(row) - 1] : 0;
        const size_t aboveEnd = row > 0 ? rows.rowStarts[size_t(row)] : 0;
        for (size_t i = rows.rowStarts[size_t(row)]; i < rows.rowStarts[size_t(row) + 1]; ++i) {
            const int32_t column = rows.columns[i];
            around[i] = RisesAround(mask, row, column, reach);
            while (above < aboveEnd && rows.columns[above] < column)
                ++above;
            if (above < aboveEnd && rows.columns[above] == column) {
                verticalOf[i] = verticalOf[above];
            } else {
                verticalOf[i] = vertical.size();
                vertical.emplace_back();
            }
            Run& run = vertical[verticalOf[i]];
            ++run.length;
            run.rising += around[i];
        }
    }
    // Each pixel takes the answer of the longer of its horizontal and vertical runs.
    std::vector<uint8_t> rising(count);
    for (int32_t row = 0; row < mask.height; ++row) {
        const size_t end = rows.rowStarts[size_t(row) + 1];
        for (size_t first = rows.rowStarts[size_t(row)]; first < end;) {
            size_t last = first + 1;
            while (last < end && rows.columns[last] == rows.columns[last - 1] + 1)
                ++last;
            Run horizontal;
            horizontal.length = last - first;
            for (size_t i = first; i < last; ++i)
                horizontal.rising += around[i];
            for (size_t i = first; i < last; ++i) {
                const Run& upright = vertical[verticalOf[i]];
                rising[i] = (upright.length > horizontal.length ? upright : horizontal).Rises();
            }
            first = last;
        }
    }
    return rising;
}
