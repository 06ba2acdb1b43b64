// A row of text: its character entries, their glyph references and the row's metrics.
#include "engine/picture/text_row.h"

#include <algorithm>
#include <utility>

#include "base/error_codes.h"
#include "engine/picture/text_font.h"

namespace {

constexpr uint8_t kChunkShift = 3;  // the entries grow 8 at a time

}  // namespace

ITzTextRow::ITzTextRow(ITzLayerText* owner)
    : m_characters(sizeof(_tagITzTEXTCHARENTRY), kChunkShift), m_owner(owner)
{
}

ITzTextRow::ITzTextRow(ITzTextRow& source, ITzLayerText* owner) : ITzTextRow(owner)
{
    const ITzTextRowEntries entries(source);
    if (entries.size() > 0 && m_characters.InsertItemsByIndex(0, entries.size(), entries.begin(), 0) != 0)
        return;  // an empty row when memory is short
    for (const _tagITzTEXTCHARENTRY& entry : entries)
        entry.glyph->AddReference();
    m_ascent = source.m_ascent;
    m_descent = source.m_descent;
    m_width = source.m_width;
}

ITzTextRow::~ITzTextRow()
{
    const ITzTextRowEntries entries(*this);
    for (const _tagITzTEXTCHARENTRY& entry : entries)
        entry.glyph->Release();
}

int ITzTextRow::AppendCharacter(const _tagITzTEXTCHARENTRY& entry)
{
    return InsertCharacters(GetCharacterCount(), &entry, 1);
}

int ITzTextRow::InsertCharacter(uint32_t position, const _tagITzTEXTCHARENTRY& entry)
{
    return InsertCharacters(position, &entry, 1);
}

int ITzTextRow::InsertCharacters(uint32_t position, const _tagITzTEXTCHARENTRY* entries, uint32_t count)
{
    if (count == 0)
        return 0;
    return m_characters.InsertItemsByIndex(std::min(position, GetCharacterCount()), count, entries, 0);
}

int ITzTextRow::RemoveCharacter(uint32_t position, _tagITzTEXTCHARENTRY* out)
{
    return RemoveCharacters(position, 1, out);
}

int ITzTextRow::RemoveCharacters(uint32_t position, uint32_t count, _tagITzTEXTCHARENTRY* out)
{
    if (count == 0)
        return 0;
    if (!out || position >= GetCharacterCount() || count > GetCharacterCount() - position)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    return m_characters.RemoveItemsByIndex(position, count, out, 0);
}

int ITzTextRow::MoveAllTo(ITzTextRow& target, uint32_t position)
{
    const uint32_t count = GetCharacterCount();
    if (count == 0)
        return 0;
    int result = 0;
    {
        const ITzTextRowEntries entries(*this);
        result = target.InsertCharacters(position, entries.begin(), count);
    }
    // The references went along: the entries leave this row without being released.
    if (result == 0)
        m_characters.RemoveItemsByIndex(0, count, nullptr, 0);
    return result;
}

bool ITzTextRow::GetEntry(uint32_t index, _tagITzTEXTCHARENTRY* out)
{
    return index < GetCharacterCount() && m_characters.GetItemByIndex(index, out, 0) == 0;
}

bool ITzTextRow::SwapEntry(uint32_t index, _tagITzTEXTCHARENTRY* entry)
{
    if (!entry || index >= GetCharacterCount())
        return false;
    const ITzTextRowEntries entries(*this);
    std::swap(entries[index], *entry);
    return true;
}

bool ITzTextRow::EndsWithBreak()
{
    const ITzTextRowEntries entries(*this);
    return entries.size() > 0 && entries[entries.size() - 1].glyph->GetCode() == ITzTEXT_ROW_BREAK;
}

int64_t ITzTextRow::GetXOffset(uint32_t position)
{
    const ITzTextRowEntries entries(*this);
    int64_t x = 0;
    for (uint32_t i = 0; i < std::min(position, entries.size()); ++i)
        x += entries[i].glyph->GetAdvance();
    return x;
}

uint32_t ITzTextRow::GetCharIndexFromX(int64_t x)
{
    const ITzTextRowEntries entries(*this);
    int64_t start = 0;
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const int32_t advance = entries[i].glyph->GetAdvance();
        // Reaching half the character puts the position behind it.
        if (x < start + advance / 2 + (advance & 1))
            return i;
        start += advance;
    }
    return entries.size();
}

int32_t ITzTextRow::GetLeftOverhang()
{
    const ITzTextRowEntries entries(*this);
    int32_t overhang = 0;
    for (const _tagITzTEXTCHARENTRY& entry : entries)
        overhang = std::min(overhang, entry.glyph->GetA());
    return overhang;
}

int64_t ITzTextRow::MeasureWidth()
{
    const ITzTextRowEntries entries(*this);
    int64_t x = 0;
    int64_t width = 0;
    for (const _tagITzTEXTCHARENTRY& entry : entries) {
        const ITzTextCharacter& glyph = *entry.glyph;
        width = std::max(width, x + glyph.GetAdvance() - glyph.GetC());
        x += glyph.GetAdvance();
    }
    return width;
}

uint32_t ITzTextRow::UpdateMetrics()
{
    int32_t ascent = 0;
    int32_t descent = 0;
    {
        const ITzTextRowEntries entries(*this);
        for (const _tagITzTEXTCHARENTRY& entry : entries) {
            ITzTextFont* font = entry.glyph->GetFont();
            ascent = std::max(ascent, font->GetAscent());
            descent = std::max(descent, font->GetDescent());
        }
    }
    const int32_t width = PTzSaturate32(MeasureWidth());
    uint32_t changed = 0;
    if (width != m_width)
        changed |= ITzTEXTROW_WIDTH;
    if (ascent != m_ascent || descent != m_descent)
        changed |= ITzTEXTROW_HEIGHT;
    m_ascent = ascent;
    m_descent = descent;
    m_width = width;
    return changed;
}
