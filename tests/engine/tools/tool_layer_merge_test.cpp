// The layer merges: merge down, merge visible and flatten undone and redone exactly, the
// refusals, the merged pixels (never the mask-editing overlay), and what releasing a
// merge record frees before and after an undo.
#include <gtest/gtest.h>

#include <memory>

#include "base/memory_test_hooks.h"
#include "engine/tools/tool_layer_merge.h"
#include "tool_layer_test_support.h"

using namespace layer_test;
using floating_test::Colour;
using floating_test::ImageLayer;
using floating_test::MakePicture;

namespace {

template <typename Edit>
void ExpectExactUndoRedo(ITzPicture& picture, Edit edit)
{
    const PictureState before = State(picture);
    ASSERT_EQ(edit(), 1);
    const PictureState after = State(picture);
    for (int round = 0; round < 2; ++round) {
        ASSERT_NE(picture.DoUndo(), 0);
        EXPECT_EQ(State(picture), before);
        ASSERT_NE(picture.DoRedo(), 0);
        EXPECT_EQ(State(picture), after);
    }
}

void Fill(ITzPicture& picture, uint16_t index, const PTzRECT& rect, const _tagPTzCOLOR& colour)
{
    ImageLayer(picture, index)->FillRect(&rect, &colour);
}

// The 32-bit pixel of a layer at a picture point.
std::vector<uint8_t> PixelAt(ITzLayerImage* layer, int32_t x, int32_t y)
{
    std::vector<uint8_t> pixel(4, 0xEE);
    _tagITzBITMAP bitmap = {1, 1, 4, 32, int32_t(PTzCOLORMODE_ARGB), pixel.data()};
    PTzRECT local;
    const PTzRECT at = {x, y, x + 1, y + 1};
    layer->PRECTtoLRECT(&at, &local);
    layer->GetRectData(&local, &bitmap);
    return pixel;
}

}  // namespace

TEST(LayerMergeUndo, EachMergeIsUndoneAndRedoneExactly)
{
    ITzPicture picture;
    MakePicture(picture, 4, {0, 0, 300, 280});
    picture.GetLayerbyIndex(1)->SetOpacity(90);
    picture.GetLayerbyIndex(1)->SetMergeType(ITzMERGE_ERASE);
    picture.SetActiveLayerID(3);
    ITzToolLayerMerge merge;
    ExpectExactUndoRedo(picture, [&] { return merge.MergeLayerDown(&picture); });
    picture.GetLayerbyIndex(0)->Setvisibility(0);
    ExpectExactUndoRedo(picture, [&] { return merge.MergeVisible(&picture); });
    ExpectExactUndoRedo(picture, [&] { return merge.MergeLayers(&picture); });
    EXPECT_EQ(picture.GetLayerCount(), 1);
    EXPECT_NE(picture.IsModified(), 0);
}

TEST(LayerMerge, MergeDownIsRefusedOnTheBottomOrWithAHiddenLayer)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    const PictureState before = State(picture);
    ITzToolLayerMerge merge;
    picture.SetActiveLayerID(0);
    EXPECT_EQ(ITzToolLayerMerge::CanMergeDown(&picture), 0);
    EXPECT_EQ(merge.MergeLayerDown(&picture), 0);
    for (uint16_t hidden : {1, 2}) {
        picture.SetActiveLayerID(2);
        picture.GetLayerbyIndex(hidden)->Setvisibility(0);
        EXPECT_EQ(ITzToolLayerMerge::CanMergeDown(&picture), 0);
        EXPECT_EQ(merge.MergeLayerDown(&picture), 0);
        picture.GetLayerbyIndex(hidden)->Setvisibility(1);
    }
    EXPECT_EQ(ITzToolLayerMerge::CanMergeDown(&picture), 1);
    EXPECT_EQ(merge.MergeLayerDown(nullptr), 0);
    EXPECT_EQ(ITzToolLayerMerge::CanMergeDown(nullptr), 0);
    picture.SetActiveLayerID(2);
    EXPECT_EQ(State(picture), before);
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST(LayerMerge, MergeDownPutsTheUpperLayerOverACopyOfTheLowerOne)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    Fill(picture, 1, {0, 0, 300, 300}, Colour(255, 0, 0, 200));
    Fill(picture, 2, {0, 0, 300, 300}, Colour(0, 0, 0, 0));
    Fill(picture, 2, {10, 10, 100, 100}, Colour(255, 200, 0, 0));
    ITzLayerBase* lower = picture.GetLayerbyIndex(1);
    const uint16_t link = lower->GetLinkNumber();
    ITzToolLayerMerge merge;
    ASSERT_EQ(merge.MergeLayerDown(&picture), 1);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    ITzLayerImage* merged = ImageLayer(picture, 1);
    EXPECT_NE(merged, lower);
    EXPECT_EQ(merged->GetLinkNumber(), link);
    EXPECT_EQ(PixelAt(merged, 50, 50), (std::vector<uint8_t>{255, 200, 0, 0}));
    EXPECT_EQ(PixelAt(merged, 200, 200), (std::vector<uint8_t>{255, 0, 0, 200}));
}

