// The column and row of a block in a layer's grid of 256 x 256 blocks.
#pragma once

#include <cstdint>

struct _tagITzBLOCKPOSITION {
    uint16_t column;
    uint16_t row;
};
