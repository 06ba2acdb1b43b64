// The gradient's arithmetic. With C0 and C1 the end colours of a channel and Δ = C1 - C0:
// linear, with the parameter f and its length T (both negated when T < 0, which keeps
// every quotient), a channel is C0 for f < 1, C1 for f >= T and otherwise
// ((T - f) C0 + f C1 + T/2) / T = C0 + floor((f Δ + T/2) / T), which also gives C0 at
// f = 0 and C1 at f = T and moves one way only, so it is that expression clamped between
// C0 and C1: a step function of f. Radial, with B = round(sqrt(d^2)) and radius R, it is
// C0 + floor((B Δ + R/2) / R) for d^2 < R^2 and C1 beyond, again a clamped step function,
// now of d^2. Each row is then a few runs of one value per channel.
#include "engine/tools/gradient_fill.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace lumatra {
namespace {

using Wide = __int128;
using UWide = unsigned __int128;

constexpr int32_t kChunk = 256;

// n / d rounded up, d > 0.
Wide CeilDiv(Wide n, Wide d)
{
    const Wide q = n / d;
    return n % d != 0 && n > 0 ? q + 1 : q;
}

// The largest r with r * r <= n.
uint64_t SquareRootFloor(UWide n)
{
    uint64_t r = uint64_t(std::sqrt(double(n)));
    while (UWide(r) * r > n)
        --r;
    while (UWide(r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

// The key at which channel value C0 + floor((key * Δ + half) / length) first reaches its
// k-th step away from C0 (k = 1 .. |Δ|), for length > 0.
Wide StepKey(int k, int delta, Wide length, Wide half)
{
    if (delta > 0)
        return CeilDiv(Wide(k) * length - half, delta);
    // Stepping down: C0 - colour = ceil((key |Δ| - half) / length) >= k.
    return CeilDiv(Wide(k - 1) * length + half + 1, -delta);
}

// Fills row[from, to) by runs: keys(x) is monotone over the range (ascending when
// `ascending`), and the value at x is start + direction * (thresholds at or below it).
template <typename Key, typename Keys>
void FillRuns(uint8_t* row, int32_t from, int32_t to, bool ascending, Keys&& keys, uint8_t start, int direction,
              const Key* thresholds, int count)
{
    const auto level = [&](Key key) {
        return int(std::upper_bound(thresholds, thresholds + count, key) - thresholds);
    };
    int32_t x = from;
    while (x < to) {
        const int steps = level(keys(x));
        // The run goes on while the key stays between the thresholds around it.
        int32_t end = to;
        if (ascending && steps < count) {
            const Key next = thresholds[steps];
            int32_t low = x + 1, high = to;
            while (low < high) {
                const int32_t mid = low + (high - low) / 2;
                keys(mid) >= next ? high = mid : low = mid + 1;
            }
            end = low;
        } else if (!ascending && steps > 0) {
            const Key floor = thresholds[steps - 1];
            int32_t low = x + 1, high = to;
            while (low < high) {
                const int32_t mid = low + (high - low) / 2;
                keys(mid) < floor ? high = mid : low = mid + 1;
            }
            end = low;
        }
        std::memset(row + x, start + direction * steps, size_t(end - x));
        x = end;
    }
}

}  // namespace

bool GradientShape::Prepare(uint32_t type, const PTzPOINT& start, const PTzPOINT& end, const uint8_t c0[3],
                            const uint8_t c1[3])
{
    if (type > 1 || !c0 || !c1)
        return false;
    m_type = type;
    m_x0 = start.x;
    m_y0 = start.y;
    m_dx = int64_t(end.x) - start.x;
    m_dy = int64_t(end.y) - start.y;
    if (type == 0) {
        // T = 0 only when the points meet, and the parameter would divide by zero.
        if (m_dx == 0 && m_dy == 0)
            return false;
        m_alongY = (m_dx < 0 ? -m_dx : m_dx) < (m_dy < 0 ? -m_dy : m_dy);
        const Wide across = m_alongY ? m_dx : m_dy;
        const Wide along = m_alongY ? m_dy : m_dx;
        const Wide far = m_alongY ? end.y : end.x;
        const Wide near = m_alongY ? start.y : start.x;
        Wide length = (65536 * across * across + 65536 * along * far + 128 * along) / (256 * along) - 256 * near;
        m_sign = length < 0 ? -1 : 1;
        length *= m_sign;
        const Wide half = length / 2;
        for (int c = 0; c < 3; ++c) {
            Ramp<int64_t>& ramp = m_linear[c];
            const int delta = int(c1[c]) - c0[c];
            ramp = {c0[c], delta < 0 ? -1 : 1, delta < 0 ? -delta : delta, {}};
            for (int k = 1; k <= ramp.count; ++k)
                ramp.thresholds[k - 1] = int64_t(StepKey(k, delta, length, half));
        }
        return true;
    }
    const UWide squared = UWide(Wide(m_dx) * m_dx) + UWide(Wide(m_dy) * m_dy);
    // R = floor(sqrt(R^2) + 0.5): one more than the floor when R^2 > r^2 + r.
    uint64_t radius = SquareRootFloor(squared);
    if (squared - UWide(radius) * radius > radius)
        ++radius;
    for (int c = 0; c < 3; ++c) {
        Ramp<UWide>& ramp = m_radial[c];
        const int delta = int(c1[c]) - c0[c];
        // A radius of 0 leaves no pixel inside: C1 everywhere.
        if (radius == 0) {
            ramp = {c1[c], 1, 0, {}};
            continue;
        }
        ramp = {c0[c], delta < 0 ? -1 : 1, delta < 0 ? -delta : delta, {}};
        for (int k = 1; k <= ramp.count; ++k) {
            // B >= b exactly when d^2 >= b^2 - b + 1 (round(sqrt(d^2)) >= b), for b >= 1.
            const Wide b = StepKey(k, delta, Wide(radius), Wide(radius / 2));
            ramp.thresholds[k - 1] = b <= 0 ? UWide(0) : UWide(b) * UWide(b) - UWide(b) + 1;
        }
    }
    return true;
}

void GradientShape::Fill(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX,
                         int64_t originY) const
{
    // Columns in chunks, so that a row's keys fit the stack.
    for (int32_t left = part.left; left < part.right; left += kChunk) {
        const PTzRECT chunk = {left, part.top, std::min(left + kChunk, part.right), part.bottom};
        if (m_type == 0)
            FillLinear(planes, stride, chunk, originX, originY);
        else
            FillRadial(planes, stride, chunk, originX, originY);
    }
}

void GradientShape::FillLinear(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX,
                               int64_t originY) const
{
    // f = across(x or y) + along(the other), with the measured axis stepping 256 a
    // pixel and the other (256 d (q - q0) + d'/2) / d', both quotients truncated.
    const Wide across = m_alongY ? m_dx : m_dy;
    const Wide along = m_alongY ? m_dy : m_dx;
    const auto divided = [&](int64_t offset) {
        return int64_t((256 * across * offset + along / 2) / along);
    };
    int64_t columns[kChunk];
    const int32_t width = part.right - part.left;
    for (int32_t i = 0; i < width; ++i) {
        const int64_t offset = originX + part.left + i - m_x0;
        columns[i] = m_sign * (m_alongY ? divided(offset) : 256 * offset);
    }
    // Along x the keys rise with the sign; along y with the sign of dx / dy.
    const bool ascending = m_alongY ? m_sign * (m_dx < 0 ? -1 : 1) * (m_dy < 0 ? -1 : 1) > 0 : m_sign > 0;
    for (int32_t y = part.top; y < part.bottom; ++y) {
        const int64_t offset = originY + y - m_y0;
        const int64_t rowKey = m_sign * (m_alongY ? 256 * offset : divided(offset));
        const auto keys = [&](int32_t x) { return columns[x - part.left] + rowKey; };
        for (int c = 0; c < 3; ++c) {
            const Ramp<int64_t>& ramp = m_linear[c];
            FillRuns<int64_t>(planes[c] + ptrdiff_t(y) * stride, part.left, part.right, ascending, keys, ramp.start,
                              ramp.direction, ramp.thresholds, ramp.count);
        }
    }
}

void GradientShape::FillRadial(uint8_t* const planes[3], int32_t stride, const PTzRECT& part, int64_t originX,
                               int64_t originY) const
{
    UWide columns[kChunk];
    const int32_t width = part.right - part.left;
    for (int32_t i = 0; i < width; ++i) {
        const Wide offset = Wide(originX) + part.left + i - m_x0;
        columns[i] = UWide(offset * offset);
    }
    // d^2 falls towards the start's column and rises beyond it.
    const int64_t centre = std::clamp<int64_t>(m_x0 - originX, part.left, part.right);
    const int32_t split = int32_t(centre);
    for (int32_t y = part.top; y < part.bottom; ++y) {
        const Wide offset = Wide(originY) + y - m_y0;
        const UWide rowKey = UWide(offset * offset);
        const auto keys = [&](int32_t x) { return columns[x - part.left] + rowKey; };
        for (int c = 0; c < 3; ++c) {
            const Ramp<UWide>& ramp = m_radial[c];
            uint8_t* row = planes[c] + ptrdiff_t(y) * stride;
            FillRuns<UWide>(row, part.left, split, false, keys, ramp.start, ramp.direction, ramp.thresholds,
                            ramp.count);
            FillRuns<UWide>(row, split, part.right, true, keys, ramp.start, ramp.direction, ramp.thresholds,
                            ramp.count);
        }
    }
}

}  // namespace lumatra
