// The layer list: its rows from the picture, the active layer, the mouse, the opacity box
// and the drag and drop of rows.
#include "app/ui/layer_list_box.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/shell/drawing_functions.h"
#include "app/ui/layer_list_item.h"
#include "app/ui/slide_combobox.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_layer_manager.h"

namespace {

// The insertion marker is drawn by inverting what lies under it.
void InvertBand(QWidget* viewport, const QRect& band)
{
    QPainter painter(viewport);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(band, Qt::black);
}

}  // namespace

CLayerListBox::CLayerListBox(QWidget* parent) : CROwnerDrawListBox(parent)
{
    SetRowHeight(kRowHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, GetFaceColor());
    setPalette(colours);
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_clock.start();
    MeasureOpacityColumn();
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnCurrentRowChanged(current.isValid() ? current.row() : -1); });
}

CLayerListBox::~CLayerListBox()
{
    // The rows stop listening to their layers before the picture is let go.
    m_filling = true;
    RemoveAll();
}

void CLayerListBox::SetPicture(ITzPicture* picture)
{
    if (picture == m_picture)
        return;
    if (m_picture)
        RemoveFromBroadcaster(m_picture);
    m_picture = picture;
    m_opacityDragging = false;
    Rebuild();
    if (m_picture)
        AddToBroadcaster(m_picture);
}

void CLayerListBox::SetOpacityBox(CSlideCombobox* box)
{
    if (m_opacityBox)
        RemoveFromBroadcaster(m_opacityBox);
    m_opacityBox = box;
    if (m_opacityBox)
        AddToBroadcaster(m_opacityBox);
    RefreshOpacityBox();
}

void CLayerListBox::RefreshOpacityBox()
{
    ITzLayerBase* active = m_picture ? m_picture->GetLayerbyIndex(m_picture->GetActiveLayerID()) : nullptr;
    if (m_opacityBox && active && !m_opacityDragging)
        m_opacityBox->SetValueQuiet(int(OpacityToPercent(active->GetOpacity())));
}

ITzLayerBase* CLayerListBox::LayerOfRow(int row) const
{
    const int count = m_picture ? m_picture->GetLayerCount() : 0;
    return row >= 0 && row < count ? m_picture->GetLayerbyIndex(uint16_t(count - 1 - row)) : nullptr;
}

int CLayerListBox::RowOfLayer(int index) const
{
    const int count = m_picture ? m_picture->GetLayerCount() : 0;
    return index >= 0 && index < count ? count - 1 - index : -1;
}

CLayerListItem* CLayerListBox::GetLayerItem(int row) const
{
    return static_cast<CLayerListItem*>(GetItem(row));
}

void CLayerListBox::Rebuild()
{
    m_filling = true;
    RemoveAll();
    if (m_picture) {
        for (int index = m_picture->GetLayerCount() - 1; index >= 0; --index)
            InsertItem(-1, std::make_unique<CLayerListItem>(this, m_picture->GetLayerbyIndex(uint16_t(index))));
        ++m_counters.rebuilds;
    }
    m_filling = false;
    SelectActiveRow();
    viewport()->update();
    RefreshOpacityBox();
    if (m_changed)
        m_changed();
}

void CLayerListBox::SelectActiveRow()
{
    const int row = m_picture ? RowOfLayer(m_picture->GetActiveLayerID()) : -1;
    const bool filling = m_filling;
    m_filling = true;
    if (row >= 0)
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
    m_filling = filling;
}

void CLayerListBox::OnCurrentRowChanged(int row)
{
    if (m_filling || !m_picture || row < 0)
        return;
    // Changing the active layer merges its floating layer, which an edit holding the
    // picture may still be drawing into: then the row of the layer in force comes back.
    const int index = int(m_picture->GetLayerCount()) - 1 - row;
    if (index >= 0 && m_picture->AbleEditing())
        m_picture->SetActiveLayerID(uint16_t(index));
    else
        SelectActiveRow();
}

int CLayerListBox::Listen(uint32_t message, void* param, PTzBroadcaster* sender)
{
    if (m_picture && sender == m_picture) {
        switch (message) {
        case ITzPICTMSG_LAYER_INSERTED:
        case ITzPICTMSG_LAYER_REMOVED:
        case ITzPICTMSG_LAYER_MOVED:
        case ITzPICTMSG_SIZE_CHANGED:
            Rebuild();
            break;
        case ITzPICTMSG_ACTIVE_CHANGED:
            SelectActiveRow();
            viewport()->update();
            RefreshOpacityBox();
            if (m_changed)
                m_changed();
            break;
        case ITzPICTMSG_DESTROY:
            // Nothing of the picture may be touched once it has gone.
            SetPicture(nullptr);
            break;
        default:
            break;
        }
    } else if (m_opacityBox && sender == static_cast<PTzBroadcaster*>(m_opacityBox) && param) {
        const auto* change = static_cast<const CSlideCombobox::ValueChange*>(param);
        if (message == CSlideCombobox::kValueCommitted)
            CommitOpacity(change->value);
        else if (message == CSlideCombobox::kValueChanging)
            PreviewOpacity(change->value);
    }
    return PTzListener::Listen(message, param, sender);
}

void CLayerListBox::PreviewOpacity(int32_t percent)
{
    ITzLayerBase* active = m_picture ? m_picture->GetLayerbyIndex(m_picture->GetActiveLayerID()) : nullptr;
    if (!active)
        return;
    // The exact byte before the drag: no percentage may stand in for it.
    if (!m_opacityDragging) {
        m_opacityDragging = true;
        m_opacityBefore = active->GetOpacity();
    }
    ITzToolLayerManager tool;
    tool.SetLayerOpacity1Temp(m_picture, active, PercentToOpacity(uint32_t(std::max(percent, 0))));
}

