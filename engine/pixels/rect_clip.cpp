// Clipping of single and paired rectangles and the placing of bitmaps, computed in 64
// bits so that rectangles far outside the 32-bit bitmaps cannot overflow on the way.
#include "engine/pixels/rect_clip.h"

#include <algorithm>

PTzRECT ITzRectPlaced(const PTzRECT& rect, int32_t width, int32_t height)
{
    return {rect.left, rect.top, PTzSaturate32(rect.left + std::min<int64_t>(PTzRectWidth(rect), width)),
            PTzSaturate32(rect.top + std::min<int64_t>(PTzRectHeight(rect), height))};
}

bool ITzClipRectToSize(PTzRECT& rect, int32_t width, int32_t height)
{
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int32_t right = std::min(rect.right, width);
    const int32_t bottom = std::min(rect.bottom, height);
    if (right <= left || bottom <= top)
        return false;
    rect = {left, top, right, bottom};
    return true;
}

namespace {

// One axis of a paired clip: the shared shift that brings both starts to 0 or more, then
// the longest run that stays inside both the rectangles and their bitmaps.
bool ClipAxis(int64_t sourceStart, int64_t sourceEnd, int64_t sourceLimit, int64_t destStart,
              int64_t destEnd, int64_t destLimit, int32_t& sourceOut, int32_t& destOut,
              int32_t& lengthOut)
{
    const int64_t shift = std::max<int64_t>({0, -sourceStart, -destStart});
    sourceStart += shift;
    destStart += shift;
    const int64_t length = std::min(sourceEnd, sourceLimit) - sourceStart;
    const int64_t destLength = std::min(destEnd, destLimit) - destStart;
    const int64_t common = std::min(length, destLength);
    if (common <= 0)
        return false;
    sourceOut = static_cast<int32_t>(sourceStart);
    destOut = static_cast<int32_t>(destStart);
    lengthOut = static_cast<int32_t>(common);
    return true;
}

}  // namespace

bool ITzClipRectPair(const PTzRECT& source, const _tagPTzSIZE& sourceSize, const PTzRECT& dest,
                     const _tagPTzSIZE& destSize, ITzRectPair& out)
{
    ITzRectPair pair{};
    if (!ClipAxis(source.left, source.right, sourceSize.cx, dest.left, dest.right, destSize.cx,
                  pair.sourceX, pair.destX, pair.width) ||
        !ClipAxis(source.top, source.bottom, sourceSize.cy, dest.top, dest.bottom, destSize.cy,
                  pair.sourceY, pair.destY, pair.height))
        return false;
    out = pair;
    return true;
}
