// The engine's rectangle doors at the ends of the 32-bit range: every exported function
// and layer operation a caller hands a rectangle to, called with rectangles that reach
// INT32_MIN and INT32_MAX. Under the sanitizers any overflow on the way fails the test;
// everywhere reads must leave the layer as it was, writes what lies outside their
// rectangle, and no call may walk the whole coordinate range (it would never end).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/pixels/arc_fill.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_enum.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/block_reduce.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/magic_seed_line_list.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/rect_clip.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

constexpr int32_t kMin = INT32_MIN;
constexpr int32_t kMax = INT32_MAX;

// Rectangles that reach the ends of the range, whole, on one side, inverted and empty.
const PTzRECT kLimits[] = {
    {kMin, kMin, kMax, kMax},      {kMin, -50, 60, 40},         {-50, kMin, 60, 40},
    {-50, -40, kMax, 40},          {-50, -40, 60, kMax},        {kMax - 1, 0, kMax, 10},
    {0, kMax - 1, 10, kMax},       {kMin, kMin, kMin + 1, kMin + 1}, {kMax, kMax, kMin, kMin},
    {kMin, 0, kMax, 1},            {0, kMin, 1, kMax},          {kMax - 70, kMax - 50, kMax, kMax},
};

const PTzRECT kBounds = {-90, -70, 290, 200};   // every layer's pixels, on 3 x 2 blocks
const PTzRECT kArea = {-250, -220, 450, 350};    // what the checks look at
constexpr int32_t kSide = 64;                    // the bitmaps handed over

std::string Describe(const PTzRECT& r)
{
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + "}";
}

// Every plane of the layer over kArea (picture coordinates), 0 outside its bounds.
struct Snapshot {
    std::vector<uint8_t> planes[4];

    void Take(ITzLayerImage& layer)
    {
        const int32_t width = kArea.right - kArea.left, height = kArea.bottom - kArea.top;
        _tagITzCHANNELBITMAP bitmap = {width, height, width, int32_t(layer.GetColorMode()), {}};
        for (int p = 0; p < 4; ++p) {
            planes[p].assign(size_t(width) * size_t(height), 0);
            bitmap.planes[p] = planes[p].data();
        }
        PTzRECT local;
        layer.PRECTtoLRECT(&kArea, &local);
        layer.GetRectChannelData(&bitmap, &local);
    }

    // Whether both agree on every pixel of kArea outside `except`, or inside it when
    // `inside` (picture coordinates).
    bool Same(const Snapshot& other, const PTzRECT& except, bool inside = false) const
    {
        const int64_t width = PTzRectWidth(kArea);
        const int64_t left = std::clamp<int64_t>(except.left, kArea.left, kArea.right) - kArea.left;
        const int64_t right = std::clamp<int64_t>(except.right, kArea.left, kArea.right) - kArea.left;
        for (int32_t y = kArea.top; y < kArea.bottom; ++y) {
            const bool rowInside = y >= except.top && y < except.bottom && left < right;
            const int64_t from = rowInside ? left : 0, to = rowInside ? right : 0;
            for (int p = 0; p < 4; ++p) {
                const uint8_t* a = planes[p].data() + (y - kArea.top) * width;
                const uint8_t* b = other.planes[p].data() + (y - kArea.top) * width;
                const bool same = inside ? std::memcmp(a + from, b + from, size_t(to - from)) == 0
                                         : std::memcmp(a, b, size_t(from)) == 0 &&
                                               std::memcmp(a + to, b + to, size_t(width - to)) == 0;
                if (!same)
                    return false;
            }
        }
        return true;
    }
};

