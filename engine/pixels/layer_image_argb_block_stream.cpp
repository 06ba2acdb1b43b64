// An ARGB layer's blocks streamed channel by channel, each channel its 65,536 bytes or,
// when uniform, its value: the native file's block chunk writes and reads blocks
// through these without touching block records.
#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/pixels/layer_image_argb.h"

namespace {

// A block's record, a missing block reading as four channels uniform at 0.
_tagITzBLOCKINFOARGB StreamedRecord(ITzLayerImageARGB& layer, uint32_t index)
{
    _tagITzBLOCKINFOARGB record{};
    if (layer.GetBlockInfo(index, &record, 0) != 0)
        record = {};
    return record;
}

}  // namespace

uint8_t ITzLayerImageARGB::GetBlockUniformChannels(uint32_t index)
{
    const _tagITzBLOCKINFOARGB record = StreamedRecord(*this, index);
    uint8_t uniform = 0;
    for (int c = 0; c < 4; ++c)
        if (!record.channels[c])
            uniform |= uint8_t(1u << c);
    return uniform;
}

bool ITzLayerImageARGB::WriteBlockChannels(uint32_t index, ITzBlockChannelWrite write, void* user)
{
    if (!write)
        return false;
    const _tagITzBLOCKINFOARGB record = StreamedRecord(*this, index);
    for (uint32_t c = 0; c < 4; ++c) {
        if (!record.channels[c]) {
            if (!write(c, nullptr, record.constants[c], user))
                return false;
            continue;
        }
        const PTzHandleLockGuard page(record.channels[c]);
        if (!page || !write(c, page.bytes(), 0, user))
            return false;
    }
    return true;
}

int ITzLayerImageARGB::ReadBlockChannels(uint32_t index, uint8_t uniform, ITzBlockChannelRead read, void* user)
{
    if (!read)
        return ITzERR_INVALID;
    _tagITzBLOCKDATAINFO info{};
    info.lastChannel = 3;
    for (uint32_t c = 0; c < 4; ++c) {
        _tagITzCHANNELDATA& channel = info.channels[c];
        int failure = 0;
        if (uniform >> c & 1) {
            failure = read(c, nullptr, &channel.constant, user) ? 0 : ITzERR_INVALID;
        } else {
            // The read fills every byte of the page, or the page is freed below.
            channel.data = PTzHandleNewUnfilled(ITzBLOCK_PAGE_BYTES);
            const PTzHandleLockGuard page(channel.data);
            failure = !page ? ITzERR_CHANNEL_EXPAND : read(c, page.bytes(), nullptr, user) ? 0 : ITzERR_INVALID;
        }
        if (failure) {
            FreeBlockDataInfo(info);
            return failure;
        }
    }
    return DWKSetBlockInfo(index, &info);
}
