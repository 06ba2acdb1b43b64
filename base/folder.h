// Folders on disk: existence, creation (with the missing parent chain) and removal.
#pragma once

#include "corvane_export.h"
#include "file_path.h"

// 1 when path names a folder (through symlinks), else 0.
CORVANE_C int PTzFolderExist(const _tagPTzFILE* path);
// Creates one folder: nonzero on success.
CORVANE_C int PTzFolderCreate(const _tagPTzFILE* path);
// Creates the folder, first creating its missing parents up to "/": 1, or 0 (also when
// the folder exists already).
CORVANE_C int PTzFolderCreateEx(const _tagPTzFILE* path);
// Removes an empty folder: nonzero on success.
CORVANE_C int PTzRemoveFolder(const _tagPTzFILE* path);
