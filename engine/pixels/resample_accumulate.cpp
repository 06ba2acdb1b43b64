// The separable bilinear accumulation and the division of the sums into pixels.
#include "engine/pixels/resample_accumulate.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace lumatra {

PlaneView ChannelPlanes(const _tagITzCHANNELBITMAP& bitmap)
{
    PlaneView view = {{}, 1, bitmap.stride};
    for (int p = 0; p < 5; ++p)
        view.planes[p] = bitmap.planes[p];
    return view;
}

bool BitmapPlanes(const _tagITzBITMAP& bitmap, PlaneView& out)
{
    // Bytes per pixel, whether the first byte is alpha, and the colour bytes that follow.
    struct Layout {
        int32_t bytes;
        bool alpha;
        int colours;
    };
    static constexpr Layout kLayouts[8] = {{3, false, 3}, {3, false, 3}, {4, true, 3}, {4, false, 4},
                                           {5, true, 4},  {1, false, 1}, {2, true, 1}, {0, false, 0}};
    if (!bitmap.pixels || bitmap.colorMode < 1 || bitmap.colorMode > 7)
        return false;
    const Layout& layout = kLayouts[bitmap.colorMode - 1];
    if (bitmap.bits != layout.bytes * 8)
        return false;
    out = {{}, layout.bytes, bitmap.stride};
    int at = 0;
    if (layout.alpha)
        out.planes[0] = bitmap.pixels + at++;
    for (int k = 0; k < layout.colours; ++k)
        out.planes[1 + k] = bitmap.pixels + at++;
    return true;
}

PlaneView PlanesAt(const PlaneView& view, int32_t x, int32_t y)
{
    PlaneView moved = view;
    const ptrdiff_t offset = ptrdiff_t(y) * view.stride + ptrdiff_t(x) * view.step;
    for (uint8_t*& plane : moved.planes)
        if (plane)
            plane += offset;
    return moved;
}

bool WeightSumsFit(const _tagITzBLRESIZETABLE& x, const _tagITzBLRESIZETABLE& y)
{
    return uint64_t{x.weightSumBound} * y.weightSumBound <= UINT32_MAX;
}

namespace {

uint8_t Quotient(uint64_t sum, uint64_t divisor)
{
    // 32-bit division is several times faster, and the sums of ordinary zooms fit it.
    if ((sum | divisor) >> 32 == 0)
        return uint8_t(uint32_t(sum) / uint32_t(divisor));
    return uint8_t(sum / divisor);
}

}  // namespace

void DivideSums(const _tagITzZOOMBLBUFFERDATA& buffer, int32_t bufferRow, const PlaneView& out, int32_t width,
                int32_t height, ZeroDivisor rule)
{
    const bool alpha = buffer.alphaSum && buffer.weightSum && out.planes[0];
    int colours[4], count = 0;
    for (int k = 0; k < 4; ++k)
        if (buffer.colorSums[k] && buffer.colorWeightSum && out.planes[1 + k])
            colours[count++] = k;
    const bool write255 = rule == ZeroDivisor::Write255;
    for (int32_t y = 0; y < height; ++y) {
        const ptrdiff_t first = ptrdiff_t(y) * bufferRow;
        for (int32_t x = 0; x < width; ++x) {
            const ptrdiff_t i = first + x, o = ptrdiff_t(y) * out.stride + ptrdiff_t(x) * out.step;
            if (alpha) {
                const uint32_t weight = buffer.weightSum[i];
                if (weight != 0)
                    out.planes[0][o] = Quotient(buffer.alphaSum[i], weight);
                else if (write255)
                    out.planes[0][o] = 255;
            }
            if (count == 0)
                continue;
            const uint64_t colourWeight = buffer.colorWeightSum[i];
            for (int c = 0; c < count; ++c) {
                uint8_t& byte = out.planes[1 + colours[c]][o];
                if (colourWeight != 0)
                    byte = Quotient(buffer.colorSums[colours[c]][i], colourWeight);
                else if (write255)
                    byte = 255;
            }
        }
    }
}

uint64_t BLAccumulator::ScratchBytes(int32_t width)
{
    return uint64_t(std::max(width, 0)) * (5 * sizeof(uint64_t) + sizeof(uint32_t));
}

