// The magic wand's seed lines and its block fill: a scanline fill that, for each run it
// fills, goes on in the same direction over the whole run and turns back only where the
// run reaches beyond the line it came from.
#include "engine/pixels/magic_seed_line_list.h"

#include <algorithm>
#include <new>
#include <tuple>

namespace {

// The list's order as a tuple.
std::tuple<int, int64_t, int32_t> Key(const _tagITzMAGICSEEDLINE& line)
{
    const int rank = line.direction > 0 ? 0 : line.direction < 0 ? 1 : 2;
    return {rank, line.direction < 0 ? -int64_t(line.row) : int64_t(line.row), line.first};
}

bool Joins(const _tagITzMAGICSEEDLINE& a, const _tagITzMAGICSEEDLINE& b)
{
    return a.row == b.row && a.direction == b.direction && int64_t(a.first) <= int64_t(b.last) + 1 &&
           int64_t(b.first) <= int64_t(a.last) + 1;
}

// A row to fill from columns [x1, x2]; unless the direction is 0, row - direction over
// [x1, x2] is filled already.
struct Span {
    int32_t row, x1, x2, direction;
};

}  // namespace

ITzMagicSeedLineList::ITzMagicSeedLineList() = default;
ITzMagicSeedLineList::~ITzMagicSeedLineList() = default;

int ITzMagicSeedLineList::Insert(const _tagITzMAGICSEEDLINE& line)
{
    _tagITzMAGICSEEDLINE merged = line;
    auto at = std::lower_bound(m_lines.begin(), m_lines.end(), merged,
                               [](const auto& a, const auto& b) { return Key(a) < Key(b); });
    // Absorb the neighbours it overlaps or touches, on both sides.
    while (at != m_lines.begin() && Joins(*(at - 1), merged)) {
        --at;
        merged.first = std::min(merged.first, at->first);
        merged.last = std::max(merged.last, at->last);
        at = m_lines.erase(at);
    }
    while (at != m_lines.end() && Joins(*at, merged)) {
        merged.first = std::min(merged.first, at->first);
        merged.last = std::max(merged.last, at->last);
        at = m_lines.erase(at);
    }
    try {
        m_lines.insert(at, merged);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int64_t lumatra::MagicBlockFill(uint8_t* mask, int32_t maskStride, const uint8_t* match, int32_t matchStride,
                                int32_t width, int32_t height, ITzMagicSeedLineList& seeds)
{
    std::vector<Span> stack;
    int64_t filled = 0;
    try {
        for (const _tagITzMAGICSEEDLINE& line : seeds.Lines())
            stack.push_back({line.row + line.direction, line.first, line.last, line.direction});
        seeds.Clear();
        while (!stack.empty()) {
            const Span span = stack.back();
            stack.pop_back();
            if (span.row < 0 || span.row >= height)
                continue;
            uint8_t* out = mask + ptrdiff_t(span.row) * maskStride;
            const uint8_t* ok = match + ptrdiff_t(span.row) * matchStride;
            const auto fillable = [&](int32_t x) { return ok[x] && out[x] != 255; };
            const int32_t stop = std::min(span.x2, width - 1);
            for (int32_t x = std::max(span.x1, 0); x <= stop; ++x) {
                if (!fillable(x))
                    continue;
                int32_t left = x, right = x;
                while (left > 0 && fillable(left - 1))
                    --left;
                while (right + 1 < width && fillable(right + 1))
                    ++right;
                std::fill(out + left, out + right + 1, uint8_t(255));
                filled += right - left + 1;
                if (span.direction == 0) {
                    stack.push_back({span.row + 1, left, right, 1});
                    stack.push_back({span.row - 1, left, right, -1});
                } else {
                    stack.push_back({span.row + span.direction, left, right, span.direction});
                    if (left < span.x1)
                        stack.push_back({span.row - span.direction, left, span.x1 - 1, -span.direction});
                    if (right > span.x2)
                        stack.push_back({span.row - span.direction, span.x2 + 1, right, -span.direction});
                }
                x = right + 1;
            }
        }
    } catch (const std::bad_alloc&) {
        seeds.Clear();
        return -1;
    }
    return filled;
}
