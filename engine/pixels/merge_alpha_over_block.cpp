// Alpha-over of a whole ARGB floating block into a block record, over the covered spans
// of its rows and only into the target channels it can change.
#include "engine/pixels/merge_alpha_over_block.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/layer_image_floating_blocks.h"
#include "engine/pixels/merge_kernels.h"

namespace lumatra {
namespace {

constexpr int32_t kSide = kBlockSide;

// The pixels [first, end) of a row of 256 alpha bytes from its first to its last nonzero
// one; first == end when all are 0.
struct Span {
    int32_t first = 0, end = 0;
};

Span CoveredSpan(const uint8_t* alpha)
{
    static_assert(std::endian::native == std::endian::little, "byte order of the word scan");
    uint64_t words[kSide / 8];
    std::memcpy(words, alpha, sizeof words);
    int32_t head = 0, tail = kSide / 8 - 1;
    while (head <= tail && !words[head])
        ++head;
    if (head > tail)
        return {};
    while (!words[tail])
        --tail;
    return {head * 8 + std::countr_zero(words[head]) / 8, tail * 8 + 8 - std::countl_zero(words[tail]) / 8};
}

// The target channels an alpha-over can change: the alpha unless it is uniformly
// opaque, a colour unless both sides hold it uniform at the same byte.
uint8_t ChangingChannels(const _tagITzBLOCKINFOARGB& source, const _tagITzBLOCKINFOARGB& target)
{
    uint8_t channels = target.channels[0] || target.constants[0] != 255 ? 1 : 0;
    for (int c = 1; c < 4; ++c)
        if (target.channels[c] || source.channels[c] || source.constants[c] != target.constants[c])
            channels |= uint8_t(1 << c);
    return channels;
}

// Alpha-over of a whole block into the target's pages; a channel without a page is
// uniform and stays so, and the kernel writes it into a row of its constant. A pixel of
// source alpha 0 keeps its target at any opacity and under any mask, so each row is
// merged only over its covered span, widened to whole vectors: a stroke's floating
// blocks are mostly transparent. Gives the rectangle the spans cover.
PTzRECT AlphaOverCovered(const ARGBBlockReader& source, uint8_t* const pages[4],
                         const uint8_t constants[4], uint8_t opacity, const uint8_t* mask)
{
    constexpr int32_t kVector = 32;
    uint8_t uniformRows[4][kSide];
    for (int c = 0; c < 4; ++c)
        std::memset(uniformRows[c], constants[c], kSide);
    PTzRECT covered = {kSide, kSide, 0, 0};
    for (int32_t y = 0; y < kSide; ++y) {
        Span span = CoveredSpan(source.row(0, y));
        if (span.first == span.end)
            continue;
        span = {span.first & ~(kVector - 1), std::min(kSide, (span.end + kVector - 1) & ~(kVector - 1))};
        covered = {std::min(covered.left, span.first), std::min(covered.top, y), std::max(covered.right, span.end),
                   y + 1};
        merge::Job job;
        const ptrdiff_t at = ptrdiff_t(y) * kSide + span.first;
        for (int c = 0; c < 4; ++c) {
            job.source[c] = source.row(c, y) + span.first;
            job.dest[c] = pages[c] ? pages[c] + at : uniformRows[c] + span.first;
        }
        job.mask = mask ? mask + at : nullptr;
        job.width = span.end - span.first;
        job.height = 1;
        job.opacity = opacity;
        merge::AlphaOverPlanar(job);
    }
    return covered.left < covered.right ? covered : PTzRECT{};
}

}  // namespace

bool AlphaOverBlock(const _tagITzBLOCKINFOARGB& source, _tagITzBLOCKINFOARGB& target, uint8_t opacity,
                    const uint8_t* mask)
{
    const ARGBBlockReader reader(source);
    const _tagITzBLOCKINFOARGB before = target;
    if (!reader.ok() || ITzBlockInfoARGBExpandChannels(&target, ChangingChannels(source, target)) != 0)
        return false;
    PTzRECT covered = {};
    bool locked = true;
    {
        const ARGBBlockWriter writer(target);
        for (int c = 0; c < 4; ++c)
            locked = locked && (!target.channels[c] || writer.page(c));
        if (locked)
            covered = AlphaOverCovered(reader, writer.pages(), target.constants, opacity, mask);
    }
    if (!locked) {
        for (int c = 0; c < 4; ++c)
            if (target.channels[c] != before.channels[c])
                PTzHandleFree(target.channels[c]);
        target = before;
        return false;
    }
    for (int c = 0; c < 4; ++c)
        FoldMergedChannel(target.channels[c], target.constants[c], covered);
    return true;
}

}  // namespace lumatra
