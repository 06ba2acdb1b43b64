// Drawing a row of text into an ARGB channel bitmap: each glyph's coverage laid over
// the planes in the character's colour, clipped to the rectangle asked for.
#include <algorithm>

#include "engine/picture/text_font.h"
#include "engine/picture/text_row.h"
#include "engine/pixels/merge_math.h"

namespace {

struct Colour {
    uint8_t red, green, blue;
};

// One glyph row of coverage over the destination planes, per pixel of coverage b:
//   b = 255 or a = 0:  a' = b, colour taken as it is
//   otherwise:         a' = S(a, b), c' = c + (colour - c) * Q(b, a') >> 16
// so that the new coverage weighs in with its share of the combined alpha.
void BlendSpan(const uint8_t* coverage, int32_t count, uint8_t* alpha, uint8_t* red, uint8_t* green,
               uint8_t* blue, Colour colour)
{
    using namespace lumatra::merge;
    for (int32_t i = 0; i < count; ++i) {
        const int b = coverage[i];
        if (b == 0)
            continue;
        const int a = alpha[i];
        if (b == 255 || a == 0) {
            alpha[i] = uint8_t(b);
            red[i] = colour.red;
            green[i] = colour.green;
            blue[i] = colour.blue;
            continue;
        }
        const int combined = Union255(a, b);
        const int share = Ratio16(b, combined);
        alpha[i] = uint8_t(combined);
        red[i] = uint8_t(red[i] + (((int(colour.red) - red[i]) * share) >> 16));
        green[i] = uint8_t(green[i] + (((int(colour.green) - green[i]) * share) >> 16));
        blue[i] = uint8_t(blue[i] + (((int(colour.blue) - blue[i]) * share) >> 16));
    }
}

// Lays the glyph image with its top-left pixel at (left, top) over the bitmap, inside clip.
void DrawGlyph(_tagITzCHANNELBITMAP& bitmap, const PTzRECT& clip, const _tagPTzBITMAP_8& image, int64_t left,
               int64_t top, Colour colour)
{
    const int64_t x0 = std::max<int64_t>(left, clip.left);
    const int64_t x1 = std::min<int64_t>(left + image.width, clip.right);
    const int64_t y0 = std::max<int64_t>(top, clip.top);
    const int64_t y1 = std::min<int64_t>(top + image.height, clip.bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    const int32_t count = int32_t(x1 - x0);
    for (int64_t y = y0; y < y1; ++y) {
        const size_t at = size_t(y) * size_t(bitmap.stride) + size_t(x0);
        BlendSpan(image.bits + (y - top) * image.stride + (x0 - left), count, bitmap.planes[0] + at,
                  bitmap.planes[1] + at, bitmap.planes[2] + at, bitmap.planes[3] + at, colour);
    }
}

}  // namespace

void ITzTextRow::Draw(_tagITzCHANNELBITMAP* bitmap, const PTzRECT& clip, int64_t x, int64_t y)
{
    if (!bitmap || !bitmap->planes[0] || !bitmap->planes[1] || !bitmap->planes[2] || !bitmap->planes[3])
        return;
    const PTzRECT target = {std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, bitmap->width),
                            std::min(clip.bottom, bitmap->height)};
    if (target.left >= target.right || target.top >= target.bottom)
        return;
    const int64_t baseline = y + m_ascent;
    const ITzTextRowEntries entries(*this);
    int64_t pen = x;
    for (const _tagITzTEXTCHARENTRY& entry : entries) {
        ITzTextCharacter& glyph = *entry.glyph;
        const int64_t left = pen + glyph.GetA();
        pen += glyph.GetAdvance();
        const _tagPTzCOLORMODE mode = entry.colour.mode;
        if ((mode != PTzCOLORMODE_RGB && mode != PTzCOLORMODE_ARGB) || glyph.GetInkWidth() <= 0 ||
            left >= target.right || left + glyph.GetInkWidth() <= target.left)
            continue;
        const int64_t top = baseline - glyph.GetFont()->GetAscent();
        if (top >= target.bottom)
            continue;
        const _tagPTzBITMAP_8* image = glyph.GetImage();
        if (!image)
            continue;
        const Colour colour = {entry.colour.components[0], entry.colour.components[1], entry.colour.components[2]};
        DrawGlyph(*bitmap, target, *image, left, top, colour);
    }
}
