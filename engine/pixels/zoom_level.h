// A zoom ratio: a zoomed length is a picture length x numerator / denominator (2/1
// doubles, 1/4 quarters). The ratio is never reduced to lowest terms.
#pragma once

#include <cstdint>

struct _tagITzZOOMLEVEL {
    uint32_t numerator;
    uint32_t denominator;
};
