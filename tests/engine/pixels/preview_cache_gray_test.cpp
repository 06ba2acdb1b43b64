// The gray preview-cache levels of a mask: truncating means of 2 x 2 pixels whichever
// finer level they come from, and edits dropping or rebuilding only what they touch.
#include "engine/pixels/preview_cache_level.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/pixels/preview_cache_manager.h"
#include "preview_cache_test_support.h"

using namespace preview_test;

namespace {

// A mask whose cache levels are this cache's gray levels.
class Mask : public ITzLayerImageGray {
public:
    ITzLayerImage* CreateCacheLayer(uint32_t level, ITzPreviewCacheLink* manager) override
    {
        return ITzPreviewCacheGray::Create(level, manager);
    }
};

using MaskPointer = std::unique_ptr<Mask, ITzLayerDestroyer>;

constexpr PTzPOINT kZero = {0, 0};

// The model's alpha plane is the mask: its levels are plain truncating means.
void Write(ITzLayerImageGray& mask, const Image& image, const PTzRECT& part)
{
    std::vector<uint8_t> bytes;
    for (int32_t y = part.top; y < part.bottom; ++y)
        for (int32_t x = part.left; x < part.right; ++x)
            bytes.push_back(image.get(0, x, y));
    _tagITzBITMAP bitmap = {part.right - part.left, part.bottom - part.top, part.right - part.left, 8,
                            PTzCOLORMODE_GRAY, bytes.data()};
    PTzRECT local;
    mask.PRECTtoLRECT(&part, &local);
    ASSERT_EQ(mask.SetRectData(&local, &bitmap), 0);
}

MaskPointer MakeMask(const Image& image)
{
    MaskPointer mask(new Mask());
    mask->SetSize(&image.rect, 1);
    Write(*mask, image, image.rect);
    return mask;
}

void ExpectLevel(ITzLayerImage& level, const Image& expected)
{
    const int32_t width = expected.width(), height = expected.height(), stride = (width + 3) & ~3;
    std::vector<uint8_t> pixels(size_t(stride) * size_t(height));
    _tagITzBITMAP bitmap = {width, height, stride, 8, PTzCOLORMODE_GRAY, pixels.data()};
    const _tagITzZOOMLEVEL one = {1, 1};
    ASSERT_EQ(level.GetBitmap(&bitmap, &expected.rect, &one, &one), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t px = expected.rect.left + x, py = expected.rect.top + y;
            ASSERT_EQ(pixels[size_t(y) * size_t(stride) + size_t(x)], expected.get(0, px, py)) << px << "," << py;
        }
}

// Copies a rectangle of `from` into the model and the mask.
void Patch(ITzLayerImageGray& mask, Image& image, const Image& from)
{
    for (int32_t y = from.rect.top; y < from.rect.bottom; ++y)
        for (int32_t x = from.rect.left; x < from.rect.right; ++x)
            image.at(0, x, y) = from.get(0, x, y);
    Write(mask, image, from.rect);
}

}  // namespace

TEST(PreviewCacheGray, ALevelBuiltRecursivelyEqualsOneBuiltLevelByLevel)
{
    const Image image = RandomImage({-100, 40, 900, 700}, 17);
    MaskPointer direct = MakeMask(image), stepped = MakeMask(image);
    ExpectLevel(*direct->GetCacheLayer(3), LevelImage(image, kZero, 3));
    for (uint8_t n = 1; n <= 3; ++n)
        ExpectLevel(*stepped->GetCacheLayer(n), LevelImage(image, kZero, n));
    EXPECT_EQ(direct->GetCacheLayer(1)->BlockDataAvailable(0), 0);
    EXPECT_EQ(ITzPreviewCacheGray::Create(1, nullptr), nullptr);
    EXPECT_EQ(ITzPreviewCacheGray::Create(9, direct->GetCacheManager()), nullptr);
}

TEST(PreviewCacheGray, EditsDropOrRebuildOnlyWhatTheyTouch)
{
    Image image = RandomImage({0, 0, 1024, 600}, 23);
    MaskPointer mask = MakeMask(image);
    for (uint8_t n = 1; n <= 2; ++n)
        ExpectLevel(*mask->GetCacheLayer(n), LevelImage(image, kZero, n));
    ITzLayerImage* one = mask->GetCacheLayer(1);

    // Source block (3, 0) changes: level 1 drops its block 1, level 2 its only block.
    Patch(*mask, image, RandomImage({800, 10, 900, 50}, 5));
    const _tagITzBLOCKPOSITION position = {3, 0};
    mask->BlockDataUpdated(mask->BlockPosToIndex(&position));
    EXPECT_EQ(one->BlockDataAvailable(0), 1);
    EXPECT_EQ(one->BlockDataAvailable(1), 0);
    EXPECT_EQ(one->BlockDataAvailable(2), 1);
    EXPECT_EQ(mask->GetCacheLayer(2)->BlockDataAvailable(0), 0);
    for (uint8_t n = 1; n <= 2; ++n)
        ExpectLevel(*mask->GetCacheLayer(n), LevelImage(image, kZero, n));

    // Rebuilt at once whatever the flags, or straight from the source for one level.
    const Image second = RandomImage({100, 300, 180, 420}, 6);
    Patch(*mask, image, second);
    EXPECT_EQ(mask->RebuildPreview(&second.rect, 0), 1);
    for (uint8_t n = 1; n <= 2; ++n)
        ExpectLevel(*mask->GetCacheLayer(n), LevelImage(image, kZero, n));
    const Image third = RandomImage({500, 200, 520, 260}, 7);
    Patch(*mask, image, third);
    EXPECT_EQ(mask->UpdataPreviewForBrush(2, &third.rect, 1), 1);
    ExpectLevel(*mask->GetCacheLayer(2), LevelImage(image, kZero, 2));
}
