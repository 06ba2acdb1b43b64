// The gray layer as a tile store: reads and writes against a plain byte model under
// random operations, the uniform test that counts a missing block as 0, exact handle
// ownership of records and copies, and the preview-cache reductions.
#include "engine/pixels/layer_image_gray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/channel_compression.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageGray, ITzLayerDestroyer>;

constexpr int32_t kWidth = 600, kHeight = 300;  // 3 x 2 blocks

_tagPTzCOLOR Gray(uint8_t value)
{
    return {PTzCOLORMODE_GRAY, 255, {value}};
}

Layer FilledLayer(int32_t width, int32_t height, uint8_t value)
{
    Layer layer(new ITzLayerImageGray());
    const PTzRECT bounds = {0, 0, width, height};
    const _tagPTzCOLOR colour = Gray(value);
    EXPECT_EQ(layer->FillRect(&bounds, &colour), 0);
    return layer;
}

_tagITzBITMAP View(std::vector<uint8_t>& bytes, int32_t width, int32_t height)
{
    return {width, height, width, 8, PTzCOLORMODE_GRAY, bytes.data()};
}

// The model of the layer: one byte per pixel, 0 where nothing was written, and which
// blocks are missing (those read 0 and take no writes).
struct Model {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(size_t(kWidth) * kHeight, 0);
    bool missing[6] = {};
    uint8_t at(int32_t x, int32_t y) const
    {
        return x < 0 || y < 0 || x >= kWidth || y >= kHeight ? 0 : bytes[size_t(y) * kWidth + x];
    }
    static uint32_t blockOf(int32_t x, int32_t y) { return uint32_t(y / 256 * 3 + x / 256); }
    // Writes every pixel of the rectangle whose block is present; true when one is missing.
    template <class Value>
    bool write(const PTzRECT& r, Value value)
    {
        bool skipped = false;
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x) {
                if (missing[blockOf(x, y)])
                    skipped = true;
                else
                    bytes[size_t(y) * kWidth + x] = value(x, y);
            }
        return skipped;
    }
    PTzRECT block(uint32_t index) const
    {
        const int32_t left = int32_t(index % 3) * 256, top = int32_t(index / 3) * 256;
        return {left, top, std::min(left + 256, kWidth), std::min(top + 256, kHeight)};
    }
};

PTzRECT InsideRect(std::mt19937& random)
{
    const int32_t left = int32_t(random() % kWidth), top = int32_t(random() % kHeight);
    return {left, top, left + 1 + int32_t(random() % (kWidth - left)), top + 1 + int32_t(random() % (kHeight - top))};
}

TEST(LayerImageGray, ReadsAndWritesMatchAByteModelUnderRandomOperations)
{
    std::mt19937 random(7);
    Layer layer = FilledLayer(kWidth, kHeight, 0);
    Model model;
    for (int step = 0; step < 150; ++step) {
        const PTzRECT rect = InsideRect(random);
        const uint8_t value = (random() & 1) ? uint8_t(random()) : uint8_t((random() & 1) * 255);
        switch (random() % 4) {
        case 0: {
            const _tagPTzCOLOR colour = Gray(value);
            // A missing block becomes a present one of 0 and takes the fill.
            ASSERT_EQ(layer->FillRect(&rect, &colour), 0);
            for (int32_t y = rect.top; y < rect.bottom; ++y)
                for (int32_t x = rect.left; x < rect.right; ++x)
                    model.missing[Model::blockOf(x, y)] = false;
            model.write(rect, [&](int32_t, int32_t) { return value; });
            break;
        }
        case 1: {
            const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
            std::vector<uint8_t> bytes(size_t(w) * h, value);
            for (uint8_t& b : bytes)
                b = (random() % 3) ? value : uint8_t(random());
            _tagITzBITMAP bitmap = View(bytes, w, h);
            ASSERT_EQ(layer->SetRectData(&rect, &bitmap), 0);
            model.write(rect, [&](int32_t x, int32_t y) { return bytes[size_t(y - rect.top) * w + x - rect.left]; });
            break;
        }
        case 2: {
            const uint32_t block = random() % 6;
            const _tagPTzCOLOR colour = Gray(value);
            ASSERT_EQ(layer->SetBlockColor(block, &colour), 1);
            model.missing[block] = false;
            model.write(model.block(block), [&](int32_t, int32_t) { return value; });
            break;
        }
        default: {
            const uint32_t block = random() % 6;
            layer->BlockDataInvalid(block);
            model.write(model.block(block), [](int32_t, int32_t) { return uint8_t(0); });
            model.missing[block] = true;
            break;
        }
        }
        // A rectangle that may reach past the layer: read as the model, 0 outside.
        PTzRECT probe = InsideRect(random);
        probe.left -= int32_t(random() % 40);
        probe.bottom += int32_t(random() % 40);
        const int32_t w = probe.right - probe.left, h = probe.bottom - probe.top;
        std::vector<uint8_t> page(size_t(w) * h, 0xAB);
        _tagITzGRAYMEMDATA data = {page.data(), 0, 0, w, h};
        ASSERT_EQ(layer->GetRectChannelData(&probe, &data), 1);
        bool modelUniform = true;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t expected = model.at(probe.left + x, probe.top + y);
                modelUniform = modelUniform && expected == model.at(probe.left, probe.top);
                ASSERT_EQ(data.uniform ? data.value : page[size_t(y) * w + x], expected) << step;
            }
        // Uniform only when it is, and never for a rectangle that leaves the layer.
        uint8_t same = 0;
        const int answer = layer->IsRectDataSame(&probe, &same);
        if (probe.left < 0 || probe.bottom > kHeight) {
            EXPECT_EQ(answer, 0) << step;
        }
        if (answer) {
            EXPECT_TRUE(modelUniform && same == model.at(probe.left, probe.top)) << step;
        }
    }
}

