// Copying, moving and replacing files so that a crash or a full disk never leaves a
// half-written target: a replacing copy or save goes through a synced temporary file and
// one rename, and a move syncs the file before its new name appears.
#pragma once

#include "corvane_export.h"
#include "file_path.h"

// Copies the regular file existing to newPath; an existing target is replaced only
// when overwrite is nonzero, and only when no one else holds it open. Nonzero on
// success; on failure the target is as it was.
CORVANE_C int PTzFileCopyEx(const _tagPTzFILE* newPath, const _tagPTzFILE* existing, int overwrite);
// PTzFileCopyEx without replacing.
CORVANE_C int PTzFileCopy(const _tagPTzFILE* newPath, const _tagPTzFILE* existing);
// Renames or moves existing to newPath; fails when anything exists at newPath.
// Nonzero on success.
CORVANE_C int PTzFileMove(const _tagPTzFILE* newPath, const _tagPTzFILE* existing);
// Moves the regular file replacement over target in one rename, so that target names
// either its old contents or the whole new file: the replacement's data reaches the disk
// first, it takes an existing target's permission bits, a target that is a symbolic link
// is replaced where the link points, and the folder's new entry is synced last. The
// replacement must lie on the target's file system. Nonzero on success; on failure both
// files are as they were, and removing the replacement is the caller's.
CORVANE_C int PTzFileReplace(const _tagPTzFILE* target, const _tagPTzFILE* replacement);
