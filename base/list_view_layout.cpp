// Grid arithmetic of the list view. Positions are signed and 64-bit throughout, so an
// offset or a border smaller than half a gap never wraps, and a cell pitch of 0 counts
// as 1.
#include "list_view_layout.h"

#include <algorithm>
#include <limits>

#include "error_codes.h"

namespace {

// Far beyond any 32-bit coordinate, yet small enough that sums of a few stay exact.
constexpr uint64_t kSpanLimit = uint64_t(1) << 40;

uint32_t nonNegative(int32_t value)
{
    return value < 0 ? 0 : uint32_t(value);
}

int64_t pitchOf(uint32_t item, uint32_t space)
{
    return std::max<int64_t>(1, int64_t(item) + space);
}

// cells x pitch, saturated at kSpanLimit.
int64_t span(uint64_t cells, uint64_t pitch)
{
    if (cells != 0 && pitch > kSpanLimit / cells)
        return int64_t(kSpanLimit);
    return int64_t(cells * pitch);
}

int64_t floorDiv(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// The cells [first, last] along one axis that the view range [from, to] touches,
// clamped to the grid's cells; false when none.
bool touchedCells(int64_t from, int64_t to, int64_t offset, uint32_t border, uint32_t item,
                  uint32_t space, uint32_t cells, int64_t* first, int64_t* last)
{
    const int64_t pitch = pitchOf(item, space);
    *first = floorDiv(int64_t(space) + from + offset - border, pitch);
    *last = floorDiv(int64_t(space) + to + offset - border, pitch);
    if (*first >= int64_t(cells) || *last < 0)
        return false;
    *first = std::max<int64_t>(*first, 0);
    *last = std::min<int64_t>(*last, int64_t(cells) - 1);
    return true;
}

}  // namespace

PTzListViewBase::~PTzListViewBase() = default;

void PTzListViewBase::SetCount(uint32_t count)
{
    if (count == m_count)
        return;
    m_count = count;
    CountChanged();
}

uint32_t PTzListViewBase::GetCount()
{
    return m_count;
}

void PTzListViewBase::SetWidthFixed(int fixed)
{
    const uint32_t value = fixed != 0;
    if (value == m_widthFixed)
        return;
    m_widthFixed = value;
    FixChanged();
}

int PTzListViewBase::IsWidthFixed()
{
    return int(m_widthFixed);
}

int PTzListViewBase::SetListSize(const _tagPTzSIZE* size)
{
    if (!size)
        return PTzFailWithZero();
    SetDisplayWidth(nonNegative(size->cx));
    SetDisplayHeight(nonNegative(size->cy));
    return 1;
}

int PTzListViewBase::GetListSize(_tagPTzSIZE* out)
{
    if (!out)
        return PTzFailWithZero();
    *out = {PTzSaturate32(m_displayWidth), PTzSaturate32(m_displayHeight)};
    return 1;
}

int PTzListViewBase::SetListDisplayOffset(const _tagPTzOFFSET* offset)
{
    if (!offset)
        return PTzFailWithZero();
    const _tagPTzOFFSET next = m_widthFixed ? _tagPTzOFFSET{0, offset->y} : _tagPTzOFFSET{offset->x, 0};
    if (next.x != m_offset.x || next.y != m_offset.y) {
        m_offset = next;
        DisplayOffsetChanged();
        UpdateView();
    }
    return 1;
}

int PTzListViewBase::GetListDisplayOffset(_tagPTzOFFSET* out)
{
    if (!out)
        return PTzFailWithZero();
    *out = m_offset;
    return 1;
}

int PTzListViewBase::SetListSpace(const _tagPTzSIZE* space)
{
    if (!space)
        return PTzFailWithZero();
    SetSpaceWidth(nonNegative(space->cx));
    SetSpaceHeight(nonNegative(space->cy));
    return 1;
}

int PTzListViewBase::GetListSpace(_tagPTzSIZE* out)
{
    if (!out)
        return PTzFailWithZero();
    *out = {PTzSaturate32(m_spaceWidth), PTzSaturate32(m_spaceHeight)};
    return 1;
}

int PTzListViewBase::SetListItemSize(const _tagPTzSIZE* size)
{
    if (!size)
        return PTzFailWithZero();
    SetItemWidth(nonNegative(size->cx));
    SetItemHeight(nonNegative(size->cy));
    return 1;
}

int PTzListViewBase::GetListItemSize(_tagPTzSIZE* out)
{
    if (!out)
        return PTzFailWithZero();
    *out = {PTzSaturate32(m_itemWidth), PTzSaturate32(m_itemHeight)};
    return 1;
}

void PTzListViewBase::SetListBorder(uint32_t border)
{
    if (border == m_border)
        return;
    const uint32_t old = m_border;
    m_border = border;
    BorderChanged(old);
}

uint32_t PTzListViewBase::GetListBorder()
{
    return m_border;
}

void PTzListViewBase::DrawRect(const PTzRECT* rect, void* context)
{
    if (!rect) {
        PTzFailWithZero();
        return;
    }
    if (PTzRectEmpty(rect))
        return;
    int64_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    if (!touchedCells(rect->top, rect->bottom, m_offset.y, m_border, m_itemHeight, m_spaceHeight,
                      m_rows, &firstRow, &lastRow) ||
        !touchedCells(rect->left, rect->right, m_offset.x, m_border, m_itemWidth, m_spaceWidth,
                      m_columns, &firstColumn, &lastColumn))
        return;
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        for (int64_t column = firstColumn; column <= lastColumn; ++column) {
            const uint64_t index = uint64_t(row) * m_columns + uint64_t(column);
            if (index >= m_count)
                return;
            PTzRECT cell{};
            GetItemRect(uint32_t(index), &cell);
            const PTzRECT view{PTzSaturate32(int64_t(cell.left) - m_offset.x), PTzSaturate32(int64_t(cell.top) - m_offset.y),
                               PTzSaturate32(int64_t(cell.right) - m_offset.x), PTzSaturate32(int64_t(cell.bottom) - m_offset.y)};
            DrawItem(uint32_t(index), &view, context);
        }
    }
}

