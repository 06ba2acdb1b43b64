// Line breaking, surrogate pairs and pen advance over a UTF-16 text.
#include "font_layout.h"

#include <algorithm>

namespace corvane {

namespace {

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

TextExtent layoutText(_tagPTzFONT& font, const PTzChar* text, uint32_t length,
                      const PlaceGlyph& place, const EndLine& endLine)
{
    TextExtent extent{0, 1};
    int64_t line = 0;
    FT_Pos pen = 0;
    const auto finishLine = [&] {
        const int64_t width = roundPixels(pen);
        extent.width = std::max(extent.width, width);
        if (endLine)
            endLine(line, width);
    };
    for (uint32_t i = 0; i < length; ++i) {
        char32_t unit = text[i];
        if (unit == u'\r' || unit == u'\n') {
            if (unit == u'\r' && i + 1 < length && text[i + 1] == u'\n')
                ++i;
            finishLine();
            ++line;
            pen = 0;
            continue;
        }
        // A lone surrogate stays as it is and shows as the missing-glyph box.
        if (isHighSurrogate(unit) && i + 1 < length && isLowSurrogate(text[i + 1])) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        Glyph glyph;
        if (!loadGlyph(font, unit, &glyph))
            continue;
        if (place)
            place(glyph, roundPixels(pen), line);
        pen += glyph.advance;
    }
    finishLine();
    extent.lines = line + 1;
    return extent;
}

}  // namespace corvane
