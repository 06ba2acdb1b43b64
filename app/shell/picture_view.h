// CTamsleyView: the view of one document's picture inside an MDI subwindow. It shows the
// picture at a zoom ratio in a scrolling area, centred where the window is larger, on a
// checkerboard, with a grey surround and a one-pixel frame; it steps the zoom along its
// ladder, repaints what the picture reports changed, hands mouse, key, tablet, timer and
// idle events to the current tool, and shows the selection as a marching outline while it
// is the active view.
//
// Qt draws only in paintEvent: what tools draw over the picture (the text cursor, rubber
// bands) is an overlay list painted after the picture. The view paints through a back
// buffer that holds the whole visible area, so that an outline step recolours the buffer
// and repaints without composing the picture again.
//
// Coordinates: picture (the picture's pixels), zoomed (picture x zoom; the view scrolls
// through them) and client (the viewport's pixels).
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRegion>
#include <cstdint>
#include <map>
#include <vector>

#include "app/shell/idle_manager.h"
#include "app/shell/layers_below_cache.h"
#include "app/shell/selection_outline.h"
#include "app/shell/tablet_binding.h"
#include "base/broadcaster.h"
#include "base/geometry.h"
#include "engine/picture/picture.h"
#include "engine/pixels/zoom_level.h"

class CTamsleyDoc;
class ITzBitmap24;
struct _tagPTzMOUSEPOINT;

namespace quorvel {
class IPrintMetrics;
class IViewTools;
}

enum : uint32_t {
    // The view, on activation and deactivation; the parameter points to its active flag.
    QVMSG_VIEW_ACTIVATED = 5201,
};

// Something a tool draws over the picture: a polyline in client coordinates, drawn with
// the pen in the composition mode (exclusive or by default, as on the screen before).
struct CViewOverlay {
    QPolygon points;
    QPen pen;
    QPainter::CompositionMode mode = QPainter::RasterOp_SourceXorDestination;
};

// What the view's paints did, for the tests and the benchmark.
struct CViewPaintCounters {
    uint64_t tilesComposed = 0;         // picture tiles composed, on the window or into the back buffer
    uint64_t tilesInBands = 0;          // those of them composed in bands of rows by the paint workers
    uint64_t outlinePixelsWritten = 0;  // back-buffer pixels the outline steps recoloured
    uint64_t paints = 0;                // paint events (tools pace their autoscroll by them)
};

