// The ARGB layer's rectangle reads in planar form: the uniformity check over a
// rectangle (a missing block is 0 in every channel), the planar reads built on it, and
// what reads rectangles into scratch pages: colour selection, the magic wand's block
// fill, channel-bitmap merges, block copies, and the scratch bitmaps of the layer's kind.
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/error_codes.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/colour_match.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/magic_seed_line_list.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/scratch_pages.h"

using lumatra::ScratchPages;

namespace {

constexpr uint8_t kAllUniform = 0x0F;
constexpr int32_t kPageSide = 256;

int32_t Width(const PTzRECT& rect)
{
    return rect.right - rect.left;
}

int32_t Height(const PTzRECT& rect)
{
    return rect.bottom - rect.top;
}

// Four scratch pages as the planes of a 256 x 256 rectangle read.
_tagITzARGBMEMDATA PageData(const ScratchPages& pages)
{
    return {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}, {}, 0, kPageSide, kPageSide};
}

bool FitsPage(const PTzRECT& rect)
{
    return Width(rect) > 0 && Height(rect) > 0 && Width(rect) <= kPageSide && Height(rect) <= kPageSide;
}

}  // namespace

int ITzLayerImageARGB::CheckRectSame(const PTzRECT* rect, _tagITzARGBMEMDATA* out)
{
    PTzRECT bounds;
    if (!rect || !out || PTzRectEmpty(rect) || GetLBounds(&bounds) != 0)
        return 0;
    if (rect->left < bounds.left || rect->top < bounds.top || rect->right > bounds.right ||
        rect->bottom > bounds.bottom)
        return 0;
    PTzRECT grid;
    LRECTtoBRECT(rect, &grid);
    bool seen = false;
    uint8_t differ = 0;
    uint8_t values[4] = {};
    lumatra::WalkGridRect(grid, m_blockCountX, [&](const lumatra::BlockPart& block) {
        _tagITzBLOCKINFOARGB record;
        if (GetBlockInfo(block.index, &record, 0) != 0)
            record = {};  // missing: transparent black, no data
        for (int c = 0; c < 4; ++c) {
            if (record.channels[c])
                differ |= uint8_t(1u << c);
            else if (!seen)
                values[c] = record.constants[c];
            else if (values[c] != record.constants[c])
                differ |= uint8_t(1u << c);
        }
        seen = true;
        return differ != kAllUniform;
    });
    out->uniform = uint8_t(kAllUniform & ~differ);
    for (int c = 0; c < 4; ++c)
        out->constants[c] = values[c];
    return 1;
}

int ITzLayerImageARGB::ReadRectData(const PTzRECT* rect, _tagITzARGBMEMDATA* out, int fill, bool allPlanes)
{
    if (!rect || !out || (allPlanes && !(out->planes[0] && out->planes[1] && out->planes[2] && out->planes[3])))
        return PTzFailWithZero(ITzERR_INVALID);
    if (!CheckRectSame(rect, out))
        out->uniform = 0;
    const int32_t columns = std::min(Width(*rect), out->stride);
    const int32_t rows = std::min(Height(*rect), out->height);
    if (columns <= 0 || rows <= 0)
        return 1;
    for (int c = 0; c < 4; ++c) {
        if (!out->planes[c])
            continue;
        const uint8_t value = (out->uniform >> c & 1) ? out->constants[c] : 0;
        for (int32_t y = 0; y < rows; ++y)
            std::memset(out->planes[c] + ptrdiff_t(y) * out->stride, value, size_t(columns));
    }
    PTzRECT bounds, inside;
    if (out->uniform == kAllUniform || GetLBounds(&bounds) != 0 || !PTzRectIntersect(rect, &bounds, &inside))
        return 1;
    // Only what the planes can hold.
    inside.right = std::min(inside.right, rect->left + columns);
    inside.bottom = std::min(inside.bottom, rect->top + rows);
    if (PTzRectEmpty(&inside))
        return 1;
    PTzRECT grid;
    LRECTtoBRECT(&inside, &grid);
    lumatra::WalkGridRect(grid, m_blockCountX, [&](const lumatra::BlockPart& block) {
        _tagITzBLOCKINFOARGB record;
        if (GetBlockInfo(block.index, &record, fill) != 0)
            return true;
        const _tagPTzOFFSET at = {inside.left - rect->left + block.offsetX, inside.top - rect->top + block.offsetY};
        for (int c = 0; c < 4; ++c)
            if (out->planes[c] && !(out->uniform >> c & 1))
                GetBlockDataChannel(out->planes[c], uint32_t(out->stride), &at, record.channels[c],
                                    record.constants[c], &block.part);
        return true;
    });
    return 1;
}

