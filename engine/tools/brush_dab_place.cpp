// Dab placement: the tip for a pointer sample in sixteenths of a pixel and the rectangle
// in picture pixels it covers, in one call or in the steps the stroke engine drives.
#include <cstdint>
#include <limits>
#include <new>

#include "engine/tools/brush_base.h"
#include "engine/tools/mouse_track.h"

namespace {

// Floor division by 16 (an arithmetic shift) of a sixteenth-pixel position, kept inside
// the 32-bit range so that far-off samples cannot wrap.
int32_t PixelOf(int64_t sixteenths)
{
    const int64_t pixel = sixteenths >> 4;
    if (pixel < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (pixel > std::numeric_limits<int32_t>::max() - 0x10000)
        return std::numeric_limits<int32_t>::max() - 0x10000;
    return int32_t(pixel);
}

void PlaceRect(PTzRECT* rect, int64_t x, int64_t y, const _tagITzBITMAP& bitmap)
{
    rect->left = PixelOf(x);
    rect->top = PixelOf(y);
    rect->right = rect->left + bitmap.width;
    rect->bottom = rect->top + bitmap.height;
}

// The offset of a shifted tip: a tip of odd side has its centre in the middle of a pixel,
// half a pixel away from where an even one has it. Unsigned, so that positions at the
// edge of the 32-bit range cannot overflow; the low four bits are the same.
int32_t ShiftOf(int32_t position, int32_t side)
{
    const uint32_t at = uint32_t(position);
    return int32_t((side & 1) ? (at - 8u) & 15u : at & 15u);
}

struct PressAntiJob {
    PTzRECT* rect;
    _tagITzBITMAP* bitmap;
    int32_t x, y;
    uint8_t pressure;
    uint32_t state;
    _tagITzBITMAP tip;
};

}  // namespace

bool ITzBrushBase::GetBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    _tagITzBITMAP tip = {};
    if (!point || !rect || !bitmap || !GetBitmap(&tip))
        return false;
    PlaceRect(rect, int64_t(point->x) - 8 * int64_t(tip.width), int64_t(point->y) - 8 * int64_t(tip.height), tip);
    *bitmap = tip;
    return true;
}

bool ITzBrushBase::GetPressBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    _tagITzBITMAP tip = {};
    if (!point || !rect || !bitmap || !GetPressBitmap(&tip, point->pressure))
        return false;
    PlaceRect(rect, int64_t(point->x) - 8 * int64_t(tip.width) + 8, int64_t(point->y) - 8 * int64_t(tip.height) + 8,
              tip);
    *bitmap = tip;
    return true;
}

// The shifted tip of `tip` for the position, and its rectangle: its content sits 8 (W - 2)
// sixteenths left of and above the position.
static bool PlaceShifted(ITzBrushBase& brush, int32_t x, int32_t y, const _tagITzBITMAP& tip, PTzRECT* rect,
                         _tagITzBITMAP* bitmap)
{
    _tagITzBITMAP shifted = {};
    if (!brush.GetAntiBrushByBitmap(&shifted, &tip, ShiftOf(x, tip.width), ShiftOf(y, tip.height)))
        return false;
    PlaceRect(rect, int64_t(x) - 8 * (int64_t(tip.width) - 2), int64_t(y) - 8 * (int64_t(tip.height) - 2), shifted);
    *bitmap = shifted;
    return true;
}

bool ITzBrushBase::GetAntiBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    _tagITzBITMAP tip = {};
    return point && rect && bitmap && GetBitmap(&tip) && PlaceShifted(*this, point->x, point->y, tip, rect, bitmap);
}

bool ITzBrushBase::GetPressAntiBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap)
{
    _tagITzBITMAP tip = {};
    return point && rect && bitmap && GetPressBitmap(&tip, point->pressure) &&
           PlaceShifted(*this, point->x, point->y, tip, rect, bitmap);
}

void* ITzBrushBase::GetPressAntiBrushInfoStart(const _tagPTzMOUSEPOINT* point, PTzRECT* rect,
                                               _tagITzBITMAP* bitmap)
{
    if (!point || !rect || !bitmap)
        return nullptr;
    return new (std::nothrow) PressAntiJob{rect, bitmap, point->x, point->y, point->pressure, 0, {}};
}

// State 0 makes the pressure tip, state 1 the shifted tip and the rectangle; state 2 is
// the finished dab. A failed stage leaves the state where it was.
int ITzBrushBase::GetPressAntiBrushInfoRun(void* handle)
{
    auto* job = static_cast<PressAntiJob*>(handle);
    if (!job)
        return 0;
    switch (job->state) {
    case 0:
        if (!GetPressBitmap(&job->tip, job->pressure))
            return 0;
        job->state = 1;
        return 1;
    case 1:
        if (!PlaceShifted(*this, job->x, job->y, job->tip, job->rect, job->bitmap))
            return 0;
        job->state = 2;
        return 1;
    default:
        return 0;
    }
}

int ITzBrushBase::GetPressAntiBrushInfoEnd(void* handle)
{
    auto* job = static_cast<PressAntiJob*>(handle);
    if (!job)
        return 0;
    const int made = job->state == 2;
    delete job;
    return made;
}
