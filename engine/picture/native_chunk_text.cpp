// 'ttft', 'ttex', 'ttif' and 'tdta': a picture's font table and its text layers' text,
// written field by field and little-endian; a load reads each layer's characters through
// the fonts of the file's own table and lays its rows out once.
#include "engine/picture/native_chunk_text.h"

#include <algorithm>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer.h"
#include "engine/picture/native_chunk_picture.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_font.h"
#include "engine/picture/text_manager.h"
#include "engine/picture/text_row_builder.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

namespace {

constexpr size_t kNameUnits = 32;

void EncodeFont(const _tagPTzFONTDATAINFO& font, uint8_t* out)
{
    for (size_t i = 0; i < kNameUnits; ++i)
        PTzWriteLE16(out + 2 * i, uint16_t(font.faceName[i]));
    PTzWriteLE16(out + 64, uint16_t(font.height));
    out[66] = font.italic;
    out[67] = font.underline;
    PTzWriteLE16(out + 68, font.weight);
}

_tagPTzFONTDATAINFO DecodeFont(const uint8_t* in)
{
    _tagPTzFONTDATAINFO font{};
    for (size_t i = 0; i < kNameUnits; ++i)
        font.faceName[i] = PTzChar(PTzReadLE16(in + 2 * i));
    font.height = int16_t(PTzReadLE16(in + 64));
    font.italic = in[66];
    font.underline = in[67];
    font.weight = PTzReadLE16(in + 68);
    return font;
}

uint32_t EncodeColour(const _tagPTzCOLOR& colour)
{
    uint8_t red = 0, green = 0, blue = 0;
    if (colour.mode >= PTzCOLORMODE_RGB && colour.mode <= PTzCOLORMODE_ARGB)
        PTzColorGetRGB(&colour, &red, &green, &blue);
    return uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

_tagPTzCOLOR DecodeColour(uint32_t value)
{
    return {PTzCOLORMODE_RGB, 0, {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)}};
}

}  // namespace

ITzDWKTextTable::ITzDWKTextTable(ITzDWKPicture* owner) : ITzDWKBase(kTagTextTable), m_owner(owner) {}

ITzDWKTextTable::ITzDWKTextTable(ITzTextFontList& fonts) : ITzDWKBase(kTagTextTable)
{
    for (uint32_t i = 0; i < fonts.GetItemCount(); ++i)
        if (ITzTextFont* font = fonts.FontAt(i))
            m_records.push_back(font->GetInfo());
}

uint64_t ITzDWKTextTable::ComputeSize()
{
    return m_size = 4 + kRecordSize * m_records.size();
}

int ITzDWKTextTable::WriteStep(ChunkSink& sink)
{
    std::vector<uint8_t> bytes(m_size);
    PTzWriteLE32(bytes.data(), uint32_t(m_records.size()));
    for (size_t i = 0; i < m_records.size(); ++i)
        EncodeFont(m_records[i], bytes.data() + 4 + i * kRecordSize);
    return PutPayload(sink, bytes.data());
}

int ITzDWKTextTable::BeginRead(ChunkSource& source, uint64_t size)
{
    m_size = size;
    uint8_t count[4];
    if (size < sizeof count)
        return source.Refuse(FTzERR_BAD_DATA);
    if (!source.Read(count, sizeof count))
        return 0;
    const uint64_t records = PTzReadLE32(count);
    if (records * kRecordSize > size - sizeof count)
        return source.Refuse(FTzERR_BAD_DATA);
    for (uint64_t i = 0; i < records; ++i) {
        uint8_t record[kRecordSize];
        if (!source.Read(record, sizeof record))
            return 0;
        if (!m_owner->AddLoadFont(DecodeFont(record)))
            return source.Refuse(PTzERR_OUT_OF_MEMORY);
    }
    if (!source.Skip(size - sizeof count - records * kRecordSize))
        return 0;
    m_done = size;
    return 1;
}

int ITzDWKTextTable::HasChildren() const
{
    return 0;
}

ITzDWKLayerDataTextInfo::ITzDWKLayerDataTextInfo() : ITzDWKBase(kTagTextInfo) {}

