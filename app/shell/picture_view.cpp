// The view's life, geometry and coordinate conversions, its observation of the picture
// and its activation. Painting, zoom and input live in picture_view_paint.cpp,
// picture_view_zoom.cpp and picture_view_input.cpp.
#include "app/shell/picture_view.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include "app/shell/application.h"
#include "app/shell/bitmap_draw.h"
#include "app/shell/document.h"
#include "app/shell/shell_links.h"
#include "app/shell/zoom_ladder.h"
#include "engine/picture/engine_functions.h"

using namespace quorvel;

CTamsleyView::CTamsleyView(CTamsleyDoc* document, QWidget* parent) : QAbstractScrollArea(parent), m_document(document)
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    if (m_document && m_document->GetPictureHandle()) {
        ITzPictInsertDataChangeHandler(m_document->GetPictureHandle(), this);
        AddToBroadcaster(GetPicture());
    }
    UpdateScrollSizes();
    UpdateZoomTitle();
}

CTamsleyView::~CTamsleyView()
{
    if (IViewTools* tools = Tools())
        tools->OnViewClosing(this);
    if (m_document && m_document->GetPictureHandle())
        ITzPictRemoveDataChangeHandler(m_document->GetPictureHandle(), this);
    FreeBackBuffer();
}

ITzPicture* CTamsleyView::GetPicture() const
{
    return m_document ? m_document->GetPicture() : nullptr;
}

IViewTools* CTamsleyView::Tools() const
{
    CTamsleyApp* app = CTamsleyApp::Get();
    IToolManager* tools = app ? app->GetToolManager() : nullptr;
    return tools ? tools->GetViewTools() : nullptr;
}

int CTamsleyView::GetZoomLevel(_tagITzZOOMLEVEL* zoom) const
{
    if (!zoom)
        return 0;
    *zoom = m_zoom;
    return 1;
}

QSize CTamsleyView::GetZoomedSize() const
{
    _tagPTzSIZE size = {};
    _tagITzZOOMLEVEL zoom = m_zoom;
    ITzPicture* picture = GetPicture();
    if (!picture || picture->GetPreviewSize(&size, &zoom) != 0)
        return {};
    return {size.cx, size.cy};
}

QPoint CTamsleyView::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

CTamsleyView::Geometry CTamsleyView::GetGeometry() const
{
    Geometry geometry;
    geometry.client = QRect(QPoint(0, 0), viewport()->size());
    geometry.zoomed = GetZoomedSize();
    geometry.origin = PictureOrigin();
    // Formed in 64 bits: the zoomed picture may reach to the end of the coordinate range.
    const int64_t left = std::max<int64_t>(geometry.origin.x(), 0);
    const int64_t top = std::max<int64_t>(geometry.origin.y(), 0);
    const int64_t right = std::min<int64_t>(int64_t(geometry.origin.x()) + geometry.zoomed.width(),
                                            geometry.client.width());
    const int64_t bottom = std::min<int64_t>(int64_t(geometry.origin.y()) + geometry.zoomed.height(),
                                             geometry.client.height());
    if (left < right && top < bottom)
        geometry.visible = QRect(int(left), int(top), int(right - left), int(bottom - top));
    geometry.coversClient = geometry.visible == geometry.client;
    return geometry;
}

PTzPOINT CTamsleyView::ClientToZoomed(PTzPOINT client) const
{
    const QSize zoomed = GetZoomedSize();
    const QSize room = viewport()->size();
    const QPoint scroll = GetScrollPosition();
    int64_t x = int64_t(client.x) + scroll.x();
    int64_t y = int64_t(client.y) + scroll.y();
    if (zoomed.width() < room.width())
        x -= (room.width() - zoomed.width()) >> 1;
    if (zoomed.height() < room.height())
        y -= (room.height() - zoomed.height()) >> 1;
    return {PTzSaturate32(x), PTzSaturate32(y)};
}

PTzPOINT CTamsleyView::ZoomedToClient(PTzPOINT zoomed) const
{
    const QSize size = GetZoomedSize();
    const QSize room = viewport()->size();
    const QPoint scroll = GetScrollPosition();
    int64_t x = int64_t(zoomed.x) - scroll.x();
    int64_t y = int64_t(zoomed.y) - scroll.y();
    if (size.width() < room.width())
        x += (room.width() - size.width()) >> 1;
    if (size.height() < room.height())
        y += (room.height() - size.height()) >> 1;
    return {PTzSaturate32(x), PTzSaturate32(y)};
}

QPoint CTamsleyView::PictureOrigin() const
{
    const PTzPOINT origin = ZoomedToClient({0, 0});
    return {origin.x, origin.y};
}

int CTamsleyView::ZoomedToPicture(const PTzPOINT* zoomed, PTzPOINT* picture) const
{
    _tagITzZOOMLEVEL zoom = m_zoom;
    return ITzPictZPToPP(&zoom, zoomed, picture);
}

int CTamsleyView::PictureToZoomed(const PTzPOINT* picture, PTzPOINT* zoomed) const
{
    _tagITzZOOMLEVEL zoom = m_zoom;
    return ITzPictPPToZP(&zoom, picture, zoomed);
}

int CTamsleyView::ZoomedToPictureSubpixel(const PTzPOINT* zoomed, PTzPOINT* picture) const
{
    _tagITzZOOMLEVEL zoom = m_zoom;
    return ITzPictZPToPPMT(&zoom, zoomed, picture);
}

