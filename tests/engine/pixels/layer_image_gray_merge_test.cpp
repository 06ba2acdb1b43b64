// Gray floating merges against the scalar reference of the gray merge types (a rect merge
// reads the floating layer over the picture rectangle of its part), and the
// backup tests held to the merges: a block they spare is left unchanged, and a merge
// after a backup is undone bit-exactly by swapping the backup back.
#include "engine/pixels/layer_image_gray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/undo_block_list.h"
#include "merge_reference.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

constexpr int32_t kTypes[] = {ITzMERGE_NORMAL,   ITzMERGE_REPLACE, ITzMERGE_INTERSECT,      ITzMERGE_INVERT,
                              ITzMERGE_SUBTRACT, ITzMERGE_ERASE,   ITzMERGE_MULTIPLY_ALPHA};
constexpr uint8_t kOpacities[] = {0, 128, 255};
constexpr PTzRECT kBlock = {0, 0, 256, 256};

// A one-block mask of width x height: uniform at `value`, or random bytes when
// `value` is negative.
Layer Mask(int value, std::mt19937& random, int32_t width = 256, int32_t height = 256)
{
    Layer layer(new ITzLayerImageGray());
    const PTzRECT bounds = {0, 0, width, height};
    const _tagPTzCOLOR colour = {PTzCOLORMODE_GRAY, 255, {uint8_t(value < 0 ? 0 : value)}};
    EXPECT_EQ(layer->FillRect(&bounds, &colour), 0);
    if (value < 0) {
        std::vector<uint8_t> bytes = RandomBytes(random, size_t(width) * height);
        _tagITzBITMAP bitmap = {width, height, width, 8, PTzCOLORMODE_GRAY, bytes.data()};
        EXPECT_EQ(layer->SetRectData(&bounds, &bitmap), 0);
    }
    return layer;
}

// The whole block 0, outside the bounds included.
std::vector<uint8_t> Bytes(ITzLayerImageGray& layer)
{
    std::vector<uint8_t> page(ITzBLOCK_PAGE_BYTES, 0);
    _tagITzBLOCKINFOGRAY record;
    if (layer.GetBlockInfo(0, &record, 0) == 0)
        layer.FillBlockBufferChannel(record.data, record.constant, page.data());
    return page;
}

_tagITzBLOCKINFOGRAY Record(ITzLayerImageGray& layer)
{
    _tagITzBLOCKINFOGRAY record = {};
    layer.GetBlockInfo(0, &record, 0);
    return record;
}

void SetMerge(ITzLayerImageGray& layer, int32_t type, uint8_t opacity)
{
    layer.SetMergeType(ITzMERGETYPE(type));
    layer.SetTempOpacity(opacity);
}

// What a gray merge makes of target byte d under source byte s.
uint8_t Expected(int32_t type, uint8_t opacity, uint8_t s, uint8_t d)
{
    const CMathMerge& t = *GetMathMerge();
    switch (type) {
    case ITzMERGE_NORMAL:
    case ITzMERGE_INTERSECT:
    case ITzMERGE_INVERT:
    case ITzMERGE_SUBTRACT:
        return RefGray(t, type, t.Product(s, opacity), d);
    case ITzMERGE_REPLACE:
        return s;
    default:
        return d;
    }
}

TEST(LayerImageGrayMerge, BlockMergesMatchTheScalarReference)
{
    std::mt19937 random(11);
    for (int32_t type : kTypes)
        for (uint8_t opacity : kOpacities) {
            Layer target = Mask(-1, random), floating = Mask(-1, random);
            SetMerge(*floating, type, opacity);
            const std::vector<uint8_t> before = Bytes(*target), source = Bytes(*floating);
            ASSERT_EQ(target->FloatMergeBlock(floating.get(), 0, 0, nullptr), 1);
            const std::vector<uint8_t> after = Bytes(*target);
            for (size_t i = 0; i < after.size(); ++i)
                ASSERT_EQ(after[i], Expected(type, opacity, source[i], before[i])) << type << " " << int(opacity);
            EXPECT_EQ(Bytes(*floating), source);  // replace copies: the floating layer keeps its pixels
        }
}

