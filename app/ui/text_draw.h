// PTzDrawText and PTzDrawTextFixHeight: the program's labels drawn on its windows, a
// QPainter standing where a device context stood. The picker's diameters, the brush
// preview's band and the layers panel's names and percentages are drawn through them.
#pragma once

#include <cstdint>

#include "base/geometry.h"

class QFontMetrics;
class QPainter;
class QString;

// Placement flags of the two functions; other bits are ignored (so 0, or the 20 that
// the font functions use, draws at the top left).
enum : uint32_t {
    PTzDT_CENTER = 0x1,               // centred across the rectangle
    PTzDT_VCENTER = 0x2,              // centred down it
    PTzDT_RIGHT = 0x8,                // against its right edge
    PTzDT_BOTTOM = 0x20,              // against its bottom edge
    PTzDT_WORD_ELLIPSIS = 0x40000,    // a text too wide for it is cut at a word end, then "..."
};

// The word ellipsis: the text when it fits the width; otherwise the longest run of whole
// words that fits with "..." after it, or, when not even the first word does, as many
// characters of it as fit before the "..." (the "..." alone when none does).
QString ElideAtWordEnd(const QFontMetrics& metrics, const QString& text, int width);

// Draws the first `chars` UTF-16 units of the text as one line (line breaks and other
// white space show as spaces) in the painter's font and pen, clipped to the rectangle. The height of the line
// drawn; 0, drawing nothing, for a null painter or rectangle, or a null text of units.
int PTzDrawText(QPainter* painter, const char16_t* text, uint32_t chars, const PTzRECT* rect, uint32_t flags);
// The same in the painter's face at a pixel size equal to the rectangle's height; the
// painter's font is restored afterwards. 0, drawing nothing, for a rectangle without height.
int PTzDrawTextFixHeight(QPainter* painter, const char16_t* text, uint32_t chars, const PTzRECT* rect,
                         uint32_t flags);
