// CTamsleyView: the view of one document's picture inside its child frame. It shows the
// picture at 1/1 in a scrolling area, centred where the window is larger, painted tile
// by tile from the picture's preview pixels over white. The full view (zoom, input,
// observers, the selection outline) grows from here.
#pragma once

#include <QAbstractScrollArea>

#include "engine/pixels/zoom_level.h"

class CTamsleyDoc;
class ITzPicture;
class QPainter;

class CTamsleyView : public QAbstractScrollArea {
public:
    explicit CTamsleyView(CTamsleyDoc* document, QWidget* parent = nullptr);

    CTamsleyDoc* GetDocument() const { return m_document; }
    ITzPicture* GetPicture() const;
    // The whole picture's size at the view's zoom; empty without a picture.
    QSize GetZoomedSize() const;
    // Sizes the frame around the view so the whole picture shows where the main
    // window's room allows; called once after a file was opened.
    void FitFrameToPicture();
    // Where the zoomed picture's top-left corner lies in the viewport.
    QPoint PictureOrigin() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRanges();

    CTamsleyDoc* m_document;
    _tagITzZOOMLEVEL m_zoom = {1, 1};
};

// Draws the zoomed picture's part under `area` (viewport coordinates, with the picture's
// corner at origin) in tiles of 256 x 256 aligned to the picture, each filled white and
// composed by ITzPicture::GetPreviewData3.
void DrawPictureTiles(QPainter* painter, ITzPicture* picture, const QRect& area, const QPoint& origin,
                      _tagITzZOOMLEVEL zoom);