Layer MakeLayer(int kind, uint32_t seed)
{
    Layer layer;
    if (kind == 0)
        layer.reset(new ITzLayerImageARGB());
    else if (kind == 1)
        layer.reset(new ITzLayerImageGray());
    else
        layer.reset(new ITzLayerImageSelect());
    EXPECT_EQ(layer->SetSize(&kBounds, 1), 0);
    const int32_t width = kBounds.right - kBounds.left, height = kBounds.bottom - kBounds.top;
    std::vector<uint8_t> planes[4];
    _tagITzCHANNELBITMAP bitmap = {width, height, width, int32_t(layer->GetColorMode()), {}};
    std::mt19937 random(seed);
    for (int p = 0; p < 4; ++p) {
        planes[p].resize(size_t(width) * size_t(height));
        for (uint8_t& byte : planes[p])
            byte = uint8_t(random() % 7 == 0 ? 0 : random());
        bitmap.planes[p] = planes[p].data();
    }
    const PTzRECT local = {0, 0, width, height};
    EXPECT_EQ(layer->SetRectChannelData(&bitmap, &local), 1);
    return layer;
}

// The bitmaps a door reads from or writes to, each kSide x kSide.
struct Bitmaps {
    std::vector<uint8_t> bytes[6];
    _tagITzBITMAP argb, rgb, gray, bits1;
    _tagITzCHANNELBITMAP channels;

    Bitmaps()
    {
        for (auto& plane : bytes)
            plane.assign(size_t(kSide) * kSide * 4, 0x5A);
        argb = {kSide, kSide, kSide * 4, 32, PTzCOLORMODE_ARGB, bytes[0].data()};
        rgb = {kSide, kSide, kSide * 4, 24, PTzCOLORMODE_RGB, bytes[1].data()};
        gray = {kSide, kSide, kSide * 4, 8, PTzCOLORMODE_GRAY, bytes[2].data()};
        bits1 = {kSide, kSide, kSide * 4, 1, PTzCOLORMODE_GRAY, bytes[2].data()};
        channels = {kSide, kSide, kSide, PTzCOLORMODE_ARGB, {bytes[3].data(), bytes[4].data(), bytes[5].data()}};
        channels.planes[3] = bytes[5].data() + kSide * kSide;
    }
    _tagITzBITMAP& Of(ITzLayerImage& layer) { return layer.GetChannelCount() == 4 ? argb : gray; }
    _tagITzCHANNELBITMAP ChannelsOf(ITzLayerImage& layer)
    {
        _tagITzCHANNELBITMAP view = channels;
        view.kind = int32_t(layer.GetColorMode());
        return view;
    }
};

// What a door may change: nothing; only pixels inside its rectangle; whole blocks
// under its rectangle; or, resizing the layer, everything but the pixels inside.
enum class Changes { Nothing, Inside, Blocks, Outside };

const _tagITzZOOMLEVEL kOne = {1, 1};
const _tagITzZOOMLEVEL kThird = {1, 3};

// Runs a resampled read of the layer, a hundred steps at most.
void Resample(ITzLayerImage& layer, Bitmaps& bitmaps, const PTzRECT& rect, bool bilinear)
{
    _tagITzCHANNELBITMAP c = bitmaps.ChannelsOf(layer);
    void* job = bilinear ? layer.ResampleFillChannelBitmapBLStart(&c, &rect, &kOne, &kThird, nullptr)
                         : layer.ResampleFillChannelBitmapNNStart(&c, &rect, &kThird, &kOne, nullptr);
    if (!job)
        return;
    uint32_t progress = 0;
    for (int steps = 0; steps < 100; ++steps)
        if (!(bilinear ? layer.ResampleFillChannelBitmapBL(job, &progress)
                       : layer.ResampleFillChannelBitmapNN(job, &progress)))
            break;
    bilinear ? layer.ResampleFillChannelBitmapBLEnd(job) : layer.ResampleFillChannelBitmapNNEnd(job);
}

struct Door {
    const char* name;
    Changes changes;
    std::function<void(ITzLayerImage& layer, ITzLayerImage& other, Bitmaps& bitmaps, const PTzRECT& rect)> call;
};

const _tagPTzCOLOR kRed = {PTzCOLORMODE_ARGB, 255, {200, 10, 10}};
_tagITzMERGEDATA gMerge = {ITzMERGE_NORMAL, 200};

