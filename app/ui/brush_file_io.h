// The brush file on disk: read through a read-only stream, so that a library the user
// made read-only is still read, and written through a synced replace, so that a full
// disk or a crash never leaves a cut file behind.
#pragma once

#include "app/ui/brush_file.h"
#include "base/file_path.h"

// Reads the library at path (see ReadBrushLibrary); NoFile when nothing could be opened.
BrushFileRead ReadBrushFile(const _tagPTzFILE& path, BrushRecords* records, uint32_t* defaultCount);

enum class BrushFileWrite {
    Written,
    NoPlace,  // the path cannot take a file: its folder cannot be made or written, something
              // other than a file is there, or the file to keep could not be moved aside
    Failed,   // the bytes could not all be written or moved into place
};

// Writes the library to a temporary file beside path and moves it over path. With
// keepExisting, a file at path is first moved to the first free name "<name>_<n>" beside
// it (never over another file) once the new file is complete. On any failure the file at
// path is as it was and no temporary file is left; the code is stored.
BrushFileWrite WriteBrushFile(const _tagPTzFILE& path, const BrushRecords& records, uint32_t defaultCount,
                              bool keepExisting);
