// The load modes a reader offers (1 rows through a load session, 8 the native layered
// format), enumerated through the plug-in.
#pragma once

#include <cstdint>

#include "formats/manager/formick_export.h"

// Writes mode 1, then lets the plug-in write its first mode: the plug-in's enumeration
// handle, which may be null while a mode was written (then that is the only mode).
// Null with -2206 when the plug-in has no enumeration (mode 1 stands), -1 for a null
// or unknown plug-in or a null mode (nothing written).
FORMICK_C void* FTzLoadFindFirstSupportMode(void* plugin, uint32_t* mode);
// Nonzero with the next mode; 0 with -1 for a null handle, plug-in or mode, -2206
// without the entry.
FORMICK_C int FTzLoadFindNextSupportMode(void* plugin, void* find, uint32_t* mode);
// The plug-in's result of closing the enumeration; 0 with -1 for a null handle or
// plug-in, -2206 without the entry.
FORMICK_C int FTzLoadFindSupportModeClose(void* plugin, void* find);
