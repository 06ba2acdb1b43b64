// Layer base: property messages and their order, bounds and conversions, linked moves
// and undoable edits through the owner, and a destruction listeners can survive.
#include "engine/pixels/layer_base.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "engine/pixels/layer_owner.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

struct Message {
    uint32_t code;
    PTzRECT rect;  // 1107 and 1109 only
};

bool operator==(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class Recorder : public PTzListener {
public:
    std::vector<Message> messages;
    std::function<void(uint32_t, PTzBroadcaster*)> onMessage;

    std::vector<uint32_t> codes() const
    {
        std::vector<uint32_t> out;
        for (const Message& m : messages)
            out.push_back(m.code);
        return out;
    }

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override
    {
        Message m{message, {}};
        if (message == ITzLAYERMSG_DATA || message == ITzLAYERMSG_SELECTION) {
            const auto* data = static_cast<const _tagITzLAYERCHANGEDRECT*>(param);
            EXPECT_EQ(data->flag, 0u);
            m.rect = data->rect;
        }
        messages.push_back(m);
        if (onMessage)
            onMessage(message, sender);
        return 1;
    }
};

// A layer kind with state of its own, so a call that reaches it after its destruction
// shows up under the sanitizers, and with the slots the base drives counted.
class ProbeLayer : public ITzLayerBase {
public:
    using ITzLayerBase::PreviewMergeToBitmap;

    std::vector<int> ownData{1};  // heap state of the kind
    int moveCoreCalls = 0;
    int setBoundsCalls = 0;
    int previewResult = 7;
    std::vector<uint8_t> opacityDuringPreview;
    std::vector<_tagITzZOOMLEVEL> previewZooms;
    std::vector<int> previewForSave;
    uint8_t previewLevel = 0xFF;

    ProbeLayer() = default;
    explicit ProbeLayer(const ITzLayerBase* source) : ITzLayerBase(source) {}

    // 1 read from the kind's own data; the base answers 0.
    int IsLayerEmpty() override { return ownData.front(); }
    int MoveCore(_tagPTzOFFSET* offset) override
    {
        ++moveCoreCalls;
        return ITzLayerBase::MoveCore(offset);
    }
    int SetBounds(const PTzRECT* rect) override
    {
        ++setBoundsCalls;
        return ITzLayerBase::SetBounds(rect);
    }
    int PreviewMergeToBitmap(_tagITzBITMAP*, const PTzRECT*, uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                             const _tagITzZOOMLEVEL* zoomY, int forSave) override
    {
        opacityDuringPreview.push_back(GetOpacity());
        previewZooms.push_back(*zoomX);
        previewZooms.push_back(*zoomY);
        previewForSave.push_back(forSave);
        previewLevel = level;
        return previewResult;
    }
    ITzLayerBase* CreateTransferLayerCroe() override { return new ProbeLayer; }
};

// The picture as the layers see it; the undoable edits apply the plain setters the way
// the layer-manager tool does.
class Owner : public ITzLayerOwner {
public:
    std::vector<ITzLayerBase*> layers;
    uint16_t active = 0;
    uint16_t freeLink = 9;
    bool refuseZoom = false;
    int infoEdits = 0, visibilityEdits = 0, linkEdits = 0;

    void add(ITzLayerBase* layer, uint16_t link)
    {
        layers.push_back(layer);
        layer->SetPicture(this);
        layer->SetLinkNumber(link);
    }

    uint16_t GetLayerCount() override { return uint16_t(layers.size()); }
    ITzLayerBase* GetLayerbyIndex(uint16_t index) override
    {
        return index < layers.size() ? layers[index] : nullptr;
    }
    uint16_t GetActiveLayerID() override { return active; }
    uint16_t GetAvailableLinkNum() override { return freeLink; }
    int GetCacheLevelZoom(uint32_t level, _tagITzZOOMLEVEL*, _tagITzZOOMLEVEL* zoomX,
                          _tagITzZOOMLEVEL* zoomY) override
    {
        if (refuseZoom)
            return 0;
        *zoomX = {100, 100u << level};
        *zoomY = {50, 50u << level};
        return 1;
    }
    ITzLayerImage* GetSelectionLayer(int) override { return nullptr; }
    int DoSetLayerInfo(ITzLayerBase* layer, _tagITzLAYERINFO* info) override
    {
        ++infoEdits;
        layer->Setvisibility(int(info->visible));
        layer->SetOpacity(info->opacity);
        layer->SetName(info->name);
        layer->SetMergeType(ITzMERGETYPE(info->mergeType));
        return 42;
    }
    int DoSetLayerVisibility(ITzLayerBase* layer, int visible) override
    {
        ++visibilityEdits;
        return layer->Setvisibility(visible);
    }
    int DoSetLayerLink(ITzLayerBase* layer, int link) override
    {
        ++linkEdits;
        return layer->LinkWithCurrent(link);
    }
};

constexpr PTzRECT kBounds = {-10, 5, 290, 105};

struct ListenedLayer {
    ProbeLayer layer;
    Recorder recorder;
    ListenedLayer()
    {
        layer.SetBounds(&kBounds);
        recorder.AddToBroadcaster(&layer);
    }
};

TEST(LayerBase, StartsWithTheDefaults)
{
    ITzLayerBase layer;
    PTzRECT bounds;
    EXPECT_EQ(layer.GetType(), ITzLAYERTYPE_GRAY);
    EXPECT_EQ(layer.GetBounds(&bounds), 0);
    EXPECT_TRUE(bounds == (PTzRECT{0, 0, 0, 0}));
    EXPECT_EQ(layer.GetOpacity(), 255);
    EXPECT_EQ(layer.GetName()[0], u'\0');
    EXPECT_EQ(layer.IsVisible(), 1);
    EXPECT_EQ(layer.GetMergeType(), ITzMERGE_NORMAL);
    EXPECT_EQ(layer.GetPicture(), nullptr);
    EXPECT_EQ(layer.GetLinkNumber(), 0xFFFF);
}

TEST(LayerBase, CopyTakesPropertiesButNotOwnerOrLink)
{
    Owner owner;
    ProbeLayer source;
    owner.add(&source, 3);
    source.SetBounds(&kBounds);
    source.SetOpacity(90);
    source.SetMergeType(ITzMERGE_ERASE);
    source.Setvisibility(0);
    source.SetName(u"Sky");

    ProbeLayer copy(&source);
    PTzRECT bounds;
    copy.GetBounds(&bounds);
    EXPECT_TRUE(bounds == kBounds);
    EXPECT_EQ(copy.GetOpacity(), 90);
    EXPECT_EQ(copy.GetMergeType(), ITzMERGE_ERASE);
    EXPECT_EQ(copy.IsVisible(), 0);
    EXPECT_EQ(std::u16string(copy.GetName()), u"Sky");
    EXPECT_EQ(copy.GetPicture(), nullptr);
    EXPECT_EQ(copy.GetLinkNumber(), 0xFFFF);
}

TEST(LayerBaseMessages, OpacityAndMergeTypeAnnounceTheWholeLayerOnceEach)
{
    ListenedLayer l;
    EXPECT_EQ(l.layer.SetOpacity(255), 0);
    EXPECT_EQ(l.layer.SetMergeType(ITzMERGE_NORMAL), 0);
    EXPECT_TRUE(l.recorder.messages.empty());

    EXPECT_EQ(l.layer.SetOpacity(254), 0);
    EXPECT_EQ(l.layer.SetMergeType(ITzMERGE_MULTIPLY_ALPHA), 0);
    const std::vector<uint32_t> expected = {1107, 1103, 1107, 1104};
    EXPECT_EQ(l.recorder.codes(), expected);
    EXPECT_TRUE(l.recorder.messages[0].rect == kBounds);
    EXPECT_TRUE(l.recorder.messages[2].rect == kBounds);

    l.recorder.messages.clear();
    EXPECT_EQ(l.layer.SetTempOpacity(3), 0);
    EXPECT_EQ(l.layer.GetOpacity(), 3);
    EXPECT_TRUE(l.recorder.messages.empty());
}

TEST(LayerBaseMessages, HidingATransparentLayerSendsOnlyTheVisibility)
{
    ListenedLayer l;
    EXPECT_EQ(l.layer.Setvisibility(7), 1);
    EXPECT_TRUE(l.recorder.messages.empty());

    EXPECT_EQ(l.layer.Setvisibility(0), 0);
    EXPECT_EQ(l.recorder.codes(), (std::vector<uint32_t>{1107, 1102}));
    EXPECT_TRUE(l.recorder.messages[0].rect == kBounds);

    l.recorder.messages.clear();
    l.layer.SetTempOpacity(0);
    EXPECT_EQ(l.layer.Setvisibility(1), 1);
    EXPECT_EQ(l.recorder.codes(), (std::vector<uint32_t>{1102}));
}

TEST(LayerBaseMessages, NameLinkAndActivity)
{
    ListenedLayer l;
    EXPECT_EQ(l.layer.SetName(nullptr), 0);
    std::u16string longName(100, u'x');
    EXPECT_EQ(l.layer.SetName(longName.c_str()), 1);
    EXPECT_EQ(std::u16string(l.layer.GetName()), longName.substr(0, 63));
    EXPECT_EQ(l.layer.SetName(l.layer.GetName()), 1);

    l.layer.SetLinkNumber(4);
    l.layer.SetLinkNumber(4);
    EXPECT_EQ(l.layer.SetActive(), 1);
    EXPECT_EQ(l.layer.Deactive(), 1);
    EXPECT_EQ(l.recorder.codes(), (std::vector<uint32_t>{1106, 1106, 1101, 1105, 1105}));
}

TEST(LayerBaseMessages, PreviewChangedReportsPictureCoordinates)
{
    ListenedLayer l;
    EXPECT_NE(l.layer.PreviewChanged(nullptr), 0);
    const PTzRECT local = {0, 0, 20, 30};
    EXPECT_EQ(l.layer.PreviewChanged(&local), 0);
    ASSERT_EQ(l.recorder.codes(), (std::vector<uint32_t>{1107}));
    EXPECT_TRUE(l.recorder.messages[0].rect == (PTzRECT{-10, 5, 10, 35}));
}

TEST(LayerBaseGeometry, ConversionsDifferByThePosition)
{
    ProbeLayer layer;
    layer.SetBounds(&kBounds);
    PTzRECT r;
    EXPECT_EQ(layer.GetLBounds(&r), 0);
    EXPECT_TRUE(r == (PTzRECT{0, 0, 300, 100}));
    EXPECT_EQ(layer.GetAvalibeLBounds(&r), 0);
    EXPECT_TRUE(r == (PTzRECT{0, 0, 300, 100}));

    const PTzRECT picture = {-256, 0, 256, 512};
    EXPECT_EQ(layer.PRECTtoLRECT(&picture, &r), 0);
    EXPECT_TRUE(r == (PTzRECT{-246, -5, 266, 507}));
    EXPECT_EQ(layer.LRECTtoPRECT(&r, &r), 0);
    EXPECT_TRUE(r == picture);

    PTzPOINT p = {0, 0};
    EXPECT_EQ(layer.PPointtoLPoint(&p, &p), 0);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, -5);
    EXPECT_EQ(layer.LPointtoPPoint(&p, &p), 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);

    EXPECT_EQ(layer.PRECTtoLRECT(nullptr, &r), -1001);
}

