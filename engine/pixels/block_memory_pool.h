// The scratch tile pool: 64 pages of 64 KB carved from one 4 MB block, lent out in
// runs of consecutive pages so that tile work never calls the system allocator.
// Single-threaded; one pool per process, made on first use by GetBlockMemoryPool.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

inline constexpr uint32_t ITzBLOCK_PAGE_BYTES = 65536;  // one channel of a 256 x 256 tile
inline constexpr uint32_t ITzBLOCK_PAGE_COUNT = 64;

// The four channel pages of one ARGB tile (alpha, red, green, blue) and the constants of
// the channels that are uniform; a null page means the channel is its constant. The pool
// fills and clears only the pages.
struct _tagITzBLOCKMEMORYARGB {
    uint8_t* planes[4];
    uint8_t constants[4];
};

// The four channel pages of one tile without constants.
struct _tagITzBlockBUFFER {
    uint8_t* planes[4];
};

// The one page of a gray or mask tile.
struct _tagITzBLOCKMEMORYGRAY {
    uint8_t* plane;
};

class LUMATRA_API ITzBlockMemoryPool {
public:
    // The first pool constructed becomes the process-wide one.
    ITzBlockMemoryPool();
    // Frees the page memory and stops being the process-wide pool.
    ~ITzBlockMemoryPool();
    ITzBlockMemoryPool(const ITzBlockMemoryPool&) = delete;
    ITzBlockMemoryPool& operator=(const ITzBlockMemoryPool&) = delete;

    // The first run of enough free pages for `size` bytes, lowest address first; the
    // pages keep what their last borrower left. Null when the size is 0, no run is free
    // or the page memory cannot be made.
    uint8_t* Alloc(uint32_t size);
    // Gives back the whole run that starts at `pointer`. Pointers that start no lent
    // run (a second free, a page inside a run, memory beyond the pool) change nothing.
    // False only for a null pointer, no page memory or a pointer below it.
    bool Free(const uint8_t* pointer);
    // Stops being the process-wide pool and frees the page memory when no page is lent;
    // false (memory kept) while pages are out.
    bool Release();

    const uint8_t* buffer() const { return m_buffer; }
    uint64_t occupancy() const { return m_occupancy; }
    uint32_t pageCount() const { return m_pageCount; }
    uint32_t pagesInUse() const { return m_pagesInUse; }
    uint32_t highWaterMark() const { return m_highWaterMark; }

private:
    bool MakeBuffer();
    void FreeBuffer();

    uint8_t* m_buffer = nullptr;
    uint64_t m_occupancy = 0;  // bit i: page i is lent
    uint32_t m_pageCount = ITzBLOCK_PAGE_COUNT;
    uint32_t m_pagesInUse = 0;
    uint32_t m_highWaterMark = 0;
    uint8_t m_runLength[ITzBLOCK_PAGE_COUNT] = {};  // pages of the run lent from page i, or 0
};

// The process-wide pool, made on first use; null only when it cannot be made.
LUMATRA_C ITzBlockMemoryPool* GetBlockMemoryPool();
// The process-wide pool when it exists, without making it.
LUMATRA_C ITzBlockMemoryPool* FindBlockMemoryPool();
// Deletes the pool GetBlockMemoryPool made (the engine's shut-down): 1, or 0 when there
// is none or while it lends pages, which keeps it; pools constructed by anyone else stay theirs.
LUMATRA_C int FreeBlockMemoryPool();

// Lends ceil(size / 65,536) consecutive pages: 1 and their start in `out`, or 0 for a
// null argument, a size of 0, no free run or no page memory.
LUMATRA_C int BlockMemoryAlloc(ITzBlockMemoryPool* pool, uint8_t** out, uint32_t size);
// Gives back the run that starts at `pointer`, exactly as many pages as were lent
// (`size` is not trusted). 1, or 0 for a null pointer or pool, no page memory or a
// pointer below it.
LUMATRA_C int BlockMemoryFree(uint8_t* pointer, uint32_t size, ITzBlockMemoryPool* pool);

// Lends one page per plane, all or nothing: 0, or -1001 (planes cleared, nothing kept)
// for a null argument or when the pool runs out.
LUMATRA_C int BlockMemoryAllocARGB(ITzBlockMemoryPool* pool, _tagITzBLOCKMEMORYARGB* block);
LUMATRA_C int BlockMemoryAllocBlockBuffer(ITzBlockMemoryPool* pool, _tagITzBlockBUFFER* block);
// Gives back every non-null plane and clears it: always 0 (a null pool or record
// changes nothing).
LUMATRA_C int BlockMemoryFreeARGB(ITzBlockMemoryPool* pool, _tagITzBLOCKMEMORYARGB* block);
LUMATRA_C int BlockMemoryFreeBlockBuffer(ITzBlockMemoryPool* pool, _tagITzBlockBUFFER* block);

// Stops the pool being the process-wide one, then frees its page memory if no page is
// lent: 1, or 0 (memory kept) while pages are out or for null. The caller deletes it.
LUMATRA_C int ReleaseBlockMemoryPool(ITzBlockMemoryPool* pool);
