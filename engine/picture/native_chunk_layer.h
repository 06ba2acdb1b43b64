// The layer level of the native file: 'layr', one layer, with its 'name' and its 'lifb'
// (type, bounds in picture coordinates, merge type, opacity, visibility) read first.
#pragma once

#include <cstdint>

#include "engine/picture/native_chunk_base.h"
#include "engine/picture/native_chunk_layer_data.h"
#include "engine/picture/native_chunk_text.h"
#include "engine/pixels/layer_base.h"

class ITzDWKPicture;

class LUMATRA_API ITzDWKName : public ITzDWKBase {
public:
    ITzDWKName();
    // The layer's name, cut to 63 units, with its terminating NUL.
    explicit ITzDWKName(const PTzChar* name);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // Takes the UTF-16 text up to its first NUL or the chunk's end, cut to 63 units.
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

    const PTzChar* GetName() const { return m_name; }

private:
    PTzChar m_name[ITzLAYER_NAME_LENGTH] = {};
};

class LUMATRA_API ITzDWKLayerInfo : public ITzDWKBase {
public:
    static constexpr uint64_t kSize = 24;

    ITzDWKLayerInfo();
    explicit ITzDWKLayerInfo(ITzLayerBase& layer);

    uint64_t ComputeSize() override;
    int WriteStep(lumatra::native::ChunkSink& sink) override;
    // Refuses sides beyond 2^30 and far edges beyond the i32 range; a zero size is an
    // empty, never painted layer.
    int BeginRead(lumatra::native::ChunkSource& source, uint64_t size) override;
    int HasChildren() const override;

    // What a load gives the layer it makes.
    struct Fields {
        PTzRECT bounds;  // picture coordinates
        uint8_t mergeType;
        uint8_t opacity;
        bool visible;
    };
    Fields GetFields() const;

private:
    uint8_t m_bytes[kSize] = {};
};

class LUMATRA_API ITzDWKLayer : public ITzDWKBase {
public:
    // For a load into the picture chunk's picture.
    explicit ITzDWKLayer(ITzDWKPicture* owner);
    // For a save: 'name', 'lifb', a text layer's 'ttex' and, when the layer has ARGB
    // pixels (a text layer: its rendered image), 'prev'.
    explicit ITzDWKLayer(ITzLayerBase* layer);
    ~ITzDWKLayer() override;

    // The leading phase ends once a 'name' and a 'lifb' were both read.
    int ReadLeadingChildren(lumatra::native::ChunkSource& source) override;
    int LeadingChildRead(lumatra::native::ChunkSource& source, ITzDWKBase* child) override;
    int ChildCompleted(lumatra::native::ChunkSource& source, ITzDWKBase* child) override;
    ITzDWKChild MakeChild(uint32_t tag) override;

    // Gives a layer made by a data chunk what the 'name' and 'lifb' said.
    void ApplyTo(ITzLayerBase& layer) const;
    const ITzDWKLayerInfo::Fields& GetFields() const { return m_fields; }
    // The picture chunk of the load.
    ITzDWKPicture* GetPictureChunk() const { return m_owner; }

private:
    // Keeps what a 'name' or 'lifb' said: true once both were read.
    bool Take(const ITzDWKBase& child);

    ITzDWKPicture* m_owner = nullptr;
    PTzChar m_name[ITzLAYER_NAME_LENGTH] = {};
    ITzDWKLayerInfo::Fields m_fields = {};
    bool m_hasName = false;
    bool m_hasInfo = false;
    bool m_madeLayer = false;  // only the first data chunk that makes a layer counts
    ITzDWKChildRoom<ITzDWKName, ITzDWKLayerInfo, ITzDWKLayerDataPreview, ITzDWKLayerDataText> m_childRoom;
};
