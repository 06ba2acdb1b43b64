// Building a long text's rows in one pass, each row measured as it closes.
#include "engine/picture/text_row_builder.h"

#include <new>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_io.h"

namespace {

constexpr int64_t kMaxExtent = lumatra::native::kMaxPictureSide;

}  // namespace

ITzTextRowBuilder::ITzTextRowBuilder(uint16_t rowSpacing) : m_rowSpacing(rowSpacing) {}

ITzTextRowBuilder::~ITzTextRowBuilder()
{
    for (const _tagITzTEXTCHARENTRY& entry : m_open)
        entry.glyph->Release();
}

int ITzTextRowBuilder::Add(const _tagITzTEXTCHARENTRY& entry)
{
    if (m_error == 0 && m_count == UINT32_MAX)
        m_error = FTzERR_BAD_DATA;
    if (m_error != 0) {
        entry.glyph->Release();
        return m_error;
    }
    try {
        m_open.push_back(entry);
    } catch (const std::bad_alloc&) {
        entry.glyph->Release();
        return m_error = PTzERR_OUT_OF_MEMORY;
    }
    ++m_count;
    return entry.glyph->GetCode() == ITzTEXT_ROW_BREAK ? CloseRow() : 0;
}

int ITzTextRowBuilder::CloseRow()
{
    std::unique_ptr<ITzTextRow> row(new (std::nothrow) ITzTextRow());
    if (!row || row->InsertCharacters(0, m_open.data(), uint32_t(m_open.size())) != 0)
        return m_error = PTzERR_OUT_OF_MEMORY;
    m_open.clear();
    row->UpdateMetrics();
    m_height += row->GetHeight();
    if (row->MeasureWidth() > kMaxExtent || m_height > kMaxExtent)
        m_error = FTzERR_BAD_DATA;
    try {
        m_rows.push_back(std::move(row));
    } catch (const std::bad_alloc&) {
        m_error = PTzERR_OUT_OF_MEMORY;
    }
    m_height += m_rowSpacing;
    return m_error;
}

std::vector<std::unique_ptr<ITzTextRow>> ITzTextRowBuilder::TakeRows(ITzLayerText* owner)
{
    if (m_error == 0)
        CloseRow();
    if (m_error != 0)
        return {};
    for (std::unique_ptr<ITzTextRow>& row : m_rows)
        row->SetOwner(owner);
    return std::move(m_rows);
}
