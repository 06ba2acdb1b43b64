// What every painting tool shares: one step that undo, redo and undo again replay to the
// exact layer bytes, records that answer nonzero exactly when they changed the picture,
// a refusal that leaves everything as it was when the active layer is no image layer, and
// a selection that limits the whole-area tools in proportion to its values.
#include <gtest/gtest.h>

#include <memory>

#include "engine/tools/tool_factory.h"
#include "floating_test_support.h"
#include "paint_tool_support.h"

using namespace floating_test;
using namespace paint_tools;

namespace {

// A layer kind of the tests' own that is no image layer.
class PlainLayer : public ITzLayerBase {};

struct ToolDestroyer {
    void operator()(ITzToolBase* tool) const { DestroyTool(tool); }
};

TEST(PaintTools, UndoRedoUndoGiveTheLayerBytesAndAnswerWhetherTheyChangedThePicture)
{
    for (const PaintStep& step : EveryPaintStep()) {
        SCOPED_TRACE(step.name);
        ITzPicture picture;
        MakePicture(picture, 2, {0, 0, 300, 200});
        ITzLayerImage* layer = ImageLayer(picture, 1);
        const Snapshot before = Take(layer);
        ASSERT_EQ(step.run(picture), 1);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
        const Snapshot after = Take(layer);
        ASSERT_FALSE(after == before);

        // Replayed on a picture whose layer at the record's index is no image layer, the
        // record changes nothing and says so.
        _tagUNDODATABASE* record = nullptr;
        ASSERT_NE(picture.GetLastUndoData(&record), 0);
        std::unique_ptr<ITzToolBase, ToolDestroyer> replay(CreateToolByID(record->toolID));
        ASSERT_NE(replay, nullptr);
        ITzPicture other;
        other.Create(300, 200);
        other.InsertLayer(0, new ITzLayerImageARGB());
        other.InsertLayer(1, new PlainLayer());
        EXPECT_EQ(replay->DoUndo(&other, record), 0);
        EXPECT_EQ(replay->DoRedo(&other, record), 0);

        ExpectUndoRedoUndo(picture, layer, before, after);
        EXPECT_EQ(picture.DoUndo(), 0);  // one step only
    }
}

TEST(PaintTools, AnActiveLayerThatIsNoImageLayerIsRefusedWithTheTicketGivenBack)
{
    for (const PaintStep& step : EveryPaintStep()) {
        SCOPED_TRACE(step.name);
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 300, 200});
        ASSERT_EQ(picture.InsertLayer(1, new PlainLayer()), 0);
        picture.SetActiveLayerID(1);
        const Snapshot before = Take(ImageLayer(picture, 0));
        EXPECT_EQ(step.run(picture), 0);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(picture.DoUndo(), 0);
        EXPECT_TRUE(Take(ImageLayer(picture, 0)) == before);
        EXPECT_EQ(ImageLayer(picture, 0)->GetFloatingLayer(), nullptr);
    }
}

TEST(PaintTools, FillBucketAndGradientFollowTheSelectionInProportion)
{
    // Selected fully on the left, by half in the middle, not at all on the right.
    const PTzRECT full = {0, 0, 100, 200}, half = {100, 0, 200, 200};
    for (const PaintStep& step : EveryPaintStep()) {
        const std::string name = step.name;
        if (name != "fill" && name != "bucket" && name != "gradient")
            continue;
        SCOPED_TRACE(name);
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 300, 200});
        ITzLayerImage* layer = ImageLayer(picture, 0);
        // An opaque grey layer, which the bucket fills whole.
        const PTzRECT all = {0, 0, 300, 200};
        const _tagPTzCOLOR grey = Colour(255, 128, 128, 128);
        layer->FillRect(&all, &grey);
        ITzLayerImage* selection = picture.GetSelectionLayer(1);
        ASSERT_NE(selection, nullptr);
        FillGray(selection, full, 255);
        FillGray(selection, half, 128);
        // The reference: the same step without a selection.
        ITzPicture plain;
        MakePicture(plain, 1, {0, 0, 300, 200});
        ImageLayer(plain, 0)->FillRect(&all, &grey);
        ASSERT_EQ(step.run(plain), 1);
        ASSERT_EQ(step.run(picture), 1);
        for (int32_t y = 0; y < 200; y += 13)
            for (int32_t x = 0; x < 300; x += 7) {
                const _tagPTzCOLOR got = brush_stroke::ColourAt(layer, x, y);
                const _tagPTzCOLOR whole = brush_stroke::ColourAt(ImageLayer(plain, 0), x, y);
                for (int c = 0; c < 3; ++c) {
                    const int was = 128, now = got.components[c], done = whole.components[c];
                    if (x < 100)
                        EXPECT_EQ(now, done) << x << "," << y;
                    else if (x >= 200)
                        EXPECT_EQ(now, was) << x << "," << y;
                    else
                        EXPECT_NEAR(now, (was + done) / 2.0, 1.5) << x << "," << y;
                }
            }
    }
}

}  // namespace
