// Measuring with fonts: a character's A, B and C widths, and the extent of a text.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "font.h"
#include "geometry.h"

// The space before the character's ink, the ink's width and the space after it, each
// rounded to whole pixels (halves away from zero); a character without ink has A = B = 0.
// A lone surrogate measures as the missing-glyph box. 1, or 0 with -1 stored.
CORVANE_C int PTzGetCharacterWidths(_tagPTzFONT* font, PTzChar character,
                                    _tagPTzCHARACTERWIDTHABC* out);
// The text's extent in its font: the widest line's advance by the lines' cell heights
// (CR, LF and CR LF break lines; an empty text is one empty line). 1, or 0 with the
// last error set for a null argument, a null text of nonzero length, or no font.
CORVANE_C int PTzGetTextSize(const _tagPTzTEXTSTRINGDATA* text, _tagPTzSIZE* out);