TEST(LayerBaseGeometry, FarCoordinatesSaturateInsteadOfWrapping)
{
    ProbeLayer layer;
    const PTzRECT far = {-2000000000, 0, 2000000000, 10};
    layer.SetBounds(&far);
    PTzRECT r;
    layer.GetLBounds(&r);
    EXPECT_EQ(r.right, INT32_MAX);
    const PTzRECT right = {2000000000, 0, 2000000001, 1};
    layer.PRECTtoLRECT(&right, &r);
    EXPECT_EQ(r.left, INT32_MAX);
}

TEST(LayerBaseGeometry, ExtendSizeGrowsToTheUnionOnly)
{
    ProbeLayer layer;
    PTzRECT out;
    const PTzRECT first = {5, 6, 7, 8};
    EXPECT_EQ(layer.ExtendSize(&first, &out), 0);  // an empty layer takes the rectangle
    EXPECT_TRUE(out == first);

    layer.SetBounds(&kBounds);
    layer.setBoundsCalls = 0;
    const PTzRECT inside = {0, 10, 20, 30};
    const PTzRECT empty = {-500, -500, -500, 900};
    EXPECT_EQ(layer.ExtendSize(&inside, &out), 0);
    EXPECT_EQ(layer.ExtendSize(&empty, nullptr), 0);
    EXPECT_EQ(layer.setBoundsCalls, 0);
    EXPECT_TRUE(out == kBounds);

    const PTzRECT beyond = {-300, 50, 10, 400};
    EXPECT_EQ(layer.ExtendSize(&beyond, &out), 0);
    EXPECT_EQ(layer.setBoundsCalls, 1);  // through the layer's own SetBounds
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    EXPECT_TRUE(bounds == (PTzRECT{-300, 5, 290, 400}));
    EXPECT_TRUE(out == bounds);
    EXPECT_EQ(layer.ExtendSize(nullptr, &out), -1001);
}

