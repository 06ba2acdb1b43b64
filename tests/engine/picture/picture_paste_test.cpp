// Pastes into the picture: the new layer's place, name and pixels, and refusals that
// keep nothing and change nothing.
#include <gtest/gtest.h>

#include <string>

#include "base/error_codes.h"
#include "engine/pixels/layer_dib_link.h"
#include "picture_test_support.h"

using namespace picture_test;

namespace {

// Loads every DIB as a 3 x 2 block of opaque blue.
struct FakeDibLink : ITzLayerDibLink {
    int LoadDIBToLayer(const BITMAPINFOHEADER*, uint32_t, ITzLayerImage* layer) override
    {
        const PTzRECT rect = {0, 0, 3, 2};
        _tagPTzCOLOR blue = {PTzCOLORMODE_ARGB, 255, {0, 0, 255}};
        return layer->FillRect(&rect, &blue) == 0 ? 1 : 0;
    }
    void* SaveLayertoDIB(ITzLayerImage*, _tagITzMEMHANDLECBS*) override { return nullptr; }
    static ITzLayerDibLink* Make() { return new FakeDibLink(); }
};

}  // namespace

TEST(PicturePaste, CopyGoesAboveTheActiveLayerAndBecomesActive)
{
    ITzPicture picture;
    FillLayers(picture, 2);
    picture.SetActiveLayerID(0);
    ITzLayerImageARGB* source = MakeLayer({0, 0, 4, 4});
    source->SetName(u"Leaf");
    _tagPTzCOLOR green = {PTzCOLORMODE_ARGB, 255, {0, 180, 0}};
    const PTzRECT rect = {1, 1, 2, 2};
    ASSERT_EQ(source->FillRect(&rect, &green), 0);

    ASSERT_EQ(picture.PasteImageLayer(source), 1);
    ASSERT_EQ(picture.GetLayerCount(), 3);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    auto* pasted = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(1));
    EXPECT_NE(pasted, source);
    EXPECT_EQ(std::u16string(pasted->GetName()), u"Leaf");
    _tagPTzCOLOR colour = {};
    const PTzPOINT point = {1, 1};
    pasted->GetPixelColor(&point, &colour);
    EXPECT_EQ(colour.components[1], 180);
    ITzLayerBase::DestroyLayer(source);
    EXPECT_EQ(picture.PasteImageLayer(nullptr), 0);
}

TEST(PicturePaste, RefusedInsertionKeepsNothing)
{
    ITzPicture picture;
    FillLayers(picture, 255);
    picture.SetActiveLayerID(3);
    ITzLayerImageARGB* source = MakeLayer();
    // The copy is made but cannot be inserted: it is freed (LeakSanitizer) and 0 given.
    EXPECT_EQ(picture.PasteImageLayer(source), 0);
    EXPECT_EQ(picture.GetLayerCount(), 255);
    EXPECT_EQ(picture.GetActiveLayerID(), 3);
    ITzLayerBase::DestroyLayer(source);

    PTzSetLastError(0);
    EXPECT_EQ(picture.PasteCreateLayer(), nullptr);
    EXPECT_EQ(PTzGetLastError(), ITzERR_TOO_MANY_LAYERS);
}

TEST(PicturePaste, DibNeedsTheImageIOLink)
{
    ITzPicture picture;
    FillLayers(picture, 1);
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(u"any");
    EXPECT_EQ(picture.PasteDIB(nullptr, 0), 0);
    EXPECT_EQ(picture.PasteDIB(dib, 40), 0);
    EXPECT_EQ(picture.GetLayerCount(), 1);

    ITzSetLayerDibLinkMaker(&FakeDibLink::Make);
    EXPECT_EQ(picture.PasteDIB(dib, 40), 1);
    ITzSetLayerDibLinkMaker(nullptr);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    PTzRECT bounds = {};
    picture.GetLayerbyIndex(1)->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, PTzRECT{0, 0, 3, 2}));
}
