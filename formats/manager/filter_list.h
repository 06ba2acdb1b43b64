// The filter records from which the program's open and save dialogs build their
// file-type lists: one per plug-in that can load (or save), in list order.
#pragma once

#include <cstdint>

#include "formats/manager/formick_export.h"
#include "formats/manager/plugin_interface.h"

// With out null: the number of plug-ins that qualify, for sizing the array. Otherwise
// fills at most capacity records and returns how many it wrote; a plug-in whose
// description cannot be had is left out. A filter whose function is set may refuse
// plug-ins. A null list gives 0 with -2001.
FORMICK_C uint32_t FTzLoadGetFitlers_1(void* list, _tagFTzFILTERINFO* out, uint32_t capacity,
                                       const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter);
FORMICK_C uint32_t FTzSaveGetFilters_1(void* list, _tagFTzFILTERINFO* out, uint32_t capacity,
                                       const _tagFTzPLUGINSUPPORTCALLBACKSTR* filter);
// The same without a filter.
FORMICK_C uint32_t FTzLoadGetFilter(void* list, _tagFTzFILTERINFO* out, uint32_t capacity);
FORMICK_C uint32_t FTzSaveGetFilter(void* list, _tagFTzFILTERINFO* out, uint32_t capacity);
