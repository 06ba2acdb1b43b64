// ARGB block records: destroy, expand, compress, duplicate and replace.
#include "engine/pixels/block_info_argb.h"

#include <algorithm>
#include <iterator>

#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"

namespace {

bool Carries(const _tagITzBLOCKINFOARGB& record, PTzHANDLE handle)
{
    return std::find(std::begin(record.channels), std::end(record.channels), handle) !=
           std::end(record.channels);
}

// Gives the chosen channels without a handle one from `make(constant)`, all or none.
template <class Make>
int MakeChannels(_tagITzBLOCKINFOARGB* record, uint8_t channels, Make&& make)
{
    if (!record)
        return ITzERR_INVALID;
    PTzHANDLE made[4] = {};
    for (int c = 0; c < 4; ++c) {
        if (record->channels[c] || !(channels >> c & 1))
            continue;
        made[c] = make(record->constants[c]);
        if (!made[c]) {
            for (PTzHANDLE channel : made)
                if (channel)
                    PTzHandleFree(channel);
            return ITzERR_CHANNEL_EXPAND;
        }
    }
    for (int c = 0; c < 4; ++c)
        if (made[c])
            record->channels[c] = made[c];
    return 0;
}

}  // namespace

int ITzBlockInfoARGBDestroy(_tagITzBLOCKINFOARGB* record)
{
    if (!record)
        return 0;
    for (PTzHANDLE channel : record->channels)
        if (channel)
            PTzHandleFree(channel);
    *record = {};
    return 1;
}

int ITzBlockInfoARGBExpand(_tagITzBLOCKINFOARGB* record)
{
    return ITzBlockInfoARGBExpandChannels(record, 0x0F);
}

int ITzBlockInfoARGBExpandChannels(_tagITzBLOCKINFOARGB* record, uint8_t channels)
{
    return MakeChannels(record, channels, ITzChannelExpand);
}

int ITzBlockInfoARGBAllocateChannels(_tagITzBLOCKINFOARGB* record, uint8_t channels)
{
    return MakeChannels(record, channels, [](uint8_t) { return PTzHandleNewUnfilled(ITzBLOCK_PAGE_BYTES); });
}

int ITzBlockInfoARGBCompress(_tagITzBLOCKINFOARGB* record)
{
    if (!record)
        return ITzERR_INVALID;
    for (int c = 0; c < 4; ++c) {
        uint8_t value = 0;
        if (record->channels[c] && ITzChannelUniform(record->channels[c], &value)) {
            PTzHandleFree(record->channels[c]);
            record->channels[c] = nullptr;
            record->constants[c] = value;
        }
    }
    return 0;
}

int ITzBlockInfoARGBDuplicate(const _tagITzBLOCKINFOARGB* source, _tagITzBLOCKINFOARGB* out)
{
    if (!source || !out)
        return 0;
    _tagITzBLOCKINFOARGB copy = *source;
    for (int c = 0; c < 4; ++c) {
        if (!source->channels[c])
            continue;
        copy.channels[c] = ITzChannelDuplicate(source->channels[c]);
        if (!copy.channels[c]) {
            for (int made = 0; made < c; ++made)
                if (source->channels[made])
                    PTzHandleFree(copy.channels[made]);
            return 0;
        }
    }
    *out = copy;
    return 1;
}

void ITzBlockInfoARGBFreeReplaced(const _tagITzBLOCKINFOARGB* old, const _tagITzBLOCKINFOARGB* incoming)
{
    if (!old || !incoming)
        return;
    for (PTzHANDLE channel : old->channels)
        if (channel && !Carries(*incoming, channel))
            PTzHandleFree(channel);
}
