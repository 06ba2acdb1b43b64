// Uniform-channel tests and the making and copying of channel handles.
#include "engine/pixels/channel_compression.h"

#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"

int ITzBytesUniform(const uint8_t* bytes, uint32_t count, uint8_t* value)
{
    if (!bytes || count == 0)
        return 0;
    // Every byte equals the one after it: the C library's compare, vectorised for the
    // processor, stops at the first difference.
    if (std::memcmp(bytes, bytes + 1, count - 1) != 0)
        return 0;
    if (value)
        *value = bytes[0];
    return 1;
}

PTzHANDLE ITzChannelExpand(uint8_t value)
{
    PTzHANDLE channel = PTzHandleNewUnfilled(ITzBLOCK_PAGE_BYTES);
    if (!channel)
        return nullptr;
    PTzHandleLockGuard bytes(channel);
    std::memset(bytes.bytes(), value, ITzBLOCK_PAGE_BYTES);
    return channel;
}

int ITzChannelUniform(PTzHANDLE channel, uint8_t* value)
{
    PTzHandleLockGuard bytes(channel);
    if (!bytes)
        return 0;
    return ITzBytesUniform(bytes.bytes(), PTzBlockSize(channel), value);
}

PTzHANDLE ITzChannelDuplicate(PTzHANDLE channel)
{
    const uint32_t size = PTzBlockSize(channel);
    PTzHandleLockGuard source(channel);
    if (!source || size == 0)
        return nullptr;
    PTzHANDLE copy = PTzHandleNewUnfilled(size);
    if (!copy)
        return nullptr;
    PTzHandleLockGuard target(copy);
    std::memcpy(target.bytes(), source.bytes(), size);
    return copy;
}

int ITzChannelToPage(PTzHANDLE channel, uint8_t constant, uint8_t* page)
{
    if (!page)
        return ITzERR_INVALID;
    if (!channel) {
        std::memset(page, constant, ITzBLOCK_PAGE_BYTES);
        return 0;
    }
    const PTzHandleLockGuard bytes(channel);
    if (!bytes || PTzBlockSize(channel) < ITzBLOCK_PAGE_BYTES)
        return ITzERR_INVALID;
    std::memcpy(page, bytes.bytes(), ITzBLOCK_PAGE_BYTES);
    return 0;
}

int ITzChannelCopyInto(PTzHANDLE source, uint8_t value, PTzHANDLE* destHandle, uint8_t* destValue)
{
    if (!destHandle || !destValue)
        return 0;
    if (!source) {
        *destValue = value;
        if (*destHandle)
            PTzHandleFree(*destHandle);
        *destHandle = nullptr;
        return 1;
    }
    if (!*destHandle && !(*destHandle = PTzHandleNew(ITzBLOCK_PAGE_BYTES)))
        return 0;
    if (PTzBlockSize(*destHandle) < ITzBLOCK_PAGE_BYTES)
        return 0;
    const PTzHandleLockGuard dest(*destHandle);
    return dest && ITzChannelToPage(source, 0, dest.bytes()) == 0 ? 1 : 0;
}