TEST(LayerImageGrayMerge, RectMergesChangeOnlyTheirRectAndReadZeroPastTheFloatingLayer)
{
    std::mt19937 random(12);
    for (int32_t type : kTypes)
        for (uint8_t opacity : kOpacities)
            for (int uniform : {-1, 255}) {
                Layer target = Mask(-1, random), floating = Mask(uniform, random, 200, 180);
                SetMerge(*floating, type, opacity);
                const PTzRECT part = {20, 30, 230, 250};
                const _tagITzBLOCKPOSITION position = {0, 0};
                const std::vector<uint8_t> before = Bytes(*target), source = Bytes(*floating);
                ASSERT_EQ(target->FloatMergeRect(&position, &part, floating.get(), &part, nullptr), 1);
                const std::vector<uint8_t> after = Bytes(*target);
                for (int32_t y = 0; y < 256; ++y)
                    for (int32_t x = 0; x < 256; ++x) {
                        const size_t i = size_t(y) * 256 + x;
                        const bool inPart = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
                        const uint8_t s = x < 200 && y < 180 ? source[i] : 0;
                        ASSERT_EQ(after[i], inPart ? Expected(type, opacity, s, before[i]) : before[i])
                            << type << " " << int(opacity) << " at " << x << "," << y;
                    }
            }
}

TEST(LayerImageGrayMerge, AUniformPartChangesOnlyItsRect)
{
    std::mt19937 random(13);
    Layer target = Mask(0, random), floating = Mask(255, random);
    const PTzRECT part = {0, 0, 100, 100};
    const _tagITzBLOCKPOSITION position = {0, 0};
    ASSERT_EQ(target->FloatMergeRectForSameType(&position, &part, floating.get(), &part, nullptr), 1);
    const std::vector<uint8_t> after = Bytes(*target);
    EXPECT_EQ(after[99 * 256 + 99], 255);
    EXPECT_EQ(after[99 * 256 + 100], 0);
    EXPECT_EQ(after[100 * 256], 0);
    // A floating layer of another kind is not merged by rectangle.
    std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer> colour(new ITzLayerImageARGB());
    EXPECT_EQ(target->FloatMergeRect(&position, &part, colour.get(), &kBlock, nullptr), 0);
    EXPECT_EQ(target->FloatMergeRectForSameType(&position, &part, colour.get(), &kBlock, nullptr), 0);
}

TEST(LayerImageGrayMerge, IntoAnotherKindTheMaskErasesAlphaByTheTileMerge)
{
    std::mt19937 random(14);
    Layer floating = Mask(-1, random);
    SetMerge(*floating, ITzMERGE_ERASE, 200);
    std::vector<uint8_t> planes[4];
    for (auto& plane : planes)
        plane = RandomBytes(random, ITzBLOCK_PAGE_BYTES);
    const std::vector<uint8_t> alpha = planes[0], source = Bytes(*floating);
    _tagITzBLOCKMEMORY memory = {3, {planes[0].data(), planes[1].data(), planes[2].data(), planes[3].data()}};
    ASSERT_EQ(floating->FloatMergeBlockDataToBlockMemory(0, &memory, nullptr), 1);
    const CMathMerge& t = *GetMathMerge();
    for (size_t i = 0; i < alpha.size(); i += 97)
        ASSERT_EQ(planes[0][i], RefGray(t, ITzMERGE_ERASE, t.Product(source[i], 200), alpha[i]));
    const PTzRECT rect = {0, 0, 256, 256};
    planes[0] = alpha;
    ASSERT_EQ(floating->FloatMergeRectDataToBlockMemory(&rect, &memory, nullptr), 1);
    EXPECT_EQ(planes[0][1000], RefGray(t, ITzMERGE_ERASE, t.Product(source[1000], 200), alpha[1000]));
}

// Sources and targets whose uniform values the backup tests look at, and data.
constexpr int kValues[] = {0, 128, 255, -1};

