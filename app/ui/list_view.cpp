// The list view's scroll bars, display offset and painting.
#include "app/ui/list_view.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

RListView::RListView(QWidget* parent) : RControl(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TakeViewportSize();
}

void RListView::DrawItem(QPainter&, uint32_t, const QRect&) {}

void RListView::DrawItem(uint32_t index, const PTzRECT* rect, void* context)
{
    DrawItem(*static_cast<QPainter*>(context), index, QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
}

void RListView::DisplayOffsetChanged()
{
    viewport()->update();
}

void RListView::ShowScrollBar(int show)
{
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (IsWidthFixed()) {
        setVerticalScrollBarPolicy(policy);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        setHorizontalScrollBarPolicy(policy);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    TakeViewportSize();
}

void RListView::SetScrollInfo(uint32_t, uint32_t extent, uint32_t)
{
    m_extent = extent;
    {
        // The offset is set below, once.
        const QSignalBlocker quiet(ScrollingBar());
        ApplyScrollRange();
        ScrollingBar()->setValue(0);
    }
    const _tagPTzOFFSET start{0, 0};
    SetListDisplayOffset(&start);
}

void RListView::OnAttach()
{
    TakeViewportSize();
}

void RListView::Paint(QPainter& painter, const QRect& exposed)
{
    if (exposed.isEmpty())
        return;
    const PTzRECT clip{exposed.left(), exposed.top(), exposed.left() + exposed.width(), exposed.top() + exposed.height()};
    DrawRect(&clip, &painter);
}

bool RListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        TakeViewportSize();
    return RControl::viewportEvent(event);
}

void RListView::scrollContentsBy(int, int)
{
    const _tagPTzOFFSET offset{horizontalScrollBar()->value(), verticalScrollBar()->value()};
    SetListDisplayOffset(&offset);
}

void RListView::TakeViewportSize()
{
    const uint32_t page = PageLength();
    const _tagPTzSIZE size{viewport()->width(), viewport()->height()};
    SetListSize(&size);
    // The layout sends a scroll range only when its rows or columns change: a new length
    // along the scrolling axis alone is applied here, keeping the position where it can.
    if (PageLength() != page) {
        ShowScroll(PageLength() < m_extent);
        ApplyScrollRange();
    }
}

QScrollBar* RListView::ScrollingBar() const
{
    return m_widthFixed ? verticalScrollBar() : horizontalScrollBar();
}

uint32_t RListView::PageLength() const
{
    return m_widthFixed ? m_displayHeight : m_displayWidth;
}

void RListView::ApplyScrollRange()
{
    const bool vertical = m_widthFixed != 0;
    const int64_t page = PageLength();
    const int64_t pitch = vertical ? int64_t(m_itemHeight) + m_spaceHeight : int64_t(m_itemWidth) + m_spaceWidth;
    constexpr int64_t kLargest = std::numeric_limits<int>::max();
    QScrollBar* bar = ScrollingBar();
    bar->setRange(0, int(std::clamp<int64_t>(int64_t(m_extent) - page, 0, kLargest)));
    bar->setPageStep(int(std::clamp<int64_t>(page, 1, kLargest)));
    bar->setSingleStep(int(std::clamp<int64_t>(pitch, 1, kLargest)));
}