TEST(LayerBaseGeometry, NativeReaderBoundsBypassTheKindsSetBounds)
{
    ProbeLayer layer;
    EXPECT_EQ(layer.DWKSetBounds(&kBounds), 0);
    EXPECT_EQ(layer.setBoundsCalls, 0);
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    EXPECT_TRUE(bounds == kBounds);
}

TEST(LayerBaseMove, MoveCoreAnnouncesOldAndNewBounds)
{
    ListenedLayer l;
    _tagPTzOFFSET zero = {0, 0};
    EXPECT_EQ(l.layer.MoveCore(&zero), -1001);
    EXPECT_EQ(l.layer.MoveCore(nullptr), -1001);
    EXPECT_TRUE(l.recorder.messages.empty());

    _tagPTzOFFSET offset = {300, -5};
    EXPECT_EQ(l.layer.MoveCore(&offset), 0);
    ASSERT_EQ(l.recorder.codes(), (std::vector<uint32_t>{1107, 1107}));
    EXPECT_TRUE(l.recorder.messages[0].rect == kBounds);
    EXPECT_TRUE(l.recorder.messages[1].rect == (PTzRECT{290, 0, 590, 100}));
}

TEST(LayerBaseMove, MoveTakesTheLinkGroupAlong)
{
    Owner owner;
    ProbeLayer a, b, c;
    owner.add(&a, 1);
    owner.add(&b, 1);
    owner.add(&c, 2);

    _tagPTzOFFSET offset = {4, 5};
    EXPECT_EQ(a.Move(&offset), 0);
    PTzRECT r;
    b.GetBounds(&r);
    EXPECT_TRUE(r == (PTzRECT{4, 5, 4, 5}));
    c.GetBounds(&r);
    EXPECT_TRUE(r == (PTzRECT{0, 0, 0, 0}));
    EXPECT_EQ(a.moveCoreCalls, 1);
    EXPECT_EQ(c.moveCoreCalls, 0);

    _tagPTzOFFSET zero = {0, 0};
    EXPECT_EQ(a.Move(&zero), -1001);
    EXPECT_EQ(b.moveCoreCalls, 2);  // still visited
}

