// FTzPlugInList: the loaded plug-ins, kept sorted by the format they support and their
// priority. Each item points to a holder, a small block holding one module handle.
#pragma once

#include <cstdint>

#include "base/order_list.h"
#include "formats/manager/formick_export.h"
#include "formats/manager/plugin_interface.h"

class FORMICK_API FTzPlugInList : public PTzOrderList {
public:
    FTzPlugInList();
    // Unloads the plug-ins from the last position to the first.
    ~FTzPlugInList() override;

    using PTzOrderList::CompareTwoItems;
    // Orders the plug-ins at the two positions by format code, then by priority.
    signed char CompareTwoItems(uint32_t first, uint32_t second) override;

    // Puts a holder of a registered plug-in in its sorted place, after every plug-in
    // that ranks the same; the list owns it from then on. 0 or a code.
    virtual int AddPlugIn(void** holder);
    // Takes the plug-in at index (the last past the count) out of the list,
    // unregisters and unloads it and frees its holder. 0 or a code.
    virtual int RemovePlugIn(uint32_t index);
    virtual uint32_t GetPlugInCount();
    // The filter records of the plug-ins that can load, or save (filter_list.cpp).
    virtual uint32_t GetLoadFilters(_tagFTzFILTERINFO* out, uint32_t capacity,
                                    const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter);
    virtual uint32_t GetSaveFilters(_tagFTzFILTERINFO* out, uint32_t capacity,
                                    const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter);

    // The plug-in at index (the last past the count); null for an empty list or holder.
    void* GetPlugIn(uint32_t index);
};