const Door kDoors[] = {
    {"GetRectData", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { l.GetRectData(&r, &b.Of(l)); }},
    {"GetRectChannelData", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.GetRectChannelData(&c, &r);
     }},
    {"GetRectChannelDataWithFloating", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.GetRectChannelDataWithFloating(&c, &r);
     }},
    {"RectDataAvailable", Changes::Nothing, [](auto& l, auto&, auto&, auto& r) { l.RectDataAvailable(&r); }},
    {"MergeToBitmap", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { l.MergeToBitmap(&b.rgb, &r, &kOne, &kOne); }},
    {"MergeToBitmapReduced", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) { l.MergeToBitmap(&b.rgb, &r, &kThird, &kThird); }},
    {"GetBitmap", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { l.GetBitmap(&b.Of(l), &r, &kOne, &kThird); }},
    {"GetChannelBitmap", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.GetChannelBitmap(&c, &r, &kThird, &kOne);
     }},
    {"GetDisplayData", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) { l.GetDisplayData(&b.Of(l), &r, 0, &kOne, &kOne); }},
    {"GetDisplayChannelData", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.GetDisplayChannelData(&c, &r, 0, &kThird, &kThird);
     }},
    {"PreviewMergeToBitmap", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         l.CreateFloatingLayer();
         l.PreviewMergeToBitmap(&b.rgb, &r, 0, &kOne, &kOne, 0);
     }},
    {"FloatMergeToBitmap", Changes::Nothing,
     [](auto& l, auto& o, auto& b, auto& r) { l.FloatMergeToBitmap(&b.Of(l), &r, 0, &kOne, &kThird, &o); }},
    {"PreviewMergeToChannelBitmap", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.PreviewMergeToChannelBitmap(&c, &r, 0, &kThird, &kOne, 0);
     }},
    {"PreviewCopyToChannelBitmap", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.PreviewCopyToChannelBitmap(&c, &r, 0, &kOne, &kOne);
     }},
    {"PreviewFull", Changes::Nothing, [](auto& l, auto&, auto&, auto& r) { l.PreviewFull(&r, 0, &kOne, &kThird); }},
    {"GetSelectionBoundary", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         if (auto* select = dynamic_cast<ITzLayerImageSelect*>(&l))
             select->GetSelectionBoundary(&b.bits1, &r, 0, &kOne, &kOne);
     }},
    {"ResampleNearest", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { Resample(l, b, r, false); }},
    {"ResampleBilinear", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { Resample(l, b, r, true); }},
    {"GetZoomData", Changes::Nothing, [](auto& l, auto&, auto& b, auto& r) { l.GetZoomData(&b.Of(l), &r, &kOne, &kOne); }},
    {"AlphaDataFull", Changes::Nothing, [](auto& l, auto&, auto&, auto& r) { l.AlphaDataFull(&r); }},
    {"AlphaDataEmpty", Changes::Nothing, [](auto& l, auto&, auto&, auto& r) { l.AlphaDataEmpty(&r); }},
    {"CopyMaskLayer", Changes::Nothing, [](auto& l, auto&, auto&, auto& r) { Layer(l.CopyMaskLayer(&r)); }},
    {"AdjustPBitmap", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzBITMAP view;
         PTzRECT part;
         l.AdjustPBitmap(&b.Of(l), &r, &view, &part);
     }},
    {"CopyLayerRectFrom", Changes::Nothing, [](auto& l, auto& o, auto&, auto& r) { ITzCopyLayerRect(&r, &r, &l, &o); }},
    {"CopyLayerRectFromCorner", Changes::Nothing,
     [](auto& l, auto& o, auto&, auto& r) {
         const PTzRECT corner = {0, 0, kSide, kSide};
         ITzCopyLayerRect(&corner, &r, &l, &o);
     }},
    {"SetRectData", Changes::Inside, [](auto& l, auto&, auto& b, auto& r) { l.SetRectData(&r, &b.Of(l)); }},
    {"SetRectChannelData", Changes::Inside,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         l.SetRectChannelData(&c, &r);
     }},
    {"CopyLayerRectInto", Changes::Inside, [](auto& l, auto& o, auto&, auto& r) { ITzCopyLayerRect(&r, &r, &o, &l); }},
    {"FillRect", Changes::Inside, [](auto& l, auto&, auto&, auto& r) { l.FillRect(&r, &kRed); }},
    {"FillArc", Changes::Inside, [](auto& l, auto&, auto&, auto& r) { l.FillArc(&r, &kRed, 0); }},
    {"RectDataInvalid", Changes::Blocks, [](auto& l, auto&, auto&, auto& r) { l.RectDataInvalid(&r); }},
    {"InvaildRect", Changes::Blocks, [](auto& l, auto&, auto&, auto& r) { l.InvaildRect(&r); }},
    {"MergeMask", Changes::Inside, [](auto& l, auto&, auto& b, auto& r) { l.MergeMask(&b.gray, &r, 255); }},
    {"ChannelBimapMergIn", Changes::Inside,
     [](auto& l, auto&, auto& b, auto& r) {
         _tagITzCHANNELBITMAP c = b.ChannelsOf(l);
         const PTzRECT maskRect = r;
         l.ChannelBimapMergIn(&c, &r, &b.gray, &maskRect, &gMerge, 255);
     }},
    {"FillRectDataFromLayer", Changes::Inside,
     [](auto& l, auto& o, auto&, auto& r) { l.FillRectDataFromLayer(&r, &o, &r, &gMerge, nullptr, 0); }},
    {"MergeMaskLayer", Changes::Inside, [](auto& l, auto& o, auto&, auto& r) { l.MergeMaskLayer(&o, &r, &r); }},
    {"MagicSearchFillSelection", Changes::Nothing,
     [](auto& l, auto&, auto& b, auto& r) {
         ITzMagicSeedLineList seeds;
         seeds.Insert({0, 0, 3, 0});
         l.MagicSearchFillSelection(&r, &b.gray, &seeds, &kRed, 10);
     }},
    {"ColorFillSelection", Changes::Inside,
     [](auto& l, auto&, auto& b, auto& r) { l.ColorFillSelection(&b.gray, &r, &kRed, 0); }},
    {"RebuildPreview", Changes::Inside, [](auto& l, auto&, auto&, auto& r) { l.RebuildPreview(&r, 0); }},
    {"UpdataPreviewForBrush", Changes::Inside, [](auto& l, auto&, auto&, auto& r) { l.UpdataPreviewForBrush(0, &r, 0); }},
    {"GrowSize", Changes::Outside, [](auto& l, auto&, auto&, auto& r) { l.GrowSize(&r, nullptr); }},
    {"CutSize", Changes::Outside, [](auto& l, auto&, auto&, auto& r) { l.CutSize(&r); }},
    {"ExtendSizeGrow", Changes::Outside,
     [](auto& l, auto&, auto&, auto& r) {
         PTzRECT out;
         l.ExtendSizeGrow(&r, &out);
     }},
    {"Crop", Changes::Outside,
     [](auto& l, auto&, auto&, auto& r) {
         ITzUndoTwoLevelBlockList undo(l.GetBlockType());
         l.Crop(&r, &undo);
     }},
    {"SetSize", Changes::Outside, [](auto& l, auto&, auto&, auto& r) { l.SetSize(&r, 1); }},
    {"ExtendSize", Changes::Outside,
     [](auto& l, auto&, auto&, auto& r) {
         PTzRECT out;
         l.ExtendSize(&r, &out, 1);
     }},
};

