// The plain functions that make and free layers outside any picture.
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/pixels/layer_base.h"

void* ITzLayerCreate(_tagITzLAYERTYPE type)
{
    return ITzLayerBase::CreateLayer(type);
}

int ITzLayerDestroy(void* layer)
{
    auto* base = static_cast<ITzLayerBase*>(layer);
    // The picture that holds a layer owns it; freeing it here would leave the picture a dangling entry.
    if (base && base->GetPicture())
        return PTzFailWithZero(ITzERR_INVALID);
    return ITzLayerBase::DestroyLayer(base);
}

int ITzOPLayerFill(void*, const PTzRECT*, const _tagPTzCOLOR*)
{
    return ITzERR_INVALID;
}
