// Comparing colours and reading their red, green and blue.
#include "color.h"

#include <cstring>

namespace {

// How many component bytes decide whether two colours of this mode are the same.
size_t componentCount(_tagPTzCOLORMODE mode)
{
    switch (mode) {
    case PTzCOLORMODE_RGB:
    case PTzCOLORMODE_BGR:
    case PTzCOLORMODE_ARGB:
        return 3;
    case PTzCOLORMODE_CMYK:
    case PTzCOLORMODE_ACMYK:
        return 4;
    case PTzCOLORMODE_GRAY:
    case PTzCOLORMODE_GRAY16:
        return 1;
    default:
        return 0;
    }
}

}  // namespace

int PTzColorSame(const _tagPTzCOLOR* a, const _tagPTzCOLOR* b)
{
    if (!a || !b || a->mode != b->mode)
        return 0;
    return std::memcmp(a->components, b->components, componentCount(a->mode)) == 0 ? 1 : 0;
}

int PTzColorGetRGB(const _tagPTzCOLOR* colour, uint8_t* red, uint8_t* green, uint8_t* blue)
{
    if (!colour)
        return 0;
    if (colour->mode < PTzCOLORMODE_RGB || colour->mode > PTzCOLORMODE_ARGB)
        return 1;
    if (red)
        *red = colour->components[0];
    if (green)
        *green = colour->components[1];
    if (blue)
        *blue = colour->components[2];
    return 1;
}
