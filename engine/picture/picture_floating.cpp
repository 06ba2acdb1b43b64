// Floating layers left on the picture's layers: merged away as 'auto' undo steps before
// another edit, each into the layer that carries it.
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_auto_merge.h"

int ITzPicture::ClearFloatingLayer()
{
    ITzLayerBase* active = GetLayerbyIndex(GetActiveLayerID());
    if (!active || !active->IsImageLayer())
        return 1;
    return static_cast<ITzLayerImage*>(active)->ClearFloatingLayer();
}

int ITzPicture::AutoMergeFloatingLayer(ITzLayerImage* layer)
{
    // A step saved while the history replays one would cut the history under its feet
    // (replays change the active layer, whose deactivation clears its floating layer).
    if (!layer || !m_undo || m_replaying)
        return 0;
    ITzToolAutoMerge tool;
    return tool.MergeLayerFloating(this, layer);
}
