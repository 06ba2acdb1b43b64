// The installed maker of the picture's link to the layer-manager tool.
#include "engine/picture/picture_layer_manager_link.h"

namespace {

ITzPictLayerManagerMaker g_layerManagerMaker = nullptr;

}  // namespace

ITzPictLayerManagerLink::~ITzPictLayerManagerLink() = default;

void ITzSetPictLayerManagerMaker(ITzPictLayerManagerMaker maker)
{
    g_layerManagerMaker = maker;
}

ITzPictLayerManagerMaker ITzGetPictLayerManagerMaker()
{
    return g_layerManagerMaker;
}
