// Writes the native file's chunk tree field by field, little-endian, one unit a step.
#include "engine/picture/native_writer.h"

#include <algorithm>
#include <limits>

#include "base/memory.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"

namespace lumatra::native {
namespace {

constexpr uint32_t kPictInfoSize = 20;
constexpr uint32_t kLayerInfoSize = 24;
constexpr uint32_t kPreviewInfoSize = 16;
constexpr uint32_t kArgbChannels = 4;
constexpr uint8_t kBlockShift = 8;

uint64_t chunkSize(uint64_t payload)
{
    return chunkHeaderSize(payload) + payload;
}

size_t nameLength(const PTzChar* name)
{
    size_t length = 0;
    while (name && length < ITzLAYER_NAME_LENGTH - 1 && name[length])
        ++length;
    return length;
}

// A block's record, a missing block reading as four transparent constants.
_tagITzBLOCKINFOARGB blockRecord(ITzLayerImageARGB& layer, uint32_t index)
{
    _tagITzBLOCKINFOARGB record{};
    if (layer.GetBlockInfo(index, &record, 0) != 0)
        record = {};
    return record;
}

// The block's stored size: the mask byte and, per channel, its constant or its bytes.
uint32_t storedSize(const _tagITzBLOCKINFOARGB& record)
{
    uint32_t size = 1;
    for (PTzHANDLE channel : record.channels)
        size += channel ? kChannelBytes : 1;
    return size;
}

}  // namespace

PictureWriter::PictureWriter(ITzPicture* picture, _tagPTzIOSTREAM* stream) : m_picture(picture), m_stream(stream)
{
    if (!picture || !stream) {
        m_failed = true;
        return;
    }
    Plan();
    if (FileSize() > std::numeric_limits<uint32_t>::max())
        m_failed = true;
}

void PictureWriter::Plan()
{
    const uint16_t count = m_picture->GetLayerCount();
    for (uint16_t i = 0; i < std::min<uint32_t>(count, kMaxLayers); ++i) {
        ITzLayerBase* layer = m_picture->GetLayerbyIndex(i);
        if (!layer)
            break;
        LayerPlan plan{layer, dynamic_cast<ITzLayerImageARGB*>(layer->GetPreviewLayer()), {}, 0, 0, 0, 0};
        plan.nameSize = (nameLength(layer->GetName()) + 1) * sizeof(PTzChar);
        if (plan.pixels) {
            const uint32_t blocks = plan.pixels->GetBlockCount();
            for (uint32_t b = 0; b < blocks; ++b) {
                plan.blockSizes.push_back(storedSize(blockRecord(*plan.pixels, b)));
                plan.dataSize += plan.blockSizes.back();
            }
            plan.previewSize = chunkSize(kPreviewInfoSize) + chunkSize(plan.dataSize);
        }
        plan.layerSize = chunkSize(plan.nameSize) + chunkSize(kLayerInfoSize);
        if (plan.pixels)
            plan.layerSize += chunkSize(plan.previewSize);
        m_pictureSize += chunkSize(plan.layerSize);
        m_layers.push_back(std::move(plan));
    }
    m_pictureSize += chunkSize(kPictInfoSize);
}

uint64_t PictureWriter::FileSize() const
{
    return kFileHeadSize + chunkSize(m_pictureSize);
}

uint32_t PictureWriter::Progress() const
{
    if (m_pictureSize == 0)
        return 0;
    return uint32_t((m_written * 100 + m_pictureSize / 2) / m_pictureSize);
}

bool PictureWriter::Put(const void* bytes, size_t count)
{
    if (PTzIOStreamWrite(m_stream, bytes, uint32_t(count)) != count)
        return false;
    m_written += count;
    return true;
}

bool PictureWriter::PutHeader(uint32_t tag, uint64_t size)
{
    uint8_t bytes[kLongHeaderSize];
    return Put(bytes, encodeChunkHeader({tag, size}, bytes));
}

int PictureWriter::Step()
{
    if (m_failed || m_stage == Stage::Done)
        return 0;
    if (!WriteUnit()) {
        m_failed = true;
        return 0;
    }
    Advance();
    return m_stage != Stage::Done;
}

bool PictureWriter::WriteUnit()
{
    switch (m_stage) {
    case Stage::Head:
        return WriteHead();
    case Stage::PictInfo:
        return WritePictInfo();
    case Stage::TextTable:
    case Stage::Text:
        return true;  // text-layer chunks: nothing to write for image layers
    case Stage::LayerHead:
        return PutHeader(kTagLayer, m_layers[m_layer].layerSize);
    case Stage::Name:
        return WriteName(m_layers[m_layer]);
    case Stage::Info:
        return WriteInfo(m_layers[m_layer]);
    case Stage::Preview:
        return WritePreview(m_layers[m_layer]);
    case Stage::Block:
        return WriteBlock(m_layers[m_layer], m_block);
    case Stage::Done:
        break;
    }
    return true;
}

void PictureWriter::Advance()
{
    switch (m_stage) {
    case Stage::Head: m_stage = Stage::PictInfo; return;
    case Stage::PictInfo: m_stage = Stage::TextTable; return;
    case Stage::TextTable: m_stage = m_layers.empty() ? Stage::Done : Stage::LayerHead; return;
    case Stage::LayerHead: m_stage = Stage::Name; return;
    case Stage::Name: m_stage = Stage::Info; return;
    case Stage::Info: m_stage = Stage::Text; return;
    case Stage::Text:
        m_stage = Stage::Preview;
        if (m_layers[m_layer].pixels)
            return;
        [[fallthrough]];
    case Stage::Preview:
    case Stage::Block:
        m_block = m_stage == Stage::Block ? m_block + 1 : 0;
        if (m_layers[m_layer].pixels && m_block < m_layers[m_layer].blockSizes.size()) {
            m_stage = Stage::Block;
            return;
        }
        m_block = 0;
        m_stage = ++m_layer < m_layers.size() ? Stage::LayerHead : Stage::Done;
        return;
    case Stage::Done: return;
    }
}

bool PictureWriter::WriteHead()
{
    uint8_t head[kFileHeadSize] = {};
    PTzWriteLE32(head, kFileMagic);
    PTzWriteLE32(head + 4, kFileVersion);
    if (PTzIOStreamWrite(m_stream, head, sizeof head) != sizeof head)
        return false;
    uint8_t bytes[kLongHeaderSize];
    const size_t length = encodeChunkHeader({kTagPicture, m_pictureSize}, bytes);
    return PTzIOStreamWrite(m_stream, bytes, uint32_t(length)) == length;
}

bool PictureWriter::WritePictInfo()
{
    _tagPTzSIZE size{};
    m_picture->GetSize(&size);
    uint8_t info[kPictInfoSize] = {};
    PTzWriteLE32(info, uint32_t(size.cx));
    PTzWriteLE32(info + 4, uint32_t(size.cy));
    info[9] = uint8_t(m_picture->GetColorMode());
    PTzWriteLE16(info + 10, uint16_t(m_layers.size()));
    PTzWriteLE32(info + 12, m_picture->GetXPelsPerMeter());
    PTzWriteLE32(info + 16, m_picture->GetYPelsPerMeter());
    return PutHeader(kTagPictInfo, kPictInfoSize) && Put(info, sizeof info);
}

bool PictureWriter::WriteName(const LayerPlan& plan)
{
    const PTzChar* name = plan.layer->GetName();
    const size_t length = nameLength(name);
    uint8_t bytes[ITzLAYER_NAME_LENGTH * 2] = {};
    for (size_t i = 0; i < length; ++i)
        PTzWriteLE16(bytes + 2 * i, uint16_t(name[i]));
    return PutHeader(kTagName, plan.nameSize) && Put(bytes, plan.nameSize);
}

bool PictureWriter::WriteInfo(const LayerPlan& plan)
{
    PTzRECT bounds{};
    plan.layer->GetBounds(&bounds);
    uint8_t info[kLayerInfoSize] = {};
    PTzWriteLE32(info, uint32_t(plan.layer->GetType()));
    PTzWriteLE32(info + 4, uint32_t(bounds.right - bounds.left));
    PTzWriteLE32(info + 8, uint32_t(bounds.bottom - bounds.top));
    PTzWriteLE32(info + 12, uint32_t(bounds.left));
    PTzWriteLE32(info + 16, uint32_t(bounds.top));
    info[20] = uint8_t(plan.layer->GetMergeType());
    info[21] = plan.layer->GetOpacity();
    info[22] = plan.layer->IsVisible() ? 1 : 0;
    return PutHeader(kTagLayerInfo, kLayerInfoSize) && Put(info, sizeof info);
}

bool PictureWriter::WritePreview(const LayerPlan& plan)
{
    _tagPTzOFFSET offset{};
    plan.pixels->DWKGetBlockOffset(&offset);
    uint8_t info[kPreviewInfoSize] = {};
    info[0] = uint8_t(PTzCOLORMODE_ARGB);
    info[1] = kBlockShift;
    PTzWriteLE32(info + 4, uint32_t(offset.x));
    PTzWriteLE32(info + 8, uint32_t(offset.y));
    PTzWriteLE16(info + 12, plan.pixels->DWKGetBlockCountX());
    PTzWriteLE16(info + 14, plan.pixels->DWKGetBlockCountY());
    return PutHeader(kTagPreview, plan.previewSize) && PutHeader(kTagPreviewInfo, kPreviewInfoSize) &&
           Put(info, sizeof info) && PutHeader(kTagPreviewData, plan.dataSize);
}

bool PictureWriter::WriteBlock(const LayerPlan& plan, uint32_t index)
{
    const _tagITzBLOCKINFOARGB record = blockRecord(*plan.pixels, index);
    // The sizes above were planned from the blocks as they were: a block changed since
    // would break every size, so the save fails instead.
    if (storedSize(record) != plan.blockSizes[index])
        return false;
    uint8_t head[1 + kArgbChannels] = {};
    size_t used = 1;
    for (uint32_t c = 0; c < kArgbChannels; ++c)
        if (!record.channels[c])
            head[0] |= uint8_t(1u << c);
    for (uint32_t c = 0; c < kArgbChannels; ++c) {
        if (!record.channels[c]) {
            head[used++] = record.constants[c];
            continue;
        }
        // Raw channels go straight from the block's memory to the stream.
        if (!Put(head, used))
            return false;
        used = 0;
        PTzHandleLockGuard lock(record.channels[c]);
        if (!lock || !Put(lock.bytes(), kChannelBytes))
            return false;
    }
    return Put(head, used);
}

}  // namespace lumatra::native
