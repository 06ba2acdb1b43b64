// Font records the engine keeps and files store, and the making and releasing of fonts:
// fontconfig picks the face, FreeType scales it. Heights keep the stored convention:
// negative is the em size in pixels, positive the cell height, 0 the default size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "corvane_export.h"
#include "corvane_types.h"

// Stored as is in files: exactly 70 bytes, little-endian.
struct _tagPTzFONTDATAINFO {
    PTzChar faceName[32];  // terminated within the 32 units
    int16_t height;
    uint8_t italic;
    uint8_t underline;
    uint16_t weight;       // 1..1000 as in OpenType; 0 means regular
};
static_assert(sizeof(_tagPTzFONTDATAINFO) == 70);
static_assert(offsetof(_tagPTzFONTDATAINFO, height) == 64);
static_assert(offsetof(_tagPTzFONTDATAINFO, weight) == 68);

// Font types of the installed-face list; outline faces of other formats report 0.
constexpr uint32_t PTzFONTTYPE_RASTER = 1;
constexpr uint32_t PTzFONTTYPE_DEVICE = 2;
constexpr uint32_t PTzFONTTYPE_TRUETYPE = 4;  // TrueType and OpenType

struct _tagPTzFONTINFO {
    PTzChar faceName[32];
    uint32_t fontType;
};
static_assert(sizeof(_tagPTzFONTINFO) == 68);

// A text in a font, for measuring and rendering; callers keep their own data in extra.
struct _tagPTzTEXTSTRINGDATA {
    _tagPTzFONTDATAINFO font;
    uint8_t extra[14];
    const PTzChar* text;
    uint32_t length;  // in UTF-16 units
};

// An 8-bit coverage bitmap, rows top-down.
struct _tagPTzBITMAP_8 {
    int32_t width;
    int32_t height;
    int32_t stride;
    uint8_t* bits;
};

// The space before a character's ink, the ink's width, and the space after it.
struct _tagPTzCHARACTERWIDTHABC {
    int32_t A, B, C;
};

// A face at a size; opaque to callers.
struct _tagPTzFONT;

// The record as the font functions take it: the name terminated within its 32 units and
// zero after the terminator, height and weight clamped (weight 0 becomes 400), italic and
// underline 0 or 1; so two records that make the same font become equal. 1, or 0 with -1
// stored (out untouched) for null.
CORVANE_C int PTzOrderFontInfo(const _tagPTzFONTDATAINFO* info, _tagPTzFONTDATAINFO* out);

// A font for the record: a missing face is substituted, absurd heights and weights are
// clamped, and a missing italic or bold is synthesised. Null with -1 stored for a null
// record or when no outline font is installed at all.
CORVANE_C _tagPTzFONT* PTzCreateFont(const _tagPTzFONTDATAINFO* info);
// Drops the maker's hold; a font selected into a text port lives until it is selected
// out. 1, or 0 with -1 stored for null. The default font is never freed.
CORVANE_C int PTzReleaseFont(_tagPTzFONT* font);
// The shared default interface font (the default sans-serif face, 12-pixel em), or null
// when none can be made. Releasing it does nothing.
CORVANE_C _tagPTzFONT* PTzGetFont();
// The cell's ascent and descent in pixels (from the face's Windows metrics where it has
// them): 1, or 0 with -1 stored for a null argument or a font that cannot be made.
CORVANE_C int PTzFontYInfoByHFont(_tagPTzFONT* font, int32_t* ascent, int32_t* descent);
CORVANE_C int PTzFontYInfoByFontInfo(const _tagPTzFONTDATAINFO* info, int32_t* ascent,
                                     int32_t* descent);
