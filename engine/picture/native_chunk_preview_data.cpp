// 'pred', a layer's blocks in block order: a mask byte, then per channel one value byte
// (uniform) or its 65,536 raw bytes, moved straight between the stream and the block.
#include <utility>

#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer_data.h"
#include "engine/pixels/layer_image_argb.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

namespace {

constexpr uint32_t kArgbChannels = 4;
constexpr uint64_t kMinBlockSize = 1 + kArgbChannels;

// A block's record, a missing block reading as four transparent constants.
_tagITzBLOCKINFOARGB blockRecord(ITzLayerImageARGB& layer, uint32_t index)
{
    _tagITzBLOCKINFOARGB record{};
    if (layer.GetBlockInfo(index, &record, 0) != 0)
        record = {};
    return record;
}

uint64_t storedSize(const _tagITzBLOCKINFOARGB& record)
{
    uint64_t size = 1;
    for (PTzHANDLE channel : record.channels)
        size += channel ? kChannelBytes : 1;
    return size;
}

void freeChannels(_tagITzBLOCKDATAINFO& info)
{
    for (_tagITzCHANNELDATA& channel : info.channels)
        if (channel.data)
            PTzHandleFree(std::exchange(channel.data, nullptr));
}

}  // namespace

ITzDWKLayerDataPreviewData::ITzDWKLayerDataPreviewData(ITzLayerImageARGB* layer)
    : ITzDWKBase(kTagPreviewData), m_layer(layer)
{
}

int ITzDWKLayerDataPreviewData::HasChildren() const
{
    return 0;
}

uint64_t ITzDWKLayerDataPreviewData::ComputeSize()
{
    m_blockCount = m_layer->GetBlockCount();
    m_size = 0;
    for (uint32_t b = 0; b < m_blockCount; ++b)
        m_size += storedSize(blockRecord(*m_layer, b));
    return m_size;
}

int ITzDWKLayerDataPreviewData::WriteStep(ChunkSink& sink)
{
    if (m_nextBlock == m_blockCount)
        return 0;
    const _tagITzBLOCKINFOARGB record = blockRecord(*m_layer, m_nextBlock++);
    // The sizes already written were planned from the blocks as they were: a block
    // that grew since would overrun them, so the save fails instead.
    const uint64_t size = storedSize(record);
    if (size > m_size - m_done)
        return sink.Refuse();
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
        PTzHandleLockGuard lock(record.channels[c]);
        if (!sink.Put(head, used) || !lock || !sink.Put(lock.bytes(), kChannelBytes))
            return sink.Refuse();
        used = 0;
    }
    if (!sink.Put(head, used))
        return 0;
    m_done += size;
    return m_nextBlock < m_blockCount ? 1 : 0;
}

int ITzDWKLayerDataPreviewData::BeginRead(ChunkSource& source, uint64_t size)
{
    m_size = size;
    m_blockCount = uint32_t(m_layer->DWKGetBlockCountX()) * m_layer->DWKGetBlockCountY();
    // Every block takes at least its mask and four constants.
    if (size / kMinBlockSize < m_blockCount || (m_blockCount == 0 && size != 0))
        return source.Refuse(FTzERR_BAD_DATA);
    return 1;
}

int ITzDWKLayerDataPreviewData::ReadStep(ChunkSource& source)
{
    if (m_done == m_size)
        return 0;
    if (m_nextBlock >= m_blockCount)
        return source.Refuse(FTzERR_BAD_DATA);
    uint8_t mask = 0;
    if (!source.Read(&mask, 1))
        return 0;
    uint64_t done = m_done + 1;
    _tagITzBLOCKDATAINFO info{};
    info.lastChannel = kArgbChannels - 1;
    for (uint32_t c = 0; c < kArgbChannels; ++c) {
        _tagITzCHANNELDATA& channel = info.channels[c];
        const uint64_t need = (mask >> c & 1) ? 1 : kChannelBytes;
        bool ok = m_size - done >= need;
        if (ok && need == 1) {
            ok = source.Read(&channel.constant, 1);
        } else if (ok) {
            // The read fills every byte of the block, or the block is freed below.
            channel.data = PTzHandleNewUnfilled(kChannelBytes);
            PTzHandleLockGuard lock(channel.data);
            ok = lock && source.Read(lock.bytes(), kChannelBytes);
        }
        if (!ok) {
            freeChannels(info);
            return source.Refuse(source.Failed() ? source.Error() : FTzERR_BAD_DATA);
        }
        done += need;
    }
    m_done = done;
    if (const int result = m_layer->DWKSetBlockInfo(m_nextBlock++, &info))
        return source.Refuse(result);
    return m_done < m_size ? 1 : 0;
}

int ITzDWKLayerDataPreviewData::EndRead(ChunkSource& source)
{
    if (source.Failed())
        return 0;
    return m_nextBlock == m_blockCount ? 1 : source.Refuse(FTzERR_BAD_DATA);
}
