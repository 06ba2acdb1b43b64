// Quarter-turn geometry of pictures and rectangles.
#include "engine/pixels/rotate.h"

int ITzRotatedSize(const _tagPTzSIZE* size, uint32_t type, _tagPTzSIZE* out)
{
    if (!size || !out || type > ITzROTATS_HALF)
        return 0;
    const bool swap = type == ITzROTATS_CLOCKWISE || type == ITzROTATS_COUNTERCLOCKWISE;
    *out = swap ? _tagPTzSIZE{size->cy, size->cx} : *size;
    return 1;
}

int ITzRotatedRect(const PTzRECT* rect, const _tagPTzSIZE* size, uint32_t type, PTzRECT* out)
{
    if (!rect || !size || !out || type > ITzROTATS_HALF)
        return 0;
    const int32_t W = size->cx, H = size->cy;
    const PTzRECT r = *rect;
    switch (type) {
    case ITzROTATS_CLOCKWISE: *out = {H - r.bottom, r.left, H - r.top, r.right}; break;
    case ITzROTATS_COUNTERCLOCKWISE: *out = {r.top, W - r.right, r.bottom, W - r.left}; break;
    case ITzROTATS_HALF: *out = {W - r.right, H - r.bottom, W - r.left, H - r.top}; break;
    default: *out = r; break;
    }
    return 1;
}

uint32_t ITzInverseRotation(uint32_t type)
{
    switch (type) {
    case ITzROTATS_CLOCKWISE: return ITzROTATS_COUNTERCLOCKWISE;
    case ITzROTATS_COUNTERCLOCKWISE: return ITzROTATS_CLOCKWISE;
    case ITzROTATS_NONE:
    case ITzROTATS_HALF: return type;
    default: return 4;
    }
}
