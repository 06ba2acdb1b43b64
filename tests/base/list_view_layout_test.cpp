// The scrolling cell grid: the documented layouts, hit testing and repaint ranges
// against a brute-force search over the cells, and the scroll bar's final range.
#include "base/list_view_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/error_codes.h"

namespace {

struct ScrollInfo {
    uint32_t position, extent, page;
};

struct Drawn {
    uint32_t index;
    PTzRECT rect;
};

// Records what the grid asks of its window.
class RecordingList : public PTzListViewBase {
public:
    explicit RecordingList(uint32_t barSize = 0) : m_barSize(barSize) {}

    void DrawItem(uint32_t index, const PTzRECT* rect, void*) override { drawn.push_back({index, *rect}); }
    void ShowScrollBar(int show) override { shows.push_back(show); }
    uint32_t GetScrollBarSize() override { return m_barSize; }
    void SetScrollInfo(uint32_t position, uint32_t extent, uint32_t page) override
    {
        scrolls.push_back({position, extent, page});
    }
    void BorderChanged(uint32_t oldBorder) override
    {
        oldBorders.push_back(oldBorder);
        PTzListViewBase::BorderChanged(oldBorder);
    }
    void DisplayOffsetChanged() override { ++offsetChanges; }
    void UpdateView() override { ++updates; }

    uint32_t rows() const { return m_rows; }
    uint32_t columns() const { return m_columns; }
    bool barShown() const { return m_scrollBarShown != 0; }

    std::vector<uint32_t> drawAll(const PTzRECT& rect)
    {
        drawn.clear();
        DrawRect(&rect, nullptr);
        std::vector<uint32_t> indexes;
        for (const Drawn& d : drawn)
            indexes.push_back(d.index);
        return indexes;
    }

