// The picture's layer stack: the 255-layer limits, insertion, removal and moves against
// a model, the active layer, link numbers, creation, and the undoable stack edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "picture_test_support.h"

using namespace picture_test;

namespace {

std::vector<ITzLayerBase*> Stack(ITzPicture& picture)
{
    std::vector<ITzLayerBase*> out;
    for (uint16_t i = 0; i < picture.GetLayerCount(); ++i)
        out.push_back(picture.GetLayerbyIndex(i));
    return out;
}

}  // namespace

TEST(PictureLayerLimits, FullStackRefusesInsertionAndChangesNothing)
{
    ITzPicture picture;
    FillLayers(picture, 255);
    const std::vector<ITzLayerBase*> before = Stack(picture);
    ITzLayerImageARGB* extra = MakeLayer();
    EXPECT_EQ(picture.InsertLayer(0, extra), ITzERR_LAYER_ARRAY_FULL);
    EXPECT_EQ(Stack(picture), before);
    EXPECT_EQ(extra->GetPicture(), nullptr);
    ITzLayerBase::DestroyLayer(extra);

    PTzSetLastError(0);
    EXPECT_EQ(picture.NewImageLayer(u"more"), 0);
    EXPECT_EQ(PTzGetLastError(), ITzERR_TOO_MANY_LAYERS);
    EXPECT_EQ(picture.GetLayerCount(), 255);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(PictureLayerLimits, DeletingTheOnlyLayerIsRefused)
{
    ITzPicture picture;
    FillLayers(picture, 1);
    PTzSetLastError(0);
    EXPECT_EQ(picture.DeleteCurrentLayer(), 0);
    EXPECT_EQ(PTzGetLastError(), ITzERR_ONLY_LAYER);
    EXPECT_EQ(picture.GetLayerCount(), 1);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(PictureLayers, BadArgumentsAreRefused)
{
    ITzPicture picture;
    FillLayers(picture, 2);
    EXPECT_EQ(picture.InsertLayer(0, nullptr), ITzERR_INVALID);
    // One layer in two places would be freed twice.
    EXPECT_EQ(picture.InsertLayer(2, picture.GetLayerbyIndex(0)), ITzERR_INVALID);
    EXPECT_EQ(picture.GetLayerCount(), 2);
    ITzPicture other;
    FillLayers(other, 1);
    EXPECT_EQ(picture.InsertLayer(0, other.GetLayerbyIndex(0)), ITzERR_INVALID);
    EXPECT_EQ(picture.DoInsertLayer(0, other.GetLayerbyIndex(0)), 0);
    EXPECT_EQ(picture.GetLayerCount(), 2);

    ITzLayerBase* out = picture.GetLayerbyIndex(0);
    EXPECT_EQ(picture.RemoveLayer(2, &out), ITzERR_INVALID);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetLayerbyIndex(2), nullptr);
}

TEST(PictureLayers, RemovedLayerLeavesThePicture)
{
    ITzPicture picture;
    Recorder recorder;
    recorder.Watch(picture);
    FillLayers(picture, 3);
    ITzLayerBase* middle = picture.GetLayerbyIndex(1);
    ITzLayerBase* out = nullptr;
    ASSERT_EQ(picture.RemoveLayer(1, &out), 0);
    EXPECT_EQ(out, middle);
    EXPECT_EQ(middle->GetPicture(), nullptr);
    EXPECT_EQ(middle->GetLinkNumber(), 0xFFFF);
    // No longer listened to: its pixel changes reach no observer.
    recorder.events.clear();
    const PTzRECT rect = {0, 0, 4, 4};
    middle->PreviewChanged(&rect);
    EXPECT_TRUE(recorder.events.empty());
    ITzLayerBase::DestroyLayer(middle);
}

// Insertions at any index (beyond the count: on top), removals (some out of range) and
// moves, checked against a vector.
TEST(PictureLayers, RandomStackEditsFollowAModel)
{
    ITzPicture picture;
    std::vector<ITzLayerBase*> model;
    std::mt19937 random(61);
    for (int step = 0; step < 3000; ++step) {
        const auto count = static_cast<uint16_t>(model.size());
        const int action = static_cast<int>(random() % 3);
        if (action == 0 && count < 255) {
            const auto index = static_cast<uint16_t>(random() % (count + 3));
            ITzLayerBase* layer = MakeLayer();
            ASSERT_EQ(picture.InsertLayer(index, layer), 0);
            model.insert(model.begin() + std::min<size_t>(index, model.size()), layer);
        } else if (action == 1) {
            const auto index = static_cast<uint16_t>(random() % (count + 2));
            ITzLayerBase* out = nullptr;
            if (index < count) {
                ASSERT_EQ(picture.RemoveLayer(index, &out), 0);
                ASSERT_EQ(out, model[index]);
                model.erase(model.begin() + index);
                ITzLayerBase::DestroyLayer(out);
            } else {
                ASSERT_EQ(picture.RemoveLayer(index, &out), ITzERR_INVALID);
            }
        } else if (count > 0) {
            const auto from = static_cast<uint16_t>(random() % count);
            const auto to = static_cast<uint16_t>(random() % count);
            ASSERT_EQ(picture.MoveLayer(from, to), from == to ? ITzERR_INVALID : 0);
            ITzLayerBase* moved = model[from];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, moved);
            if (from != to) {
                ASSERT_EQ(picture.GetActiveLayerID(), to);
            }
        }
        ASSERT_EQ(Stack(picture), model) << "step " << step;
        ASSERT_EQ(picture.GetLayerbyIndex(static_cast<uint16_t>(model.size())), nullptr);
    }
}

