// The ARGB layer's tile store: random edits against a flat reference picture, block
// records and their ownership, per-block pixel access and the uniform-channel rule.
#include "engine/pixels/layer_image_argb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/generated_layer_link.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

Layer MakeLayer()
{
    return Layer(new ITzLayerImageARGB());
}

_tagPTzCOLOR Colour(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return {PTzCOLORMODE_ARGB, a, {r, g, b}};
}

// A 32-bit bitmap of its own pixels.
struct Bitmap {
    _tagITzBITMAP bitmap = {};
    Bitmap(int32_t width, int32_t height, int32_t mode = PTzCOLORMODE_ARGB)
    {
        const _tagPTzSIZE size = {width, height};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
    }
    ~Bitmap() { ITzReleaseITzBitmap(&bitmap); }
    uint8_t* at(int32_t x, int32_t y) { return bitmap.pixels + y * bitmap.stride + x * (bitmap.bits / 8); }
    uint32_t pixel(int32_t x, int32_t y)
    {
        uint32_t value;
        std::memcpy(&value, at(x, y), 4);
        return value;
    }
};

uint32_t Pack(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return uint32_t(a) | uint32_t(r) << 8 | uint32_t(g) << 16 | uint32_t(b) << 24;
}

// Every channel handle the layer holds must hold differing bytes.
void ExpectUniformChannelsHoldNoBlock(ITzLayerImageARGB& layer)
{
    for (uint32_t index = 0; index < layer.GetBlockCount(); ++index) {
        _tagITzBLOCKINFOARGB record;
        if (layer.GetBlockInfo(index, &record, 0) != 0)
            continue;
        for (int c = 0; c < 4; ++c) {
            uint8_t value = 0;
            if (record.channels[c]) {
                EXPECT_EQ(ITzChannelUniform(record.channels[c], &value), 0) << "block " << index << " channel " << c;
            }
        }
    }
}

// The reference: the layer's bounds in the picture and its pixels, row by row.
struct Reference {
    PTzRECT bounds = {0, 0, 0, 0};
    std::vector<uint32_t> pixels;

    int32_t width() const { return bounds.right - bounds.left; }
    int32_t height() const { return bounds.bottom - bounds.top; }
    uint32_t& at(int32_t x, int32_t y) { return pixels[size_t(y - bounds.top) * width() + (x - bounds.left)]; }
    bool inside(int32_t x, int32_t y) const
    {
        return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
    }

    // New bounds keep the pixels they share with the old ones; new pixels are 0.
    void Reshape(const PTzRECT& next)
    {
        Reference old = *this;
        bounds = next;
        pixels.assign(size_t(std::max(width(), 0)) * size_t(std::max(height(), 0)), 0);
        const int32_t left = std::max(bounds.left, old.bounds.left), right = std::min(bounds.right, old.bounds.right);
        const int32_t top = std::max(bounds.top, old.bounds.top), bottom = std::min(bounds.bottom, old.bounds.bottom);
        for (int32_t y = top; left < right && y < bottom; ++y)
            std::memcpy(&at(left, y), &old.at(left, y), size_t(right - left) * 4);
    }
    void Union(const PTzRECT& rect)
    {
        if (width() <= 0 || height() <= 0)
            return Reshape(rect);
        Reshape({std::min(bounds.left, rect.left), std::min(bounds.top, rect.top), std::max(bounds.right, rect.right),
                 std::max(bounds.bottom, rect.bottom)});
    }
    void Cut(const PTzRECT& rect)
    {
        const PTzRECT cut = {std::max(bounds.left, rect.left), std::max(bounds.top, rect.top),
                             std::min(bounds.right, rect.right), std::min(bounds.bottom, rect.bottom)};
        if (cut.left >= cut.right || cut.top >= cut.bottom)
            Reshape({bounds.left, bounds.top, bounds.left, bounds.top});
        else
            Reshape(cut);
    }
};

