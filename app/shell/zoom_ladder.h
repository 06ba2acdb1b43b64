// The view's zoom ratios: the ladder that Zoom In and Zoom Out step along (... 1/4, 1/3,
// 1/2, 2/3, 1/1, 2/1, 3/1, 4/1, 6/1 ...), the rules that stop it, the ratio that fits a
// dragged rectangle into the window, and the percentage a window title shows. Ratios
// are compared by cross-multiplication and never reduced; a zero term counts as 1.
#pragma once

#include <QString>
#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/zoom_level.h"

// Negative, zero or positive as a is smaller than, equal to or larger than b.
int CompareZoom(_tagITzZOOMLEVEL a, _tagITzZOOMLEVEL b);

// The ladder value after `from` going up (from 1/1 or n/1) or down (from 1/1, 2/3 or
// 1/d); `from` itself when the next one's terms would leave 32 bits (the ladder ends).
_tagITzZOOMLEVEL NextZoomLevel(_tagITzZOOMLEVEL from, bool up);
// Zoom in: the smallest ladder value above the ratio; zoom out: the largest below it. Any
// ratio, also one left by a rectangle zoom, steps to its neighbours on the ladder. The
// ratio itself when the ladder ends before such a value.
_tagITzZOOMLEVEL StepZoomLadder(_tagITzZOOMLEVEL current, bool in);

// A picture side at the ratio, rounded up as the picture's preview size is, in 64 bits.
uint64_t ZoomedLength(uint32_t length, _tagITzZOOMLEVEL zoom);
// Whether both sides of the picture at the ratio stay within 2^31 - 1 pixels, the most a
// window can scroll through.
bool ZoomFits(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& pictureSize);

// The stop rules. In: while the ratio is under 16 (integer quotient) and the next step
// still fits. Out: above 1/1 always; at or below it while the zoomed picture (its size at
// the ratio) has a side of 10 pixels or more and no side of exactly 1 pixel.
bool CanZoomIn(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& pictureSize);
bool CanZoomOut(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& zoomedSize);

// The ratio that shows a rectangle of picture pixels (width, height) across a client area
// on its tighter axis: client / rectangle, at most 16/1 (also for a rectangle without
// extent), and the largest ladder value that fits when that ratio would not.
_tagITzZOOMLEVEL ZoomForRect(int64_t width, int64_t height, int32_t clientWidth, int32_t clientHeight,
                             const _tagPTzSIZE& pictureSize);

// A window's title: the ratio as a percentage ("%d" when whole, else "%0.2f"), "%" and
// the document's title as it is.
QString ZoomTitle(_tagITzZOOMLEVEL zoom, const QString& documentTitle);
