// The brush preview control.
#include "app/ui/brush_static.h"

#include <algorithm>

#include "app/ui/brush_manager.h"
#include "app/ui/brush_tip_draw.h"
#include "app/ui/dialog_select_brush.h"
#include "app/ui/text_draw.h"

RBrushStatic::RBrushStatic(QWidget* parent) : RControl(parent) {}

void RBrushStatic::SetBrushIndex(uint32_t index)
{
    if (index == m_index)
        return;
    m_index = index;
    Invalidate();
}

int RBrushStatic::Listen(uint32_t message, void* param, PTzBroadcaster*)
{
    if (message != BRUSH_CHANGED_MESSAGE)
        return 0;
    if (param)
        SetBrushIndex(*static_cast<const uint32_t*>(param));
    else
        Invalidate();
    return 0;
}

void RBrushStatic::Paint(QPainter& painter, const QRect&)
{
    const QRect client = GetClientRect();
    painter.fillRect(client, palette().color(QPalette::Base));
    CBrushManager* library = CBrushManager::GetBrushManager();
    CBrushDataBase* record = library && m_index < library->GetBrushCount() ? library->GetBrush(m_index) : nullptr;
    if (!record)
        return;
    // Only the shown record's changes concern the control.
    if (record != m_heard) {
        if (m_heard)
            RemoveFromBroadcaster(m_heard);
        m_heard = AddToBroadcaster(record) ? record : nullptr;
    }
    const PTzRECT area = {client.left(), client.top(), client.right() + 1, client.bottom() + 1 - kBand};
    if (DrawBrushTip(&painter, record, area))
        ++m_previewsDrawn;
    const std::u16string number = QString::number(record->GetDisplayNumber()).toStdU16String();
    const PTzRECT band = {area.left, std::max(area.bottom, client.top()), area.right, client.bottom() + 1};
    painter.setPen(palette().color(QPalette::Text));
    PTzDrawTextFixHeight(&painter, number.c_str(), uint32_t(number.size()), &band, PTzDT_CENTER | PTzDT_VCENTER);
}

void RBrushStatic::OnDoubleClick(QMouseEvent&)
{
    CDialogSelectBrush picker(this);
    picker.SetSelectedIndex(m_index);
    if (picker.DoModal() == QDialog::Accepted)
        SetBrushIndex(picker.GetSelectedIndex());
}
