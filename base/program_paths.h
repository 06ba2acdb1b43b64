// Where the running program and the user's data live: the program's own path and
// folder (from /proc/self/exe) and the per-user data folder ($XDG_DATA_HOME).
#pragma once

#include "corvane_export.h"
#include "file_path.h"

// The running program's full path: 1, or 0 with the code stored.
CORVANE_C int PTzGetAppPath(_tagPTzFILE* out);
// The folder holding the running program: 1, or 0.
CORVANE_C int PTzGetAppFolder(_tagPTzFILE* out);
// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. 1, or 0. The folder is not created.
CORVANE_C int PTzGetApplicationData(_tagPTzFILE* out);
