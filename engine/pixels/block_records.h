// The per-block records of the image layers' tile grids: an ARGB block keeps four
// channel handles and four constants, a gray block one handle and one constant.
// A null handle means the channel is uniform at its constant byte.
#pragma once

#include <cstdint>

#include "base/memory.h"

enum _tagITzBLOCKTYPE : uint32_t {
    ITzBLOCKTYPE_ARGB = 0,
    ITzBLOCKTYPE_GRAY = 1,
};

// Bit 0 of a record's flags: the block has data. An all-zero record is a missing block.
constexpr uint32_t ITzBLOCK_PRESENT = 1;

struct _tagITzBLOCKINFOARGB {
    uint32_t flags;
    PTzHANDLE channels[4];  // alpha, red, green, blue: 65,536 bytes each, or null
    uint8_t constants[4];
};

struct _tagITzBLOCKINFOGRAY {
    PTzHANDLE data;  // 65,536 bytes, or null
    uint8_t constant;
    uint8_t flags;
};

// Undo items: the block's index in its grid followed by a copy of its record.
struct _tagITzUNDOBLOCKITEMARGB {
    uint32_t blockIndex;
    _tagITzBLOCKINFOARGB info;
};

struct _tagITzUNDOBLOCKITEMGRAY {
    uint32_t blockIndex;
    _tagITzBLOCKINFOGRAY info;
};
