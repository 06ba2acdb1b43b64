// The image layer's life, its overrides of the layer base, and the kind-independent
// handling of block records: uniform channels and whole-block expand, fold and lock.
#include "engine/pixels/layer_image.h"

#include "base/error_codes.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/preview_cache_link.h"

ITzLayerImage::ITzLayerImage() = default;

ITzLayerImage::ITzLayerImage(const ITzLayerImage* source) : ITzLayerBase(source)
{
    if (!source)
        return;
    m_colorMode = source->m_colorMode;
    m_bitDepth = source->m_bitDepth;
    m_blockOffset = source->m_blockOffset;
}

ITzLayerImage::~ITzLayerImage()
{
    ITzLayerBase::DestroyLayer(m_floating);
    delete m_cache;
}

ITzLayerImage* ITzLayerImage::GetPreviewLayer()
{
    return this;
}

int ITzLayerImage::IsImageLayer() const
{
    return 1;
}

int ITzLayerImage::SetOpacity(uint8_t opacity)
{
    const int result = ITzLayerBase::SetOpacity(opacity);
    if (m_cache)
        m_cache->SetOpacity(opacity);
    return result;
}

int ITzLayerImage::SetTempOpacity(uint8_t opacity)
{
    const int result = ITzLayerBase::SetTempOpacity(opacity);
    if (m_cache)
        m_cache->SetOpacity(opacity);
    return result;
}

int ITzLayerImage::ExtendSize(const PTzRECT* rect, PTzRECT* out)
{
    return ExtendSize(rect, out, 1);
}

int ITzLayerImage::Deactive()
{
    ClearFloatingLayer();
    return ITzLayerBase::Deactive();
}

int ITzLayerImage::SetBounds(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    // The pixels stay where they are in the picture: B = P - position + offset.
    m_blockOffset.x += rect->left - m_position.x;
    m_blockOffset.y += rect->top - m_position.y;
    return ITzLayerBase::SetBounds(rect);
}

int ITzLayerImage::MoveCore(_tagPTzOFFSET* offset)
{
    const int result = ITzLayerBase::MoveCore(offset);
    if (result == 0 && m_cache)
        m_cache->MoveCore(offset);
    return result;
}

ITzLayerBase* ITzLayerImage::CreateTransferLayer()
{
    ITzLayerBase* layer = ITzLayerBase::CreateTransferLayer();
    if (auto* image = dynamic_cast<ITzLayerImage*>(layer)) {
        image->m_colorMode = m_colorMode;
        image->m_bitDepth = m_bitDepth;
    }
    return layer;
}

ITzLayerBase* ITzLayerImage::CreateTransferLayerCroe()
{
    return CreateSameTypeLayer();
}

ITzLayerImage* ITzLayerImage::GetFloatingLayer()
{
    return m_floating;
}

// Uniform channels.

int ITzLayerImage::CompressChannel(_tagITzCHANNELDATA* channel)
{
    uint8_t value = 0;
    if (!channel || !channel->data || !ITzChannelUniform(channel->data, &value))
        return 0;
    PTzHandleFree(channel->data);
    channel->data = nullptr;
    channel->constant = value;
    return 1;
}

int ITzLayerImage::UncompressChannel(_tagITzCHANNELDATA* channel)
{
    if (!channel || channel->data)
        return 0;
    channel->data = ITzChannelExpand(channel->constant);
    return channel->data ? 1 : 0;
}

PTzHANDLE ITzLayerImage::UncompressChannelData(uint8_t value)
{
    return ITzChannelExpand(value);
}

int ITzLayerImage::CompressChannelData(PTzHANDLE channel, uint8_t* value)
{
    uint8_t common = 0;
    if (!ITzChannelUniform(channel, &common))
        return 0;
    PTzHandleFree(channel);
    if (value)
        *value = common;
    return 1;
}

PTzHANDLE ITzLayerImage::CopyChannelData(PTzHANDLE channel)
{
    return ITzChannelDuplicate(channel);
}

void ITzLayerImage::FreeBlockDataInfo(const _tagITzBLOCKDATAINFO& info)
{
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c)
        PTzHandleFree(info.channels[c].data);
}

// Whole blocks, through the kind's public record view. SetBlockInfo frees the old
// handles the incoming record no longer carries, so these never free one themselves.

int ITzLayerImage::UncompressBlock(uint32_t index)
{
    _tagITzBLOCKDATAINFO info;
    const int read = GetBlockInfo(index, &info, 0);
    if (read != 0)
        return read;
    _tagITzBLOCKDATAINFO expanded = info;
    _tagITzBLOCKDATAINFO made = {info.lastChannel, {}};
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c) {
        if (info.channels[c].data)
            continue;
        if (!UncompressChannel(&expanded.channels[c])) {
            FreeBlockDataInfo(made);
            return ITzERR_CHANNEL_EXPAND;
        }
        made.channels[c].data = expanded.channels[c].data;
    }
    const int stored = SetBlockInfo(index, &expanded);
    if (stored != 0)
        FreeBlockDataInfo(made);
    return stored;
}

int ITzLayerImage::CompressBlock(uint32_t index)
{
    _tagITzBLOCKDATAINFO info;
    const int read = GetBlockInfo(index, &info, 0);
    if (read != 0)
        return read;
    bool folded = false;
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c) {
        _tagITzCHANNELDATA& channel = info.channels[c];
        if (channel.data && ITzChannelUniform(channel.data, &channel.constant)) {
            channel.data = nullptr;
            folded = true;
        }
    }
    return folded ? SetBlockInfo(index, &info) : 0;
}

int ITzLayerImage::LockBlock(uint32_t index, _tagITzBlOCKMEMINFO* memory)
{
    if (!memory)
        return ITzERR_INVALID;
    _tagITzBLOCKDATAINFO info;
    const int read = GetBlockInfo(index, &info, 0);
    if (read != 0)
        return read;
    _tagITzBlOCKMEMINFO locked = {info.lastChannel, {}};
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c) {
        locked.channels[c].constant = info.channels[c].constant;
        if (!info.channels[c].data)
            continue;
        locked.channels[c].data = static_cast<uint8_t*>(PTzHandleLock(info.channels[c].data));
        if (!locked.channels[c].data) {
            for (uint32_t d = 0; d < c; ++d)
                if (locked.channels[d].data)
                    PTzHandleUnlock(info.channels[d].data);
            return ITzERR_INVALID;
        }
    }
    *memory = locked;
    return 0;
}

int ITzLayerImage::UnlockBlock(uint32_t index, _tagITzBlOCKMEMINFO* memory)
{
    if (!memory)
        return ITzERR_INVALID;
    _tagITzBLOCKDATAINFO info;
    const int read = GetBlockInfo(index, &info, 0);
    if (read != 0)
        return read;
    for (uint32_t c = 0; c <= info.lastChannel && c < 4; ++c) {
        if (memory->channels[c].data && info.channels[c].data)
            PTzHandleUnlock(info.channels[c].data);
        memory->channels[c].data = nullptr;
    }
    return 0;
}
