// A naive model of the bilinear resamplers for the tests: every destination pixel
// gathers the source pixels that can feed it, weighs each pair straight from the weight
// rules (no tables) with w = (X weight) x (Y weight), and divides 64-bit sums.
#pragma once

#include <algorithm>
#include <cstdint>

namespace resample_ref {

inline int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0 && a < 0) ? 1 : 0);
}

inline int64_t CeilDiv(int64_t a, int64_t b)
{
    return -FloorDiv(-a, b);
}

// One axis of a plain table over sources [a0, a1) at num/den.
struct PlainAxis {
    int64_t a0, a1, num, den;

    bool Enlarging() const { return den < num; }

    // Enlarging: destination d's centre falls between sources r and t.
    bool Neighbours(int64_t d, int64_t& r, int64_t& t, uint32_t& weightR) const
    {
        if (d < (a0 * num - den + 1) / den || d >= (a1 * num + den - 1) / den)
            return false;
        const int64_t m = (2 * d + 1) * den - num, o = 2 * num;
        r = std::clamp(FloorDiv(m, o), a0, a1 - 1);
        t = std::clamp(CeilDiv(m, o), a0, a1 - 1);
        weightR = r == t ? 255 : uint32_t(((num * t - d * den) * 2 + num - den) * 255 / ((num * t - num * r) * 2));
        return true;
    }

    uint32_t Weight(int64_t s, int64_t d) const
    {
        if (s < a0 || s >= a1)
            return 0;
        if (Enlarging()) {
            int64_t r, t;
            uint32_t weightR;
            if (!Neighbours(d, r, t, weightR))
                return 0;
            return (s == r ? weightR : 0) + (s == t && t != r ? 255 - weightR : 0);
        }
        const uint32_t full = std::max<uint32_t>(uint32_t((num * 255 + den / 2) / den), 1);
        const int64_t g = FloorDiv(s * num, den), h = FloorDiv((s + 1) * num, den);
        if (g == h)
            return d == g ? full : 0;
        const uint32_t m = uint32_t(((h * den - s * num) * 255 + den / 2) / den);
        return d == g ? m : d == h ? full - m : 0;
    }

    // Sources [lo, hi) that may feed destination d.
    void Candidates(int64_t d, int64_t& lo, int64_t& hi) const
    {
        if (Enlarging()) {
            int64_t r, t;
            uint32_t weightR;
            if (!Neighbours(d, r, t, weightR)) {
                lo = hi = 0;
                return;
            }
            lo = r, hi = t + 1;
            return;
        }
        lo = std::max(FloorDiv(d * den, num) - 1, a0);
        hi = std::min(FloorDiv((d + 1) * den, num) + 2, a1);
    }
};

// One axis of a centred table over sources [0, n) resized to R indices.
struct CentredAxis {
    int64_t n, num, den;

    bool Enlarging() const { return den < num; }
    int64_t R() const { return CeilDiv(num * (Enlarging() ? n + 1 : n), den); }

    uint32_t Weight(int64_t s, int64_t d) const
    {
        const int64_t size = R();
        if (s < 0 || s >= n || d < 0 || d >= size)
            return 0;
        if (Enlarging()) {
            const int64_t offset = (2 * d - size + 1) * den;
            const int64_t g = offset + n * num;
            const int64_t l = std::clamp(FloorDiv(g, 2 * num), int64_t{0}, n - 1);
            const int64_t m = std::clamp(CeilDiv(g, 2 * num), int64_t{0}, n - 1);
            if (l == m)
                return s == l ? 255 : 0;
            const int64_t numerator = ((2 * m - n) * num - offset) * 255 + num * (m - l);
            const uint32_t weightL = uint32_t(numerator / (2 * num * (m - l)));
            return s == l ? weightL : s == m ? 255 - weightL : 0;
        }
        const uint32_t full = std::max<uint32_t>(uint32_t((255 * num + den / 2) / den), 1);
        const int64_t start = (2 * s - n) * num + size * den;
        const int64_t g = FloorDiv(start, 2 * den), border = g + 1;
        const auto place = [size](int64_t v) { return std::clamp(v, int64_t{0}, size - 1); };
        if (border * 2 * den >= start + 2 * num)
            return place(g) == d ? full : 0;
        const int64_t part = (((border * 2 - size) * den - (2 * s - n) * num) * 255 + den) / (2 * den);
        const uint32_t first = uint32_t(std::min<int64_t>(part, full));
        const uint32_t sum = (place(g) == d ? first : 0) + (place(border) == d ? full - first : 0);
        return std::min<uint32_t>(sum, 255);
    }

    // Sources [lo, hi) that may feed destination d: its two neighbours when enlarging,
    // else those whose span reaches it (with a margin for rounding and clamping).
    void Candidates(int64_t d, int64_t& lo, int64_t& hi) const
    {
        const int64_t size = R();
        if (Enlarging()) {
            const int64_t g = (2 * d - size + 1) * den + n * num;
            lo = std::clamp(FloorDiv(g, 2 * num), int64_t{0}, n - 1);
            hi = std::clamp(CeilDiv(g, 2 * num), int64_t{0}, n - 1) + 1;
            return;
        }
        lo = std::max<int64_t>(FloorDiv(((2 * d - size) * den / num + n - 2), 2) - 2, 0);
        hi = std::min<int64_t>(CeilDiv(((2 * d + 2 - size) * den / num + n), 2) + 3, n);
    }
};

struct Sums {
    uint64_t weight = 0, alpha = 0, colourWeight = 0, colour[4] = {};
};

// The sums of destination pixel (dx, dy). pixel(sx, sy, plane) gives plane 0 (alpha)
// and planes 1 to `colours`; without alpha each pair counts `factor` times its weight.
template <class AxisX, class AxisY, class Pixel>
Sums Gather(const AxisX& x, const AxisY& y, int64_t dx, int64_t dy, bool alpha, int colours, uint64_t factor,
            Pixel&& pixel)
{
    Sums sums;
    int64_t xlo, xhi, ylo, yhi;
    x.Candidates(dx, xlo, xhi);
    y.Candidates(dy, ylo, yhi);
    for (int64_t sy = ylo; sy < yhi; ++sy) {
        const uint64_t wy = y.Weight(sy, dy);
        for (int64_t sx = xlo; wy && sx < xhi; ++sx) {
            const uint64_t w = wy * x.Weight(sx, dx);
            const uint64_t t = alpha ? w * pixel(sx, sy, 0) : w * factor;
            sums.weight += w;
            sums.alpha += alpha ? t : 0;
            sums.colourWeight += t;
            for (int k = 0; k < colours; ++k)
                sums.colour[k] += t * pixel(sx, sy, 1 + k);
        }
    }
    return sums;
}

// A divided byte, or `none` (-1: keep what was there) when the divisor is 0.
inline int Divide(uint64_t sum, uint64_t divisor, int none)
{
    return divisor ? int(sum / divisor) : none;
}

}  // namespace resample_ref
