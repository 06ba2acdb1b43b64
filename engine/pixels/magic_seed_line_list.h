// ITzMagicSeedLineList: the seed lines of one block of a magic-wand search, and the
// scanline seed fill of a block that consumes them. A line {row, first, last, direction}
// asks to fill row + direction from its columns outward, its own row being filled
// already; direction 0 asks to fill the row itself, spreading both ways (a seed handed
// over from a neighbouring block, whose filled pixel lies beside the row, not above it).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/lumatra_export.h"

struct _tagITzMAGICSEEDLINE {
    int32_t row;
    int32_t first;
    int32_t last;
    int32_t direction;  // +1, -1 or 0
};

class LUMATRA_API ITzMagicSeedLineList {
public:
    ITzMagicSeedLineList();
    ~ITzMagicSeedLineList();
    ITzMagicSeedLineList(const ITzMagicSeedLineList&) = delete;
    ITzMagicSeedLineList& operator=(const ITzMagicSeedLineList&) = delete;

    // Inserts a line in order (direction +1 by row ascending, then -1 by row descending,
    // then 0 by row ascending; then by first column), merged with the lines of its row
    // and direction that overlap or touch it. 1, or 0 when memory is short.
    int Insert(const _tagITzMAGICSEEDLINE& line);
    uint32_t GetCount() const { return uint32_t(m_lines.size()); }
    std::span<const _tagITzMAGICSEEDLINE> Lines() const { return m_lines; }
    void Clear() { m_lines.clear(); }

private:
    std::vector<_tagITzMAGICSEEDLINE> m_lines;
};

namespace lumatra {

// Fills a w x h region of an 8-bit mask (255 = filled) from the seeds: every pixel
// 4-connected to them through pixels whose `match` byte is nonzero and whose mask byte
// is not 255 yet becomes 255. Empties the seed list. The number of pixels filled, or -1
// when memory ran short (the mask then holds part of the region).
LUMATRA_API int64_t MagicBlockFill(uint8_t* mask, int32_t maskStride, const uint8_t* match, int32_t matchStride,
                                   int32_t width, int32_t height, ITzMagicSeedLineList& seeds);

}  // namespace lumatra
