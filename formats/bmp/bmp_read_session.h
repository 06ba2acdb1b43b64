// The read side's session: the headers, palette and channel masks are taken at
// start, then each step produces one row and hands it to the caller's row callback.
// Files and header-less bitmaps (which start with the info header) share it.
#pragma once

#include <cstdint>

#include "base/io_stream.h"
#include "formats/manager/plugin_interface.h"

namespace bitmora {

// Nonzero when the stream holds a BMP file header and an info header this reader knows.
int BmpStreamIsBmp(_tagPTzIOSTREAM* stream);

// A session over stream, or null with the code stored and written to *error: -2001
// for a null stream or error pointer, -2201 for a picture this reader refuses, -2207
// when the data ends in the headers, palette or masks, -51 when memory failed.
// fileHeader tells whether the data starts with the 14-byte file header.
void* StartBmpRead(_tagPTzIOSTREAM* stream, const _tagFTzEXTINFOCALLBACK_1* extInfo, bool fileHeader, int* error);
// Fills info: 0, -2001 for null arguments, -2201 for a width <= 0 or 2 bits a pixel.
int GetBmpReadInfo(void* session, _tagFTzIMAGEINFO_1* info);
// Keeps the row callback: 0, or -2001 for null arguments.
int SetBmpReadCallBack(void* session, const _tagFTzGETDATACALLBACK_1* callback);
// One step: 0 while rows remain, 2001 when all were delivered, the row callback's
// result, or an error (-2001 for a null session, percent or callback, -51).
int StepBmpRead(void* session, uint8_t* percent);
// Frees the session and its buffers: 0, also for null.
int EndBmpRead(void* session);

}  // namespace bitmora