TEST(LayerBaseMove, MoveLinkLayerNeedsAnOwnerWithLayers)
{
    ProbeLayer layer;
    _tagPTzOFFSET offset = {1, 1};
    EXPECT_EQ(layer.MoveLinkLayer(&offset), -1001);
    EXPECT_EQ(layer.Move(&offset), 0);  // moves itself without an owner
    Owner owner;
    layer.SetPicture(&owner);
    EXPECT_EQ(layer.MoveLinkLayer(&offset), -1001);
    owner.layers.push_back(&layer);
    EXPECT_EQ(layer.MoveLinkLayer(&offset), 0);
    EXPECT_EQ(layer.moveCoreCalls, 1);
}

TEST(LayerBaseOwner, InfoEditsGoThroughTheOwner)
{
    ProbeLayer layer;
    _tagITzLAYERINFO info{};
    EXPECT_EQ(layer.GetLayerInfo(nullptr), 0);
    EXPECT_EQ(layer.SetLayerInfo(nullptr), 0);
    EXPECT_EQ(layer.SetLayerInfo(&info), -1001);  // no owner: nothing changes
    EXPECT_EQ(layer.GetOpacity(), 255);

    Owner owner;
    owner.add(&layer, 1);
    info = {ITzMERGE_SUBTRACT, 0, 17, u"Ink"};
    EXPECT_EQ(layer.SetLayerInfo(&info), 42);
    EXPECT_EQ(owner.infoEdits, 1);

    _tagITzLAYERINFO back{};
    EXPECT_EQ(layer.GetLayerInfo(&back), 1);
    EXPECT_EQ(back.mergeType, uint32_t(ITzMERGE_SUBTRACT));
    EXPECT_EQ(back.visible, 0u);
    EXPECT_EQ(back.opacity, 17);
    EXPECT_EQ(std::u16string(back.name), u"Ink");

    _tagITzMERGEDATA merge{};
    EXPECT_EQ(layer.GetMergeData(nullptr), 0);
    EXPECT_EQ(layer.GetMergeData(&merge), 1);
    EXPECT_EQ(merge.mergeType, ITzMERGE_SUBTRACT);
    EXPECT_EQ(merge.opacity, 17);
}

