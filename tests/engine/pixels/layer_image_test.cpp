// Tests of the image layer's tile grid: grid geometry and growth, clipping of the
// rectangle walks, block ownership at the grid's edges, the preview-cache glue, the DIB
// exchange link and the coverage tests, run on the ARGB layer.
#include "engine/pixels/layer_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/broadcaster.h"
#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/layer_backup_list.h"
#include "engine/pixels/layer_dib_exchange.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_link.h"

namespace {

// An ARGB layer whose floating layer a test can attach.
class Host : public ITzLayerImageARGB {
public:
    void Attach(ITzLayerImage* floating) { m_floating = floating; }
};

PTzRECT Bounds(ITzLayerBase& layer)
{
    PTzRECT r;
    layer.GetBounds(&r);
    return r;
}

bool Same(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A 32-bit ARGB bitmap whose pixel (x, y) is {255, x, y, seed}.
struct Pixels {
    Pixels(int32_t width, int32_t height, uint8_t seed = 0)
    {
        const _tagPTzSIZE size = {width, height};
        ITzPrepareITzBitmap(&bitmap, &size, PTzCOLORMODE_ARGB);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* p = at(x, y);
                p[0] = 255, p[1] = uint8_t(x), p[2] = uint8_t(y), p[3] = seed;
            }
    }
    ~Pixels() { ITzReleaseITzBitmap(&bitmap); }
    uint8_t* at(int32_t x, int32_t y) { return bitmap.pixels + y * bitmap.stride + x * 4; }
    void clear() { std::memset(bitmap.pixels, 0, size_t(bitmap.stride) * bitmap.height); }
    _tagITzBITMAP bitmap = {};
};

// Four planes of one value over a width x height area.
struct Planes {
    Planes(int32_t width, int32_t height, uint8_t value) : bytes(size_t(4 * width * height), value)
    {
        bitmap = {width, height, width, PTzCOLORMODE_ARGB, {}};
        for (int c = 0; c < 4; ++c)
            bitmap.planes[c] = bytes.data() + c * width * height;
    }
    uint8_t at(int c, int32_t x, int32_t y) const { return bitmap.planes[c][y * bitmap.stride + x]; }
    std::vector<uint8_t> bytes;
    _tagITzCHANNELBITMAP bitmap;
};

uint32_t Pixel(ITzLayerImage& layer, int32_t x, int32_t y)
{
    Pixels one(1, 1);
    one.clear();
    const PTzRECT r = {x, y, x + 1, y + 1};
    layer.GetRectData(&r, &one.bitmap);
    uint32_t v;
    std::memcpy(&v, one.bitmap.pixels, 4);
    return v;
}

class Recorder : public PTzListener {
public:
    std::vector<uint32_t> codes;
    std::vector<PTzRECT> rects;

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster*) override
    {
        codes.push_back(message);
        if (message == ITzLAYERMSG_DATA)
            rects.push_back(static_cast<_tagITzLAYERCHANGEDRECT*>(param)->rect);
        return 1;
    }
};

TEST(LayerImageGrid, NewGridPutsBlockBordersOnPictureMultiplesOf256)
{
    ITzLayerImageARGB layer;
    const PTzRECT first = {-10, 5, 290, 105};
    PTzRECT joined;
    ASSERT_EQ(layer.ExtendSize(&first, &joined, 1), 0);
    EXPECT_TRUE(Same(joined, first));
    EXPECT_TRUE(Same(Bounds(layer), first));
    _tagPTzOFFSET offset;
    layer.DWKGetBlockOffset(&offset);
    EXPECT_EQ(offset.x, 246);
    EXPECT_EQ(offset.y, 5);
    EXPECT_EQ(layer.DWKGetBlockCountX(), 3);
    EXPECT_EQ(layer.DWKGetBlockCountY(), 1);
    EXPECT_EQ(layer.GetBlockCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        PTzRECT block;
        ASSERT_EQ(layer.GetBlockPictRect(i, &block), 0);
        EXPECT_EQ(block.left, -256 + 256 * int32_t(i));
    }

    const PTzRECT further = {-300, 5, 290, 105};
    ASSERT_EQ(layer.ExtendSize(&further, nullptr, 1), 0);
    layer.DWKGetBlockOffset(&offset);
    EXPECT_EQ(offset.x, 212);
    EXPECT_EQ(layer.DWKGetBlockCountX(), 4);
    PTzRECT grid;
    layer.GetBlockBounds(&grid);
    EXPECT_EQ(grid.left, -512);
    EXPECT_EQ(grid.right, 512);
}

