// The program's label drawing: the flags turned into Qt's alignment, the text cut with
// an ellipsis where asked.
#include "app/ui/text_draw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>

namespace {

int Alignment(uint32_t flags)
{
    int alignment = Qt::TextSingleLine;
    if (flags & PTzDT_CENTER)
        alignment |= Qt::AlignHCenter;
    else if (flags & PTzDT_RIGHT)
        alignment |= Qt::AlignRight;
    else
        alignment |= Qt::AlignLeft;
    if (flags & PTzDT_VCENTER)
        alignment |= Qt::AlignVCenter;
    else if (flags & PTzDT_BOTTOM)
        alignment |= Qt::AlignBottom;
    else
        alignment |= Qt::AlignTop;
    return alignment;
}

// The rectangle as Qt's, its sides brought within Qt's range; empty when it is inverted.
QRect ToQt(const PTzRECT& rect)
{
    const int64_t width = std::clamp<int64_t>(int64_t(rect.right) - rect.left, 0, INT32_MAX);
    const int64_t height = std::clamp<int64_t>(int64_t(rect.bottom) - rect.top, 0, INT32_MAX);
    return {rect.left, rect.top, int(width), int(height)};
}

}  // namespace

int PTzDrawText(QPainter* painter, const char16_t* text, uint32_t chars, const PTzRECT* rect, uint32_t flags)
{
    if (!painter || !rect || (!text && chars > 0))
        return 0;
    const QRect area = ToQt(*rect);
    // A length past what a QString holds is cut to what it holds.
    QString line = QString::fromUtf16(text, qsizetype(std::min<uint64_t>(chars, INT32_MAX)));
    if (flags & PTzDT_WORD_ELLIPSIS)
        line = QFontMetrics(painter->font()).elidedText(line, Qt::ElideRight, area.width(), Qt::TextSingleLine);
    QRect drawn;
    painter->drawText(area, Alignment(flags), line, &drawn);
    return drawn.height();
}

int PTzDrawTextFixHeight(QPainter* painter, const char16_t* text, uint32_t chars, const PTzRECT* rect,
                         uint32_t flags)
{
    if (!painter || !rect || rect->bottom <= rect->top)
        return 0;
    const QFont before = painter->font();
    QFont sized = before;
    sized.setPixelSize(int(std::min<int64_t>(int64_t(rect->bottom) - rect->top, INT32_MAX)));
    painter->setFont(sized);
    const int height = PTzDrawText(painter, text, chars, rect, flags);
    painter->setFont(before);
    return height;
}
