// Filter records are made from each plug-in's description entry; the plug-in list's
// two filter operations live here beside the exported functions that call them.
#include "formats/manager/filter_list.h"

#include <algorithm>

#include "base/error_codes.h"
#include "formats/manager/plugin_access.h"
#include "formats/manager/plugin_list.h"

using namespace formick;

namespace {

// Writes the plug-in's record: false when its description cannot be had.
bool describe(void* plugin, _tagFTzFILTERINFO* record)
{
    const auto getDesc = findEntry(plugin, FTzPlugInGetSupportDescEntry);
    if (!getDesc) {
        PTzSetLastError(FTzERR_NO_DESCRIPTION);
        return false;
    }
    PTzChar text[FTzDESC_UNITS] = {};
    if (getDesc(text) != 0)
        return false;
    // A plug-in that fills a half to its last unit still gives terminated strings.
    text[FTzDESC_HALF - 1] = 0;
    text[FTzDESC_UNITS - 1] = 0;
    *record = _tagFTzFILTERINFO{};
    record->plugin = plugin;
    std::copy(text, text + FTzDESC_HALF, record->description);
    std::copy(text + FTzDESC_HALF, text + FTzDESC_UNITS, record->patterns);
    return true;
}

uint32_t collectFilters(FTzPlugInList* list, uint32_t supportBit, _tagFTzFILTERINFO* out, uint32_t capacity,
                        const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter)
{
    uint32_t count = 0;
    for (uint32_t position = 0; position < list->GetPlugInCount(); ++position) {
        if (out && count >= capacity)
            break;
        void* plugin = list->GetPlugIn(position);
        if (!plugin) {
            PTzSetLastError(FTzERR_EMPTY_SLOT);
            continue;
        }
        if ((askPlugIn(plugin, FTzPlugInGetSupportFlagEntry, 0) & supportBit) == 0)
            continue;
        if (filter && filter->proc && filter->proc(plugin, filter->user) == 0)
            continue;
        if (!out || describe(plugin, &out[count]))
            ++count;
    }
    return count;
}

FTzPlugInList* listOf(void* list)
{
    if (!list)
        PTzSetLastError(FTzERR_BAD_HANDLE);
    return static_cast<FTzPlugInList*>(list);
}

}  // namespace

uint32_t FTzPlugInList::GetLoadFilters(_tagFTzFILTERINFO* out, uint32_t capacity,
                                       const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter)
{
    return collectFilters(this, FTzSUPPORT_LOAD, out, capacity, filter);
}

uint32_t FTzPlugInList::GetSaveFilters(_tagFTzFILTERINFO* out, uint32_t capacity,
                                       const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter)
{
    return collectFilters(this, FTzSUPPORT_SAVE, out, capacity, filter);
}

uint32_t FTzLoadGetFitlers_1(void* list, _tagFTzFILTERINFO* out, uint32_t capacity,
                             const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter)
{
    FTzPlugInList* plugins = listOf(list);
    return plugins ? plugins->GetLoadFilters(out, capacity, filter) : 0;
}

uint32_t FTzSaveGetFilters_1(void* list, _tagFTzFILTERINFO* out, uint32_t capacity,
                             const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter)
{
    FTzPlugInList* plugins = listOf(list);
    return plugins ? plugins->GetSaveFilters(out, capacity, filter) : 0;
}

uint32_t FTzLoadGetFilter(void* list, _tagFTzFILTERINFO* out, uint32_t capacity)
{
    return FTzLoadGetFitlers_1(list, out, capacity, nullptr);
}

uint32_t FTzSaveGetFilter(void* list, _tagFTzFILTERINFO* out, uint32_t capacity)
{
    return FTzSaveGetFilters_1(list, out, capacity, nullptr);
}