TEST(LayerImageGrid, ExtendingInsideTheBoundsChangesNothing)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 300, 300};
    layer.ExtendSize(&r, nullptr, 1);
    const PTzRECT inner = {10, 10, 20, 20};
    EXPECT_EQ(layer.ExtendSize(&inner, nullptr, 1), 0);
    EXPECT_TRUE(Same(Bounds(layer), r));
    EXPECT_EQ(layer.GetBlockCount(), 4u);
    EXPECT_EQ(layer.ExtendSize(nullptr, nullptr, 1), ITzERR_INVALID);
}

TEST(LayerImageGrid, CutToOutsideEmptiesTheGridAndCutKeepsOffsetBelow256)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {-300, -300, 700, 700};
    layer.ExtendSize(&r, nullptr, 1);
    const PTzRECT cut = {100, 200, 400, 300};
    ASSERT_EQ(layer.CutSize(&cut), 0);
    EXPECT_TRUE(Same(Bounds(layer), cut));
    _tagPTzOFFSET offset;
    layer.DWKGetBlockOffset(&offset);
    EXPECT_LT(offset.x, 256);
    EXPECT_LT(offset.y, 256);
    // Picture 100-400 touches the blocks from 0 to 512; rows 200-300 the ones from 0 to 512.
    EXPECT_EQ(layer.DWKGetBlockCountX(), 2);
    EXPECT_EQ(layer.DWKGetBlockCountY(), 2);
    EXPECT_EQ(layer.GetBlockCount(), 4u);

    const PTzRECT away = {5000, 5000, 5100, 5100};
    ASSERT_EQ(layer.CutSize(&away), 0);
    EXPECT_EQ(layer.DWKGetBlockCountX(), 0);
    EXPECT_EQ(layer.DWKGetBlockCountY(), 0);
    EXPECT_EQ(layer.GetBlockCount(), 0u);
}

TEST(LayerImageGrid, PixelsCutAwayDoNotComeBackWhenTheBoundsGrowAgain)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 200, 200};
    const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {200, 0, 0}};
    ASSERT_EQ(layer.FillRect(&r, &red), 0);
    const PTzRECT small = {0, 0, 100, 100};
    layer.SetSize(&small, 1);
    layer.SetSize(&r, 1);
    EXPECT_EQ(Pixel(layer, 50, 50), 0x0000C8FFu);
    EXPECT_EQ(Pixel(layer, 150, 50), 0u);
    EXPECT_EQ(Pixel(layer, 50, 150), 0u);
}

// Lets the block list run out of memory after every possible number of allocations
// while the layer grows from `from` to `to`: each failure leaves the layer as it was.
void CheckGrowFailures(const PTzRECT& from, const PTzRECT& to)
{
    const _tagPTzCOLOR green = {PTzCOLORMODE_ARGB, 255, {0, 70, 0}};
    int failures = 0;
    for (int64_t allowed = 0;; ++allowed) {
        ITzLayerImageARGB layer;
        layer.FillRect(&from, &green);
        const uint16_t countX = layer.DWKGetBlockCountX();
        const uint32_t blocks = layer.GetBlockCount();
        PTzTestSetAllocationCountdown(allowed);
        const int result = layer.ExtendSize(&to, nullptr, 1);
        PTzTestSetAllocationCountdown(-1);
        if (result == 0) {
            EXPECT_TRUE(Same(Bounds(layer), to));
            break;
        }
        ++failures;
        ASSERT_TRUE(Same(Bounds(layer), from));
        ASSERT_EQ(layer.DWKGetBlockCountX(), countX);
        ASSERT_EQ(layer.GetBlockCount(), blocks);
        _tagPTzOFFSET offset;
        layer.DWKGetBlockOffset(&offset);
        ASSERT_EQ(offset.x, 0);
        ASSERT_EQ(Pixel(layer, from.right - 1, from.bottom - 1), 0x004600FFu);
    }
    EXPECT_GT(failures, 1);
}

