// Counting the outline's pixels in the four diagonal quadrants around each one, by binary
// search in the rows' sorted columns; then one answer for each straight run.
#include "app/shell/outline_direction.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();

// Two picture pixels at the zoom, in zoomed pixels: a zoomed staircase counts as the
// edge it draws.
int32_t Reach(_tagITzZOOMLEVEL zoom)
{
    const uint32_t denominator = std::max<uint32_t>(zoom.denominator, 1);
    const uint32_t scale = std::clamp<uint32_t>((zoom.numerator + denominator - 1) / denominator, 1, 64);
    return int32_t(2 * scale);
}

class RowSearch {
public:
    explicit RowSearch(const OutlineRows& rows) : m_rows(rows) {}

    // The outline pixels of a row in columns [from, to).
    size_t CountIn(int32_t row, int32_t from, int32_t to) const
    {
        if (!HasRow(row))
            return 0;
        return size_t(std::lower_bound(Begin(row), End(row), to) - std::lower_bound(Begin(row), End(row), from));
    }

    // The index of the outline pixel at (row, column), or kNone.
    size_t Find(int32_t row, int32_t column) const
    {
        if (!HasRow(row))
            return kNone;
        const auto found = std::lower_bound(Begin(row), End(row), column);
        return found != End(row) && *found == column ? size_t(found - m_rows.columns.begin()) : kNone;
    }

private:
    bool HasRow(int32_t row) const { return row >= 0 && size_t(row) + 1 < m_rows.rowStarts.size(); }
    std::vector<int32_t>::const_iterator Begin(int32_t row) const
    {
        return m_rows.columns.begin() + std::ptrdiff_t(m_rows.rowStarts[size_t(row)]);
    }
    std::vector<int32_t>::const_iterator End(int32_t row) const
    {
        return m_rows.columns.begin() + std::ptrdiff_t(m_rows.rowStarts[size_t(row) + 1]);
    }

    const OutlineRows& m_rows;
};

// Whether the outline runs from below left to above right through the pixel: outline
// pixels lie within the reach both above right and below left of it, and more of them
// than above left and below right. (A corner of a rectangle has pixels in one of the
// two quadrants only.)
bool RisesAround(const RowSearch& search, int32_t row, int32_t column, int32_t reach)
{
    size_t aboveRight = 0, belowLeft = 0, aboveLeft = 0, belowRight = 0;
    for (int32_t dy = 1; dy <= reach; ++dy) {
        aboveRight += search.CountIn(row - dy, column + 1, column + reach + 1);
        belowLeft += search.CountIn(row + dy, column - reach, column);
        aboveLeft += search.CountIn(row - dy, column - reach, column);
        belowRight += search.CountIn(row + dy, column + 1, column + reach + 1);
    }
    return aboveRight > 0 && belowLeft > 0 && aboveRight + belowLeft > aboveLeft + belowRight;
}

// A straight run of outline pixels and how many of them rise.
struct Run {
    size_t length = 0;
    size_t rising = 0;
    bool Rises() const { return 2 * rising >= length; }
};

}  // namespace

std::vector<uint8_t> FindRisingOutline(const OutlineRows& rows, _tagITzZOOMLEVEL zoom)
{
    const RowSearch search(rows);
    const int32_t reach = Reach(zoom);
    const int32_t height = int32_t(rows.rowStarts.size()) - 1;
    const size_t count = rows.columns.size();
    std::vector<uint8_t> around(count);
    // Vertical runs, numbered from the top: a pixel joins the run of the pixel above it.
    std::vector<size_t> verticalOf(count);
    std::vector<Run> vertical;
    for (int32_t row = 0; row < height; ++row) {
        for (size_t i = rows.rowStarts[size_t(row)]; i < rows.rowStarts[size_t(row) + 1]; ++i) {
            const int32_t column = rows.columns[i];
            around[i] = RisesAround(search, row, column, reach);
            const size_t above = search.Find(row - 1, column);
            if (above != kNone) {
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
    for (int32_t row = 0; row < height; ++row) {
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
