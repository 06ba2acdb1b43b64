// File descriptors behind the file functions and the file stream: opens that never
// wait (on a FIFO or on another holder's lock), and transfers that loop until done.
// Every failure stores the system's code as the last error.
#pragma once

#include <cstdint>
#include <sys/types.h>

#include "file_path.h"

namespace corvane {

// open(2) access flags of an open mode: 1 read and write, 2 read, 3 write; -1 (with -1
// stored) for any other mode.
int accessFlags(uint32_t mode);

// Opens an existing regular file and takes lock (LOCK_EX or LOCK_SH) on it without
// waiting: a descriptor, or -1. Anything but a regular file is refused (EISDIR for a
// folder, EINVAL otherwise) without blocking on it.
int openRegular(const char* path, int access, int lock);

// Creates a file that must not exist yet and locks it exclusively: a descriptor, or -1.
int createNew(const char* path, int access, mode_t permissions);

// openRegular with an exclusive lock, for a path record and an open mode.
int openExisting(const _tagPTzFILE* path, uint32_t mode);

// Transfer count bytes at offset, retrying short transfers and EINTR. done receives
// the bytes transferred; a read that meets the end of the file is not a failure.
bool readAt(int fd, void* buffer, uint64_t count, uint64_t offset, uint64_t* done);
bool writeAt(int fd, const void* buffer, uint64_t count, uint64_t offset, uint64_t* done);

// close(2) and fsync(2) that store the code of a failure.
bool closeDescriptor(int fd);
bool syncDescriptor(int fd);

// Makes the entry of path durable in its folder (after a rename); false on failure.
bool syncParentFolder(const char* path);

// Stores errno (EIO should it be 0) as the last error and returns false.
bool failWithErrno();

// 1 when the path names an entry (links followed) of the given S_IFMT type, else 0;
// a reason other than "no such entry" is stored as the last error.
int entryHasType(const _tagPTzFILE* path, mode_t type);

}  // namespace corvane
