// Shared by the layer-manager and layer-merge tests: the whole observable state of a
// picture's stack (layers, their pixels and properties, the active index) to compare
// before and after undo and redo, and a count of layers destroyed.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "base/broadcaster.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "floating_test_support.h"

namespace layer_test {

struct LayerState {
    const ITzLayerBase* layer;
    floating_test::Snapshot pixels;
    uint8_t opacity;
    int visible;
    uint16_t link;
    int32_t mergeType;
    std::u16string name;

    bool operator==(const LayerState& other) const
    {
        return layer == other.layer && pixels == other.pixels && opacity == other.opacity &&
               visible == other.visible && link == other.link && mergeType == other.mergeType &&
               name == other.name;
    }
};

struct PictureState {
    std::vector<LayerState> layers;
    uint16_t active = 0;

    bool operator==(const PictureState& other) const
    {
        return layers == other.layers && active == other.active;
    }
};

inline std::ostream& operator<<(std::ostream& out, const PictureState& state)
{
    out << "active " << state.active << ", layers:";
    for (const LayerState& layer : state.layers)
        out << " [" << layer.layer << " op " << int(layer.opacity) << " vis " << layer.visible << " link "
            << layer.link << " merge " << layer.mergeType << " " << layer.pixels.pixels.size() << " bytes]";
    return out;
}

inline PictureState State(ITzPicture& picture)
{
    PictureState state;
    state.active = picture.GetActiveLayerID();
    for (uint16_t i = 0; i < picture.GetLayerCount(); ++i) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(i);
        LayerState shot{layer, {}, layer->GetOpacity(), layer->IsVisible(), layer->GetLinkNumber(),
                        int32_t(layer->GetMergeType()), layer->GetName()};
        if (layer->IsImageLayer())
            shot.pixels = floating_test::Take(static_cast<ITzLayerImage*>(layer));
        state.layers.push_back(std::move(shot));
    }
    return state;
}

// Counts the layers that announced their destruction while it listened to them.
class DestroyCounter : public PTzListener {
public:
    int destroyed = 0;

    void Watch(ITzLayerBase* layer) { AddToBroadcaster(layer); }

protected:
    int Listen(uint32_t message, void* /*param*/, PTzBroadcaster* /*sender*/) override
    {
        destroyed += message == ITzLAYERMSG_DESTROY ? 1 : 0;
        return 1;
    }
};

}  // namespace layer_test
