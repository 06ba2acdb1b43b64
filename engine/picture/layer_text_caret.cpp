// Where the text layer's caret is and where it goes: hits of points on the rows, caret
// keys, the caret's place for the view, and the font and colour there for the tool panel.
#include <algorithm>

#include "base/string_utility.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/text_font.h"

int ITzLayerText::PointInText(const PTzPOINT* point)
{
    if (!point)
        return 0;
    for (uint32_t r = 0; r < m_rows.size(); ++r) {
        const PTzRECT rect = RowRect(r);
        if (PTzRectPointIn(&rect, point))
            return 1;
    }
    return 0;
}

uint32_t ITzLayerText::GetCharIndexFromPoint(const PTzPOINT* point)
{
    if (!point)
        return 0;
    // The row under the point, else the nearest one.
    uint32_t best = 0;
    int64_t bestDistance = INT64_MAX;
    int64_t top = 0;
    for (uint32_t r = 0; r < m_rows.size(); ++r) {
        const int64_t bottom = top + m_rows[r]->GetHeight();
        const int64_t distance = point->y < top ? top - point->y : point->y >= bottom ? point->y - bottom + 1 : 0;
        if (distance < bestDistance) {
            best = r;
            bestDistance = distance;
        }
        top = bottom + m_rowSpacing;
    }
    const uint32_t offset = std::min(m_rows[best]->GetCharIndexFromX(point->x), RowLastOffset(best));
    return RowStart(best) + offset;
}

int ITzLayerText::GetFlashCursorPicturePos(int32_t* x, int32_t* y, int32_t* height)
{
    if (!x || !y || !height || m_rows.empty())
        return 0;
    const Place place = Locate(m_caret);
    const PTzPOINT local = {PTzSaturate32(m_rows[place.row]->GetXOffset(place.offset)),
                            PTzSaturate32(RowTop(place.row))};
    PTzPOINT picture;
    LPointtoPPoint(&local, &picture);
    *x = picture.x;
    *y = picture.y;
    *height = m_rows[place.row]->GetHeight();
    return 1;
}

void ITzLayerText::DoDirectionKey(uint32_t direction, int extend)
{
    const uint32_t from = std::min(m_anchor, m_caret);
    const uint32_t to = std::max(m_anchor, m_caret);
    uint32_t caret = m_caret;
    switch (direction) {
    case ITzTEXTDIR_RIGHT:
        caret = !extend && from != to ? to : std::min(m_caret + 1, m_count);
        break;
    case ITzTEXTDIR_UP:
    case ITzTEXTDIR_DOWN: {
        const Place place = Locate(m_caret);
        const int64_t x = m_rows[place.row]->GetXOffset(place.offset);
        const bool up = direction == ITzTEXTDIR_UP;
        const uint32_t row = up ? (place.row == 0 ? 0 : place.row - 1)
                                : std::min<uint32_t>(place.row + 1, uint32_t(m_rows.size()) - 1);
        caret = RowStart(row) + std::min(m_rows[row]->GetCharIndexFromX(x), RowLastOffset(row));
        break;
    }
    case ITzTEXTDIR_ROW_START:
    case ITzTEXTDIR_ROW_END: {
        const Place place = Locate(m_caret);
        caret = RowStart(place.row) + (direction == ITzTEXTDIR_ROW_START ? 0 : RowLastOffset(place.row));
        break;
    }
    default:  // left
        caret = !extend && from != to ? from : m_caret > 0 ? m_caret - 1 : 0;
        break;
    }
    SetSelectRange(extend ? m_anchor : caret, caret);
}

int ITzLayerText::GetFontSettingInfo(_tagITzTEXTSETTING* setting)
{
    if (!setting || m_count == 0)
        return 0;
    uint32_t from = std::min(m_anchor, m_caret);
    uint32_t to = std::max(m_anchor, m_caret);
    if (from == to) {
        // The character typing continues: the one before the caret.
        from = m_caret > 0 ? m_caret - 1 : 0;
        to = from + 1;
    }
    _tagITzTEXTCHARENTRY first;
    if (!GetCharacter(from, &first))
        return 0;
    const _tagPTzFONTDATAINFO& font = first.glyph->GetFont()->GetInfo();
    uint8_t valid = ITzTEXTVALID_ALL;
    for (uint32_t position = from + 1; position < to; ++position) {
        _tagITzTEXTCHARENTRY entry;
        GetCharacter(position, &entry);
        const _tagPTzFONTDATAINFO& other = entry.glyph->GetFont()->GetInfo();
        if (PTzStringCompare(font.faceName, other.faceName) != 0)
            valid &= uint8_t(~ITzTEXTVALID_FACE);
        if (font.height != other.height)
            valid &= uint8_t(~ITzTEXTVALID_HEIGHT);
        if (font.italic != other.italic)
            valid &= uint8_t(~ITzTEXTVALID_ITALIC);
        if (font.weight != other.weight)
            valid &= uint8_t(~ITzTEXTVALID_WEIGHT);
        if (!PTzColorSame(&first.colour, &entry.colour))
            valid &= uint8_t(~ITzTEXTVALID_COLOR);
        if (font.underline != other.underline)
            valid &= uint8_t(~ITzTEXTVALID_UNDERLINE);
    }
    setting->font = font;
    setting->colour = first.colour;
    setting->valid = valid;
    return 1;
}
