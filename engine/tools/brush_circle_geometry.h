// The round tip's geometry: the rotated ellipse's normalised squared distance and each
// content pixel's far and near distances from the tip's centre, in sixteenths of a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatra {

// Pi to the ten decimals the round tips are defined with, so that a tip comes out the
// same byte for byte wherever it is made.
constexpr double kTipPi = 3.1415926535;

// D(x, y) = (x cos t - y sin t)^2 / r^2 + (x sin t + y cos t)^2 / m^2: 1 on the ellipse
// with semi-axes r (along the angle) and m.
class TipEllipse {
public:
    // Both semi-axes are kept at least 1 so that a size or roundness of 0 cannot divide
    // by zero.
    TipEllipse(uint32_t size, uint16_t angle, uint8_t roundness);

    double Distance(double x, double y) const
    {
        const double u = x * m_cos - y * m_sin, v = x * m_sin + y * m_cos;
        return u * u / m_r2 + v * v / m_m2;
    }
    double Radius() const { return m_r; }

private:
    double m_r, m_r2, m_m2, m_cos, m_sin;
};

// One axis of a content pixel: the distance to its edge farthest from the centre, to its
// nearest edge (0 when it touches the centre line) and the side of the centre it is on.
struct TipSpan {
    int32_t far;
    int32_t near;
    int32_t sign;  // -1 left of or above the centre, else 1
};

// The spans of the content pixels 1 to side - 2 of a tip side (index 0 is the border).
std::vector<TipSpan> TipSpans(uint32_t side);

// Row `row` of a tip made as row side - 1 - row reversed, when that row is already made:
// true when copied. Tip pixels are point-symmetric about the centre except in the
// middle column of an odd width, which lies left of the centre from both sides.
bool MirrorRow(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t row);

// Fills the content of a width x height tip (stride = width, border left as it is) with
// value(column span, row span), computing the lower half only where symmetry does not
// give it.
template <typename PixelValue>
void FillTip(uint8_t* pixels, uint32_t width, uint32_t height, PixelValue value)
{
    const std::vector<TipSpan> columns = TipSpans(width), rows = TipSpans(height);
    const uint32_t middle = (width & 1) ? (width - 1) / 2 : 0;
    for (uint32_t i = 1; i + 1 < height; ++i) {
        uint8_t* out = pixels + size_t(i) * width;
        if (MirrorRow(pixels, width, height, i)) {
            if (middle)
                out[middle] = value(columns[middle], rows[i]);
            continue;
        }
        for (uint32_t j = 1; j + 1 < width; ++j)
            out[j] = value(columns[j], rows[i]);
    }
}

}  // namespace lumatra
