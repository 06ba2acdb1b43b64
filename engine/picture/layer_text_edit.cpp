// The text layer's text: positions over the rows, moving characters out of the text
// and back in (joining and splitting rows at the row breaks), the layout that follows,
// and the edits the text tool makes.
#include <algorithm>
#include <vector>

#include "base/error_codes.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/text_font.h"
#include "engine/picture/text_manager.h"
#include "engine/picture/text_row_builder.h"

namespace {

using Entries = std::vector<_tagITzTEXTCHARENTRY>;

// The entries of [from, from + count) of a row, in order (the row keeps the references).
Entries CopyEntries(ITzTextRow& row, uint32_t from, uint32_t count)
{
    const ITzTextRowEntries entries(row);
    const uint32_t end = std::min(entries.size(), from + count);
    return Entries(entries.begin() + std::min(from, end), entries.begin() + end);
}

// Takes [from, from + count) out of a row whose references went elsewhere.
void Forget(ITzTextRow& row, uint32_t from, uint32_t count)
{
    if (count == 0)
        return;
    Entries scratch(count);
    row.RemoveCharacters(from, count, scratch.data());
}

bool IsBreak(const _tagITzTEXTCHARENTRY& entry)
{
    return entry.glyph->GetCode() == ITzTEXT_ROW_BREAK;
}

}  // namespace

ITzLayerText::Place ITzLayerText::Locate(uint32_t position) const
{
    for (uint32_t r = 0; r + 1 < m_rows.size(); ++r) {
        const uint32_t count = m_rows[r]->GetCharacterCount();
        if (position < count)
            return {r, position};
        position -= count;
    }
    const uint32_t last = uint32_t(m_rows.size()) - 1;
    return {last, std::min(position, m_rows[last]->GetCharacterCount())};
}

uint32_t ITzLayerText::RowStart(uint32_t row) const
{
    uint32_t start = 0;
    for (uint32_t r = 0; r < row && r < m_rows.size(); ++r)
        start += m_rows[r]->GetCharacterCount();
    return start;
}

uint32_t ITzLayerText::RowLastOffset(uint32_t row) const
{
    ITzTextRow& text = *m_rows[row];
    const uint32_t count = text.GetCharacterCount();
    return count > 0 && text.EndsWithBreak() ? count - 1 : count;
}

bool ITzLayerText::GetCharacter(uint32_t position, _tagITzTEXTCHARENTRY* out) const
{
    if (!out || position >= m_count)
        return false;
    const Place place = Locate(position);
    return m_rows[place.row]->GetEntry(place.offset, out);
}

int ITzLayerText::TakeOut(uint32_t from, uint32_t to, ITzTextRow& out)
{
    const uint32_t lo = std::min({from, to, m_count});
    const uint32_t hi = std::min(std::max(from, to), m_count);
    if (lo == hi)
        return 0;
    const Place first = Locate(lo);
    const Place last = Locate(hi);
    // Gathered before anything moves, so that a refusal leaves the text as it was.
    Entries taken;
    for (uint32_t r = first.row; r <= last.row; ++r) {
        const uint32_t begin = r == first.row ? first.offset : 0;
        const uint32_t end = r == last.row ? last.offset : m_rows[r]->GetCharacterCount();
        const Entries part = CopyEntries(*m_rows[r], begin, end - begin);
        taken.insert(taken.end(), part.begin(), part.end());
    }
    if (out.InsertCharacters(out.GetCharacterCount(), taken.data(), uint32_t(taken.size())) != 0)
        return 0;
    ITzTextRow& row = *m_rows[first.row];
    // Ink of what went may have reached left of its place.
    const int64_t x = row.GetXOffset(first.offset) + out.GetLeftOverhang();
    if (first.row == last.row) {
        Forget(row, first.offset, last.offset - first.offset);
    } else {
        // The first row keeps its head and takes the last row's tail; the rows between go.
        Forget(row, first.offset, row.GetCharacterCount() - first.offset);
        ITzTextRow& tail = *m_rows[last.row];
        Forget(tail, 0, last.offset);
        for (uint32_t r = first.row + 1; r < last.row; ++r)
            Forget(*m_rows[r], 0, m_rows[r]->GetCharacterCount());
        tail.MoveAllTo(row, row.GetCharacterCount());
        m_rows.erase(m_rows.begin() + first.row + 1, m_rows.begin() + last.row + 1);
    }
    m_count -= hi - lo;
    Relayout(first.row, first.row, x, first.row != last.row);
    return 1;
}

