// Pages of 65,536 bytes borrowed from the scratch pool for the length of one
// operation, all or none. Library-private.
#pragma once

#include <cstdint>

#include "engine/pixels/block_memory_pool.h"

namespace lumatra {

class ScratchPages {
public:
    // One to four pages.
    explicit ScratchPages(int count) : m_count(count < 1 ? 1 : count > 4 ? 4 : count)
    {
        ITzBlockMemoryPool* pool = GetBlockMemoryPool();
        for (int i = 0; i < m_count; ++i)
            if (!pool || !BlockMemoryAlloc(pool, &m_pages[i], ITzBLOCK_PAGE_BYTES))
                m_ok = false;
    }
    ~ScratchPages()
    {
        for (int i = 0; i < m_count; ++i)
            if (m_pages[i])
                BlockMemoryFree(m_pages[i], ITzBLOCK_PAGE_BYTES, GetBlockMemoryPool());
    }
    ScratchPages(const ScratchPages&) = delete;
    ScratchPages& operator=(const ScratchPages&) = delete;

    bool ok() const { return m_ok; }
    uint8_t* page(int i) const { return m_pages[i]; }

private:
    int m_count;
    uint8_t* m_pages[4] = {};
    bool m_ok = true;
};

}  // namespace lumatra
