// A layer's name read within its 64 units.
#include "app/ui/layer_name_text.h"

#include "engine/pixels/layer_base.h"

QString LayerNameText(const ITzLayerBase& layer)
{
    const PTzChar* name = layer.GetName();
    qsizetype length = 0;
    while (length < qsizetype(ITzLAYER_NAME_LENGTH) && name[length] != 0)
        ++length;
    return QString::fromUtf16(name, length);
}