TEST(LayerImageGray, AMissingBlockCountsAsZeroNotAsSkipped)
{
    Layer layer = FilledLayer(512, 256, 255);
    ASSERT_EQ(layer->BlockDataInvalid(0), 1);
    uint8_t value = 1;
    const PTzRECT both = {200, 10, 300, 20}, missing = {0, 0, 256, 256};
    EXPECT_EQ(layer->IsRectDataSame(&both, &value), 0);
    EXPECT_EQ(layer->IsRectDataSame(&missing, &value), 1);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(layer->AlphaDataFull(&both), 0);
    std::vector<uint8_t> page(100 * 10, 0xAB);
    _tagITzGRAYMEMDATA data = {page.data(), 0, 0, 100, 10};
    ASSERT_EQ(layer->GetRectChannelData(&both, &data), 1);
    ASSERT_EQ(data.uniform, 0);
    EXPECT_EQ(page[55], 0);
    EXPECT_EQ(page[56], 255);
    EXPECT_EQ(layer->IsRectDataSame(nullptr, &value), 0);
    EXPECT_EQ(PTzGetLastError(), ITzERR_INVALID);
    data.pixels = nullptr;
    EXPECT_EQ(layer->GetRectChannelData(&both, &data), 0);
}

TEST(LayerImageGray, SingleValuesColoursAndFillsKeepUniformBlocksWithoutData)
{
    Layer layer = FilledLayer(512, 256, 0);
    const _tagPTzCOLOR colour = Gray(200);
    ASSERT_EQ(layer->SetBlockColor(1, &colour), 1);
    _tagITzBLOCKINFOGRAY record;
    ASSERT_EQ(layer->GetBlockInfo(1, &record, 0), 0);
    EXPECT_EQ(record.data, nullptr);
    uint8_t value = 0;
    const PTzPOINT point = {300, 7}, outside = {-1, 0};
    EXPECT_EQ(layer->GetPointValue(&point, &value), 1);
    EXPECT_EQ(value, 200);
    EXPECT_EQ(layer->GetPointValue(&outside, &value), 0);
    _tagPTzCOLOR read = {};
    const PTzPOINT inBlock = {44, 7};
    ASSERT_EQ(layer->GetBlockPointColor(1, &inBlock, &read), 1);
    EXPECT_EQ(read.mode, PTzCOLORMODE_GRAY);
    EXPECT_EQ(read.alpha, 255);
    EXPECT_EQ(read.components[0], 200);

    // A fill of the same value expands nothing; a part fill does; a whole fill folds.
    const _tagITzBLOCKPOSITION second = {1, 0};
    const PTzRECT part = {10, 10, 20, 20};
    EXPECT_EQ(layer->FillBlock(&second, &part, &colour), 0);
    EXPECT_EQ(layer->GetBlockInfo(1, &record, 0), 0);
    EXPECT_EQ(record.data, nullptr);
    EXPECT_EQ(layer->FillBlock(&second, &part, nullptr), 0);
    EXPECT_EQ(layer->GetBlockInfo(1, &record, 0), 0);
    EXPECT_NE(record.data, nullptr);
    EXPECT_EQ(layer->FillBlock(&second, nullptr, &colour), 0);
    EXPECT_EQ(layer->GetBlockInfo(1, &record, 0), 0);
    EXPECT_EQ(record.data, nullptr);
    layer->BlockDataInvalid(1);
    EXPECT_EQ(layer->FillBlock(&second, nullptr, &colour), ITzERR_INVALID);
}

