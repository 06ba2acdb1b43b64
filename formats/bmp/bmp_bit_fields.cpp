// Shifts derived from channel masks, and the row loops that apply them.
#include "formats/bmp/bmp_bit_fields.h"

#include <algorithm>
#include <bit>

#include "base/corvane_types.h"

namespace bitmora {

namespace {

BmpChannelShift channelShift(uint32_t bits, uint32_t mask)
{
    if (mask == 0)
        return {0, 0, 0};
    const int left = int(bits) - std::popcount(mask);
    return {uint32_t(std::countr_zero(mask)), uint32_t(std::clamp(left, 0, 31)), 0xFF};
}

inline uint8_t channel(uint32_t pixel, const BmpChannelShift& shift, uint32_t down)
{
    return uint8_t(((pixel >> shift.right) << shift.left) >> down) & shift.keep;
}

BmpPackShift packShift(uint32_t mask)
{
    return {uint32_t(std::max(8 - std::popcount(mask), 0)), uint32_t(std::countr_zero(mask))};
}

inline uint32_t field(uint8_t value, const BmpPackShift& shift)
{
    return uint32_t(value >> shift.right) << shift.left;
}

}  // namespace

BmpChannelLayout BmpLayoutFromMasks(uint32_t bits, const uint32_t masks[3])
{
    return {bits, channelShift(bits, masks[0]), channelShift(bits, masks[1]), channelShift(bits, masks[2])};
}

BmpChannelLayout BmpDefaultLayout(uint32_t bits)
{
    if (bits == 16)
        return {16, {10, 11, 0xFF}, {5, 11, 0xFF}, {0, 11, 0xFF}};
    return {32, {16, 24, 0xFF}, {8, 24, 0xFF}, {0, 24, 0xFF}};
}

void WidenBmpRow(const BmpChannelLayout& layout, const uint8_t* source, uint8_t* target, uint32_t width)
{
    const uint32_t down = layout.bits - 8;
    const uint32_t step = layout.bits / 8;
    for (uint32_t x = 0; x < width; ++x, source += step, target += 3) {
        const uint32_t pixel = step == 2 ? PTzReadLE16(source) : PTzReadLE32(source);
        target[0] = channel(pixel, layout.blue, down);
        target[1] = channel(pixel, layout.green, down);
        target[2] = channel(pixel, layout.red, down);
    }
}

BmpPackLayout BmpWriteLayout(uint32_t bits)
{
    if (bits == 16)
        return {16, packShift(0x7C00), packShift(0x3E0), packShift(0x1F)};
    return {32, packShift(0xFF0000), packShift(0xFF00), packShift(0xFF)};
}

void PackBmpRow(const BmpPackLayout& layout, const uint8_t* source, uint8_t* target, uint32_t width)
{
    const uint32_t step = layout.bits / 8;
    for (uint32_t x = 0; x < width; ++x, source += 3, target += step) {
        const uint32_t pixel = field(source[0], layout.red) | field(source[1], layout.green) | field(source[2], layout.blue);
        if (step == 2)
            PTzWriteLE16(target, uint16_t(pixel));
        else
            PTzWriteLE32(target, pixel);
    }
}

}  // namespace bitmora
