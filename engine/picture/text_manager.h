// ITzTextManager: a picture's text model, the shared fonts and glyphs that its text
// layers (and the undo records holding their characters) refer to. The picture owns it
// and deletes it after its layers and its undo history.
#pragma once

#include <cstdint>
#include <memory>

#include "base/font.h"
#include "engine/lumatra_export.h"
#include "engine/picture/text_character.h"
#include "engine/picture/text_font.h"

class LUMATRA_API ITzTextManager {
public:
    ITzTextManager();
    // The glyphs go first: each gives its font back.
    ~ITzTextManager();
    ITzTextManager(const ITzTextManager&) = delete;
    ITzTextManager& operator=(const ITzTextManager&) = delete;

    // The lists, made on first use; null when memory is short.
    ITzTextFontList* GetFontList();
    ITzTextCharacterList* GetCharacterList();
    // The font list when it was made, without making it.
    ITzTextFontList* FindFontList() const { return m_fonts.get(); }

    // The shared glyph of the code in the font, with one more holder (Release gives it
    // back): null when the font cannot be made or memory is short.
    ITzTextCharacter* GetCharacter(const _tagPTzFONTDATAINFO* font, uint16_t code);
    ITzTextCharacter* GetCharacter(ITzTextFont* font, uint16_t code);

private:
    std::unique_ptr<ITzTextFontList> m_fonts;
    std::unique_ptr<ITzTextCharacterList> m_characters;
};
