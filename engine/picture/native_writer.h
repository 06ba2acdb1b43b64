// The native layered file's writer: a picture with all its layers as a tree of tagged
// chunks, one unit (a chunk head, a small chunk, a block of pixels) per step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/io_stream.h"
#include "engine/lumatra_export.h"

class ITzPicture;
class ITzLayerBase;
class ITzLayerImageARGB;

namespace lumatra::native {

constexpr uint32_t kFileMagic = 0x7964776B;  // "ydwk"
constexpr uint32_t kFileVersion = 1;
constexpr size_t kFileHeadSize = 16;
constexpr uint32_t kMaxLayers = 255;
constexpr uint32_t kChannelBytes = 65536;

class LUMATRA_API PictureWriter {
public:
    // Plans the whole file; the picture and the stream must outlive the writer. A file
    // that would not fit in 4 GiB, which the streams cannot address, fails at once.
    PictureWriter(ITzPicture* picture, _tagPTzIOSTREAM* stream);

    // Writes the next unit: nonzero while more remains, 0 once finished or failed.
    int Step();
    // A short write or a plan that cannot be written: the file is not complete.
    bool Failed() const { return m_failed; }
    bool Finished() const { return m_stage == Stage::Done && !m_failed; }
    // Bytes written x 100 / the 'pict' payload, rounded.
    uint32_t Progress() const;
    uint64_t PictureSize() const { return m_pictureSize; }
    uint64_t FileSize() const;

private:
    struct LayerPlan {
        ITzLayerBase* layer;
        ITzLayerImageARGB* pixels;  // null: the layer has no pixels this writer stores
        std::vector<uint32_t> blockSizes;
        uint64_t nameSize, dataSize, previewSize, layerSize;
    };
    enum class Stage { Head, PictInfo, TextTable, LayerHead, Name, Info, Text, Preview, Block, Done };

    void Plan();
    bool Put(const void* bytes, size_t count);
    bool PutHeader(uint32_t tag, uint64_t size);
    bool WriteUnit();
    bool WriteHead();
    bool WritePictInfo();
    bool WriteName(const LayerPlan& plan);
    bool WriteInfo(const LayerPlan& plan);
    bool WritePreview(const LayerPlan& plan);
    bool WriteBlock(const LayerPlan& plan, uint32_t index);
    void Advance();

    ITzPicture* m_picture;
    _tagPTzIOSTREAM* m_stream;
    std::vector<LayerPlan> m_layers;
    uint64_t m_pictureSize = 0;
    uint64_t m_written = 0;  // bytes of the 'pict' payload written
    Stage m_stage = Stage::Head;
    size_t m_layer = 0;
    uint32_t m_block = 0;
    bool m_failed = false;
};

}  // namespace lumatra::native