void PTzListViewBase::DrawItem(uint32_t, const PTzRECT*, void*) {}

void PTzListViewBase::ReAlign()
{
    const bool byWidth = m_widthFixed != 0;
    const uint64_t display = byWidth ? m_displayWidth : m_displayHeight;
    const uint64_t bar = m_scrollBarShown ? GetScrollBarSize() : 0;
    const uint64_t available = display > bar ? display - bar : 0;
    const uint64_t space = byWidth ? m_spaceWidth : m_spaceHeight;
    const uint64_t item = byWidth ? m_itemWidth : m_itemHeight;
    const uint64_t border2 = 2 * uint64_t(m_border);
    uint64_t across = 1;
    if (border2 < available)
        across = std::max<uint64_t>(1, (space + available - border2) / std::max<uint64_t>(1, space + item));
    const uint64_t along = (m_count + across - 1) / across;
    const uint32_t rows = uint32_t(byWidth ? along : across);
    const uint32_t columns = uint32_t(byWidth ? across : along);
    if (rows == m_rows && columns == m_columns)
        return;
    const uint32_t oldRows = m_rows;
    const uint32_t oldColumns = m_columns;
    m_rows = rows;
    m_columns = columns;
    AlignChanged(oldRows, oldColumns);
}

uint32_t PTzListViewBase::scrollExtent() const
{
    const bool byWidth = m_widthFixed != 0;
    const uint32_t cells = byWidth ? m_rows : m_columns;
    const uint32_t space = byWidth ? m_spaceHeight : m_spaceWidth;
    const uint32_t item = byWidth ? m_itemHeight : m_itemWidth;
    const int64_t extent = span(cells, uint64_t(item) + space) + 2 * int64_t(m_border) - space;
    return uint32_t(std::clamp<int64_t>(extent, 0, std::numeric_limits<uint32_t>::max()));
}

void PTzListViewBase::AlignChanged(uint32_t, uint32_t)
{
    const uint32_t page = m_widthFixed ? m_displayHeight : m_displayWidth;
    ShowScroll(page < scrollExtent());
    // Showing or hiding the bar may have re-aligned the grid: send the extent of the
    // layout that stands now, or the last row could not be scrolled to.
    SetScrollInfo(0, scrollExtent(), page);
}

void PTzListViewBase::CountChanged()
{
    ReAlign();
}

void PTzListViewBase::FixChanged()
{
    ReAlign();
}

void PTzListViewBase::BorderChanged(uint32_t)
{
    ReAlign();
}

