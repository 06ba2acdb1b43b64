// Start-up loads the plug-in folder in sorted name order, since directory order on
// Linux is arbitrary and plug-ins of equal rank keep the order they were added in.
#include "formats/manager/plugin_manager.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/folder.h"
#include "base/folder_walk.h"
#include "base/memory.h"
#include "base/module.h"
#include "formats/manager/plugin_access.h"
#include "formats/manager/plugin_list.h"

using namespace formick;

namespace {

std::u16string_view textOf(const _tagPTzFILE& file)
{
    return std::u16string_view(file.path, std::find(file.path, file.path + PTzPATH_UNITS, u'\0'));
}

// The regular files of folder, sorted by name; false when it cannot be listed.
bool listFiles(const _tagPTzFILE* folder, std::vector<_tagPTzFILE>* files)
{
    if (!PTzFolderExist(folder)) {
        PTzSetLastError(ENOENT);
        return false;
    }
    PTzHANDLE find = PTzFindPrepareFolder(folder, 0);
    if (!find)
        return false;
    bool listed = true;
    _tagPTzFILE file;
    try {
        while (PTzFindNextFile(&find, &file))
            files->push_back(file);
    } catch (const std::bad_alloc&) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        listed = false;
    }
    PTzFindClose(find);
    std::sort(files->begin(), files->end(),
              [](const _tagPTzFILE& a, const _tagPTzFILE& b) { return textOf(a) < textOf(b); });
    return listed;
}

// A module is kept only when it says it is a plug-in and asks for no newer interface.
bool isAcceptedPlugIn(PTzMODULE module)
{
    const auto isPlugIn = moduleEntry(module, FTzPlugInIsPlugInEntry);
    const auto requestVersion = moduleEntry(module, FTzPlugInRequestVersionEntry);
    return isPlugIn && requestVersion && isPlugIn() != 0 && requestVersion() <= FTzINTERFACE_VERSION;
}

// Loads file into the list when it is an accepted plug-in; anything else is unloaded.
void addPlugIn(FTzPlugInList* list, const _tagPTzFILE* file)
{
    auto* holder = static_cast<void**>(PTzPointNew(sizeof(void*)));
    if (!holder)
        return;
    PTzMODULE module = PTzLoadModule(file);
    if (module && isAcceptedPlugIn(module) && registerPlugIn(module)) {
        *holder = module;
        if (list->AddPlugIn(holder) == 0)
            return;
        unregisterPlugIn(module);
    }
    PTzFreeModule(module);
    PTzPointFree(holder);
}

FTzPlugInList* listOf(void* list)
{
    if (!list)
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
    return static_cast<FTzPlugInList*>(list);
}

}  // namespace

uint32_t FTzGetVersionNumber()
{
    return FTzINTERFACE_VERSION;
}

void* FTzInit(const _tagPTzFILE* folder)
{
    if (!folder) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    std::unique_ptr<FTzPlugInList> list(new (std::nothrow) FTzPlugInList);
    if (!list) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return nullptr;
    }
    std::vector<_tagPTzFILE> files;
    if (!listFiles(folder, &files))
        return nullptr;
    for (const _tagPTzFILE& file : files)
        addPlugIn(list.get(), &file);
    return list.release();
}

int FTzUninit(void* list)
{
    FTzPlugInList* plugins = listOf(list);
    delete plugins;
    return plugins ? 1 : 0;
}

uint32_t FTzGetPlugInCount(void* list)
{
    FTzPlugInList* plugins = listOf(list);
    return plugins ? plugins->GetPlugInCount() : 0;
}

void* FTzGetPlugInByIndex(void* list, uint32_t index)
{
    FTzPlugInList* plugins = listOf(list);
    if (!plugins)
        return nullptr;
    if (plugins->GetPlugInCount() == 0) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return plugins->GetPlugIn(index);
}

void* FTzGetPlugInByID(void* list, uint32_t id)
{
    FTzPlugInList* plugins = listOf(list);
    if (!plugins)
        return nullptr;
    for (uint32_t index = 0; index < plugins->GetPlugInCount(); ++index) {
        void* plugin = plugins->GetPlugIn(index);
        const auto getID = findEntry(plugin, FTzPlugInGetIDEntry);
        if (getID && getID() == id)
            return plugin;
    }
    return nullptr;
}

uint32_t FTzGetPlugInSupportFormat(void* plugin)
{
    if (!isLivePlugIn(plugin)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return PTzFourCCNone;
    }
    return askPlugIn(plugin, FTzPlugInGetSupportFormatEntry, PTzFourCCNone);
}