int ITzLayerText::PutIn(uint32_t position, ITzTextRow& in)
{
    const Entries entries = CopyEntries(in, 0, in.GetCharacterCount());
    if (entries.empty())
        return 0;
    const Place place = Locate(position);
    ITzTextRow& row = *m_rows[place.row];
    const int64_t x = row.GetXOffset(place.offset);
    const auto firstBreak = std::find_if(entries.begin(), entries.end(), IsBreak);
    if (firstBreak == entries.end()) {
        if (row.InsertCharacters(place.offset, entries.data(), uint32_t(entries.size())) != 0)
            return 0;
        Forget(in, 0, uint32_t(entries.size()));
        m_count += uint32_t(entries.size());
        Relayout(place.row, place.row, x, false);
        return 1;
    }
    // Rows for every part after a break, the row's own tail going behind the last part.
    std::vector<std::unique_ptr<ITzTextRow>> made;
    auto partStart = firstBreak + 1;
    while (true) {
        const auto partEnd = std::find_if(partStart, entries.end(), IsBreak);
        const auto stop = partEnd == entries.end() ? partEnd : partEnd + 1;
        made.push_back(std::make_unique<ITzTextRow>(this));
        const _tagITzTEXTCHARENTRY* part = entries.data() + (partStart - entries.begin());
        if (made.back()->InsertCharacters(0, part, uint32_t(stop - partStart)) != 0) {
            for (std::unique_ptr<ITzTextRow>& part : made)
                Forget(*part, 0, part->GetCharacterCount());
            return 0;
        }
        if (stop == entries.end())
            break;
        partStart = stop;
    }
    const uint32_t head = uint32_t(firstBreak - entries.begin()) + 1;
    const Entries tail = CopyEntries(row, place.offset, row.GetCharacterCount() - place.offset);
    if (made.back()->InsertCharacters(made.back()->GetCharacterCount(), tail.data(), uint32_t(tail.size())) != 0 ||
        row.InsertCharacters(row.GetCharacterCount(), entries.data(), head) != 0) {
        for (std::unique_ptr<ITzTextRow>& part : made)
            Forget(*part, 0, part->GetCharacterCount());
        return 0;
    }
    // The tail went to the last new row: the head now follows the row's own head.
    Forget(row, place.offset, uint32_t(tail.size()));
    const uint32_t added = uint32_t(made.size());
    m_rows.insert(m_rows.begin() + place.row + 1, std::make_move_iterator(made.begin()),
                  std::make_move_iterator(made.end()));
    Forget(in, 0, uint32_t(entries.size()));
    m_count += uint32_t(entries.size());
    Relayout(place.row, place.row + added, x, true);
    return 1;
}

