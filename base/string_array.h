// PTzStringArray: one growable, NUL-terminated UTF-16 string whose block is sized in
// whole granules, so that small edits rarely reallocate.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "corvane_types.h"

class CORVANE_API PTzStringArray {
public:
    // The block grows and shrinks in granules of 2^granuleShift bytes.
    explicit PTzStringArray(uint8_t granuleShift);
    ~PTzStringArray();
    PTzStringArray(const PTzStringArray&) = delete;
    PTzStringArray& operator=(const PTzStringArray&) = delete;

    // Inserts the first count characters of text (fewer when text ends before) at index,
    // or at the end when index lies beyond it: 1, or 0 when text is null, the size
    // overflows or memory failed. Inserting nothing gives 1.
    int InsertString(uint32_t index, const PTzChar* text, uint32_t count);

    // Removes count characters at index (the end when index lies beyond it) and, when out
    // is not null, copies them there terminated; outChars is out's size in characters.
    // 0 (with -1 stored, nothing removed) when count is 0, more than the characters after
    // index, or too many for out. out is terminated on every return when outChars >= 1.
    int RemoveString(uint32_t index, PTzChar* out, uint32_t count, uint32_t outChars);

    // The text, or null while it is empty.
    const PTzChar* GetString() const { return m_text; }

private:
    uint64_t granulesFor(uint64_t length) const;
    PTzChar* newBlock(uint64_t granules) const;

    PTzChar* m_text = nullptr;  // a point block, freed whenever the text becomes empty
    uint32_t m_length = 0;
    uint32_t m_granules = 0;
    uint8_t m_granuleShift;
};
