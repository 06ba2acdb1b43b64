// ITzTextCharacter, a glyph of a picture's text: a character code in a font, with its
// widths and its 8-bit coverage image, made once on first use and shared by every
// character of that code and font. ITzTextCharacterList holds them sorted and shared.
#pragma once

#include <cstdint>
#include <memory>

#include "base/font.h"
#include "base/reference_list.h"
#include "engine/lumatra_export.h"

class ITzTextCharacterList;
class ITzTextFont;
class ITzTextManager;

// The character that ends a row and starts the next one.
inline constexpr uint16_t ITzTEXT_ROW_BREAK = 13;

// What a glyph is built from.
struct _tagITzTEXTGLYPHKEY {
    ITzTextFont* font;
    uint16_t code;
};

class LUMATRA_API ITzTextCharacter : public PTzReferenceBase {
public:
    // A glyph of the list (made by it), or a key for finding one (null list).
    explicit ITzTextCharacter(ITzTextCharacterList* list, const _tagITzTEXTGLYPHKEY& key = {});
    ~ITzTextCharacter() override;

    // Takes a _tagITzTEXTGLYPHKEY: holds its font and measures the character. 0 when
    // the font cannot be made or measure it. The row break has no width and no ink.
    int SetBuildData(const void* data) override;
    // By character code, then by font.
    signed char CompareTo(const PTzReferenceBase* other) const override;

    uint16_t GetCode() const { return m_code; }
    ITzTextFont* GetFont() const { return m_font; }
    // A + B + C: how far the next character starts.
    int32_t GetAdvance() const { return m_advance; }
    // The space before the ink (negative: the ink starts left of the character).
    int32_t GetA() const { return m_a; }
    int32_t GetC() const { return m_c; }
    // The ink's width, B.
    int32_t GetInkWidth() const { return m_advance - m_a - m_c; }
    // The coverage image, B wide and as tall as the font's cell with the baseline at the
    // font's ascent, made the first time it is asked for; null for a glyph without ink
    // or one that cannot be drawn.
    const _tagPTzBITMAP_8* GetImage();

    // One more holder; Release drops one through the list.
    void AddReference() { ReferenceIncrease(); }
    void Release();

private:
    ITzTextCharacterList* m_list;
    uint16_t m_code = 0;
    ITzTextFont* m_font = nullptr;
    bool m_holdsFont = false;
    int32_t m_advance = 0;
    int32_t m_a = 0;
    int32_t m_c = 0;
    _tagPTzBITMAP_8 m_image{};
    std::unique_ptr<uint8_t[]> m_pixels;
    bool m_imageTried = false;
};

class LUMATRA_API ITzTextCharacterList : public PTzReferenceListBase {
public:
    explicit ITzTextCharacterList(ITzTextManager* manager) : m_manager(manager) {}
    ~ITzTextCharacterList() override;

    PTzReferenceBase* NewItem() override;

    // The shared glyph of the code in the font, with one more holder: null when the
    // font cannot be made or memory is short.
    ITzTextCharacter* GetCharacter(ITzTextFont* font, uint16_t code);
    ITzTextManager* GetManager() const { return m_manager; }

private:
    ITzTextManager* m_manager;
};
