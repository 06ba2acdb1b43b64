// The buffered file stream: a file opened for exclusive use behind the stream record,
// with a window that turns the format code's many small transfers into few system
// calls. Files of 4 GiB or more are refused, and the file never grows past 4 GiB - 1.
// Open modes: 1 read and write, 2 read, 3 write; the file must exist.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "file_path.h"
#include "io_stream.h"

constexpr uint32_t PTzFILESTREAM_WINDOW = 0x40000;

// A stream over the existing file with a window of windowBytes (not 0), or null: -1
// for a bad argument or mode, -51 when memory failed, else the system's code.
CORVANE_C _tagPTzIOSTREAM* PTzFileStreamCreate_1(const _tagPTzFILE* file, uint32_t mode, uint32_t windowBytes);
CORVANE_C _tagPTzIOSTREAM* PTzFileStreamCreate(const _tagPTzFILE* file, uint32_t mode);
// As above, but a file that cannot be opened is first created with its missing folders.
CORVANE_C _tagPTzIOSTREAM* PTzFileStreamCreateEx_1(const _tagPTzFILE* file, uint32_t mode, uint32_t windowBytes);
CORVANE_C _tagPTzIOSTREAM* PTzFileStreamCreateEx(const _tagPTzFILE* file, uint32_t mode);

// Used inside Corvane.
namespace corvane {

bool isFileStream(const _tagPTzIOSTREAM* stream);
// Writes back, sets the file's end, closes and frees: 1, or 0 on any failure.
int destroyFileStream(_tagPTzIOSTREAM* stream);

}  // namespace corvane
