// CLayerListBox: the layers of a picture as an owner-drawn list, one CLayerListItem row
// per layer with the top layer first (row r shows layer count - 1 - r). It listens to the
// picture and rebuilds its rows when the stack changes, follows the active layer, makes
// the selected row's layer active, lets the rows take clicks on their eye and link icons,
// and reorders layers by drag and drop within itself. Given an opacity box, it shows the
// active layer's opacity there and applies what the user sets in it.
#pragma once

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPoint>
#include <QRegion>
#include <cstdint>
#include <functional>

#include "app/ui/layer_drop.h"
#include "app/ui/owner_draw_list_box.h"
#include "base/broadcaster.h"

class CSlideCombobox;
class CLayerListItem;
class ITzLayerBase;
class ITzPicture;
class QMimeData;

// What the list did, for the tests and the benchmark.
struct CLayerListCounters {
    uint64_t rebuilds = 0;        // rows made anew from the picture
    uint64_t thumbnails = 0;      // thumbnails read from the picture
    uint64_t fullSizeReads = 0;   // ...of them read from a layer's own pixels, not its preview cache
    uint64_t paints = 0;          // paint events of the rows
    QRegion lastPainted;          // the region the last one painted
};

class CLayerListBox : public CROwnerDrawListBox, public PTzListener {
public:
    static constexpr int kRowHeight = 29;

    explicit CLayerListBox(QWidget* parent = nullptr);
    ~CLayerListBox() override;

    // Shows the picture's layers (null: none). Nothing happens for the picture shown.
    void SetPicture(ITzPicture* picture);
    ITzPicture* GetPicture() const { return m_picture; }
    // The box that shows and sets the active layer's opacity (null: none); not owned.
    void SetOpacityBox(CSlideCombobox* box);
    // Shows the active layer's opacity in the box, as a percentage.
    void RefreshOpacityBox();

    // The layer a row shows, and the row of a layer index; null / -1 outside the stack.
    ITzLayerBase* LayerOfRow(int row) const;
    int RowOfLayer(int index) const;
    CLayerListItem* GetLayerItem(int row) const;

    // Called when a double click asks for the active layer's properties.
    void SetPropertiesHandler(std::function<void()> handler) { m_properties = std::move(handler); }
    // Called after the rows were made anew or the active layer changed.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // The drag and drop of rows.
    CLayerListDropTarget& GetDropTarget() { return m_dropTarget; }
    // Whether a drop of this data from that source may move a layer here: only a drag
    // that this list started, naming the picture shown and one of its layers.
    bool AcceptsDrop(const QMimeData* data, const QObject* source, CLayerDragPayload* payload) const;

    // The width of the rows' opacity column: 24 pixels, or what "100%" takes in the
    // list's font when that is more.
    int GetOpacityWidth() const { return m_opacityWidth; }

    CLayerListCounters& GetCounters() { return m_counters; }
    // For the drop target: repaints a band of the viewport (the marker's), and scrolls
    // the rows by a number of rows.
    void InvalidateBand(const QRect& band);
    void ScrollRows(int rows);

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Clears the rows and, with a picture, fills them from its stack and selects the
    // active layer's row, all without touching the active layer.
    void Rebuild();
    void SelectActiveRow();
    void OnCurrentRowChanged(int row);
    // The opacity box's 5101 (committed) and 5102 (dragging).
    void CommitOpacity(int32_t percent);
    void PreviewOpacity(int32_t percent);
    void StartDrag();
    void MeasureOpacityColumn();
    // The row under a viewport point inside the rows, or -1.
    int RowAt(const QPoint& point) const;

    ITzPicture* m_picture = nullptr;
    CSlideCombobox* m_opacityBox = nullptr;
    std::function<void()> m_properties;
    std::function<void()> m_changed;
    bool m_filling = false;          // the rows are being changed by the program
    // The mouse: a drag armed by a press on a row, and the press a row took.
    bool m_dragArmed = false;
    int m_pressedRow = -1;
    QPoint m_pressPoint;
    bool m_rowTookPress = false;
    // The opacity before a drag of the box's slider, kept from its first step.
    bool m_opacityDragging = false;
    uint8_t m_opacityBefore = 0;
    CLayerListDropTarget m_dropTarget{this};
    QBasicTimer m_scrollTimer;
    QElapsedTimer m_clock;
    CLayerListCounters m_counters;
    int m_opacityWidth = 24;
};
