// Shared by the text tests: DejaVu font records, typing into a text layer, and a
// snapshot of a layer's characters, fonts, colours and selection to compare states.
// It brings the fontconfig suppression of tests/base/font_test_support.h, so include it
// from one source file per executable.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/font.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_font.h"
#include "engine/pixels/layer_image.h"
#include "tests/base/font_test_support.h"

namespace text_test {

inline _tagPTzFONTDATAINFO Sans(int16_t height = -16)
{
    return fontRecord(u"DejaVu Sans", height);
}

inline _tagPTzFONTDATAINFO Serif(int16_t height = -20)
{
    return fontRecord(u"DejaVu Serif", height);
}

// The address of a record made in the call's own expression.
template <typename Record>
const Record* At(const Record& record)
{
    return &record;
}

inline _tagPTzCOLOR Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return {PTzCOLORMODE_RGB, 0, {red, green, blue}};
}

// A new text layer of the picture's text model at the start point, inserted on top.
inline ITzLayerText* AddTextLayer(ITzPicture& picture, PTzPOINT start)
{
    auto* layer = new ITzLayerText(picture.GetTextManager(), &start);
    EXPECT_EQ(picture.InsertLayer(picture.GetLayerCount(), layer), 0);
    return layer;
}

// Types the text at the caret, a character at a time, with a scratch undo row.
inline void Type(ITzLayerText& layer, std::u16string_view text, const _tagPTzFONTDATAINFO& font = Sans(),
                 const _tagPTzCOLOR& colour = Rgb(0, 0, 0))
{
    for (char16_t c : text) {
        ITzTextRow row;
        _tagITzTEXTUNDOINFO info = {0, 0, &row, 0, 0};
        ASSERT_EQ(layer.DoChar(&info, &font, uint16_t(c), &colour), 1);
    }
}

// One character as a test compares it.
struct Character {
    char16_t code;
    _tagPTzFONTDATAINFO font;
    _tagPTzCOLOR colour;

    bool operator==(const Character& other) const
    {
        return code == other.code && std::memcmp(&font, &other.font, sizeof font) == 0 &&
               PTzColorSame(&colour, &other.colour);
    }
};

struct TextShot {
    std::vector<Character> characters;
    uint32_t anchor = 0;
    uint32_t caret = 0;
    uint32_t rows = 0;
    PTzRECT bounds = {};

    bool operator==(const TextShot& other) const
    {
        return characters == other.characters && anchor == other.anchor && caret == other.caret &&
               rows == other.rows && std::memcmp(&bounds, &other.bounds, sizeof bounds) == 0;
    }
};

inline TextShot Shoot(ITzLayerText& layer)
{
    TextShot shot;
    for (uint32_t i = 0; i < layer.GetCharacterCount(); ++i) {
        _tagITzTEXTCHARENTRY entry;
        layer.GetCharacter(i, &entry);
        shot.characters.push_back({char16_t(entry.glyph->GetCode()), entry.glyph->GetFont()->GetInfo(), entry.colour});
    }
    layer.GetSelectRange(&shot.anchor, &shot.caret);
    shot.rows = layer.GetRowCount();
    layer.GetBounds(&shot.bounds);
    return shot;
}

inline std::u16string TextOf(ITzLayerText& layer)
{
    std::u16string text;
    for (const Character& c : Shoot(layer).characters)
        text += c.code;
    return text;
}

// A layer's image over its bounds as four planes, read through the image's blocks
// (drawn on demand) or, with `direct`, drawn straight from the rows.
inline std::vector<uint8_t> Pixels(ITzLayerText& layer, bool direct)
{
    PTzRECT bounds;
    layer.GetLBounds(&bounds);
    const int32_t width = bounds.right, height = bounds.bottom;
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4, 0);
    _tagITzCHANNELBITMAP bitmap = {width, height, width, PTzCOLORMODE_ARGB, {}};
    for (int p = 0; p < 4; ++p)
        bitmap.planes[p] = bytes.data() + size_t(p) * width * height;
    if (width == 0 || height == 0)
        return bytes;
    if (direct)
        layer.DrawToChannelBitmap(&bounds, &bitmap);
    else
        layer.GetPreviewLayer()->GetRectChannelData(&bitmap, &bounds);
    return bytes;
}

}  // namespace text_test
