// 'pred', a layer's blocks in block order: a mask byte, then per channel one value byte
// (uniform) or its 65,536 raw bytes, moved straight between the stream and the block
// through the layer's block streaming.
#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_layer_data.h"
#include "engine/pixels/layer_image_argb.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;
using namespace lumatra::native;

namespace {

constexpr uint32_t kArgbChannels = 4;
constexpr uint64_t kMinBlockSize = 1 + kArgbChannels;

// The bytes a block takes: its mask, then per channel one value byte when uniform (bit
// set in `uniform`) or its page.
uint64_t storedSize(uint8_t uniform)
{
    uint64_t size = 1;
    for (uint32_t c = 0; c < kArgbChannels; ++c)
        size += (uniform >> c & 1) ? 1 : kChannelBytes;
    return size;
}

// A block on its way to the sink: the mask and the values of uniform channels gather in
// `head` and go out before the next page, or after the last channel.
struct BlockWriter {
    ChunkSink* sink;
    uint8_t head[1 + kArgbChannels];
    size_t used;

    static bool Write(uint32_t, const uint8_t* page, uint8_t value, void* user)
    {
        auto& writer = *static_cast<BlockWriter*>(user);
        if (!page) {
            writer.head[writer.used++] = value;
            return true;
        }
        const bool put = writer.sink->Put(writer.head, writer.used) && writer.sink->Put(page, kChannelBytes);
        writer.used = 0;
        return put;
    }
};

// A block read from the source channel by channel, within the chunk's `size` bytes of
// which `done` are read; `failed` once a read failed or would pass the chunk's end.
struct BlockReader {
    ChunkSource* source;
    uint64_t size;
    uint64_t done;
    bool failed = false;

    static bool Read(uint32_t, uint8_t* page, uint8_t* value, void* user)
    {
        auto& reader = *static_cast<BlockReader*>(user);
        const uint64_t need = page ? kChannelBytes : 1;
        reader.failed = reader.size - reader.done < need || !reader.source->Read(page ? page : value, need);
        if (!reader.failed)
            reader.done += need;
        return !reader.failed;
    }
};

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
        m_size += storedSize(m_layer->GetBlockUniformChannels(b));
    return m_size;
}

int ITzDWKLayerDataPreviewData::WriteStep(ChunkSink& sink)
{
    if (m_nextBlock == m_blockCount)
        return 0;
    const uint32_t index = m_nextBlock++;
    const uint8_t uniform = m_layer->GetBlockUniformChannels(index);
    // The sizes already written were planned from the blocks as they were: a block
    // that grew since would overrun them, so the save fails instead.
    const uint64_t size = storedSize(uniform);
    if (size > m_size - m_done)
        return sink.Refuse();
    BlockWriter writer = {&sink, {uniform}, 1};
    if (!m_layer->WriteBlockChannels(index, &BlockWriter::Write, &writer))
        return sink.Refuse();
    if (!sink.Put(writer.head, writer.used))
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
    BlockReader reader = {&source, m_size, m_done + 1};
    const int stored = m_layer->ReadBlockChannels(m_nextBlock, mask, &BlockReader::Read, &reader);
    // A page that cannot be made counts as a failed read, as the read that fills it.
    if (reader.failed || stored == ITzERR_CHANNEL_EXPAND)
        return source.Refuse(source.Failed() ? source.Error() : FTzERR_BAD_DATA);
    ++m_nextBlock;
    m_done = reader.done;
    if (stored != 0)
        return source.Refuse(stored);
    return m_done < m_size ? 1 : 0;
}

int ITzDWKLayerDataPreviewData::EndRead(ChunkSource& source)
{
    if (source.Failed())
        return 0;
    return m_nextBlock == m_blockCount ? 1 : source.Refuse(FTzERR_BAD_DATA);
}
