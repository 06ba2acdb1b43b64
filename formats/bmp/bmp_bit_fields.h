// The channel layout of 16- and 32-bit BMP pixels: widening such rows to 24-bit
// B, G, R on reading, and packing 24-bit R, G, B rows into them on writing.
#pragma once

#include <cstdint>

namespace bitmora {

// Reading one channel: value = ((pixel >> right) << left) >> (bits - 8), low byte,
// in unsigned 32-bit arithmetic; keep is 0 for a channel whose mask is 0.
struct BmpChannelShift {
    uint32_t right;
    uint32_t left;
    uint8_t keep;
};

struct BmpChannelLayout {
    uint32_t bits;  // 16 or 32
    BmpChannelShift red;
    BmpChannelShift green;
    BmpChannelShift blue;
};

// The layout of three masks (red, green, blue): the right shift is a mask's count of
// trailing zero bits, the left shift bits minus its count of set bits, clamped to
// 0..31 so that no mask makes a shift undefined.
BmpChannelLayout BmpLayoutFromMasks(uint32_t bits, const uint32_t masks[3]);
// The layout without masks: 5-5-5 for 16 bits, 8-8-8 for 32.
BmpChannelLayout BmpDefaultLayout(uint32_t bits);

// Widens width pixels of a 16- or 32-bit row to 24-bit B, G, R.
void WidenBmpRow(const BmpChannelLayout& layout, const uint8_t* source, uint8_t* target, uint32_t width);

// Writing one channel: field = (value >> right) << left.
struct BmpPackShift {
    uint32_t right;
    uint32_t left;
};

struct BmpPackLayout {
    uint32_t bits;  // 16 or 32
    BmpPackShift red;
    BmpPackShift green;
    BmpPackShift blue;
};

// The layout the writer uses: 5-5-5 (0x7C00, 0x3E0, 0x1F) for 16 bits, 8-8-8
// (0xFF0000, 0xFF00, 0xFF) for 32, the same the reader assumes without masks.
BmpPackLayout BmpWriteLayout(uint32_t bits);

// Packs width 24-bit R, G, B pixels into 16- or 32-bit little-endian pixels.
void PackBmpRow(const BmpPackLayout& layout, const uint8_t* source, uint8_t* target, uint32_t width);

}  // namespace bitmora
