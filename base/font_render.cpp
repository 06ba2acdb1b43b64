// Coverage rendering: FreeType's 8-bit glyph images laid over the caller's bitmap,
// keeping the brighter value where glyphs overlap, as white text drawn on black does.
#include "font_render.h"

#include <ft2build.h>
#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <mutex>

#include "error_codes.h"
#include "font_face.h"
#include "font_layout.h"

namespace {

bool usable(const _tagPTzBITMAP_8& bitmap)
{
    if (bitmap.width < 0 || bitmap.height < 0 || bitmap.stride < bitmap.width)
        return false;
    return bitmap.bits || bitmap.width == 0 || bitmap.height == 0;
}

uint8_t* rowOf(const _tagPTzBITMAP_8& bitmap, int64_t y)
{
    return bitmap.bits + y * bitmap.stride;
}

void clear(const _tagPTzBITMAP_8& bitmap)
{
    if (bitmap.width == 0)
        return;
    for (int64_t y = 0; y < bitmap.height; ++y)
        std::memset(rowOf(bitmap, y), 0, size_t(bitmap.width));
}

// Fills [left, right) x [top, bottom) with full coverage, clipped to the bitmap.
void fill(const _tagPTzBITMAP_8& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    left = std::max<int64_t>(left, 0);
    right = std::min<int64_t>(right, bitmap.width);
    top = std::max<int64_t>(top, 0);
    bottom = std::min<int64_t>(bottom, bitmap.height);
    for (int64_t y = top; y < bottom && left < right; ++y)
        std::memset(rowOf(bitmap, y) + left, 255, size_t(right - left));
}

// What a glyph is laid over: a cleared bitmap, or one that may hold earlier glyphs.
enum class Onto { Clear, EarlierGlyphs };

// Lays the glyph image's top-left pixel at (left, top): dst = max(dst, coverage). Onto a
// cleared bitmap that is the coverage itself, copied row by row, which keeps a large
// glyph's image as cheap as a copy.
void blit(const _tagPTzBITMAP_8& bitmap, const FT_Bitmap& image, int64_t left, int64_t top, Onto onto)
{
    if (image.pixel_mode != FT_PIXEL_MODE_GRAY || image.rows == 0)
        return;
    const int64_t pitch = image.pitch;
    const uint8_t* topRow = pitch >= 0 ? image.buffer : image.buffer + (int64_t(image.rows) - 1) * -pitch;
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t x1 = std::min<int64_t>(left + image.width, bitmap.width);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t y1 = std::min<int64_t>(top + image.rows, bitmap.height);
    if (x0 >= x1)
        return;
    const size_t count = size_t(x1 - x0);
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t* src = topRow + (y - top) * pitch + (x0 - left);
        uint8_t* dst = rowOf(bitmap, y) + x0;
        if (onto == Onto::Clear)
            std::memcpy(dst, src, count);
        else
            std::transform(src, src + count, dst, dst, [](uint8_t a, uint8_t b) { return std::max(a, b); });
    }
}

// Whether the ink of a glyph with its origin at (x, baseline) misses the bitmap, so
// that long texts do not render what cannot show.
bool missesBitmap(const _tagPTzBITMAP_8& bitmap, const corvane::Glyph& glyph, int64_t x, int64_t baseline)
{
    const auto floorPixels = [](FT_Pos v) { return int64_t(v) >> 6; };
    const auto ceilPixels = [](FT_Pos v) { return (int64_t(v) + 63) >> 6; };
    const FT_BBox& ink = glyph.ink;
    return x + ceilPixels(ink.xMax) <= 0 || x + floorPixels(ink.xMin) >= bitmap.width ||
           baseline - floorPixels(ink.yMin) <= 0 || baseline - ceilPixels(ink.yMax) >= bitmap.height;
}

void renderGlyph(const _tagPTzBITMAP_8& bitmap, const corvane::Glyph& glyph, int64_t x, int64_t baseline, Onto onto)
{
    FT_GlyphSlot slot = glyph.slot;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0)
        blit(bitmap, slot->bitmap, x + slot->bitmap_left, baseline - slot->bitmap_top, onto);
}

void underline(const _tagPTzBITMAP_8& bitmap, const _tagPTzFONT& font, int64_t width, int64_t baseline)
{
    const int64_t top = baseline + font.underlineTop;
    fill(bitmap, 0, top, width, top + font.underlineThickness);
}

}  // namespace

CORVANE_C int PTzDrawTextToBitmap(_tagPTzBITMAP_8* bitmap, const _tagPTzTEXTSTRINGDATA* text)
{
    if (!bitmap || !text || !usable(*bitmap) || (!text->text && text->length > 0))
        return PTzFailWithZero();
    _tagPTzFONT* font = corvane::makeFont(text->font, false);
    if (!font)
        return 0;
    const _tagPTzBITMAP_8 target = *bitmap;
    clear(target);
    {
        std::lock_guard guard(font->lock);
        const int64_t cell = font->ascent + font->descent;
        const auto baseline = [&](int64_t line) { return line * cell + font->ascent; };
        corvane::layoutText(
            *font, text->text, text->length,
            [&](const corvane::Glyph& glyph, int64_t x, int64_t line) {
                if (glyph.hasInk && !missesBitmap(target, glyph, x, baseline(line)))
                    renderGlyph(target, glyph, x, baseline(line), Onto::EarlierGlyphs);
            },
            [&](int64_t line, int64_t width) {
                if (font->info.underline)
                    underline(target, *font, width, baseline(line));
            });
    }
    corvane::dropFont(font);
    return 1;
}

CORVANE_C int PTzDrawCharToBitmap(_tagPTzBITMAP_8* bitmap, _tagPTzFONT* font, PTzChar character)
{
    if (!bitmap || !font || !usable(*bitmap))
        return PTzFailWithZero();
    const _tagPTzBITMAP_8 target = *bitmap;
    std::lock_guard guard(font->lock);
    corvane::Glyph glyph;
    if (!corvane::loadGlyph(*font, character, &glyph))
        return PTzFailWithZero();
    clear(target);
    if (glyph.hasInk) {
        // The ink box goes to column 0 whatever the left bearing, so that an italic
        // overhang to the left is kept rather than cut off.
        FT_Outline_Translate(&glyph.slot->outline, -glyph.ink.xMin, 0);
        renderGlyph(target, glyph, 0, font->ascent, Onto::Clear);
    }
    if (font->info.underline)
        underline(target, *font, target.width, font->ascent);
    return 1;
}