TEST(PictureLayers, MoveReordersBroadcastsAndActivates)
{
    ITzPicture picture;
    FillLayers(picture, 3);
    const std::vector<ITzLayerBase*> abc = Stack(picture);
    Recorder recorder;
    recorder.Watch(picture);
    ASSERT_EQ(picture.MoveLayer(0, 2), 0);
    EXPECT_EQ(Stack(picture), (std::vector<ITzLayerBase*>{abc[1], abc[2], abc[0]}));
    ASSERT_EQ(recorder.codes(), (std::vector<uint32_t>{ITzPICTMSG_LAYER_MOVED, kDataChanged, ITzPICTMSG_ACTIVE_CHANGED}));
    EXPECT_EQ(recorder.events[0].a, 0u);
    EXPECT_EQ(recorder.events[0].b, 2u);
    EXPECT_EQ(picture.GetActiveLayerID(), 2);

    recorder.events.clear();
    EXPECT_EQ(picture.MoveLayer(1, 1), ITzERR_INVALID);
    EXPECT_EQ(picture.MoveLayer(1, 3), ITzERR_INVALID);
    EXPECT_TRUE(recorder.events.empty());
}

TEST(PictureLayers, ActiveIndexIsClampedAndChangesOnlyOnce)
{
    ITzPicture picture;
    EXPECT_EQ(picture.GetActiveLayerID(), 0);
    FillLayers(picture, 3);
    Recorder recorder;
    recorder.Watch(picture);
    picture.SetActiveLayerID(9);
    EXPECT_EQ(picture.GetActiveLayerID(), 2);
    picture.SetActiveLayerID(2);
    EXPECT_EQ(recorder.codes(), (std::vector<uint32_t>{ITzPICTMSG_ACTIVE_CHANGED}));

    ITzLayerBase* out = nullptr;
    picture.RemoveLayer(2, &out);
    ITzLayerBase::DestroyLayer(out);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
}

TEST(PictureLayers, InsertedLayerGetsTheSmallestFreeLinkNumber)
{
    ITzPicture picture;
    for (uint16_t link : {1, 2, 4}) {
        ITzLayerImageARGB* layer = MakeLayer();
        layer->SetLinkNumber(link);
        picture.InsertLayer(picture.GetLayerCount(), layer);
    }
    ITzLayerImageARGB* fresh = MakeLayer();
    EXPECT_EQ(fresh->GetLinkNumber(), 0xFFFF);
    picture.InsertLayer(0, fresh);
    EXPECT_EQ(fresh->GetLinkNumber(), 3);
    EXPECT_EQ(picture.GetAvailableLinkNum(), 5);
    // A layer that carries a number keeps it, shared or not.
    ITzLayerImageARGB* linked = MakeLayer();
    linked->SetLinkNumber(2);
    picture.InsertLayer(0, linked);
    EXPECT_EQ(linked->GetLinkNumber(), 2);
}

