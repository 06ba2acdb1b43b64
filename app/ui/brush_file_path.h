// Where the brush file lives: the path kept in the setting "Brush_File" (a type-2 string
// value: the path's UTF-16 units and a terminating NUL), else "Brush.dat" in the folder
// "Brush" of the per-user data folder, or of the program's folder when that cannot be had.
#pragma once

#include "base/file_path.h"

// The default path: 1, or 0 when neither folder can be had or the path does not fit.
int MakeDefaultBrushFilePath(_tagPTzFILE* path);
// Stores the path in "Brush_File": 1, or 0 with the code stored.
int SetBrushFileSetting(const _tagPTzFILE& path);
// The stored path when "Brush_File" holds a terminated, non-empty absolute path;
// otherwise the default path, then stored in "Brush_File". 1, or 0 without a path.
int GetBrushFilePath(_tagPTzFILE* path);
