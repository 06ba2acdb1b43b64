// The soft round tip: full inside the inner ellipse (D <= hardness / 100), empty outside
// the outer one (D >= (200 - hardness) / 100), a cosine falloff between them.
#include <algorithm>
#include <cmath>

#include "engine/tools/brush_circle.h"
#include "engine/tools/brush_circle_geometry.h"

namespace {

// V(d) = floor((cos(pi t^(1/4)) + 1) x 255) >> 1 with t = (d - b) / (a - b) between the
// bounds, 255 inside the inner and 0 outside the outer.
class Falloff {
public:
    explicit Falloff(uint32_t hardness) : m_inner(hardness / 100.0), m_outer((200.0 - hardness) / 100.0) {}

    int32_t operator()(double d) const
    {
        if (d <= m_inner)
            return 255;
        if (d >= m_outer)
            return 0;
        const double t = (d - m_inner) / (m_outer - m_inner);
        return int32_t((std::cos(lumatra::kTipPi * std::sqrt(std::sqrt(t))) + 1.0) * 255.0) >> 1;
    }
    double Inner() const { return m_inner; }
    double Outer() const { return m_outer; }

private:
    double m_inner, m_outer;
};

uint8_t Clamped(int32_t value)
{
    return uint8_t(std::clamp(value, 0, 255));
}

}  // namespace

int ITzBrushCircle::PrepareSoftBrush()
{
    // Hardness above 100 would put the outer bound inside the inner one.
    const uint32_t hardness = std::min<uint32_t>(m_hardness, 100);
    const lumatra::TipEllipse ellipse(m_size, m_angle, m_roundness);
    const double outerRadius = std::sqrt(ellipse.Radius() * ellipse.Radius() * (200.0 - hardness) / 100.0);
    // SetMaxSize caps the size; the bound here only keeps the conversion defined.
    SetMaxSize(2 * uint32_t(std::min(outerRadius / 16.0, 1e9)) + 1);
    uint8_t* pixels = NewTip(m_width, m_height);
    if (!pixels)
        return 0;
    const Falloff falloff(hardness);
    lumatra::FillTip(pixels, m_width, m_height, [&](const lumatra::TipSpan& x, const lumatra::TipSpan& y) {
        const double far = ellipse.Distance(x.sign * x.far, y.sign * y.far);
        if (far <= falloff.Inner())
            return uint8_t(255);
        if (x.near == 0 && y.near == 0)
            return uint8_t(255);
        const double near = ellipse.Distance(x.sign * x.near, y.sign * y.near);
        if (near >= falloff.Outer())
            return uint8_t(0);
        const int32_t vf = falloff(far), vn = falloff(near);
        const bool steep = (vf == 0 && vn >= 4) || (vf != 0 && vn == 255);
        if (!steep) {
            // Where the falloff is nearly straight across the pixel, extrapolate from
            // the middle instead of sampling.
            const int32_t q = falloff(ellipse.Distance(x.sign * ((x.far + x.near) >> 1),
                                                       y.sign * ((y.far + y.near) >> 1)));
            if (vf + vn - 2 * q < 8)
                return Clamped(3 * q - vf - vn);
        }
        int32_t sum = 0;
        for (int32_t b = 0; b < 16; ++b) {
            for (int32_t a = 0; a < 16; ++a)
                sum += falloff(ellipse.Distance(x.sign * (x.far - a), y.sign * (y.far - b)));
        }
        return Clamped(sum >> 8);
    });
    return 1;
}
