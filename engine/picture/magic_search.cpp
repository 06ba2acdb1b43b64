// The magic wand's block walk. Each block of the target that the region reaches keeps
// its pending seed lines (part-relative: the block's part inside the target's bounds)
// and which pixels of its four border lines are filled, so that only newly filled border
// runs are handed over; every pixel is filled once, so the walk ends.
#include "engine/picture/magic_search.h"

#include <bitset>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "base/error_codes.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/magic_seed_line_list.h"
#include "engine/pixels/scratch_pages.h"

namespace {

constexpr int32_t kSide = ITzBLOCK_SIDE;

enum Border { kTop, kBottom, kLeft, kRight };
using Line = std::bitset<kSide>;

struct BlockState {
    std::unique_ptr<ITzMagicSeedLineList> pending;
    Line filled[4];  // border pixels filled so far, part-relative
    bool queued = false;
};

class Walk {
public:
    Walk(ITzLayerImage& target, ITzLayerImage& source, const _tagPTzCOLOR& colour, uint32_t tolerance)
        : m_target(target), m_source(source), m_colour(colour), m_tolerance(tolerance)
    {
        PTzRECT bounds;
        m_target.GetLBounds(&bounds);
        m_target.LRECTtoBRECT(&bounds, &m_grid);
    }

    int Run(const PTzPOINT& seed)
    {
        PTzPOINT local, grid;
        m_target.PPointtoLPoint(&seed, &local);
        m_target.LPointtoBPoint(&local, &grid);
        const int32_t column = grid.x / kSide, row = grid.y / kSide;
        const PTzRECT part = PartOf(column, row);
        if (!Seed(column, row, {grid.y - row * kSide - part.top, grid.x - column * kSide - part.left,
                                grid.x - column * kSide - part.left, 0}))
            return PTzERR_OUT_OF_MEMORY;
        while (!m_stack.empty()) {
            const uint32_t index = m_stack.back();
            m_stack.pop_back();
            const int result = FillBlock(index);
            if (result != 0)
                return result;
        }
        return 0;
    }

private:
    uint32_t Index(int32_t column, int32_t row) const
    {
        return uint32_t(row) * m_target.DWKGetBlockCountX() + uint32_t(column);
    }

    // The part of a block inside the target's bounds, in block coordinates.
    PTzRECT PartOf(int32_t column, int32_t row) const
    {
        const PTzRECT block = {column * kSide, row * kSide, column * kSide + kSide, row * kSide + kSide};
        PTzRECT inside = {};
        PTzRectIntersect(&block, &m_grid, &inside);
        return {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                inside.bottom - block.top};
    }

    bool Exists(int32_t column, int32_t row) const
    {
        return column >= 0 && row >= 0 && column * kSide < m_grid.right && row * kSide < m_grid.bottom &&
               column * kSide + kSide > m_grid.left && row * kSide + kSide > m_grid.top;
    }

