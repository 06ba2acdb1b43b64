// Sizes computed from outside data (file headers, the clipboard, a caller's size): every
// product and sum of sizes, counts and strides is checked, so that a crafted value is
// refused instead of wrapping into a small allocation. The one place that does this for
// every reader and allocator.
#pragma once

#include <cstdint>

#include "corvane_export.h"

// a x b and a + b: true with the exact result in out, false (out untouched) when the
// result exceeds `limit` (or 64 bits).
CORVANE_C bool PTzCheckedMul(uint64_t a, uint64_t b, uint64_t* out, uint64_t limit = UINT64_MAX);
CORVANE_C bool PTzCheckedAdd(uint64_t a, uint64_t b, uint64_t* out, uint64_t limit = UINT64_MAX);

// Bytes of a row of `width` pixels of `bits` each, padded to whole 4-byte words (the rows
// of a DIB and of an engine bitmap): as PTzCheckedMul.
CORVANE_C bool PTzCheckedRowBytes(uint64_t width, uint32_t bits, uint64_t* out, uint64_t limit = UINT64_MAX);

// a x b of signed values (coordinates times scale factors): true with the product,
// false (out untouched) when it leaves 64 bits.
CORVANE_C bool PTzCheckedMulSigned(int64_t a, int64_t b, int64_t* out);
