// The view's input: mouse, keys and tablet go to the current tool through the tool
// manager; the view keeps the pen pressure, the click that activated it (which reaches no
// tool), the information panel's point under the cursor, the text cursor, and its idle
// work and timer while it is the active view.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabletEvent>

#include "app/shell/application.h"
#include "app/shell/colour_pick.h"
#include "app/shell/current_colours.h"
#include "app/shell/error_log.h"
#include "app/shell/info_data.h"
#include "app/shell/picture_view.h"
#include "app/shell/shell_links.h"
#include "app/shell/view_clock.h"
#include "engine/tools/mouse_track.h"

using namespace quorvel;

namespace {

constexpr int kTextCursorOverlay = -1;
constexpr uint32_t kTextCursorMs = 500;

uint32_t Flags(const QInputEvent* event)
{
    return uint32_t(event->modifiers().toInt());
}

// Keys that Alt is held with, and F10, are the system's keys.
bool IsSystemKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Alt || event->key() == Qt::Key_F10 || (event->modifiers() & Qt::AltModifier);
}

}  // namespace

uint8_t CTamsleyView::GetPenPressure()
{
    if (!m_buttonDown)
        return 0;
    uint8_t pressure = 0;
    if (m_tablet.GetPressure(&pressure))
        return pressure;
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? app->GetRandomPressure() : 255;
}

void CTamsleyView::SendSample(QMouseEvent* event, uint8_t pressure,
                              int (IViewTools::*send)(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*))
{
    const QPoint at = event->position().toPoint();
    _tagPTzMOUSEPOINT sample = {at.x(), at.y(), pressure, {}};
    if (IViewTools* tools = Tools())
        (tools->*send)(Flags(event), &sample, this);
}

void CTamsleyView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (m_activatingClick)
        return;
    m_buttonDown = true;
    SendSample(event, GetPenPressure(), &IViewTools::OnLButtonDown);
    m_lastMouse = event->position().toPoint();
}

void CTamsleyView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_buttonDown = false;
    m_tablet.ClearData();
    if (m_activatingClick) {
        m_activatingClick = false;
        return;
    }
    SendSample(event, 0, &IViewTools::OnLButtonUp);
}

void CTamsleyView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    ShowInformationAt(at);
    if (IViewTools* tools = Tools(); !tools || !tools->OnSetCursor(this, at.x(), at.y()))
        viewport()->unsetCursor();
    if (m_activatingClick)
        return;
    SendSample(event, GetPenPressure(), &IViewTools::OnMouseMove);
    m_lastMouse = at;
}

void CTamsleyView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    SendSample(event, 255, &IViewTools::OnLButtonDblClk);
}

void CTamsleyView::focusInEvent(QFocusEvent* event)
{
    // A click into a view that is not yet the active one arrives here first: it only
    // activates the view, and neither it nor its release reaches a tool.
    if (event->reason() == Qt::MouseFocusReason && !IsActive() &&
        (QGuiApplication::mouseButtons() & Qt::LeftButton))
        m_activatingClick = true;
    QAbstractScrollArea::focusInEvent(event);
}

bool CTamsleyView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        // Kept for the mouse event Qt makes of it, which an ignored tablet event gets.
        m_tablet.OnTabletEvent(static_cast<QTabletEvent*>(event)->pressure());
        event->ignore();
        return false;
    case QEvent::Leave:
        if (RInfoData* info = RInfoData::GetInfoData())
            info->Clear();
        break;
    case QEvent::Enter:
        RefreshCursor();
        break;
    case QEvent::Resize:
        // Scroll bars that came or went change the room on the other axis too.
        UpdateScrollSizes();
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CTamsleyView::RefreshCursor()
{
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    if (IViewTools* tools = Tools(); !tools || !tools->OnSetCursor(this, at.x(), at.y()))
        viewport()->unsetCursor();
}

