// RListView: a scrolling grid of equal cells on a panel, joining the kit's attachment to
// the list-view layout. The layout decides the rows and columns and which cells a repaint
// touches; this widget supplies the scroll bar (vertical when the width is fixed, else
// horizontal), whose position is the layout's display offset, and paints each touched
// cell through DrawItem.
#pragma once

#include <cstdint>

#include "app/ui/control_base.h"
#include "base/list_view_layout.h"

class QScrollBar;

class RListView : public RControl<QAbstractScrollArea>, public PTzListViewBase {
public:
    explicit RListView(QWidget* parent = nullptr);

    // Draws the cell of index into rect (viewport coordinates); the base draws nothing.
    // A subclass that overrides it adds `using RListView::DrawItem;` so that the layout's
    // own DrawItem stays in view.
    virtual void DrawItem(QPainter& painter, uint32_t index, const QRect& rect);

    // The layout's hooks.
    void DrawItem(uint32_t index, const PTzRECT* rect, void* context) override;
    void DisplayOffsetChanged() override;
    // Shows the bar of the scrolling axis (the other never shows) and gives the layout the
    // room left beside it.
    void ShowScrollBar(int show) override;
    // The scroll bar spans the extent with a page of the display size, one cell per step;
    // the display offset goes back to the start.
    void SetScrollInfo(uint32_t position, uint32_t extent, uint32_t page) override;

protected:
    void OnAttach() override;
    // Draws every cell the exposed rectangle touches.
    void Paint(QPainter& painter, const QRect& exposed) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Gives the layout the viewport's size.
    void TakeViewportSize();
    QScrollBar* ScrollingBar() const;
    // The display's length along the scrolling axis.
    uint32_t PageLength() const;
    // The scroll bar spans the extent with a page of the display's length.
    void ApplyScrollRange();

    uint32_t m_extent = 0;  // the grid's length along the scrolling axis
};
