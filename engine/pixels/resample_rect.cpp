// Rectangle mappings of the resamplers: source and destination rectangles by resample
// type, and the exact source rectangle that a bilinear table pair reads for a tile.
#include <algorithm>
#include <climits>

#include "engine/pixels/resample.h"
#include "engine/pixels/zoom_arithmetic.h"
#include "engine/pixels/zoom_terms.h"

namespace {

int32_t Saturate(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

struct Axis {
    int32_t low, high;
};

// The source indices whose weights reach [low, high); false when none does.
bool SourceSpan(const _tagITzBLRESIZETABLE& table, Axis in, Axis& out)
{
    out = {INT32_MAX, INT32_MIN};
    for (int32_t s = table.firstSource; s < table.endSource; ++s) {
        const int32_t* range = table.ranges + 2 * (int64_t{s} - table.firstSource);
        if (range[0] <= range[1] && range[0] < in.high && range[1] >= in.low)
            out = {std::min(out.low, s), s + 1};
    }
    return out.low < out.high;
}

// Type 0 maps each edge through the nearest-pixel rule, type 1 through the bilinear one.
template <class Nearest, class Bilinear>
int MapRect(PTzRECT* out, const PTzRECT* in, const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY,
            uint32_t type, Nearest&& nearest, Bilinear&& bilinear)
{
    lumatra::ZoomTerms x, y;
    if (!out || !in || !lumatra::ReadZoom(zoomX, x) || !lumatra::ReadZoom(zoomY, y))
        return 0;
    if (type == ITzRESAMPLE_NEAREST) {
        *out = {nearest(zoomX, in->left), nearest(zoomY, in->top), nearest(zoomX, in->right),
                nearest(zoomY, in->bottom)};
        return 1;
    }
    if (type != ITzRESAMPLE_BILINEAR)
        return 0;
    *out = {Saturate(bilinear(x, in->left, false)), Saturate(bilinear(y, in->top, false)),
            Saturate(bilinear(x, in->right, true)), Saturate(bilinear(y, in->bottom, true))};
    return 1;
}

}  // namespace

int ITzResize::GetResizeSrcRect(PTzRECT* out, const PTzRECT* in, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY, uint32_t type)
{
    return MapRect(out, in, zoomX, zoomY, type, ITzZoomZPToPP, [](const lumatra::ZoomTerms& z, int64_t v, bool high) {
        return v * z.den / z.num + (high ? 1 : -1);
    });
}

int ITzResize::GetResizeDesRect(PTzRECT* out, const PTzRECT* in, const _tagITzZOOMLEVEL* zoomX,
                                const _tagITzZOOMLEVEL* zoomY, uint32_t type)
{
    return MapRect(out, in, zoomX, zoomY, type, ITzZoomPPToZP, [](const lumatra::ZoomTerms& z, int64_t v, bool high) {
        // Division truncating towards zero on both edges, as the tables index them.
        return high ? (v * z.num + z.den - 1) / z.den : (v * z.num - z.den + 1) / z.den;
    });
}

int ITzResize::GetResizeSrcRectBilinear(PTzRECT* out, const PTzRECT* in, const _tagITzBLRESIZETABLE* tableX,
                                        const _tagITzBLRESIZETABLE* tableY)
{
    if (!out || !in || !tableX || !tableY)
        return 0;
    Axis x, y;
    if (!SourceSpan(*tableX, {in->left, in->right}, x) || !SourceSpan(*tableY, {in->top, in->bottom}, y)) {
        *out = {0, 0, 0, 0};
        return 0;
    }
    *out = {x.low, y.low, x.high, y.high};
    return 1;
}

int ITzResize::GetResizeSrcRectBilinear_C(PTzRECT* out, const PTzRECT* in, const _tagITzBLRESIZETABLE* tableX,
                                          const _tagITzBLRESIZETABLE* tableY)
{
    // Centred tables carry their geometry in their ranges like the plain ones.
    return GetResizeSrcRectBilinear(out, in, tableX, tableY);
}
