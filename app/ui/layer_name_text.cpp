// The name's text and its cut at a word end.
#include "app/ui/layer_name_text.h"

#include <QFontMetrics>

#include "engine/pixels/layer_base.h"

QString LayerNameText(const ITzLayerBase& layer)
{
    const PTzChar* name = layer.GetName();
    qsizetype length = 0;
    while (length < qsizetype(ITzLAYER_NAME_LENGTH) && name[length] != 0)
        ++length;
    return QString::fromUtf16(name, length);
}

QString ElideAtWordEnd(const QFontMetrics& metrics, const QString& text, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("...");
    // The word ends from the last one back.
    for (qsizetype end = text.size() - 1; end > 0; --end) {
        if (!text[end].isSpace() || text[end - 1].isSpace())
            continue;
        const QString cut = text.left(end) + ellipsis;
        if (metrics.horizontalAdvance(cut) <= width)
            return cut;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}
