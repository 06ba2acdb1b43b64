// The write side's session: the setting and image information are set, then each
// step writes a part of the file (headers and palette, extra data, buffers, one row,
// the patched file header). Files and header-less bitmaps share it.
#pragma once

#include <cstdint>

#include "base/io_stream.h"
#include "formats/bmp/bmp_setting.h"
#include "formats/manager/plugin_interface.h"

namespace bitmora {

// 1 when the image can be saved: colour mode 1 at 24 bits, or at 1, 4 or 8 bits with
// a palette; width and height not negative. 0 otherwise (with -1 for null).
int BmpCanSave(const _tagFTzIMAGEINFO_1* info);
// Copies source to target made savable (mode 1, a full palette count for 1, 4 and 8
// bits without one, 24 bits for other depths, both sides 0x7FFFFFFF when one is
// negative): 1, or 0 with -1 for null.
int ConvertBmpSaveInfo(const _tagFTzIMAGEINFO_1* source, _tagFTzIMAGEINFO_1* target);

// A session writing to stream, or null with the code stored and written to *error
// (when error is not null): -1 for a null stream, -51 when memory failed. fileHeader
// tells whether a 14-byte file header is written.
void* StartBmpSave(_tagPTzIOSTREAM* stream, const _tagFTzSAVEEXTINFOCALLBACK_1* extInfo, bool fileHeader,
                   int* error);
// Each gives 0, or -1 (stored) for null arguments.
int SetBmpSaveSetting(void* session, const _tagFTzBMPSETTING& setting);
int SetBmpSaveInfo(void* session, const _tagFTzIMAGEINFO_1* info);
int SetBmpSaveCallBack(void* session, const _tagFTzSAVEGETDATACALLBACK_1* callback);
// Sets the output depth to the information's bit count, as header-less saves do.
int SetBmpSaveDepthFromInfo(void* session);
// One step: 0 while work remains, 2001 when the file is complete, the row or
// extra-data callback's nonzero result, or an error (-1 for a null session, an image
// the setting cannot write or a short write; -51 when memory failed).
int StepBmpSave(void* session);
// Frees the session and its buffers: 0, or -1 (stored) for null.
int EndBmpSave(void* session);

}  // namespace bitmora
