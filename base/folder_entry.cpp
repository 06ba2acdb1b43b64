// Folder entries through readdir and fstatat, never following a symlinked folder:
// this is what keeps the walkers out of symlink loops and away from FIFOs.
#include "folder_entry.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "native_path.h"
#include "posix_file.h"
#include "utf_convert.h"

namespace corvane {

DIR* openFolder(const _tagPTzFILE* folder, bool nofollow)
{
    NativePath native;
    if (!toNativePath(folder, &native))
        return nullptr;
    const int fd = open(native.text, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (nofollow ? O_NOFOLLOW : 0));
    if (fd < 0) {
        failWithErrno();
        return nullptr;
    }
    DIR* dir = fdopendir(fd);
    if (!dir) {
        failWithErrno();
        close(fd);
    }
    return dir;
}

FolderEntry readFolderEntry(DIR* dir, const _tagPTzFILE* folder, _tagPTzFILE* out)
{
    // A read error ends the folder like its last entry: the walk goes on elsewhere.
    const dirent* entry = readdir(dir);
    if (!entry)
        return FolderEntry::End;
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return FolderEntry::Skip;
    struct stat info {};
    if (fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return FolderEntry::Skip;
    FolderEntry kind = FolderEntry::Skip;
    if (S_ISDIR(info.st_mode))
        kind = FolderEntry::Folder;
    else if (S_ISREG(info.st_mode))
        kind = FolderEntry::File;
    else if (S_ISLNK(info.st_mode) && fstatat(dirfd(dir), name, &info, 0) == 0 && S_ISREG(info.st_mode))
        kind = FolderEntry::File;
    if (kind == FolderEntry::Skip)
        return kind;
    PTzChar wide[PTzPATH_UNITS];
    size_t units = 0;
    if (utf8ToUtf16(name, wide, PTzPATH_UNITS, &units, UtfBytes::Escape) != UtfResult::Ok ||
        !joinPath(folder, {wide, units}, out))
        return FolderEntry::Skip;
    return kind;
}

}  // namespace corvane
