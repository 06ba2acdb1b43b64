// Text ports: a selected font with a hold on it, in a point block.
#include "font_text_port.h"

#include <algorithm>
#include <new>
#include <utility>

#include "error_codes.h"
#include "font_face.h"
#include "memory.h"

struct _tagPTzTEXTPORT {
    _tagPTzFONT* font;
};

namespace {

uint32_t nameLength(const _tagPTzFONT& font)
{
    const PTzChar* name = font.info.faceName;
    return uint32_t(std::find(name, name + 32, PTzChar(0)) - name);
}

}  // namespace

CORVANE_C _tagPTzTEXTPORT* PTzCreateTextPort()
{
    _tagPTzFONT* font = corvane::defaultFont();
    if (!font) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    void* block = PTzPointNew(sizeof(_tagPTzTEXTPORT));
    return block ? new (block) _tagPTzTEXTPORT{font} : nullptr;
}

CORVANE_C int PTzDestoryTextPort(_tagPTzTEXTPORT* port)
{
    if (!port) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    corvane::dropFont(port->font);
    PTzPointFree(port);
    return 1;
}

CORVANE_C _tagPTzFONT* PTzSelectFont(_tagPTzTEXTPORT* port, _tagPTzFONT* font)
{
    if (!port || !font) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    corvane::holdFont(font);
    _tagPTzFONT* previous = std::exchange(port->font, font);
    corvane::dropFont(previous);
    return previous;
}

CORVANE_C int PTzGetFontInfo(_tagPTzTEXTPORT* port, _tagPTzFONTDATAINFO* out)
{
    if (!port || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    *out = port->font->info;
    out->underline = 0;
    return 1;
}

CORVANE_C uint32_t PTzGetCurrentFontName(_tagPTzTEXTPORT* port, PTzChar* buffer, uint32_t chars)
{
    if (!port) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const uint32_t length = nameLength(*port->font);
    if (buffer && chars >= 1) {
        const uint32_t copied = std::min(length, chars - 1);
        std::copy_n(port->font->info.faceName, copied, buffer);
        buffer[copied] = 0;
    }
    return length;
}
