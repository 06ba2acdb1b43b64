// One folder entry at a time for the folder walkers, sorted into what a walker may
// yield: regular files and real sub-folders; everything else is skipped.
#pragma once

#include <dirent.h>

#include "file_path.h"

namespace corvane {

enum class FolderEntry {
    End,     // no entry remains, or the folder cannot be read further
    File,    // a regular file, or a symlink to one
    Folder,  // a folder that is not a symlink, other than "." and ".."
    Skip,    // anything else: devices, FIFOs, sockets, symlinks to folders or to nothing,
             // names whose path would not fit a record
};

// Opens folder for reading; null (the code stored) when it cannot be read. A
// sub-folder is opened with nofollow, so that a symlink swapped in is not entered.
DIR* openFolder(const _tagPTzFILE* folder, bool nofollow);

// Reads the next entry of dir, which lists folder; for File and Folder, out receives
// folder + "/" + name.
FolderEntry readFolderEntry(DIR* dir, const _tagPTzFILE* folder, _tagPTzFILE* out);

}  // namespace corvane
