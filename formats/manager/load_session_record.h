// The load session's record, shared by the session's steps and its row conversion.
#pragma once

#include <cstdint>

#include "base/color_convert.h"
#include "formats/manager/plugin_interface.h"

namespace formick {

struct LoadSession {
    void* plugin;
    void* pluginSession;
    _tagFTzIMAGEINFO_1 info;  // the plug-in's description, kept once it was read
    bool infoKnown;
    // Conversion: a handle while the caller wants another mode or depth than the file's.
    PTzColorConvert_1Base* convert;
    _tagPTzCOLORMODE targetMode;
    uint32_t targetBits;
    uint8_t* rowBuffer;        // one converted row; a Corvane point
    uint32_t rowBufferBytes;
    _tagFTzGETDATACALLBACK_1 caller;
    // Registered with the plug-in while converting; kept here so that a plug-in may
    // hold on to its address.
    _tagFTzGETDATACALLBACK_1 adapter;
};

// The row adapter: converts each of the source's rows and hands it to the caller's
// callback, stopping at the first nonzero result.
int convertRows(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* source, void* session);

// Frees the conversion handle and the row buffer.
void releaseConversion(LoadSession* session);

}  // namespace formick
