// The selection's outline for the view: the pixels of a zoomed display rectangle that are
// at the outline value or above and touch a 4-neighbour below it, as bits of a one-bit
// bitmap.
#include <algorithm>
#include <climits>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_select.h"

namespace {

// A zeroed 8-bit bitmap of its own, freed with the scope.
class OwnedGrayBitmap {
public:
    explicit OwnedGrayBitmap(const _tagPTzSIZE& size) : m_bitmap{}
    {
        ITzPrepareITzBitmap(&m_bitmap, &size, PTzCOLORMODE_GRAY);
    }
    ~OwnedGrayBitmap() { ITzReleaseITzBitmap(&m_bitmap); }
    OwnedGrayBitmap(const OwnedGrayBitmap&) = delete;
    OwnedGrayBitmap& operator=(const OwnedGrayBitmap&) = delete;

    _tagITzBITMAP* get() { return m_bitmap.pixels ? &m_bitmap : nullptr; }

private:
    _tagITzBITMAP m_bitmap;
};

bool IsOneBitTarget(const _tagITzBITMAP* bits)
{
    return bits && bits->bits == 1 && bits->pixels && bits->width >= 0 && bits->height >= 0 &&
           int64_t(bits->stride) * 8 >= bits->width;
}

// Marks the outline pixels of the `width` x `height` inner part of a display buffer
// that has one margin pixel on each side.
void DrawOutline(const _tagITzBITMAP& display, int32_t width, int32_t height, _tagITzBITMAP* bits)
{
    const int32_t stride = display.stride;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = display.pixels + int64_t(y + 1) * stride + 1;
        uint8_t* out = bits->pixels + int64_t(y) * bits->stride;
        for (int32_t x = 0; x < width; ++x) {
            // outline(x, y) = v >= 127 and min(left, right, above, below) < 127
            if (row[x] < ITzOUTLINE_VALUE)
                continue;
            const uint8_t nearest = std::min({row[x - 1], row[x + 1], row[x - stride], row[x + stride]});
            if (nearest < ITzOUTLINE_VALUE)
                out[x >> 3] |= uint8_t(0x80u >> (x & 7));
        }
    }
}

}  // namespace

int ITzLayerImageSelect::GetSelectionBoundary(_tagITzBITMAP* bits, const PTzRECT* rect, uint8_t level,
                                              const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY)
{
    if (!rect || !IsOneBitTarget(bits))
        return ITzERR_INVALID;
    // Only the part of the rectangle that the target holds is read and drawn.
    const int64_t width = std::min<int64_t>(int64_t(rect->right) - rect->left, bits->width);
    const int64_t height = std::min<int64_t>(int64_t(rect->bottom) - rect->top, bits->height);
    if (width <= 0 || height <= 0)
        return 0;
    // The fetched margin of one pixel around the rectangle must stay within 32 bits.
    const int64_t left = int64_t(rect->left) - 1;
    const int64_t top = int64_t(rect->top) - 1;
    if (width > INT32_MAX - 2 || height > INT32_MAX - 2 || left < INT32_MIN || top < INT32_MIN ||
        left + width + 2 > INT32_MAX || top + height + 2 > INT32_MAX)
        return ITzERR_INVALID;
    const _tagPTzSIZE size = {int32_t(width + 2), int32_t(height + 2)};
    OwnedGrayBitmap display(size);
    if (!display.get())
        return ITzERR_INVALID;
    const PTzRECT grown = {int32_t(left), int32_t(top), int32_t(left + size.cx), int32_t(top + size.cy)};
    if (GetDisplayData(display.get(), &grown, level, zoomX, zoomY) != 0)
        return 0;
    DrawOutline(*display.get(), size.cx - 2, size.cy - 2, bits);
    return 0;
}
