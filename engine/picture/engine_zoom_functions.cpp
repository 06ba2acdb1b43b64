// Point conversions between zoomed and picture coordinates for the program's views.
#include <cstdint>

#include "base/checked_size.h"
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"

namespace {

// value x multiplier / divisor with signed division in 64 bits: false when a step leaves
// its range (the product 64 bits, the result 32 bits).
bool ScaleAxis(int32_t value, int64_t multiplier, uint32_t divisor, int32_t* out)
{
    int64_t product = 0;
    if (!PTzCheckedMulSigned(value, multiplier, &product))
        return false;
    const int64_t result = product / int64_t{divisor};
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    *out = static_cast<int32_t>(result);
    return true;
}

// Zoomed to picture (toPicture) multiplies by den / num, else by num / den; `scale`
// multiplies further. Zero terms become 1 in the caller's record, but only when the
// conversion succeeds, so a refused call changes nothing.
int ConvertPoint(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out, int64_t scale, bool toPicture)
{
    if (!zoom || !in || !out)
        return PTzFail(ITzERR_INVALID);
    const _tagITzZOOMLEVEL terms = {zoom->numerator ? zoom->numerator : 1u,
                                    zoom->denominator ? zoom->denominator : 1u};
    const int64_t multiplier = scale * (toPicture ? terms.denominator : terms.numerator);
    const uint32_t divisor = toPicture ? terms.numerator : terms.denominator;
    PTzPOINT result = {};
    if (!ScaleAxis(in->x, multiplier, divisor, &result.x) || !ScaleAxis(in->y, multiplier, divisor, &result.y))
        return PTzFail(ITzERR_INVALID);
    *zoom = terms;
    *out = result;
    return 0;
}

}  // namespace

int ITzPictZPToPPMT(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out)
{
    return ConvertPoint(zoom, in, out, 16, true);
}

int ITzPictZPToPP(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out)
{
    return ConvertPoint(zoom, in, out, 1, true);
}

int ITzPictPPToZP(_tagITzZOOMLEVEL* zoom, const PTzPOINT* in, PTzPOINT* out)
{
    return ConvertPoint(zoom, in, out, 1, false);
}
