// The picture level of the native file: 'pict', the whole picture, and 'pifb', its size,
// colour mode, layer count and resolutions. A load's picture is made when 'pifb' is read;
// the load's font table ('ttft') is kept here for the text layers that follow.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/font.h"
#include "engine/picture/native_chunk_base.h"
#include "engine/picture/native_chunk_layer.h"
#include "engine/picture/native_chunk_text.h"

class ITzPicture;
class ITzLayerBase;
class ITzTextFont;

class LUMATRA_API ITzDWKPictInfo : public ITzDWKBase {
public:
    static constexpr uint64_t kSize = 20;

    ITzDWKPictInfo();
    ITzDWKPictInfo(const ITzPicture& picture, uint16_t layerCount);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

    uint32_t GetWidth() const;
    uint32_t GetHeight() const;
    uint32_t GetXPelsPerMeter() const;
    uint32_t GetYPelsPerMeter() const;

private:
    uint8_t m_bytes[kSize] = {};
};

class LUMATRA_API ITzDWKPicture : public ITzDWKBase {
public:
    // For a load: the picture is made by the leading 'pifb'.
    ITzDWKPicture();
    // For a save: the tree of the picture's layers from index 0 up to the first missing
    // one, at most 255, with the font table of its text. The picture must outlive the tree.
    explicit ITzDWKPicture(ITzPicture* picture);
    // A load's layers and fonts go before its picture.
    ~ITzDWKPicture() override;

    // Whether the file can hold every layer of the picture: each must give ARGB pixels.
    static bool CanStore(ITzPicture& picture);

    int EndRead(lumatra::native::ChunkSource& source) override;
    int ReadLeadingChildren(lumatra::native::ChunkSource& source) override;
    int LeadingChildRead(lumatra::native::ChunkSource& source, ITzDWKBase* child) override;
    ITzDWKChild MakeChild(uint32_t tag) override;

    // The picture being loaded (null before 'pifb').
    ITzPicture* GetPicture() const { return m_loaded.get(); }
    // Puts a layer a 'layr' made on top of the loaded picture, which then owns it: 1, or
    // 0 with the refusal kept by the source (the layer is then the caller's still).
    int AddLayer(lumatra::native::ChunkSource& source, ITzLayerBase* layer);
    // The loaded picture for the caller, once the load is complete.
    ITzPicture* TakePicture() { return m_loaded.release(); }

    // The load's font table, in the file's order: each record a counted font of the
    // picture's font list, or null when it cannot be had. False when memory is short.
    bool AddLoadFont(const _tagPTzFONTDATAINFO& record);
    // The font at the table's index; null beyond the table or for a record without a font.
    ITzTextFont* GetLoadFont(uint32_t index) const;

private:
    // The table's fonts are the load's only: given back when it ends, failed or not.
    void ReleaseLoadFonts();

    std::unique_ptr<ITzPicture> m_loaded;
    uint32_t m_layersMade = 0;
    bool m_tableRead = false;  // a second font table is skipped
    std::vector<ITzTextFont*> m_loadFonts;
    ITzDWKChildRoom<ITzDWKPictInfo, ITzDWKLayer, ITzDWKTextTable> m_childRoom;
};
