// The data chunks of a layer: ITzDWKLayerDataBase, the base of the chunks that make a
// load's layer, and the pixels chunk 'prev' with its block geometry 'prei' and its blocks
// 'pred'. A text layer's 'ttex' (native_chunk_text.h) derives from the same base.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/picture/native_chunk_base.h"
#include "engine/pixels/layer_base.h"

class ITzDWKLayer;
class ITzLayerImageARGB;

class LUMATRA_API ITzDWKLayerDataBase : public ITzDWKBase {
public:
    ~ITzDWKLayerDataBase() override;

    // The layer a completed load chunk made, for its 'layr' to insert; null when the
    // chunk made none or is not complete.
    ITzLayerBase* TakeLayer();

protected:
    ITzDWKLayerDataBase(uint32_t tag, ITzDWKLayer* owner) : ITzDWKBase(tag), m_owner(owner) {}

    ITzDWKLayer* m_owner;  // null in a save's tree
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> m_layer;
    bool m_complete = false;
};

class LUMATRA_API ITzDWKLayerDataPreviewInfo : public ITzDWKBase {
public:
    static constexpr uint64_t kSize = 16;

    ITzDWKLayerDataPreviewInfo();
    explicit ITzDWKLayerDataPreviewInfo(const ITzLayerImageARGB& pixels);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

    uint8_t GetColorMode() const { return m_bytes[0]; }
    uint8_t GetBlockShift() const { return m_bytes[1]; }
    _tagPTzOFFSET GetBlockOffset() const;
    uint16_t GetBlocksAcross() const;
    uint16_t GetBlocksDown() const;

private:
    uint8_t m_bytes[kSize] = {};
};

class LUMATRA_API ITzDWKLayerDataPreviewData : public ITzDWKBase {
public:
    // A save of the layer's blocks as they are when the size is computed, or a load
    // into the layer its 'prev' made from the 'prei' geometry.
    explicit ITzDWKLayerDataPreviewData(ITzLayerImageARGB* layer);

    // Sums the stored size of every block: its mask byte and, per channel, one value
    // byte (uniform) or 65,536 raw bytes.
    uint64_t ComputeSize() override;
    // One block a step, raw channels straight from their memory to the stream.
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // Refuses block counts the payload cannot hold before any block record is made.
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    // One block a step into the layer; a short read frees what the block had allocated.
    int ReadStep(lumatra::native::ChunkSource& source) override;
    // Exactly the declared number of blocks.
    int EndRead(lumatra::native::ChunkSource& source) override;
    int HasChildren() const override;

private:
    ITzLayerImageARGB* m_layer;
    uint32_t m_blockCount = 0;
    uint32_t m_nextBlock = 0;
};

class LUMATRA_API ITzDWKLayerDataPreview : public ITzDWKLayerDataBase {
public:
    // For a load: the layer is made when 'prei' says ARGB blocks.
    explicit ITzDWKLayerDataPreview(ITzDWKLayer* owner);
    // For a save of the layer's pixels (the layer itself, or a text layer's image).
    explicit ITzDWKLayerDataPreview(ITzLayerImageARGB* pixels);
    ~ITzDWKLayerDataPreview() override;

    int ChildCompleted(lumatra::native::ChunkSource& source, ITzDWKBase* child) override;
    ITzDWKChild MakeChild(uint32_t tag) override;

private:
    // Makes the ARGB layer of the 'prei' geometry, checked against the 'lifb' bounds.
    int MakeLayer(lumatra::native::ChunkSource& source, const ITzDWKLayerDataPreviewInfo& info);

    ITzLayerImageARGB* m_pixels = nullptr;  // m_layer as its kind, while loading
    ITzDWKChildRoom<ITzDWKLayerDataPreviewInfo, ITzDWKLayerDataPreviewData> m_childRoom;
};
