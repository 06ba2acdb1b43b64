// The glyphs of a picture's text: measured when they are made, drawn once when first
// shown, and shared through their sorted list.
#include "engine/picture/text_character.h"

#include <new>

#include "base/checked_size.h"
#include "base/font_measure.h"
#include "base/font_render.h"
#include "engine/picture/text_font.h"
#include "engine/picture/text_manager.h"

namespace {

template <typename T>
signed char Order(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

// Glyph images beyond this many bytes are not drawn (the largest fonts stay well below).
constexpr uint64_t kMaxImageBytes = uint64_t(1) << 26;

}  // namespace

ITzTextCharacter::ITzTextCharacter(ITzTextCharacterList* list, const _tagITzTEXTGLYPHKEY& key)
    : m_list(list), m_code(key.code), m_font(key.font)
{
}

ITzTextCharacter::~ITzTextCharacter()
{
    if (m_holdsFont && m_list && m_list->GetManager())
        if (ITzTextFontList* fonts = m_list->GetManager()->FindFontList())
            fonts->Release(m_font);
}

int ITzTextCharacter::SetBuildData(const void* data)
{
    if (!data || !m_list || !m_list->GetManager())
        return 0;
    const auto& key = *static_cast<const _tagITzTEXTGLYPHKEY*>(data);
    if (!key.font)
        return 0;
    m_code = key.code;
    m_font = key.font;
    m_font->ReferenceIncrease();
    m_holdsFont = true;
    _tagPTzFONT* font = m_font->GetFont();
    if (!font)
        return 0;
    if (m_code == ITzTEXT_ROW_BREAK)
        return 1;  // ends a row: no width, no ink
    _tagPTzCHARACTERWIDTHABC widths{};
    if (!PTzGetCharacterWidths(font, m_code, &widths))
        return 0;
    m_a = widths.A;
    m_c = widths.C;
    m_advance = widths.A + widths.B + widths.C;
    return 1;
}

signed char ITzTextCharacter::CompareTo(const PTzReferenceBase* other) const
{
    const auto* glyph = static_cast<const ITzTextCharacter*>(other);
    if (const signed char order = Order(m_code, glyph->m_code))
        return order;
    return Order(reinterpret_cast<uintptr_t>(m_font), reinterpret_cast<uintptr_t>(glyph->m_font));
}

const _tagPTzBITMAP_8* ITzTextCharacter::GetImage()
{
    if (m_imageTried)
        return m_pixels ? &m_image : nullptr;
    m_imageTried = true;
    const int32_t width = GetInkWidth();
    _tagPTzFONT* font = m_font ? m_font->GetFont() : nullptr;
    if (width <= 0 || !font)
        return nullptr;
    const int32_t height = m_font->GetAscent() + m_font->GetDescent();
    uint64_t bytes = 0;
    if (height <= 0 || !PTzCheckedMul(uint64_t(width), uint64_t(height), &bytes, kMaxImageBytes))
        return nullptr;
    m_pixels.reset(new (std::nothrow) uint8_t[bytes]);
    if (!m_pixels)
        return nullptr;
    m_image = {width, height, width, m_pixels.get()};
    if (!PTzDrawCharToBitmap(&m_image, font, m_code)) {
        m_pixels.reset();
        return nullptr;
    }
    return &m_image;
}

void ITzTextCharacter::Release()
{
    if (m_list)
        m_list->ReleaseItem(this);
}

ITzTextCharacterList::~ITzTextCharacterList() = default;

PTzReferenceBase* ITzTextCharacterList::NewItem()
{
    return new (std::nothrow) ITzTextCharacter(this);
}

ITzTextCharacter* ITzTextCharacterList::GetCharacter(ITzTextFont* font, uint16_t code)
{
    if (!font)
        return nullptr;
    // Found through a key first: making a candidate measures the character.
    const _tagITzTEXTGLYPHKEY build = {font, code};
    const ITzTextCharacter key(nullptr, build);
    const PTzReferenceBase* keyItem = &key;
    uint32_t index = 0;
    if (FindItemIndex(&keyItem, &index))
        return static_cast<ITzTextCharacter*>(CreateItemByIndex(index));
    return static_cast<ITzTextCharacter*>(CreateItem(&build));
}