TEST(LayerImageGrid, FailedGrowLeavesTheLayerAsItWas)
{
    CheckGrowFailures({0, 0, 300, 300}, {-3000, -3000, 3000, 3000});
    // Columns inserted into 300 rows fill several pages of the block list.
    CheckGrowFailures({0, 0, 300, 300 * 256}, {-513, 0, 300, 300 * 256});
}

TEST(LayerImageGrid, GrowInitialisesExactlyTheAddedBlocks)
{
    ITzLayerImageARGB layer;
    std::vector<uint32_t> seen;
    _tagITzIMAGELAYERBLOCKINITCBSTR init = {
        [](ITzLayerImage*, uint8_t level, uint32_t index, void* user) {
            EXPECT_EQ(level, 0);
            static_cast<std::vector<uint32_t>*>(user)->push_back(index);
            return 1;
        },
        &seen};
    const PTzRECT r = {0, 0, 256, 256};
    ASSERT_EQ(layer.GrowSize(&r, &init), 0);
    EXPECT_EQ(seen, std::vector<uint32_t>{0});
    seen.clear();
    const PTzRECT wider = {-1, 0, 257, 257};  // one column each side, one row below
    ASSERT_EQ(layer.GrowSize(&wider, &init), 0);
    ASSERT_EQ(layer.DWKGetBlockCountX(), 3);
    ASSERT_EQ(layer.DWKGetBlockCountY(), 2);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<uint32_t>{0, 2, 3, 4, 5}));  // all but the old block, now 1
}

TEST(LayerImageGeometry, PositionsOutsideTheGridAreRefused)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 300, 10};
    layer.ExtendSize(&r, nullptr, 1);
    const _tagITzBLOCKPOSITION outside = {2, 0};
    EXPECT_EQ(layer.BlockPosToIndex(&outside), ITzBLOCK_INDEX_NONE);
    EXPECT_EQ(layer.BlockPosToIndex(nullptr), ITzBLOCK_INDEX_NONE);
    const _tagITzBLOCKPOSITION inside = {1, 0};
    EXPECT_EQ(layer.BlockPosToIndex(&inside), 1u);

    _tagITzBLOCKPOSITION position;
    PTzPOINT inBlock;
    const PTzPOINT far = {600, 0};
    EXPECT_EQ(layer.GetPointBlockPostion(&far, &position, &inBlock), 0);
    const PTzPOINT near = {-1, 0};
    EXPECT_EQ(layer.GetPointBlockPostion(&near, &position, &inBlock), 0);
    const PTzPOINT hit = {257, 3};
    ASSERT_EQ(layer.GetPointBlockPostion(&hit, &position, &inBlock), 1);
    EXPECT_EQ(position.column, 1);
    EXPECT_EQ(inBlock.x, 1);
    EXPECT_EQ(inBlock.y, 3);

    // Writing through an outside position never lands in block 0.
    Planes nines(4, 4, 9);
    const PTzRECT part = {0, 0, 4, 4};
    EXPECT_EQ(layer.SetChannelBlockData(&outside, &part, &nines.bitmap), 0);
    EXPECT_EQ(Pixel(layer, 0, 0), 0u);
    PTzRECT rect;
    EXPECT_EQ(layer.GetBlockPictRect(&outside, &rect), ITzERR_INVALID);
    EXPECT_EQ(layer.IndexToBlockPos(2, &position), ITzERR_INVALID);
}

