// Files on disk: existence, exclusive opens and creation, deletion, and the search
// for a free numbered name. Open modes: 1 read and write, 2 read, 3 write.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "corvane_types.h"
#include "file_path.h"

// An open file; null means none.
using PTzFILEHANDLE = void*;

// 1 when path names a regular file (through symlinks), else 0.
CORVANE_C int PTzFileExist(const _tagPTzFILE* path);

// The existing regular file opened for this process's exclusive use, or null with the
// system's code (EWOULDBLOCK while another holder has it open). Never waits.
CORVANE_C PTzFILEHANDLE PTzFileOpen(const _tagPTzFILE* path, uint32_t mode);
// A new file, exclusively open; null when anything exists at path.
CORVANE_C PTzFILEHANDLE PTzFileCreate(const _tagPTzFILE* path, uint32_t mode);
// Opens an existing file as PTzFileOpen; otherwise makes its folder chain exist and
// creates it.
CORVANE_C PTzFILEHANDLE PTzFileCreateEx(const _tagPTzFILE* path, uint32_t mode);
// Nonzero on success.
CORVANE_C int PTzFileClose(PTzFILEHANDLE file);
// Removes a file (not a folder): nonzero on success.
CORVANE_C int PTzFileDelete(const _tagPTzFILE* path);

// out = folder + "/" + base + "_" + i for the first i of 0 to 9999 at which nothing
// exists (a folder or any other entry counts as taken); base "Sample" when null.
// 1, or 0 with -401 when all are taken, -302 when the name would not fit.
CORVANE_C int PTzFileFindAvailalbeNameInPath(const _tagPTzFILE* folder, const PTzChar* base, _tagPTzFILE* out);
