// Colour modes and the one-colour record that the engine, the plug-ins and the
// program's settings share; the settings keep the record's 12 bytes as they are.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "corvane_export.h"

// How the bytes of a pixel or a colour are read. For comparing colours the modes
// fall into three families: 1-3 (three colour bytes), 4-5 (four) and 6-7 (one).
enum _tagPTzCOLORMODE : uint32_t {
    PTzCOLORMODE_RGB = 1,     // 24-bit red, green, blue; at 1, 2, 4 or 8 bits palette indexes
    PTzCOLORMODE_BGR = 2,     // 24-bit blue, green, red, as BMP files hold them
    PTzCOLORMODE_ARGB = 3,    // 32-bit alpha, red, green, blue
    PTzCOLORMODE_CMYK = 4,    // 32-bit, four channels
    PTzCOLORMODE_ACMYK = 5,   // 40-bit, alpha and four channels
    PTzCOLORMODE_GRAY = 6,    // 8-bit gray
    PTzCOLORMODE_GRAY16 = 7,  // 16-bit, alpha and gray
    PTzCOLORMODE_2BIT = 8,
};

struct _tagPTzCOLOR {
    _tagPTzCOLORMODE mode;
    uint8_t alpha;
    // From byte 5 on: red, green, blue (modes 1-3), four channels (4-5) or gray (6-7);
    // the bytes past a mode's components are kept but never read here.
    uint8_t components[7];
};

static_assert(sizeof(_tagPTzCOLOR) == 12);
static_assert(offsetof(_tagPTzCOLOR, alpha) == 4 && offsetof(_tagPTzCOLOR, components) == 5);
static_assert(std::is_standard_layout_v<_tagPTzCOLOR> && std::is_trivially_copyable_v<_tagPTzCOLOR>);
// Stored raw, the mode word is little-endian only on a little-endian host.
static_assert(std::endian::native == std::endian::little);

// 1 when both colours have the same mode and equal components for that mode (any
// mode outside the three families compares by mode alone); 0 otherwise or for null.
CORVANE_C int PTzColorSame(const _tagPTzCOLOR* a, const _tagPTzCOLOR* b);

// For modes 1-3 writes red, green and blue to the outputs that are not null.
// 1, or 0 for a null colour.
CORVANE_C int PTzColorGetRGB(const _tagPTzCOLOR* colour, uint8_t* red, uint8_t* green, uint8_t* blue);
