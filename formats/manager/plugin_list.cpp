// The plug-in list's order and ownership. Ranks are asked of the plug-ins at each
// comparison, like every other entry, rather than remembered.
#include "formats/manager/plugin_list.h"

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/memory.h"
#include "formats/manager/plugin_access.h"

using namespace formick;

namespace {

// An empty holder ranks ahead of every plug-in of its format.
constexpr uint32_t EmptyHolderPriority = 0x100;

signed char compareUnsigned(uint32_t a, uint32_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

uint32_t priorityOf(void* plugin)
{
    return plugin ? askPlugIn(plugin, FTzPlugInGetSupportPriortyEntry, FTzDEFAULT_PRIORITY) : EmptyHolderPriority;
}

// -1, 0 or 1 as plug-in a ranks before, with or after plug-in b: by format code, then
// by priority, both compared unsigned. A null plug-in stands for an empty holder.
signed char ComparePlugIns(void* a, void* b)
{
    const signed char byFormat = compareUnsigned(askPlugIn(a, FTzPlugInGetSupportFormatEntry, PTzFourCCNone),
                                                 askPlugIn(b, FTzPlugInGetSupportFormatEntry, PTzFourCCNone));
    return byFormat != 0 ? byFormat : compareUnsigned(priorityOf(a), priorityOf(b));
}

}  // namespace

FTzPlugInList::FTzPlugInList() : PTzOrderList(sizeof(void**), 8) {}

FTzPlugInList::~FTzPlugInList()
{
    for (uint32_t count = GetPlugInCount(); count > 0; --count)
        RemovePlugIn(count - 1);
}

signed char FTzPlugInList::CompareTwoItems(uint32_t first, uint32_t second)
{
    return ComparePlugIns(GetPlugIn(first), GetPlugIn(second));
}

int FTzPlugInList::AddPlugIn(void** holder)
{
    if (!holder)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return InsertItem(&holder, sizeof(holder));
}

int FTzPlugInList::RemovePlugIn(uint32_t index)
{
    void** holder = nullptr;
    if (const int error = RemoveItemByIndex(index, &holder, sizeof(holder)))
        return error;
    if (!holder)
        return 0;
    unregisterPlugIn(*holder);
    const int unloaded = PTzFreeModule(*holder);
    PTzPointFree(holder);
    return unloaded ? 0 : PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
}

uint32_t FTzPlugInList::GetPlugInCount()
{
    return GetItemCount();
}

void* FTzPlugInList::GetPlugIn(uint32_t index)
{
    void** holder = nullptr;
    if (GetItemByIndex(index, &holder, sizeof(holder)) != 0 || !holder)
        return nullptr;
    return *holder;
}
