// Code modules (shared objects) loaded at run time, such as the format plug-ins.
#pragma once

#include "corvane_export.h"
#include "file_path.h"

using PTzMODULE = void*;

// The module at path, loaded with its symbols resolved now and kept to itself; null
// on failure (a path that names anything but a regular file is refused unopened).
CORVANE_C PTzMODULE PTzLoadModule(const _tagPTzFILE* path);
// Unloads it: 1 on success (and for null), 0 on failure.
CORVANE_C int PTzFreeModule(PTzMODULE module);
// The address of a named entry, or null (-1 for a null module or name).
CORVANE_C void* PTzGetProcAddress(PTzMODULE module, const char* name);