void ExpectLayerMatches(ITzLayerImageARGB& layer, Reference& reference, int step)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    ASSERT_TRUE(PTzRectEqual(&bounds, &reference.bounds)) << "step " << step;
    if (reference.width() <= 0 || reference.height() <= 0)
        return;
    Bitmap read(reference.width(), reference.height());
    const PTzRECT local = {0, 0, reference.width(), reference.height()};
    ASSERT_EQ(layer.GetRectData(&local, &read.bitmap), 0);
    for (int32_t y = 0; y < reference.height(); ++y) {
        const uint32_t* expected = &reference.pixels[size_t(y) * reference.width()];
        if (std::memcmp(read.at(0, y), expected, size_t(reference.width()) * 4) == 0)
            continue;
        for (int32_t x = 0; x < reference.width(); ++x)
            if (read.pixel(x, y) != expected[x])
                FAIL() << "step " << step << " pixel " << x + bounds.left << "," << y + bounds.top;
    }
}

PTzRECT RandomRect(std::mt19937& random, int32_t low, int32_t high, int32_t maxSide)
{
    std::uniform_int_distribution<int32_t> corner(low, high), side(1, maxSide);
    const int32_t left = corner(random), top = corner(random);
    return {left, top, left + side(random), top + side(random)};
}

// Random rectangle writes, fills, grows, cuts, resizes and moves, at places that
// straddle multiples of 256 on both sides of 0; after each step every pixel of the
// layer must equal the reference and no uniform channel may keep a block.
TEST(LayerImageARGBModel, RandomEditsMatchAFlatReference)
{
    std::mt19937 random(20240605);
    Layer layer = MakeLayer();
    Reference reference;
    std::uniform_int_distribution<int> pick(0, 9), byte(0, 255);
    for (int step = 0; step < 240; ++step) {
        const int op = pick(random);
        if (op <= 2) {
            // A bitmap at a layer rectangle: uniform, one noisy channel, or all noise.
            const PTzRECT rect = RandomRect(random, -300, 900, 400);
            const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
            Bitmap source(w, h);
            const int kind = byte(random) % 3;
            const uint32_t flat = Pack(uint8_t(byte(random)), uint8_t(byte(random)), uint8_t(byte(random)), 255);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    uint32_t value = flat;
                    if (kind == 1)
                        value = (flat & ~0xFF00u) | uint32_t(uint8_t(x * 7 + y)) << 8;
                    else if (kind == 2)
                        value = uint32_t(random());
                    std::memcpy(source.at(x, y), &value, 4);
                }
            const int result = layer->SetRectData(&rect, &source.bitmap);
            bool any = false;
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const int32_t px = rect.left + x + reference.bounds.left, py = rect.top + y + reference.bounds.top;
                    if (reference.inside(px, py)) {
                        reference.at(px, py) = source.pixel(x, y);
                        any = true;
                    }
                }
            EXPECT_EQ(result, any ? 0 : ITzERR_INVALID) << "step " << step;
        } else if (op <= 4) {
            const PTzRECT rect = RandomRect(random, -300, 500, 500);
            const bool none = byte(random) < 32;
            const _tagPTzCOLOR colour = Colour(uint8_t(byte(random)), uint8_t(byte(random)), 9, uint8_t(byte(random)));
            ASSERT_EQ(layer->FillRect(&rect, none ? nullptr : &colour), 0) << "step " << step;
            const PTzRECT picture = {rect.left + reference.bounds.left, rect.top + reference.bounds.top,
                                     rect.right + reference.bounds.left, rect.bottom + reference.bounds.top};
            reference.Union(picture);
            const uint32_t value =
                none ? 0xFFFFFFFFu : Pack(colour.alpha, colour.components[0], 9, colour.components[2]);
            for (int32_t y = picture.top; y < picture.bottom; ++y)
                for (int32_t x = picture.left; x < picture.right; ++x)
                    reference.at(x, y) = value;
        } else if (op == 5) {
            const PTzRECT rect = RandomRect(random, -500, 400, 300);
            ASSERT_EQ(layer->ExtendSize(&rect, nullptr, 1), 0);
            reference.Union(rect);
        } else if (op == 6) {
            const PTzRECT rect = RandomRect(random, -600, 300, 900);
            ASSERT_EQ(layer->CutSize(&rect), 0);
            reference.Cut(rect);
        } else if (op == 7) {
            const PTzRECT rect = RandomRect(random, -500, 300, 700);
            ASSERT_EQ(layer->SetSize(&rect, 1), 0);
            reference.Reshape(rect);
        } else {
            // Moves that keep the layer within about 1000 x 1000 around the origin.
            _tagPTzOFFSET offset = {std::uniform_int_distribution<int32_t>(-500, 500)(random) - reference.bounds.left,
                                    std::uniform_int_distribution<int32_t>(-500, 500)(random) - reference.bounds.top};
            if (offset.x == 0 && offset.y == 0)
                offset.x = 1;
            layer->Move(&offset);
            reference.bounds = {reference.bounds.left + offset.x, reference.bounds.top + offset.y,
                                reference.bounds.right + offset.x, reference.bounds.bottom + offset.y};
        }
        ExpectLayerMatches(*layer, reference, step);
        ExpectUniformChannelsHoldNoBlock(*layer);
        if (HasFatalFailure() || HasFailure())
            return;
    }
}

