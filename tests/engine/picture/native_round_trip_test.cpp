// Native files written and read back: layers with their properties, pixels and block
// grids, after moves, extensions and crops, give the same picture and the same bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/pixels/undo_block_list.h"
#include "native_test_support.h"

using namespace native_test;

namespace {

// Every pixel of the layer's bounds, ARGB.
Bytes LayerPixels(ITzLayerImage& layer)
{
    PTzRECT bounds{};
    layer.GetLBounds(&bounds);
    const int32_t width = bounds.right - bounds.left;
    const int32_t height = bounds.bottom - bounds.top;
    Bytes pixels(size_t(width) * height * 4);
    _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    EXPECT_EQ(0, layer.GetRectData(&bounds, &bitmap));
    return pixels;
}

// The loaded layer has the saved one's bounds, grid and pixels.
void ExpectSameLayer(ITzLayerImage& saved, ITzLayerImage& loaded)
{
    PTzRECT a{}, b{};
    saved.GetBounds(&a);
    loaded.GetBounds(&b);
    EXPECT_TRUE(picture_test::SameRect(a, b));
    _tagPTzOFFSET offsetA{}, offsetB{};
    saved.DWKGetBlockOffset(&offsetA);
    loaded.DWKGetBlockOffset(&offsetB);
    EXPECT_EQ(offsetA.x, offsetB.x);
    EXPECT_EQ(offsetA.y, offsetB.y);
    EXPECT_EQ(saved.DWKGetBlockCountX(), loaded.DWKGetBlockCountX());
    EXPECT_EQ(saved.DWKGetBlockCountY(), loaded.DWKGetBlockCountY());
    EXPECT_EQ(saved.GetBlockCount(), loaded.GetBlockCount());
    EXPECT_TRUE(LayerPixels(saved) == LayerPixels(loaded));
}

}  // namespace

TEST(NativeReader, RoundTripKeepsLayersPropertiesAndPixels)
{
    ITzPicture picture;
    picture.Create(700, 500);
    picture.SetXPelsPerMeter(2835);
    ITzLayerImageARGB* painted = AddLayer(picture, {-300, -20, 400, 300});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 200, {10, 20, 30}};
    const PTzRECT spot = {5, 7, 290, 40};
    ASSERT_EQ(painted->FillRect(&spot, &colour), 0);
    painted->SetName(u"painted");
    painted->SetOpacity(77);
    painted->SetMergeType(ITzMERGETYPE(9));
    ITzLayerImageARGB* hidden = AddLayer(picture, {0, 0, 10, 10});
    hidden->Setvisibility(0);
    picture.InsertLayer(2, new ITzLayerImageARGB());  // a new, unpainted 0 x 0 layer

    const Bytes saved = Save(picture);
    int error = 0;
    std::unique_ptr<ITzPicture> loaded = Load(saved, &error);
    ASSERT_TRUE(loaded) << error;
    ASSERT_EQ(loaded->GetLayerCount(), 3);
    EXPECT_EQ(loaded->GetXPelsPerMeter(), 2835u);
    ITzLayerBase* first = loaded->GetLayerbyIndex(0);
    EXPECT_EQ(std::u16string(first->GetName()), u"painted");
    EXPECT_EQ(first->GetOpacity(), 77);
    EXPECT_EQ(int(first->GetMergeType()), 9);
    PTzRECT bounds{};
    first->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, {-300, -20, 400, 300}));
    EXPECT_FALSE(loaded->GetLayerbyIndex(1)->IsVisible());
    loaded->GetLayerbyIndex(2)->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, {0, 0, 0, 0}));
    EXPECT_FALSE(loaded->IsModified());
    // Pixels and geometry: saving the loaded picture gives the same bytes.
    EXPECT_EQ(Save(*loaded), saved);
}

TEST(NativeReader, BlockCountsMatchTheWriterAfterMovesAndExtensions)
{
    ITzPicture picture;
    picture.Create(900, 900);
    ITzLayerImageARGB* layer = AddLayer(picture, {10, 10, 20, 20});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
    for (const PTzRECT rect : {PTzRECT{-600, -10, -590, 0}, PTzRECT{700, 300, 900, 800}}) {
        ASSERT_EQ(layer->FillRect(&rect, &colour), 0);
        const Bytes saved = Save(picture);
        std::unique_ptr<ITzPicture> loaded = Load(saved);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(Save(*loaded), saved);
    }
    _tagPTzOFFSET move = {-77, 131};
    layer->Move(&move);
    const Bytes moved = Save(picture);
    std::unique_ptr<ITzPicture> loaded = Load(moved);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Save(*loaded), moved);
}

TEST(NativeReader, CroppedAndMovedLayersComeBackWithTheirGridAndPixels)
{
    ITzPicture picture;
    picture.Create(900, 700);
    ITzLayerImageARGB* layer = AddLayer(picture, {0, 0, 10, 10});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
    const PTzRECT wide = {-300, -200, 800, 600};
    ASSERT_EQ(layer->FillRect(&wide, &colour), 0);
    colour = {PTzCOLORMODE_ARGB, 90, {200, 100, 50}};
    const PTzRECT spot = {-120, 30, 140, 290};
    ASSERT_EQ(layer->FillRect(&spot, &colour), 0);
    // Crops that cut blocks on every side, each followed by a move to negative places.
    const PTzRECT crops[] = {{-170, -90, 530, 410}, {-400, -300, -20, 200}};
    const _tagPTzOFFSET moves[] = {{-333, -77}, {-1000, -513}};
    for (int i = 0; i < 2; ++i) {
        ITzUndoTwoLevelBlockList undo(layer->GetBlockType());
        ASSERT_EQ(layer->Crop(&crops[i], &undo), 1);
        _tagPTzOFFSET move = moves[i];
        ASSERT_EQ(layer->MoveCore(&move), 0);
        const Bytes saved = Save(picture);
        std::unique_ptr<ITzPicture> loaded = Load(saved);
        ASSERT_TRUE(loaded) << i;
        ExpectSameLayer(*layer, *static_cast<ITzLayerImage*>(loaded->GetLayerbyIndex(0)));
        EXPECT_EQ(Save(*loaded), saved) << i;
    }
}