ITzDWKLayerDataTextInfo::ITzDWKLayerDataTextInfo(const ITzLayerText& layer) : ITzDWKBase(kTagTextInfo)
{
    PTzWriteLE16(m_bytes, uint16_t(layer.GetAlignment()));
    PTzWriteLE16(m_bytes + 2, layer.GetRowSpacing());
    PTzWriteLE32(m_bytes + 4, uint32_t(layer.GetStartPoint().x));
    PTzWriteLE32(m_bytes + 8, uint32_t(layer.GetStartPoint().y));
}

uint64_t ITzDWKLayerDataTextInfo::ComputeSize()
{
    return m_size = kSize;
}

int ITzDWKLayerDataTextInfo::WriteStep(ChunkSink& sink)
{
    return PutPayload(sink, m_bytes);
}

int ITzDWKLayerDataTextInfo::BeginRead(ChunkSource& source, uint64_t size)
{
    return ReadPayload(source, size, kSize, m_bytes);
}

int ITzDWKLayerDataTextInfo::HasChildren() const
{
    return 0;
}

uint16_t ITzDWKLayerDataTextInfo::GetAlignment() const
{
    return PTzReadLE16(m_bytes);
}

uint16_t ITzDWKLayerDataTextInfo::GetRowSpacing() const
{
    return PTzReadLE16(m_bytes + 2);
}

PTzPOINT ITzDWKLayerDataTextInfo::GetStartPoint() const
{
    return {int32_t(PTzReadLE32(m_bytes + 4)), int32_t(PTzReadLE32(m_bytes + 8))};
}

ITzDWKLayerDataTextData::ITzDWKLayerDataTextData(ITzDWKLayerDataText* owner)
    : ITzDWKBase(kTagTextData), m_owner(owner)
{
}

ITzDWKLayerDataTextData::ITzDWKLayerDataTextData(ITzLayerText& layer, ITzTextFontList* fonts)
    : ITzDWKBase(kTagTextData), m_layer(&layer), m_fonts(fonts)
{
}

uint64_t ITzDWKLayerDataTextData::ComputeSize()
{
    return m_size = uint64_t(m_layer->GetCharacterCount()) * kRecordSize;
}

int ITzDWKLayerDataTextData::WriteStep(ChunkSink& sink)
{
    const uint64_t left = (m_size - m_done) / kRecordSize;
    if (left == 0)
        return 0;
    // The sizes already written were planned from the text as it was.
    if (m_layer->GetCharacterCount() != m_size / kRecordSize)
        return sink.Refuse();
    const uint32_t run = uint32_t(std::min<uint64_t>(left, kRun));
    uint8_t bytes[kRun * kRecordSize];
    uint32_t written = 0;
    uint32_t position = m_next;
    for (uint32_t r = 0, start = 0; r < m_layer->GetRowCount() && written < run; ++r) {
        ITzTextRow& row = *m_layer->GetRow(r);
        const uint32_t count = row.GetCharacterCount();
        if (position >= start + count) {
            start += count;
            continue;
        }
        const ITzTextRowEntries entries(row);
        for (uint32_t i = position - start; i < count && written < run; ++i, ++position, ++written) {
            const _tagITzTEXTCHARENTRY& entry = entries[i];
            uint32_t index = 0;
            if (!m_fonts || !m_fonts->IndexOf(entry.glyph->GetFont(), &index))
                index = 0;
            uint8_t* out = bytes + size_t(written) * kRecordSize;
            PTzWriteLE32(out, index);
            PTzWriteLE32(out + 4, EncodeColour(entry.colour));
            PTzWriteLE16(out + 8, entry.glyph->GetCode());
        }
        start += count;
    }
    if (!sink.Put(bytes, size_t(run) * kRecordSize))
        return 0;
    m_next += run;
    m_done += uint64_t(run) * kRecordSize;
    return m_done < m_size ? 1 : 0;
}

int ITzDWKLayerDataTextData::BeginRead(ChunkSource& source, uint64_t size)
{
    m_size = size;
    return size % kRecordSize == 0 ? 1 : source.Refuse(FTzERR_BAD_DATA);
}