TEST(LayerImageRect, WritesAndReadsAreClippedOnEverySide)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 300, 260};
    layer.ExtendSize(&r, nullptr, 1);
    // A bitmap larger than the layer, hanging over every edge.
    Pixels source(400, 300, 7);
    const PTzRECT over = {-50, -20, 350, 280};
    ASSERT_EQ(layer.SetRectData(&over, &source.bitmap), 0);
    EXPECT_EQ(layer.GetBlockCount(), 4u);
    // Layer pixel (x, y) came from bitmap pixel (x + 50, y + 20).
    EXPECT_EQ(Pixel(layer, 0, 0), 0x071432FFu);
    EXPECT_EQ(Pixel(layer, 299, 259), uint32_t(0x07000000 | ((259 + 20) & 255) << 16 | ((299 + 50) & 255) << 8 | 255));

    Pixels back(400, 300);
    back.clear();
    ASSERT_EQ(layer.GetRectData(&over, &back.bitmap), 0);
    EXPECT_EQ(back.at(0, 0)[0], 0);  // outside the layer: left as it was
    EXPECT_EQ(back.at(399, 299)[0], 0);
    EXPECT_EQ(std::memcmp(back.at(50, 20), source.at(50, 20), 300 * 4), 0);

    // The bitmap bounds the walk too: a small bitmap under a large rectangle.
    Pixels tiny(2, 2);
    tiny.clear();
    EXPECT_EQ(layer.GetRectData(&over, &tiny.bitmap), ITzERR_INVALID);  // its 2 x 2 lie outside
    const PTzRECT all = {0, 0, 300, 260};
    ASSERT_EQ(layer.GetRectData(&all, &tiny.bitmap), 0);
    EXPECT_EQ(std::memcmp(tiny.at(1, 1), source.at(51, 21), 4), 0);
    const PTzRECT nowhere = {400, 400, 500, 500};
    EXPECT_EQ(layer.SetRectData(&nowhere, &source.bitmap), ITzERR_INVALID);
}

TEST(LayerImageRect, ChannelWritesAreClippedToTheLayerAndTheBitmap)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 10, 10};
    layer.ExtendSize(&r, nullptr, 1);
    Planes planes(20, 20, 200);
    _tagITzCHANNELBITMAP& channels = planes.bitmap;
    const PTzRECT over = {-5, -5, 300, 300};
    EXPECT_EQ(layer.SetRectChannelData(&channels, &over), 1);
    EXPECT_EQ(Pixel(layer, 0, 0), 0xC8C8C8C8u);
    EXPECT_EQ(Pixel(layer, 9, 9), 0xC8C8C8C8u);
    const PTzRECT empty = {3, 3, 3, 8};
    EXPECT_EQ(layer.SetRectChannelData(&channels, &empty), 1);
    EXPECT_EQ(layer.GetRectChannelData(&channels, &empty), 1);

    std::fill(planes.bytes.begin(), planes.bytes.end(), 1);
    EXPECT_EQ(layer.GetRectChannelData(&channels, &over), 1);
    EXPECT_EQ(planes.at(0, 0, 0), 1);      // (-5, -5) lies outside the layer
    EXPECT_EQ(planes.at(0, 5, 5), 200);    // layer (0, 0)
    EXPECT_EQ(planes.at(0, 15, 15), 1);    // layer (10, 10) is outside again
}

TEST(LayerImageRect, FillRectGrowsTheLayerAndKeepsUniformBlocksFree)
{
    ITzLayerImageARGB layer;
    const _tagPTzCOLOR blue = {PTzCOLORMODE_ARGB, 255, {0, 0, 90}};
    const PTzRECT r = {-256, 0, 512, 256};
    ASSERT_EQ(layer.FillRect(&r, &blue), 0);
    EXPECT_TRUE(Same(Bounds(layer), r));
    for (uint32_t i = 0; i < layer.GetBlockCount(); ++i) {
        _tagITzBLOCKDATAINFO info;
        ASSERT_EQ(layer.GetBlockInfo(i, &info, 0), 0);
        for (const _tagITzCHANNELDATA& channel : info.channels)
            EXPECT_EQ(channel.data, nullptr);
    }
    _tagPTzCOLOR colour;
    const PTzPOINT point = {-100, 10};
    layer.GetPixelColor(&point, &colour);
    EXPECT_EQ(colour.alpha, 255);
    EXPECT_EQ(colour.components[2], 90);
    const PTzPOINT outside = {-300, 10};
    layer.GetPixelColor(&outside, &colour);
    EXPECT_EQ(colour.alpha, 0);
}

