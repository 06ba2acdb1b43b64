// Shared by the picture's tests: layers of a given size and a recorder of the picture's
// messages and observer calls.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"

namespace picture_test {

inline bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A transparent ARGB layer covering the rectangle (picture coordinates).
inline ITzLayerImageARGB* MakeLayer(PTzRECT bounds = {0, 0, 10, 10})
{
    auto* layer = new ITzLayerImageARGB();
    layer->SetSize(&bounds, 1);
    return layer;
}

inline void FillLayers(ITzPicture& picture, int count)
{
    for (int i = 0; i < count; ++i)
        picture.InsertLayer(picture.GetLayerCount(), MakeLayer());
}

// One entry per message or observer call, in the order they happened.
struct Event {
    uint32_t code;       // a picture message, or 1 DataChanged, 2 DataChangedSelection
    uint32_t a = 0;      // 1001/1002: index; 1003: from
    uint32_t b = 0;      // 1003: to
    const void* layer = nullptr;  // 1002
    bool joined = false;          // 1001: the layer had its owner and a link number by then
    PTzRECT rect = {};   // observer calls
    int flag = 0;
};

inline constexpr uint32_t kDataChanged = 1;
inline constexpr uint32_t kSelectionChanged = 2;

class Recorder : public PTzListener, public ITzPictDataChangeHandler {
public:
    std::vector<Event> events;

    std::vector<uint32_t> codes() const
    {
        std::vector<uint32_t> out;
        for (const Event& e : events)
            out.push_back(e.code);
        return out;
    }
    void Watch(ITzPicture& picture)
    {
        AddToBroadcaster(&picture);
        picture.InsertDataChangeHandler(this);
    }

    void DataChanged(const PTzRECT* rect, int flag) override { Observed(kDataChanged, rect, flag); }
    void DataChangedSelection(const PTzRECT* rect, int flag) override { Observed(kSelectionChanged, rect, flag); }

protected:
    void Observed(uint32_t code, const PTzRECT* rect, int flag)
    {
        Event e{code};
        e.rect = *rect;
        e.flag = flag;
        events.push_back(e);
    }

    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override
    {
        Event e{message};
        if (message == ITzPICTMSG_LAYER_INSERTED) {
            e.a = *static_cast<uint32_t*>(param);
            auto* picture = static_cast<ITzPicture*>(sender);
            const ITzLayerBase* layer = picture->GetLayerbyIndex(static_cast<uint16_t>(e.a));
            e.joined = layer->GetPicture() == picture && layer->GetLinkNumber() != 0xFFFF;
        } else if (message == ITzPICTMSG_LAYER_REMOVED) {
            const auto* removed = static_cast<_tagITzPICTLAYERREMOVED*>(param);
            e.a = removed->index;
            e.layer = removed->layer;
        } else if (message == ITzPICTMSG_LAYER_MOVED) {
            const auto* moved = static_cast<_tagITzPICTLAYERMOVED*>(param);
            e.a = moved->from;
            e.b = moved->to;
        }
        events.push_back(e);
        return 1;
    }
};

}  // namespace picture_test
