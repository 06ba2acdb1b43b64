// ITzTextRowBuilder: the rows of a text read in one pass, as a native file's text is.
// Characters go into the row being built and each row break closes it; rows are
// measured as they close, so that a text laying out beyond 2^30 pixels is refused
// before the rest of it is read, and each row is stored in one piece.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/lumatra_export.h"
#include "engine/picture/text_row.h"

class LUMATRA_API ITzTextRowBuilder {
public:
    // Rows that will lie `rowSpacing` pixels apart.
    explicit ITzTextRowBuilder(uint16_t rowSpacing);
    // Gives back the references of every character not handed over.
    ~ITzTextRowBuilder();
    ITzTextRowBuilder(const ITzTextRowBuilder&) = delete;
    ITzTextRowBuilder& operator=(const ITzTextRowBuilder&) = delete;

    // Takes the entry's reference over, also when it fails: 0; FTzERR_BAD_DATA when the
    // text grows wider or taller than 2^30 pixels; PTzERR_OUT_OF_MEMORY. After a failure
    // every call fails the same way.
    int Add(const _tagITzTEXTCHARENTRY& entry);
    // The rows, the last one closed, for the layer that owns them from then on; none
    // after a failure (GetError tells).
    std::vector<std::unique_ptr<ITzTextRow>> TakeRows(ITzLayerText* owner);
    uint32_t GetCharacterCount() const { return m_count; }
    // The first failure, 0 while there was none.
    int GetError() const { return m_error; }

private:
    // Closes the row being built: its entries stored in one piece and measured.
    int CloseRow();

    uint16_t m_rowSpacing;
    std::vector<_tagITzTEXTCHARENTRY> m_open;  // the row being built
    std::vector<std::unique_ptr<ITzTextRow>> m_rows;
    int64_t m_height = 0;  // of the closed rows with the spacing after each
    uint32_t m_count = 0;
    int m_error = 0;
};
