// The program's label drawing: the flags turned into Qt's alignment, the text cut at a
// word end with an ellipsis where asked.
#include "app/ui/text_draw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The ellipsis as three dots, whatever the font holds.
constexpr QLatin1String kEllipsis("...");

// The longest of the ascending cut positions whose text with the ellipsis fits the width;
// -1 when none does. A longer cut is never narrower, so a binary search measures a
// handful of cuts even on a long line.
qsizetype LongestFittingCut(const QFontMetrics& metrics, const QString& text, const std::vector<qsizetype>& cuts,
                            int width)
{
    const auto fits = [&](qsizetype cut) { return metrics.horizontalAdvance(text.left(cut) + kEllipsis) <= width; };
    const auto firstTooWide = std::partition_point(cuts.begin(), cuts.end(), fits);
    return firstTooWide == cuts.begin() ? -1 : *(firstTooWide - 1);
}

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

QString ElideAtWordEnd(const QFontMetrics& metrics, const QString& text, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    std::vector<qsizetype> wordEnds;
    for (qsizetype end = 1; end < text.size(); ++end) {
        if (text[end].isSpace() && !text[end - 1].isSpace())
            wordEnds.push_back(end);
    }
    if (const qsizetype cut = LongestFittingCut(metrics, text, wordEnds, width); cut >= 0)
        return text.left(cut) + kEllipsis;
    // Not even the first word fits: as many of its characters as do, never half a pair.
    const qsizetype firstWordEnd = wordEnds.empty() ? text.size() : wordEnds.front();
    std::vector<qsizetype> characterEnds;
    for (qsizetype end = 0; end < firstWordEnd; ++end) {
        if (!text[end].isLowSurrogate())
            characterEnds.push_back(end);
    }
    return text.left(std::max<qsizetype>(LongestFittingCut(metrics, text, characterEnds, width), 0)) + kEllipsis;
}

int PTzDrawText(QPainter* painter, const char16_t* text, uint32_t chars, const PTzRECT* rect, uint32_t flags)
{
    if (!painter || !rect || (!text && chars > 0))
        return 0;
    const QRect area = ToQt(*rect);
    // A length past what a QString holds is cut to what it holds.
    QString line = QString::fromUtf16(text, qsizetype(std::min<uint64_t>(chars, INT32_MAX)));
    // One line: white space shows as spaces, and the ellipsis measures what is drawn.
    for (QChar& unit : line) {
        if (unit.isSpace())
            unit = u' ';
    }
    if (flags & PTzDT_WORD_ELLIPSIS)
        line = ElideAtWordEnd(QFontMetrics(painter->font()), line, area.width());
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
