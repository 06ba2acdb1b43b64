// Making, cutting, copying and inverting interleaved and planar bitmaps.
#include "engine/pixels/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

#include "base/checked_size.h"
#include "base/memory.h"
#include "engine/pixels/rect_clip.h"

namespace {

// Bits per pixel of a colour mode, 0 for an unknown mode.
uint16_t ModeBits(int32_t colorMode)
{
    switch (colorMode) {
    case 1:
    case 2:
        return 24;
    case 3:
    case 4:
        return 32;
    case 5:
        return 40;
    case 6:
        return 8;
    case 7:
        return 16;
    case 8:
        return 2;
    default:
        return 0;
    }
}

// The colour bytes of a pixel: `count` bytes from `first`, in pixels of `bytes` bytes.
struct ColourBytes {
    uint32_t bytes, first, count;
};

bool ModeColourBytes(int32_t colorMode, ColourBytes& out)
{
    switch (colorMode) {
    case 1:
    case 2:
        out = {3, 0, 3};
        return true;
    case 3:
        out = {4, 1, 3};
        return true;
    case 4:
        out = {4, 0, 4};
        return true;
    case 5:
        out = {5, 1, 4};
        return true;
    case 6:
        out = {1, 0, 1};
        return true;
    case 7:
        out = {2, 1, 1};
        return true;
    default:
        return false;
    }
}

}  // namespace

uint32_t ITzColorModeGetChannelCount(int32_t colorMode)
{
    switch (colorMode) {
    case 1:
    case 2:
        return 3;
    case 3:
    case 4:
        return 4;
    case 5:
        return 5;
    case 6:
        return 1;
    case 7:
        return 2;
    default:
        return 0;
    }
}

uint32_t ITzColorModeGetColorChannelCount(int32_t colorMode)
{
    switch (colorMode) {
    case 1:
    case 2:
    case 3:
        return 3;
    case 4:
    case 5:
        return 4;
    case 6:
    case 7:
        return 1;
    default:
        return 0;
    }
}

int ITzPrepareITzBitmap(_tagITzBITMAP* bitmap, const _tagPTzSIZE* size, int32_t colorMode)
{
    if (!bitmap || !size || size->cx <= 0 || size->cy <= 0)
        return 0;
    const uint16_t bits = ModeBits(colorMode);
    if (bits == 0)
        return 0;
    // Rows start on multiples of 4 bytes.
    uint64_t stride = 0, bytes = 0;
    if (!PTzCheckedRowBytes(uint64_t(size->cx), bits, &stride, std::numeric_limits<int32_t>::max()) ||
        !PTzCheckedMul(stride, uint64_t(size->cy), &bytes, std::numeric_limits<uint32_t>::max()))
        return 0;
    auto* pixels = static_cast<uint8_t*>(PTzPointNew(static_cast<uint32_t>(bytes)));
    if (!pixels)
        return 0;
    *bitmap = {size->cx, size->cy, static_cast<int32_t>(stride), bits, colorMode, pixels};
    return 1;
}

void ITzReleaseITzBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap || !bitmap->pixels)
        return;
    PTzPointFree(bitmap->pixels);
    bitmap->pixels = nullptr;
}

uint32_t ITzGetITzBitmapPixelbits(const _tagITzBITMAP* bitmap)
{
    return bitmap ? bitmap->bits : 0u;
}

uint32_t ITzGetITzBitmapPixelByte(const _tagITzBITMAP* bitmap)
{
    return ITzBitmapPixelByte(bitmap);
}

int InverseITzBitmap(_tagITzBITMAP* bitmap)
{
    ColourBytes colour{};
    if (!bitmap || !ModeColourBytes(bitmap->colorMode, colour))
        return 0;
    if (bitmap->width <= 0 || bitmap->height <= 0)
        return 1;
    if (!bitmap->pixels)
        return 0;
    const bool wholeRow = colour.first == 0 && colour.count == colour.bytes;
    const std::size_t rowBytes = std::size_t(bitmap->width) * colour.bytes;
    for (int32_t y = 0; y < bitmap->height; ++y) {
        uint8_t* row = bitmap->pixels + std::ptrdiff_t(y) * bitmap->stride;
        // v -> 255 - v on the colour bytes only; alpha stays.
        if (wholeRow) {
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = static_cast<uint8_t>(255 - row[i]);
            continue;
        }
        for (std::size_t pixel = 0; pixel < rowBytes; pixel += colour.bytes)
            for (uint32_t c = colour.first; c < colour.first + colour.count; ++c)
                row[pixel + c] = static_cast<uint8_t>(255 - row[pixel + c]);
    }
    return 1;
}

int ITzGetSubBitmap(_tagITzBITMAP* view, PTzRECT* rect, const _tagITzBITMAP* source)
{
    if (!view || !rect || !source)
        return 0;
    PTzRECT clipped = *rect;
    if (!ITzClipRectToSize(clipped, source->width, source->height))
        return 0;
    uint8_t* pixels = source->pixels;
    if (pixels)
        pixels += std::ptrdiff_t(clipped.top) * source->stride + ((int64_t{clipped.left} * source->bits) >> 3);
    *view = {clipped.right - clipped.left, clipped.bottom - clipped.top, source->stride,
             source->bits, source->colorMode, pixels};
    *rect = clipped;
    return 1;
}

int ITzGetSubChannelBitmap(PTzRECT* rect, _tagITzCHANNELBITMAP* view, const _tagITzCHANNELBITMAP* source)
{
    if (!rect || !view || !source)
        return 0;
    PTzRECT clipped = *rect;
    if (!ITzClipRectToSize(clipped, source->width, source->height))
        return 0;
    _tagITzCHANNELBITMAP sub = *source;
    sub.width = clipped.right - clipped.left;
    sub.height = clipped.bottom - clipped.top;
    const std::ptrdiff_t offset = std::ptrdiff_t(clipped.top) * source->stride + clipped.left;
    for (uint8_t*& plane : sub.planes)
        if (plane)
            plane += offset;
    *view = sub;
    *rect = clipped;
    return 1;
}

int ITzCopyChannelBitmapRect(const PTzRECT* sourceRect, const PTzRECT* destRect,
                             const _tagITzCHANNELBITMAP* source, _tagITzCHANNELBITMAP* dest)
{
    if (!sourceRect || !destRect || !source || !dest || source->kind != dest->kind)
        return 0;
    ITzRectPair pair{};
    if (!ITzClipRectPair(*sourceRect, {source->width, source->height}, *destRect,
                         {dest->width, dest->height}, pair))
        return 0;
    const std::size_t rowBytes = std::size_t(pair.width);
    for (int p = 0; p < 5; ++p) {
        const uint8_t* from = source->planes[p];
        uint8_t* to = dest->planes[p];
        if (!from || !to)
            continue;
        from += std::ptrdiff_t(pair.sourceY) * source->stride + pair.sourceX;
        to += std::ptrdiff_t(pair.destY) * dest->stride + pair.destX;
        // Within one plane the rectangles may overlap: copy away from the overlap.
        const bool bottomUp = std::greater<const uint8_t*>()(to, from);
        for (int32_t i = 0; i < pair.height; ++i) {
            const int32_t y = bottomUp ? pair.height - 1 - i : i;
            std::memmove(to + std::ptrdiff_t(y) * dest->stride, from + std::ptrdiff_t(y) * source->stride, rowBytes);
        }
    }
    return 1;
}
