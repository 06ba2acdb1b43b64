// The tip at a pointer pressure: soft tips come from the pyramid, resized bilinearly only
// between its levels; hard tips are reduced by nearest pixel. The tips made for
// pressures between levels are kept (while they fit a budget, else only the last one),
// since the points of a stroke often share their pressure and come back to it.
#include <new>

#include "engine/pixels/resample.h"
#include "engine/tools/brush_base.h"
#include "engine/tools/brush_tip_view.h"

int ITzBrushBase::GetPressBitmap(_tagITzBITMAP* bitmap, uint8_t pressure)
{
    if (!bitmap)
        return 0;
    return m_soft ? PressBitmapSoft(bitmap, pressure) : PressBitmapHard(bitmap, pressure);
}

namespace {

// Soft tips keep their resized tip for every pressure asked for while the kept tips'
// bytes stay within this: a stroke's pressure swings through the same values again and
// again, and a resize costs more than a dab. Small tips keep all 256; a 600-pixel tip
// keeps the first pressures asked for until the budget is full, later ones sharing the
// last place.
constexpr uint64_t kKeptTipBytes = uint64_t{32} << 20;

}  // namespace

int ITzBrushBase::PressBitmapSoft(_tagITzBITMAP* bitmap, uint8_t pressure)
{
    // The tip first: making it sets the size every decision below depends on, and
    // drops whatever pressure tips there were.
    _tagITzBITMAP tip = {};
    if (!GetBitmap(&tip))
        return 0;
    int exact = 0;
    const uint32_t level = GetPressCacheLevel(pressure, &exact);
    const uint32_t deepest = GetMaxLevel();
    if (level >= deepest)
        return GetCacheBitmap(bitmap, deepest, 1);
    if (exact)
        return GetCacheBitmap(bitmap, level, 1);
    const uint8_t wanted = pressure ? pressure : 1;
    if (m_pressTipCache && m_pressTipCache[wanted].pixels) {
        *bitmap = m_pressTipCache[wanted];
        return 1;
    }
    if (m_pressTip.pixels && m_pressTipPressure == wanted) {
        *bitmap = m_pressTip;
        return 1;
    }
    _tagITzBITMAP made = {};
    if (!MakePressTip(&made, wanted, level))
        return 0;
    *bitmap = made;
    if (KeepPressTip(made, wanted))
        return 1;
    // Past the budget only the last tip stays.
    ITzReleaseITzBitmap(&m_pressTip);
    m_pressTip = made;
    m_pressTipPressure = wanted;
    return 1;
}

bool ITzBrushBase::KeepPressTip(const _tagITzBITMAP& tip, uint8_t pressure)
{
    const uint64_t bytes = uint64_t(tip.stride) * uint64_t(tip.height);
    if (m_pressTipCacheBytes + bytes > kKeptTipBytes)
        return false;
    if (!m_pressTipCache) {
        m_pressTipCache = new (std::nothrow) _tagITzBITMAP[256]();
        if (!m_pressTipCache)
            return false;
    }
    m_pressTipCache[pressure] = tip;
    m_pressTipCacheBytes += bytes;
    return true;
}

// Resizes reduced tip `level` by pressure / s(level) into `made`: true, or false with
// `made` untouched.
bool ITzBrushBase::MakePressTip(_tagITzBITMAP* made, uint8_t pressure, uint32_t level)
{
    _tagITzBITMAP source = {};
    if (!GetCacheBitmap(&source, level, 1))
        return false;
    const _tagITzZOOMLEVEL zoom = {pressure, GetCacheLevelPress(level)};
    // A content that resizes to nothing keeps one empty pixel, so the tip stays a tip.
    auto side = [&zoom](int32_t tipSide) {
        const uint32_t content = tipSide > 2 ? ITzResize::GetBL_CResizedSize(uint32_t(tipSide - 2), &zoom) : 0;
        return int32_t(content ? content + 2 : 3);
    };
    const _tagPTzSIZE size = {side(source.width), side(source.height)};
    _tagITzBITMAP tip = {};
    if (!ITzPrepareITzBitmap(&tip, &size, 6))
        return false;
    if (!lumatra::ResizeTipContent(&tip, &source, &zoom)) {
        ITzReleaseITzBitmap(&tip);
        return false;
    }
    *made = tip;
    return true;
}

int ITzBrushBase::PressBitmapHard(_tagITzBITMAP* bitmap, uint8_t pressure)
{
    if (pressure && m_pressTip.pixels && m_pressTipPressure == pressure) {
        *bitmap = m_pressTip;
        return 1;
    }
    _tagITzBITMAP tip = {};
    if (!GetBitmap(&tip))
        return 0;
    auto side = [pressure](int32_t tipSide) {
        const int32_t scaled = int32_t((uint32_t(pressure) * uint32_t(tipSide) + 127) / 255);
        return scaled < 1 ? 1 : scaled;
    };
    const _tagPTzSIZE size = {side(tip.width), side(tip.height)};
    _tagITzBITMAP made = {};
    if (!ITzPrepareITzBitmap(&made, &size, 6))
        return 0;
    if (!ITzResize::ResizeBrushNN(&made, &tip)) {
        ITzReleaseITzBitmap(&made);
        return 0;
    }
    ReleasePressTip();
    m_pressTip = made;
    m_pressTipPressure = pressure;
    *bitmap = m_pressTip;
    return 1;
}
