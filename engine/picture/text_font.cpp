// The fonts of a picture's text and their sorted, shared list.
#include "engine/picture/text_font.h"

#include <new>

#include "base/string_utility.h"

namespace {

// Negative, 0 or positive as a is below, equal to or above b.
template <typename T>
signed char Order(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

}  // namespace

ITzTextFont::~ITzTextFont()
{
    if (m_font)
        PTzReleaseFont(m_font);
}

int ITzTextFont::SetBuildData(const void* data)
{
    return data ? PTzOrderFontInfo(static_cast<const _tagPTzFONTDATAINFO*>(data), &m_info) : 0;
}

signed char ITzTextFont::CompareTo(const PTzReferenceBase* other) const
{
    const _tagPTzFONTDATAINFO& a = m_info;
    const _tagPTzFONTDATAINFO& b = static_cast<const ITzTextFont*>(other)->m_info;
    if (const signed char order = Order(uint16_t(a.height), uint16_t(b.height)))
        return order;
    if (const signed char order = Order(b.italic, a.italic))  // set before unset
        return order;
    if (const signed char order = Order(a.weight, b.weight))
        return order;
    if (const signed char order = Order(a.underline, b.underline))
        return order;
    const int names = PTzStringCompare(a.faceName, b.faceName);
    return Order(names, 0);
}

bool ITzTextFont::Make()
{
    if (!m_tried) {
        m_tried = true;
        m_font = PTzCreateFont(&m_info);
        if (m_font)
            PTzFontYInfoByHFont(m_font, &m_ascent, &m_descent);
    }
    return m_font != nullptr;
}

_tagPTzFONT* ITzTextFont::GetFont()
{
    return Make() ? m_font : nullptr;
}

int32_t ITzTextFont::GetAscent()
{
    Make();
    return m_ascent;
}

int32_t ITzTextFont::GetDescent()
{
    Make();
    return m_descent;
}

ITzTextFontList::~ITzTextFontList() = default;

PTzReferenceBase* ITzTextFontList::NewItem()
{
    return new (std::nothrow) ITzTextFont();
}

ITzTextFont* ITzTextFontList::GetFont(const _tagPTzFONTDATAINFO* info)
{
    return info ? static_cast<ITzTextFont*>(CreateItem(info)) : nullptr;
}

bool ITzTextFontList::IndexOf(const ITzTextFont* font, uint32_t* index)
{
    const PTzReferenceBase* key = font;
    uint32_t found = 0;
    if (!font || !FindItemIndex(&key, &found) || FontAt(found) != font)
        return false;
    *index = found;
    return true;
}

ITzTextFont* ITzTextFontList::FontAt(uint32_t index)
{
    PTzReferenceBase* item = nullptr;
    if (index >= GetItemCount() || GetItemByIndex(index, &item, 0) != 0)
        return nullptr;
    return static_cast<ITzTextFont*>(item);
}
