// RBrushSelectView: the body of the brush picker, a scrolling grid of 60 x 60 cells, one
// per brush of the library: the tip over its display number (a round brush's diameter),
// the selected cell framed twice. A click selects a cell; a double click selects it and
// opens its editor through the owning dialog.
#pragma once

#include <cstdint>

#include "app/ui/list_view.h"

class CDialogSelectBrush;

class RBrushSelectView : public RListView {
public:
    static constexpr uint32_t kCellSize = 60;
    static constexpr uint32_t kLabelBand = 20;
    static constexpr uint32_t kBorder = 6;
    static constexpr uint32_t kSpace = 1;

    explicit RBrushSelectView(QWidget* parent = nullptr);

    // The dialog told of every new selection and asked to edit on a double click; null
    // for none.
    void SetOwner(CDialogSelectBrush* owner) { m_owner = owner; }
    uint32_t GetSelectedIndex() const { return m_selected; }
    // Stores an index (at or past the count frames no cell) without telling the owner.
    void SetSelectedIndex(uint32_t index);
    // A new index is stored, its cell and the one it leaves repainted, and the owner told;
    // the index in force does nothing.
    void OnSelect(uint32_t index);
    // Selects, then asks the owner to edit the brush.
    void OnSelectAndEdit(uint32_t index);
    // Repaints the cell of the index where it shows.
    void InvalidateCell(uint32_t index);

    // Tips drawn since the grid was made, for the tests.
    uint64_t GetPreviewsDrawn() const { return m_previewsDrawn; }

    using RListView::DrawItem;
    void DrawItem(QPainter& painter, uint32_t index, const QRect& rect) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void OnDoubleClick(QMouseEvent& event) override;

private:
    // The cell under a viewport point: true and its index.
    bool CellAt(const QPoint& point, uint32_t* index);

    CDialogSelectBrush* m_owner = nullptr;
    uint32_t m_selected = 0;
    uint64_t m_previewsDrawn = 0;
};
