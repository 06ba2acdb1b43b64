// The crop tool: the crop job, the crop to the selection, and undo and redo of a crop
// across block borders, also when memory runs out halfway.
#include "engine/tools/tool_crop.h"

#include <gtest/gtest.h>

#include "base/memory_test_hooks.h"
#include "rendered_layer.h"
#include "tool_resize_test_support.h"

using namespace floating_test;
using namespace picture_job_test;

namespace {

// Three layers of a 600 x 520 picture: one over it all, one from (100, 40) reaching past
// its right edge, and one that lies wholly outside the crop below.
void MakeCropPicture(ITzPicture& picture)
{
    MakePicture(picture, 1, {0, 0, 600, 520});
    const PTzRECT places[] = {{100, 40, 700, 300}, {0, 450, 90, 520}};
    uint32_t seed = 40;
    for (const PTzRECT& bounds : places) {
        auto* layer = new ITzLayerImageARGB();
        layer->SetSize(&bounds, 1);
        Pattern(layer, {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}, seed++);
        picture.InsertLayer(picture.GetLayerCount(), layer);
    }
}

// Crosses the block borders at 256 and 512 in x and at 256 in y.
constexpr PTzRECT kCrop = {120, 130, 530, 400};

int Crop(ITzPicture& picture, const PTzRECT& rect)
{
    ITzToolCrop tool;
    EXPECT_EQ(tool.StartEditing(&picture), 1);
    void* job = tool.CropPictureStart(&picture, &rect);
    if (!job) {
        tool.StopEditing(&picture);
        return 0;
    }
    uint32_t progress = 77;
    EXPECT_EQ(tool.CropPicture(job, &progress), 0);  // all in one call
    EXPECT_EQ(progress, 77u);
    const int result = tool.CropPictureEnd(job);
    tool.StopEditing(&picture);
    return result;
}

TEST(CropStart, RefusesNullArgumentsAndRectanglesOutsideThePicture)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    ITzToolCrop tool;
    const PTzRECT outside[] = {{600, 0, 700, 100}, {-50, -50, 0, 0}, {10, 10, 10, 300}, {0, 520, 600, 600}};
    for (const PTzRECT& rect : outside)
        EXPECT_EQ(tool.CropPictureStart(&picture, &rect), nullptr);
    EXPECT_EQ(tool.CropPictureStart(nullptr, &kCrop), nullptr);
    EXPECT_EQ(tool.CropPictureStart(&picture, nullptr), nullptr);
    EXPECT_EQ(tool.CropPicture(nullptr, nullptr), 0);
    EXPECT_EQ(tool.CropPictureEnd(nullptr), 1);
    EXPECT_EQ(tool.CropPictureCancel(nullptr), 1);
    EXPECT_FALSE(HasUndoStep(picture));
}

TEST(CropStart, CutsTheRectangleToThePicture)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    EXPECT_EQ(Crop(picture, {500, 400, 900, 900}), 1);
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 100);
    EXPECT_EQ(size.cy, 120);
}