TEST(LayerMerge, MergeVisibleLandsAboveTheHiddenLayerBelowTheActiveOne)
{
    ITzPicture picture;
    MakePicture(picture, 3);
    ITzLayerBase* hidden = picture.GetLayerbyIndex(1);
    hidden->Setvisibility(0);
    picture.SetActiveLayerID(2);
    EXPECT_EQ(ITzToolLayerMerge::CanMergeVisible(&picture), 1);
    ITzToolLayerMerge merge;
    ASSERT_EQ(merge.MergeVisible(&picture), 1);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetLayerbyIndex(0), hidden);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    EXPECT_EQ(ITzToolLayerMerge::CanMergeVisible(&picture), 0);

    picture.GetLayerbyIndex(1)->Setvisibility(0);
    EXPECT_EQ(merge.MergeVisible(&picture), 0);
}

TEST(LayerMerge, FlattenOfOneLayerReplacesItWithoutTheMaskOverlay)
{
    ITzPicture picture;
    MakePicture(picture, 1);
    Fill(picture, 0, {0, 0, 300, 300}, Colour(255, 30, 60, 90));
    ITzLayerImage* selection = picture.GetSelectionLayer(1);
    ASSERT_NE(selection, nullptr);
    floating_test::FillGray(selection, {0, 0, 300, 300}, 255);
    // Erasing, the overlay changes every pixel it is drawn over.
    selection->SetMergeType(ITzMERGE_ERASE);
    picture.SetMaskEditingMode(1);
    ITzLayerImage* original = ImageLayer(picture, 0);
    const floating_test::Snapshot pixels = floating_test::Take(original);
    EXPECT_EQ(ITzToolLayerMerge::CanMergeLayers(&picture), 0);
    ITzToolLayerMerge merge;
    ASSERT_EQ(merge.MergeLayers(&picture), 1);
    ASSERT_EQ(picture.GetLayerCount(), 1);
    EXPECT_NE(ImageLayer(picture, 0), original);
    EXPECT_TRUE(floating_test::Take(ImageLayer(picture, 0)) == pixels);
}

TEST(LayerMergeRelease, OnlyTheSideOutOfThePictureIsFreed)
{
    for (bool undone : {false, true}) {
        DestroyCounter counter;
        ITzPicture picture;
        MakePicture(picture, 3);
        ITzLayerBase* listed[2] = {picture.GetLayerbyIndex(1), picture.GetLayerbyIndex(2)};
        counter.Watch(listed[0]);
        counter.Watch(listed[1]);
        ITzToolLayerMerge merge;
        ASSERT_EQ(merge.MergeLayerDown(&picture), 1);
        counter.Watch(picture.GetLayerbyIndex(1));
        if (undone) {
            ASSERT_NE(picture.DoUndo(), 0);
        }
        picture.ClearModified();
        EXPECT_EQ(counter.destroyed, undone ? 1 : 2) << "undone " << undone;
        EXPECT_EQ(picture.GetLayerbyIndex(2) == listed[1], undone);
    }
}

TEST(LayerMergeRelease, MergeUndoThenANewEditAndClosingFreeEachLayerOnce)
{
    DestroyCounter counter;
    auto picture = std::make_unique<ITzPicture>();
    MakePicture(*picture, 4);
    for (uint16_t i = 0; i < 4; ++i)
        counter.Watch(picture->GetLayerbyIndex(i));
    ITzToolLayerMerge merge;
    ASSERT_EQ(merge.MergeVisible(picture.get()), 1);
    counter.Watch(picture->GetLayerbyIndex(0));
    ASSERT_NE(picture->DoUndo(), 0);
    ASSERT_EQ(merge.MergeLayerDown(picture.get()), 1);  // drops the undone record
    EXPECT_EQ(counter.destroyed, 1);
    picture.reset();
    EXPECT_EQ(counter.destroyed, 5);  // the four layers and the merged one
}

TEST(LayerMergeRelease, AMergeThatCannotFinishLeavesThePictureAsItWas)
{
    bool merged = false;
    for (int64_t allowed = 0; allowed < 400 && !merged; ++allowed) {
        ITzPicture picture;
        MakePicture(picture, 3);
        const PictureState before = State(picture);
        ITzToolLayerMerge merge;
        PTzTestSetAllocationCountdown(allowed);
        merged = merge.MergeVisible(&picture) == 1;
        PTzTestSetAllocationCountdown(-1);
        if (merged) {
            ASSERT_NE(picture.DoUndo(), 0);
        }
        EXPECT_EQ(State(picture), before) << "allowed " << allowed;
    }
    EXPECT_TRUE(merged);
}
