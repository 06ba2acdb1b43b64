// Pastes into the picture: the new layer's place, name and pixels, and refusals that
// keep nothing and change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error_codes.h"
#include "picture_test_support.h"

using namespace picture_test;

namespace {

// A packed 24-bit DIB of 3 x 2 blue pixels, bottom-up, rows padded to 12 bytes.
std::vector<uint8_t> BlueDib()
{
    std::vector<uint8_t> dib(40 + 2 * 12, 0);
    const uint32_t header[] = {40, 3, 2};
    for (int i = 0; i < 3; ++i)
        PTzWriteLE32(&dib[4 * i], header[i]);
    PTzWriteLE16(&dib[12], 1);
    PTzWriteLE16(&dib[14], 24);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            dib[40 + row * 12 + x * 3] = 255;  // blue, green and red in memory order
    return dib;
}

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

TEST(PicturePaste, DibBecomesTheNewActiveLayer)
{
    ITzPicture picture;
    FillLayers(picture, 1);
    std::vector<uint8_t> bytes = BlueDib();
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
    EXPECT_EQ(picture.PasteDIB(nullptr, 0), 0);
    EXPECT_EQ(picture.PasteDIB(dib, 20), 0);  // cut inside its header
    EXPECT_EQ(picture.GetLayerCount(), 1);

    EXPECT_EQ(picture.PasteDIB(dib, uint32_t(bytes.size())), 1);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    PTzRECT bounds = {};
    picture.GetLayerbyIndex(1)->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, PTzRECT{0, 0, 3, 2}));
}

// The undoable paste of a DIB lands centred on the picture; undo takes it out again and
// a DIB that cannot be read records nothing.
TEST(PicturePaste, DoPasteDibCentresTheLayerAsOneUndoStep)
{
    ITzPicture picture;
    FillLayers(picture, 1);
    picture.Create(13, 12);
    std::vector<uint8_t> bytes = BlueDib();
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
    EXPECT_EQ(picture.DoPasteDIB(dib, 20), 0);
    EXPECT_EQ(picture.IsModified(), 0);
    ASSERT_EQ(picture.DoPasteDIB(dib, uint32_t(bytes.size())), 1);
    PTzRECT bounds = {};
    picture.GetLayerbyIndex(1)->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, PTzRECT{5, 5, 8, 7}));
    EXPECT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetLayerCount(), 1);
    EXPECT_NE(picture.DoRedo(), 0);
    EXPECT_EQ(picture.GetLayerCount(), 2);
}