TEST(RectLimits, LayerDoorsTakeRectanglesAtTheEndsOfTheRange)
{
    for (int kind = 0; kind < 3; ++kind) {
        const Layer pristine = MakeLayer(kind, 7);
        // Some doors read a second layer; the copies into it are not looked at.
        const Layer other(static_cast<ITzLayerImage*>(pristine->CreateCopyLayer()));
        ASSERT_TRUE(other);
        Snapshot before, after;
        before.Take(*pristine);
        for (const Door& door : kDoors)
            for (const PTzRECT& rect : kLimits) {
                SCOPED_TRACE(std::string(door.name) + " kind " + std::to_string(kind) + " " + Describe(rect));
                Layer layer(static_cast<ITzLayerImage*>(pristine->CreateCopyLayer()));
                ASSERT_TRUE(layer);
                Bitmaps bitmaps;
                door.call(*layer, *other, bitmaps, rect);
                after.Take(*layer);
                PTzRECT picture = rect;  // resizes take picture rectangles, the rest layer ones
                if (door.changes != Changes::Outside)
                    layer->LRECTtoPRECT(&rect, &picture);
                if (door.changes == Changes::Blocks)
                    picture = {PTzSaturate32(int64_t(picture.left) - 255), PTzSaturate32(int64_t(picture.top) - 255),
                               PTzSaturate32(int64_t(picture.right) + 255), PTzSaturate32(int64_t(picture.bottom) + 255)};
                if (door.changes == Changes::Outside)
                    EXPECT_TRUE(after.Same(before, picture, true));
                else
                    EXPECT_TRUE(after.Same(before, door.changes == Changes::Nothing ? PTzRECT{} : picture));
                EXPECT_EQ(GetBlockMemoryPool()->pagesInUse(), 0u);
            }
    }
}