TEST(LayerImageARGB, GrowingLeftKeepsBlockBordersOnMultiplesOf256)
{
    Layer layer = MakeLayer();
    const PTzRECT first = {-10, 5, 290, 105};
    ASSERT_EQ(layer->ExtendSize(&first, nullptr, 1), 0);
    _tagPTzOFFSET offset;
    layer->DWKGetBlockOffset(&offset);
    EXPECT_EQ(offset.x, 246);
    EXPECT_EQ(offset.y, 5);
    EXPECT_EQ(layer->GetBlockCount(), 3u);
    PTzRECT grid;
    layer->GetBlockBounds(&grid);
    EXPECT_EQ(grid.left, -256);
    EXPECT_EQ(grid.right, 512);
    const PTzRECT wider = {-300, 5, 290, 105};
    ASSERT_EQ(layer->ExtendSize(&wider, nullptr, 1), 0);
    layer->DWKGetBlockOffset(&offset);
    EXPECT_EQ(offset.x, 212);
    EXPECT_EQ(layer->GetBlockCount(), 4u);
    layer->GetBlockBounds(&grid);
    EXPECT_EQ(grid.left, -512);
}

TEST(LayerImageARGB, AnEllipseIsRefusedBeforeTheLayerGrows)
{
    Layer layer = MakeLayer();
    const PTzRECT bounds = {0, 0, 50, 50};
    const _tagPTzCOLOR red = Colour(255, 255, 0, 0);
    ASSERT_EQ(layer->FillRect(&bounds, &red), 0);
    const PTzRECT ellipse = {10, 10, 80, 60};
    EXPECT_EQ(layer->FillArc(&ellipse, &red, 0), ITzERR_INVALID);
    PTzRECT after;
    layer->GetBounds(&after);
    EXPECT_TRUE(PTzRectEqual(&after, &bounds));
    EXPECT_EQ(layer->GetBlockCount(), 1u);
}

TEST(LayerImageARGB, WholeBlockFillAndSetBlockColorKeepNoHandles)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 600, 300};
    const _tagPTzCOLOR red = Colour(255, 200, 0, 0);
    ASSERT_EQ(layer->FillRect(&rect, &red), 0);
    ExpectUniformChannelsHoldNoBlock(*layer);
    _tagITzBLOCKINFOARGB record;
    for (uint32_t index = 0; index < layer->GetBlockCount(); ++index) {
        ASSERT_EQ(layer->GetBlockInfo(index, &record, 0), 0);
        for (PTzHANDLE channel : record.channels)
            EXPECT_EQ(channel, nullptr);  // every block covers the layer's part of it
    }
    const _tagPTzCOLOR blue = Colour(128, 0, 0, 250);
    EXPECT_EQ(layer->SetBlockColor(1, &blue), 1);
    ASSERT_EQ(layer->GetBlockInfo(1, &record, 0), 0);
    EXPECT_EQ(record.constants[3], 250);
    PTzRECT block;
    layer->GetBlockBlockRect(1u, &block);
    layer->BRECTtoLRECT(&block, &block);
    _tagITzARGBMEMDATA same = {};
    ASSERT_EQ(layer->CheckRectSame(&block, &same), 1);
    EXPECT_EQ(same.uniform, 0x0F);
    EXPECT_EQ(same.constants[0], 128);
    EXPECT_EQ(same.constants[3], 250);
}

