// PTzListViewBase: the geometry of a scrolling grid of equal cells. It decides how many
// rows and columns the items take, which cell a point hits, which cells a repaint
// touches and when a scroll bar is needed; a window class draws and scrolls through
// the virtual slots.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "geometry.h"

class CORVANE_API PTzListViewBase {
public:
    PTzListViewBase() = default;
    virtual ~PTzListViewBase();
    PTzListViewBase(const PTzListViewBase&) = delete;
    PTzListViewBase& operator=(const PTzListViewBase&) = delete;

    virtual void SetCount(uint32_t count);
    virtual uint32_t GetCount();
    // 1: the display width is fixed and the list scrolls vertically; 0: the height is
    // fixed and it scrolls horizontally.
    virtual void SetWidthFixed(int fixed);
    virtual int IsWidthFixed();
    // The pair setters and getters give 1, or 0 with -1 stored for null; negative sizes
    // count as 0.
    virtual int SetListSize(const _tagPTzSIZE* size);
    virtual int GetListSize(_tagPTzSIZE* out);
    // Only the scrolling axis counts: with the width fixed x becomes 0, else y does.
    virtual int SetListDisplayOffset(const _tagPTzOFFSET* offset);
    virtual int GetListDisplayOffset(_tagPTzOFFSET* out);
    virtual int SetListSpace(const _tagPTzSIZE* space);
    virtual int GetListSpace(_tagPTzSIZE* out);
    virtual int SetListItemSize(const _tagPTzSIZE* size);
    virtual int GetListItemSize(_tagPTzSIZE* out);
    virtual void SetListBorder(uint32_t border);
    virtual uint32_t GetListBorder();
    // Calls DrawItem, row by row and left to right, for every existing cell that the
    // rectangle (in view coordinates) touches, with the cell in view coordinates.
    virtual void DrawRect(const PTzRECT* rect, void* context);
    virtual void DrawItem(uint32_t index, const PTzRECT* rect, void* context);
    // Recomputes rows and columns; calls AlignChanged when either changed.
    virtual void ReAlign();
    // Shows or hides the scroll bar and sends the scroll range of the final layout.
    virtual void AlignChanged(uint32_t oldRows, uint32_t oldColumns);
    virtual void CountChanged();
    virtual void FixChanged();
    virtual void BorderChanged(uint32_t oldBorder);
    virtual void DisplayOffsetChanged();
    virtual void DisplayWidthChanged();
    virtual void DisplayHeightChanged();
    virtual void SpaceWidthChanged();
    virtual void SpaceHeightChanged();
    virtual void ItemWidthChanged();
    virtual void ItemHeightChanged();
    virtual void UpdateView();
    virtual void ShowScrollBar(int show);
    // The room the scroll bar takes across the scrolling axis.
    virtual uint32_t GetScrollBarSize();
    virtual void SetScrollInfo(uint32_t position, uint32_t extent, uint32_t page);

    // 1 and the index of the cell under the view point, else 0. Half of each gap belongs
    // to the cells beside it; unless anywhere is set the point must lie on the cell
    // itself. A null index gives 0 with -1 stored.
    int HitCell(PTzPOINT point, uint32_t* index, int anywhere);
    // The cell of index in list coordinates (without the offset): 1, or 0 with -1 stored
    // for null. Before the first layout the grid counts as one column.
    int GetItemRect(uint32_t index, PTzRECT* out);
    void SetDisplayWidth(uint32_t width);
    void SetDisplayHeight(uint32_t height);
    void SetSpaceWidth(uint32_t width);
    void SetSpaceHeight(uint32_t height);
    void SetItemWidth(uint32_t width);
    void SetItemHeight(uint32_t height);
    // Shows or hides the scroll bar and re-aligns, since the bar takes room.
    void ShowScroll(int show);

protected:
    uint32_t m_count = 0;
    uint32_t m_widthFixed = 1;
    uint32_t m_displayWidth = 300;
    uint32_t m_displayHeight = 200;
    uint32_t m_itemWidth = 64;
    uint32_t m_itemHeight = 64;
    uint32_t m_spaceWidth = 0;
    uint32_t m_spaceHeight = 0;
    uint32_t m_rows = 0;
    uint32_t m_columns = 0;
    _tagPTzOFFSET m_offset{0, 0};
    uint32_t m_border = 5;
    uint32_t m_scrollBarShown = 0;

private:
    uint32_t scrollExtent() const;
};