TEST(LayerImageGray, PublicRecordsFreeReplacedHandlesAndKeepIncomingOnes)
{
    Layer layer = FilledLayer(256, 256, 0);
    _tagITzBLOCKDATAINFO info;
    ASSERT_EQ(layer->GetBlockInfo(0, &info, 0), 0);
    EXPECT_EQ(info.lastChannel, 0u);
    PTzHANDLE first = ITzChannelExpand(9);
    info.channels[0] = {first, 0};
    ASSERT_EQ(layer->SetBlockInfo(0, &info), 0);
    ASSERT_EQ(layer->SetBlockInfo(0, &info), 0);  // get-modify-set keeps the live handle
    uint8_t value = 0;
    const PTzPOINT point = {3, 3};
    EXPECT_EQ(layer->GetPointValue(&point, &value), 1);
    EXPECT_EQ(value, 9);
    info.channels[0] = {ITzChannelExpand(4), 0};  // the old handle goes, the sanitizers see to it
    ASSERT_EQ(layer->SetBlockInfo(0, &info), 0);
    EXPECT_EQ(layer->GetPointValue(&point, &value), 1);
    EXPECT_EQ(value, 4);
    // Keeping the whole block through a grow leaves its data as it is.
    const PTzRECT keepAll = {0, 0, 256, 256}, keepNone = {};
    EXPECT_EQ(layer->ClearBlockWhenExtend(0, &keepAll), 1);
    EXPECT_EQ(layer->GetPointValue(&point, &value), 1);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(layer->ClearBlockWhenExtend(0, &keepNone), 1);
    EXPECT_EQ(layer->GetPointValue(&point, &value), 1);
    EXPECT_EQ(value, 0);
    // Another kind stores a missing block and drops every handle it brought.
    _tagITzBLOCKDATAINFO argb = {3, {{ITzChannelExpand(1), 0}, {ITzChannelExpand(2), 0}, {nullptr, 3}, {nullptr, 4}}};
    ASSERT_EQ(layer->SetBlockInfo(0, &argb), 0);
    EXPECT_EQ(layer->GetBlockInfo(0, &info, 0), ITzERR_BLOCK_ABSENT);
    EXPECT_EQ(info.channels[0].data, nullptr);
    EXPECT_EQ(layer->SetBlockInfo(99, &info), layer->GetBlockInfo(99, &info, 0));
}

