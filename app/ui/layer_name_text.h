// A layer's name as text, and the single-line cut the layer list shows it with: whole
// words followed by an ellipsis.
#pragma once

#include <QString>

class ITzLayerBase;
class QFontMetrics;

// The 64-unit name up to its terminator (all 64 units when there is none).
QString LayerNameText(const ITzLayerBase& layer);
// The text when it fits the width; otherwise the longest run of whole words that fits
// with "..." after it, or, when not even the first word does, as many characters of it
// as fit before the "...".
QString ElideAtWordEnd(const QFontMetrics& metrics, const QString& text, int width);
