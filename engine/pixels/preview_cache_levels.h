// The coordinates of the preview-cache levels: a level-n pixel x covers the source
// pixels from o + ((x - (o >> n)) << n) over 2^n columns, o the cache origin's x (the
// same for rows), so every level stays aligned with the origin. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/geometry.h"

namespace lumatra {

inline constexpr uint8_t kPreviewLevels = 8;

inline int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The first level-n pixel touching source coordinate a, and the end (exclusive) of the
// level pixels touching the source up to end (exclusive). Shifts are arithmetic.
inline int64_t LevelStart(int64_t a, int32_t origin, uint8_t level)
{
    return (int64_t(origin) >> level) + ((a - origin) >> level);
}

inline int64_t LevelEnd(int64_t end, int32_t origin, uint8_t level)
{
    return (int64_t(origin) >> level) + ((end - origin + (int64_t(1) << level) - 1) >> level);
}

// A source rectangle (picture coordinates) mapped outward to level coordinates.
inline PTzRECT MapToLevel(const PTzRECT& rect, const PTzPOINT& origin, uint8_t level)
{
    return {ClampToInt32(LevelStart(rect.left, origin.x, level)), ClampToInt32(LevelStart(rect.top, origin.y, level)),
            ClampToInt32(LevelEnd(rect.right, origin.x, level)), ClampToInt32(LevelEnd(rect.bottom, origin.y, level))};
}

// The first source coordinate under level coordinate a.
inline int64_t LevelToSource(int64_t a, int32_t origin, uint8_t level)
{
    return origin + ((a - (int64_t(origin) >> level)) << level);
}

// Level-n coordinate a in level n - 1: (a - (o >> n)) x 2 + (o >> (n - 1)).
inline int64_t LevelToFiner(int64_t a, int32_t origin, uint8_t level)
{
    return (a - (int64_t(origin) >> level)) * 2 + (int64_t(origin) >> (level - 1));
}

// A rectangle with each coordinate inside the 32-bit range, else false.
inline bool MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom, PTzRECT& out)
{
    for (int64_t value : {left, top, right, bottom})
        if (value < INT32_MIN || value > INT32_MAX)
            return false;
    out = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return true;
}

// The source rectangle under `part` (level coordinates) of a level rectangle whose first
// pixel starts at source point `source`: false when it leaves the 32-bit range.
inline bool PartSourceRect(const PTzRECT& rect, const PTzPOINT& source, const PTzRECT& part, uint8_t level,
                           PTzRECT& out)
{
    const int64_t left = source.x + ((int64_t(part.left) - rect.left) << level);
    const int64_t top = source.y + ((int64_t(part.top) - rect.top) << level);
    return MakeRect(left, top, left + ((int64_t(part.right) - part.left) << level),
                    top + ((int64_t(part.bottom) - part.top) << level), out);
}

}  // namespace lumatra
