// Character widths and text extents from unhinted glyph metrics.
#include "font_measure.h"

#include <algorithm>
#include <limits>
#include <mutex>

#include "error_codes.h"
#include "font_face.h"
#include "font_layout.h"

namespace {

int32_t saturate32(int64_t value)
{
    return int32_t(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

}  // namespace

CORVANE_C int PTzGetCharacterWidths(_tagPTzFONT* font, PTzChar character,
                                    _tagPTzCHARACTERWIDTHABC* out)
{
    if (!font || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    std::lock_guard guard(font->lock);
    corvane::Glyph glyph;
    if (!corvane::loadGlyph(*font, character, &glyph)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    // Each width is rounded on its own, so A + B + C may differ from the rounded advance.
    out->A = int32_t(corvane::roundPixels(glyph.ink.xMin));
    out->B = int32_t(corvane::roundPixels(glyph.ink.xMax - glyph.ink.xMin));
    out->C = int32_t(corvane::roundPixels(glyph.advance - glyph.ink.xMax));
    return 1;
}

CORVANE_C int PTzGetTextSize(const _tagPTzTEXTSTRINGDATA* text, _tagPTzSIZE* out)
{
    if (!text || !out || (!text->text && text->length > 0)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    _tagPTzFONT* font = corvane::makeFont(text->font, false);
    if (!font)
        return 0;
    corvane::TextExtent extent{};
    {
        std::lock_guard guard(font->lock);
        extent = corvane::layoutText(*font, text->text, text->length, {}, {});
    }
    out->cx = saturate32(extent.width);
    out->cy = saturate32(extent.lines * (font->ascent + font->descent));
    corvane::dropFont(font);
    return 1;
}