TEST(LayerImageRect, FillRectMakesTheGridOrBlocksItNeeds)
{
    // Bounds set before the layer had a grid, and a grid of missing blocks: each fill
    // covers its rectangle and nothing else.
    const _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {200, 0, 0}};
    const PTzRECT bounds = {10, 20, 700, 300};
    const PTzRECT r = {100, 30, 400, 290};
    for (const bool withGrid : {false, true}) {
        ITzLayerImageARGB layer;
        if (withGrid)
            ASSERT_EQ(layer.SetSize(&bounds, 0), 0);
        else
            ASSERT_EQ(layer.SetBounds(&bounds), 0);
        PTzRECT local;
        layer.PRECTtoLRECT(&r, &local);
        ASSERT_EQ(layer.FillRect(&local, &red), 0) << withGrid;
        EXPECT_TRUE(Same(Bounds(layer), bounds)) << withGrid;
        for (const PTzPOINT& point : {PTzPOINT{100, 30}, PTzPOINT{399, 289}, PTzPOINT{99, 30}, PTzPOINT{600, 200}}) {
            _tagPTzCOLOR colour = {};
            layer.GetPixelColor(&point, &colour);
            const bool inside = point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
            EXPECT_EQ(colour.alpha, inside ? 255 : 0) << withGrid << " at " << point.x << "," << point.y;
            EXPECT_EQ(colour.components[0], inside ? 200 : 0) << withGrid << " at " << point.x << "," << point.y;
        }
    }
}

TEST(LayerImageRect, FloatingLayerIsMergedOverReads)
{
    Host layer;
    const PTzRECT r = {0, 0, 20, 20};
    const _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {0, 0, 0}};
    layer.FillRect(&r, &black);
    auto* floating = new ITzLayerImageARGB;
    const PTzRECT spot = {5, 5, 6, 6};
    const _tagPTzCOLOR white = {PTzCOLORMODE_ARGB, 255, {255, 255, 255}};
    floating->FillRect(&spot, &white);
    layer.Attach(floating);

    Planes planes(20, 20, 0);
    ASSERT_EQ(layer.GetRectChannelDataWithFloating(&planes.bitmap, &r), 1);
    EXPECT_EQ(planes.at(1, 5, 5), 255);  // red under the floating pixel
    EXPECT_EQ(planes.at(1, 6, 5), 0);

    // The copy between layers takes the floating layer along.
    ITzLayerImageARGB target;
    target.ExtendSize(&r, nullptr, 1);
    EXPECT_EQ(ITzCopyLayerRect(&r, &r, &layer, &target), 0);
    EXPECT_EQ(Pixel(target, 5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(target, 4, 5), 0x000000FFu);
}

TEST(LayerImageRect, ChannelMergeLandsAcrossBlockBorders)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 300, 300};
    const _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {0, 0, 0}};
    layer.FillRect(&r, &black);
    Planes white(40, 40, 255);
    _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 255};
    const PTzRECT at = {240, 240, 280, 280};
    ASSERT_EQ(layer.ChannelBimapMergIn(&white.bitmap, &at, nullptr, nullptr, &merge, 255), 1);
    EXPECT_EQ(Pixel(layer, 240, 240), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(layer, 279, 255), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(layer, 256, 279), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(layer, 239, 250), 0x000000FFu);
    EXPECT_EQ(Pixel(layer, 280, 280), 0x000000FFu);
}

TEST(LayerImagePreview, CompositingTakesTheFloatingLayerAlong)
{
    Host layer;
    const PTzRECT r = {0, 0, 300, 300};
    const _tagPTzCOLOR black = {PTzCOLORMODE_ARGB, 255, {0, 0, 0}};
    layer.FillRect(&r, &black);
    auto* floating = new ITzLayerImageARGB;
    const PTzRECT spot = {5, 5, 6, 6};
    const _tagPTzCOLOR white = {PTzCOLORMODE_ARGB, 255, {255, 255, 255}};
    floating->FillRect(&spot, &white);
    layer.Attach(floating);
    const _tagITzZOOMLEVEL one = {1, 1};
    const PTzRECT view = {0, 0, 10, 10};
    Planes merged(10, 10, 0);
    ASSERT_EQ(layer.PreviewMergeToChannelBitmap(&merged.bitmap, &view, 0, &one, &one, 0), 0);
    Planes copied(10, 10, 0);
    ASSERT_EQ(layer.PreviewCopyToChannelBitmap(&copied.bitmap, &view, 0, &one, &one), 0);
    for (const Planes* out : {&merged, &copied}) {
        EXPECT_EQ(out->at(0, 4, 4), 255);
        EXPECT_EQ(out->at(1, 4, 4), 0);
        EXPECT_EQ(out->at(1, 5, 5), 255);
    }
    EXPECT_EQ(layer.PreviewMergeToChannelBitmap(nullptr, &view, 0, &one, &one, 0), ITzERR_INVALID);
}

