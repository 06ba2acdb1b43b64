// The pen: the floating layer is the front colour everywhere and the stroke's dabs make
// its alpha, so pushes and previews move only the alpha channel.
#include "engine/tools/tool_pen.h"

void ITzToolPen::PrepareFloatingLayerCache(ITzLayerImage* /*cacheLayer*/)
{
}

int ITzToolPen::PrepareBlockData(ITzLayerImage* layer, uint32_t block)
{
    return SetBlockClearColor(layer, block, m_frontColor);
}