class CTamsleyView : public QAbstractScrollArea,
                     public CRIdlehandler,
                     public PTzListener,
                     public PTzBroadcaster,
                     public ITzPictDataChangeHandler {
public:
    // Observes the document's picture from the start.
    explicit CTamsleyView(CTamsleyDoc* document, QWidget* parent = nullptr);
    ~CTamsleyView() override;

    CTamsleyDoc* GetDocument() const { return m_document; }
    ITzPicture* GetPicture() const;

    // The zoom ratio and the picture's size at it.
    int GetZoomLevel(_tagITzZOOMLEVEL* zoom) const;
    // Empty without a picture.
    QSize GetZoomedSize() const;

    // Conversions. Client <-> zoomed add or take the scroll position and, on an axis where
    // the zoomed picture is narrower than the client area, the centring offset.
    PTzPOINT ClientToZoomed(PTzPOINT client) const;
    PTzPOINT ZoomedToClient(PTzPOINT zoomed) const;
    // Where the zoomed picture's corner lies in the client area.
    QPoint PictureOrigin() const;
    // Zoomed <-> picture with the view's zoom; the subpixel form gives sixteenths of a
    // pixel. 0, or -1001 for a null argument or a result beyond 32 bits.
    int ZoomedToPicture(const PTzPOINT* zoomed, PTzPOINT* picture) const;
    int PictureToZoomed(const PTzPOINT* picture, PTzPOINT* zoomed) const;
    int ZoomedToPictureSubpixel(const PTzPOINT* zoomed, PTzPOINT* picture) const;
    // Scrolls to the zoomed position on each axis where the picture is larger than the
    // client area (tools scroll while dragging).
    void ScrollToZoomed(int32_t x, int32_t y);
    // Whether the zoomed picture is wider / taller than the client area (either pointer
    // may be null); nonzero when either is.
    int GetScrollableAxes(bool* wider, bool* taller) const;

    // Zoom. One ladder step about a zoomed point (zoom tool clicks) or about the visible
    // centre (the Zoom In and Zoom Out commands); a rectangle of zoomed pixels made to fill
    // the window on its tighter axis (zoom tool drags). Each does nothing when its stop rule
    // says no.
    void ZoomInAt(PTzPOINT zoomed);
    void ZoomOutAt(PTzPOINT zoomed);
    void ZoomToRect(const PTzRECT& zoomed);
    void ZoomInCentre();
    void ZoomOutCentre();
    bool CanZoomIn() const;
    bool CanZoomOut() const;
    // Stores a different ratio (the outline dropped, the window repainted, the scroll
    // sizes and the title renewed): 1.
    int SetZoom(_tagITzZOOMLEVEL zoom);
    // After a file was opened: zooms out until the picture fits two thirds of the main
    // window's client area, then sizes the subwindow to show exactly the zoomed picture.
    void FitFrameToPicture();
    // The subwindow's title: the zoom's percentage, "%" and the document's title.
    void UpdateZoomTitle();

    // For tools. The mouse stays with the view while a button is down; the flag tells
    // that a tool holds it.
    void SetToolCapture(int capture) { m_toolCapture = capture ? 1 : 0; }
    int GetToolCapture() const { return int(m_toolCapture); }
    // The pressure of the pen: 0 while no button is down; the tablet's while it sends
    // data; otherwise the simulated pressure (255 unless Random Pressure is on).
    uint8_t GetPenPressure();
    // Shows or hides the text cursor, a white line inverted over the picture from (x, top)
    // to (x, bottom) in picture coordinates. Nothing happens when the same line was
    // toggled 500 ms ago or less.
    void FlashTextCursor(int32_t x, int32_t top, bool show, int32_t bottom);
    // Puts an overlay under the id (replacing one there), or takes it away.
    void SetOverlay(int id, const CViewOverlay& overlay);
    void RemoveOverlay(int id);
    // Asks the current tool for the cursor at the mouse's place.
    void RefreshCursor();

    // Activation: the view of the active subwindow of an active program is the active view.
    // It takes idle time, runs the 20 ms timer, shows the outline and tells the layers
    // panel; then it broadcasts 5201.
    void OnActivateView(bool activate);
    bool IsActive() const { return m_active != 0; }

    // Idle: the current tool first; when it wants no more time, one outline step and the
    // check for an editing lock left behind. Nonzero while the tool wants more time.
    int OnIdle() override;

    // The picture's observers.
    void DataChanged(const PTzRECT* rect, int flag) override;
    void DataChangedSelection(const PTzRECT* rect, int flag) override;

    // The picture commands (picture_view_commands.cpp; the menus in view_commands.h).
    // Each does nothing without a picture; an engine step refused leaves it as it was.
    void OnUndo();
    void OnRedo();
    void OnCut();
    void OnCopy();
    void OnPaste();
    void OnFillColor();
    void OnSelectionMode();
    void OnSelectAll();
    void OnDeselect();
    void OnSelectInverse();
    void OnResize();
    void OnRotate90CW();
    void OnRotate90CCW();
    void OnRotate180();
    void OnCrop();
    void OnNewLayer();
    void OnDeleteLayer();
    void OnMergeAll();
    void OnMergeDown();
    void OnConvertToImage();
    void OnLayerProperties();
    void OnSetActiveLayer();
    void OnRefreshCache();
    void OnTestingDialog();
    void OnZoomIn();
    void OnZoomOut();
    // A new image layer above the active one, named by MakeNewLayerName.
    void NewLayer();
    // The Layer Properties dialog for the active layer.
    void EditLayerProperties();
    // Whether the command may run on this view's picture now; false without a picture.
    bool IsCommandEnabled(int id) const;

    const CViewPaintCounters& GetPaintCounters() const { return m_counters; }
    QSize sizeHint() const override;

    // Printing (picture_view_print.cpp). Print puts the picture on one page of the
    // application's printer, centred, at its own size when that fits the printable area
    // and shrunk uniformly into it otherwise; nothing happens without a picture or a
    // printer. Print Preview opens the Print dialog.
    void OnFilePrint();
    void OnFilePrintPreview();
    // The whole picture as the source and where it goes in the printable area: 1, or 0
    // with both rectangles empty when a resolution is 0 or the picture has no size. A
    // picture resolution that rounds to 0 dpi counts as 72 dpi.
    static int ComputePrintPlacement(const quorvel::IPrintMetrics& dc, ITzPicture* picture, PTzRECT* source,
                                     PTzRECT* dest);
    // Prints the source part of the picture into the destination on the painter, under
    // the progress rules: nonzero when printed.
    int RunPrintOperation(QPainter* painter, ITzPicture* picture, const PTzRECT& source, const PTzRECT& dest);

protected:
    // 1006 (size changed) repaints everything at the new scroll sizes.
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The visible geometry of one moment.
    struct Geometry {
        QRect client;          // the viewport, at (0, 0)
        QPoint origin;         // the zoomed picture's corner, client coordinates
        QSize zoomed;          // the zoomed picture's size
        QRect visible;         // the part of the client area that shows the picture
        bool coversClient;     // the picture fills the client area
    };
    Geometry GetGeometry() const;
    QPoint GetScrollPosition() const;
    quorvel::IViewTools* Tools() const;

    // Painting (picture_view_paint.cpp).
    void PaintFromBackBuffer(QPainter& painter, const QRegion& area, const Geometry& geometry, bool withOutline);
    void PaintDirect(QPainter& painter, const QRegion& area, const Geometry& geometry);
    void PaintSurround(QPainter& painter, const Geometry& geometry);
    void PaintOverlays(QPainter& painter);
    bool CreateBackBuffer(QPainter& painter, const QRect& visible);
    void FreeBackBuffer();
    void ComposeIntoBackBuffer(const QRegion& area, const Geometry& geometry);
    // Composes planned tiles in bands of kBandRows rows on the paint workers.
    void ComposeBands(const std::vector<CTileRows>& tiles);
    static constexpr int32_t kBandRows = 32;
    void ScrollBackBuffer(int dx, int dy);
    uint32_t OutlinePhase(const Geometry& geometry) const;
    void FreeSelectionOutline();
    void StepSelectionOutline();
    // Repaints a client rectangle whose pictures pixels changed, or everything.
    void InvalidateClient(const QRect& rect);
    void InvalidateAll();

    // Zoom and scrolling (picture_view_zoom.cpp).
    void UpdateScrollSizes();
    void CentreOnPicturePoint(PTzPOINT picture);
    PTzPOINT GetVisibleCentre() const;
    void StepZoom(PTzPOINT picture, bool in);

    // Input (picture_view_input.cpp).
    void SendSample(QMouseEvent* event, uint8_t pressure,
                    int (quorvel::IViewTools::*send)(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*));
    void ShowInformationAt(QPoint client);
    // A key with Alt held, or F10, goes to the tool manager's temporary-tool check only.
    bool SendSystemKey(QKeyEvent* event);
    bool HandleEditKey(QKeyEvent* event);
    void CheckEditLock();
    // The main frame's commands follow this view's picture while it is the frame's view.
    void UpdateFrameCommands();
    void ConnectActivation();
    void SyncActivation();

    CTamsleyDoc* m_document;
    _tagITzZOOMLEVEL m_zoom = {1, 1};
    uint32_t m_toolCapture = 0;
    uint32_t m_active = 0;
    QBasicTimer m_timer;

    // The back buffer: the visible area (client coordinates) it was made for, its pixels
    // as an engine bitmap, and the part of it not yet composed.
    ITzBitmap24* m_backBuffer = nullptr;
    _tagITzBITMAP m_backRecord = {};
    QRect m_backRect;
    QRegion m_stale;
    CSelectionOutline m_outline;
    CLayersBelowCache m_below;  // the layers under the active one, beside the back buffer
    uint32_t m_outlinePhase = 0;
    bool m_outlineInBuffer = false;  // outline pixels were painted over the picture

    // Input state.
    CTabletPressure m_tablet;
    bool m_activatingClick = false;
    bool m_buttonDown = false;
    QPoint m_lastMouse;
    bool m_activationConnected = false;

    // The text cursor: shown flag, time of the last toggle and the line (picture points).
    bool m_textCursorShown = false;
    uint32_t m_textCursorTime = 0;
    PTzPOINT m_textCursorTop = {};
    int32_t m_textCursorBottom = 0;

    std::map<int, CViewOverlay> m_overlays;
    CViewPaintCounters m_counters;
};
