// The preview's painting, hit test and drags. Page coordinates reach the control through
// one rational per axis, so that the paper, the printable area and the picture are
// mapped alike; control coordinates are pinned well inside the int range, so that a
// picture dragged far off the paper still gives rectangles Qt can hold.
#include "app/shell/print_preview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <utility>

#include "app/shell/drawing_functions.h"
#include "app/shell/op_print.h"
#include "app/shell/picture_tiles.h"
#include "engine/picture/picture.h"

using quorvel::PrintCap;
using quorvel::PrintWide;
using quorvel::Halve;
using quorvel::RoundDivide;

namespace {

constexpr PrintWide kControlLimit = PrintWide(1) << 28;
constexpr int32_t kHandle = 3;  // handle half-size and hit distance, control pixels
constexpr QRgb kSurround = 0xFF808080;
constexpr QRgb kPrintableOutline = 0xFF80FFFF;  // COLORREF 0xFFFF80: red 0x80, green and blue 0xFF

int32_t PinToControl(PrintWide value)
{
    return int32_t(std::clamp(value, -kControlLimit, kControlLimit));
}

QRect ToQRect(const PTzRECT& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// A rectangle of page coordinates in 128 bits.
struct Box {
    PrintWide left, top, right, bottom;
};

enum class Keep { Start, End };  // the edge of the other axis that stays

// `start` with one edge moved by delta: the left or top edge, or with `endEdge` the
// right or bottom one. With `centre` the opposite edge moves the other way; crossed
// edges are swapped. The other axis takes the start's aspect ratio and keeps its start
// or end edge, or with `centre` its middle.
Box DragEdge(const Box& start, bool horizontal, bool endEdge, PrintWide delta, Keep keep, bool centre)
{
    PrintWide a0 = horizontal ? start.left : start.top;
    PrintWide a1 = horizontal ? start.right : start.bottom;
    PrintWide b0 = horizontal ? start.top : start.left;
    const PrintWide b1 = horizontal ? start.bottom : start.right;
    const PrintWide along = a1 - a0;
    const PrintWide across = b1 - b0;
    if (endEdge) {
        a1 += delta;
        if (centre)
            a0 -= delta;
    } else {
        a0 += delta;
        if (centre)
            a1 -= delta;
    }
    if (a0 > a1)
        std::swap(a0, a1);
    const PrintWide extent = along > 0 ? RoundDivide((a1 - a0) * across, along) : across;
    if (centre)
        b0 += Halve(across - extent);
    else if (keep == Keep::End)
        b0 = b1 - extent;
    const PrintWide b2 = b0 + extent;
    return horizontal ? Box{a0, b0, a1, b2} : Box{b0, a0, b2, a1};
}

}  // namespace

int32_t RPrintPreview::AxisMap::ToControl(PrintWide page) const
{
    return PinToControl(origin + RoundDivide((page + offset) * num, den));
}

int32_t RPrintPreview::AxisMap::DeltaToPage(int32_t control) const
{
    return quorvel::PinToInt32(RoundDivide(PrintWide(control) * den, num));
}

RPrintPreview::RPrintPreview(QWidget* dialog, QWidget* parent) : QWidget(parent), m_dialog(dialog)
{
    setObjectName(QStringLiteral("1148"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void RPrintPreview::ResetPictureDPI()
{
    RPrintViewLogic::ResetPictureDPI();
    FitIntoPaper();
    CentrePicture();
}

void RPrintPreview::OnPrinterChanged()
{
    FitIntoPaper();
    CentrePicture();
}

int RPrintPreview::PrintPart(ITzPicture* picture, QPainter* painter, const PTzRECT& source, const PTzRECT& dest)
{
    if (!picture || !painter)
        return 0;
    return COpPrint::RunBilinear(m_dialog, picture, painter, source, dest);
}

void RPrintPreview::SetCenter(bool centre)
{
    m_centre = centre;
    if (centre) {
        CentrePicture();
        update();
    }
}

void RPrintPreview::SetFitIntoPaper(bool fit)
{
    m_fit = fit;
    if (fit) {
        FitIntoPaper();
        update();
    }
}

bool RPrintPreview::GetAxisMaps(AxisMap* x, AxisMap* y) const
{
    const quorvel::IPrintMetrics* dc = GetPrinterDC();
    if (!dc)
        return false;
    const PrintWide dpiX = dc->GetDeviceCaps(PrintCap::LogPixelsX);
    const PrintWide dpiY = dc->GetDeviceCaps(PrintCap::LogPixelsY);
    const PrintWide paperWidth = dc->GetDeviceCaps(PrintCap::PhysicalWidth);
    const PrintWide paperHeight = dc->GetDeviceCaps(PrintCap::PhysicalHeight);
    const PrintWide clientWidth = width();
    const PrintWide clientHeight = height();
    if (dpiX <= 0 || dpiY <= 0 || paperWidth <= 0 || paperHeight <= 0 || clientWidth <= 0 || clientHeight <= 0)
        return false;
    // Square pixels: the finer axis is shown in pixels of the coarser one.
    PrintWide squareX[2] = {1, 1};
    PrintWide squareY[2] = {1, 1};
    if (dpiX < dpiY) {
        squareY[0] = dpiX;
        squareY[1] = dpiY;
    } else {
        squareX[0] = dpiY;
        squareX[1] = dpiX;
    }
    const PrintWide shownWidth = std::max<PrintWide>(1, RoundDivide(paperWidth * squareX[0], squareX[1]));
    const PrintWide shownHeight = std::max<PrintWide>(1, RoundDivide(paperHeight * squareY[0], squareY[1]));
    PrintWide pageWidth = clientWidth;
    PrintWide pageHeight = clientHeight;
    PrintWide left = 0;
    PrintWide top = 0;
    if (shownWidth * clientHeight > shownHeight * clientWidth) {
        pageHeight = RoundDivide(shownHeight * clientWidth, shownWidth);
        top = Halve(clientHeight - pageHeight);
    } else {
        pageWidth = RoundDivide(shownWidth * clientHeight, shownHeight);
        left = Halve(clientWidth - pageWidth);
    }
    if (pageWidth <= 0 || pageHeight <= 0)
        return false;
    const PTzPOINT offset = GetPhysicalOffset();
    *x = {left, offset.x, squareX[0] * pageWidth, squareX[1] * shownWidth};
    *y = {top, offset.y, squareY[0] * pageHeight, squareY[1] * shownHeight};
    return true;
}

PTzRECT RPrintPreview::PageToControl(const PTzRECT& page) const
{
    AxisMap x, y;
    if (!GetAxisMaps(&x, &y))
        return {};
    return {x.ToControl(page.left), y.ToControl(page.top), x.ToControl(page.right), y.ToControl(page.bottom)};
}

PTzRECT RPrintPreview::GetPageRectInControl() const
{
    return PageToControl(GetPaperRect());
}

RPrintPreview::DragMode RPrintPreview::HitTest(QPoint point) const
{
    if (!GetPicture() || !GetPrinterDC())
        return None;
    const PTzRECT shown = PageToControl(GetPictureRect());
    const int64_t left = shown.left, top = shown.top, right = int64_t(shown.right) - 1,
                  bottom = int64_t(shown.bottom) - 1;
    const auto near = [](int64_t a, int64_t b) { return (a > b ? a - b : b - a) <= kHandle; };
    const int64_t x = point.x(), y = point.y();
    if (near(x, left) && near(y, top))
        return TopLeft;
    if (near(x, left) && near(y, bottom))
        return BottomLeft;
    if (near(x, right) && near(y, top))
        return TopRight;
    if (near(x, right) && near(y, bottom))
        return BottomRight;
    if (x >= left && x <= right) {
        if (near(y, top))
            return TopEdge;
        if (near(y, bottom))
            return BottomEdge;
    }
    if (y >= top && y <= bottom) {
        if (near(x, left))
            return LeftEdge;
        if (near(x, right))
            return RightEdge;
    }
    if (!m_centre && x >= left && x <= right && y >= top && y <= bottom)
        return Move;
    return None;
}

void RPrintPreview::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    ITzPicture* picture = GetPicture();
    AxisMap x, y;
    if (!picture || !GetAxisMaps(&x, &y)) {
        painter.fillRect(rect(), QColor(kSurround));
        return;
    }
    const PTzRECT page = GetPageRectInControl();
    const PTzRECT shown = PageToControl(GetPictureRect());
    // 1. The picture, at the zoom that gives it its width in the control.
    QRegion covered;
    _tagPTzSIZE pixels = {};
    picture->GetSize(&pixels);
    const int64_t shownWidth = PTzRectWidth(shown);
    const QRect exposed = event->rect();
    const PTzRECT clip = {exposed.left(), exposed.top(), exposed.right() + 1, exposed.bottom() + 1};
    PTzRECT area;
    if (shownWidth > 0 && PTzRectHeight(shown) > 0 && pixels.cx > 0 && PTzRectIntersect(&shown, &clip, &area)) {
        _tagITzZOOMLEVEL zoom = {uint32_t(shownWidth), uint32_t(pixels.cx)};
        PTzPOINT origin = {shown.left, shown.top};
        DrawPicturePreview(&painter, picture, &area, &origin, &zoom);
        // Rounding may leave the zoomed picture a pixel short of its rectangle.
        _tagPTzSIZE zoomed = {};
        picture->GetPreviewSize(&zoomed, &zoom);
        const PTzRECT drawn = {origin.x, origin.y, PTzSaturate32(int64_t(origin.x) + zoomed.cx),
                               PTzSaturate32(int64_t(origin.y) + zoomed.cy)};
        PTzRECT painted;
        if (PTzRectIntersect(&drawn, &area, &painted))
            covered = ToQRect(painted);
    }
    // 2. The paper in white and the surround in grey, around the picture.
    const QRegion paper = QRegion(ToQRect(page)) - covered;
    painter.setClipRegion(paper);
    painter.fillRect(rect(), Qt::white);
    painter.setClipRegion(QRegion(rect()) - paper - covered);
    painter.fillRect(rect(), QColor(kSurround));
    painter.setClipping(false);
    // 3. The printable area's outline; the picture's frame and its corner handles,
    // inverted so that they show on any colour.
    const PTzRECT printable = PageToControl(GetPrintableRect());
    DrawXorRectangle(&painter, &printable, QColor(kPrintableOutline), OutlineRop::Copy);
    DrawXorRectangle(&painter, &shown, Qt::black, OutlineRop::NotXor);
    const int32_t corners[4][2] = {{shown.left, shown.top},
                                   {shown.left, shown.bottom - 1},
                                   {shown.right - 1, shown.top},
                                   {shown.right - 1, shown.bottom - 1}};
    for (const auto& corner : corners) {
        const PTzRECT handle = {corner[0] - kHandle, corner[1] - kHandle, corner[0] + kHandle, corner[1] + kHandle};
        DrawXorRectangle(&painter, &handle, Qt::black, OutlineRop::NotXor);
    }
}

void RPrintPreview::ShowCursorFor(DragMode mode)
{
    switch (mode) {
    case LeftEdge:
    case RightEdge:
        setCursor(Qt::SizeHorCursor);
        break;
    case TopEdge:
    case BottomEdge:
        setCursor(Qt::SizeVerCursor);
        break;
    case TopLeft:
    case BottomRight:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case BottomLeft:
    case TopRight:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case Move:
        setCursor(Qt::SizeAllCursor);
        break;
    case None:
        unsetCursor();
        break;
    }
}

void RPrintPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const DragMode mode = HitTest(event->position().toPoint());
    if (mode == None)
        return;
    m_pressed = true;
    m_dragMode = mode;
    m_dragStart = event->position().toPoint();
    m_startRect = GetPictureRect();
}

void RPrintPreview::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed)
        DragTo(event->position().toPoint());
    else
        ShowCursorFor(HitTest(event->position().toPoint()));
}

void RPrintPreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    m_dragMode = None;
    m_dragStart = {};
    m_startRect = {};
    ShowCursorFor(HitTest(event->position().toPoint()));
}

void RPrintPreview::DragTo(QPoint point)
{
    AxisMap mapX, mapY;
    if (!GetAxisMaps(&mapX, &mapY))
        return;
    const QPoint moved = point - m_dragStart;
    const PrintWide dx = mapX.DeltaToPage(moved.x());
    const PrintWide dy = mapY.DeltaToPage(moved.y());
    const Box start = {m_startRect.left, m_startRect.top, m_startRect.right, m_startRect.bottom};
    Box next = start;
    switch (m_dragMode) {
    case Move: {
        const PTzRECT now = GetPictureRect();
        OffsetPicture(quorvel::PinToInt32(start.left + dx - now.left), quorvel::PinToInt32(start.top + dy - now.top));
        break;
    }
    case LeftEdge:
    case RightEdge:
        next = DragEdge(start, true, m_dragMode == RightEdge, dx, Keep::Start, m_centre);
        break;
    case TopEdge:
    case BottomEdge:
        next = DragEdge(start, false, m_dragMode == BottomEdge, dy, Keep::Start, m_centre);
        break;
    case TopLeft:
    case BottomLeft:
    case TopRight:
    case BottomRight: {
        // The corner follows the smaller of the two movements relative to the picture's
        // sides; the sides of the opposite corner stay.
        const bool left = m_dragMode == TopLeft || m_dragMode == BottomLeft;
        const bool top = m_dragMode == TopLeft || m_dragMode == TopRight;
        const PrintWide outX = left ? -dx : dx;
        const PrintWide outY = top ? -dy : dy;
        if ((start.right - start.left) * outY > (start.bottom - start.top) * outX)
            next = DragEdge(start, true, !left, dx, top ? Keep::End : Keep::Start, m_centre);
        else
            next = DragEdge(start, false, !top, dy, left ? Keep::End : Keep::Start, m_centre);
        break;
    }
    case None:
        return;
    }
    if (m_dragMode != Move) {
        SetPictureRect({quorvel::PinToInt32(next.left), quorvel::PinToInt32(next.top),
                        quorvel::PinToInt32(next.right), quorvel::PinToInt32(next.bottom)});
    }
    if (m_fit)
        FitIntoPaper();
    update();
}