BLAccumulator::BLAccumulator(const BLTarget& target, const _tagITzBLRESIZETABLE& tableX,
                             const _tagITzBLRESIZETABLE& tableY, void* scratch)
    : m_target(target), m_x(tableX), m_y(tableY)
{
    const size_t width = size_t(std::max(target.area.right - target.area.left, 0));
    auto* sums = static_cast<uint64_t*>(scratch);
    m_rowAlpha = sums;
    for (int k = 0; k < 4; ++k)
        m_rowColors[k] = sums + (1 + k) * width;
    m_rowWeight = reinterpret_cast<uint32_t*>(sums + 5 * width);
}

void BLAccumulator::Add(const PlaneView& source, const PTzRECT& rect)
{
    const PTzRECT& area = m_target.area;
    const PTzRECT clipped = {std::max(rect.left, m_x.firstSource), std::max(rect.top, m_y.firstSource),
                             std::min(rect.right, m_x.endSource), std::min(rect.bottom, m_y.endSource)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom || area.left >= area.right)
        return;
    // The destination columns any source column of the rectangle feeds inside the area.
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (int32_t sx = clipped.left; sx < clipped.right; ++sx) {
        const int32_t* range = m_x.ranges + 2 * (int64_t{sx} - m_x.firstSource);
        const int32_t first = std::max(range[0], area.left), last = std::min(range[1], area.right - 1);
        if (first <= last) {
            lo = std::min(lo, first);
            hi = std::max(hi, last);
        }
    }
    if (lo > hi)
        return;
    const _tagITzZOOMBLBUFFERDATA& buffer = *m_target.buffer;
    const bool alpha = buffer.alphaSum != nullptr;
    int colours = 0;
    while (colours < 4 && buffer.colorSums[colours])
        ++colours;
    if ((alpha && !source.planes[0]) || (!alpha && colours == 0))
        return;
    for (int k = 0; k < colours; ++k)
        if (!source.planes[1 + k])
            return;
    const PlaneView at = PlanesAt(source, clipped.left - rect.left, clipped.top - rect.top);
    lo -= area.left;
    hi -= area.left;
    switch (colours + (alpha ? 5 : 0)) {
    case 1: Dispatch<false, 1>(at, clipped, lo, hi); break;
    case 2: Dispatch<false, 2>(at, clipped, lo, hi); break;
    case 3: Dispatch<false, 3>(at, clipped, lo, hi); break;
    case 4: Dispatch<false, 4>(at, clipped, lo, hi); break;
    case 5: Dispatch<true, 0>(at, clipped, lo, hi); break;
    case 6: Dispatch<true, 1>(at, clipped, lo, hi); break;
    case 7: Dispatch<true, 2>(at, clipped, lo, hi); break;
    case 8: Dispatch<true, 3>(at, clipped, lo, hi); break;
    case 9: Dispatch<true, 4>(at, clipped, lo, hi); break;
    default: break;
    }
}

template <bool Alpha, int Colours>
void BLAccumulator::Dispatch(const PlaneView& source, const PTzRECT& rect, int32_t lo, int32_t hi)
{
    // A row sum adds at most the X weight bound times 255 x 255 (a weighted colour).
    if (uint64_t{m_x.weightSumBound} * 255 * 255 <= UINT32_MAX)
        AddRows<Alpha, Colours, uint32_t>(source, rect, lo, hi);
    else
        AddRows<Alpha, Colours, uint64_t>(source, rect, lo, hi);
}