int ITzLayerImageARGB::GetRectData_1(const PTzRECT* rect, _tagITzARGBMEMDATA* out, int fill)
{
    return ReadRectData(rect, out, fill, true);
}

int ITzLayerImageARGB::GetRectData_2(const PTzRECT* rect, _tagITzARGBMEMDATA* out)
{
    return ReadRectData(rect, out, 0, false);
}

int ITzLayerImageARGB::AlphaDataFull(const PTzRECT* rect)
{
    _tagITzARGBMEMDATA same = {};
    return CheckRectSame(rect, &same) && (same.uniform & 1) && same.constants[0] == 255;
}

int ITzLayerImageARGB::ColorFillSelection(_tagITzBITMAP* mask, const PTzRECT* rect, const _tagPTzCOLOR* colour,
                                          uint32_t tolerance)
{
    if (!mask || !mask->pixels || mask->bits != 8 || !rect || !colour || !FitsPage(*rect))
        return ITzERR_INVALID;
    const ScratchPages pages(4);
    _tagITzARGBMEMDATA data = PageData(pages);
    if (!pages.ok() || !GetRectData_2(rect, &data))
        return ITzERR_INVALID;
    // Tolerances above 255 act as 255.
    const lumatra::ColourMatch match(*colour, std::min<uint32_t>(tolerance, 255));
    const int32_t columns = std::min(Width(*rect), mask->width);
    const int32_t rows = std::min(Height(*rect), mask->height);
    for (int32_t y = 0; y < rows; ++y) {
        const ptrdiff_t at = ptrdiff_t(y) * kPageSide;
        const uint8_t *a = data.planes[0] + at, *r = data.planes[1] + at, *g = data.planes[2] + at,
                      *b = data.planes[3] + at;
        uint8_t* out = mask->pixels + ptrdiff_t(y) * mask->stride;
        for (int32_t x = 0; x < columns; ++x)
            if (match.Matches(a[x], r[x], g[x], b[x]))
                out[x] = 255;
    }
    return 0;
}

int ITzLayerImageARGB::MagicSearchFillSelection(const PTzRECT* blockRect, _tagITzBITMAP* mask,
                                                ITzMagicSeedLineList* seeds, const _tagPTzCOLOR* colour,
                                                uint32_t tolerance)
{
    if (!blockRect || !mask || !mask->pixels || mask->bits != 8 || !seeds || !colour || !FitsPage(*blockRect))
        return 0;
    const lumatra::ColourMatch match(*colour, tolerance);
    const int32_t width = std::min(Width(*blockRect), mask->width), height = std::min(Height(*blockRect), mask->height);
    // A uniform block matches everywhere or nowhere: one test, and a region without
    // filled pixels in it is the whole rectangle.
    _tagITzARGBMEMDATA same = {};
    if (CheckRectSame(blockRect, &same) && same.uniform == kAllUniform) {
        const bool matches = match.Matches(same.constants[0], same.constants[1], same.constants[2], same.constants[3]);
        bool untouched = true;
        for (int32_t y = 0; y < height && untouched; ++y) {
            uint8_t value = 0;
            untouched = ITzBytesUniform(mask->pixels + ptrdiff_t(y) * mask->stride, uint32_t(width), &value) && value == 0;
        }
        if (!matches || seeds->GetCount() == 0) {
            seeds->Clear();
            return 1;
        }
        if (untouched) {
            for (int32_t y = 0; y < height; ++y)
                std::memset(mask->pixels + ptrdiff_t(y) * mask->stride, 255, size_t(width));
            seeds->Clear();
            return 1;
        }
    }
    const ScratchPages pages(4);
    _tagITzARGBMEMDATA data = PageData(pages);
    if (!pages.ok() || !GetRectData_2(blockRect, &data))
        return 0;
    // The alpha page becomes the match page, row by row in place.
    for (int32_t y = 0; y < height; ++y) {
        const ptrdiff_t at = ptrdiff_t(y) * kPageSide;
        match.MatchRow(data.planes[0] + at, data.planes[1] + at, data.planes[2] + at, data.planes[3] + at, width,
                       data.planes[0] + at);
    }
    return lumatra::MagicBlockFill(mask->pixels, mask->stride, data.planes[0], kPageSide, width, height, *seeds) >= 0
               ? 1
               : 0;
}

