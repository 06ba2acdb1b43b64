// The paint bucket: a gray mask of the matching pixels, made by the magic wand's search
// or the colour selection, cuts the floating layer's colour, which is merged with undo.
#include "engine/tools/tool_bucket.h"

#include <memory>
#include <new>

#include "engine/picture/magic_search.h"
#include "engine/picture/picture.h"
#include "engine/pixels/colour_fill.h"
#include "engine/pixels/layer_image_gray.h"

int ITzToolBucket::FillData(ITzPicture* picture, _tagPTzCOLOR* colour, PTzPOINT* point, uint32_t tolerance,
                            int contiguous, uint8_t opacity)
{
    _tagPTzSIZE size = {};
    if (!picture || !colour || !point || picture->GetSize(&size) != 0 || point->x < 0 || point->y < 0 ||
        point->x >= size.cx || point->y >= size.cy || !StartEditing(picture))
        return 0;
    int result = 0;
    ITzLayerBase* active = picture->GetLayerbyIndex(picture->GetActiveLayerID());
    // The search looks at what is shown: a floating layer left on the layer is merged first.
    if (active && active->IsImageLayer() && static_cast<ITzLayerImage*>(active)->ClearFloatingLayer()) {
        const PTzRECT all = {0, 0, size.cx, size.cy};
        const std::unique_ptr<ITzLayerImage, ITzLayerDestroyer> mask(new (std::nothrow) ITzLayerImageGray());
        bool marked = mask && mask->SetSize(&all, 1) == 0;
        if (marked && contiguous)
            marked = ITzMagicSearch().Search(point, mask.get(), active, tolerance) == 0;
        else if (marked)
            marked = ITzCOLORFILL().FillSelection(point, mask.get(), active, uint8_t(tolerance)) == 0;
        if (marked)
            result = FillThroughMask(picture, mask.get(), all, colour, opacity);
    }
    StopEditing(picture);
    return result;
}

int ITzToolBucket::FillThroughMask(ITzPicture* picture, ITzLayerImage* mask, const PTzRECT& pictureRect,
                                   _tagPTzCOLOR* colour, uint8_t opacity)
{
    ITzLayerImage* floating = CreateFloatingLayer(picture);
    if (!floating)
        return 0;
    PTzRECT local, maskLocal;
    floating->PRECTtoLRECT(&pictureRect, &local);
    mask->PRECTtoLRECT(&pictureRect, &maskLocal);
    mask->SetOpacity(255);
    int result = 0;
    if (floating->FillRect(&local, colour) == 0 && floating->MergeMaskLayer(mask, &maskLocal, &local) == 0) {
        floating->SetOpacity(opacity);
        result = MergeFloatingLayer(picture);
    }
    // A floating layer left behind would be merged by the next edit.
    if (!result)
        DiscardFloatingLayer(picture);
    return result;
}
