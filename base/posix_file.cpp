// File descriptors: non-blocking regular-file opens with flock, full pread/pwrite loops.
#include "posix_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "error_codes.h"
#include "native_path.h"

namespace corvane {

namespace {

// One system call moves at most this much, well below SSIZE_MAX.
constexpr uint64_t kMaxTransfer = 1u << 30;

int failedOpen()
{
    failWithErrno();
    return -1;
}

int failDescriptor(int fd, int code)
{
    PTzSetLastError(code);
    close(fd);
    return -1;
}

}  // namespace

bool failWithErrno()
{
    PTzSetLastError(errno != 0 ? errno : EIO);
    return false;
}

int accessFlags(uint32_t mode)
{
    switch (mode) {
    case 1:
        return O_RDWR;
    case 2:
        return O_RDONLY;
    case 3:
        return O_WRONLY;
    default:
        return PTzFail(PTzERR_BAD_ARGUMENT);
    }
}

int openRegular(const char* path, int access, int lock)
{
    // O_NONBLOCK keeps the open of a FIFO from waiting for a peer; it is cleared
    // once the descriptor is known to be a regular file.
    const int fd = open(path, access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failedOpen();
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return failDescriptor(fd, errno);
    if (!S_ISREG(info.st_mode))
        return failDescriptor(fd, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    if (flock(fd, lock | LOCK_NB) != 0)
        return failDescriptor(fd, errno);
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failDescriptor(fd, errno);
    return fd;
}

int createNew(const char* path, int access, mode_t permissions)
{
    const int fd = open(path, access | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, permissions);
    if (fd < 0)
        return failedOpen();
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        unlink(path);  // the file is ours: do not leave it behind
        return failDescriptor(fd, code);
    }
    return fd;
}

int openExisting(const _tagPTzFILE* path, uint32_t mode)
{
    const int access = accessFlags(mode);
    NativePath native;
    if (access < 0 || !toNativePath(path, &native))
        return -1;
    return openRegular(native.text, access, LOCK_EX);
}

bool readAt(int fd, void* buffer, uint64_t count, uint64_t offset, uint64_t* done)
{
    auto* bytes = static_cast<uint8_t*>(buffer);
    uint64_t total = 0;
    while (total < count) {
        const ssize_t n = pread(fd, bytes + total, std::min(count - total, kMaxTransfer), off_t(offset + total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *done = total;
            return n == 0 || failWithErrno();
        }
        total += uint64_t(n);
    }
    *done = total;
    return true;
}

bool writeAt(int fd, const void* buffer, uint64_t count, uint64_t offset, uint64_t* done)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint64_t total = 0;
    while (total < count) {
        errno = 0;
        const ssize_t n = pwrite(fd, bytes + total, std::min(count - total, kMaxTransfer), off_t(offset + total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *done = total;
            return failWithErrno();
        }
        total += uint64_t(n);
    }
    *done = total;
    return true;
}

bool closeDescriptor(int fd)
{
    // Linux releases the descriptor even when close reports EINTR: never retry.
    return close(fd) == 0 || failWithErrno();
}

bool syncDescriptor(int fd)
{
    return fsync(fd) == 0 || failWithErrno();
}

bool syncParentFolder(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    NativePath folder;
    if (!slash) {
        std::strcpy(folder.text, ".");
    } else {
        const size_t length = slash == path ? 1 : size_t(slash - path);
        if (length >= sizeof(folder.text)) {
            PTzSetLastError(PTzERR_PATH_TOO_LONG);
            return false;
        }
        std::memcpy(folder.text, path, length);
        folder.text[length] = 0;
    }
    const int fd = open(folder.text, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failWithErrno();
    const bool synced = syncDescriptor(fd);
    return closeDescriptor(fd) && synced;
}

int entryHasType(const _tagPTzFILE* path, mode_t type)
{
    NativePath native;
    struct stat info {};
    if (!toNativePath(path, &native))
        return 0;
    if (stat(native.text, &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            failWithErrno();
        return 0;
    }
    return (info.st_mode & S_IFMT) == type ? 1 : 0;
}

}  // namespace corvane
