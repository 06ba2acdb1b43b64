// Font records for the font tests, and the sanitizer settings of their executables.
// Only faces of the font packages the project installs are named: DejaVu, and Droid Sans
// Fallback, the one installed face with CJK characters.
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
// time a process asks it anything. Under the leak checker the configuration is read once,
// before main, with the checker looking away: only that loss is excused, leaks of our own
// fontconfig objects still show, and no allocation pays for a slow stack unwind.
#if defined(__SANITIZE_ADDRESS__)
#define FONT_TEST_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FONT_TEST_LEAK_CHECKED 1
#endif
#endif

#ifdef FONT_TEST_LEAK_CHECKED
#include <fontconfig/fontconfig.h>
#include <sanitizer/lsan_interface.h>

namespace {

struct FontconfigReadFirst {
    FontconfigReadFirst()
    {
        __lsan::ScopedDisabler unchecked;
        FcInit();
    }
};
[[maybe_unused]] const FontconfigReadFirst fontconfigReadFirst;

}  // namespace
#endif
