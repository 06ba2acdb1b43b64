// Uniform-channel tests and the making and copying of channel handles.
#include "engine/pixels/channel_compression.h"

#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/block_memory_pool.h"

int ITzBytesUniform(const uint8_t* bytes, uint32_t count, uint8_t* value)
{
    if (!bytes || count == 0)
        return 0;
    const uint8_t first = bytes[0];
    const uint64_t pattern = uint64_t{first} * 0x0101010101010101u;
    uint32_t i = 0;
    // Eight words per step: one branch per 64 bytes, and a difference ends the scan there.
    for (; i + 64 <= count; i += 64) {
        uint64_t words[8];
        std::memcpy(words, bytes + i, sizeof words);
        uint64_t diff = 0;
        for (uint64_t word : words)
            diff |= word ^ pattern;
        if (diff)
            return 0;
    }
    for (; i < count; ++i)
        if (bytes[i] != first)
            return 0;
    if (value)
        *value = first;
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