    std::vector<Drawn> drawn;
    std::vector<int> shows;
    std::vector<ScrollInfo> scrolls;
    std::vector<uint32_t> oldBorders;
    int offsetChanges = 0;
    int updates = 0;

private:
    uint32_t m_barSize;
};

bool overlaps(const PTzRECT& a, const PTzRECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(ListViewLayout, DefaultGeometryWithTenItemsTakesFourColumnsAndShowsTheBar)
{
    RecordingList list;
    list.SetCount(10);
    EXPECT_EQ(list.columns(), 4u);
    EXPECT_EQ(list.rows(), 3u);
    EXPECT_TRUE(list.barShown());
    ASSERT_EQ(list.shows, std::vector<int>{1});
    ASSERT_FALSE(list.scrolls.empty());
    EXPECT_EQ(list.scrolls.back().extent, 202u);
    EXPECT_EQ(list.scrolls.back().page, 200u);
    PTzRECT rect{};
    ASSERT_EQ(list.GetItemRect(9, &rect), 1);
    EXPECT_EQ(rect.left, 5 + 64);
    EXPECT_EQ(rect.top, 5 + 128);
    EXPECT_EQ(rect.right - rect.left, 64);
}

TEST(ListViewLayout, ScrollBarThatCostsAColumnSendsTheFinalExtent)
{
    RecordingList list(20);
    const _tagPTzSIZE display{266, 200};
    list.SetListSize(&display);
    list.SetCount(10);  // 4 columns need 202 rows of pixels; the bar leaves room for 3
    EXPECT_TRUE(list.barShown());
    EXPECT_EQ(list.columns(), 3u);
    EXPECT_EQ(list.rows(), 4u);
    ASSERT_FALSE(list.scrolls.empty());
    const uint32_t extent = list.scrolls.back().extent;
    EXPECT_EQ(extent, 4u * 64 + 10);
    PTzRECT last{};
    list.GetItemRect(9, &last);
    EXPECT_LE(uint32_t(last.bottom) + list.GetListBorder(), extent);  // the last row can be reached
}

TEST(ListViewLayout, HeightFixedGridScrollsSidewaysAndIgnoresY)
{
    RecordingList list;
    list.SetWidthFixed(0);
    list.SetCount(10);
    EXPECT_EQ(list.rows(), 2u);  // (200 - 10) / 64
    EXPECT_EQ(list.columns(), 5u);
    EXPECT_EQ(list.scrolls.back().extent, 5u * 64 + 10);
    EXPECT_EQ(list.scrolls.back().page, 300u);
    const _tagPTzOFFSET offset{40, 70};
    list.SetListDisplayOffset(&offset);
    _tagPTzOFFSET stored{};
    list.GetListDisplayOffset(&stored);
    EXPECT_EQ(stored.x, 40);
    EXPECT_EQ(stored.y, 0);
}

TEST(ListViewLayout, OffsetChangeNotifiesOnceAndOnlyTheScrollingAxisCounts)
{
    RecordingList list;
    list.SetCount(10);
    const _tagPTzOFFSET sideways{25, 0};
    list.SetListDisplayOffset(&sideways);  // x does not count with the width fixed
    EXPECT_EQ(list.offsetChanges, 0);
    const _tagPTzOFFSET down{25, 30};
    list.SetListDisplayOffset(&down);
    list.SetListDisplayOffset(&down);
    EXPECT_EQ(list.offsetChanges, 1);
    EXPECT_EQ(list.updates, 1);
}

TEST(ListViewLayout, BorderChangeReportsTheOldBorderAndReAligns)
{
    RecordingList list;
    list.SetCount(10);
    list.SetListBorder(40);
    ASSERT_EQ(list.oldBorders, std::vector<uint32_t>{5});
    EXPECT_EQ(list.columns(), 3u);  // (300 - 80) / 64
    list.SetListBorder(150);
    EXPECT_EQ(list.columns(), 1u);  // twice the border fills the width
}

TEST(ListViewLayout, ZeroItemAndSpaceSizeDoNotDivideByZero)
{
    RecordingList list;
    const _tagPTzSIZE none{0, 0};
    list.SetListItemSize(&none);
    list.SetCount(1000);
    EXPECT_EQ(list.columns(), 290u);
    EXPECT_EQ(list.rows(), 4u);
    uint32_t index = 0;
    EXPECT_EQ(list.HitCell({7, 5}, &index, 1), 1);
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(list.drawAll({0, 0, 300, 200}).empty());
}

TEST(ListViewLayout, HitCellFindsTheCellAndRefusesTheBorder)
{
    RecordingList list;
    list.SetCount(10);
    uint32_t index = 99;
    EXPECT_EQ(list.HitCell({5, 5}, &index, 0), 1);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(list.HitCell({4, 5}, &index, 0), 0);
    EXPECT_EQ(list.HitCell({5 + 64, 5 + 128}, &index, 0), 1);
    EXPECT_EQ(index, 9u);
    EXPECT_EQ(list.HitCell({5 + 128, 5 + 128}, &index, 1), 0);  // past the last item
    EXPECT_EQ(list.HitCell({5, 5}, nullptr, 0), 0);
}

TEST(ListViewLayout, GapIsRefusedUnlessAnywhere)
{
    RecordingList list;
    const _tagPTzSIZE space{10, 10};
    list.SetListSpace(&space);
    list.SetCount(10);
    uint32_t index = 0;
    const PTzPOINT gap{5 + 64 + 7, 5};  // in the gap, nearer the second cell
    EXPECT_EQ(list.HitCell(gap, &index, 0), 0);
    EXPECT_EQ(list.HitCell(gap, &index, 1), 1);
    EXPECT_EQ(index, 1u);
}

TEST(ListViewLayout, BorderBelowHalfTheGapStillHits)
{
    RecordingList list;
    const _tagPTzSIZE space{10, 10};
    list.SetListSpace(&space);
    list.SetListBorder(2);
    list.SetCount(10);
    uint32_t index = 99;
    EXPECT_EQ(list.HitCell({0, 0}, &index, 1), 1);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(list.HitCell({30, 30}, &index, 0), 1);
}

TEST(ListViewLayout, EmptyListDrawsAndHitsNothing)
{
    RecordingList list;
    list.SetCount(0);
    uint32_t index = 0;
    EXPECT_EQ(list.HitCell({10, 10}, &index, 1), 0);
    EXPECT_TRUE(list.drawAll({0, 0, 300, 200}).empty());
}

TEST(ListViewLayout, OffsetAboveTheGridStillRepaintsTheFirstRow)
{
    RecordingList list;
    list.SetCount(10);
    const _tagPTzOFFSET above{0, -30};
    list.SetListDisplayOffset(&above);
    const std::vector<uint32_t> drawn = list.drawAll({0, 0, 300, 100});
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), 0u);
    EXPECT_EQ(list.drawn.front().rect.top, 5 + 30);
}

