// The pyramid of reduced tips: level k is the tip's content reduced by 2^k, each level
// made from the one before, so that power-of-two pressures need no resizing per dab.
#include "engine/tools/brush_base.h"

#include "engine/pixels/resample.h"
#include "engine/tools/brush_tip_view.h"

uint32_t ITzBrushBase::GetCacheLevelPress(uint32_t level)
{
    if (level == 0)
        return 255;
    return level < ITzBRUSH_LEVEL_COUNT ? 256u >> level : 0u;
}

// A pressure equal to a level's scale names that level exactly. Any other pressure gets
// the number of halvings of 128 until it is not above the pressure (200: 0, 100: 1,
// 0: 8): the level just larger than the pressure, to be reduced from.
uint32_t ITzBrushBase::GetPressCacheLevel(uint8_t pressure, int* exact)
{
    for (uint32_t level = 0; level < ITzBRUSH_LEVEL_COUNT; ++level) {
        if (GetCacheLevelPress(level) == pressure) {
            if (exact)
                *exact = 1;
            return level;
        }
    }
    uint32_t halvings = 0;
    while (halvings < ITzBRUSH_LEVEL_COUNT - 1 && (128u >> halvings) > pressure)
        ++halvings;
    if (exact)
        *exact = 0;
    return halvings;
}

// For a side of W pixels (border included), the least c with 2^c > W - 3; tips of three
// pixels or fewer have nothing to reduce.
static uint32_t MaxLevelOfSide(uint32_t side)
{
    if (side <= 3)
        return 0;
    const uint32_t content = side - 3;
    uint32_t level = 0;
    while (level < 32 && (uint64_t(1) << level) <= content)
        ++level;
    return level;
}

uint32_t ITzBrushBase::GetMaxLevel() const
{
    const uint32_t x = MaxLevelOfSide(m_width), y = MaxLevelOfSide(m_height);
    return x > y ? x : y;
}

int ITzBrushBase::PrepareCacheBitmap()
{
    if (!m_pixels)
        return 0;
    if (m_reducedPrepared)
        return 1;
    _tagITzBITMAP level = {};
    for (uint32_t k = 0; k <= ITzBRUSH_REDUCED_COUNT; ++k)
        GetCacheBitmap(&level, k, 1);
    m_reducedPrepared = 1;
    return 1;
}

void ITzBrushBase::ReleaseCacheBitmap()
{
    for (_tagITzBITMAP& level : m_reduced) {
        ITzReleaseITzBitmap(&level);
        level = {};
    }
    m_reducedPrepared = 0;
}

int ITzBrushBase::GetCacheBitmap(_tagITzBITMAP* bitmap, uint32_t level, int create)
{
    if (!bitmap)
        return 0;
    if (level == 0)
        return GetBitmap(bitmap);
    if (level >= ITzBRUSH_LEVEL_COUNT - 1)
        return 0;
    if (create) {
        // Each level is made from the one before, so make the missing ones in order.
        for (uint32_t k = 1; k <= level; ++k) {
            if (!m_reduced[k - 1].pixels && !CreateCacheBitmap(k))
                return 0;
        }
    }
    const _tagITzBITMAP& stored = m_reduced[level - 1];
    if (!stored.pixels)
        return 0;
    *bitmap = stored;
    return 1;
}

int ITzBrushBase::GetCacheBitmapSize(_tagPTzSIZE* size, uint32_t level)
{
    if (!size || level >= ITzBRUSH_LEVEL_COUNT - 1)
        return 0;
    if (level == 0) {
        size->cx = int32_t(m_width);
        size->cy = int32_t(m_height);
        return 1;
    }
    const _tagITzZOOMLEVEL zoom = {GetCacheLevelPress(level), 255};
    size->cx = int32_t(ITzResize::GetBL_CResizedSize(GetWidth(), &zoom) + 2);
    size->cy = int32_t(ITzResize::GetBL_CResizedSize(GetHeight(), &zoom) + 2);
    return 1;
}

int ITzBrushBase::CreateCacheBitmap(uint32_t level)
{
    if (level == 0 || level > ITzBRUSH_REDUCED_COUNT || m_reduced[level - 1].pixels)
        return 0;
    _tagITzBITMAP source = {};
    if (!GetCacheBitmap(&source, level - 1, 0))
        return 0;
    // Fetching level 0 may have made the tip and with it the whole pyramid.
    if (m_reduced[level - 1].pixels)
        return 1;
    _tagPTzSIZE size = {};
    _tagITzBITMAP made = {};
    if (!GetCacheBitmapSize(&size, level) || !ITzPrepareITzBitmap(&made, &size, 6))
        return 0;
    const _tagITzZOOMLEVEL zoom = {GetCacheLevelPress(level), GetCacheLevelPress(level - 1)};
    if (!lumatra::ResizeTipContent(&made, &source, &zoom)) {
        ITzReleaseITzBitmap(&made);
        return 0;
    }
    m_reduced[level - 1] = made;
    return 1;
}
