// The text port: where the engine and the program ask which font is current. It stands
// in for a memory drawing context, holds one selected font (the default font at first),
// and draws nothing.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "font.h"

struct _tagPTzTEXTPORT;

// A port with the default font selected, or null (last error set).
CORVANE_C _tagPTzTEXTPORT* PTzCreateTextPort();
// Frees the port and its hold on the selected font: 1, or 0 with -1 stored for null.
CORVANE_C int PTzDestoryTextPort(_tagPTzTEXTPORT* port);
// Selects the font, which the port holds until it is selected out or the port is freed,
// and returns the font it replaces; that one stays valid only while its maker still
// holds it (the default font always is). Null with -1 stored, nothing changed, for null.
CORVANE_C _tagPTzFONT* PTzSelectFont(_tagPTzTEXTPORT* port, _tagPTzFONT* font);
// The selected font's face, height, italic and weight, with underline 0: 1, or 0 with
// -1 stored for a null argument.
CORVANE_C int PTzGetFontInfo(_tagPTzTEXTPORT* port, _tagPTzFONTDATAINFO* out);
// The selected face name's length in units; with a buffer of chars >= 1 units the name
// is also copied, cut to chars - 1 units and terminated. 0 with -1 stored for a null port.
CORVANE_C uint32_t PTzGetCurrentFontName(_tagPTzTEXTPORT* port, PTzChar* buffer, uint32_t chars);
