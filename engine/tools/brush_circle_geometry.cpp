// The round tip's ellipse and the per-pixel distances shared by the hard and soft tips.
#include "engine/tools/brush_circle_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lumatra {

TipEllipse::TipEllipse(uint32_t size, uint16_t angle, uint8_t roundness)
{
    const uint64_t r = std::max<uint64_t>(uint64_t(size) * 8, 1);
    const uint64_t m = std::max<uint64_t>(r * roundness / 100, 1);
    const double theta = double(angle) * kTipPi / 18000.0;
    m_r = double(r);
    m_r2 = m_r * m_r;
    m_m2 = double(m) * double(m);
    m_cos = std::cos(theta);
    m_sin = std::sin(theta);
}

std::vector<TipSpan> TipSpans(uint32_t side)
{
    std::vector<TipSpan> spans(side);
    const int64_t centre = 8 * int64_t(side);
    for (uint32_t k = 1; k + 1 < side; ++k) {
        const int64_t edge = 16 * int64_t(k);
        const int32_t far = int32_t(edge >= centre ? edge - centre + 16 : centre - edge);
        spans[k] = {far, far > 16 ? far - 16 : 0, edge < centre ? -1 : 1};
    }
    return spans;
}

bool MirrorRow(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t row)
{
    const uint32_t twin = height - 1 - row;
    if (twin >= row)
        return false;
    const uint8_t* from = pixels + ptrdiff_t(twin) * width;
    std::reverse_copy(from, from + width, pixels + ptrdiff_t(row) * width);
    return true;
}

}  // namespace lumatra
