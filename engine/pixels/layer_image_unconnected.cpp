// Slots of the image layer whose work belongs to code not yet in the engine: arc fills
// and the magic wand. Until that code is connected each refuses, changing nothing.
#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"

int ITzLayerImage::FillArc(const PTzRECT* /*rect*/, const _tagPTzCOLOR* /*colour*/, int /*flag*/)
{
    return ITzERR_INVALID;
}

int ITzLayerImage::MagicSearchFillSelection(const PTzRECT* /*blockRect*/, _tagITzBITMAP* /*mask*/,
                                            ITzMagicSeedLineList* /*seeds*/, const _tagPTzCOLOR* /*colour*/,
                                            uint32_t /*tolerance*/)
{
    return 0;
}