TEST(ListViewLayout, DrawRectGivesViewRectanglesRowByRow)
{
    RecordingList list;
    list.SetCount(10);
    const _tagPTzOFFSET down{0, 64};
    list.SetListDisplayOffset(&down);
    EXPECT_EQ(list.drawAll({0, 10, 300, 60}), (std::vector<uint32_t>{4, 5, 6, 7}));
    EXPECT_EQ(list.drawn.front().rect.top, 5);
    EXPECT_EQ(list.drawn.back().rect.left, 5 + 3 * 64);
    EXPECT_TRUE(list.drawAll({10, 10, 10, 50}).empty());
}

// Random grids: HitCell agrees with a search of every cell's rectangle, and DrawRect
// draws every cell that meets the rectangle, in index order.
TEST(ListViewLayout, AgreesWithBruteForceOnRandomGrids)
{
    std::mt19937 random(112);
    for (int round = 0; round < 200; ++round) {
        RecordingList list(random() % 2 ? 0 : 16);
        const _tagPTzSIZE display{int32_t(50 + random() % 400), int32_t(50 + random() % 400)};
        const _tagPTzSIZE item{int32_t(random() % 80), int32_t(random() % 80)};
        const _tagPTzSIZE space{int32_t(random() % 12), int32_t(random() % 12)};
        list.SetWidthFixed(int(random() % 2));
        list.SetListSize(&display);
        list.SetListItemSize(&item);
        list.SetListSpace(&space);
        list.SetListBorder(random() % 15);
        list.SetCount(random() % 60);
        const _tagPTzOFFSET offset{int32_t(random() % 200) - 50, int32_t(random() % 200) - 50};
        list.SetListDisplayOffset(&offset);
        _tagPTzOFFSET used{};
        list.GetListDisplayOffset(&used);

        std::vector<PTzRECT> cells(list.GetCount());
        for (uint32_t i = 0; i < cells.size(); ++i) {
            PTzRECT r{};
            list.GetItemRect(i, &r);
            cells[i] = {r.left - used.x, r.top - used.y, r.right - used.x, r.bottom - used.y};
        }
        for (int probe = 0; probe < 50; ++probe) {
            const PTzPOINT p{int32_t(random() % 500) - 20, int32_t(random() % 500) - 20};
            int expected = -1;
            for (uint32_t i = 0; i < cells.size(); ++i) {
                if (p.x >= cells[i].left && p.x < cells[i].right && p.y >= cells[i].top && p.y < cells[i].bottom)
                    expected = int(i);
            }
            uint32_t index = 0;
            const int hit = list.HitCell(p, &index, 0);
            ASSERT_EQ(hit ? int(index) : -1, expected) << round << ' ' << p.x << ',' << p.y;
        }
        const int32_t x = int32_t(random() % 300), y = int32_t(random() % 300);
        const PTzRECT paint{x, y, x + 1 + int32_t(random() % 150), y + 1 + int32_t(random() % 150)};
        const std::vector<uint32_t> drawn = list.drawAll(paint);
        ASSERT_TRUE(std::is_sorted(drawn.begin(), drawn.end()));
        for (uint32_t i = 0; i < cells.size(); ++i) {
            if (overlaps(cells[i], paint)) {
                ASSERT_TRUE(std::binary_search(drawn.begin(), drawn.end(), i)) << round << ' ' << i;
            }
        }
    }
}

TEST(ListViewLayout, NullPairArgumentsAreRefused)
{
    RecordingList list;
    PTzSetLastError(0);
    EXPECT_EQ(list.SetListSize(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(list.GetListItemSize(nullptr), 0);
    EXPECT_EQ(list.SetListDisplayOffset(nullptr), 0);
    EXPECT_EQ(list.GetItemRect(0, nullptr), 0);
    list.DrawRect(nullptr, nullptr);
    EXPECT_TRUE(list.drawn.empty());
}

}  // namespace