TEST(PictureCreate, FromALayerTakesItsSize)
{
    ITzPicture picture;
    EXPECT_EQ(picture.Create(nullptr), ITzERR_INVALID);
    ITzLayerImageARGB* layer = MakeLayer({5, 7, 105, 57});
    ASSERT_EQ(picture.Create(layer), 0);
    _tagPTzSIZE size = {};
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 100);
    EXPECT_EQ(size.cy, 50);
    EXPECT_EQ(picture.GetLayerbyIndex(0), layer);
    EXPECT_EQ(picture.GetColorMode(), PTzCOLORMODE_ARGB);
    EXPECT_EQ(picture.GetBitDepth(), 32);
}

TEST(PictureCreate, FromAColourFillsOneLayer)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(300, 20, nullptr), 0);
    ASSERT_EQ(picture.GetLayerCount(), 1);
    auto* layer = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0));
    _tagPTzCOLOR colour = {};
    const PTzPOINT corner = {299, 19};
    layer->GetPixelColor(&corner, &colour);
    EXPECT_EQ(colour.alpha, 255);
    EXPECT_EQ(colour.components[0], 255);
    EXPECT_EQ(colour.components[2], 255);
    EXPECT_EQ(picture.Create_1(10, 10, nullptr), ITzERR_HAS_LAYERS);
}

TEST(PictureCreate, ALayerThatCannotBeMadeFailsAndChangesNothing)
{
    ITzPicture picture;
    PTzTestSetAllocationCountdown(0);
    const int result = picture.Create_1(64, 64, nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(result, PTzERR_OUT_OF_MEMORY);
    EXPECT_EQ(picture.GetLayerCount(), 0);
    _tagPTzSIZE size = {1, 1};
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}

TEST(PictureUndoableEdits, WhileAnEditHoldsTheLockNothingHappens)
{
    ITzPicture picture;
    FillLayers(picture, 2);
    const std::vector<ITzLayerBase*> before = Stack(picture);
    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);
    EXPECT_EQ(picture.NewImageLayer(u"new"), 0);  // LeakSanitizer sees the refused layer otherwise
    EXPECT_EQ(picture.DeleteCurrentLayer(), 0);
    EXPECT_EQ(picture.DoMoveLayer(0, 1), 0);
    EXPECT_EQ(Stack(picture), before);
    picture.EditingStop(ticket);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(PictureUndoableEdits, EachIsOneUndoStep)
{
    ITzPicture picture;
    FillLayers(picture, 2);
    picture.SetActiveLayerID(0);
    const std::vector<ITzLayerBase*> start = Stack(picture);
    ASSERT_EQ(picture.NewImageLayer(u"Sky"), 1);
    ASSERT_EQ(picture.GetLayerCount(), 3);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    EXPECT_EQ(std::u16string(picture.GetLayerbyIndex(1)->GetName()), u"Sky");

    ITzLayerBase* active = picture.GetLayerbyIndex(1);
    ITzLayerBase* out = nullptr;
    ASSERT_EQ(picture.DoRemoveLayer(1, &out), 1);
    EXPECT_EQ(out, active);
    EXPECT_EQ(picture.DoMoveLayer(0, 1), 1);
    EXPECT_EQ(picture.DoMoveLayer(1, 1), 0);
    EXPECT_EQ(picture.DoMoveLayer(0, 2), 0);
    ASSERT_EQ(picture.DeleteCurrentLayer(), 1);
    EXPECT_EQ(picture.GetLayerCount(), 1);

    ITzLayerBase* last = picture.GetLayerbyIndex(0);
    EXPECT_EQ(last->DoSetvisibility(0), 0);
    for (int step = 0; step < 5; ++step)
        ASSERT_NE(picture.DoUndo(), 0) << "step " << step;
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_EQ(Stack(picture), start);
    EXPECT_EQ(last->IsVisible(), 1);
}
