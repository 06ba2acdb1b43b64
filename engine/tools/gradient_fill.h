// The gradient tool's colours: a linear or radial two-colour gradient evaluated into the
// colour planes of a tile. The exact integer formulas make each channel a step function
// of one key per pixel (the linear parameter f, or the squared distance d^2), so a row
// is filled as runs between the keys where the channel steps. Library-private (exported
// for its tests).
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

namespace lumatra {

class LUMATRA_API GradientShape {
public:
    // Works out the steps of each channel for the gradient from `start` to `end` (picture
    // pixels) with the start colour c0 and the end colour c1 (red, green, blue): false for
    // a type other than 0 (linear) and 1 (radial), and for a linear gradient whose start
    // equals its end. Products that exceed 64 bits are taken in 128.
    bool Prepare(uint32_t type, const PTzPOINT& start, const PTzPOINT& end, const uint8_t c0[3], const uint8_t c1[3]);

    // Writes the part (plane coordinates) of three colour planes (red, green, blue) whose
    // (0, 0) is the picture point (originX, originY).
    void Fill(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX, int64_t originY) const;

private:
    // Where channel c steps: it is start + direction * (the number of thresholds at or
    // below the key), the thresholds ascending.
    template <typename Key>
    struct Ramp {
        uint8_t start = 0;
        int direction = 0;
        int count = 0;
        Key thresholds[255];
    };

    void FillLinear(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX,
                    int64_t originY) const;
    void FillRadial(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX,
                    int64_t originY) const;

    uint32_t m_type = 0;
    int64_t m_x0 = 0, m_y0 = 0;
    int64_t m_dx = 0, m_dy = 0;
    bool m_alongY = false;  // linear: |dx| < |dy|, the parameter measured along y
    int m_sign = 1;         // linear: -1 when T < 0, which the keys are negated for
    Ramp<int64_t> m_linear[3];
    Ramp<unsigned __int128> m_radial[3];
};

}  // namespace lumatra
