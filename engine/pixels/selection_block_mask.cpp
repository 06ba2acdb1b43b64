// The selection's values over one block, for the floating merges and the block moves of
// the cut and move tools.
#include "engine/pixels/selection_block_mask.h"

#include <cstring>

#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image_gray.h"

namespace lumatra {

int ProbeBlockMask(ITzLayerImage* selection, const PTzRECT& pictureRect, uint8_t* value)
{
    if (!selection) {
        *value = 255;
        return 1;
    }
    PTzRECT bounds, inside, local;
    selection->GetBounds(&bounds);
    if (!PTzRectIntersect(&pictureRect, &bounds, &inside)) {
        *value = 0;
        return 1;
    }
    auto* mask = dynamic_cast<ITzLayerImageGray*>(selection);
    uint8_t common = 0;
    if (!mask || mask->PRECTtoLRECT(&inside, &local) != 0 || !mask->IsRectDataSame(&local, &common))
        return 0;
    // The part outside the selection layer reads 0, so a rectangle reaching past it is
    // uniform only when the part inside is 0 too.
    if (common != 0 && !PTzRectEqual(&inside, &pictureRect))
        return 0;
    *value = common;
    return 1;
}

bool ReadBlockMask(ITzLayerImage* selection, const PTzRECT& pictureRect, uint8_t* page)
{
    const int64_t width = int64_t(pictureRect.right) - pictureRect.left;
    const int64_t height = int64_t(pictureRect.bottom) - pictureRect.top;
    if (!page || width <= 0 || height <= 0 || width > 256 || height > 256)
        return false;
    if (!selection) {
        std::memset(page, 255, ITzBLOCK_PAGE_BYTES);
        return true;
    }
    std::memset(page, 0, ITzBLOCK_PAGE_BYTES);
    _tagITzCHANNELBITMAP values = {int32_t(width), int32_t(height), 256, int32_t(selection->GetColorMode()), {page}};
    PTzRECT local;
    return selection->PRECTtoLRECT(&pictureRect, &local) == 0 && selection->GetRectChannelData(&values, &local) != 0;
}

}  // namespace lumatra
