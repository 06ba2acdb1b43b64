// The exported edge of font making: create, release, the default font and the cell.
#include "font.h"

#include "error_codes.h"
#include "font_face.h"

CORVANE_C _tagPTzFONT* PTzCreateFont(const _tagPTzFONTDATAINFO* info)
{
    if (!info) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return corvane::makeFont(*info, false);
}

CORVANE_C int PTzOrderFontInfo(const _tagPTzFONTDATAINFO* info, _tagPTzFONTDATAINFO* out)
{
    if (!info || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    *out = corvane::orderly(*info);
    return 1;
}

CORVANE_C int PTzReleaseFont(_tagPTzFONT* font)
{
    if (!font) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    corvane::dropFont(font);
    return 1;
}

CORVANE_C _tagPTzFONT* PTzGetFont()
{
    _tagPTzFONT* font = corvane::defaultFont();
    if (!font)
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
    return font;
}

CORVANE_C int PTzFontYInfoByHFont(_tagPTzFONT* font, int32_t* ascent, int32_t* descent)
{
    if (!font || !ascent || !descent) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    *ascent = font->ascent;
    *descent = font->descent;
    return 1;
}

CORVANE_C int PTzFontYInfoByFontInfo(const _tagPTzFONTDATAINFO* info, int32_t* ascent,
                                     int32_t* descent)
{
    if (!info || !ascent || !descent) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    _tagPTzFONT* font = corvane::makeFont(*info, false);
    if (!font)
        return 0;
    PTzFontYInfoByHFont(font, ascent, descent);
    corvane::dropFont(font);
    return 1;
}