// Per source row: row sums S_w[j] = sum of wx, S_a[j] = sum of wx a, S_k[j] = sum of wx a c_k
// (wx c_k without alpha) over the row's pixels; then for each destination row it feeds
// with weight wy: weight += wy S_w, alpha and colour weight += wy S_a, colour k += wy S_k
// (without alpha: colour weight += wy f S_w, colour k += wy f S_k).
template <bool Alpha, int Colours, typename RowSum>
void BLAccumulator::AddRows(const PlaneView& source, const PTzRECT& rect, int32_t lo, int32_t hi)
{
    const PTzRECT& area = m_target.area;
    const _tagITzZOOMBLBUFFERDATA& buffer = *m_target.buffer;
    const size_t span = size_t(hi - lo + 1);
    // The row sums share the scratch laid out for 64-bit sums.
    RowSum* const rowAlpha = reinterpret_cast<RowSum*>(m_rowAlpha);
    RowSum* rowColours[4];
    for (int k = 0; k < 4; ++k)
        rowColours[k] = reinterpret_cast<RowSum*>(m_rowColors[k]);
    uint32_t* const rowWeight = m_rowWeight;
    for (int32_t sy = rect.top; sy < rect.bottom; ++sy) {
        const int64_t ky = int64_t{sy} - m_y.firstSource;
        const int32_t firstY = std::max(m_y.ranges[2 * ky], area.top);
        const int32_t lastY = std::min(m_y.ranges[2 * ky + 1], area.bottom - 1);
        if (firstY > lastY)
            continue;
        const uint8_t* weightsY = m_y.weights + ky * m_y.width + (firstY - m_y.ranges[2 * ky]);

        std::memset(rowWeight + lo, 0, span * sizeof(uint32_t));
        if (Alpha)
            std::memset(rowAlpha + lo, 0, span * sizeof(RowSum));
        for (int k = 0; k < Colours; ++k)
            std::memset(rowColours[k] + lo, 0, span * sizeof(RowSum));
        const ptrdiff_t rowOffset = ptrdiff_t(sy - rect.top) * source.stride;
        for (int32_t sx = rect.left; sx < rect.right; ++sx) {
            const int64_t kx = int64_t{sx} - m_x.firstSource;
            const int32_t firstX = std::max(m_x.ranges[2 * kx], area.left);
            const int32_t lastX = std::min(m_x.ranges[2 * kx + 1], area.right - 1);
            if (firstX > lastX)
                continue;
            const uint8_t* weightsX = m_x.weights + kx * m_x.width + (firstX - m_x.ranges[2 * kx]);
            const ptrdiff_t at = rowOffset + ptrdiff_t(sx - rect.left) * source.step;
            const uint32_t a = Alpha ? source.planes[0][at] : 0;
            uint32_t c[Colours > 0 ? Colours : 1];
            for (int k = 0; k < Colours; ++k)
                c[k] = source.planes[1 + k][at];
            for (int32_t d = firstX; d <= lastX; ++d) {
                const uint32_t w = weightsX[d - firstX];
                const int32_t j = d - area.left;
                rowWeight[j] += w;
                const uint32_t t = Alpha ? w * a : w;
                if (Alpha)
                    rowAlpha[j] += t;
                for (int k = 0; k < Colours; ++k)
                    rowColours[k][j] += RowSum(t * c[k]);
            }
        }

        for (int32_t dy = firstY; dy <= lastY; ++dy) {
            const uint32_t wy = weightsY[dy - firstY];
            if (wy == 0)
                continue;
            const ptrdiff_t row = ptrdiff_t(dy - area.top) * m_target.rowLength;
            if (Alpha) {
                uint32_t* weight = buffer.weightSum + row;
                uint64_t* alpha = buffer.alphaSum + row;
                for (int32_t j = lo; j <= hi; ++j) {
                    weight[j] += wy * rowWeight[j];
                    alpha[j] += uint64_t{wy} * rowAlpha[j];
                }
                if (Colours > 0) {
                    uint64_t* colourWeight = buffer.colorWeightSum + row;
                    for (int32_t j = lo; j <= hi; ++j)
                        colourWeight[j] += uint64_t{wy} * rowAlpha[j];
                }
                for (int k = 0; k < Colours; ++k) {
                    uint64_t* colour = buffer.colorSums[k] + row;
                    const RowSum* sums = rowColours[k];
                    for (int32_t j = lo; j <= hi; ++j)
                        colour[j] += uint64_t{wy} * sums[j];
                }
            } else {
                const uint64_t wf = uint64_t{wy} * m_target.factor;
                uint64_t* colourWeight = buffer.colorWeightSum + row;
                for (int32_t j = lo; j <= hi; ++j)
                    colourWeight[j] += wf * rowWeight[j];
                for (int k = 0; k < Colours; ++k) {
                    uint64_t* colour = buffer.colorSums[k] + row;
                    const RowSum* sums = rowColours[k];
                    for (int32_t j = lo; j <= hi; ++j)
                        colour[j] += wf * sums[j];
                }
            }
        }
    }
}

}  // namespace lumatra
