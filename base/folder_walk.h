// Folder walkers that yield the regular files of a folder, optionally of its
// sub-folders too: a pull-style enumeration and a callback-driven walk. Entries come
// in the system's order; symlinked folders are never entered, FIFOs and devices never
// yielded, and a folder that cannot be read counts as empty.
#pragma once

#include "corvane_export.h"
#include "file_path.h"
#include "memory.h"

// A fresh enumeration of folder, or null (-1 for a null folder). The handle always
// stands for the innermost folder being listed; PTzFindNextFile replaces it.
CORVANE_C PTzHANDLE PTzFindPrepareFolder(const _tagPTzFILE* folder, int recurse);
// 1 with the next file's full path in out, or 0 when no file remains.
CORVANE_C int PTzFindNextFile(PTzHANDLE* find, _tagPTzFILE* out);
// Frees the enumeration from its innermost level up: 1 (0 when a free failed).
CORVANE_C int PTzFindClose(PTzHANDLE find);

// Callbacks of the walk. onFolder sees a sub-folder with entering = 1 (returning 0
// keeps the walk out of it) and every finished level with entering = 0.
using PTzFINDFILEPROC = int (*)(const _tagPTzFILE* path, void* user);
using PTzFINDFOLDERPROC = int (*)(const _tagPTzFILE* path, int entering, void* user);
using PTzFIND2HANDLE = void*;

// A walk of folder that calls back for each file (and each folder when recursing);
// either callback may be null. Null (-1 for a null folder) on failure.
CORVANE_C PTzFIND2HANDLE PTzFind2PrepareFolder(const _tagPTzFILE* folder, int recurse, PTzFINDFILEPROC onFile,
                                               PTzFINDFOLDERPROC onFolder, void* user);
// One step of the walk: the called callback's result, where a 0 from the callback
// reads as 1 so that 0 only ever means the walk is over; 1 when no callback was called.
CORVANE_C int PTzFind2DoNext(PTzFIND2HANDLE walk);
// Closes every open level and frees the walk: 1.
CORVANE_C int PTzFind2Close(PTzFIND2HANDLE walk);
