// ITzTextRow: one row of a text layer's text, its characters (each a colour and a
// counted reference to a shared glyph) and the row's metrics; also the holder of the
// characters an edit takes out, which undo records keep.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/buffer_list.h"
#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/picture/text_character.h"
#include "engine/pixels/bitmap.h"

class ITzLayerText;

// A character of a row: its colour and its glyph, one counted reference held by the row.
struct _tagITzTEXTCHARENTRY {
    _tagPTzCOLOR colour;
    ITzTextCharacter* glyph;
};

// What UpdateMetrics found changed.
enum ITzTextRowChange : uint32_t {
    ITzTEXTROW_WIDTH = 1,
    ITzTEXTROW_HEIGHT = 2,  // ascent or descent
};

class LUMATRA_API ITzTextRow {
public:
    // An empty row of the layer (null: a row an undo record keeps).
    explicit ITzTextRow(ITzLayerText* owner = nullptr);
    // The same characters with a reference of their own to every glyph, and the metrics.
    ITzTextRow(ITzTextRow& source, ITzLayerText* owner);
    // Gives every glyph reference back.
    ~ITzTextRow();
    ITzTextRow(const ITzTextRow&) = delete;
    ITzTextRow& operator=(const ITzTextRow&) = delete;

    // The row takes the entry's reference over (on failure it stays the caller's): 0, or
    // the list's error. A position past the count appends.
    int AppendCharacter(const _tagITzTEXTCHARENTRY& entry);
    int InsertCharacter(uint32_t position, const _tagITzTEXTCHARENTRY& entry);
    int InsertCharacters(uint32_t position, const _tagITzTEXTCHARENTRY* entries, uint32_t count);
    // Hands the entry, with its reference, to `out`: 0, or the list's error.
    int RemoveCharacter(uint32_t position, _tagITzTEXTCHARENTRY* out);
    int RemoveCharacters(uint32_t position, uint32_t count, _tagITzTEXTCHARENTRY* out);
    // Moves every character of the row to `target` at the position (emptying this row).
    int MoveAllTo(ITzTextRow& target, uint32_t position);
    uint32_t GetCharacterCount() const { return m_characters.GetItemCount(); }
    // Copies of entries (the row keeps the references); false for an index past the count.
    bool GetEntry(uint32_t index, _tagITzTEXTCHARENTRY* out);
    // Exchanges the entry at the index with *entry, references and all: false for an
    // index past the count.
    bool SwapEntry(uint32_t index, _tagITzTEXTCHARENTRY* entry);
    // Whether the row ends with the row break.
    bool EndsWithBreak();

    // The sum of the advances before the position.
    int64_t GetXOffset(uint32_t position);
    // The position a click at x gives: a character counts once x reaches half its advance.
    uint32_t GetCharIndexFromX(int64_t x);
    int32_t GetAscent() const { return m_ascent; }
    int32_t GetDescent() const { return m_descent; }
    int32_t GetHeight() const { return m_ascent + m_descent; }
    int32_t GetWidth() const { return m_width; }
    // The furthest a glyph's ink reaches left of its place (0 or negative).
    int32_t GetLeftOverhang();
    // Recomputes ascent, descent and width from the characters; the ITzTextRowChange
    // bits of what changed. Widths beyond 32 bits saturate.
    uint32_t UpdateMetrics();
    // The row's full extent: the widest ink reach, unsaturated, for the size checks.
    int64_t MeasureWidth();

    // Draws the row with its top-left corner at (x, y) of the ARGB channel bitmap, only
    // inside `clip` (bitmap coordinates, cut to the bitmap).
    void Draw(_tagITzCHANNELBITMAP* bitmap, const PTzRECT& clip, int64_t x, int64_t y);

    ITzLayerText* GetOwner() const { return m_owner; }
    void SetOwner(ITzLayerText* owner) { m_owner = owner; }

private:
    friend class ITzTextRowEntries;

    int32_t m_ascent = 0;
    int32_t m_descent = 0;
    int32_t m_width = 0;
    PTzBufferList m_characters;
    ITzLayerText* m_owner;
};

// The row's entries locked in place for reading and writing over one scope; the row
// must not change its count meanwhile.
class ITzTextRowEntries {
public:
    explicit ITzTextRowEntries(ITzTextRow& row)
        : m_list(row.m_characters), m_entries(static_cast<_tagITzTEXTCHARENTRY*>(m_list.LockBuffer())),
          m_count(m_entries ? m_list.GetItemCount() : 0)
    {
    }
    ~ITzTextRowEntries()
    {
        if (m_entries)
            m_list.UnlockBuffer();
    }
    ITzTextRowEntries(const ITzTextRowEntries&) = delete;
    ITzTextRowEntries& operator=(const ITzTextRowEntries&) = delete;

    uint32_t size() const { return m_count; }
    _tagITzTEXTCHARENTRY& operator[](uint32_t i) const { return m_entries[i]; }
    _tagITzTEXTCHARENTRY* begin() const { return m_entries; }
    _tagITzTEXTCHARENTRY* end() const { return m_entries + m_count; }

private:
    PTzBufferList& m_list;
    _tagITzTEXTCHARENTRY* m_entries;
    uint32_t m_count;
};