TEST(LayerImageRect, NativeReaderRecordsOutsideTheGridAreRefusedAndFreed)
{
    ITzLayerImageARGB layer;
    layer.DWKSetBlockCountX(2);
    layer.DWKSetBlockCountY(1);
    _tagITzBLOCKDATAINFO info = {3, {}};
    info.channels[1].data = ITzLayerImage::UncompressChannelData(4);
    // The handle passes to the layer, which frees it on refusal (LeakSanitizer checks).
    EXPECT_EQ(layer.DWKSetBlockInfo(5, &info), ITzERR_INVALID);
    EXPECT_EQ(layer.GetBlockCount(), 2u);
    info.channels[1].data = ITzLayerImage::UncompressChannelData(4);
    ASSERT_EQ(layer.DWKSetBlockInfo(1, &info), 0);
    _tagITzBLOCKDATAINFO back;
    EXPECT_EQ(layer.GetBlockInfo(1, &back, 0), 0);

    // A failed append ends the call; the handle is still the layer's to free.
    ITzLayerImageARGB big;
    big.DWKSetBlockCountX(64);
    big.DWKSetBlockCountY(64);
    info.channels[1].data = ITzLayerImage::UncompressChannelData(4);
    PTzTestSetAllocationCountdown(1);
    EXPECT_NE(big.DWKSetBlockInfo(0, &info), 0);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_LT(big.GetBlockCount(), 64u * 64u);
}

TEST(LayerImageBlocks, UniformChannelsFoldAndExpand)
{
    _tagITzCHANNELDATA channel = {ITzLayerImage::UncompressChannelData(7), 0};
    ASSERT_NE(channel.data, nullptr);
    EXPECT_EQ(ITzLayerImage::CompressChannel(&channel), 1);
    EXPECT_EQ(channel.data, nullptr);
    EXPECT_EQ(channel.constant, 7);
    EXPECT_EQ(ITzLayerImage::UncompressChannel(&channel), 1);
    EXPECT_EQ(ITzLayerImage::UncompressChannel(&channel), 0);  // has a block already
    {
        PTzHandleLockGuard bytes(channel.data);
        EXPECT_EQ(bytes.bytes()[65535], 7);
        bytes.bytes()[100] = 8;
    }
    EXPECT_EQ(ITzLayerImage::CompressChannel(&channel), 0);
    uint8_t value = 0;
    EXPECT_EQ(ITzLayerImage::CompressChannelData(channel.data, &value), 0);
    PTzHandleFree(channel.data);
}

TEST(LayerImageBlocks, WholeBlockExpandAndFoldKeepThePixels)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {0, 0, 256, 256};
    const _tagPTzCOLOR grey = {PTzCOLORMODE_ARGB, 255, {9, 9, 9}};
    layer.FillRect(&r, &grey);
    ASSERT_EQ(layer.UncompressBlock(0u), 0);
    _tagITzBLOCKDATAINFO info;
    layer.GetBlockInfo(0, &info, 0);
    for (const _tagITzCHANNELDATA& channel : info.channels)
        EXPECT_NE(channel.data, nullptr);
    _tagITzBlOCKMEMINFO locked;
    ASSERT_EQ(layer.LockBlock(0, &locked), 0);
    EXPECT_EQ(locked.channels[1].data[1000], 9);
    layer.UnlockBlock(0, &locked);
    ASSERT_EQ(layer.CompressBlock(0u), 0);
    layer.GetBlockInfo(0, &info, 0);
    for (const _tagITzCHANNELDATA& channel : info.channels)
        EXPECT_EQ(channel.data, nullptr);
    EXPECT_EQ(Pixel(layer, 3, 3), 0x090909FFu);
    EXPECT_EQ(layer.UncompressBlock(7u), -101);  // no such block: the list's error
}

