// Reductions of block pages by 2^k as k successive 2 x 2 steps, so that a level made
// straight from the layer equals one made from the levels between.
#include "engine/pixels/block_reduce.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "base/error_codes.h"

namespace {

constexpr int32_t kPageSide = 256;
constexpr uint32_t kMaxShift = 8;
constexpr int32_t kFirstSide = kPageSide / 2;
constexpr int32_t kSecondSide = kPageSide / 4;

// Division of a 2 x 2 weighted sum (below 4 x 255 x 255) by its weight (1 to 4 x 255)
// as a multiplication: with m = ceil(2^31 / w), (s m) >> 31 = floor(s / w) exactly for
// every s below 2^31 / w, far above the largest sum. Weight 0 gives 0.
constexpr uint32_t kMaxWeight = 4 * 255;
const std::array<uint32_t, kMaxWeight + 1> kReciprocals = [] {
    std::array<uint32_t, kMaxWeight + 1> table{};
    for (uint32_t w = 1; w <= kMaxWeight; ++w)
        table[w] = uint32_t(((uint64_t{1} << 31) + w - 1) / w);
    return table;
}();

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

void FillPart(uint8_t* target, const PTzRECT& rect, uint8_t value)
{
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        std::memset(target + y * kPageSide + rect.left, value, size_t(rect.right - rect.left));
}

// One halving reads source planes and writes target planes of its own stride; a null
// plane is skipped.
struct SourcePlanes {
    const uint8_t* planes[4];
    int32_t stride;
};
struct TargetPlanes {
    uint8_t* planes[4];
    int32_t stride;
};

// Two scratch sets of `count` planes for the steps between: the first of k halvings
// leaves at most 128 x 128 pixels, the second 64 x 64, and later ones alternate.
template <int count>
struct HalvingScratch {
    uint8_t first[count][kFirstSide * kFirstSide];
    uint8_t second[count][kSecondSide * kSecondSide];
};

// Calls halve(in, out, width, height, last) for each of the `shift` halvings that turn
// the source page into the target rect's pixels. The first step reads the source page,
// the last writes the target page at the rect, and the steps between write packed
// planes (stride = width) into the scratch sets in turn. Source planes from `count` on
// must be null.
template <int count, class Halve>
void ForEachHalving(const SourcePlanes& source, const TargetPlanes& target, const PTzRECT& rect, uint32_t shift,
                    HalvingScratch<count>& scratch, Halve&& halve)
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    SourcePlanes in = source;
    for (uint32_t left = shift; left-- > 0;) {
        const int32_t w = width << left, h = height << left;
        TargetPlanes out = {{}, w};
        for (int c = 0; c < count; ++c) {
            if (!source.planes[c])
                continue;
            if (left == 0)
                out.planes[c] = target.planes[c] + rect.top * target.stride + rect.left;
            else
                out.planes[c] = (shift - left) % 2 == 1 ? scratch.first[c] : scratch.second[c];
        }
        if (left == 0)
            out.stride = target.stride;
        halve(in, out, w, h, left == 0);
        in = {{out.planes[0], out.planes[1], out.planes[2], out.planes[3]}, out.stride};
    }
}

// out = (a + b + c + d) >> 2 over each 2 x 2 square of plane 0.
void HalveMean(const SourcePlanes& in, const TargetPlanes& out, int32_t width, int32_t height, bool)
{
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* top = in.planes[0] + ptrdiff_t(2 * y) * in.stride;
        const uint8_t* bottom = top + in.stride;
        uint8_t* row = out.planes[0] + ptrdiff_t(y) * out.stride;
        for (int32_t x = 0; x < width; ++x)
            row[x] = uint8_t((uint32_t(top[2 * x]) + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1]) >> 2);
    }
}

// Over each 2 x 2 square: alpha (sum a) >> 2, and each colour plane sum(c a) / sum(a),
// truncated; the sums stay below 4 x 255 x 255 however deep the reduction. Where sum(a)
// is 0 the colours weigh nothing in a later step: the last step leaves them as they
// were, the others write 0. A row's weights come first, so that each colour row is a
// plain loop.
void HalveWeighted(const SourcePlanes& in, const TargetPlanes& out, int32_t width, int32_t height, bool last)
{
    uint32_t weights[kFirstSide], reciprocals[kFirstSide];
    for (int32_t y = 0; y < height; ++y) {
        const ptrdiff_t top = ptrdiff_t(2 * y) * in.stride, bottom = top + in.stride;
        const ptrdiff_t at = ptrdiff_t(y) * out.stride;
        const uint8_t* a0 = in.planes[0] + top;
        const uint8_t* a1 = in.planes[0] + bottom;
        for (int32_t x = 0; x < width; ++x) {
            weights[x] = uint32_t(a0[2 * x]) + a0[2 * x + 1] + a1[2 * x] + a1[2 * x + 1];
            out.planes[0][at + x] = uint8_t(weights[x] >> 2);
            reciprocals[x] = kReciprocals[weights[x]];
        }
        for (int c = 1; c < 4; ++c) {
            if (!in.planes[c])
                continue;
            const uint8_t* c0 = in.planes[c] + top;
            const uint8_t* c1 = in.planes[c] + bottom;
            uint8_t* row = out.planes[c] + at;
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t sum = uint32_t(c0[2 * x]) * a0[2 * x] + uint32_t(c0[2 * x + 1]) * a0[2 * x + 1] +
                                     uint32_t(c1[2 * x]) * a1[2 * x] + uint32_t(c1[2 * x + 1]) * a1[2 * x + 1];
                const uint8_t mean = uint8_t((uint64_t(sum) * reciprocals[x]) >> 31);
                row[x] = last && weights[x] == 0 ? row[x] : mean;
            }
        }
    }
}

// The scratch sets live on the stack (20 KB a plane): reductions run deep inside block
// builds, where the scratch pool may be lent out already.
void ReduceMean(const uint8_t* source, uint8_t* target, const PTzRECT& rect, uint32_t shift)
{
    HalvingScratch<1> scratch;
    ForEachHalving({{source}, kPageSide}, {{target}, kPageSide}, rect, shift, scratch, HalveMean);
}

void ReduceWeighted(const _tagITzBLOCKMEMORYARGB& source, const _tagITzBLOCKMEMORYARGB& target,
                    const PTzRECT& rect, uint32_t shift)
{
    HalvingScratch<4> scratch;
    const SourcePlanes in = {{source.planes[0], source.planes[1], source.planes[2], source.planes[3]}, kPageSide};
    const TargetPlanes out = {{target.planes[0], target.planes[1], target.planes[2], target.planes[3]}, kPageSide};
    ForEachHalving(in, out, rect, shift, scratch, HalveWeighted);
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
    if (source->planes[0]) {
        ReduceWeighted(*source, *target, rect, shift);
        return 0;
    }
    for (int c = 1; c < 4; ++c)
        if (source->planes[c])
            ReduceMean(source->planes[c], target->planes[c], rect, shift);
    return 0;
}
