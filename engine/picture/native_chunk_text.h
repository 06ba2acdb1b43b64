// The text chunks of the native file: 'ttft', the picture's font table (70-byte font
// records in the order of its text font list), and 'ttex', a text layer's text, with
// 'ttif' (alignment, row spacing, start point) and 'tdta' (per character its font's
// index in the table, its colour as 0x00RRGGBB and its code, 10 bytes).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/font.h"
#include "engine/picture/native_chunk_layer_data.h"

class ITzDWKPicture;
class ITzLayerText;
class ITzTextFontList;
class ITzTextRowBuilder;

class LUMATRA_API ITzDWKTextTable : public ITzDWKBase {
public:
    static constexpr uint64_t kRecordSize = 70;

    // For a load: each record becomes a font of the picture chunk's load.
    explicit ITzDWKTextTable(ITzDWKPicture* owner);
    // For a save of the list's fonts in its order.
    explicit ITzDWKTextTable(ITzTextFontList& fonts);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // Refuses a count the chunk cannot hold (checked in 64 bits); bytes after the
    // records are skipped.
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

private:
    ITzDWKPicture* m_owner = nullptr;
    std::vector<_tagPTzFONTDATAINFO> m_records;
};

class LUMATRA_API ITzDWKLayerDataTextInfo : public ITzDWKBase {
public:
    static constexpr uint64_t kSize = 12;

    ITzDWKLayerDataTextInfo();
    explicit ITzDWKLayerDataTextInfo(const ITzLayerText& layer);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

    uint16_t GetAlignment() const;
    uint16_t GetRowSpacing() const;
    PTzPOINT GetStartPoint() const;

private:
    uint8_t m_bytes[kSize] = {};
};

class ITzDWKLayerDataText;

class LUMATRA_API ITzDWKLayerDataTextData : public ITzDWKBase {
public:
    static constexpr uint64_t kRecordSize = 10;
    // Characters a write or read step handles.
    static constexpr uint32_t kRun = 1000;

    // For a load into the text chunk's text.
    explicit ITzDWKLayerDataTextData(ITzDWKLayerDataText* owner);
    // For a save of the layer's characters, their fonts named by index in the list.
    ITzDWKLayerDataTextData(ITzLayerText& layer, ITzTextFontList* fonts);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // A size that is not a whole number of records fails the load.
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int ReadStep(lumatra::native::ChunkSource& source) override;
    int HasChildren() const override;

private:
    ITzDWKLayerDataText* m_owner = nullptr;
    ITzLayerText* m_layer = nullptr;
    ITzTextFontList* m_fonts = nullptr;
    uint32_t m_next = 0;  // the next character to write
};

class LUMATRA_API ITzDWKLayerDataText : public ITzDWKLayerDataBase {
public:
    // For a load: the layer is made when 'ttif' is read.
    explicit ITzDWKLayerDataText(ITzDWKLayer* owner);
    // For a save of the layer's text.
    ITzDWKLayerDataText(ITzLayerText& layer, ITzTextFontList* fonts);
    ~ITzDWKLayerDataText() override;

    // The header and both children in one step.
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // The characters read become the layer's text, laid out once: a text too large fails.
    int EndRead(lumatra::native::ChunkSource& source) override;
    int ChildCompleted(lumatra::native::ChunkSource& source, ITzDWKBase* child) override;
    ITzDWKChild MakeChild(uint32_t tag) override;

    // One 'tdta' record: a font index of the load's table, which skips it, like a
    // character that cannot be made. False when the text cannot take it (the load fails).
    bool AddCharacter(lumatra::native::ChunkSource& source, uint32_t fontIndex, uint32_t colour, uint16_t code);

private:
    int MakeLayer(lumatra::native::ChunkSource& source, const ITzDWKLayerDataTextInfo& info);

    ITzLayerText* m_text = nullptr;  // m_layer as its kind, while loading
    std::unique_ptr<ITzTextRowBuilder> m_built;
    ITzDWKChildRoom<ITzDWKLayerDataTextInfo, ITzDWKLayerDataTextData> m_childRoom;
};