// A preview cache that records what the layer tells it.
class FakeCache : public ITzPreviewCacheLink {
public:
    static inline std::vector<int>* log = nullptr;
    int SetOpacity(uint8_t opacity) override { return note(1000 + opacity); }
    ITzLayerImage* GetCacheLayer(uint8_t) override { return nullptr; }
    int BlockDataUpdated(const PTzRECT*) override { return note(2); }
    int RebuildPreview(const PTzRECT*, int) override { return note(3); }
    int UpdataPreviewForBrush(uint8_t, const PTzRECT*, int) override { return note(4); }
    int MoveCore(const _tagPTzOFFSET*) override { return note(5); }
    int SizeChanged(const PTzRECT*) override { return note(6); }
    int SizeGrowed(_tagITzIMAGELAYERBLOCKINITCBSTR*) override { return note(7); }
    uint32_t PreparePreviewCachePriority() override { return 0; }
    void* PreparePreviewCacheStart() override { return nullptr; }
    int PreparePreviewCacheRun(void*, uint32_t*) override { return 0; }
    int PreparePreviewCacheEnd(void*) override { return 0; }

private:
    int note(int what)
    {
        log->push_back(what);
        return 1;
    }
};

TEST(LayerImagePreview, CacheHearsOfSizeOpacityAndMovesAndSizeChangesAreAnnounced)
{
    std::vector<int> log;
    FakeCache::log = &log;
    ITzSetPreviewCacheMaker([](ITzLayerImage*) -> ITzPreviewCacheLink* { return new FakeCache; });
    {
        ITzLayerImageARGB layer;
        ASSERT_NE(layer.GetCacheManager(), nullptr);
        Recorder recorder;
        recorder.AddToBroadcaster(&layer);
        const PTzRECT r = {0, 0, 100, 50};
        layer.SetSize(&r, 1);
        EXPECT_EQ(log, std::vector<int>{6});
        ASSERT_EQ(recorder.rects.size(), 2u);  // the old bounds, then the new
        EXPECT_TRUE(Same(recorder.rects[1], r));
        layer.SetOpacity(10);
        _tagPTzOFFSET by = {3, 4};
        layer.Move(&by);
        layer.BlockDataUpdated(0);
        EXPECT_EQ(log, (std::vector<int>{6, 1010, 5, 2}));
        EXPECT_EQ(layer.BlockDataUpdated(1), ITzERR_INVALID);
    }
    ITzSetPreviewCacheMaker(nullptr);
    ITzLayerImageARGB plain;
    EXPECT_EQ(plain.GetCacheManager(), nullptr);
    EXPECT_EQ(plain.GetCacheLayer(1), nullptr);
}

TEST(LayerImageExchange, DibsGoThroughTheConnectedExchangeAndFailWithoutOne)
{
    struct Seen {
        const BITMAPINFOHEADER* dib;
        uint32_t size;
        ITzLayerImage* layer;
        _tagITzMEMHANDLECBS* memory;
    };
    static Seen seen;
    static const ITzLayerDIBExchange exchange = {
        [](const BITMAPINFOHEADER* dib, uint32_t size, ITzLayerImage* layer) {
            seen = {dib, size, layer, nullptr};
            return 1;
        },
        [](ITzLayerImage* layer, _tagITzMEMHANDLECBS* memory) -> void* {
            seen = {nullptr, 0, layer, memory};
            return &seen;
        },
    };
    const ITzLayerDIBExchange* connected = ITzGetLayerDIBExchange();
    const uint8_t bytes[40] = {};
    const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    _tagITzMEMHANDLECBS memory = {};
    ITzLayerImageARGB layer;

    ITzSetLayerDIBExchange(nullptr);
    PTzSetLastError(0);
    EXPECT_EQ(layer.RebuildWithDib(dib, 40), 0);
    EXPECT_EQ(PTzGetLastError(), ITzERR_INVALID);
    PTzSetLastError(0);
    EXPECT_EQ(layer.SavetoDIB(&memory), nullptr);
    EXPECT_EQ(PTzGetLastError(), ITzERR_INVALID);

    ITzSetLayerDIBExchange(&exchange);
    EXPECT_EQ(layer.RebuildWithDib(dib, 40), 1);
    EXPECT_EQ(seen.dib, dib);
    EXPECT_EQ(seen.size, 40u);
    EXPECT_EQ(seen.layer, &layer);
    EXPECT_EQ(layer.SavetoDIB(&memory), &seen);
    EXPECT_EQ(seen.layer, &layer);
    EXPECT_EQ(seen.memory, &memory);
    ITzSetLayerDIBExchange(connected);
}