void CTamsleyView::ScrollToZoomed(int32_t x, int32_t y)
{
    bool wider = false;
    bool taller = false;
    GetScrollableAxes(&wider, &taller);
    if (wider)
        horizontalScrollBar()->setValue(x);
    if (taller)
        verticalScrollBar()->setValue(y);
}

int CTamsleyView::GetScrollableAxes(bool* wider, bool* taller) const
{
    const QSize zoomed = GetZoomedSize();
    const QSize room = viewport()->size();
    const bool isWider = zoomed.width() > room.width();
    const bool isTaller = zoomed.height() > room.height();
    if (wider)
        *wider = isWider;
    if (taller)
        *taller = isTaller;
    return isWider || isTaller ? 1 : 0;
}

void CTamsleyView::UpdateZoomTitle()
{
    QWidget* frame = parentWidget();
    if (frame && m_document)
        frame->setWindowTitle(ZoomTitle(m_zoom, m_document->GetTitle()));
}

void CTamsleyView::FitFrameToPicture()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    if (!frame || !area || !GetPicture())
        return;
    // Two thirds in whole pixels, cut down (QSize's own arithmetic would round).
    const QSize target =
        frame->isMaximized() ? viewport()->size() : QSize(2 * area->width() / 3, 2 * area->height() / 3);
    for (QSize zoomed = GetZoomedSize();
         (zoomed.width() > target.width() || zoomed.height() > target.height()) && CanZoomOut();
         zoomed = GetZoomedSize())
        SetZoom(StepZoomLadder(m_zoom, false));
    if (frame->isMaximized())
        return;
    // The frame keeps its corner; its client area becomes the zoomed picture (which needs
    // no scroll bars, whether or not they show now), the frame no smaller than its title
    // bar and buttons need: a smaller picture is centred in it.
    const QSize border(2 * frameWidth(), 2 * frameWidth());
    frame->resize((frame->size() - size() + border + GetZoomedSize()).expandedTo(frame->minimumSizeHint()));
    UpdateScrollSizes();
}

QSize CTamsleyView::sizeHint() const
{
    const QSize zoomed = GetZoomedSize();
    return zoomed.isEmpty() ? QAbstractScrollArea::sizeHint() : zoomed + QSize(2 * frameWidth(), 2 * frameWidth());
}

void CTamsleyView::DataChanged(const PTzRECT* rect, int)
{
    if (!rect)
        return;
    // A copy: the picture hands the same rectangle to every observer in turn.
    PTzPOINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    for (PTzPOINT& corner : corners) {
        PTzPOINT zoomed;
        if (PictureToZoomed(&corner, &zoomed) != 0)
            zoomed = {corner.x < 0 ? INT32_MIN : INT32_MAX, corner.y < 0 ? INT32_MIN : INT32_MAX};
        corner = ZoomedToClient(zoomed);
    }
    const int64_t left = std::max<int64_t>(int64_t(corners[0].x) - 2, -1);
    const int64_t top = std::max<int64_t>(int64_t(corners[0].y) - 2, -1);
    const int64_t right = std::min<int64_t>(int64_t(corners[1].x) + 2, viewport()->width() + 1);
    const int64_t bottom = std::min<int64_t>(int64_t(corners[1].y) + 2, viewport()->height() + 1);
    if (left < right && top < bottom)
        InvalidateClient(QRect(int(left), int(top), int(right - left), int(bottom - top)));
}

void CTamsleyView::DataChangedSelection(const PTzRECT* rect, int flag)
{
    FreeSelectionOutline();
    DataChanged(rect, flag);
    // A selection made or dropped by a tool: Crop, Deselect and Inverse follow.
    UpdateFrameCommands();
}

int CTamsleyView::Listen(uint32_t message, void*, PTzBroadcaster*)
{
    if (message == ITzPICTMSG_SIZE_CHANGED) {
        FreeSelectionOutline();
        UpdateScrollSizes();
        InvalidateAll();
    }
    // The layer stack, the active layer or the size changed: what the commands may do.
    if (message != ITzPICTMSG_DESTROY)
        UpdateFrameCommands();
    return 1;
}

void CTamsleyView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    ConnectActivation();
}

void CTamsleyView::ConnectActivation()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    if (m_activationConnected || !area)
        return;
    m_activationConnected = true;
    connect(area, &QMdiArea::subWindowActivated, this, [this] { SyncActivation(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this] { SyncActivation(); });
    SyncActivation();
}

void CTamsleyView::SyncActivation()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    const bool active = area && area->activeSubWindow() == frame &&
                        QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (active != IsActive())
        OnActivateView(active);
}

void CTamsleyView::OnActivateView(bool activate)
{
    m_active = activate ? 1 : 0;
    if (activate) {
        if (!m_timer.isActive())
            m_timer.start(20, this);
        Register();
    } else {
        m_timer.stop();
        Unregister();
        InvalidateAll();
    }
    CTamsleyApp* app = CTamsleyApp::Get();
    if (IPanelProvider* panels = app ? app->GetPanels() : nullptr) {
        // The view of the MDI area's active window, found through the area itself: the
        // main frame may be on its way out, hiding its windows as it goes.
        auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
        QMdiSubWindow* activeFrame = frame && frame->mdiArea() ? frame->mdiArea()->activeSubWindow() : nullptr;
        auto* shown = activeFrame ? dynamic_cast<CTamsleyView*>(activeFrame->widget()) : nullptr;
        panels->ShowLayersOf(shown ? shown->GetPicture() : nullptr);
    }
    Broadcast(QVMSG_VIEW_ACTIVATED, &m_active, this);
}
