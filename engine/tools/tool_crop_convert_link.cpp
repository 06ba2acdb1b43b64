// The installed layer converter of the crop.
#include "engine/tools/tool_crop_convert_link.h"

namespace {

ITzCropLayerConverter g_converter = nullptr;

}  // namespace

void ITzSetCropLayerConverter(ITzCropLayerConverter converter)
{
    g_converter = converter;
}

ITzCropLayerConverter ITzGetCropLayerConverter()
{
    return g_converter;
}
