// Planes for channel bitmaps, borrowed from the scratch pool or allocated as blocks.
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/checked_size.h"
#include "base/memory.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/block_memory_pool.h"

namespace {

// Gives the record plane 0 when asked and planes 1 to `colorPlanes` (at most 4), each
// width x height zero-filled bytes from `take`; on any failure `give` returns what was
// taken and the record stays as it was.
template <typename Take, typename Give>
int CreatePlanes(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size, int extraPlane,
                 uint32_t colorPlanes, Take take, Give give)
{
    if (!bitmap || !size || size->cx <= 0 || size->cy <= 0)
        return 0;
    uint64_t bytes = 0;
    if (!PTzCheckedMul(uint64_t(size->cx), uint64_t(size->cy), &bytes, std::numeric_limits<uint32_t>::max()))
        return 0;
    const uint32_t last = colorPlanes < 4 ? colorPlanes : 4;
    uint8_t* planes[5] = {};
    for (uint32_t p = extraPlane ? 0 : 1; p <= last; ++p) {
        planes[p] = take(static_cast<uint32_t>(bytes));
        if (planes[p])
            continue;
        for (uint8_t* plane : planes)
            if (plane)
                give(plane);
        return 0;
    }
    bitmap->width = size->cx;
    bitmap->height = size->cy;
    bitmap->stride = size->cx;
    for (int p = 0; p < 5; ++p)
        bitmap->planes[p] = planes[p];
    return 1;
}

}  // namespace

ITzUtilityChannelBitmap::~ITzUtilityChannelBitmap() = default;

int ITzUtilityChannelBitmap::CreateITzBufferBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size,
                                                   int extraPlane, uint32_t colorPlanes)
{
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    if (!pool)
        return 0;
    return CreatePlanes(
        bitmap, size, extraPlane, colorPlanes,
        [pool](uint32_t bytes) {
            uint8_t* pages = pool->Alloc(bytes);
            if (pages)
                std::memset(pages, 0, bytes);  // pool pages keep their last borrower's bytes
            return pages;
        },
        [pool](uint8_t* pages) { pool->Free(pages); });
}

int ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* /*size*/)
{
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    if (!bitmap || !pool)
        return 0;
    // The pool knows how many pages each plane was lent; clearing the pointers makes a
    // second release harmless.
    for (uint8_t*& plane : bitmap->planes) {
        if (plane)
            pool->Free(plane);
        plane = nullptr;
    }
    return 1;
}

int ITzUtilityChannelBitmap::CreateBitmap(_tagITzCHANNELBITMAP* bitmap, const _tagPTzSIZE* size,
                                          int extraPlane, uint32_t colorPlanes)
{
    return CreatePlanes(
        bitmap, size, extraPlane, colorPlanes,
        [](uint32_t bytes) { return static_cast<uint8_t*>(PTzPointNew(bytes)); },
        [](uint8_t* block) { PTzPointFree(block); });
}

int ITzUtilityChannelBitmap::ReleaseBitmap(_tagITzCHANNELBITMAP* bitmap)
{
    if (!bitmap)
        return 1;
    for (uint8_t*& plane : bitmap->planes) {
        if (plane)
            PTzPointFree(plane);
        plane = nullptr;
    }
    return 1;
}
