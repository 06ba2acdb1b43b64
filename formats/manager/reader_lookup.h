// Finding the plug-ins that can read a file: first by name and content together, then,
// when the caller allows it, by content alone.
#pragma once

#include "base/file_path.h"
#include "formats/manager/formick_export.h"

// Starts a search of list for readers of file: the search handle with the first
// fitting plug-in written to *plugin, or null when none fits (or memory failed; -1 for
// a null argument), *plugin then unchanged. With contentOnly nonzero, plug-ins that
// recognise the content under another name are found after the others.
FORMICK_C void* FTzLoadFindFirstPlugIn(void* list, const _tagPTzFILE* file, void** plugin, int contentOnly);
// 1 with the next fitting plug-in; 0 when none is left (-1 for a null argument). A
// plug-in found by name and content can come again from the content-only pass.
FORMICK_C int FTzLoadFindNextPlugIn(void* search, void** plugin);
// Frees the search: 1; 0 with -1 for a null search.
FORMICK_C int FTzLoadFindPlugInClose(void* search);