void ITzLayerText::Relayout(uint32_t first, uint32_t last, int64_t x, bool rowsChanged)
{
    const PTzRECT oldBounds = {0, 0, m_size.cx, m_size.cy};
    const int32_t oldRowWidth = m_rows[first]->GetWidth();
    uint32_t changed = 0;
    for (uint32_t r = first; r <= last && r < m_rows.size(); ++r)
        changed |= m_rows[r]->UpdateMetrics();
    int64_t width = 0;
    int64_t height = 0;
    for (const std::unique_ptr<ITzTextRow>& row : m_rows) {
        width = std::max<int64_t>(width, row->GetWidth());
        height += row->GetHeight();
    }
    height += int64_t(m_rowSpacing) * int64_t(m_rows.size() - 1);
    // The size is the text's own, wherever the layer lies: cut against the coordinates'
    // end before the layer is placed at its start point, a right-aligned layer far to the
    // right would come back narrower from every save.
    m_size = {PTzSaturate32(width), PTzSaturate32(height)};
    ResizePreviewLayer();
    const int64_t top = RowTop(first);
    PTzRECT redraw;
    if (rowsChanged || first != last || (changed & ITzTEXTROW_HEIGHT)) {
        // Everything from the row down moved.
        redraw = {std::min(0, m_rows[first]->GetLeftOverhang()), PTzSaturate32(top),
                  std::max(oldBounds.right, m_size.cx), std::max(oldBounds.bottom, m_size.cy)};
    } else {
        // Only the row right of the change, and ink that reaches back over it.
        redraw = {PTzSaturate32(x + m_rows[first]->GetLeftOverhang()), PTzSaturate32(top),
                  std::max(oldRowWidth, m_rows[first]->GetWidth()),
                  PTzSaturate32(top + m_rows[first]->GetHeight())};
    }
    if (!PTzRectEmpty(&redraw))
        InvalidatePreviewRect(&redraw);
}

int ITzLayerText::LoadText(ITzTextRowBuilder& text)
{
    if (m_count != 0)
        return ITzERR_INVALID;
    std::vector<std::unique_ptr<ITzTextRow>> rows = text.TakeRows(this);
    if (rows.empty())
        return text.GetError() != 0 ? text.GetError() : ITzERR_INVALID;
    m_count = text.GetCharacterCount();
    m_rows = std::move(rows);
    Relayout(0, uint32_t(m_rows.size()) - 1, 0, true);
    PlaceAtStart();
    // The same text makes the same image whatever bounds and moves came before.
    RenewPreviewLayer();
    return 0;
}

int ITzLayerText::DoChar(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font, uint16_t character,
                         const _tagPTzCOLOR* colour)
{
    if (!info || !info->row || !font || !colour || !m_manager)
        return 0;
    ITzTextCharacter* glyph = m_manager->GetCharacter(font, character);
    if (!glyph)
        return 0;
    ITzTextRow single;
    if (single.AppendCharacter({*colour, glyph}) != 0) {
        glyph->Release();
        return 0;
    }
    if (info->row->GetCharacterCount() == 0)
        info->beforeStart = info->beforeEnd = m_caret;
    const uint32_t at = m_caret;
    if (!PutIn(at, single))
        return 0;  // the glyph goes with the single row
    info->afterStart = info->afterEnd = at + 1;
    SetSelectRange(at + 1, at + 1);
    return 1;
}

int ITzLayerText::DeleteSelection(_tagITzTEXTUNDOINFO* info)
{
    if (!info || !info->row || m_anchor == m_caret)
        return 0;
    const uint32_t from = std::min(m_anchor, m_caret);
    const uint32_t to = std::max(m_anchor, m_caret);
    if (!TakeOut(from, to, *info->row))
        return 0;
    info->beforeStart = from;
    info->beforeEnd = to;
    info->afterStart = info->afterEnd = from;
    SetSelectRange(from, from);
    return 1;
}

int ITzLayerText::DoDelete(_tagITzTEXTUNDOINFO* info, int backward)
{
    if (!info || !info->row)
        return 0;
    if (m_anchor != m_caret)
        return DeleteSelection(info);
    const uint32_t at = m_caret;
    if (backward ? at == 0 : at >= m_count)
        return 0;
    const uint32_t other = backward ? at - 1 : at + 1;
    if (!TakeOut(at, other, *info->row))
        return 0;
    const uint32_t after = std::min(at, other);
    info->beforeStart = at;
    info->beforeEnd = other;
    info->afterStart = info->afterEnd = after;
    SetSelectRange(after, after);
    return 1;
}