// A write over a whole block makes a channel it fills with one byte uniform, its handle
// freed, and writes the others in full (they are not filled first), interleaved and
// planar alike.
TEST(LayerImageARGB, WholeBlockWritesFoldTheChannelsTheyFillWithOneByte)
{
    for (const bool planar : {false, true}) {
        Layer layer = MakeLayer();
        const PTzRECT rect = {0, 0, 256, 256};
        ASSERT_EQ(layer->SetSize(&rect, 1), 0);
        std::mt19937 random(planar ? 2 : 1);
        Bitmap noise(256, 256);
        for (int32_t y = 0; y < 256; ++y)
            for (int32_t x = 0; x < 256; ++x) {
                const uint32_t value = uint32_t(random());
                std::memcpy(noise.at(x, y), &value, 4);
            }
        ASSERT_EQ(layer->SetRectData(&rect, &noise.bitmap), 0);
        // Alpha and blue one byte each, red and green varied.
        Bitmap written(256, 256);
        std::vector<uint8_t> planes(4 * 65536);
        for (int32_t y = 0; y < 256; ++y)
            for (int32_t x = 0; x < 256; ++x) {
                const uint8_t pixel[4] = {200, uint8_t(random()), uint8_t(x ^ y), 7};
                std::memcpy(written.at(x, y), pixel, 4);
                for (int c = 0; c < 4; ++c)
                    planes[size_t(c) * 65536 + size_t(y) * 256 + size_t(x)] = pixel[c];
            }
        _tagITzCHANNELBITMAP channels = {256, 256, 256, PTzCOLORMODE_ARGB,
                                         {&planes[0], &planes[65536], &planes[131072], &planes[196608]}};
        if (planar)
            ASSERT_EQ(layer->SetRectChannelData(&channels, &rect), 1);
        else
            ASSERT_EQ(layer->SetRectData(&rect, &written.bitmap), 0);
        _tagITzBLOCKINFOARGB record;
        ASSERT_EQ(layer->GetBlockInfo(0, &record, 0), 0);
        EXPECT_EQ(record.channels[0], nullptr);
        EXPECT_EQ(record.constants[0], 200);
        EXPECT_NE(record.channels[1], nullptr);
        EXPECT_NE(record.channels[2], nullptr);
        EXPECT_EQ(record.channels[3], nullptr);
        EXPECT_EQ(record.constants[3], 7);
        Bitmap read(256, 256);
        ASSERT_EQ(layer->GetRectData(&rect, &read.bitmap), 0);
        for (int32_t y = 0; y < 256; ++y)
            ASSERT_EQ(std::memcmp(read.at(0, y), written.at(0, y), 1024), 0) << (planar ? "planar" : "interleaved")
                                                                             << " row " << y;
    }
}

TEST(LayerImageARGB, CheckRectSameCountsAMissingBlockAsTransparentBlack)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 512, 256};
    const _tagPTzCOLOR white = Colour(255, 255, 255, 255);
    ASSERT_EQ(layer->FillRect(&rect, &white), 0);
    ASSERT_EQ(layer->BlockDataInvalid(1), 1);  // block 1 missing, its data kept
    _tagITzARGBMEMDATA same = {};
    ASSERT_EQ(layer->CheckRectSame(&rect, &same), 1);
    EXPECT_EQ(same.uniform, 0);
    EXPECT_EQ(layer->AlphaDataFull(&rect), 0);
    const PTzRECT left = {0, 0, 256, 256};
    EXPECT_EQ(layer->AlphaDataFull(&left), 1);
    const PTzRECT outside = {0, 0, 513, 256};
    EXPECT_EQ(layer->CheckRectSame(&outside, &same), 0);

    // The planar read shows the missing block as 0 next to the white one.
    std::vector<uint8_t> planes(4 * 512);
    _tagITzARGBMEMDATA data = {{&planes[0], &planes[512], &planes[1024], &planes[1536]}, {}, 0, 512, 1};
    ASSERT_EQ(layer->GetRectData_1(&rect, &data, 0), 1);
    EXPECT_EQ(planes[255], 255);
    EXPECT_EQ(planes[256], 0);
    EXPECT_EQ(planes[1536 + 300], 0);
    data.planes[2] = nullptr;
    EXPECT_EQ(layer->GetRectData_1(&rect, &data, 0), 0);
    EXPECT_EQ(PTzGetLastError(), ITzERR_INVALID);
}

