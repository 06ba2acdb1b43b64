// The pull-style folder enumeration: a chain of handle records, innermost first, each
// listing one folder and pointing to the record of the folder that holds it.
#include "folder_walk.h"

#include <dirent.h>
#include <new>

#include "error_codes.h"
#include "folder_entry.h"

using namespace corvane;

namespace {

struct FindFolderRecord {
    DIR* search;  // null before the first step
    bool finished;
    int recurse;
    _tagPTzFILE folder;
    PTzHANDLE parent;  // null at the top
};

PTzHANDLE newRecord(const _tagPTzFILE* folder, int recurse, PTzHANDLE parent)
{
    PTzHANDLE handle = PTzHandleNew(sizeof(FindFolderRecord));
    if (!handle)
        return nullptr;
    PTzHandleLockGuard lock(handle);
    new (lock.bytes()) FindFolderRecord{nullptr, false, recurse, *folder, parent};
    return handle;
}

// Closes the record's search and frees it; its parent, or null at the top.
PTzHANDLE freeRecord(PTzHANDLE handle, bool* freed)
{
    PTzHANDLE parent = nullptr;
    if (PTzHandleLockGuard lock(handle); lock) {
        auto* record = reinterpret_cast<FindFolderRecord*>(lock.bytes());
        if (record->search)
            closedir(record->search);
        parent = record->parent;
    }
    *freed = PTzHandleFree(handle) == nullptr && *freed;
    return parent;
}

enum class Step { File, Descend, LevelDone, Over };

// Reads entries of the record until one needs the caller: a file (in out), a
// sub-folder to enter (in out), or the record's end.
Step stepRecord(FindFolderRecord* record, _tagPTzFILE* out)
{
    if (record->finished)
        return record->parent ? Step::LevelDone : Step::Over;
    if (!record->search)
        record->search = openFolder(&record->folder, record->parent != nullptr);
    while (record->search) {
        switch (readFolderEntry(record->search, &record->folder, out)) {
        case FolderEntry::File:
            return Step::File;
        case FolderEntry::Folder:
            if (record->recurse)
                return Step::Descend;
            break;
        case FolderEntry::Skip:
            break;
        case FolderEntry::End:
            closedir(record->search);
            record->search = nullptr;
            record->finished = true;
            return record->parent ? Step::LevelDone : Step::Over;
        }
    }
    record->finished = true;  // an unreadable folder is an empty one
    return record->parent ? Step::LevelDone : Step::Over;
}

}  // namespace

PTzHANDLE PTzFindPrepareFolder(const _tagPTzFILE* folder, int recurse)
{
    if (!folder) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return newRecord(folder, recurse, nullptr);
}

int PTzFindNextFile(PTzHANDLE* find, _tagPTzFILE* out)
{
    if (!find || !*find || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    for (;;) {
        _tagPTzFILE path;
        Step step;
        int recurse;
        {
            PTzHandleLockGuard lock(*find);
            if (!lock)
                return 0;
            auto* record = reinterpret_cast<FindFolderRecord*>(lock.bytes());
            step = stepRecord(record, &path);
            recurse = record->recurse;
        }
        switch (step) {
        case Step::File:
            *out = path;
            return 1;
        case Step::Descend:
            if (PTzHANDLE child = newRecord(&path, recurse, *find))
                *find = child;
            else
                return 0;  // out of memory: the code is stored
            break;
        case Step::LevelDone: {
            bool freed = true;
            *find = freeRecord(*find, &freed);
            break;
        }
        case Step::Over:
            return 0;
        }
    }
}

int PTzFindClose(PTzHANDLE find)
{
    bool freed = true;
    while (find)
        find = freeRecord(find, &freed);
    return freed ? 1 : 0;
}