bool ITzLayerText::SwapRange(uint32_t from, uint32_t to, ITzTextRow& row)
{
    bool changed = false;
    uint32_t index = 0;
    const Place first = Locate(from);
    const Place last = Locate(to);
    for (uint32_t r = first.row; r <= last.row; ++r) {
        const uint32_t begin = r == first.row ? first.offset : 0;
        const uint32_t end = r == last.row ? last.offset : m_rows[r]->GetCharacterCount();
        for (uint32_t offset = begin; offset < end; ++offset, ++index) {
            _tagITzTEXTCHARENTRY entry;
            if (!row.GetEntry(index, &entry))
                return changed;
            const _tagITzTEXTCHARENTRY given = entry;
            m_rows[r]->SwapEntry(offset, &entry);  // entry: the layer's old one
            changed = changed || given.glyph != entry.glyph || !PTzColorSame(&given.colour, &entry.colour);
            row.SwapEntry(index, &entry);
        }
    }
    return changed;
}

int ITzLayerText::ApplyFont(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font,
                            const _tagPTzCOLOR* colour, uint32_t mask)
{
    if (!info || !info->row || (!font && !colour) || !m_manager || m_anchor == m_caret)
        return 0;
    const uint32_t from = std::min(m_anchor, m_caret);
    const uint32_t to = std::max(m_anchor, m_caret);
    // The new entries go into the info's row first; one exchange then puts them in place.
    bool differs = false;
    for (uint32_t position = from; position < to; ++position) {
        _tagITzTEXTCHARENTRY entry;
        GetCharacter(position, &entry);
        _tagITzTEXTCHARENTRY made = entry;
        if (mask == ITzTEXTFONT_COLOR) {
            made.colour = *colour;
            entry.glyph->AddReference();
        } else {
            _tagPTzFONTDATAINFO changed = entry.glyph->GetFont()->GetInfo();
            if (mask & ITzTEXTFONT_NAME)
                std::copy(std::begin(font->faceName), std::end(font->faceName), changed.faceName);
            if (mask & ITzTEXTFONT_SIZE)
                changed.height = font->height;
            if (mask & ITzTEXTFONT_STYLE) {
                changed.italic = font->italic;
                changed.weight = font->weight;
            }
            if (mask & ITzTEXTFONT_UNDERLINE)
                changed.underline = font->underline;
            made.glyph = m_manager->GetCharacter(&changed, entry.glyph->GetCode());
            if (!made.glyph) {
                made.glyph = entry.glyph;  // a character whose font cannot be made keeps its own
                entry.glyph->AddReference();
            }
        }
        differs = differs || made.glyph != entry.glyph || !PTzColorSame(&made.colour, &entry.colour);
        if (info->row->AppendCharacter(made) != 0) {
            made.glyph->Release();
            differs = false;
            break;
        }
    }
    if (!differs || info->row->GetCharacterCount() != to - from) {
        // Nothing to change: the row gives its references back.
        const uint32_t count = info->row->GetCharacterCount();
        Entries made(count);
        info->row->RemoveCharacters(0, count, made.data());
        for (_tagITzTEXTCHARENTRY& entry : made)
            entry.glyph->Release();
        return 0;
    }
    info->beforeStart = info->afterStart = from;
    info->beforeEnd = info->afterEnd = to;
    return DoUndoFont(info);
}

int ITzLayerText::SetFontUnderLine(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font)
{
    return ApplyFont(info, font, nullptr, ITzTEXTFONT_UNDERLINE);
}

int ITzLayerText::SetFontSize(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font)
{
    return ApplyFont(info, font, nullptr, ITzTEXTFONT_SIZE);
}

int ITzLayerText::SetFontName(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font)
{
    return ApplyFont(info, font, nullptr, ITzTEXTFONT_NAME);
}

int ITzLayerText::SetFontStyle(_tagITzTEXTUNDOINFO* info, const _tagPTzFONTDATAINFO* font)
{
    return ApplyFont(info, font, nullptr, ITzTEXTFONT_STYLE);
}

int ITzLayerText::SetFontColor(_tagITzTEXTUNDOINFO* info, const _tagPTzCOLOR* colour)
{
    return ApplyFont(info, nullptr, colour, ITzTEXTFONT_COLOR);
}
