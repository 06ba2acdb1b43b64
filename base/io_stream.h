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

// The same four operations under the names the file stream's users know them by.
CORVANE_C uint32_t PTzFileStreamRead(_tagPTzIOSTREAM* stream, void* buffer, uint32_t count);
CORVANE_C uint32_t PTzFileStreamWrite(_tagPTzIOSTREAM* stream, const void* buffer, uint32_t count);
CORVANE_C uint32_t PTzFileStreamSeek(_tagPTzIOSTREAM* stream, int32_t offset, uint16_t whence);
CORVANE_C uint32_t PTzFileStreamSize(_tagPTzIOSTREAM* stream, uint32_t* high);

// Destroys a file or memory stream made by Corvane (one operation under two names): a
// file stream writes its window back, sets the file's end and closes it. 1, or 0 when
// any of that failed (the code stored; the stream is freed in any case). Null gives 1.
CORVANE_C int PTzFileStreamDestory(_tagPTzIOSTREAM* stream);
CORVANE_C int PTzDestoryMemStream(_tagPTzIOSTREAM* stream);

// Writes count copies of value at the position: the bytes written.
CORVANE_C uint32_t PTzIOStreamSetData(_tagPTzIOSTREAM* stream, uint8_t value, uint32_t count);

// Moves the bytes [from, from + length) to start at to (the ranges may overlap); a
// destination past the end grows the stream. 1 when every byte was moved; 0 when the
// source range is not all there (nothing changed) or a transfer failed.
CORVANE_C int PTzIOStreamMove(_tagPTzIOSTREAM* stream, uint32_t from, uint32_t to, uint32_t length);
