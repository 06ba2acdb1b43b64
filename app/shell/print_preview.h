// RPrintPreview: the page preview of the Print dialog. It shows the paper of the printer,
// its printable area and the picture placed on it, and lets the user move the picture
// and resize it by its edges and corners (the aspect ratio stays), centre it or keep it
// fitted into the paper. The page model is its RPrintViewLogic part; printing goes
// through a COpPrint whose progress belongs to the dialog.
//
// Printer pixels need not be square: on screen the paper, the printable area and the
// picture are shown in pixels of the coarser of the two resolutions, the paper fitted
// into the control with its aspect ratio kept and centred on the free axis.
#pragma once

#include <QWidget>
#include <cstdint>

#include "app/shell/print_view_logic.h"

class RPrintPreview : public QWidget, public RPrintViewLogic {
public:
    // What a press on the picture drags.
    enum DragMode : int {
        None = 0,
        LeftEdge = 1,
        RightEdge = 2,
        TopEdge = 3,
        BottomEdge = 4,
        TopLeft = 5,
        BottomLeft = 6,
        TopRight = 7,
        BottomRight = 8,
        Move = 9,
    };

    // The dialog owns the print operations' progress.
    explicit RPrintPreview(QWidget* dialog, QWidget* parent = nullptr);

    // A new picture or printer starts shrunk into the printable area when needed and
    // centred.
    void ResetPictureDPI() override;
    void OnPrinterChanged() override;
    int PrintPart(ITzPicture* picture, QPainter* painter, const PTzRECT& source, const PTzRECT& dest) override;

    // The check boxes: setting a flag centres (or fits) the picture at once. While
    // centred the picture cannot be moved and edges resize about its middle; while
    // fitted every resize is fitted again.
    void SetCenter(bool centre);
    void SetFitIntoPaper(bool fit);
    bool GetCenter() const { return m_centre; }
    bool GetFitIntoPaper() const { return m_fit; }

    // The paper in the control (control pixels, right and bottom exclusive); empty
    // without a printer.
    PTzRECT GetPageRectInControl() const;
    // A rectangle of page coordinates in the control.
    PTzRECT PageToControl(const PTzRECT& page) const;
    // What a press at the control point would drag.
    DragMode HitTest(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Page <-> control on one axis: control = origin + (page + offset) x num / den.
    struct AxisMap {
        quorvel::PrintWide origin;
        quorvel::PrintWide offset;
        quorvel::PrintWide num;
        quorvel::PrintWide den;
        int32_t ToControl(quorvel::PrintWide page) const;
        int32_t DeltaToPage(int32_t control) const;
    };
    bool GetAxisMaps(AxisMap* x, AxisMap* y) const;
    void ShowCursorFor(DragMode mode);
    void DragTo(QPoint point);

    QWidget* m_dialog;
    bool m_pressed = false;
    QPoint m_dragStart;
    PTzRECT m_startRect = {};
    DragMode m_dragMode = None;
    bool m_centre = false;
    bool m_fit = false;
};