TEST(CropPicture, LayersKeepThePixelsInsideTheRectangleAtTheNewOrigin)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    const PictureShot before = Shoot(picture);
    ASSERT_EQ(Crop(picture, kCrop), 1);
    const PictureShot after = Shoot(picture);
    EXPECT_EQ(after.size.cx, 410);
    EXPECT_EQ(after.size.cy, 270);
    for (size_t i = 0; i < before.layers.size(); ++i) {
        SCOPED_TRACE(i);
        PTzRECT kept;
        const bool meets = PTzRectIntersect(&before.pixels[i].bounds, &kCrop, &kept) != 0;
        const Snapshot& now = after.pixels[i];
        if (!meets) {
            EXPECT_TRUE(now.pixels.empty());
            continue;
        }
        const PTzRECT expected = {kept.left - kCrop.left, kept.top - kCrop.top, kept.right - kCrop.left,
                                  kept.bottom - kCrop.top};
        ASSERT_TRUE(SameRect(now.bounds, expected));
        const int32_t oldWidth = before.pixels[i].bounds.right - before.pixels[i].bounds.left;
        const int32_t width = expected.right - expected.left;
        for (int32_t y = 0; y < expected.bottom - expected.top; ++y)
            for (int32_t x = 0; x < width * 4; ++x) {
                const int32_t oldX = x + (kept.left - before.pixels[i].bounds.left) * 4;
                const int32_t oldY = y + kept.top - before.pixels[i].bounds.top;
                ASSERT_EQ(now.pixels[size_t(y * width * 4 + x)], before.pixels[i].pixels[size_t(oldY * oldWidth * 4 + oldX)])
                    << x << "," << y;
            }
    }
    _tagUNDODATABASE* record = nullptr;
    ASSERT_EQ(picture.GetLastUndoData(&record), 1);
    EXPECT_EQ(record->toolID, ITzTOOLID_CROP);
}

TEST(CropUndo, UndoRestoresAndRedoGivesTheFirstCropBack)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    Select(picture, {200, 200, 300, 260});
    const PictureShot before = Shoot(picture);
    ASSERT_EQ(Crop(picture, kCrop), 1);
    const PictureShot cropped = Shoot(picture);
    const PTzRECT croppedSelection = SelectionBounds(picture);
    EXPECT_TRUE(SameRect(croppedSelection, {80, 70, 180, 130}));

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_TRUE(SameRect(SelectionBounds(picture), {200, 200, 300, 260}));
        ASSERT_NE(picture.DoRedo(), 0);
        ExpectSame(Shoot(picture), cropped, true);
        EXPECT_TRUE(SameRect(SelectionBounds(picture), croppedSelection));
    }
}

TEST(CropUndo, ARecordThatNoLongerFitsThePictureIsRefused)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    ASSERT_EQ(Crop(picture, kCrop), 1);
    _tagUNDODATABASE* record = nullptr;
    ASSERT_EQ(picture.GetLastUndoData(&record), 1);
    picture.InsertLayer(0, new ITzLayerImageARGB());
    const PictureShot now = Shoot(picture);
    ITzToolCrop tool;
    EXPECT_EQ(tool.DoUndo(&picture, record), 0);
    EXPECT_EQ(tool.DoRedo(&picture, record), 0);
    EXPECT_EQ(tool.DoUndo(nullptr, record), 0);
    EXPECT_EQ(tool.DoUndo(&picture, nullptr), 0);
    ExpectSame(Shoot(picture), now, true);
}

// Large allocations refused: a uniform layer crops without any (its blocks are kept as
// their constants), a patterned one needs block copies. When the patterned layer above
// fails, the uniform layer already cropped is put back.
TEST(CropFailure, ALayerThatFailsPutsBackTheLayersCroppedBeforeIt)
{
    struct CeilingScope {
        CeilingScope() { PTzTestSetAllocationCeiling(65535); }
        ~CeilingScope() { PTzTestSetAllocationCeiling(0); }
    };
    const PTzRECT bounds = {0, 0, 600, 520};
    const _tagPTzCOLOR teal = Colour(200, 0, 128, 128);
    ITzPicture picture;
    picture.Create(600, 520);
    auto* uniform = new ITzLayerImageARGB();
    uniform->SetSize(&bounds, 1);
    uniform->FillRect(&bounds, &teal);
    picture.InsertLayer(0, uniform);
    {
        ITzPicture alone;
        alone.Create(600, 520);
        auto* copy = uniform->CopyLayer();
        ASSERT_NE(copy, nullptr);
        alone.InsertLayer(0, copy);
        CeilingScope ceiling;
        ASSERT_EQ(Crop(alone, kCrop), 1);
    }
    auto* patterned = new ITzLayerImageARGB();
    patterned->SetSize(&bounds, 1);
    Pattern(patterned, bounds, 5);
    picture.InsertLayer(1, patterned);
    const PictureShot before = Shoot(picture);
    {
        CeilingScope ceiling;
        EXPECT_EQ(Crop(picture, kCrop), 0);
    }
    ExpectSame(Shoot(picture), before, true);
    EXPECT_FALSE(HasUndoStep(picture));
}

