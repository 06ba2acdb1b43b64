// Operations on one ARGB block record (four channel handles and four constants) that
// keep its ownership exact: each either completes or leaves the record as it was.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/block_records.h"

// Frees the four handles and zeroes the record (a missing block): 1, 0 for null.
LUMATRA_C int ITzBlockInfoARGBDestroy(_tagITzBLOCKINFOARGB* record);
// Gives every channel without a handle a 65,536-byte handle filled with its constant:
// 0; -1051 (record unchanged, nothing kept) when memory is short; -1001 for null.
LUMATRA_C int ITzBlockInfoARGBExpand(_tagITzBLOCKINFOARGB* record);
// The same for the channels whose bits (1, 2, 4, 8 for channels 0-3) are set.
LUMATRA_C int ITzBlockInfoARGBExpandChannels(_tagITzBLOCKINFOARGB* record, uint8_t channels);
// The same with handles left unfilled, for a write that covers all 65,536 bytes.
LUMATRA_C int ITzBlockInfoARGBAllocateChannels(_tagITzBLOCKINFOARGB* record, uint8_t channels);
// Folds every channel whose bytes are all equal into its constant and frees its
// handle: 0, -1001 for null.
LUMATRA_C int ITzBlockInfoARGBCompress(_tagITzBLOCKINFOARGB* record);
// A deep copy: flags and constants copied, every handle duplicated. 1; 0 with `out`
// unchanged and nothing left allocated when a copy fails or for null.
LUMATRA_C int ITzBlockInfoARGBDuplicate(const _tagITzBLOCKINFOARGB* source,
                                        _tagITzBLOCKINFOARGB* out);
// Frees the handles of `old` that `incoming` does not carry, so that storing
// `incoming` over `old` neither leaks nor frees data it still holds.
LUMATRA_C void ITzBlockInfoARGBFreeReplaced(const _tagITzBLOCKINFOARGB* old,
                                            const _tagITzBLOCKINFOARGB* incoming);
