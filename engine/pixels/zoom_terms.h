// Integer helpers of the zoom mappings and the resamplers: zoom terms read once, and
// floor and ceiling division that stay exact for negative coordinates. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/pixels/zoom_arithmetic.h"
#include "engine/pixels/zoom_level.h"

namespace lumatra {

// A zoom with both terms at least 1; enlarging when den < num.
struct ZoomTerms {
    int64_t num, den;
    bool enlarge() const { return den < num; }
};

// False for a null zoom or a term above ITzZOOM_TERM_MAX; a zero term counts as 1.
inline bool ReadZoom(const _tagITzZOOMLEVEL* zoom, ZoomTerms& out)
{
    if (!zoom || zoom->numerator > ITzZOOM_TERM_MAX || zoom->denominator > ITzZOOM_TERM_MAX)
        return false;
    out = {std::max<int64_t>(zoom->numerator, 1), std::max<int64_t>(zoom->denominator, 1)};
    return true;
}

inline int64_t FloorDiv(int64_t a, int64_t b)  // b > 0
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

inline int64_t CeilDiv(int64_t a, int64_t b)  // b > 0
{
    return -FloorDiv(-a, b);
}

}  // namespace lumatra