TEST(LayerImageGrayMerge, ABlockTheBackupTestsSpareIsLeftUnchanged)
{
    std::mt19937 random(15);
    int spared = 0;
    for (int32_t type : kTypes)
        for (uint8_t opacity : kOpacities)
            for (int to : kValues)
                for (int from : kValues) {
                    const _tagITzMERGEDATA merge = {type, opacity};
                    Layer target = Mask(to, random), floating = Mask(from, random);
                    SetMerge(*floating, type, opacity);
                    const _tagITzBLOCKINFOGRAY source = Record(*floating), own = Record(*target);
                    const std::vector<uint8_t> before = Bytes(*target);
                    if (!ITzLayerImageGray::MergeBlockNeedBackupGray(&source, &own, &merge)) {
                        ++spared;
                        target->FloatMergeBlock(floating.get(), 0, 0, nullptr);
                        ASSERT_EQ(Bytes(*target), before) << type << " " << int(opacity) << " " << to << " " << from;
                    }
                    if (from >= 0 && !ITzLayerImageGray::MergeRectNeedBackupGray(uint8_t(from), &own, &merge)) {
                        ++spared;
                        const PTzRECT part = {10, 20, 100, 200};
                        const _tagITzBLOCKPOSITION position = {0, 0};
                        target->FloatMergeRect(&position, &part, floating.get(), &part, nullptr);
                        target->FloatMergeRect(&position, nullptr, floating.get(), &kBlock, nullptr);
                        ASSERT_EQ(Bytes(*target), before) << type << " " << int(opacity) << " " << to << " " << from;
                    }
                }
    EXPECT_GT(spared, 20);
    // An intersection with 255 keeps the target only at full opacity.
    Layer target = Mask(-1, random);
    const _tagITzBLOCKINFOGRAY own = Record(*target);
    const _tagITzMERGEDATA half = {ITzMERGE_INTERSECT, 128}, full = {ITzMERGE_INTERSECT, 255};
    EXPECT_EQ(ITzLayerImageGray::MergeRectNeedBackupGray(255, &own, &half), 1);
    EXPECT_EQ(ITzLayerImageGray::MergeRectNeedBackupGray(255, &own, &full), 0);
}

TEST(LayerImageGrayMerge, AMergeAfterItsBackupIsUndoneBitExactly)
{
    std::mt19937 random(16);
    for (int32_t type : kTypes)
        for (int from : kValues)
            for (bool byBlock : {false, true}) {
                Layer target = Mask(-1, random), floating = Mask(from, random);
                SetMerge(*floating, type, 128);
                const std::vector<uint8_t> before = Bytes(*target);
                ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_GRAY);
                if (byBlock) {
                    target->BackupBlockInBoundsForSameType(0, floating.get(), 0, nullptr, &kBlock, &list);
                    target->FloatMergeBlock(floating.get(), 0, 0, nullptr);
                } else {
                    target->BackupBlockInBoundsForSameType(0, floating.get(), nullptr, &kBlock, &list);
                    const _tagITzBLOCKPOSITION position = {0, 0};
                    target->FloatMergeRect(&position, nullptr, floating.get(), &kBlock, nullptr);
                }
                for (uint32_t i = 0; i < list.GetCount(); ++i)
                    ASSERT_EQ(target->SwitchBlockwithUndoList(i, &list), 1);
                ASSERT_EQ(Bytes(*target), before) << type << " " << from << " " << byBlock;
            }
}

TEST(LayerImageGrayMerge, OnlyASelectionOfZeroOverTheWholeBlockSparesTheBackup)
{
    std::mt19937 random(17);
    Layer target = Mask(-1, random), floating = Mask(-1, random);
    Layer empty = Mask(0, random), partly = Mask(0, random);
    const PTzRECT corner = {0, 0, 10, 10};
    const _tagPTzCOLOR selected = {PTzCOLORMODE_GRAY, 255, {255}};
    ASSERT_EQ(partly->FillRect(&corner, &selected), 0);
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_GRAY);
    const PTzRECT rest = {100, 100, 256, 256};  // the selection is 0 here, yet gray merges apply no mask
    EXPECT_EQ(target->BackupBlockInBoundsForSameType(0, floating.get(), empty.get(), &rest, &list), 0);
    EXPECT_EQ(target->BackupBlockInBoundsForSameType(0, floating.get(), 0, empty.get(), &rest, &list), 0);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(target->BackupBlockInBoundsForSameType(0, floating.get(), partly.get(), &rest, &list), 1);
    EXPECT_EQ(target->BackupBlockInBoundsForSameType(0, floating.get(), 0, partly.get(), &rest, &list), 1);
    EXPECT_EQ(list.GetCount(), 2u);
}

}  // namespace