int ITzLayerImageARGB::FillChannelBitmapData(_tagITzCHANNELBITMAP* target, const PTzRECT* targetRect,
                                             const PTzRECT* rect, _tagITzMERGEDATA* merge, _tagITzBITMAP* mask,
                                             const PTzRECT* maskRect, uint8_t factor)
{
    if (!target || !targetRect || !rect || !merge || !FitsPage(*rect))
        return 0;
    const ScratchPages pages(4);
    _tagITzARGBMEMDATA data = PageData(pages);
    const CMathMerge* tables = GetMathMerge();
    if (!pages.ok() || !tables || !GetRectData_2(rect, &data))
        return 0;
    _tagITzCHANNELBITMAP source = {kPageSide, kPageSide, kPageSide, int32_t(m_colorMode),
                                   {data.planes[0], data.planes[1], data.planes[2], data.planes[3], nullptr}};
    const PTzRECT part = {0, 0, Width(*rect), Height(*rect)};
    ITzMergeChannelBitmap(merge, factor, maskRect, target, tables, targetRect, &source, &part, mask);
    return 1;
}

int ITzLayerImageARGB::FillRectDataToLayerBlock(ITzLayerImage* target, uint32_t block, const PTzRECT* rect)
{
    if (!target || !rect)
        return ITzERR_INVALID;
    const ScratchPages pages(4);
    _tagITzARGBMEMDATA data = PageData(pages);
    if (!pages.ok() || !GetRectData_2(rect, &data))
        return ITzERR_INVALID;
    _tagITzBLOCKMEMORY memory;
    FillBlockMemoryWithRectData(&memory, &data);
    return target->SetBlockData(block, &memory) ? 0 : ITzERR_INVALID;
}

int ITzLayerImageARGB::LockBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0)
        return 0;
    const int64_t bytes = int64_t(bitmap->width) * 4 * bitmap->height;
    uint8_t* pixels = nullptr;
    if (bytes > std::numeric_limits<uint32_t>::max() ||
        !BlockMemoryAlloc(GetBlockMemoryPool(), &pixels, uint32_t(bytes)))
        return 0;
    bitmap->colorMode = int32_t(m_colorMode);
    bitmap->bits = 32;
    bitmap->stride = bitmap->width * 4;
    bitmap->pixels = pixels;
    return 1;
}

int ITzLayerImageARGB::UnlockBitmap(_tagITzBITMAP* bitmap)
{
    return UnlockPoolBitmap(bitmap);
}

int ITzLayerImageARGB::LockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap)
        return 0;
    const _tagPTzSIZE size = {bitmap->width, bitmap->height};
    if (!ITzUtilityChannelBitmap::CreateITzBufferBitmap(bitmap, &size, 1, 3))
        return 0;
    bitmap->kind = int32_t(m_colorMode);
    return 1;
}

int ITzLayerImageARGB::UnlockChannelBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    const _tagPTzSIZE size = {bitmap ? bitmap->width : 0, bitmap ? bitmap->height : 0};
    return ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(bitmap, &size);
}
