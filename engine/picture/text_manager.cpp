// The text model of a picture: its font list and glyph list, made on first use.
#include "engine/picture/text_manager.h"

#include <new>

ITzTextManager::ITzTextManager() = default;

ITzTextManager::~ITzTextManager()
{
    m_characters.reset();
    m_fonts.reset();
}

ITzTextFontList* ITzTextManager::GetFontList()
{
    if (!m_fonts)
        m_fonts.reset(new (std::nothrow) ITzTextFontList());
    return m_fonts.get();
}

ITzTextCharacterList* ITzTextManager::GetCharacterList()
{
    if (!m_characters)
        m_characters.reset(new (std::nothrow) ITzTextCharacterList(this));
    return m_characters.get();
}

ITzTextCharacter* ITzTextManager::GetCharacter(const _tagPTzFONTDATAINFO* info, uint16_t code)
{
    ITzTextFontList* fonts = GetFontList();
    ITzTextFont* font = fonts ? fonts->GetFont(info) : nullptr;
    if (!font)
        return nullptr;
    ITzTextCharacter* glyph = GetCharacter(font, code);
    fonts->Release(font);  // the glyph holds the font itself
    return glyph;
}

ITzTextCharacter* ITzTextManager::GetCharacter(ITzTextFont* font, uint16_t code)
{
    ITzTextCharacterList* characters = GetCharacterList();
    return characters ? characters->GetCharacter(font, code) : nullptr;
}