TEST(LayerImageARGB, BlockReadsAndWritesClipAndConvertPixelFormats)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 256, 256};
    const _tagPTzCOLOR grey = Colour(77, 10, 20, 30);
    ASSERT_EQ(layer->FillRect(&rect, &grey), 0);

    // 24-bit blue, green, red: byte 2 is red, byte 0 blue; alpha stays.
    Bitmap bgr(2, 1, PTzCOLORMODE_BGR);
    const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    std::memcpy(bgr.bitmap.pixels, bytes, 6);
    const PTzRECT two = {100, 50, 102, 51};
    ASSERT_EQ(layer->SetBlockData(0, &two, &bgr.bitmap), 0);
    _tagPTzCOLOR colour;
    const PTzPOINT point = {101, 50};
    ASSERT_EQ(layer->GetBlockPointColor(0, &point, &colour), 1);
    EXPECT_EQ(colour.alpha, 77);
    EXPECT_EQ(colour.components[0], 6);
    EXPECT_EQ(colour.components[2], 4);
    _tagITzBLOCKINFOARGB record;
    ASSERT_EQ(layer->GetBlockInfo(0, &record, 0), 0);
    EXPECT_EQ(record.channels[0], nullptr);  // alpha untouched, never expanded
    EXPECT_NE(record.channels[1], nullptr);

    // Reads clip to the block and to the bitmap placed at the rectangle's corner.
    Bitmap out(4, 4);
    std::memset(out.bitmap.pixels, 0xEE, size_t(out.bitmap.stride) * 4);
    const PTzRECT corner = {-2, -2, 2, 2};
    ASSERT_EQ(layer->GetBlockData(0, &corner, &out.bitmap), 0);
    EXPECT_EQ(out.pixel(0, 0), 0xEEEEEEEEu);
    EXPECT_EQ(out.pixel(2, 2), Pack(77, 10, 20, 30));

    // A missing block reads nothing and takes no write.
    layer->BlockDataInvalid(0);
    std::memset(out.bitmap.pixels, 0xEE, size_t(out.bitmap.stride) * 4);
    EXPECT_EQ(layer->GetBlockData(0, &rect, &out.bitmap), 0);
    EXPECT_EQ(out.pixel(3, 3), 0xEEEEEEEEu);
    EXPECT_EQ(layer->SetBlockData(0, &rect, &out.bitmap), 0);
    EXPECT_EQ(layer->GetBlockData(0, &rect, nullptr), ITzERR_INVALID);
}

TEST(LayerImageARGB, PublicBlockInfoTakesHandlesOverAndFreesOnlyReplacedOnes)
{
    Layer layer = MakeLayer();
    ASSERT_EQ(layer->InsertBlock(0, 1), 0);
    _tagITzBLOCKDATAINFO info;
    ASSERT_EQ(layer->GetBlockInfo(0u, &info, 0), 0);
    EXPECT_EQ(info.lastChannel, 3u);
    // Get, modify one channel, set: the untouched handles stay alive.
    info.channels[0].data = ITzChannelExpand(1);
    info.channels[1].data = ITzChannelExpand(2);
    ASSERT_EQ(layer->SetBlockInfo(0u, &info), 0);
    ASSERT_EQ(layer->GetBlockInfo(0u, &info, 0), 0);
    PTzHANDLE kept = info.channels[1].data;
    info.channels[0].data = ITzChannelExpand(3);  // replaces (and frees) the first
    ASSERT_EQ(layer->SetBlockInfo(0u, &info), 0);
    uint8_t value = 0;
    EXPECT_EQ(ITzChannelUniform(kept, &value), 1);
    EXPECT_EQ(value, 2);
    // Another kind stores a missing block and the layer drops every handle.
    info.lastChannel = 0;
    ASSERT_EQ(layer->SetBlockInfo(0u, &info), 0);
    EXPECT_EQ(layer->GetBlockInfo(0u, &info, 0), ITzERR_BLOCK_ABSENT);
    // An index outside the list changes nothing and leaves the handles the caller's.
    _tagITzBLOCKDATAINFO outside = {3, {{ITzChannelExpand(4), 0}}};
    EXPECT_NE(layer->SetBlockInfo(5u, &outside), 0);
    PTzHandleFree(outside.channels[0].data);
}