TEST(LayerImageGray, ACopyThatCannotCopyABlockFailsWhole)
{
    Layer layer = FilledLayer(512, 256, 0);
    std::vector<uint8_t> bytes(512 * 256);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7);
    _tagITzBITMAP bitmap = View(bytes, 512, 256);
    const PTzRECT all = {0, 0, 512, 256};
    ASSERT_EQ(layer->SetRectData(&all, &bitmap), 0);
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> copy(layer->CreateCopyLayer());
    ASSERT_NE(copy, nullptr);
    auto* gray = dynamic_cast<ITzLayerImageGray*>(copy.get());
    ASSERT_NE(gray, nullptr);
    std::vector<uint8_t> read(bytes.size());
    _tagITzBITMAP out = View(read, 512, 256);
    ASSERT_EQ(gray->GetRectData(&all, &out), 0);
    EXPECT_EQ(read, bytes);
    int refused = 0;
    for (int64_t budget = 0; budget < 6; ++budget) {
        PTzTestSetAllocationCountdown(budget);
        std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> partial(layer->CreateCopyLayer());
        PTzTestSetAllocationCountdown(-1);
        refused += partial == nullptr;
        if (partial) {
            auto* whole = dynamic_cast<ITzLayerImageGray*>(partial.get());
            ASSERT_EQ(whole->GetRectData(&all, &out), 0);
            EXPECT_EQ(read, bytes) << budget;  // never a copy with a block missing
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(LayerImageGray, BlockReadsAndWritesTakeEightBitDataOnly)
{
    Layer layer = FilledLayer(256, 256, 5);
    std::vector<uint8_t> bytes(16, 77);
    _tagITzBITMAP bitmap = View(bytes, 4, 4);
    const PTzRECT rect = {-2, 250, 2, 254};  // clipped on the left
    ASSERT_EQ(layer->SetBlockData(0, &rect, &bitmap), 0);
    std::vector<uint8_t> read(16, 0);
    _tagITzBITMAP out = View(read, 4, 4);
    ASSERT_EQ(layer->GetBlockData(0, &rect, &out), 0);
    EXPECT_EQ(read[0], 0);  // left of the block: not written
    EXPECT_EQ(read[2], 77);
    bitmap.bits = 32;
    EXPECT_EQ(layer->SetBlockData(0, &rect, &bitmap), ITzERR_INVALID);
    EXPECT_EQ(layer->GetBlockData(0, &rect, &bitmap), ITzERR_INVALID);
    EXPECT_EQ(PTzGetLastError(), ITzERR_INVALID);
    uint8_t value = 0;

    // A rectangle that starts inside a block reads the bitmap from its own corner.
    Layer placed(new ITzLayerImageGray());
    const PTzRECT bounds = {300, 40, 320, 52};
    ASSERT_EQ(placed->ExtendSize(&bounds, nullptr, 1), 0);
    std::vector<uint8_t> dot(20 * 12, 0);
    dot[5 * 20 + 5] = 128;
    _tagITzBITMAP dotBitmap = View(dot, 20, 12);
    const PTzRECT local = {0, 0, 20, 12};
    ASSERT_EQ(placed->SetRectData(&local, &dotBitmap), 0);
    const PTzPOINT five = {5, 5};
    EXPECT_EQ(placed->GetPointValue(&five, &value), 1);
    EXPECT_EQ(value, 128);
    _tagITzCHANNELBITMAP planeOfDot = {20, 12, 20, PTzCOLORMODE_GRAY, {dot.data()}};
    dot[5 * 20 + 5] = 0;
    dot[6 * 20 + 7] = 99;
    ASSERT_EQ(placed->SetRectChannelData(&planeOfDot, &local), 1);
    const PTzPOINT seven = {7, 6};
    EXPECT_EQ(placed->GetPointValue(&seven, &value), 1);
    EXPECT_EQ(value, 99);

    _tagITzCHANNELBITMAP plane;
    ASSERT_EQ(layer->LockBlockToChannelBitmap(0, &plane), 1);
    plane.planes[0][0] = 33;
    ASSERT_EQ(layer->UnlockChannelBitmapToBlock(0, &plane), 1);
    const PTzPOINT origin = {0, 0};
    EXPECT_EQ(layer->GetPointValue(&origin, &value), 1);
    EXPECT_EQ(value, 33);
}

TEST(LayerImageGray, CacheReductionsTakeTheBoxMean)
{
    std::vector<uint8_t> source(ITzBLOCK_PAGE_BYTES, 0), target(ITzBLOCK_PAGE_BYTES, 0);
    source[0] = 10, source[1] = 11, source[256] = 12, source[257] = 14;
    Layer layer = FilledLayer(256, 256, 0);
    const _tagITzBLOCKMEMORYARGB pages = {{source.data()}, {}};
    _tagITzBLOCKMEMORYGRAY out = {target.data()};
    const PTzRECT one = {3, 4, 4, 5};
    ASSERT_EQ(layer->FillBlockMemoryZoom(&pages, &out, &one, 1), 0);
    EXPECT_EQ(target[4 * 256 + 3], 11);
    EXPECT_EQ(layer->FillBlockMemoryZoom(&pages, &out, &one, 0), ITzERR_INVALID);
    const _tagITzBLOCKMEMORYARGB uniform = {{nullptr}, {42}};
    ASSERT_EQ(layer->FillBlockMemoryZoom(&uniform, &out, &one, 1), 0);
    EXPECT_EQ(target[4 * 256 + 3], 42);

    // A tile that reads as uniform 200 fills its whole square.
    Layer full = FilledLayer(512, 256, 200);
    _tagITzCHANNELDATA channel = {ITzChannelExpand(0), 0};
    const PTzRECT squares = {0, 0, 64, 32}, pictureRect = {0, 0, 512, 256};
    ASSERT_EQ(full->FillCacheBlockAlpha(&channel, &squares, &pictureRect, 3), 1);
    uint8_t common = 0;
    {
        const PTzHandleLockGuard bytes(channel.data);
        EXPECT_EQ(bytes.bytes()[31 * 256 + 63], 200);
        EXPECT_EQ(bytes.bytes()[32 * 256], 0);
        EXPECT_EQ(ITzBytesUniform(bytes.bytes(), 64, &common), 1);
    }
    PTzHandleFree(channel.data);
    std::fill(target.begin(), target.end(), 0);
    const PTzRECT reduced = {0, 0, 128, 128}, wide = {0, 0, 300, 10};
    ASSERT_EQ(full->FillPreviewCacheData(&pictureRect, &out, &reduced, 1), ITzERR_INVALID);  // wider than 256
    const PTzRECT tile = {256, 0, 512, 256};
    ASSERT_EQ(full->FillPreviewCacheData(&tile, &out, &reduced, 1), 0);
    EXPECT_EQ(target[127 * 256 + 127], 200);
    EXPECT_EQ(full->FillPreviewCacheData(&wide, &out, &reduced, 1), ITzERR_INVALID);
}

}  // namespace
