// The scratch tile pool: first-fit runs over a 64-bit occupancy mask of one 4 MB block.
#include "engine/pixels/block_memory_pool.h"

#include <cstdint>
#include <new>

#include "base/error_codes.h"
#include "base/memory.h"

namespace {

ITzBlockMemoryPool* g_processPool = nullptr;
ITzBlockMemoryPool* g_madeByGetter = nullptr;  // the only pool the engine's shut-down may delete

uint32_t PagesFor(uint32_t size)
{
    return size / ITzBLOCK_PAGE_BYTES + (size % ITzBLOCK_PAGE_BYTES != 0 ? 1u : 0u);
}

uint64_t RunMask(uint32_t first, uint32_t count)
{
    const uint64_t bits = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    return bits << first;
}

}  // namespace

ITzBlockMemoryPool::ITzBlockMemoryPool()
{
    if (!g_processPool)
        g_processPool = this;
}

ITzBlockMemoryPool::~ITzBlockMemoryPool()
{
    if (g_processPool == this)
        g_processPool = nullptr;
    if (g_madeByGetter == this)
        g_madeByGetter = nullptr;
    FreeBuffer();
}

bool ITzBlockMemoryPool::MakeBuffer()
{
    if (m_buffer)
        return true;
    m_buffer = static_cast<uint8_t*>(PTzPointNew(m_pageCount * ITzBLOCK_PAGE_BYTES));
    if (!m_buffer)
        return false;
    m_occupancy = 0;
    m_pagesInUse = 0;
    for (uint8_t& length : m_runLength)
        length = 0;
    return true;
}

void ITzBlockMemoryPool::FreeBuffer()
{
    if (m_buffer)
        PTzPointFree(m_buffer);
    m_buffer = nullptr;
}

uint8_t* ITzBlockMemoryPool::Alloc(uint32_t size)
{
    const uint32_t needed = PagesFor(size);
    if (needed == 0 || needed > m_pageCount || !MakeBuffer())
        return nullptr;
    // Count down over free pages; a lent page restarts the count, so the first run
    // that completes is the lowest one.
    uint32_t remaining = needed;
    for (uint32_t page = 0; page < m_pageCount; ++page) {
        if (m_occupancy & (uint64_t{1} << page)) {
            remaining = needed;
            continue;
        }
        if (--remaining != 0)
            continue;
        const uint32_t first = page + 1 - needed;
        m_occupancy |= RunMask(first, needed);
        m_runLength[first] = static_cast<uint8_t>(needed);
        m_pagesInUse += needed;
        if (m_pagesInUse > m_highWaterMark)
            m_highWaterMark = m_pagesInUse;
        return m_buffer + static_cast<uintptr_t>(first) * ITzBLOCK_PAGE_BYTES;
    }
    return nullptr;
}

bool ITzBlockMemoryPool::Free(const uint8_t* pointer)
{
    if (!pointer || !m_buffer)
        return false;
    const uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
    const uintptr_t base = reinterpret_cast<uintptr_t>(m_buffer);
    if (address < base)
        return false;
    const uintptr_t offset = address - base;
    if (offset % ITzBLOCK_PAGE_BYTES != 0 || offset / ITzBLOCK_PAGE_BYTES >= m_pageCount)
        return true;
    const uint32_t first = static_cast<uint32_t>(offset / ITzBLOCK_PAGE_BYTES);
    const uint32_t length = m_runLength[first];
    m_occupancy &= ~RunMask(first, length);
    m_runLength[first] = 0;
    m_pagesInUse -= length;
    return true;
}

bool ITzBlockMemoryPool::Release()
{
    if (g_processPool == this)
        g_processPool = nullptr;
    if (g_madeByGetter == this)
        g_madeByGetter = nullptr;  // whoever released it deletes it
    if (m_pagesInUse != 0)
        return false;
    FreeBuffer();
    return true;
}

ITzBlockMemoryPool* GetBlockMemoryPool()
{
    // The new pool registers itself as the process-wide one.
    if (!g_processPool)
        g_madeByGetter = new (std::nothrow) ITzBlockMemoryPool;
    return g_processPool;
}

ITzBlockMemoryPool* FindBlockMemoryPool()
{
    return g_processPool;
}

int FreeBlockMemoryPool()
{
    if (!g_madeByGetter || g_madeByGetter->pagesInUse() != 0)
        return 0;
    delete g_madeByGetter;
    return 1;
}

int BlockMemoryAlloc(ITzBlockMemoryPool* pool, uint8_t** out, uint32_t size)
{
    if (!pool || !out)
        return 0;
    uint8_t* run = pool->Alloc(size);
    if (!run)
        return 0;
    *out = run;
    return 1;
}

int BlockMemoryFree(uint8_t* pointer, uint32_t /*size*/, ITzBlockMemoryPool* pool)
{
    return pool && pool->Free(pointer) ? 1 : 0;
}

namespace {

int AllocPlanes(ITzBlockMemoryPool* pool, uint8_t* (&planes)[4])
{
    if (!pool)
        return ITzERR_INVALID;
    uint8_t* taken[4] = {};
    for (uint8_t*& page : taken) {
        page = pool->Alloc(ITzBLOCK_PAGE_BYTES);
        if (page)
            continue;
        for (uint8_t* given : taken)
            pool->Free(given);
        for (uint8_t*& plane : planes)
            plane = nullptr;
        return ITzERR_INVALID;
    }
    for (int i = 0; i < 4; ++i)
        planes[i] = taken[i];
    return 0;
}

int FreePlanes(ITzBlockMemoryPool* pool, uint8_t* (&planes)[4])
{
    if (!pool)
        return 0;
    for (uint8_t*& plane : planes) {
        pool->Free(plane);
        plane = nullptr;
    }
    return 0;
}

}  // namespace

int BlockMemoryAllocARGB(ITzBlockMemoryPool* pool, _tagITzBLOCKMEMORYARGB* block)
{
    return block ? AllocPlanes(pool, block->planes) : ITzERR_INVALID;
}

int BlockMemoryAllocBlockBuffer(ITzBlockMemoryPool* pool, _tagITzBlockBUFFER* block)
{
    return block ? AllocPlanes(pool, block->planes) : ITzERR_INVALID;
}

int BlockMemoryFreeARGB(ITzBlockMemoryPool* pool, _tagITzBLOCKMEMORYARGB* block)
{
    return block ? FreePlanes(pool, block->planes) : 0;
}

int BlockMemoryFreeBlockBuffer(ITzBlockMemoryPool* pool, _tagITzBlockBUFFER* block)
{
    return block ? FreePlanes(pool, block->planes) : 0;
}

int ReleaseBlockMemoryPool(ITzBlockMemoryPool* pool)
{
    return pool && pool->Release() ? 1 : 0;
}