TEST(LayerImagePreview, PreviewFullOnlyForOpaqueNormalLayersWithoutAnErase)
{
    Host layer;
    const PTzRECT r = {0, 0, 300, 300};
    const _tagPTzCOLOR opaque = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
    layer.FillRect(&r, &opaque);
    const _tagITzZOOMLEVEL one = {1, 1};
    const PTzRECT view = {10, 10, 290, 290};
    EXPECT_EQ(layer.PreviewFull(&view, 0, &one, &one), 1);
    const PTzRECT wider = {-1, 10, 290, 290};
    EXPECT_EQ(layer.PreviewFull(&wider, 0, &one, &one), 0);
    layer.SetOpacity(254);
    EXPECT_EQ(layer.PreviewFull(&view, 0, &one, &one), 0);
    layer.SetOpacity(255);
    layer.SetMergeType(ITzMERGE_ERASE);
    EXPECT_EQ(layer.PreviewFull(&view, 0, &one, &one), 0);
    layer.SetMergeType(ITzMERGE_NORMAL);

    // An erasing floating layer spoils the coverage wherever it may act.
    auto* eraser = new ITzLayerImageARGB;
    eraser->FillRect(&r, &opaque);
    eraser->SetMergeType(ITzMERGE_ERASE);
    layer.Attach(eraser);
    EXPECT_EQ(layer.PreviewFull(&view, 0, &one, &one), 0);
    PTzRECT preview;
    layer.GetPreviewBounds(&preview);
    EXPECT_TRUE(Same(preview, r));
}

TEST(LayerImageHelpers, MatchRectAlignsToZoomGroups)
{
    const _tagITzZOOMLEVEL x = {3, 2};
    const _tagITzZOOMLEVEL y = {1, 4};
    const PTzRECT zoomed = {7, 5, 20, 9};
    PTzRECT picture, aligned;
    _tagPTzOFFSET offset;
    ITzLayerImage::GetDataMatchRect(&picture, &aligned, &zoomed, &x, &y, &offset);
    EXPECT_EQ(aligned.left, 6);
    EXPECT_EQ(aligned.top, 5);
    EXPECT_EQ(offset.x, 1);
    EXPECT_EQ(offset.y, 0);
    EXPECT_EQ(picture.left, 4);                      // 6 x 2 / 3
    EXPECT_EQ(picture.top, 20);                      // 5 x 4
    EXPECT_EQ(picture.right, (2 * 20 - 1 + 2) / 3);  // ceil((2 x 20 - 1) / 3) = 13
    EXPECT_EQ(picture.bottom, 4 * 9 - 2);
}

TEST(LayerImageHelpers, AdjustPBitmapViewsTheInsidePart)
{
    ITzLayerImageARGB layer;
    const PTzRECT r = {10, 10, 50, 50};
    layer.ExtendSize(&r, nullptr, 1);
    Pixels source(100, 100);
    const PTzRECT placed = {0, 0, 100, 100};
    _tagITzBITMAP view;
    PTzRECT inside;
    ASSERT_EQ(layer.AdjustPBitmap(&source.bitmap, &placed, &view, &inside), 1);
    EXPECT_TRUE(Same(inside, r));
    EXPECT_EQ(view.width, 40);
    EXPECT_EQ(view.pixels, source.at(10, 10));
    const PTzRECT away = {60, 60, 70, 70};
    EXPECT_EQ(layer.AdjustPBitmap(&source.bitmap, &away, &view, &inside), 0);
}

TEST(LayerImageHelpers, BackupListKeepsLayersInIndexOrder)
{
    ITzLayerBackupList list;
    for (uint16_t index : {5, 1, 3}) {
        const _tagITzLAYERBACKUPINFO item = {index, nullptr};
        ASSERT_EQ(list.InsertItem(&item, 0), 0);
    }
    std::vector<uint16_t> order;
    for (uint32_t i = 0; i < list.GetItemCount(); ++i) {
        _tagITzLAYERBACKUPINFO item;
        list.GetItemByIndex(i, &item, 0);
        order.push_back(item.index);
    }
    EXPECT_EQ(order, (std::vector<uint16_t>{1, 3, 5}));
}

}  // namespace
