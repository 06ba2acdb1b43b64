// The tip at a pointer pressure: soft tips come from the pyramid, resized bilinearly only
// between its levels; hard tips are reduced by nearest pixel. The last tip made for a
// pressure between levels is kept (for small tips, every one), since the points of a
// stroke often share their pressure.
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

// Small soft tips keep their resized tip for every pressure asked for: a stroke's
// pressure swings through the same values again and again, and for a small tip the
// fixed cost of a resize outweighs its pixels. 256 tips of at most 4,096 bytes each.
constexpr uint64_t kCachedTipBytes = 64 * 64;

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
    if (uint64_t(m_width) * m_height <= kCachedTipBytes)
        return CachedPressTip(bitmap, wanted, level);
    if (m_pressTip.pixels && m_pressTipPressure == wanted) {
        *bitmap = m_pressTip;
        return 1;
    }
    ReleasePressTip();
    if (!MakePressTip(&m_pressTip, wanted, level))
        return 0;
    m_pressTipPressure = wanted;
    *bitmap = m_pressTip;
    return 1;
}

int ITzBrushBase::CachedPressTip(_tagITzBITMAP* bitmap, uint8_t pressure, uint32_t level)
{
    if (!m_pressTipCache) {
        m_pressTipCache = new (std::nothrow) _tagITzBITMAP[256]();
        if (!m_pressTipCache)
            return 0;
    }
    _tagITzBITMAP& cached = m_pressTipCache[pressure];
    if (!cached.pixels && !MakePressTip(&cached, pressure, level))
        return 0;
    *bitmap = cached;
    return 1;
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
