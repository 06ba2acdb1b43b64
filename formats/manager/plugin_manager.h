// Formick's start and stop, and finding plug-ins in its list. The list and the
// plug-ins travel as untyped handles; a plug-in handle is the plug-in's module.
#pragma once

#include <cstdint>

#include "base/file_path.h"
#include "formats/manager/formick_export.h"

// The interface version Formick speaks: 0x01000000.
FORMICK_C uint32_t FTzGetVersionNumber();

// Loads every regular file of folder (not its sub-folders) that is a plug-in of an
// accepted version, in the order of format code, priority and file name. The list, or
// null: -1 for a null folder, ENOENT when it is not a folder, -51 when memory failed.
FORMICK_C void* FTzInit(const _tagPTzFILE* folder);
// Unloads the plug-ins and frees the list: 1; 0 with -1 for a null list. Plug-in
// handles of the list are refused from then on like null ones.
FORMICK_C int FTzUninit(void* list);

// The number of plug-ins; 0 with -1 for a null list.
FORMICK_C uint32_t FTzGetPlugInCount(void* list);
// The plug-in at index, the last one for an index past the end; null with -1 for a
// null or empty list.
FORMICK_C void* FTzGetPlugInByIndex(void* list, uint32_t index);
// The first plug-in in list order whose identifier is id; null when none is (-1 for a
// null list). Plug-ins without an identifier never match.
FORMICK_C void* FTzGetPlugInByID(void* list, uint32_t id);

// The format code the plug-in supports; "    " (0x20202020) when it does not say, and
// for a null or unknown plug-in (then with -1).
FORMICK_C uint32_t FTzGetPlugInSupportFormat(void* plugin);