TEST(LayerBaseOwner, DoSetvisibilityRecordsOnlyRealChanges)
{
    ProbeLayer layer;
    EXPECT_EQ(layer.DoSetvisibility(0), 1);  // no owner: unchanged
    Owner owner;
    owner.add(&layer, 1);
    EXPECT_EQ(layer.DoSetvisibility(1), 1);
    EXPECT_EQ(owner.visibilityEdits, 0);
    EXPECT_EQ(layer.DoSetvisibility(0), 0);
    EXPECT_EQ(owner.visibilityEdits, 1);
}

TEST(LayerBaseOwner, LinkingFollowsTheActiveLayer)
{
    ProbeLayer active, other;
    EXPECT_EQ(other.IsLinkWithCurrent(), 0);
    EXPECT_EQ(other.DoLinkWithCurrent(1), -1001);
    EXPECT_EQ(other.LinkWithCurrent(1), -1001);

    Owner owner;
    owner.add(&active, 3);
    owner.add(&other, 5);
    EXPECT_EQ(active.IsLinkWithCurrent(), 1);
    EXPECT_EQ(other.IsLinkWithCurrent(), 0);

    EXPECT_EQ(active.DoLinkWithCurrent(0), 0);
    EXPECT_EQ(owner.linkEdits, 0);
    EXPECT_EQ(active.LinkWithCurrent(0), 0);
    EXPECT_EQ(active.GetLinkNumber(), 3);

    other.DoLinkWithCurrent(1);
    EXPECT_EQ(owner.linkEdits, 1);
    EXPECT_EQ(other.GetLinkNumber(), 3);
    EXPECT_EQ(other.IsLinkWithCurrent(), 1);
    other.DoLinkWithCurrent(0);
    EXPECT_EQ(other.GetLinkNumber(), owner.freeLink);
    EXPECT_EQ(other.IsLinkWithCurrent(), 0);
}

TEST(LayerBasePreview, DrawsAtTheOwnersCacheZoomWithFullOpacity)
{
    ListenedLayer l;
    l.layer.SetTempOpacity(60);
    _tagITzBITMAP bitmap{};
    const PTzRECT rect = {0, 0, 10, 10};
    const _tagITzZOOMLEVEL zoom = {1, 8};
    EXPECT_EQ(l.layer.PreviewMergeToBitmap(&bitmap, &rect, &zoom, 0), -1001);  // no owner

    Owner owner;
    l.layer.SetPicture(&owner);
    owner.refuseZoom = true;
    EXPECT_EQ(l.layer.PreviewMergeToBitmap(&bitmap, &rect, &zoom, 0), -1001);
    EXPECT_TRUE(l.layer.opacityDuringPreview.empty());

    owner.refuseZoom = false;
    EXPECT_EQ(l.layer.PreviewMergeToBitmap(&bitmap, &rect, &zoom, 0), 7);
    const uint8_t level = ITzZoomGetCacheLevel(&zoom);
    EXPECT_EQ(l.layer.previewLevel, level);
    ASSERT_EQ(l.layer.previewZooms.size(), 2u);
    EXPECT_EQ(l.layer.previewZooms[0].denominator, 100u << level);
    EXPECT_EQ(l.layer.previewZooms[1].denominator, 50u << level);
    EXPECT_EQ(l.layer.opacityDuringPreview, (std::vector<uint8_t>{255}));
    EXPECT_EQ(l.layer.GetOpacity(), 60);
    EXPECT_TRUE(l.recorder.messages.empty());

    EXPECT_EQ(l.layer.PreviewMergeToBitmapForSave(&bitmap, &rect, 2, &zoom, &zoom), 7);
    EXPECT_EQ(l.layer.previewForSave, (std::vector<int>{0, 1}));
}