void CLayerListBox::CommitOpacity(int32_t percent)
{
    ITzLayerBase* active = m_picture ? m_picture->GetLayerbyIndex(m_picture->GetActiveLayerID()) : nullptr;
    const bool dragged = m_opacityDragging;
    m_opacityDragging = false;
    if (!active)
        return;
    const uint8_t before = dragged ? m_opacityBefore : active->GetOpacity();
    // Back at the percentage it started from: the byte it had, which no percentage may express.
    const uint32_t wanted = uint32_t(std::max(percent, 0));
    const uint8_t final = wanted == OpacityToPercent(before) ? before : PercentToOpacity(wanted);
    ITzToolLayerManager tool;
    if (final == before) {
        if (active->GetOpacity() != before)
            tool.SetLayerOpacity1Temp(m_picture, active, before);
    } else {
        tool.SetLayerOpacity1Final(m_picture, active, final, before);
    }
    RefreshOpacityBox();
}

int CLayerListBox::RowAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

void CLayerListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        CROwnerDrawListBox::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    QRect rowRect;
    CLayerListItem* item = GetLayerItem(row);
    if (item && GetRowRect(row, &rowRect) && item->Press(point - rowRect.topLeft())) {
        m_rowTookPress = true;
        m_pressPoint = point;
        event->accept();
        return;
    }
    m_rowTookPress = false;
    if (row >= 0) {
        m_dragArmed = true;
        m_pressedRow = row;
        m_pressPoint = point;
        OnCurrentRowChanged(row);
    }
    CROwnerDrawListBox::mousePressEvent(event);
}

void CLayerListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragArmed && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        StartDrag();
        return;
    }
    CROwnerDrawListBox::mouseMoveEvent(event);
}

void CLayerListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragArmed = false;
        // The list never saw the press a row took.
        if (m_rowTookPress)
            return;
    }
    CROwnerDrawListBox::mouseReleaseEvent(event);
}

void CLayerListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_rowTookPress) {
        // The second click of a double click on an icon is a click of its own.
        const int row = RowAt(m_pressPoint);
        QRect rowRect;
        if (CLayerListItem* item = GetLayerItem(row); item && GetRowRect(row, &rowRect))
            item->Press(m_pressPoint - rowRect.topLeft());
        return;
    }
    if (m_properties)
        m_properties();
}

void CLayerListBox::StartDrag()
{
    m_dragArmed = false;
    if (!m_picture || !LayerOfRow(m_pressedRow))
        return;
    CLayerDragPayload payload;
    payload.layerIndex = uint16_t(m_picture->GetLayerCount() - 1 - m_pressedRow);
    payload.picture = m_picture;
    const QByteArray bytes = payload.Encode();
    m_dropTarget.Leave();
    CLayerListDataSource source;
    source.DoDrag(this, bytes.constData(), size_t(bytes.size()));
}

bool CLayerListBox::AcceptsDrop(const QMimeData* data, const QObject* source, CLayerDragPayload* payload) const
{
    if (!data || !m_picture || (source != this && source != viewport()))
        return false;
    const QString type = CRDropDataBase::MimeType(CLayerListDataSource::FormatName());
    CLayerDragPayload read;
    if (!data->hasFormat(type) || !read.Decode(data->data(type)))
        return false;
    if (read.picture != m_picture || read.layerIndex >= m_picture->GetLayerCount())
        return false;
    *payload = read;
    return true;
}

void CLayerListBox::InvalidateBand(const QRect& band)
{
    if (!band.isEmpty())
        viewport()->update(band);
}

void CLayerListBox::ScrollRows(int rows)
{
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + rows);
}

void CLayerListBox::paintEvent(QPaintEvent* event)
{
    ++m_counters.paints;
    m_counters.lastPainted = event->region();
    CROwnerDrawListBox::paintEvent(event);
    const QRect marker = m_dropTarget.GetMarker();
    if (!marker.isEmpty() && event->region().intersects(marker))
        InvertBand(viewport(), marker);
}

void CLayerListBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_scrollTimer.timerId()) {
        m_dropTarget.AutoScroll(m_clock.elapsed());
        return;
    }
    CROwnerDrawListBox::timerEvent(event);
}

void CLayerListBox::changeEvent(QEvent* event)
{
    CROwnerDrawListBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MeasureOpacityColumn();
        viewport()->update();
    }
}

void CLayerListBox::MeasureOpacityColumn()
{
    constexpr int kOpacityWidth = 24;
    constexpr int kPadding = 3;
    m_opacityWidth = std::max(kOpacityWidth, fontMetrics().horizontalAdvance(QStringLiteral("100%")) + kPadding);
}

void CLayerListBox::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void CLayerListBox::dragMoveEvent(QDragMoveEvent* event)
{
    CLayerDragPayload payload;
    if (!AcceptsDrop(event->mimeData(), event->source(), &payload)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    m_dropTarget.DragOver(event->position().toPoint().y(), m_clock.elapsed());
    // The pointer may rest near an edge, when no move events come.
    if (!m_scrollTimer.isActive())
        m_scrollTimer.start(int(CLayerListDropTarget::kScrollInterval), this);
}

void CLayerListBox::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_scrollTimer.stop();
    m_dropTarget.Leave();
    event->accept();
}

void CLayerListBox::dropEvent(QDropEvent* event)
{
    m_scrollTimer.stop();
    CLayerDragPayload payload;
    if (!AcceptsDrop(event->mimeData(), event->source(), &payload)) {
        m_dropTarget.Leave();
        event->ignore();
        return;
    }
    m_dropTarget.Drop(payload, event->position().toPoint().y());
    event->setDropAction(Qt::MoveAction);
    event->accept();
}