TEST(LayerImageARGB, NativeReaderRecordsOutsideTheGridAreRefusedAndFreed)
{
    Layer layer = MakeLayer();
    layer->DWKSetBlockCountX(2);
    layer->DWKSetBlockCountY(1);
    _tagITzBLOCKDATAINFO inside = {3, {{ITzChannelExpand(9), 0}, {nullptr, 1}, {nullptr, 2}, {nullptr, 3}}};
    EXPECT_EQ(layer->DWKSetBlockInfo(1, &inside), 0);
    EXPECT_EQ(layer->GetBlockCount(), 2u);
    _tagITzBLOCKDATAINFO outside = {3, {{ITzChannelExpand(9), 0}}};
    EXPECT_EQ(layer->DWKSetBlockInfo(2, &outside), ITzERR_INVALID);  // freed by the layer
}

TEST(LayerImageARGB, RemovingAnInvalidatedBlockFreesTheHandlesItKept)
{
    Layer layer = MakeLayer();
    ASSERT_EQ(layer->InsertBlock(0, 1), 0);
    _tagITzBLOCKINFOARGB record = {ITzBLOCK_PRESENT, {ITzChannelExpand(5)}, {}};
    ASSERT_EQ(layer->SetBlockInfo(0, &record), 0);
    ASSERT_EQ(layer->BlockDataInvalid(0), 1);
    EXPECT_EQ(layer->BlockDataAvailable(0), 0);
    EXPECT_EQ(layer->RemoveBlock(0), 0);  // the leak checker sees a handle left behind
    EXPECT_EQ(layer->GetBlockCount(), 0u);
}

TEST(LayerImageARGB, CopyLayerIsDeepAndFailsWholeWhenABlockCannotBeCopied)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 300, 10};
    Bitmap noise(300, 10);
    for (int32_t i = 0; i < 300 * 10; ++i)
        noise.bitmap.pixels[4 * i + 1] = uint8_t(i);
    ASSERT_EQ(layer->FillRect(&rect, nullptr), 0);
    ASSERT_EQ(layer->SetRectData(&rect, &noise.bitmap), 0);

    Layer copy(static_cast<ITzLayerImageARGB*>(layer->CopyLayer()));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetBlockCount(), layer->GetBlockCount());
    _tagITzBLOCKINFOARGB a, b;
    ASSERT_EQ(layer->GetBlockInfo(0, &a, 0), 0);
    ASSERT_EQ(copy->GetBlockInfo(0, &b, 0), 0);
    EXPECT_NE(a.channels[1], b.channels[1]);
    Bitmap read(300, 10);
    ASSERT_EQ(copy->GetRectData(&rect, &read.bitmap), 0);
    EXPECT_EQ(std::memcmp(read.bitmap.pixels, noise.bitmap.pixels, 300 * 4 * 10), 0);

    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);  // no channel can be copied
    EXPECT_EQ(layer->CopyLayer(), nullptr);
    PTzTestSetAllocationCeiling(0);
}

TEST(LayerImageARGB, RebuildWithoutSizeLeavesTheLayerIntact)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 10, 10};
    ASSERT_EQ(layer->FillRect(&rect, nullptr), 0);
    EXPECT_EQ(layer->RebuildWithDib(nullptr), ITzERR_INVALID);
    EXPECT_EQ(layer->GetBlockCount(), 1u);
    EXPECT_EQ(layer->AlphaDataFull(&rect), 1);
}

