// Sub-pixel shifted tips: every dab is the tip resampled bilinearly at the pointer's
// sixteenth-pixel offset, into the brush's own buffer, one row of bytes at a time.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/tools/brush_base.h"

namespace {

// The blend tables' M(w, v) = (v x w + 127) / 255 for a weight w below 256, divided by
// the exact shift form of / 255 (exact while v x w + 127 stays below 65,235). Every step
// fits 16 bits, so the row loop vectorises in 16-bit lanes instead of gathering from
// the table.
inline uint16_t Weighted(uint16_t v, uint16_t w)
{
    const uint16_t t = uint16_t(v * w + 127);
    return uint16_t((t + 1 + (t >> 8)) >> 8);
}

// out[k] = min(255, M(w11, a[k]) + M(w12, a[k + 1]) + M(w21, b[k]) + M(w22, b[k + 1]))
// with b = a + one tip row; every weight is at most 240 here.
void ShiftBytes(uint8_t* __restrict out, const uint8_t* a, const uint8_t* b, size_t count, uint16_t w11, uint16_t w12,
                uint16_t w21, uint16_t w22)
{
    for (size_t k = 0; k < count; ++k) {
        const uint16_t sum = uint16_t(Weighted(a[k], w11) + Weighted(a[k + 1], w12) + Weighted(b[k], w21) +
                                      Weighted(b[k + 1], w22));
        out[k] = uint8_t(std::min<uint16_t>(sum, 255));
    }
}

bool IsShiftableTip(const _tagITzBITMAP* tip)
{
    return tip && tip->pixels && tip->bits == 8 && tip->width >= 2 && tip->height >= 2 &&
           tip->stride >= tip->width;
}

}  // namespace

int ITzBrushBase::GetAntiBrushByBitmap(_tagITzBITMAP* out, const _tagITzBITMAP* tip, int32_t fx, int32_t fy)
{
    if (!out || !IsShiftableTip(tip))
        return 0;
    // A shifted tip cannot be shifted again in place: the buffer may move as it grows.
    if (m_antiBuffer && tip->pixels >= m_antiBuffer && tip->pixels < m_antiBuffer + m_antiBufferSize)
        return 0;
    // The shifted tip keeps the tip's stride, so that its rows run as one sequence of
    // bytes: small tips need no loop per row. The last column of each stride row mixes
    // in the next tip row and is not part of the result.
    const uint32_t width = uint32_t(tip->width) - 1, height = uint32_t(tip->height) - 1;
    const size_t stride = size_t(tip->stride);
    const size_t count = (height - 1) * stride + width;
    uint8_t* buffer = AntiBuffer(uint64_t(height) * stride);
    if (!buffer)
        return 0;
    const uint32_t x = uint32_t(fx) & 15, y = uint32_t(fy) & 15;
    if (x == 0 && y == 0) {
        // The whole weight falls on the lower right neighbour: the tip less its top row
        // and left column.
        std::memcpy(buffer, tip->pixels + stride + 1, count);
    } else {
        ShiftBytes(buffer, tip->pixels, tip->pixels + stride, count, uint16_t(x * y), uint16_t((16 - x) * y),
                   uint16_t(x * (16 - y)), uint16_t((16 - x) * (16 - y)));
    }
    out->width = int32_t(width);
    out->height = int32_t(height);
    out->stride = int32_t(stride);
    out->bits = 8;
    out->colorMode = 6;
    out->pixels = buffer;
    return 1;
}

int ITzBrushBase::GetAntiBrush(_tagITzBITMAP* bitmap, int32_t fx, int32_t fy)
{
    _tagITzBITMAP tip = {};
    return bitmap && GetBitmap(&tip) ? GetAntiBrushByBitmap(bitmap, &tip, fx, fy) : 0;
}

int ITzBrushBase::GetAntiPressBrush(_tagITzBITMAP* bitmap, int32_t fx, int32_t fy, uint8_t pressure)
{
    _tagITzBITMAP tip = {};
    return bitmap && GetPressBitmap(&tip, pressure) ? GetAntiBrushByBitmap(bitmap, &tip, fx, fy) : 0;
}

uint32_t ITzBrushBase::GetBrushWidthByAnti(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->width > 1 ? uint32_t(bitmap->width) - 1 : 0;
}

uint32_t ITzBrushBase::GetBrushHeightByAnti(const _tagITzBITMAP* bitmap)
{
    return bitmap && bitmap->height > 1 ? uint32_t(bitmap->height) - 1 : 0;
}
