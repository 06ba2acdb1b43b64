// Floating layers merged away before an edit that works on stored pixels.
#include "engine/tools/tool_merge_floating_first.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

namespace lumatra {

bool MergeFloatingFirst(ITzPicture& picture, ITzLayerBase* layer)
{
    if (!layer || !layer->IsImageLayer())
        return true;
    auto* image = static_cast<ITzLayerImage*>(layer);
    return !image->GetFloatingLayer() || picture.AutoMergeFloatingLayer(image);
}

bool MergeFloatingFirst(ITzPicture& picture, const std::function<bool(uint16_t index)>& reads)
{
    for (uint16_t index = 0; index < picture.GetLayerCount(); ++index)
        if ((!reads || reads(index)) && !MergeFloatingFirst(picture, picture.GetLayerbyIndex(index)))
            return false;
    return true;
}

}  // namespace lumatra
