// The eraser's floating layers: the back colour's, or a gray coverage layer that erases.
#include "engine/tools/tool_erase.h"

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"

ITzLayerImage* ITzToolErase::CreateToolFloatLayer(ITzPicture* picture)
{
    if (m_eraseMode == ITzERASE_BACK_COLOR)
        return ITzToolBrushBase::CreateToolFloatLayer(picture);
    if (m_eraseMode != ITzERASE_ALPHA || !picture)
        return nullptr;
    ITzLayerBase* active = picture->GetLayerbyIndex(picture->GetActiveLayerID());
    if (!active || !active->IsImageLayer())
        return nullptr;
    ITzLayerImage* floating = static_cast<ITzLayerImage*>(active)->CreateFloatingLayer_1(1);
    if (floating) {
        floating->SetOpacity(m_opacity);
        floating->SetMergeType(m_paintMode);
    }
    return floating;
}

int ITzToolErase::PrepareBlockData(ITzLayerImage* layer, uint32_t block)
{
    // Mode 1's gray 0 erases nothing yet, the base's transparent zero.
    return m_eraseMode == ITzERASE_ALPHA ? ITzToolBrushBase::PrepareBlockData(layer, block)
                                         : SetBlockClearColor(layer, block, m_backColor);
}
