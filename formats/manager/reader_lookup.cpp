// The reader search runs two passes over the plug-in list. The first asks each plug-in
// about the file's name and then its content on a fresh stream; the second asks only
// about the content, on one stream kept for the whole pass.
#include "formats/manager/reader_lookup.h"

#include <new>

#include "base/error_codes.h"
#include "base/file_stream.h"
#include "base/io_stream.h"
#include "base/memory.h"
#include "formats/manager/plugin_access.h"
#include "formats/manager/plugin_list.h"

using namespace formick;

namespace {

constexpr uint32_t ReadMode = 2;

struct ReaderSearch {
    FTzPlugInList* list;
    _tagPTzFILE file;
    _tagPTzIOSTREAM* stream;  // the content-only pass's; null while that pass has none
    uint32_t position;        // of the plug-in returned last
    int contentOnly;
    bool contentPass;         // the content-only pass has begun
};

_tagPTzIOSTREAM* openForReading(const _tagPTzFILE* file)
{
    return PTzFileStreamCreate_1(file, ReadMode, PTzFILESTREAM_WINDOW);
}

// A file that cannot be opened fits no plug-in.
bool fitsByContent(void* plugin, _tagPTzIOSTREAM* stream)
{
    const auto byStream = findEntry(plugin, FTzPlugInReadSupportByStreamEntry);
    if (!byStream || !stream)
        return false;
    PTzIOStreamSeek(stream, 0, 0);
    return byStream(stream) != 0;
}

bool fitsByNameAndContent(void* plugin, const _tagPTzFILE* file)
{
    const auto byFile = findEntry(plugin, FTzPlugInReadSupportByFileEntry);
    if (!byFile || byFile(file) == 0)
        return false;
    _tagPTzIOSTREAM* stream = openForReading(file);
    const bool fits = fitsByContent(plugin, stream);
    PTzFileStreamDestory(stream);
    return fits;
}

// The first fitting plug-in from position from on, passing into the content-only pass
// (from position 0) when the first is exhausted and the search allows it; null when
// none is left.
void* findFrom(ReaderSearch* search, uint32_t from)
{
    FTzPlugInList* list = search->list;
    if (!search->contentPass) {
        for (uint32_t position = from; position < list->GetPlugInCount(); ++position) {
            void* plugin = list->GetPlugIn(position);
            if (fitsByNameAndContent(plugin, &search->file)) {
                search->position = position;
                return plugin;
            }
        }
        if (!search->contentOnly)
            return nullptr;
        search->contentPass = true;
        from = 0;
    }
    if (!search->stream)
        search->stream = openForReading(&search->file);
    for (uint32_t position = from; position < list->GetPlugInCount(); ++position) {
        void* plugin = list->GetPlugIn(position);
        if (fitsByContent(plugin, search->stream)) {
            search->position = position;
            return plugin;
        }
    }
    return nullptr;
}

void closeStream(ReaderSearch* search)
{
    PTzFileStreamDestory(search->stream);
    search->stream = nullptr;
}

}  // namespace

void* FTzLoadFindFirstPlugIn(void* list, const _tagPTzFILE* file, void** plugin, int contentOnly)
{
    if (!list || !file || !plugin) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    PTzHANDLE handle = PTzHandleNew(sizeof(ReaderSearch));
    if (!handle)
        return nullptr;
    void* found = nullptr;
    if (PTzHandleLockGuard lock(handle); lock) {
        auto* search = new (lock.bytes())
            ReaderSearch{static_cast<FTzPlugInList*>(list), *file, nullptr, 0, contentOnly, false};
        found = findFrom(search, 0);
        closeStream(search);
    }
    if (!found) {
        PTzHandleFree(handle);
        return nullptr;
    }
    *plugin = found;
    return handle;
}

int FTzLoadFindNextPlugIn(void* handle, void** plugin)
{
    if (!handle || !plugin) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    PTzHandleLockGuard lock(handle);
    if (!lock)
        return 0;
    auto* search = reinterpret_cast<ReaderSearch*>(lock.bytes());
    void* found = findFrom(search, search->position + 1);
    if (!found)
        return 0;
    *plugin = found;
    return 1;
}

int FTzLoadFindPlugInClose(void* handle)
{
    if (!handle) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    if (PTzHandleLockGuard lock(handle); lock)
        closeStream(reinterpret_cast<ReaderSearch*>(lock.bytes()));
    PTzHandleFree(handle);
    return 1;
}
