// A layer row: its drawing, its icon clicks and the repaints its layer's messages ask for.
#include "app/ui/layer_list_item.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "app/shell/bitmap_draw.h"
#include "app/shell/drawing_functions.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_name_text.h"
#include "app/ui/layer_thumbnail.h"
#include "app/ui/text_draw.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"

namespace {

// The selected row's texts: white on this blue.
const QColor kSelectedBack(0x31, 0x6A, 0xC4);
constexpr int kTextPadding = 3;

void DrawEye(QPainter& painter, const QRect& cell)
{
    const QPointF centre = QRectF(cell).center();
    QPainterPath eye;
    eye.moveTo(centre.x() - 8, centre.y());
    eye.quadTo(centre.x(), centre.y() - 8, centre.x() + 8, centre.y());
    eye.quadTo(centre.x(), centre.y() + 8, centre.x() - 8, centre.y());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(eye);
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, 2.6, 2.6);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// Two chain links when linked; an empty box when not.
void DrawLink(QPainter& painter, const QRect& cell, bool linked)
{
    const QPointF centre = QRectF(cell).center();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    if (linked) {
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawRoundedRect(QRectF(centre.x() - 7, centre.y() - 5.5, 8, 5), 2.5, 2.5);
        painter.drawRoundedRect(QRectF(centre.x() - 1, centre.y() + 0.5, 8, 5), 2.5, 2.5);
    } else {
        painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
        painter.drawRect(QRectF(centre.x() - 5.5, centre.y() - 5.5, 11, 11));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// A row's text through the program's label drawing, centred down the cell.
void DrawCellText(QPainter& painter, const QString& text, const QRect& cell, uint32_t flags)
{
    const PTzRECT rect = {cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1};
    PTzDrawText(&painter, reinterpret_cast<const char16_t*>(text.utf16()), uint32_t(text.size()), &rect,
                flags | PTzDT_VCENTER);
}

}  // namespace

CLayerListItem::CLayerListItem(CLayerListBox* list, ITzLayerBase* layer) : m_list(list), m_layer(layer)
{
    if (m_layer)
        AddToBroadcaster(m_layer);
}

CLayerListItem::~CLayerListItem() = default;

QRect CLayerListItem::ColumnRect(Column column, int rowWidth) const
{
    const int height = CLayerListBox::kRowHeight;
    const int thumbnailLeft = kEyeWidth + kLinkWidth;
    const int nameLeft = thumbnailLeft + m_thumbnailWidth;
    const int opacityLeft = std::max(nameLeft, rowWidth - m_list->GetOpacityWidth());
    switch (column) {
    case Column::Eye:
        return {0, 0, kEyeWidth, height};
    case Column::Link:
        return {kEyeWidth, 0, kLinkWidth, height};
    case Column::Thumbnail:
        return {thumbnailLeft, 0, m_thumbnailWidth, height};
    case Column::Name:
        return {nameLeft, 0, opacityLeft - nameLeft, height};
    case Column::Opacity:
        return {opacityLeft, 0, rowWidth - opacityLeft, height};
    }
    return {};
}

void CLayerListItem::Draw(QPainter& painter, const QRect& rect, const QStyleOptionViewItem& option)
{
    painter.save();
    painter.translate(rect.topLeft());
    painter.fillRect(QRect(QPoint(0, 0), rect.size()), GetFaceColor());
    if (m_layer) {
        if (m_layer->IsVisible())
            DrawEye(painter, ColumnRect(Column::Eye, rect.width()));
        DrawLink(painter, ColumnRect(Column::Link, rect.width()), m_layer->IsLinkWithCurrent() != 0);
        DrawThumbnail(painter);
        const bool selected = option.state & QStyle::State_Selected;
        const QRect name = ColumnRect(Column::Name, rect.width());
        const QRect opacity = ColumnRect(Column::Opacity, rect.width());
        if (selected)
            painter.fillRect(name.united(opacity), kSelectedBack);
        painter.setPen(selected ? Qt::white : Qt::black);
        DrawCellText(painter, LayerNameText(*m_layer), name.adjusted(kTextPadding, 0, -kTextPadding, 0),
                     PTzDT_WORD_ELLIPSIS);
        DrawCellText(painter, QString::asprintf("%d%%", int(OpacityToPercent(m_layer->GetOpacity()))), opacity,
                     PTzDT_RIGHT);
    }
    painter.restore();
}

void CLayerListItem::DrawThumbnail(QPainter& painter)
{
    if (m_thumbnail.isNull()) {
        CLayerThumbnail read = ReadLayerThumbnail(m_list->GetPicture(), m_layer);
        CLayerListCounters& counters = m_list->GetCounters();
        ++counters.thumbnails;
        if (read.fromOwnPixels)
            ++counters.fullSizeReads;
        m_thumbnail = std::move(read.image);
        const int width = m_thumbnail.isNull() ? 0 : m_thumbnail.width() + 4;
        if (width != m_thumbnailWidth) {
            // The columns right of it move: the whole row is drawn again.
            m_thumbnailWidth = width;
            m_list->InvalidateItem(this);
        }
    }
    if (m_thumbnail.isNull())
        return;
    const QRect cell = ColumnRect(Column::Thumbnail, 0);
    const QRect place(cell.left() + 2, (cell.height() - m_thumbnail.height()) / 2, m_thumbnail.width(),
                      m_thumbnail.height());
    _tagITzBITMAP bitmap = {m_thumbnail.width(), m_thumbnail.height(), int32_t(m_thumbnail.bytesPerLine()), 24,
                            PTzCOLORMODE_RGB, const_cast<uint8_t*>(m_thumbnail.constBits())};
    const PTzRECT target = {place.left(), place.top(), place.right() + 1, place.bottom() + 1};
    ITzITzBitmapDraw(&painter, &bitmap, &target);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(place.adjusted(-1, -1, 0, 0));
}

bool CLayerListItem::Press(const QPoint& point)
{
    if (!m_layer || point.x() < 0)
        return false;
    if (point.x() < kEyeWidth) {
        m_layer->DoSetvisibility(m_layer->IsVisible() ? 0 : 1);
        return true;
    }
    if (point.x() < kEyeWidth + kLinkWidth) {
        m_layer->DoLinkWithCurrent(m_layer->IsLinkWithCurrent() ? 0 : 1);
        return true;
    }
    return false;
}

void CLayerListItem::InvalidateColumn(Column column)
{
    QRect row;
    if (!m_list->GetRowRect(m_list->FindItem(this), &row))
        return;
    const QRect cell = ColumnRect(column, row.width());
    m_list->InvalidateItem(this, &cell);
}

int CLayerListItem::Listen(uint32_t message, void* param, PTzBroadcaster* sender)
{
    switch (message) {
    case ITzLAYERMSG_LINK:
        InvalidateColumn(Column::Link);
        break;
    case ITzLAYERMSG_VISIBILITY:
        InvalidateColumn(Column::Eye);
        break;
    case ITzLAYERMSG_OPACITY:
        InvalidateColumn(Column::Opacity);
        if (ITzPicture* picture = m_list->GetPicture(); picture && m_layer == picture->GetLayerbyIndex(picture->GetActiveLayerID()))
            m_list->RefreshOpacityBox();
        break;
    case ITzLAYERMSG_NAME:
        InvalidateColumn(Column::Name);
        break;
    case ITzLAYERMSG_DATA:
        m_thumbnail = QImage();
        InvalidateColumn(Column::Thumbnail);
        break;
    case ITzLAYERMSG_DESTROY:
        // The layer goes; the row stays empty until the list is rebuilt.
        m_layer = nullptr;
        m_thumbnail = QImage();
        m_list->InvalidateItem(this);
        break;
    default:
        break;
    }
    return PTzListener::Listen(message, param, sender);
}
