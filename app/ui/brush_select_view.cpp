// The brush picker's grid: cell drawing and the mouse.
#include "app/ui/brush_select_view.h"

#include "app/ui/brush_manager.h"
#include "app/ui/brush_tip_draw.h"
#include "app/ui/dialog_select_brush.h"
#include "app/ui/text_draw.h"

RBrushSelectView::RBrushSelectView(QWidget* parent) : RListView(parent)
{
    const _tagPTzSIZE cell = {int32_t(kCellSize), int32_t(kCellSize)};
    const _tagPTzSIZE space = {int32_t(kSpace), int32_t(kSpace)};
    SetListItemSize(&cell);
    SetListBorder(kBorder);
    SetListSpace(&space);
}

void RBrushSelectView::SetSelectedIndex(uint32_t index)
{
    InvalidateCell(m_selected);
    m_selected = index;
    InvalidateCell(m_selected);
}

void RBrushSelectView::OnSelect(uint32_t index)
{
    if (index == m_selected)
        return;
    SetSelectedIndex(index);
    if (m_owner)
        m_owner->SetSelectedIndex(index);
}

void RBrushSelectView::OnSelectAndEdit(uint32_t index)
{
    OnSelect(index);
    if (m_owner)
        m_owner->OnEdit();
}

void RBrushSelectView::InvalidateCell(uint32_t index)
{
    PTzRECT cell = {};
    if (index >= GetCount() || !GetItemRect(index, &cell))
        return;
    _tagPTzOFFSET offset = {};
    GetListDisplayOffset(&offset);
    const QRect shown(int(int64_t(cell.left) - offset.x), int(int64_t(cell.top) - offset.y), cell.right - cell.left,
                      cell.bottom - cell.top);
    viewport()->update(shown.intersected(viewport()->rect()));
}

void RBrushSelectView::DrawItem(QPainter& painter, uint32_t index, const QRect& rect)
{
    CBrushManager* library = CBrushManager::GetBrushManager();
    CBrushDataBase* record = library && index < library->GetBrushCount() ? library->GetBrush(index) : nullptr;
    if (record) {
        const PTzRECT area = {rect.left() + 4, rect.top() + 4, rect.right() + 1 - 4,
                              rect.bottom() + 1 - int(kLabelBand)};
        painter.fillRect(rect, palette().color(QPalette::Base));
        if (DrawBrushTip(&painter, record, area))
            ++m_previewsDrawn;
        const std::u16string number = QString::number(record->GetDisplayNumber()).toStdU16String();
        const PTzRECT band = {area.left, area.bottom, area.right, rect.bottom() + 1};
        painter.setPen(palette().color(QPalette::Text));
        PTzDrawText(&painter, number.c_str(), uint32_t(number.size()), &band, PTzDT_CENTER | PTzDT_VCENTER);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    if (index == m_selected)
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
}

bool RBrushSelectView::CellAt(const QPoint& point, uint32_t* index)
{
    return HitCell({point.x(), point.y()}, index, 1) != 0;
}

void RBrushSelectView::mousePressEvent(QMouseEvent* event)
{
    uint32_t index = 0;
    if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), &index))
        OnSelect(index);
    RListView::mousePressEvent(event);
}

void RBrushSelectView::OnDoubleClick(QMouseEvent& event)
{
    uint32_t index = 0;
    if (event.button() == Qt::LeftButton && CellAt(event.position().toPoint(), &index))
        OnSelectAndEdit(index);
}
