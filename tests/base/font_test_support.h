// Font records for the font tests, and the sanitizer settings of their executables.
// Only faces of the DejaVu package are named: the one font package the project installs.
// Include it from one source file per executable.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "base/font.h"

inline _tagPTzFONTDATAINFO fontRecord(std::u16string_view face, int16_t height, uint8_t italic = 0,
                                      uint16_t weight = 400, uint8_t underline = 0)
{
    _tagPTzFONTDATAINFO info{};
    std::copy_n(face.begin(), std::min<size_t>(face.size(), 32), info.faceName);
    info.height = height;
    info.italic = italic;
    info.underline = underline;
    info.weight = weight;
    return info;
}

// The name up to its terminator, or all 32 units when it has none.
inline std::u16string faceOf(const PTzChar (&name)[32])
{
    return std::u16string(name, std::find(name, name + 32, PTzChar(0)));
}

// fontconfig 2.14 loses a few bytes while it parses its configuration files, the first
// time any process asks it anything. Only that loss is excused: full stacks let the
// suppression name the loading function, so leaks of our own fontconfig objects show.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:FcInitLoadConfigAndFonts\n";
}
