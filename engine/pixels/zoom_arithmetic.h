// Integer rules that map coordinates and rectangles between picture pixels and zoomed
// pixels through a zoom ratio, and the preview-cache level that serves a zoom.
// Everything is computed in signed 64 bits, so negative coordinates map exactly;
// results beyond 32 bits saturate.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/zoom_level.h"

// The largest numerator or denominator the mappings accept: with it no intermediate
// product of a 32-bit coordinate leaves 64 bits. Zooms beyond it are refused.
inline constexpr uint32_t ITzZOOM_TERM_MAX = uint32_t{1} << 30;

// The preview-cache level of a zoom: 0 for null, for 1/1 or more and above 1/2;
// otherwise the largest h with numerator x 2^h <= denominator, at most 8.
LUMATRA_C uint8_t ITzZoomGetCacheLevel(const _tagITzZOOMLEVEL* zoom);

// Picture pixel to zoomed pixel, rounded to nearest; a result whose doubled, offset
// value t = 2 a num + den is 0 or negative lands one below the floor when t is a
// multiple of 2 den. 0 for a null zoom or a zero or too large term.
LUMATRA_C int32_t ITzZoomPPToZP(const _tagITzZOOMLEVEL* zoom, int32_t a);
// Zoomed pixel to the picture pixel under its centre: floor((2a + 1) den / 2 num).
// 0 for a null zoom or a zero or too large term.
LUMATRA_C int32_t ITzZoomZPToPP(const _tagITzZOOMLEVEL* zoom, int32_t a);

// The nearest-pixel source index of destination index a. Enlarging:
// floor((2a + 1) den / (2 num)). Reducing: ceil(((a + 1) den - floor(den / 2)) / num) - 1.
// A zero numerator or denominator counts as 1; 0 for a null or too large zoom.
LUMATRA_C int32_t ITzZoomNNSourceEnlarge(const _tagITzZOOMLEVEL* zoom, int32_t a);
LUMATRA_C int32_t ITzZoomNNSourceReduce(const _tagITzZOOMLEVEL* zoom, int32_t a);

// Map a destination rectangle to its source rectangle per axis, each axis with its own
// zoom: left by the rule, right as (map of right - 1) + 1. Enlarge and Reduce use their
// rule on both axes, NNSourceRect picks per axis by the zoom's direction. When not null,
// inputPhase gets the rectangle corner's offset inside its group of `num` pixels
// (left - num g with g = floor(left / num)) and resultPhase the result corner's offset
// from den g. 1, or 0 (outputs unchanged) for a null zoom, rectangle or result, or a
// too large term; a zero term counts as 1.
LUMATRA_C int ITzZoomRectEnlarge(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX,
                                 const PTzRECT* rect, PTzRECT* out, PTzPOINT* inputPhase,
                                 PTzPOINT* resultPhase);
LUMATRA_C int ITzZoomRectReduce(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX,
                                const PTzRECT* rect, PTzRECT* out, PTzPOINT* inputPhase,
                                PTzPOINT* resultPhase);
LUMATRA_C int ITzZoomNNSourceRect(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX,
                                  const PTzRECT* rect, PTzRECT* out, PTzPOINT* inputPhase,
                                  PTzPOINT* resultPhase);
// The source rectangle that bilinear sampling of a destination rectangle reads, with
// the same phases and results as above. Per axis, enlarging (den < num):
// left = floor((den (2 left + 1) - 2 num + 1) / (2 num)),
// right = floor((den + 2 (num + den (right - 1)) - 1) / (2 num)) + 1; otherwise
// left = floor(den left / num), right = ceil(den right / num).
LUMATRA_C int ITzZoomBLSourceRect(const _tagITzZOOMLEVEL* zoomY, const _tagITzZOOMLEVEL* zoomX,
                                  const PTzRECT* rect, PTzRECT* out, PTzPOINT* inputPhase,
                                  PTzPOINT* resultPhase);
