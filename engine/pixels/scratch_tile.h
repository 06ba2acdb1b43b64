// A zeroed interleaved bitmap of one tile, borrowed from the scratch pool for the
// length of one drawing step. Library-private.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/block_memory_pool.h"

namespace lumatra {

// A tile's own bitmap: `bits` deep (32: colour mode 3, else 6), zeroed, rows packed.
class ScratchTile {
public:
    ScratchTile(const PTzRECT& tile, uint16_t bits)
        : m_bitmap{tile.right - tile.left, tile.bottom - tile.top, 0, bits, bits == 32 ? 3 : 6, nullptr}
    {
        m_bitmap.stride = m_bitmap.width * (bits / 8);
        const uint32_t bytes = uint32_t(m_bitmap.stride) * uint32_t(m_bitmap.height);
        if (BlockMemoryAlloc(GetBlockMemoryPool(), &m_bitmap.pixels, bytes))
            std::memset(m_bitmap.pixels, 0, bytes);
    }
    ~ScratchTile()
    {
        if (m_bitmap.pixels)
            BlockMemoryFree(m_bitmap.pixels, 0, GetBlockMemoryPool());
    }
    ScratchTile(const ScratchTile&) = delete;
    ScratchTile& operator=(const ScratchTile&) = delete;

    _tagITzBITMAP* get() { return m_bitmap.pixels ? &m_bitmap : nullptr; }
    PTzRECT whole() const { return {0, 0, m_bitmap.width, m_bitmap.height}; }

private:
    _tagITzBITMAP m_bitmap;
};

}  // namespace lumatra
