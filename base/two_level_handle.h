// The two-level handle list: fixed-size items kept in equal pages under a directory
// handle, so very long lists grow and take inserts without ever being copied whole.
#pragma once

#include <cstdint>

#include "corvane_export.h"

class Two_Level_Data;

// Opaque to callers; reached only through the functions below.
using PTzTWOLEVELHANDLE = Two_Level_Data*;

// Item size 0 means 4 bytes. Pages hold a power of two of items, as many as fit the
// requested page bytes (0x8000 for the first form); a page under 8 bytes is refused
// with -1, and -51 is stored when the list cannot be made.
CORVANE_C PTzTWOLEVELHANDLE PTzCreatTwoLevelHandle(uint16_t itemSize);
CORVANE_C PTzTWOLEVELHANDLE PTzCreatTwoLevelHandle_1(uint16_t itemSize, uint16_t pageBytes);
// 1, or 0 for a null handle.
CORVANE_C int PTzDestroyTwoLevelHandle(PTzTWOLEVELHANDLE list);
CORVANE_C uint32_t PTzTwoLevelHandleGetCount(PTzTWOLEVELHANDLE list);

// The functions below give 0 or a nonzero code that is also the last error; a failed
// call leaves the list as it was. An insert at or past the count appends; -101 once
// the list is full or an index lies beyond its capacity.
CORVANE_C int PTzTwoLevelHandleInsertItem(PTzTWOLEVELHANDLE list, uint32_t index, const void* item);
// Removes up to n items from index on; nothing happens when index is at or past the count.
CORVANE_C int PTzTwoLevelHandleRemoveItems(PTzTWOLEVELHANDLE list, uint32_t index, uint32_t n);
CORVANE_C int PTzTwoLevelHandleSetItemData(PTzTWOLEVELHANDLE list, uint32_t index, const void* item);
// Refused with -101 for an index at or past the count.
CORVANE_C int PTzTwoLevelHandleGetItemData(PTzTWOLEVELHANDLE list, uint32_t index, void* out);
