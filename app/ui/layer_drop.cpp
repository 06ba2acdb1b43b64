// The layer drag's payload, the drop arithmetic and the list's drop target.
#include "app/ui/layer_drop.h"

#include <QByteArray>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "app/ui/layer_list_box.h"
#include "engine/picture/picture.h"

namespace {

constexpr qsizetype kPointerOffset = 4;
constexpr qsizetype kPayloadSize = kPointerOffset + qsizetype(sizeof(ITzPicture*));
constexpr int kMarkerHeight = 2;

}  // namespace

QByteArray CLayerDragPayload::Encode() const
{
    QByteArray bytes(kPayloadSize, '\0');
    bytes[0] = char(layerIndex & 0xFF);
    bytes[1] = char(layerIndex >> 8);
    std::memcpy(bytes.data() + kPointerOffset, &picture, sizeof(picture));
    return bytes;
}

bool CLayerDragPayload::Decode(const QByteArray& bytes)
{
    if (bytes.size() != kPayloadSize || bytes[2] != 0 || bytes[3] != 0)
        return false;
    layerIndex = uint16_t(uint8_t(bytes[0]) | uint8_t(bytes[1]) << 8);
    std::memcpy(&picture, bytes.constData() + kPointerOffset, sizeof(picture));
    return true;
}

int LayerInsertionRow(int topIndex, int rowHeight, int count, int y)
{
    if (count <= 0 || rowHeight <= 0)
        return -1;
    return topIndex + (y + rowHeight / 2) / rowHeight;
}

int LayerDropIndex(int count, int layerIndex, int insertionRow)
{
    if (count <= 0 || layerIndex < 0 || layerIndex >= count || insertionRow < 0)
        return -1;
    int row = std::min(insertionRow, count);
    const int sourceRow = count - layerIndex - 1;
    if (row > sourceRow)
        --row;
    return row == sourceRow ? -1 : count - row - 1;
}

CLayerListDataSource::CLayerListDataSource()
{
    SetFormat(FormatName());
}

const QString& CLayerListDataSource::FormatName()
{
    static const QString name = QStringLiteral("ITz_LAYER_DRAG&DROP_DATA");
    return name;
}

void CLayerListDropTarget::DragOver(int y, int64_t now)
{
    m_lastY = y;
    AutoScroll(now);
    const int row = LayerInsertionRow(m_list->GetTopIndex(), m_list->GetRowHeight(), m_list->GetCount(), y);
    if (row < 0) {
        SetMarker({});
        return;
    }
    const int boundary = (row - m_list->GetTopIndex()) * m_list->GetRowHeight();
    SetMarker(QRect(0, boundary - kMarkerHeight / 2, m_list->viewport()->width(), kMarkerHeight));
}

void CLayerListDropTarget::AutoScroll(int64_t now)
{
    if (m_lastY < 0 || (m_scrolled && now >= m_lastScroll && now - m_lastScroll < kScrollInterval))
        return;
    m_scrolled = true;
    m_lastScroll = now;
    const int height = m_list->viewport()->height();
    int rows = 0;
    if (m_lastY < kScrollMargin)
        rows = -1;
    else if (m_lastY >= height - kScrollMargin)
        rows = 1;
    if (rows == 0)
        return;
    const int top = m_list->GetTopIndex();
    m_list->ScrollRows(rows);
    if (m_list->GetTopIndex() != top)
        DragOver(m_lastY, now);
}

void CLayerListDropTarget::Leave()
{
    SetMarker({});
    m_lastY = -1;
    m_scrolled = false;
}

bool CLayerListDropTarget::Drop(const CLayerDragPayload& payload, int y)
{
    Leave();
    const int count = m_list->GetCount();
    const int index = LayerDropIndex(count, payload.layerIndex,
                                     LayerInsertionRow(m_list->GetTopIndex(), m_list->GetRowHeight(), count, y));
    return index >= 0 && payload.picture && payload.picture->DoMoveLayer(payload.layerIndex, uint16_t(index)) != 0;
}

void CLayerListDropTarget::SetMarker(const QRect& band)
{
    if (band == m_marker)
        return;
    m_list->InvalidateBand(m_marker);
    m_marker = band;
    m_list->InvalidateBand(m_marker);
}
