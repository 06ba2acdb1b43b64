// New layer names.
#include "app/shell/layer_naming.h"

#include "app/shell/shell_strings.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"

namespace {

constexpr uint32_t kLastNumber = 199;

bool IsNameTaken(ITzPicture& picture, const std::u16string& name)
{
    const uint16_t count = picture.GetLayerCount();
    for (uint16_t i = 0; i < count; ++i) {
        const ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        if (layer && std::u16string_view(layer->GetName()) == name)
            return true;
    }
    return false;
}

std::u16string NameNumberedFrom(ITzPicture& picture, uint32_t first)
{
    const std::u16string base = quorvel::LoadShellString(quorvel::IDS_LAYER).toStdU16String();
    for (uint32_t number = first;; ++number) {
        std::u16string name = base;
        if (number != 0)
            name += u" " + QString::number(number).toStdU16String();
        if (number >= kLastNumber || !IsNameTaken(picture, name))
            return name.substr(0, ITzLAYER_NAME_LENGTH - 1);
    }
}

}  // namespace

std::u16string MakeNewLayerName(ITzPicture& picture)
{
    return NameNumberedFrom(picture, picture.GetLayerCount());
}

void NameUnnamedLayer(ITzPicture& picture, uint16_t index)
{
    ITzLayerBase* layer = picture.GetLayerbyIndex(index);
    if (!layer || layer->GetName()[0] != 0)
        return;
    // Numbered as if the layer were not there yet; its own empty name takes no number.
    layer->SetName(NameNumberedFrom(picture, picture.GetLayerCount() - 1u).c_str());
}