TEST(RectLimits, BitmapDoorsTakeRectanglesAtTheEndsOfTheRange)
{
    const _tagITzZOOMLEVEL zooms[] = {{1, 1}, {3, 1}, {1, 3}, {ITzZOOM_TERM_MAX, 1}, {1, ITzZOOM_TERM_MAX}};
    for (const PTzRECT& rect : kLimits) {
        SCOPED_TRACE(Describe(rect));
        Bitmaps bitmaps, others;
        PTzRECT cut = rect;
        _tagITzBITMAP view;
        ITzGetSubBitmap(&view, &cut, &bitmaps.argb);
        cut = rect;
        _tagITzCHANNELBITMAP channelView;
        ITzGetSubChannelBitmap(&cut, &channelView, &bitmaps.channels);
        const PTzRECT corner = {0, 0, kSide, kSide};
        ITzCopyChannelBitmapRect(&rect, &rect, &bitmaps.channels, &others.channels);
        ITzCopyChannelBitmapRect(&corner, &rect, &bitmaps.channels, &others.channels);
        ITzCopyChannelBitmapRect(&rect, &corner, &bitmaps.channels, &others.channels);
        const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 128};
        ITzMergeChannelBitmap(&merge, 255, &rect, &others.channels, GetMathMerge(), &rect, &bitmaps.channels, &rect,
                              &bitmaps.gray);
        ITzMergeChannelBitmap(&merge, 255, nullptr, &others.channels, GetMathMerge(), &corner, &bitmaps.channels,
                              &rect, nullptr);
        ITzMultiplyPlaneByBitmap(&rect, &rect, GetMathMerge(), &others.channels, &bitmaps.gray);
        ITzMultiplyPlaneByBitmap(&corner, &rect, GetMathMerge(), &others.channels, &bitmaps.gray);
        std::vector<uint8_t> page(ITzBLOCK_PAGE_BYTES), reduced(ITzBLOCK_PAGE_BYTES);
        for (uint32_t shift = 1; shift <= 8; ++shift)
            ITzReduceChannelPage(page.data(), reduced.data(), &rect, shift);
        cut = rect;
        _tagITzBLOCKENUM walk;
        if (ITzBlockEnumFill(&cut, nullptr, &walk) == 0) {
            PTzRECT part;
            for (int steps = 0; steps < 4 && ITzBlockEnumGetCurrent(&walk, &part, nullptr, nullptr); ++steps) {
            }
        }
        cut = rect;
        ITzClipRectToSize(cut, kSide, kSide);
        ITzRectPair pair;
        ITzClipRectPair(rect, {kSide, kSide}, rect, {kMax, kMax}, pair);
        ITzArcFill arc;
        arc.Fill(&rect, &rect);
        arc.Fill(&rect, &kArea);
        arc.Fill(&kBounds, &rect);
        for (const _tagITzZOOMLEVEL& zoom : zooms) {
            PTzRECT out;
            PTzPOINT in, result;
            ITzZoomRectEnlarge(&zoom, &zoom, &rect, &out, &in, &result);
            ITzZoomRectReduce(&zoom, &zoom, &rect, &out, &in, &result);
            ITzZoomNNSourceRect(&zoom, &zoom, &rect, &out, &in, &result);
            ITzZoomBLSourceRect(&zoom, &zoom, &rect, &out, &in, &result);
        }
    }
}

}  // namespace
