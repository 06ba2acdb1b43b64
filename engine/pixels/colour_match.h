// The colour test of the magic wand and the colour selection on ARGB pixels: a picked
// transparent colour matches every transparent pixel; any other matches the non-
// transparent pixels whose red, green and blue each lie within the tolerance of its own
// (clamped to 0-255), and only when it is an ARGB colour. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/color.h"

namespace lumatra {

class ColourMatch {
public:
    ColourMatch(const _tagPTzCOLOR& colour, uint32_t tolerance)
        : m_transparent(colour.alpha == 0), m_never(colour.alpha != 0 && colour.mode != PTzCOLORMODE_ARGB)
    {
        const int t = int(tolerance & 0xFF);
        for (int c = 0; c < 3; ++c) {
            m_low[c] = uint8_t(std::max(colour.components[c] - t, 0));
            m_high[c] = uint8_t(std::min(colour.components[c] + t, 255));
        }
    }

    bool Matches(uint8_t a, uint8_t r, uint8_t g, uint8_t b) const
    {
        if (m_transparent)
            return a == 0;
        return !m_never && a != 0 && r >= m_low[0] && r <= m_high[0] && g >= m_low[1] && g <= m_high[1] &&
               b >= m_low[2] && b <= m_high[2];
    }

    // out[x] = 1 where pixel x of the four plane rows matches, else 0.
    void MatchRow(const uint8_t* a, const uint8_t* r, const uint8_t* g, const uint8_t* b, int32_t count,
                  uint8_t* out) const
    {
        if (m_never) {
            std::fill(out, out + count, uint8_t(0));
            return;
        }
        if (m_transparent) {
            for (int32_t x = 0; x < count; ++x)
                out[x] = a[x] == 0;
            return;
        }
        const uint8_t lr = m_low[0], hr = m_high[0], lg = m_low[1], hg = m_high[1], lb = m_low[2], hb = m_high[2];
        for (int32_t x = 0; x < count; ++x)
            out[x] = uint8_t((a[x] != 0) & (r[x] >= lr) & (r[x] <= hr) & (g[x] >= lg) & (g[x] <= hg) & (b[x] >= lb) &
                             (b[x] <= hb));
    }

private:
    bool m_transparent;
    bool m_never;
    uint8_t m_low[3], m_high[3];
};

}  // namespace lumatra
