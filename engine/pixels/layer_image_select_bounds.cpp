// The selection's cached bounds: the smallest rectangle of the layer that holds every
// non-zero mask value, also values below the selected threshold.
#include <climits>

#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/scratch_pages.h"

namespace {

// Starts empty and grows with PTzRectLimitValue / PTzRectLimitRect.
constexpr PTzRECT kNoBounds = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
constexpr PTzRECT kWholeBlock = {0, 0, ITzBLOCK_SIDE, ITzBLOCK_SIDE};

bool Contains(const PTzRECT& outer, const PTzRECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The non-zero pixels of one 256 x 256 page, in block coordinates.
PTzRECT PageBounds(const uint8_t* page)
{
    PTzRECT found = kNoBounds;
    for (int32_t y = 0; y < ITzBLOCK_SIDE; ++y) {
        const uint8_t* row = page + y * ITzBLOCK_SIDE;
        int32_t first = 0;
        while (first < ITzBLOCK_SIDE && row[first] == 0)
            ++first;
        if (first == ITzBLOCK_SIDE)
            continue;
        int32_t last = ITzBLOCK_SIDE - 1;
        while (row[last] == 0)
            --last;
        PTzRectLimitValue(&found, first, y);
        PTzRectLimitValue(&found, last, y);
    }
    return found;
}

}  // namespace

void ITzLayerImageSelect::FindSelectionBounds()
{
    PTzRECT layerBounds;
    GetBounds(&layerBounds);
    PTzRECT running = kNoBounds;
    const lumatra::ScratchPages scratch(1);
    for (uint32_t index = 0, count = GetBlockCount(); index < count; ++index) {
        PTzRECT block;
        if (GetBlockPictRect(index, &block) != 0)
            continue;
        // Values beyond the layer's bounds are no part of the layer.
        PTzRECT inside;
        if (!PTzRectIntersect(&block, &layerBounds, &inside) || Contains(running, inside))
            continue;
        _tagITzBLOCKINFOGRAY record;
        if (GetBlockInfo(index, &record, 0) != 0)
            continue;
        PTzRECT found = kNoBounds;
        if (!record.data)
            found = record.constant != 0 ? kWholeBlock : kNoBounds;
        else if (scratch.ok() && FillBlockBufferChannel(record.data, record.constant, scratch.page(0)) == 0)
            found = PageBounds(scratch.page(0));
        else
            found = kWholeBlock;  // unread data may hold values anywhere in the block
        if (PTzRectEmpty(&found))
            continue;
        const _tagPTzOFFSET corner = {block.left, block.top};
        PTzRECT placed;
        PTzRectOffset(&found, &corner, &placed);
        if (PTzRectIntersect(&placed, &inside, &placed))
            PTzRectLimitRect(&running, &placed);
    }
    // The empty sentinel is tested before it is moved, since moving it would wrap it.
    if (PTzRectEmpty(&running)) {
        m_selectionBounds = {0, 0, 0, 0};
        return;
    }
    const _tagPTzOFFSET toLayer = {-layerBounds.left, -layerBounds.top};
    PTzRectOffset(&running, &toLayer, &m_selectionBounds);
}