    bool Seed(int32_t column, int32_t row, const _tagITzMAGICSEEDLINE& line)
    {
        const uint32_t index = Index(column, row);
        try {
            BlockState& state = m_blocks[index];
            if (!state.pending)
                state.pending.reset(new ITzMagicSeedLineList);
            if (!state.pending->Insert(line))
                return false;
            if (!state.queued) {
                m_stack.push_back(index);
                state.queued = true;
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    int FillBlock(uint32_t index)
    {
        BlockState& state = m_blocks[index];
        state.queued = false;
        const int32_t column = int32_t(index % m_target.DWKGetBlockCountX());
        const int32_t row = int32_t(index / m_target.DWKGetBlockCountX());
        const PTzRECT part = PartOf(column, row);
        const int32_t width = part.right - part.left, height = part.bottom - part.top;
        if (!m_target.BlockDataAvailable(index))
            return ITzERR_INVALID;
        const lumatra::ScratchPages page(1);
        if (!page.ok())
            return PTzERR_OUT_OF_MEMORY;
        uint8_t* pixels = page.page(0);
        std::memset(pixels, 0, size_t(kSide) * kSide);
        _tagITzBITMAP mask = {width, height, kSide, 8, PTzCOLORMODE_GRAY, pixels};
        if (m_target.GetBlockData(index, &part, &mask) != 0)
            return ITzERR_INVALID;
        Line before[4];
        ReadBorders(mask, before);
        // The source's rectangle under the part, in its layer coordinates.
        PTzRECT sourceRect = {column * kSide + part.left, row * kSide + part.top, column * kSide + part.right,
                              row * kSide + part.bottom};
        m_target.BRECTtoLRECT(&sourceRect, &sourceRect);
        m_target.LRECTtoPRECT(&sourceRect, &sourceRect);
        m_source.PRECTtoLRECT(&sourceRect, &sourceRect);
        const std::unique_ptr<ITzMagicSeedLineList> seeds = std::move(state.pending);
        if (!m_source.MagicSearchFillSelection(&sourceRect, &mask, seeds.get(), &m_colour, m_tolerance))
            return ITzERR_INVALID;
        Line after[4];
        ReadBorders(mask, after);
        if (!Store(index, part, mask))
            return ITzERR_INVALID;
        for (int side = 0; side < 4; ++side)
            state.filled[side] |= after[side];
        return HandOver(column, row, part, before, after) ? 0 : PTzERR_OUT_OF_MEMORY;
    }

    static void ReadBorders(const _tagITzBITMAP& mask, Line (&lines)[4])
    {
        const auto at = [&](int32_t x, int32_t y) { return mask.pixels[ptrdiff_t(y) * mask.stride + x] == 255; };
        for (int32_t x = 0; x < mask.width; ++x) {
            lines[kTop][size_t(x)] = at(x, 0);
            lines[kBottom][size_t(x)] = at(x, mask.height - 1);
        }
        for (int32_t y = 0; y < mask.height; ++y) {
            lines[kLeft][size_t(y)] = at(0, y);
            lines[kRight][size_t(y)] = at(mask.width - 1, y);
        }
    }

    // Writes the mask back; a block part filled throughout becomes one constant.
    bool Store(uint32_t index, const PTzRECT& part, const _tagITzBITMAP& mask)
    {
        bool full = part.left == 0 && part.top == 0 && part.right == kSide && part.bottom == kSide;
        for (int32_t y = 0; y < mask.height && full; ++y) {
            uint8_t value = 0;
            full = ITzBytesUniform(mask.pixels + ptrdiff_t(y) * mask.stride, uint32_t(mask.width), &value) &&
                   value == 255;
        }
        if (full) {
            const _tagITzBLOCKPOSITION position = {uint16_t(index % m_target.DWKGetBlockCountX()),
                                                   uint16_t(index / m_target.DWKGetBlockCountX())};
            const _tagPTzCOLOR white = {PTzCOLORMODE_GRAY, 255, {255}};
            return m_target.FillBlock(&position, nullptr, &white) == 0;
        }
        return m_target.SetBlockData(index, &part, &mask) == 0;
    }

    // Hands each run of border pixels this fill newly reached, less what the neighbour
    // has filled on its facing border, to the neighbour as seeds.
    bool HandOver(int32_t column, int32_t row, const PTzRECT& part, const Line (&before)[4], const Line (&after)[4])
    {
        struct Neighbour {
            Border side, facing;
            int32_t dx, dy;
        };
        constexpr Neighbour kNeighbours[4] = {
            {kTop, kBottom, 0, -1}, {kBottom, kTop, 0, 1}, {kLeft, kRight, -1, 0}, {kRight, kLeft, 1, 0}};
        for (const Neighbour& n : kNeighbours) {
            const Line fresh = after[n.side] & ~before[n.side];
            if (fresh.none() || !Exists(column + n.dx, row + n.dy))
                continue;
            // The neighbour must touch this block's part along the side.
            const bool edge = n.side == kTop ? part.top == 0
                              : n.side == kBottom ? part.bottom == kSide
                              : n.side == kLeft   ? part.left == 0
                                                  : part.right == kSide;
            if (!edge)
                continue;
            const int32_t nc = column + n.dx, nr = row + n.dy;
            const PTzRECT other = PartOf(nc, nr);
            const auto known = m_blocks.find(Index(nc, nr));
            const Line give = known == m_blocks.end() ? fresh : fresh & ~known->second.filled[n.facing];
            const int32_t length = n.side == kTop || n.side == kBottom ? part.right - part.left : part.bottom - part.top;
            for (int32_t i = 0; i < length;) {
                if (!give[size_t(i)]) {
                    ++i;
                    continue;
                }
                int32_t end = i;
                while (end + 1 < length && give[size_t(end + 1)])
                    ++end;
                bool ok = true;
                if (n.side == kTop)
                    ok = Seed(nc, nr, {other.bottom - other.top, i, end, -1});
                else if (n.side == kBottom)
                    ok = Seed(nc, nr, {-1, i, end, 1});
                else {
                    const int32_t x = n.side == kLeft ? other.right - other.left - 1 : 0;
                    for (int32_t y = i; y <= end && ok; ++y)
                        ok = Seed(nc, nr, {y, x, x, 0});
                }
                if (!ok)
                    return false;
                i = end + 1;
            }
        }
        return true;
    }

    ITzLayerImage& m_target;
    ITzLayerImage& m_source;
    _tagPTzCOLOR m_colour;
    uint32_t m_tolerance;
    PTzRECT m_grid = {};  // the target's bounds in its block grid
    std::unordered_map<uint32_t, BlockState> m_blocks;
    std::vector<uint32_t> m_stack;
};

}  // namespace

int ITzMagicSearch::Search(const PTzPOINT* seed, ITzLayerImage* target, ITzLayerBase* source, uint32_t tolerance)
{
    if (!seed || !target || !source)
        return ITzERR_INVALID;
    ITzLayerImage* image = source->IsImageLayer() ? static_cast<ITzLayerImage*>(source) : source->GetPreviewLayer();
    if (!image)
        return ITzERR_INVALID;
    PTzRECT bounds;
    target->GetBounds(&bounds);
    if (!PTzRectPointIn(&bounds, seed))
        return 0;
    _tagPTzCOLOR colour = {};
    image->GetPixelColor(seed, &colour);
    Walk walk(*target, *image, colour, tolerance & 0xFF);
    try {
        return walk.Run(*seed);
    } catch (const std::bad_alloc&) {
        return PTzERR_OUT_OF_MEMORY;
    }
}
