// The cursor table. Drawn cursors are 32 x 32, black lines edged in white so that they
// show on any picture, with the hot spot where the lines cross (or the lens's centre).
#include "app/ui/tool_cursors.h"

#include <QPainter>
#include <QPixmap>
#include <utility>

#include "app/shell/picture_view.h"

namespace {

constexpr char kCursorProperty[] = "toolCursorId";

enum class Drawn { None, CrossPlus, CrossMinus, CrossTimes, LensPlus, LensMinus };

struct CursorEntry {
    uint32_t id;
    Qt::CursorShape shape;
    Drawn drawn;
};

constexpr CursorEntry kCursors[] = {
    {IDC_TOOL_PAN, Qt::OpenHandCursor, Drawn::None},
    {IDC_TOOL_ZOOM_IN, Qt::BitmapCursor, Drawn::LensPlus},
    {IDC_TOOL_ZOOM_OUT, Qt::BitmapCursor, Drawn::LensMinus},
    {IDC_TOOL_SELECT_MOVE, Qt::SizeAllCursor, Drawn::None},
    {IDC_TOOL_MOVE, Qt::SizeAllCursor, Drawn::None},
    {IDC_TOOL_PEN, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_PENCIL, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_ERASER, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_CLONE_SOURCE, Qt::BitmapCursor, Drawn::CrossPlus},
    {IDC_TOOL_CLONE, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_EYEDROP, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_SELECT_NEW, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_SELECT_INTERSECT, Qt::BitmapCursor, Drawn::CrossTimes},
    {IDC_TOOL_SELECT_ADD, Qt::BitmapCursor, Drawn::CrossPlus},
    {IDC_TOOL_SELECT_SUBTRACT, Qt::BitmapCursor, Drawn::CrossMinus},
    {IDC_TOOL_BLUR, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_SMUDGE, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_SHARP, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_BUCKET, Qt::PointingHandCursor, Drawn::None},
    {IDC_TOOL_GRADIENT, Qt::CrossCursor, Drawn::None},
    {IDC_TOOL_FORBIDDEN, Qt::ForbiddenCursor, Drawn::None},
    {IDC_TOOL_MOVE_COPY, Qt::DragCopyCursor, Drawn::None},
};

// Draws the lines twice: wide in white, then thin in black.
template <typename Lines>
void DrawEdged(QPainter& painter, Lines&& lines)
{
    for (const auto& [colour, width] : {std::pair{Qt::white, 3}, std::pair{Qt::black, 1}}) {
        painter.setPen(QPen(colour, width));
        lines();
    }
}

QCursor DrawnCursor(Drawn drawn)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const bool lens = drawn == Drawn::LensPlus || drawn == Drawn::LensMinus;
    const QPoint hot(lens ? 12 : 10, lens ? 12 : 10);
    const QPoint badge = lens ? hot : QPoint(23, 23);
    const int arm = lens ? 3 : 4;
    DrawEdged(painter, [&] {
        if (lens) {
            painter.drawEllipse(hot, 8, 8);
            painter.drawLine(hot + QPoint(6, 6), hot + QPoint(14, 14));
        } else {
            painter.drawLine(hot.x(), 1, hot.x(), 19);
            painter.drawLine(1, hot.y(), 19, hot.y());
        }
        switch (drawn) {
        case Drawn::CrossPlus:
        case Drawn::LensPlus:
            painter.drawLine(badge - QPoint(0, arm), badge + QPoint(0, arm));
            [[fallthrough]];
        case Drawn::CrossMinus:
        case Drawn::LensMinus:
            painter.drawLine(badge - QPoint(arm, 0), badge + QPoint(arm, 0));
            break;
        case Drawn::CrossTimes:
            painter.drawLine(badge - QPoint(arm, arm), badge + QPoint(arm, arm));
            painter.drawLine(badge + QPoint(-arm, arm), badge + QPoint(arm, -arm));
            break;
        case Drawn::None:
            break;
        }
    });
    painter.end();
    return QCursor(pixmap, hot.x(), hot.y());
}

}  // namespace

QCursor ToolCursor(uint32_t id)
{
    for (const CursorEntry& entry : kCursors) {
        if (entry.id == id)
            return entry.drawn == Drawn::None ? QCursor(entry.shape) : DrawnCursor(entry.drawn);
    }
    return QCursor(Qt::ArrowCursor);
}

void SetToolCursor(CTamsleyView* view, uint32_t id)
{
    // A cursor set again would be made again, for every mouse move.
    if (!view || ShownToolCursor(view) == id)
        return;
    QWidget* area = view->viewport();
    area->setCursor(ToolCursor(id));
    area->setProperty(kCursorProperty, id);
}

uint32_t ShownToolCursor(const CTamsleyView* view)
{
    const QWidget* area = view ? view->viewport() : nullptr;
    if (!area || !area->testAttribute(Qt::WA_SetCursor))
        return 0;
    return area->property(kCursorProperty).toUInt();
}