TEST(DoCrop, CropsToTheSelectionsBounds)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    Select(picture, {130, 140, 420, 300});
    ITzToolCrop tool;
    EXPECT_EQ(tool.DoCrop(&picture), 1);
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 290);
    EXPECT_EQ(size.cy, 160);
    EXPECT_TRUE(SameRect(SelectionBounds(picture), {0, 0, 290, 160}));
    EXPECT_EQ(picture.AbleEditing(), 1);  // the ticket went back
}

TEST(DoCrop, WithoutASelectionNothingHappens)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    ITzToolCrop tool;
    for (int withEmptySelection = 0; withEmptySelection < 2; ++withEmptySelection) {
        if (withEmptySelection)
            picture.GetSelectionLayer(1);  // an empty selection selects nothing either
        const PictureShot before = Shoot(picture);
        EXPECT_EQ(tool.DoCrop(&picture), 1);
        ExpectSame(Shoot(picture), before, true);
    }
    EXPECT_FALSE(HasUndoStep(picture));
    EXPECT_EQ(tool.DoCrop(nullptr), 0);
}

// Layers drawn through a rendered image become image layers in one 'autc' step under
// the crop's ticket, which one undo takes back together with the crop.
TEST(DoCrop, ConvertsOtherLayerKindsFirstAndUndoesBothAtOnce)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    picture.InsertLayer(1, new RenderedLayer({20, 30, 500, 400}, 9));
    Select(picture, {130, 140, 420, 300});
    const PictureShot before = Shoot(picture);
    ITzToolCrop tool;
    EXPECT_EQ(tool.DoCrop(&picture), 1);
    EXPECT_TRUE(picture.GetLayerbyIndex(1)->IsImageLayer());
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 290);
    EXPECT_EQ(picture.AbleEditing(), 1);
    const PictureShot cropped = Shoot(picture);
    EXPECT_NE(picture.DoUndo(), 0);
    ExpectSame(Shoot(picture), before, false);
    EXPECT_FALSE(picture.GetLayerbyIndex(1)->IsImageLayer());
    EXPECT_NE(picture.DoRedo(), 0);  // the conversion alone
    EXPECT_NE(picture.DoRedo(), 0);  // then the crop
    ExpectSame(Shoot(picture), cropped, false);
}

TEST(DoCrop, RefusesAndChangesNothingWhenALayerCannotBecomeAnImageLayer)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    picture.InsertLayer(1, new RenderedLayer({0, 0, 100, 100}, 9));
    picture.InsertLayer(2, new RenderedLayer({0, 0, 100, 100}, 9, false));
    Select(picture, {130, 140, 420, 300});
    const PictureShot before = Shoot(picture);
    ITzToolCrop tool;
    EXPECT_EQ(tool.DoCrop(&picture), 0);
    ExpectSame(Shoot(picture), before, true);
    EXPECT_FALSE(HasUndoStep(picture));
}

// Nothing is cropped, so nothing is converted either.
TEST(DoCrop, ASelectionOutsideThePictureConvertsNothing)
{
    ITzPicture picture;
    MakeCropPicture(picture);
    picture.InsertLayer(1, new RenderedLayer({0, 0, 100, 100}, 9));
    Select(picture, {700, 600, 800, 700});
    ITzToolCrop tool;
    EXPECT_EQ(tool.DoCrop(&picture), 0);
    EXPECT_FALSE(picture.GetLayerbyIndex(1)->IsImageLayer());
    EXPECT_FALSE(HasUndoStep(picture));
    EXPECT_EQ(picture.AbleEditing(), 1);
}

}  // namespace
