// Lays a UTF-16 text out in lines, for measuring and rendering alike: CR, LF and CR LF
// break lines, a surrogate pair is one character, and advances add up unhinted.
// Private to Corvane.
#pragma once

#include <cstdint>
#include <functional>

#include "font_face.h"

namespace corvane {

struct TextExtent {
    int64_t width;  // the widest line's advance in pixels
    int64_t lines;  // at least 1: an empty text is one empty line
};

// x is the glyph's origin in whole pixels from the line's start.
using PlaceGlyph = std::function<void(const Glyph& glyph, int64_t x, int64_t line)>;
using EndLine = std::function<void(int64_t line, int64_t width)>;

// Either callback may be empty. A character the face cannot load takes no room.
// The caller holds font.lock.
TextExtent layoutText(_tagPTzFONT& font, const PTzChar* text, uint32_t length,
                      const PlaceGlyph& place, const EndLine& endLine);

}  // namespace corvane
