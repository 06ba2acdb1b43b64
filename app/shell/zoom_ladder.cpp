// The ladder is generated from 1/1: upwards n/1 -> 3n/2 when 3 does not divide n, else
// 4n/3 (1, 2, 3, 4, 6, 8, 12, 16, 24 ...); downwards 1/1 -> 2/3 -> 1/2, then 1/d by the
// same rule on d. Every walk is a few dozen steps at most, since the terms grow
// geometrically until they would leave 32 bits.
#include "app/shell/zoom_ladder.h"

#include <climits>

namespace {

constexpr _tagITzZOOMLEVEL kOne = {1, 1};
constexpr uint32_t kMostIn = 16;

_tagITzZOOMLEVEL Normal(_tagITzZOOMLEVEL zoom)
{
    return zoom.numerator == 0 || zoom.denominator == 0 ? kOne : zoom;
}

// The next term of n -> 3n/2 or 4n/3, or 0 when it would leave 32 bits.
uint32_t GrowTerm(uint32_t n)
{
    const uint64_t next = n % 3 ? uint64_t(n) * 3 / 2 : uint64_t(n) * 4 / 3;
    return next > UINT32_MAX ? 0 : uint32_t(next);
}

bool Same(_tagITzZOOMLEVEL a, _tagITzZOOMLEVEL b)
{
    return a.numerator == b.numerator && a.denominator == b.denominator;
}

}  // namespace

int CompareZoom(_tagITzZOOMLEVEL a, _tagITzZOOMLEVEL b)
{
    a = Normal(a);
    b = Normal(b);
    const uint64_t left = uint64_t(a.numerator) * b.denominator;
    const uint64_t right = uint64_t(b.numerator) * a.denominator;
    return left < right ? -1 : left > right ? 1 : 0;
}

_tagITzZOOMLEVEL NextZoomLevel(_tagITzZOOMLEVEL from, bool up)
{
    from = Normal(from);
    if (up) {
        if (Same(from, kOne))
            return {2, 1};
        const uint32_t next = GrowTerm(from.numerator);
        return next ? _tagITzZOOMLEVEL{next, 1} : from;
    }
    if (Same(from, kOne))
        return {2, 3};
    if (Same(from, {2, 3}))
        return {1, 2};
    const uint32_t next = GrowTerm(from.denominator);
    return next ? _tagITzZOOMLEVEL{1, next} : from;
}

_tagITzZOOMLEVEL StepZoomLadder(_tagITzZOOMLEVEL current, bool in)
{
    current = Normal(current);
    const bool above = CompareZoom(current, kOne) > 0;
    const bool atOrAbove = CompareZoom(current, kOne) >= 0;
    _tagITzZOOMLEVEL value = kOne;
    if (in && atOrAbove) {
        // Upwards to the first value above the ratio.
        while (CompareZoom(value, current) <= 0) {
            const _tagITzZOOMLEVEL next = NextZoomLevel(value, true);
            if (Same(next, value))
                return current;
            value = next;
        }
        return value;
    }
    if (in) {
        // Downwards while the next value is still above the ratio.
        for (;;) {
            const _tagITzZOOMLEVEL next = NextZoomLevel(value, false);
            if (Same(next, value) || CompareZoom(next, current) <= 0)
                return value;
            value = next;
        }
    }
    if (above) {
        // Upwards while the next value is still below the ratio.
        for (;;) {
            const _tagITzZOOMLEVEL next = NextZoomLevel(value, true);
            if (Same(next, value) || CompareZoom(next, current) >= 0)
                return value;
            value = next;
        }
    }
    // Downwards to the first value below the ratio.
    while (CompareZoom(value, current) >= 0) {
        const _tagITzZOOMLEVEL next = NextZoomLevel(value, false);
        if (Same(next, value))
            return current;
        value = next;
    }
    return value;
}

uint64_t ZoomedLength(uint32_t length, _tagITzZOOMLEVEL zoom)
{
    zoom = Normal(zoom);
    const uint64_t num = zoom.numerator;
    const uint64_t den = zoom.denominator;
    return length / den * num + (length % den * num + den - 1) / den;
}

bool ZoomFits(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& pictureSize)
{
    const auto fits = [&](int32_t side) { return side <= 0 || ZoomedLength(uint32_t(side), zoom) <= INT32_MAX; };
    return fits(pictureSize.cx) && fits(pictureSize.cy);
}

bool CanZoomIn(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& pictureSize)
{
    zoom = Normal(zoom);
    if (zoom.numerator / zoom.denominator >= kMostIn)
        return false;
    const _tagITzZOOMLEVEL next = StepZoomLadder(zoom, true);
    return CompareZoom(next, zoom) > 0 && ZoomFits(next, pictureSize);
}

bool CanZoomOut(_tagITzZOOMLEVEL zoom, const _tagPTzSIZE& zoomedSize)
{
    zoom = Normal(zoom);
    if (zoom.numerator > zoom.denominator)
        return true;
    if (zoomedSize.cx == 1 || zoomedSize.cy == 1)
        return false;
    return zoomedSize.cx >= 10 || zoomedSize.cy >= 10;
}

_tagITzZOOMLEVEL ZoomForRect(int64_t width, int64_t height, int32_t clientWidth, int32_t clientHeight,
                             const _tagPTzSIZE& pictureSize)
{
    // The tighter axis: w x H > h x W means the width decides.
    const bool byWidth = width * clientHeight > height * clientWidth;
    const int64_t numerator = byWidth ? clientWidth : clientHeight;
    const int64_t denominator = byWidth ? width : height;
    _tagITzZOOMLEVEL zoom = kOne;
    if (denominator <= 0 || numerator / denominator > kMostIn)
        zoom = {kMostIn, 1};
    else if (numerator > 0 && denominator <= UINT32_MAX)
        zoom = {uint32_t(numerator), uint32_t(denominator)};
    while (!ZoomFits(zoom, pictureSize)) {
        const _tagITzZOOMLEVEL lower = StepZoomLadder(zoom, false);
        if (Same(lower, zoom))
            return kOne;
        zoom = lower;
    }
    return zoom;
}

QString ZoomTitle(_tagITzZOOMLEVEL zoom, const QString& documentTitle)
{
    zoom = Normal(zoom);
    const uint64_t hundredfold = uint64_t(zoom.numerator) * 100;
    const QString percent = hundredfold % zoom.denominator == 0
                                ? QString::number(qulonglong(hundredfold / zoom.denominator))
                                : QString::asprintf("%0.2f", double(hundredfold) / zoom.denominator);
    return percent + QLatin1Char('%') + documentTitle;
}
