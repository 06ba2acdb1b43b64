// The mask is scanned once per build (a zoom, a scroll position or a selection change);
// a step touches only the pixels whose colour changes, a quarter of the outline.
#include "app/shell/selection_outline.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/shell/outline_direction.h"
#include "base/color.h"
#include "engine/picture/picture.h"

namespace {

constexpr uint32_t kPhaseShift = 29;
constexpr uint32_t kOffsetMask = (1u << kPhaseShift) - 1;
constexpr uint32_t kStepMs = 100;

bool Recolourable(const _tagITzBITMAP* buffer)
{
    return buffer && buffer->pixels && buffer->bits == 24;
}

void SetPixel(uint8_t* pixels, uint32_t entry, uint8_t value)
{
    std::memset(pixels + (entry & kOffsetMask), value, 3);
}

uint32_t StripeValue(uint32_t entry, uint32_t phase)
{
    return ((entry >> kPhaseShift) + phase) & 7;
}

struct Pacing {
    bool stepped = false;
    uint32_t last = 0;
};
constinit Pacing pacing;

}  // namespace

void CSelectionOutline::Free()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_built = false;
    m_scroll = QPoint();
    m_bounds = QRect();
}

int CSelectionOutline::Build(ITzPicture* picture, const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom,
                             const _tagITzBITMAP& backBuffer, QPoint scroll)
{
    Free();
    const int32_t width = zoomed.right - zoomed.left;
    const int32_t height = zoomed.bottom - zoomed.top;
    if (!picture || !Recolourable(&backBuffer) || width <= 0 || height <= 0 || width > backBuffer.width ||
        height > backBuffer.height || int64_t(backBuffer.stride) * backBuffer.height > kOffsetMask)
        return 0;
    // The boundary mask: one bit a pixel, the leftmost in a byte's highest bit, rows
    // padded to 4 bytes and top-down.
    const int32_t stride = ((width + 31) >> 3) & ~3;
    std::vector<uint8_t> bits;
    try {
        bits.assign(size_t(stride) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    _tagITzBITMAP mask = {width, height, stride, 1, PTzCOLORMODE_2BIT, bits.data()};
    if (picture->GetSelectionBoundary(&zoomed, &mask, &zoom) != 0)
        return 0;
    OutlineRows rows;
    std::vector<uint8_t> rising;
    try {
        const OutlineMask outline = {bits.data(), stride, width, height};
        rows = ReadOutlineRows(outline);
        rising = FindRisingOutline(outline, rows, zoom);
        m_entries.reserve(rows.columns.size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    int32_t left = width, top = height, right = -1, bottom = -1;
    for (int32_t row = 0; row < height; ++row) {
        for (size_t i = rows.rowStarts[size_t(row)]; i < rows.rowStarts[size_t(row) + 1]; ++i) {
            const int32_t column = rows.columns[i];
            // The value the caller's phase (the outline's own plus the visible area's
            // zoomed left + top) turns into zoomed x + y, or x - y where the edge rises.
            const uint32_t value = rising[i] ? uint32_t(column) - uint32_t(row) - 2u * uint32_t(zoomed.top)
                                             : uint32_t(column) + uint32_t(row);
            const uint32_t offset = uint32_t(row) * uint32_t(backBuffer.stride) + 3u * uint32_t(column);
            m_entries.push_back(((value & 7) << kPhaseShift) | offset);
            left = std::min(left, column);
            right = std::max(right, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    m_built = true;
    m_scroll = scroll;
    if (!m_entries.empty())
        m_bounds = QRect(QPoint(left, top), QPoint(right, bottom));
    return 1;
}

int CSelectionOutline::Paint(_tagITzBITMAP* backBuffer, uint32_t phase) const
{
    if (!Recolourable(backBuffer))
        return 0;
    for (uint32_t entry : m_entries)
        SetPixel(backBuffer->pixels, entry, StripeValue(entry, phase) < 4 ? 0 : 255);
    return 1;
}

int CSelectionOutline::Update(_tagITzBITMAP* backBuffer, uint32_t phase, uint64_t* written) const
{
    if (!Recolourable(backBuffer))
        return 0;
    uint64_t count = 0;
    for (uint32_t entry : m_entries) {
        const uint32_t value = StripeValue(entry, phase);
        if (value == 0 || value == 4) {
            SetPixel(backBuffer->pixels, entry, value == 0 ? 0 : 255);
            ++count;
        }
    }
    if (written)
        *written += count;
    return 1;
}

bool CSelectionOutline::TakeStep(uint32_t now)
{
    if (pacing.stepped && now - pacing.last < kStepMs)
        return false;
    pacing.stepped = true;
    pacing.last = now;
    return true;
}
