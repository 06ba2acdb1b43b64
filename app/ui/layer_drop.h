// Reordering layers by dragging a row of the layer list to a new place in the same list.
// CLayerListDataSource makes the drag's data: the dragged layer's index and its picture,
// under the private format "ITz_LAYER_DRAG&DROP_DATA". CLayerListDropTarget is the list's
// side of a drag over it: the insertion marker (a two-pixel band at the row boundary
// nearest the pointer), the auto-scroll near the edges, and the drop, which moves the
// layer with ITzPicture::DoMoveLayer. The arithmetic of both is kept in free functions.
#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

#include "app/ui/drop_data.h"

class CLayerListBox;
class ITzPicture;
class QByteArray;

// The drag's payload: the layer index (0 = bottom layer), two unused bytes of 0, then the
// picture's address with the process's pointer width. It means something only inside
// the process that made it.
struct CLayerDragPayload {
    uint16_t layerIndex = 0;
    ITzPicture* picture = nullptr;

    QByteArray Encode() const;
    // False (payload unchanged) for bytes of any other size or with the unused bytes set.
    bool Decode(const QByteArray& bytes);
};

// The row boundary nearest the y coordinate (viewport pixels): top + (y + h / 2) / h;
// -1 for an empty list or a row height of 0 or less.
int LayerInsertionRow(int topIndex, int rowHeight, int count, int y);
// The index the dragged layer goes to when dropped at the insertion row (clamped to the
// row count), the source's row leaving the list first; -1 when nothing moves.
int LayerDropIndex(int count, int layerIndex, int insertionRow);

class CLayerListDataSource : public CRDropDataBase {
public:
    // Offers the layer format.
    CLayerListDataSource();
    static const QString& FormatName();
};

class CLayerListDropTarget {
public:
    // Auto-scroll steps at most this often, in milliseconds.
    static constexpr int64_t kScrollInterval = 500;
    // ...when the pointer is this close to the list's top or bottom edge.
    static constexpr int kScrollMargin = 15;

    explicit CLayerListDropTarget(CLayerListBox* list) : m_list(list) {}

    // The pointer at y (viewport pixels) at the time (milliseconds of a steady clock): one
    // auto-scroll step when due, then the marker at the nearest boundary.
    void DragOver(int y, int64_t now);
    // One auto-scroll step when the interval has passed (or the clock went back) and the
    // last pointer position lies near an edge; the marker follows the rows.
    void AutoScroll(int64_t now);
    // The drag left the list, or was dropped: no marker.
    void Leave();
    // Moves the payload's layer to the boundary nearest y: true when it moved.
    bool Drop(const CLayerDragPayload& payload, int y);

    // The marker band in viewport pixels; empty when none is shown.
    QRect GetMarker() const { return m_marker; }

private:
    void SetMarker(const QRect& band);

    CLayerListBox* m_list;
    QRect m_marker;
    int m_lastY = -1;
    bool m_scrolled = false;  // an auto-scroll step was taken at m_lastScroll
    int64_t m_lastScroll = 0;
};