int ITzDWKLayerDataTextData::ReadStep(ChunkSource& source)
{
    if (m_done == m_size)
        return 0;
    const uint32_t run = uint32_t(std::min<uint64_t>((m_size - m_done) / kRecordSize, kRun));
    uint8_t bytes[kRun * kRecordSize];
    if (!source.Read(bytes, uint64_t(run) * kRecordSize))
        return 0;
    for (uint32_t i = 0; i < run; ++i) {
        const uint8_t* in = bytes + size_t(i) * kRecordSize;
        if (!m_owner->AddCharacter(source, PTzReadLE32(in), PTzReadLE32(in + 4), PTzReadLE16(in + 8)))
            return 0;
    }
    m_done += uint64_t(run) * kRecordSize;
    return m_done < m_size ? 1 : 0;
}

int ITzDWKLayerDataTextData::HasChildren() const
{
    return 0;
}

ITzDWKLayerDataText::ITzDWKLayerDataText(ITzDWKLayer* owner) : ITzDWKLayerDataBase(kTagText, owner) {}

ITzDWKLayerDataText::ITzDWKLayerDataText(ITzLayerText& layer, ITzTextFontList* fonts)
    : ITzDWKLayerDataBase(kTagText, nullptr)
{
    AddChild(std::make_unique<ITzDWKLayerDataTextInfo>(layer));
    AddChild(std::make_unique<ITzDWKLayerDataTextData>(layer, fonts));
}

ITzDWKLayerDataText::~ITzDWKLayerDataText() = default;

int ITzDWKLayerDataText::WriteStep(ChunkSink& sink)
{
    while (ITzDWKBase::WriteStep(sink)) {
    }
    return 0;
}

ITzDWKChild ITzDWKLayerDataText::MakeChild(uint32_t tag)
{
    switch (tag) {
    case kTagTextInfo:
        return m_layer ? nullptr : m_childRoom.Make<ITzDWKLayerDataTextInfo>();
    case kTagTextData:
        return m_text ? m_childRoom.Make<ITzDWKLayerDataTextData>(this) : nullptr;
    default:
        return nullptr;
    }
}

int ITzDWKLayerDataText::ChildCompleted(ChunkSource& source, ITzDWKBase* child)
{
    if (child->GetTag() == kTagTextInfo)
        return MakeLayer(source, static_cast<const ITzDWKLayerDataTextInfo&>(*child));
    return 1;
}

int ITzDWKLayerDataText::MakeLayer(ChunkSource& source, const ITzDWKLayerDataTextInfo& info)
{
    ITzPicture* picture = m_owner->GetPictureChunk()->GetPicture();
    ITzTextManager* manager = picture ? picture->GetTextManager() : nullptr;
    const PTzPOINT start = info.GetStartPoint();
    std::unique_ptr<ITzLayerText, ITzLayerDestroyer> layer(manager ? new (std::nothrow) ITzLayerText(manager, &start)
                                                                   : nullptr);
    m_built.reset(new (std::nothrow) ITzTextRowBuilder(info.GetRowSpacing()));
    if (!layer || !m_built)
        return source.Refuse(PTzERR_OUT_OF_MEMORY);
    m_owner->ApplyTo(*layer);
    layer->SetAlignment(info.GetAlignment());
    layer->SetRowSpacing(info.GetRowSpacing());
    m_text = layer.get();
    m_layer.reset(layer.release());
    return 1;
}

bool ITzDWKLayerDataText::AddCharacter(ChunkSource& source, uint32_t fontIndex, uint32_t colour, uint16_t code)
{
    ITzTextFont* font = m_owner->GetPictureChunk()->GetLoadFont(fontIndex);
    ITzTextCharacter* glyph = font ? m_text->GetTextManager()->GetCharacter(font, code) : nullptr;
    if (!glyph)
        return true;
    const int added = m_built->Add({DecodeColour(colour), glyph});
    return added == 0 ? true : source.Fail(added);
}

int ITzDWKLayerDataText::EndRead(ChunkSource& source)
{
    if (!ITzDWKBase::EndRead(source))
        return 0;
    if (!m_text)
        return 1;  // no 'ttif': no layer, the place stays for a later data chunk
    // Placed once its width is known, so that a right or centred layer ends at its start.
    if (const int loaded = m_text->LoadText(*m_built))
        return source.Refuse(loaded);
    m_complete = true;
    return 1;
}
