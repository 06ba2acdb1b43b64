// The coverage tables of anti-aliased edges and their process-wide instance.
#include "engine/pixels/anti_line_math.h"

#include <algorithm>
#include <new>

namespace {

ITzAntiLineMath* g_antiLineMath = nullptr;

}  // namespace

ITzAntiLineMath::ITzAntiLineMath()
{
    for (uint32_t r = 0; r <= ITzSUBPIXELS; ++r) {
        for (uint32_t c = 0; c <= ITzSUBPIXELS; ++c) {
            m_trapezoid[r][c] = uint8_t(std::min<uint32_t>(255, (128 + 2040 * (r + c)) >> 8));
            m_triangle[r][c] = uint8_t(std::min<uint32_t>(255, (256 + 255 * r * c) >> 9));
        }
    }
}

ITzAntiLineMath::~ITzAntiLineMath() = default;

uint8_t ITzAntiLineMath::GetCoverage(uint32_t a, uint32_t b, uint8_t first, uint8_t second) const
{
    if (a > uint32_t(ITzSUBPIXELS) || b > uint32_t(ITzSUBPIXELS))
        return 0;
    constexpr uint32_t n = ITzSUBPIXELS;
    // The region holding the top-left corner is the trapezoid left of (or above) the
    // edge, the corner triangle itself, or what the other three corners' triangles leave.
    const auto pair = [](uint8_t one, uint8_t two) { return uint32_t(one) << 8 | two; };
    switch (pair(first, second)) {
    case pair(ITzPIXELSIDE_TOP, ITzPIXELSIDE_BOTTOM):
    case pair(ITzPIXELSIDE_LEFT, ITzPIXELSIDE_RIGHT):
        return m_trapezoid[b][a];
    case pair(ITzPIXELSIDE_BOTTOM, ITzPIXELSIDE_TOP):
    case pair(ITzPIXELSIDE_RIGHT, ITzPIXELSIDE_LEFT):
        return m_trapezoid[a][b];
    case pair(ITzPIXELSIDE_TOP, ITzPIXELSIDE_LEFT):
        return m_triangle[b][a];
    case pair(ITzPIXELSIDE_LEFT, ITzPIXELSIDE_TOP):
        return m_triangle[a][b];
    case pair(ITzPIXELSIDE_LEFT, ITzPIXELSIDE_BOTTOM):
        return uint8_t(255 - m_triangle[n - b][a]);
    case pair(ITzPIXELSIDE_BOTTOM, ITzPIXELSIDE_LEFT):
        return uint8_t(255 - m_triangle[n - a][b]);
    case pair(ITzPIXELSIDE_BOTTOM, ITzPIXELSIDE_RIGHT):
        return uint8_t(255 - m_triangle[n - b][n - a]);
    case pair(ITzPIXELSIDE_RIGHT, ITzPIXELSIDE_BOTTOM):
        return uint8_t(255 - m_triangle[n - a][n - b]);
    case pair(ITzPIXELSIDE_RIGHT, ITzPIXELSIDE_TOP):
        return uint8_t(255 - m_triangle[b][n - a]);
    case pair(ITzPIXELSIDE_TOP, ITzPIXELSIDE_RIGHT):
        return uint8_t(255 - m_triangle[a][n - b]);
    default:
        return 0;
    }
}

ITzAntiLineMath* GetAntiLineMath()
{
    if (!g_antiLineMath)
        g_antiLineMath = new (std::nothrow) ITzAntiLineMath;
    return g_antiLineMath;
}

ITzAntiLineMath* FindAntiLineMath()
{
    return g_antiLineMath;
}

int FreeAntiLineMath()
{
    if (!g_antiLineMath)
        return 0;
    delete g_antiLineMath;
    g_antiLineMath = nullptr;
    return 1;
}
