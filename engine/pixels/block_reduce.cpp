// Truncating means and alpha-weighted means over 2^k squares of block pages.
#include "engine/pixels/block_reduce.h"

#include <cstring>

#include "base/error_codes.h"

namespace {

constexpr int32_t kPageSide = 256;
constexpr uint32_t kMaxShift = 8;

bool ReductionFits(const PTzRECT* rect, uint32_t shift)
{
    if (!rect || shift == 0 || shift > kMaxShift)
        return false;
    if (rect->left < 0 || rect->top < 0 || rect->right > kPageSide || rect->bottom > kPageSide ||
        rect->left >= rect->right || rect->top >= rect->bottom)
        return false;
    return ((rect->right - rect->left) << shift) <= kPageSide &&
           ((rect->bottom - rect->top) << shift) <= kPageSide;
}

uint32_t SquareSum(const uint8_t* corner, uint32_t side)
{
    uint32_t sum = 0;
    for (uint32_t y = 0; y < side; ++y, corner += kPageSide)
        for (uint32_t x = 0; x < side; ++x)
            sum += corner[x];
    return sum;
}

// sum(c a) over the square; at most 65,536 x 255 x 255, below 2^32.
uint32_t WeightedSum(const uint8_t* colour, const uint8_t* alpha, uint32_t side)
{
    uint32_t sum = 0;
    for (uint32_t y = 0; y < side; ++y, colour += kPageSide, alpha += kPageSide)
        for (uint32_t x = 0; x < side; ++x)
            sum += uint32_t(colour[x]) * alpha[x];
    return sum;
}

void FillPart(uint8_t* target, const PTzRECT& rect, uint8_t value)
{
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        std::memset(target + y * kPageSide + rect.left, value, size_t(rect.right - rect.left));
}

void ReduceMean(const uint8_t* source, uint8_t* target, const PTzRECT& rect, uint32_t shift)
{
    const uint32_t side = 1u << shift;
    const int32_t width = rect.right - rect.left;
    for (int32_t y = 0; y < rect.bottom - rect.top; ++y) {
        uint8_t* out = target + (rect.top + y) * kPageSide + rect.left;
        const uint8_t* squares = source + (size_t(y) << shift) * kPageSide;
        for (int32_t x = 0; x < width; ++x)
            out[x] = uint8_t(SquareSum(squares + (size_t(x) << shift), side) >> (2 * shift));
    }
}

}  // namespace

int ITzReduceChannelPage(const uint8_t* source, uint8_t* target, const PTzRECT* targetRect, uint32_t shift)
{
    if (!source || !target || !ReductionFits(targetRect, shift))
        return ITzERR_INVALID;
    ReduceMean(source, target, *targetRect, shift);
    return 0;
}

int ITzReduceBlockMemory(const _tagITzBLOCKMEMORYARGB* source, _tagITzBLOCKMEMORYARGB* target,
                         const PTzRECT* targetRect, uint32_t shift)
{
    if (!source || !target || !ReductionFits(targetRect, shift))
        return ITzERR_INVALID;
    for (uint8_t* plane : target->planes)
        if (!plane)
            return ITzERR_INVALID;
    const PTzRECT& rect = *targetRect;
    for (int c = 0; c < 4; ++c)
        if (!source->planes[c])
            FillPart(target->planes[c], rect, source->constants[c]);
    const uint8_t* alpha = source->planes[0];
    if (!alpha) {
        for (int c = 1; c < 4; ++c)
            if (source->planes[c])
                ReduceMean(source->planes[c], target->planes[c], rect, shift);
        return 0;
    }
    ReduceMean(alpha, target->planes[0], rect, shift);
    const uint32_t side = 1u << shift;
    for (int32_t y = 0; y < rect.bottom - rect.top; ++y) {
        const size_t sourceRow = (size_t(y) << shift) * kPageSide;
        const size_t targetAt = size_t(rect.top + y) * kPageSide + size_t(rect.left);
        for (int32_t x = 0; x < rect.right - rect.left; ++x) {
            const size_t corner = sourceRow + (size_t(x) << shift);
            const uint32_t weight = SquareSum(alpha + corner, side);
            if (weight == 0)
                continue;
            for (int c = 1; c < 4; ++c)
                if (source->planes[c])
                    target->planes[c][targetAt + size_t(x)] =
                        uint8_t(WeightedSum(source->planes[c] + corner, alpha + corner, side) / weight);
        }
    }
    return 0;
}
