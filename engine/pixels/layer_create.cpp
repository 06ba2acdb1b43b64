// Making and destroying layers by kind, for the engine's function interface.
#include <new>

#include "engine/pixels/layer_base.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_select.h"

ITzLayerBase* ITzLayerBase::CreateLayer(_tagITzLAYERTYPE type)
{
    if (type == ITzLAYERTYPE_ARGB)
        return new (std::nothrow) ITzLayerImageARGB();
    if (type == ITzLAYERTYPE_SELECT)
        return new (std::nothrow) ITzLayerImageSelect();
    return nullptr;
}

int ITzLayerBase::DestroyLayer(ITzLayerBase* layer)
{
    if (!layer)
        return 0;
    // Listeners hear 1108 while the derived parts still exist.
    layer->NotifyDestroy();
    delete layer;
    return 1;
}
