// Folders through mkdir, rmdir and stat.
#include "folder.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "error_codes.h"
#include "native_path.h"
#include "posix_file.h"

using namespace corvane;

namespace {

// mkdir of a valid path record; false with the code stored.
bool makeFolder(const _tagPTzFILE* path)
{
    NativePath native;
    if (!toNativePath(path, &native))
        return false;
    return mkdir(native.text, 0777) == 0 || failWithErrno();
}

}  // namespace

int PTzFolderExist(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    return entryHasType(path, S_IFDIR);
}

int PTzFolderCreate(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    return makeFolder(path) ? 1 : 0;
}

int PTzFolderCreateEx(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    if (makeFolder(path))
        return 1;
    // Only a missing parent can be mended; the recursion ends at "/" or at a relative
    // path's first component, which have no parent.
    _tagPTzFILE parent;
    if (PTzGetLastError() != ENOENT)
        return 0;
    if (!PTzGetSuperFolder(path, &parent)) {
        PTzSetLastError(ENOENT);
        return 0;
    }
    PTzFolderCreateEx(&parent);
    return makeFolder(path) ? 1 : 0;
}

int PTzRemoveFolder(const _tagPTzFILE* path)
{
    if (!path)
        return PTzFailWithZero();
    NativePath native;
    if (!toNativePath(path, &native))
        return 0;
    if (rmdir(native.text) != 0)
        return failWithErrno();
    return 1;
}
