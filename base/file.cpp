// Files on disk through POSIX: a handle is the descriptor plus one, so that null
// stays "no file" while descriptor 0 remains usable.
#include "file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "error_codes.h"
#include "folder.h"
#include "native_path.h"
#include "posix_file.h"

using namespace corvane;

namespace {

PTzFILEHANDLE handleOf(int fd)
{
    return fd < 0 ? nullptr : reinterpret_cast<PTzFILEHANDLE>(uintptr_t(fd) + 1);
}

PTzFILEHANDLE noFileForBadArgument()
{
    PTzSetLastError(PTzERR_BAD_ARGUMENT);
    return nullptr;
}

// out = folder + "/" + stem + "_" + number: false when it does not fit.
bool numberedPath(const _tagPTzFILE* folder, std::u16string_view stem, int number, _tagPTzFILE* out)
{
    PTzChar name[PTzPATH_UNITS + 16];
    if (stem.size() >= PTzPATH_UNITS)
        return false;
    char digits[16];
    const int count = std::snprintf(digits, sizeof(digits), "_%d", number);
    std::copy(stem.begin(), stem.end(), name);
    std::copy(digits, digits + count, name + stem.size());
    return joinPath(folder, {name, stem.size() + size_t(count)}, out);
}

// 1 when something (of any kind, a broken symlink included) is at path, 0 when
// nothing is, -1 when that cannot be told (the code stored).
int entryExists(const _tagPTzFILE* path)
{
    NativePath native;
    if (!toNativePath(path, &native))
        return -1;
    struct stat info {};
    if (lstat(native.text, &info) == 0)
        return 1;
    if (errno == ENOENT)
        return 0;
    failWithErrno();
    return -1;
}

}  // namespace

int PTzFileExist(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    return entryHasType(path, S_IFREG);
}

PTzFILEHANDLE PTzFileOpen(const _tagPTzFILE* path, uint32_t mode)
{
    if (!path)
        return noFileForBadArgument();
    return handleOf(openExisting(path, mode));
}

PTzFILEHANDLE PTzFileCreate(const _tagPTzFILE* path, uint32_t mode)
{
    if (!path)
        return noFileForBadArgument();
    const int access = accessFlags(mode);
    NativePath native;
    if (access < 0 || !toNativePath(path, &native))
        return nullptr;
    return handleOf(createNew(native.text, access, 0666));
}

PTzFILEHANDLE PTzFileCreateEx(const _tagPTzFILE* path, uint32_t mode)
{
    if (!path)
        return noFileForBadArgument();
    if (accessFlags(mode) < 0)
        return nullptr;
    if (PTzFileExist(path))
        return PTzFileOpen(path, mode);
    _tagPTzFILE folder;
    if (PTzGetSuperFolder(path, &folder) && !PTzFolderExist(&folder))
        PTzFolderCreateEx(&folder);  // a failure shows in the create below
    return PTzFileCreate(path, mode);
}

int PTzFileClose(PTzFILEHANDLE file)
{
    if (!file)
        return PTzFailWithZero();
    return closeDescriptor(int(reinterpret_cast<uintptr_t>(file) - 1)) ? 1 : 0;
}

int PTzFileDelete(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    NativePath native;
    if (!toNativePath(path, &native))
        return 0;
    if (unlink(native.text) != 0)
        return failWithErrno();
    return 1;
}

int PTzFileFindAvailalbeNameInPath(const _tagPTzFILE* folder, const PTzChar* base, _tagPTzFILE* out)
{
    if (!folder || !out)
        return PTzFailWithZero();
    const std::u16string_view stem = base ? std::u16string_view(base) : u"Sample";
    for (int i = 0; i < 10000; ++i) {
        _tagPTzFILE candidate;
        if (!numberedPath(folder, stem, i, &candidate)) {
            PTzSetLastError(PTzERR_PATH_TOO_LONG);
            return 0;
        }
        switch (entryExists(&candidate)) {
        case 0:
            *out = candidate;
            return 1;
        case -1:
            return 0;
        }
    }
    PTzSetLastError(PTzERR_NO_FREE_NAME);
    return 0;
}