void CTamsleyView::ShowInformationAt(QPoint client)
{
    RInfoData* info = RInfoData::GetInfoData();
    const PTzPOINT zoomed = ClientToZoomed({client.x(), client.y()});
    const QSize size = GetZoomedSize();
    // Only over the picture: the conversion rounds toward zero, so the band just left of
    // or above a magnified picture would read its first pixels.
    if (!info || zoomed.x < 0 || zoomed.y < 0 || zoomed.x >= size.width() || zoomed.y >= size.height())
        return;
    PTzPOINT point;
    _tagPTzCOLOR colour;
    if (ZoomedToPicture(&zoomed, &point) != 0 || !PickPictureColor(GetPicture(), &point, &colour))
        return;
    const uint32_t rgb[3] = {colour.components[0], colour.components[1], colour.components[2]};
    const int32_t position[2] = {point.x, point.y};
    info->SetColor(rgb);
    info->SetPosition(position);
}

bool CTamsleyView::SendSystemKey(QKeyEvent* event)
{
    if (!IsSystemKey(event))
        return false;
    if (IViewTools* tools = Tools())
        tools->OnSysKey();
    event->ignore();
    return true;
}

void CTamsleyView::keyPressEvent(QKeyEvent* event)
{
    if (SendSystemKey(event))
        return;
    IViewTools* tools = Tools();
    if (tools && tools->OnKeyDown(uint32_t(event->key()), uint32_t(event->count()), Flags(event), this))
        return;
    if (!HandleEditKey(event))
        event->ignore();  // not the scroll area's: it would scroll on the arrows
}

void CTamsleyView::keyReleaseEvent(QKeyEvent* event)
{
    if (SendSystemKey(event))
        return;
    IViewTools* tools = Tools();
    if (!tools || !tools->OnKeyUp(uint32_t(event->key()), uint32_t(event->count()), Flags(event), this))
        event->ignore();
}

bool CTamsleyView::HandleEditKey(QKeyEvent* event)
{
    CTamsleyApp* app = CTamsleyApp::Get();
    IViewEditing* editing = app ? app->GetViewEditing() : nullptr;
    if (event->key() == Qt::Key_Backspace) {
        CImageDataManager* colours = CImageDataManager::GetImageDataManager();
        _tagPTzCOLOR colour;
        if (editing && colours && (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
            if (event->modifiers() & Qt::ShiftModifier)
                colours->GetFrontColor(&colour);
            else
                colours->GetBackColor(&colour);
            editing->FillSelection(this, colour);
        }
        return true;
    }
    if (event->key() == Qt::Key_Delete) {
        if (editing)
            editing->ClearSelection(this);
        return true;
    }
    return false;
}

void CTamsleyView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (IViewTools* tools = Tools())
        tools->OnTimer(this);
}

int CTamsleyView::OnIdle()
{
    if (IViewTools* tools = Tools(); tools && tools->OnIdle(this))
        return 1;
    ITzPicture* picture = GetPicture();
    if (picture && picture->GetSelectionLayer(0))
        StepSelectionOutline();
    CheckEditLock();
    return 0;
}

void CTamsleyView::CheckEditLock()
{
    // Under a modal dialog the work behind it (a resize, a rotation) holds the lock.
    ITzPicture* picture = GetPicture();
    if (picture && !QApplication::activeModalWidget() && picture->ClearnEditLock() == 0)
        Quorvel_ERROR::WriteEntry();
}

void CTamsleyView::FlashTextCursor(int32_t x, int32_t top, bool show, int32_t bottom)
{
    const uint32_t now = ViewTime();
    const bool sameLine = m_textCursorTop.x == x && m_textCursorTop.y == top && m_textCursorBottom == bottom;
    if (sameLine && now - m_textCursorTime <= kTextCursorMs)
        return;
    m_textCursorTime = now;
    if (m_textCursorShown) {
        RemoveOverlay(kTextCursorOverlay);
        m_textCursorShown = false;
        return;
    }
    if (!show)
        return;
    m_textCursorTop = {x, top};
    m_textCursorBottom = bottom;
    QPolygon line;
    for (const PTzPOINT& end : {PTzPOINT{x, top}, PTzPOINT{x, bottom}}) {
        PTzPOINT zoomed;
        if (PictureToZoomed(&end, &zoomed) != 0)
            return;
        const PTzPOINT client = ZoomedToClient(zoomed);
        line << QPoint(client.x, client.y);
    }
    QPen pen(Qt::white, 0);
    SetOverlay(kTextCursorOverlay, {line, pen, QPainter::RasterOp_SourceXorDestination});
    m_textCursorShown = true;
}
