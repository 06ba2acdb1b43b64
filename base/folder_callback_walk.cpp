// The callback-driven folder walk: a chain of levels from the top folder down to the
// deepest one being listed; each step reads one entry of the deepest level.
#include <dirent.h>
#include <new>

#include "error_codes.h"
#include "folder_entry.h"
#include "folder_walk.h"
#include "memory.h"

using namespace corvane;

namespace {

struct Level {
    _tagPTzFILE path;
    DIR* search;  // null before the level's first step
    Level* parent;
};

struct Walk {
    Level* deepest;  // null once the walk is over
    int recurse;
    PTzFINDFILEPROC onFile;
    PTzFINDFOLDERPROC onFolder;
    void* user;
};

Level* newLevel(const _tagPTzFILE* path, Level* parent)
{
    void* block = PTzPointNew(sizeof(Level));
    return block ? new (block) Level{*path, nullptr, parent} : nullptr;
}

// 0 is kept for "the walk is over".
int stepResult(int callbackResult)
{
    return callbackResult != 0 ? callbackResult : 1;
}

int enterFolder(Walk* walk, const _tagPTzFILE* path)
{
    if (!walk->recurse)
        return 1;
    const int result = walk->onFolder ? walk->onFolder(path, 1, walk->user) : 1;
    if (result != 0) {
        // Without memory for the level the folder is passed over (the code is stored).
        if (Level* child = newLevel(path, walk->deepest))
            walk->deepest = child;
    }
    return stepResult(result);
}

// Closes and frees the deepest level, telling onFolder; the walk is over after the top.
int leaveLevel(Walk* walk)
{
    Level* level = walk->deepest;
    if (level->search)
        closedir(level->search);
    const int result = walk->onFolder ? walk->onFolder(&level->path, 0, walk->user) : 1;
    walk->deepest = level->parent;
    PTzPointFree(level);
    return walk->deepest ? stepResult(result) : 0;
}

}  // namespace

PTzFIND2HANDLE PTzFind2PrepareFolder(const _tagPTzFILE* folder, int recurse, PTzFINDFILEPROC onFile,
                                     PTzFINDFOLDERPROC onFolder, void* user)
{
    if (!folder) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    void* block = PTzPointNew(sizeof(Walk));
    if (!block)
        return nullptr;
    Level* top = newLevel(folder, nullptr);
    if (!top) {
        PTzPointFree(block);
        return nullptr;
    }
    return new (block) Walk{top, recurse, onFile, onFolder, user};
}

int PTzFind2DoNext(PTzFIND2HANDLE handle)
{
    if (!handle) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    auto* walk = static_cast<Walk*>(handle);
    Level* level = walk->deepest;
    if (!level)
        return 0;
    if (!level->search) {
        // An unreadable folder is an empty one; the top folder may be a symlink.
        level->search = openFolder(&level->path, level->parent != nullptr);
        if (!level->search)
            return leaveLevel(walk);
    }
    _tagPTzFILE entry;
    switch (readFolderEntry(level->search, &level->path, &entry)) {
    case FolderEntry::File:
        return walk->onFile ? stepResult(walk->onFile(&entry, walk->user)) : 1;
    case FolderEntry::Folder:
        return enterFolder(walk, &entry);
    case FolderEntry::Skip:
        return 1;
    case FolderEntry::End:
        break;
    }
    return leaveLevel(walk);
}

int PTzFind2Close(PTzFIND2HANDLE handle)
{
    if (!handle)
        return 1;
    auto* walk = static_cast<Walk*>(handle);
    while (Level* level = walk->deepest) {
        if (level->search)
            closedir(level->search);
        walk->deepest = level->parent;
        PTzPointFree(level);
    }
    PTzPointFree(walk);
    return 1;
}
