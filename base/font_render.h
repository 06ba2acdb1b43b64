// Rendering text into 8-bit coverage bitmaps: white ink (255) on black (0), every
// write clipped to the bitmap.
#pragma once

#include "corvane_export.h"
#include "font.h"

// Clears the bitmap and renders the text in its font from the top left, lines broken at
// CR, LF and CR LF, underlined when the font is. An empty text leaves the bitmap all
// zero. 1, or 0 with the last error set (bitmap untouched) for a null argument, a
// negative size, a stride below the width, null bits, a null text of nonzero length,
// or no font.
CORVANE_C int PTzDrawTextToBitmap(_tagPTzBITMAP_8* bitmap, const _tagPTzTEXTSTRINGDATA* text);
// Clears the bitmap and renders one character with its ink box at column 0 and its
// baseline at the font's ascent, so a bitmap of B by ascent + descent holds its ink
// (ink beyond the cell is cut off). Checks and results as above.
CORVANE_C int PTzDrawCharToBitmap(_tagPTzBITMAP_8* bitmap, _tagPTzFONT* font, PTzChar character);
