// The image layer's ellipse fill: the layer grows to hold the ellipse, which is then
// scanned into a crossing list and filled by the layer's kind block by block.
#include "base/error_codes.h"
#include "engine/pixels/arc_fill.h"
#include "engine/pixels/layer_image.h"

int ITzLayerImage::FillArc(const PTzRECT* rect, const _tagPTzCOLOR* colour, int /*flag*/)
{
    if (!rect)
        return ITzERR_INVALID;
    if (PTzRectEmpty(rect))
        return 0;
    PTzRECT ellipse;
    LRECTtoPRECT(rect, &ellipse);
    const int extended = ExtendSize(&ellipse, nullptr, 1);
    if (extended != 0)
        return extended;
    PTzRECT clip;
    GetBounds(&clip);
    ITzLayerArcFill fill;
    fill.SetLayer(this);
    fill.SetColor(colour);
    return fill.Fill(&ellipse, &clip);
}
