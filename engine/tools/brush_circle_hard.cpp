// The hard round tip: a pixel is full when more than half of it lies inside the ellipse,
// else empty, so the tip holds only 0 and 255.
#include "engine/tools/brush_circle.h"
#include "engine/tools/brush_circle_geometry.h"

int ITzBrushCircle::PrepareHardBrush()
{
    // An odd content keeps the centre in the middle of a pixel: size 4 gives 5.
    SetMaxSize(m_size | 1);
    uint8_t* pixels = NewTip(m_width, m_height);
    if (!pixels)
        return 0;
    const lumatra::TipEllipse ellipse(m_size, m_angle, m_roundness);
    lumatra::FillTip(pixels, m_width, m_height, [&ellipse](const lumatra::TipSpan& x, const lumatra::TipSpan& y) {
        if (ellipse.Distance(x.sign * x.far, y.sign * y.far) <= 1.0)
            return uint8_t(255);
        if (x.near == 0 && y.near == 0)
            return uint8_t(255);
        if (ellipse.Distance(x.sign * x.near, y.sign * y.near) >= 1.0)
            return uint8_t(0);
        // The edge crosses the pixel: count its 16 x 16 sub-samples, from the far edges in.
        uint32_t inside = 0;
        for (int32_t b = 0; b < 16; ++b) {
            for (int32_t a = 0; a < 16; ++a)
                inside += ellipse.Distance(x.sign * (x.far - a), y.sign * (y.far - b)) <= 1.0;
        }
        return uint8_t(inside > 128 ? 255 : 0);
    });
    return 1;
}
