// A zoom ratio: a zoomed length is a picture length x numerator / denominator (2/1
// doubles, 1/4 quarters). The ratio is never reduced to lowest terms.
#pragma once

#include <cstdint>

struct _tagITzZOOMLEVEL {
    uint32_t numerator;
    uint32_t denominator;
};

// Whether the zoom draws a picture pixel over more than one screen pixel.
inline bool Enlarges(const _tagITzZOOMLEVEL& zoom)
{
    return zoom.denominator < zoom.numerator;
}
