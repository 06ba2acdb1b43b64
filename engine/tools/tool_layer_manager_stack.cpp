// Helpers shared by the layer-manager and layer-merge tools.
#include "engine/tools/tool_layer_manager_stack.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "engine/tools/tool_base.h"

namespace lumatra {

ToolEditScope::ToolEditScope(ITzToolBase& tool, ITzPicture* picture)
    : m_tool(tool), m_picture(picture), m_held(tool.StartEditing(picture) != 0)
{
}

ToolEditScope::~ToolEditScope()
{
    if (m_held)
        m_tool.StopEditing(m_picture);
}

bool PictureHoldsLayer(ITzPicture& picture, const ITzLayerBase* layer)
{
    if (!layer)
        return false;
    for (uint16_t i = 0; i < picture.GetLayerCount(); ++i) {
        if (picture.GetLayerbyIndex(i) == layer)
            return true;
    }
    return false;
}

ITzLayerBase* TakeLayerOut(ITzPicture& picture, uint16_t index)
{
    ITzLayerBase* layer = picture.GetLayerbyIndex(index);
    if (!layer)
        return nullptr;
    const uint16_t link = layer->GetLinkNumber();
    ITzLayerBase* out = nullptr;
    if (picture.RemoveLayer(index, &out) != 0 || out != layer)
        return nullptr;
    // The picture marks a removed layer as having no link group; the record keeps it.
    layer->SetLinkNumber(link);
    return layer;
}

void SwapActiveLayer(ITzPicture& picture, uint16_t& recorded, uint16_t before)
{
    picture.SetActiveLayerID(recorded);
    recorded = before;
}

}  // namespace lumatra