TEST(LayerBaseTransfer, CopiesPropertiesIntoTheKindsNewLayer)
{
    ITzLayerBase plain;
    EXPECT_EQ(plain.CreateTransferLayer(), nullptr);

    Owner owner;
    ProbeLayer source;
    owner.add(&source, 6);
    source.SetOpacity(12);
    source.SetMergeType(ITzMERGE_ERASE);
    source.Setvisibility(0);
    source.SetName(u"Shade");
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> made(source.CreateTransferLayer());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetOpacity(), 12);
    EXPECT_EQ(made->GetMergeType(), ITzMERGE_ERASE);
    EXPECT_EQ(made->IsVisible(), 0);
    EXPECT_EQ(std::u16string(made->GetName()), u"Shade");
    EXPECT_EQ(made->GetLinkNumber(), 6);
    EXPECT_EQ(made->GetPicture(), nullptr);
}

TEST(LayerBaseLifetime, DestroyLayerNotifiesWhileTheKindIsAlive)
{
    auto* layer = new ProbeLayer;
    Recorder recorder;
    recorder.AddToBroadcaster(layer);
    std::vector<int> emptiness;
    recorder.onMessage = [&](uint32_t code, PTzBroadcaster* sender) {
        auto* dying = static_cast<ITzLayerBase*>(sender);
        emptiness.push_back(dying->IsLayerEmpty());  // reaches ProbeLayer's own data
        if (code == ITzLAYERMSG_DESTROY)
            recorder.RemoveFromBroadcaster(sender);
    };
    EXPECT_EQ(ITzLayerBase::DestroyLayer(layer), 1);
    EXPECT_EQ(recorder.codes(), (std::vector<uint32_t>{1108}));
    EXPECT_EQ(emptiness, (std::vector<int>{1}));
    EXPECT_EQ(ITzLayerBase::DestroyLayer(nullptr), 0);
}

TEST(LayerBaseLifetime, PlainDeleteStillNotifiesOnce)
{
    Recorder recorder;
    {
        ProbeLayer layer;
        recorder.AddToBroadcaster(&layer);
        layer.NotifyDestroy();
        layer.NotifyDestroy();
    }
    EXPECT_EQ(recorder.codes(), (std::vector<uint32_t>{1108}));

    recorder.messages.clear();
    { ProbeLayer layer; recorder.AddToBroadcaster(&layer); }
    EXPECT_EQ(recorder.codes(), (std::vector<uint32_t>{1108}));
}

TEST(LayerBaseLifetime, ListenersGoneBeforeTheLayerHearNothing)
{
    auto layer = std::make_unique<ProbeLayer>();
    {
        Recorder early;
        early.AddToBroadcaster(layer.get());
    }
    Recorder late;
    late.AddToBroadcaster(layer.get());
    ITzLayerBase::DestroyLayer(layer.release());
    EXPECT_EQ(late.codes(), (std::vector<uint32_t>{1108}));
}

TEST(LayerBaseCreate, OnlyKnownKindsAreMade)
{
    EXPECT_EQ(ITzLayerBase::CreateLayer(ITzLAYERTYPE_TEXT), nullptr);
    EXPECT_EQ(ITzLayerBase::CreateLayer(ITzLAYERTYPE_GRAY), nullptr);
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> argb(ITzLayerBase::CreateLayer(ITzLAYERTYPE_ARGB));
    ASSERT_NE(argb, nullptr);
    EXPECT_EQ(argb->GetType(), ITzLAYERTYPE_ARGB);
    EXPECT_EQ(argb->IsImageLayer(), 1);
}

}  // namespace