TEST(LayerImageARGB, LoadNeedConvertColorKeepsOnlyWhatTheLayerStores)
{
    ITzLayerImageARGB layer;
    _tagPTzCOLORMODE mode = PTzCOLORMODE_ACMYK;
    uint16_t depth = 40;
    EXPECT_EQ(layer.LoadNeedConvertColor(&mode, &depth), 1);
    EXPECT_EQ(mode, PTzCOLORMODE_ARGB);
    EXPECT_EQ(depth, 32);
    EXPECT_EQ(layer.LoadNeedConvertColor(&mode, &depth), 0);
    mode = PTzCOLORMODE_BGR;
    depth = 8;
    EXPECT_EQ(layer.LoadNeedConvertColor(&mode, &depth), 1);
    EXPECT_EQ(depth, 24);
    mode = PTzCOLORMODE_GRAY;
    EXPECT_EQ(layer.LoadNeedConvertColor(&mode, &depth), 1);
    EXPECT_EQ(mode, PTzCOLORMODE_RGB);
    EXPECT_EQ(layer.LoadNeedConvertColor(nullptr, &depth), 0);
}

TEST(LayerImageARGB, ColorFillSelectionMarksMatchesAndKeepsWhatWasSelected)
{
    Layer layer = MakeLayer();
    const PTzRECT rect = {0, 0, 4, 1};
    Bitmap pixels(4, 1);
    const uint32_t values[4] = {Pack(255, 100, 100, 100), Pack(255, 110, 100, 90), Pack(0, 100, 100, 100),
                                Pack(255, 120, 100, 100)};
    std::memcpy(pixels.bitmap.pixels, values, sizeof values);
    ASSERT_EQ(layer->FillRect(&rect, nullptr), 0);
    ASSERT_EQ(layer->SetRectData(&rect, &pixels.bitmap), 0);
    Bitmap mask(4, 1, PTzCOLORMODE_GRAY);
    mask.bitmap.pixels[3] = 7;
    const _tagPTzCOLOR picked = Colour(255, 100, 100, 100);
    ASSERT_EQ(layer->ColorFillSelection(&mask.bitmap, &rect, &picked, 10), 0);
    EXPECT_EQ(mask.bitmap.pixels[0], 255);
    EXPECT_EQ(mask.bitmap.pixels[1], 255);
    EXPECT_EQ(mask.bitmap.pixels[2], 0);  // transparent: never a colour match
    EXPECT_EQ(mask.bitmap.pixels[3], 7);
    const _tagPTzCOLOR clear = Colour(0, 1, 2, 3);
    ASSERT_EQ(layer->ColorFillSelection(&mask.bitmap, &rect, &clear, 0), 0);
    EXPECT_EQ(mask.bitmap.pixels[2], 255);
}

// Draws every block it is asked for in one colour, or refuses.
class SolidGenerator : public ITzGeneratedLayerLink {
public:
    int RenderToChannelBitmap(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap) override
    {
        ++calls;
        last = *rect;
        if (refuse)
            return ITzERR_INVALID;
        for (int c = 0; c < 4; ++c)
            std::memset(bitmap->planes[c], 60 + c, size_t(bitmap->stride) * bitmap->height);
        return 0;
    }
    int calls = 0;
    bool refuse = false;
    PTzRECT last = {};
};

TEST(LayerImageARGBPreview, MissingBlocksAreDrawnOnceByTheOwner)
{
    SolidGenerator generator;
    ITzLayerImageARGBPreview layer(&generator);
    const PTzRECT rect = {-300, 0, 10, 10};
    ASSERT_EQ(layer.ExtendSize(&rect, nullptr, 0), 0);  // missing blocks
    _tagITzBLOCKINFOARGB record;
    ASSERT_EQ(layer.GetBlockInfo(0, &record, 1), 0);
    EXPECT_EQ(generator.last.left, -512);
    EXPECT_EQ(record.constants[2], 62);
    EXPECT_EQ(record.channels[2], nullptr);  // drawn uniform, stored as its byte
    ASSERT_EQ(layer.GetBlockInfo(0, &record, 1), 0);
    EXPECT_EQ(generator.calls, 1);
    generator.refuse = true;
    EXPECT_EQ(layer.GetBlockInfo(1, &record, 1), ITzERR_INVALID);
    EXPECT_EQ(layer.BlockDataAvailable(0), 1);
}

}  // namespace
