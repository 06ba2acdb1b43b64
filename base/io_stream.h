// The stream record through which all image data is read and written: a context and
// four callbacks, so a plug-in reads a file or a memory block the same way.
#pragma once

#include <cstdint>

#include "corvane_export.h"

struct _tagPTzIOSTREAM {
    void* context;
    // whence: 0 from the start, 1 from the current position, 2 offset bytes back from the end.
    uint32_t (*seek)(void* context, int32_t offset, uint16_t whence);
    uint32_t (*read)(void* context, void* buffer, uint32_t count);
    uint32_t (*write)(void* context, const void* buffer, uint32_t count);
    // Low 32 bits of the size; the high half goes to *high when high is not null.
    uint32_t (*size)(void* context, uint32_t* high);
};

CORVANE_C uint32_t PTzIOStreamRead(_tagPTzIOSTREAM* stream, void* buffer, uint32_t count);
CORVANE_C uint32_t PTzIOStreamWrite(_tagPTzIOSTREAM* stream, const void* buffer, uint32_t count);
CORVANE_C uint32_t PTzIOStreamSeek(_tagPTzIOSTREAM* stream, int32_t offset, uint16_t whence);
CORVANE_C uint32_t PTzIOStreamSize(_tagPTzIOSTREAM* stream, uint32_t* high);
