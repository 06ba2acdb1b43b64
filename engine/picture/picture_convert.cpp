// Layers drawn through a rendered image (text layers) turned into image layers, by the
// user's command or for an edit that needs pixels, each through a short-lived tool.
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_convert.h"

int ITzPicture::ConvertLayerToImageLayer(uint16_t index)
{
    ITzLayerBase* layer = GetLayerbyIndex(index);
    if (!layer || layer->IsImageLayer())
        return 0;
    ITzToolConvert tool;
    return ITzToolAutoConvert::ConvertLayer(&tool, index, this);
}

ITzLayerImage* ITzPicture::GetImageLayerConvert(uint16_t index, int* converted)
{
    if (converted)
        *converted = 0;
    ITzLayerBase* layer = GetLayerbyIndex(index);
    if (layer && !layer->IsImageLayer()) {
        ITzToolAutoConvert tool;
        if (!ITzToolAutoConvert::ConvertLayer(&tool, index, this))
            return nullptr;
        layer = GetLayerbyIndex(index);
        if (converted)
            *converted = 1;
    }
    return layer && layer->IsImageLayer() ? static_cast<ITzLayerImage*>(layer) : nullptr;
}
