// Copy through a locked source into a new or temporary file, fsync, then link it in by
// name; move by renameat2 without replacing; replace by renaming a synced file over the
// target.
#include "file_copy.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "error_codes.h"
#include "file_copy_test_hooks.h"
#include "memory.h"
#include "native_path.h"
#include "posix_file.h"

using namespace corvane;

namespace {

constexpr uint32_t kCopyChunk = 1u << 20;

int failReplaceStep = PTzTEST_REPLACE_NONE;

// True (with EIO stored) when a test asked this step of the next replace to fail.
bool replaceStepRefused(int step)
{
    if (failReplaceStep != step)
        return false;
    failReplaceStep = PTzTEST_REPLACE_NONE;
    PTzSetLastError(EIO);
    return true;
}

// Closes a descriptor when it goes out of scope (a failed close only matters for
// written files, which are closed explicitly).
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool closeChecked()
    {
        const int fd = m_fd;
        m_fd = -1;
        return closeDescriptor(fd);
    }

private:
    int m_fd;
};

// Copies every byte of in to out (from offset 0), syncs out, keeps in's permissions.
bool copyContents(int in, int out)
{
    uint32_t chunk = kCopyChunk;
    void* buffer = PTzPointNewAdjustable(&chunk);
    if (!buffer) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return false;
    }
    bool ok = true;
    for (uint64_t offset = 0;;) {
        uint64_t got = 0;
        uint64_t put = 0;
        ok = readAt(in, buffer, chunk, offset, &got);
        if (!ok || got == 0)
            break;
        ok = writeAt(out, buffer, got, offset, &put);
        if (!ok)
            break;
        offset += got;
    }
    PTzPointFree(buffer);
    struct stat info {};
    if (ok && (fstat(in, &info) != 0 || fchmod(out, info.st_mode & 07777) != 0))
        ok = failWithErrno();
    return ok && syncDescriptor(out);
}

bool copyToNewFile(int in, const char* target)
{
    Descriptor out(createNew(target, O_WRONLY, 0666));
    if (out.get() < 0)
        return false;
    if (copyContents(in, out.get()) && out.closeChecked())
        return true;
    const int code = PTzGetLastError();
    unlink(target);
    PTzSetLastError(code);
    return false;
}

// Renames the synced file from over to and makes the new entry durable.
bool renameSynced(const char* from, const char* to)
{
    if (rename(from, to) != 0)
        return failWithErrno();
    syncParentFolder(to);  // the new name is in place; a failed folder sync cannot undo it
    return true;
}

// Writes a synced temporary file beside target and renames it over target, so
// target is either the old file or the whole new one.
bool replaceFile(int in, const char* target)
{
    // A target held open by someone (a locked file) is not swapped from under them,
    // and a folder or other non-file at target is never replaced.
    struct stat info {};
    const bool exists = lstat(target, &info) == 0;
    if (!exists && errno != ENOENT)
        return failWithErrno();
    const Descriptor held(exists ? openRegular(target, O_RDONLY, LOCK_EX) : -1);
    if (exists && held.get() < 0)
        return false;
    char temporary[sizeof(NativePath) + 8];
    std::snprintf(temporary, sizeof(temporary), "%s.XXXXXX", target);
    Descriptor out(mkostemp(temporary, O_CLOEXEC));
    if (out.get() < 0)
        return failWithErrno();
    if (copyContents(in, out.get()) && out.closeChecked() && renameSynced(temporary, target))
        return true;
    const int code = PTzGetLastError();
    unlink(temporary);
    PTzSetLastError(code);
    return false;
}

}  // namespace

int PTzFileCopyEx(const _tagPTzFILE* newPath, const _tagPTzFILE* existing, int overwrite)
{
    if (!newPath || !existing)
        return PTzFailWithZero();
    NativePath source;
    NativePath target;
    if (!toNativePath(existing, &source) || !toNativePath(newPath, &target))
        return 0;
    Descriptor in(openRegular(source.text, O_RDONLY, LOCK_SH));
    if (in.get() < 0)
        return 0;
    return (overwrite ? replaceFile(in.get(), target.text) : copyToNewFile(in.get(), target.text)) ? 1 : 0;
}

int PTzFileCopy(const _tagPTzFILE* newPath, const _tagPTzFILE* existing)
{
    return PTzFileCopyEx(newPath, existing, 0);
}

int PTzFileMove(const _tagPTzFILE* newPath, const _tagPTzFILE* existing)
{
    if (!newPath || !existing)
        return PTzFailWithZero();
    NativePath source;
    NativePath target;
    if (!toNativePath(existing, &source) || !toNativePath(newPath, &target))
        return 0;
    // A regular file's data reaches the disk before its new name does, so a crash
    // cannot leave an empty file under the target's name.
    struct stat info {};
    if (lstat(source.text, &info) != 0)
        return failWithErrno();
    if (S_ISREG(info.st_mode)) {
        Descriptor file(open(source.text, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        if (file.get() < 0 || !syncDescriptor(file.get()))
            return failWithErrno();
    }
    if (renameat2(AT_FDCWD, source.text, AT_FDCWD, target.text, RENAME_NOREPLACE) != 0)
        return failWithErrno();
    syncParentFolder(target.text);  // the move happened; a failed folder sync cannot undo it
    return 1;
}

int PTzFileReplace(const _tagPTzFILE* target, const _tagPTzFILE* replacement)
{
    if (!target || !replacement)
        return PTzFailWithZero();
    NativePath named;
    NativePath source;
    if (!toNativePath(target, &named) || !toNativePath(replacement, &source))
        return 0;
    // A symbolic link stays a link: the file it names is replaced.
    char resolved[PATH_MAX];
    const char* destination = named.text;
    struct stat info {};
    const bool exists = lstat(named.text, &info) == 0;
    if (!exists && errno != ENOENT)
        return failWithErrno();
    if (exists && S_ISLNK(info.st_mode)) {
        if (!realpath(named.text, resolved) || stat(resolved, &info) != 0)
            return failWithErrno();
        destination = resolved;
    }
    if (exists && !S_ISREG(info.st_mode))
        return PTzFailWithZero(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    Descriptor file(open(source.text, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat own {};
    if (file.get() < 0 || fstat(file.get(), &own) != 0)
        return failWithErrno();
    if (!S_ISREG(own.st_mode))
        return PTzFailWithZero(EINVAL);
    if (exists && fchmod(file.get(), info.st_mode & 07777) != 0)
        return failWithErrno();
    if (replaceStepRefused(PTzTEST_REPLACE_SYNC) || !syncDescriptor(file.get()))
        return 0;
    if (replaceStepRefused(PTzTEST_REPLACE_RENAME) || !renameSynced(source.text, destination))
        return 0;
    return 1;
}

void PTzTestFailNextReplaceStep(int step)
{
    failReplaceStep = step;
}
