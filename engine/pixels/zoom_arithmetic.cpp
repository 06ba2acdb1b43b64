// Zoom mappings in signed 64 bits: floor and ceiling division that stay exact for
// negative coordinates, results saturated to 32 bits.
#include "engine/pixels/zoom_arithmetic.h"
#include "engine/pixels/zoom_terms.h"

#include <cstdint>

namespace {

using lumatra::CeilDiv;
using lumatra::FloorDiv;
using Terms = lumatra::ZoomTerms;

// False for a null zoom or a term above ITzZOOM_TERM_MAX. A zero term fails too unless
// `zeroAsOne`, with which it counts as 1.
bool ReadTerms(const _tagITzZOOMLEVEL* zoom, bool zeroAsOne, Terms& out)
{
    if (!zeroAsOne && zoom && (zoom->numerator == 0 || zoom->denominator == 0))
        return false;
    return lumatra::ReadZoom(zoom, out);
}

int64_t SourceEnlarge(const Terms& t, int64_t a)
{
    return FloorDiv((2 * a + 1) * t.den, 2 * t.num);
}

int64_t SourceReduce(const Terms& t, int64_t a)
{
    return CeilDiv((a + 1) * t.den - t.den / 2, t.num) - 1;
}

struct Span {
    int64_t low, high;
};

Span EnlargeAxis(const Terms& t, Span in)
{
    return {SourceEnlarge(t, in.low), SourceEnlarge(t, in.high - 1) + 1};
}

Span ReduceAxis(const Terms& t, Span in)
{
    return {SourceReduce(t, in.low), SourceReduce(t, in.high - 1) + 1};
}

Span NearestAxis(const Terms& t, Span in)
{
    return t.den < t.num ? EnlargeAxis(t, in) : ReduceAxis(t, in);
}

// Bilinear sampling needs the source pixels on both sides of each destination centre.
Span BilinearAxis(const Terms& t, Span in)
{
    if (t.den < t.num)
        return {FloorDiv(t.den * (2 * in.low + 1) - 2 * t.num + 1, 2 * t.num),
                FloorDiv(t.den + 2 * (t.num + t.den * (in.high - 1)) - 1, 2 * t.num) + 1};
    return {FloorDiv(t.den * in.low, t.num), CeilDiv(t.den * in.high, t.num)};
}

struct AxisResult {
    Span span;
    int64_t inputPhase, resultPhase;
};

AxisResult MapAxis(Span (*map)(const Terms&, Span), const Terms& t, Span in)
{
    const Span out = map(t, in);
    // The resamplers count from the start of the zoom group that holds the corner.
    const int64_t group = FloorDiv(in.low, t.num);
    return {out, in.low - t.num * group, out.low - t.den * group};
}

int MapRect(Span (*map)(const Terms&, Span), const _tagITzZOOMLEVEL* zoomY,
            const _tagITzZOOMLEVEL* zoomX, const PTzRECT* rect, PTzRECT* out, PTzPOINT* inputPhase,
            PTzPOINT* resultPhase)
{
    Terms x{}, y{};
    if (!rect || !out || !ReadTerms(zoomX, true, x) || !ReadTerms(zoomY, true, y))
        return 0;
    const AxisResult h = MapAxis(map, x, {rect->left, rect->right});
    const AxisResult v = MapAxis(map, y, {rect->top, rect->bottom});
    *out = {PTzSaturate32(h.span.low), PTzSaturate32(v.span.low), PTzSaturate32(h.span.high), PTzSaturate32(v.span.high)};
    if (inputPhase)
        *inputPhase = {PTzSaturate32(h.inputPhase), PTzSaturate32(v.inputPhase)};
    if (resultPhase)
        *resultPhase = {PTzSaturate32(h.resultPhase), PTzSaturate32(v.resultPhase)};
    return 1;
}

}  // namespace

uint8_t ITzZoomGetCacheLevel(const _tagITzZOOMLEVEL* zoom)
{
    if (!zoom || zoom->denominator <= zoom->numerator ||
        2 * uint64_t{zoom->numerator} > zoom->denominator)
        return 0;
    uint8_t level = 1;
    while (level < 8 && (uint64_t{zoom->numerator} << (level + 1)) <= zoom->denominator)
        ++level;
    return level;
}

int32_t ITzZoomPPToZP(const _tagITzZOOMLEVEL* zoom, int32_t a)
{
    Terms t{};
    if (!ReadTerms(zoom, false, t))
        return 0;
    const int64_t twice = 2 * int64_t{a} * t.num + t.den;
    if (twice > 0)
        return PTzSaturate32(twice / (2 * t.den));
    return PTzSaturate32(twice / (2 * t.den) - 1);
}

int32_t ITzZoomZPToPP(const _tagITzZOOMLEVEL* zoom, int32_t a)
{
    Terms t{};
    if (!ReadTerms(zoom, false, t))
        return 0;
    return PTzSaturate32(SourceEnlarge(t, a));
}

int32_t ITzZoomNNSourceEnlarge(const _tagITzZOOMLEVEL* zoom, int32_t a)
{
    Terms t{};
    return ReadTerms(zoom, true, t) ? PTzSaturate32(SourceEnlarge(t, a)) : 0;
}

int32_t ITzZoomNNSourceReduce(const _tagITzZOOMLEVEL* zoom, int32_t a)
{
    Terms t{};
    return ReadTerms(zoom, true, t) ? PTzSaturate32(SourceReduce(t, a)) : 0;
}

int ITzZoomRectEnlarge(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX, const PTzRECT* rect,
                       PTzRECT* out, PTzPOINT* inputPhase, PTzPOINT* resultPhase)
{
    return MapRect(EnlargeAxis, zoomY, zoomX, rect, out, inputPhase, resultPhase);
}

int ITzZoomRectReduce(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX, const PTzRECT* rect,
                      PTzRECT* out, PTzPOINT* inputPhase, PTzPOINT* resultPhase)
{
    return MapRect(ReduceAxis, zoomY, zoomX, rect, out, inputPhase, resultPhase);
}

int ITzZoomNNSourceRect(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX, const PTzRECT* rect,
                        PTzRECT* out, PTzPOINT* inputPhase, PTzPOINT* resultPhase)
{
    return MapRect(NearestAxis, zoomY, zoomX, rect, out, inputPhase, resultPhase);
}

int ITzZoomBLSourceRect(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX, const PTzRECT* rect,
                        PTzRECT* out, PTzPOINT* inputPhase, PTzPOINT* resultPhase)
{
    return MapRect(BilinearAxis, zoomY, zoomX, rect, out, inputPhase, resultPhase);
}
