// Tagged blocks: a small header in front of the caller's bytes tells a point from a
// handle, keeps a handle's lock count, and lets a free refuse a foreign pointer.
#include "memory.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "error_codes.h"
#include "memory_test_hooks.h"

namespace {

enum class BlockKind : uint32_t {
    Point = 0x50547A50,   // "PTzP"
    Handle = 0x50547A48,  // "PTzH"
    Freed = 0x46524545,   // "FREE"
};

struct alignas(alignof(std::max_align_t)) BlockHeader {
    BlockKind kind;
    uint32_t bytes;
    uint32_t locks;
    uintptr_t check;  // the header's own address, inverted: a stale or foreign tag fails it
};

thread_local uint64_t allocationCeiling = 0;
thread_local int64_t allocationCountdown = -1;

bool allocationAllowed(uint64_t bytes)
{
    if (allocationCeiling != 0 && bytes > allocationCeiling)
        return false;
    if (allocationCountdown == 0)
        return false;
    if (allocationCountdown > 0)
        --allocationCountdown;
    return true;
}

BlockHeader* headerOf(const void* block)
{
    if (!block)
        return nullptr;
    auto* header = reinterpret_cast<BlockHeader*>(
        const_cast<uint8_t*>(static_cast<const uint8_t*>(block)) - sizeof(BlockHeader));
    if (header->check != ~reinterpret_cast<uintptr_t>(header))
        return nullptr;
    if (header->kind != BlockKind::Point && header->kind != BlockKind::Handle)
        return nullptr;
    return header;
}

enum class Fill { Zeros, None };

void* newBlock(uint32_t bytes, BlockKind kind, Fill fill = Fill::Zeros)
{
    if (!allocationAllowed(bytes)) {
        PTzSetLastError(ENOMEM);
        return nullptr;
    }
    const size_t total = sizeof(BlockHeader) + size_t(bytes);
    void* memory = fill == Fill::Zeros ? std::calloc(1, total) : std::malloc(total);
    if (!memory) {
        PTzSetLastError(ENOMEM);
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(memory);
    header->kind = kind;
    header->bytes = bytes;
    header->locks = 0;
    header->check = ~reinterpret_cast<uintptr_t>(header);
    return header + 1;
}

void* freeBlock(void* block)
{
    BlockHeader* header = headerOf(block);
    if (!header) {
        PTzSetLastError(EINVAL);
        return block;
    }
    header->kind = BlockKind::Freed;
    header->check = 0;
    std::free(header);
    return nullptr;
}

}  // namespace

void PTzTestSetAllocationCeiling(uint64_t bytes)
{
    allocationCeiling = bytes;
}

void PTzTestSetAllocationCountdown(int64_t n)
{
    allocationCountdown = n < 0 ? -1 : n;
}

void* PTzPointNew(uint32_t bytes)
{
    return newBlock(bytes, BlockKind::Point);
}

void* PTzPointNewAdjustable(uint32_t* bytes)
{
    if (!bytes)
        return nullptr;
    uint32_t size = *bytes;
    for (;;) {
        if (void* block = PTzPointNew(size)) {
            *bytes = size;
            return block;
        }
        if (size < 2)
            break;
        size /= 2;
    }
    *bytes = size / 2;
    return nullptr;
}

void* PTzPointFree(void* block)
{
    return freeBlock(block);
}

void* PTzHandleFree(PTzHANDLE handle)
{
    return freeBlock(handle);
}

PTzHANDLE PTzHandleNew(uint32_t bytes)
{
    return newBlock(bytes, BlockKind::Handle);
}

PTzHANDLE PTzHandleNewUnfilled(uint32_t bytes)
{
    return newBlock(bytes, BlockKind::Handle, Fill::None);
}

void* PTzHandleLock(PTzHANDLE handle)
{
    BlockHeader* header = headerOf(handle);
    if (!header || header->kind != BlockKind::Handle) {
        PTzSetLastError(EINVAL);
        return nullptr;
    }
    ++header->locks;
    return handle;
}

int PTzHandleUnlock(PTzHANDLE handle)
{
    BlockHeader* header = headerOf(handle);
    if (!header || header->kind != BlockKind::Handle || header->locks == 0)
        return 0;
    return --header->locks != 0;
}

int PTzHandleZeroFill(PTzHANDLE handle)
{
    BlockHeader* header = headerOf(handle);
    if (!header || header->kind != BlockKind::Handle) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    std::memset(handle, 0, header->bytes);
    return 1;
}

uint32_t PTzBlockSize(const void* block)
{
    const BlockHeader* header = headerOf(block);
    return header ? header->bytes : 0;
}

void* PTzMemcpy(void* dst, const void* src, uint32_t n)
{
    // Ranges closer than n bytes are copied as a move, so overlap is safe.
    return std::memmove(dst, src, n);
}

void* PTzMemmove(void* dst, const void* src, uint32_t n)
{
    return std::memmove(dst, src, n);
}

void* PTzMemset(void* p, int32_t value, uint32_t n)
{
    return std::memset(p, value & 0xFF, n);
}

uint32_t PTzGetTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}