void PTzListViewBase::DisplayOffsetChanged() {}

void PTzListViewBase::DisplayWidthChanged()
{
    if (m_widthFixed)
        ReAlign();
}

void PTzListViewBase::DisplayHeightChanged()
{
    if (!m_widthFixed)
        ReAlign();
}

void PTzListViewBase::SpaceWidthChanged()
{
    if (m_widthFixed)
        ReAlign();
}

void PTzListViewBase::SpaceHeightChanged()
{
    if (!m_widthFixed)
        ReAlign();
}

void PTzListViewBase::ItemWidthChanged()
{
    if (m_widthFixed)
        ReAlign();
}

void PTzListViewBase::ItemHeightChanged()
{
    if (!m_widthFixed)
        ReAlign();
}

void PTzListViewBase::UpdateView() {}

void PTzListViewBase::ShowScrollBar(int) {}

uint32_t PTzListViewBase::GetScrollBarSize()
{
    return 0;
}

void PTzListViewBase::SetScrollInfo(uint32_t, uint32_t, uint32_t) {}

int PTzListViewBase::HitCell(PTzPOINT point, uint32_t* index, int anywhere)
{
    if (!index)
        return PTzFailWithZero();
    const int64_t x = int64_t(point.x) + m_offset.x;
    const int64_t y = int64_t(point.y) + m_offset.y;
    const int64_t halfSpaceWidth = m_spaceWidth / 2;
    const int64_t halfSpaceHeight = m_spaceHeight / 2;
    if (y < int64_t(m_border) - halfSpaceHeight || x < int64_t(m_border) - halfSpaceWidth)
        return 0;
    const int64_t row = (halfSpaceHeight + y - m_border) / pitchOf(m_itemHeight, m_spaceHeight);
    const int64_t column = (halfSpaceWidth + x - m_border) / pitchOf(m_itemWidth, m_spaceWidth);
    if (row >= m_rows || column >= m_columns)
        return 0;
    const uint64_t cell = uint64_t(row) * m_columns + uint64_t(column);
    if (cell >= m_count)
        return 0;
    if (!anywhere) {
        PTzRECT rect{};
        GetItemRect(uint32_t(cell), &rect);
        if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom)
            return 0;
    }
    *index = uint32_t(cell);
    return 1;
}

int PTzListViewBase::GetItemRect(uint32_t index, PTzRECT* out)
{
    if (!out)
        return PTzFailWithZero();
    const uint32_t columns = std::max<uint32_t>(m_columns, 1);
    const int64_t left = m_border + span(index % columns, uint64_t(m_itemWidth) + m_spaceWidth);
    const int64_t top = m_border + span(index / columns, uint64_t(m_itemHeight) + m_spaceHeight);
    *out = {PTzSaturate32(left), PTzSaturate32(top), PTzSaturate32(left + m_itemWidth), PTzSaturate32(top + m_itemHeight)};
    return 1;
}

void PTzListViewBase::SetDisplayWidth(uint32_t width)
{
    if (width == m_displayWidth)
        return;
    m_displayWidth = width;
    DisplayWidthChanged();
}

void PTzListViewBase::SetDisplayHeight(uint32_t height)
{
    if (height == m_displayHeight)
        return;
    m_displayHeight = height;
    DisplayHeightChanged();
}

void PTzListViewBase::SetSpaceWidth(uint32_t width)
{
    if (width == m_spaceWidth)
        return;
    m_spaceWidth = width;
    SpaceWidthChanged();
}

void PTzListViewBase::SetSpaceHeight(uint32_t height)
{
    if (height == m_spaceHeight)
        return;
    m_spaceHeight = height;
    SpaceHeightChanged();
}

void PTzListViewBase::SetItemWidth(uint32_t width)
{
    if (width == m_itemWidth)
        return;
    m_itemWidth = width;
    ItemWidthChanged();
}

void PTzListViewBase::SetItemHeight(uint32_t height)
{
    if (height == m_itemHeight)
        return;
    m_itemHeight = height;
    ItemHeightChanged();
}

void PTzListViewBase::ShowScroll(int show)
{
    const uint32_t value = show != 0;
    if (value == m_scrollBarShown)
        return;
    m_scrollBarShown = value;
    ShowScrollBar(int(value));
    ReAlign();
}
