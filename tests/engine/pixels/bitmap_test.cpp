// Bitmap records: strides, making and refusing, inversion, sub-views, copies between
// channel bitmaps and the planes that ITzUtilityChannelBitmap hands out.
#include "engine/pixels/bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "base/memory_test_hooks.h"
#include "engine/pixels/block_memory_pool.h"

namespace {

struct AllocationHooksOff {
    ~AllocationHooksOff()
    {
        PTzTestSetAllocationCeiling(0);
        PTzTestSetAllocationCountdown(-1);
    }
};

// A bitmap made by ITzPrepareITzBitmap and released at scope end.
struct Prepared {
    _tagITzBITMAP bitmap{};
    Prepared(int32_t width, int32_t height, int32_t mode)
    {
        const _tagPTzSIZE size{width, height};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
    }
    ~Prepared() { ITzReleaseITzBitmap(&bitmap); }
};

TEST(Bitmap, StrideRoundsRowsUpToFourBytes)
{
    EXPECT_EQ(Prepared(1, 1, 1).bitmap.stride, 4);   // 24 bits
    EXPECT_EQ(Prepared(17, 1, 8).bitmap.stride, 8);  // 2 bits
    EXPECT_EQ(Prepared(3, 1, 5).bitmap.stride, 16);  // 40 bits
    EXPECT_EQ(Prepared(5, 1, 6).bitmap.stride, 8);
    EXPECT_EQ(Prepared(4, 1, 6).bitmap.stride, 4);
    const int bits[9] = {0, 24, 24, 32, 32, 40, 8, 16, 2};
    for (int mode = 1; mode <= 8; ++mode) {
        Prepared p(7, 3, mode);
        EXPECT_EQ(p.bitmap.bits, bits[mode]);
        EXPECT_EQ(ITzGetITzBitmapPixelbits(&p.bitmap), uint32_t(bits[mode]));
        EXPECT_EQ(ITzGetITzBitmapPixelByte(&p.bitmap), uint32_t(bits[mode] / 8));
        EXPECT_EQ(p.bitmap.colorMode, mode);
        EXPECT_EQ(p.bitmap.width, 7);
        EXPECT_EQ(p.bitmap.height, 3);
        for (int32_t i = 0; i < p.bitmap.stride * 3; ++i)
            ASSERT_EQ(p.bitmap.pixels[i], 0);
    }
    EXPECT_EQ(ITzGetITzBitmapPixelbits(nullptr), 0u);
    EXPECT_EQ(ITzGetITzBitmapPixelByte(nullptr), 0u);
}

TEST(Bitmap, PrepareRefusesBadModesSizesAndOverflowAndLeavesTheRecord)
{
    AllocationHooksOff hooks;
    _tagITzBITMAP bitmap{9, 9, 9, 9, 9, nullptr};
    const _tagITzBITMAP before = bitmap;
    const _tagPTzSIZE size{4, 4};
    const _tagPTzSIZE bad[] = {{0, 4}, {4, 0}, {-1, 4}, {4, -5}, {INT_MAX, 1}, {65536, 65536}};
    for (int32_t mode : {0, 9, -1})
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 0) << mode;
    for (const _tagPTzSIZE& s : bad)
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &s, 3), 0) << s.cx << " x " << s.cy;
    EXPECT_EQ(ITzPrepareITzBitmap(nullptr, &size, 3), 0);
    EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, nullptr, 3), 0);
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, 3), 0);
    EXPECT_EQ(std::memcmp(&bitmap, &before, sizeof bitmap), 0);
}

TEST(Bitmap, ReleaseClearsThePointerAndIgnoresNull)
{
    Prepared p(2, 2, 3);
    ITzReleaseITzBitmap(&p.bitmap);
    EXPECT_EQ(p.bitmap.pixels, nullptr);
    ITzReleaseITzBitmap(&p.bitmap);
    ITzReleaseITzBitmap(nullptr);
}

TEST(Bitmap, InverseFlipsColourBytesAndKeepsAlphaAndPadding)
{
    // {bytes per pixel, first colour byte, colour bytes} by mode.
    const int layout[8][3] = {{0, 0, 0}, {3, 0, 3}, {3, 0, 3}, {4, 1, 3}, {4, 0, 4}, {5, 1, 4}, {1, 0, 1}, {2, 1, 1}};
    std::mt19937 random(7);
    for (int mode = 1; mode <= 7; ++mode) {
        Prepared p(5, 3, mode);
        const size_t bytes = size_t(p.bitmap.stride) * 3;
        for (size_t i = 0; i < bytes; ++i)
            p.bitmap.pixels[i] = uint8_t(random());
        const std::vector<uint8_t> before(p.bitmap.pixels, p.bitmap.pixels + bytes);
        ASSERT_EQ(InverseITzBitmap(&p.bitmap), 1);
        const auto [pixelBytes, first, count] = layout[mode];
        for (size_t i = 0; i < bytes; ++i) {
            const size_t column = i % p.bitmap.stride;
            const int within = int(column % pixelBytes);
            const bool colour = column < size_t(5 * pixelBytes) && within >= first && within < first + count;
            ASSERT_EQ(p.bitmap.pixels[i], colour ? 255 - before[i] : before[i]) << "mode " << mode << " byte " << i;
        }
    }
}

TEST(Bitmap, InverseRefusesTwoBitAndUnknownModes)
{
    Prepared p(16, 2, 8);
    std::memset(p.bitmap.pixels, 0x5A, p.bitmap.stride * 2);
    EXPECT_EQ(InverseITzBitmap(&p.bitmap), 0);
    EXPECT_EQ(p.bitmap.pixels[0], 0x5A);
    p.bitmap.colorMode = 12;
    EXPECT_EQ(InverseITzBitmap(&p.bitmap), 0);
    EXPECT_EQ(InverseITzBitmap(nullptr), 0);
}

TEST(Bitmap, SubBitmapIsClippedAndWrittenBack)
{
    Prepared p(10, 6, 3);
    _tagITzBITMAP view{};
    PTzRECT rect{4, 2, 15, 5};
    ASSERT_EQ(ITzGetSubBitmap(&view, &rect, &p.bitmap), 1);
    EXPECT_EQ(rect.right, 10);
    EXPECT_EQ(view.width, 6);
    EXPECT_EQ(view.height, 3);
    EXPECT_EQ(view.stride, p.bitmap.stride);
    EXPECT_EQ(view.colorMode, 3);
    EXPECT_EQ(view.pixels, p.bitmap.pixels + 2 * p.bitmap.stride + 16);

    rect = {-3, -2, 2, 1};
    ASSERT_EQ(ITzGetSubBitmap(&view, &rect, &p.bitmap), 1);
    EXPECT_EQ(view.width, 2);
    EXPECT_EQ(view.height, 1);
    EXPECT_EQ(view.pixels, p.bitmap.pixels);

    // Sub-byte pixels: the start is the byte holding the first pixel.
    Prepared two(40, 2, 8);
    rect = {9, 1, 20, 2};
    ASSERT_EQ(ITzGetSubBitmap(&view, &rect, &two.bitmap), 1);
    EXPECT_EQ(view.pixels, two.bitmap.pixels + two.bitmap.stride + 2);
}

TEST(Bitmap, SubBitmapOutsideTheSourceIsRefusedNotNegative)
{
    Prepared p(10, 6, 3);
    _tagITzBITMAP view{1, 1, 4, 32, 3, nullptr};
    for (PTzRECT rect : {PTzRECT{12, 0, 20, 4}, PTzRECT{0, 6, 4, 9}, PTzRECT{-8, 0, -2, 3}, PTzRECT{3, 3, 3, 5}}) {
        const PTzRECT before = rect;
        EXPECT_EQ(ITzGetSubBitmap(&view, &rect, &p.bitmap), 0);
        EXPECT_EQ(view.width, 1);
        EXPECT_EQ(rect.left, before.left);
        EXPECT_EQ(rect.right, before.right);
    }
    PTzRECT rect{0, 0, 1, 1};
    _tagITzBITMAP empty{4, 4, 16, 32, 3, nullptr};
    ASSERT_EQ(ITzGetSubBitmap(&view, &rect, &empty), 1);
    EXPECT_EQ(view.pixels, nullptr);  // null stays null
    EXPECT_EQ(ITzGetSubBitmap(nullptr, &rect, &empty), 0);
}

// A channel bitmap with its own planes, each byte telling plane, row and column apart.
struct Planes {
    std::vector<uint8_t> storage[5];
    _tagITzCHANNELBITMAP bitmap{};
    Planes(int32_t width, int32_t height, int32_t kind, std::initializer_list<int> present, uint8_t seed)
    {
        bitmap = {width, height, width + 3, kind, {}};
        for (int p : present) {
            storage[p].resize(size_t(bitmap.stride) * height);
            for (size_t i = 0; i < storage[p].size(); ++i)
                storage[p][i] = uint8_t(seed + 31 * p + i);
            bitmap.planes[p] = storage[p].data();
        }
    }
    uint8_t at(int p, int x, int y) const { return storage[p][size_t(y) * bitmap.stride + x]; }
};

TEST(ChannelBitmap, SubViewAdvancesPresentPlanesAndIsClipped)
{
    Planes source(8, 5, 3, {0, 2}, 1);
    _tagITzCHANNELBITMAP view{};
    PTzRECT rect{2, 1, 20, 3};
    ASSERT_EQ(ITzGetSubChannelBitmap(&rect, &view, &source.bitmap), 1);
    EXPECT_EQ(rect.right, 8);
    EXPECT_EQ(view.width, 6);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.stride, source.bitmap.stride);
    EXPECT_EQ(view.kind, 3);
    EXPECT_EQ(view.planes[0], source.bitmap.planes[0] + source.bitmap.stride + 2);
    EXPECT_EQ(view.planes[1], nullptr);
    EXPECT_EQ(view.planes[2], source.bitmap.planes[2] + source.bitmap.stride + 2);
    rect = {9, 0, 12, 5};
    EXPECT_EQ(ITzGetSubChannelBitmap(&rect, &view, &source.bitmap), 0);
    EXPECT_EQ(view.width, 6);
}

TEST(ChannelBitmap, CopyBetweenKindsCopiesNothing)
{
    Planes source(4, 4, 3, {0, 1, 2, 3}, 1);
    Planes dest(4, 4, 6, {0}, 100);
    const std::vector<uint8_t> before = dest.storage[0];
    const PTzRECT rect{0, 0, 4, 4};
    EXPECT_EQ(ITzCopyChannelBitmapRect(&rect, &rect, &source.bitmap, &dest.bitmap), 0);
    EXPECT_EQ(dest.storage[0], before);
    EXPECT_EQ(ITzCopyChannelBitmapRect(nullptr, &rect, &source.bitmap, &dest.bitmap), 0);
}

// Checks a copy against a per-pixel reference: pairs (sx + i, sy + j) -> (dx + i, dy + j)
// for i, j below the smaller rectangle, taken only where both pixels lie inside.
void ExpectCopyMatchesReference(const PTzRECT& s, const PTzRECT& d, int32_t sw, int32_t sh, int32_t dw, int32_t dh)
{
    Planes source(sw, sh, 1, {1, 2, 3, 4}, 3);
    Planes dest(dw, dh, 1, {1, 3, 4}, 200);
    Planes expected = dest;
    for (int p : {1, 3, 4})
        expected.bitmap.planes[p] = expected.storage[p].data();
    const int32_t w = std::min(s.right - s.left, d.right - d.left);
    const int32_t h = std::min(s.bottom - s.top, d.bottom - d.top);
    bool any = false;
    for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i) {
            const int32_t sx = s.left + i, sy = s.top + j, dx = d.left + i, dy = d.top + j;
            if (sx < 0 || sy < 0 || sx >= sw || sy >= sh || dx < 0 || dy < 0 || dx >= dw || dy >= dh)
                continue;
            any = true;
            for (int p : {1, 3, 4})
                expected.storage[p][size_t(dy) * dest.bitmap.stride + dx] = source.at(p, sx, sy);
        }
    ASSERT_EQ(ITzCopyChannelBitmapRect(&s, &d, &source.bitmap, &dest.bitmap), any ? 1 : 0);
    for (int p : {1, 3, 4})
        ASSERT_EQ(dest.storage[p], expected.storage[p]) << "plane " << p;
    EXPECT_TRUE(dest.storage[0].empty() && dest.storage[2].empty());
}

TEST(ChannelBitmap, CopyClipsEveryEdgeAndKeepsPixelsPaired)
{
    ExpectCopyMatchesReference({1, 1, 4, 3}, {2, 0, 5, 2}, 6, 5, 7, 4);
    ExpectCopyMatchesReference({-2, -3, 3, 2}, {1, 1, 6, 6}, 6, 5, 7, 4);    // source sticks out left and top
    ExpectCopyMatchesReference({0, 0, 6, 5}, {-4, -1, 2, 4}, 6, 5, 7, 4);    // destination sticks out
    ExpectCopyMatchesReference({2, 3, 9, 12}, {4, 1, 11, 10}, 6, 5, 7, 4);  // both past right and bottom
    ExpectCopyMatchesReference({7, 0, 9, 2}, {0, 0, 2, 2}, 6, 5, 7, 4);      // nothing inside: copies nothing
    std::mt19937 random(99);
    auto coordinate = [&] { return int32_t(random() % 20) - 7; };
    for (int n = 0; n < 500; ++n) {
        const PTzRECT s{coordinate(), coordinate(), coordinate(), coordinate()};
        const PTzRECT d{coordinate(), coordinate(), coordinate(), coordinate()};
        ExpectCopyMatchesReference(s, d, 1 + random() % 9, 1 + random() % 9, 1 + random() % 9, 1 + random() % 9);
        if (HasFatalFailure())
            return;
    }
}

TEST(ChannelBitmap, CopyWithinOneBitmapHandlesOverlap)
{
    for (const PTzRECT d : {PTzRECT{1, 1, 6, 6}, PTzRECT{0, 0, 5, 5}}) {
        Planes bitmap(8, 8, 6, {0}, 5);
        const Planes original = bitmap;
        const PTzRECT s = d.left == 1 ? PTzRECT{0, 0, 5, 5} : PTzRECT{1, 1, 6, 6};
        ASSERT_EQ(ITzCopyChannelBitmapRect(&s, &d, &bitmap.bitmap, &bitmap.bitmap), 1);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(bitmap.at(0, d.left + x, d.top + y), original.at(0, s.left + x, s.top + y));
    }
}

TEST(ChannelBitmap, ColourModeChannelCounts)
{
    const uint32_t all[10] = {0, 3, 3, 4, 4, 5, 1, 2, 0, 0};
    const uint32_t colour[10] = {0, 3, 3, 3, 4, 4, 1, 1, 0, 0};
    for (int32_t mode = 0; mode < 10; ++mode) {
        EXPECT_EQ(ITzColorModeGetChannelCount(mode), all[mode]) << mode;
        EXPECT_EQ(ITzColorModeGetColorChannelCount(mode), colour[mode]) << mode;
    }
    EXPECT_EQ(ITzColorModeGetChannelCount(-3), 0u);
}

TEST(UtilityChannelBitmap, PoolPlanesAreZeroFilledAndReleasedExactlyOnce)
{
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    ASSERT_NE(pool, nullptr);
    // Leave dirt in the pages a borrower gets next.
    uint8_t* dirty = nullptr;
    ASSERT_EQ(BlockMemoryAlloc(pool, &dirty, 3 * ITzBLOCK_PAGE_BYTES), 1);
    std::memset(dirty, 0xEE, 3 * ITzBLOCK_PAGE_BYTES);
    BlockMemoryFree(dirty, 3 * ITzBLOCK_PAGE_BYTES, pool);

    _tagITzCHANNELBITMAP bitmap{};
    bitmap.kind = 6;
    const _tagPTzSIZE size{300, 200};  // 60,000 bytes a plane
    ASSERT_NE(ITzUtilityChannelBitmap::CreateITzBufferBitmap(&bitmap, &size, 1, 2), 0);
    EXPECT_EQ(bitmap.stride, 300);
    EXPECT_EQ(bitmap.kind, 6);
    for (int p = 0; p < 3; ++p) {
        ASSERT_NE(bitmap.planes[p], nullptr);
        for (int i = 0; i < 60000; ++i)
            ASSERT_EQ(bitmap.planes[p][i], 0);
    }
    EXPECT_EQ(bitmap.planes[3], nullptr);
    EXPECT_EQ(pool->pagesInUse(), 3u);

    uint8_t* other = nullptr;
    ASSERT_EQ(BlockMemoryAlloc(pool, &other, 1), 1);
    // A wrong size cannot make the release free another borrower's page.
    const _tagPTzSIZE wrong{1024, 1024};
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(&bitmap, &wrong), 1);
    for (uint8_t* plane : bitmap.planes)
        EXPECT_EQ(plane, nullptr);
    EXPECT_EQ(pool->pagesInUse(), 1u);
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(&bitmap, &size), 1);
    EXPECT_EQ(pool->pagesInUse(), 1u);
    BlockMemoryFree(other, 1, pool);
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(nullptr, &size), 0);
}

TEST(UtilityChannelBitmap, PoolPlanesAreAllOrNothing)
{
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    ASSERT_NE(pool, nullptr);
    // 1024 x 1024 planes take 16 pages each: four fit, five do not.
    _tagITzCHANNELBITMAP bitmap{};
    const _tagPTzSIZE size{1024, 1024};
    ASSERT_NE(ITzUtilityChannelBitmap::CreateITzBufferBitmap(&bitmap, &size, 0, 9), 0);  // at most 4
    EXPECT_EQ(bitmap.planes[0], nullptr);
    EXPECT_EQ(pool->pagesInUse(), 64u);
    ITzUtilityChannelBitmap::ReleaseITzBufferBitmap(&bitmap, &size);

    _tagITzCHANNELBITMAP untouched{};
    ASSERT_EQ(ITzUtilityChannelBitmap::CreateITzBufferBitmap(&untouched, &size, 1, 4), 0);
    EXPECT_EQ(pool->pagesInUse(), 0u);
    for (uint8_t* plane : untouched.planes)
        EXPECT_EQ(plane, nullptr);
    EXPECT_EQ(untouched.width, 0);
    const _tagPTzSIZE empty{0, 5};
    EXPECT_EQ(ITzUtilityChannelBitmap::CreateITzBufferBitmap(&bitmap, &empty, 1, 1), 0);
}

TEST(UtilityChannelBitmap, BlockPlanesAreAllOrNothing)
{
    AllocationHooksOff hooks;
    _tagITzCHANNELBITMAP bitmap{};
    const _tagPTzSIZE size{5, 7};
    ASSERT_NE(ITzUtilityChannelBitmap::CreateBitmap(&bitmap, &size, 1, 3), 0);
    EXPECT_EQ(bitmap.stride, 5);
    for (int p = 0; p < 4; ++p)
        for (int i = 0; i < 35; ++i)
            ASSERT_EQ(bitmap.planes[p][i], 0);
    EXPECT_EQ(bitmap.planes[4], nullptr);
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseBitmap(&bitmap), 1);
    for (uint8_t* plane : bitmap.planes)
        EXPECT_EQ(plane, nullptr);
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseBitmap(&bitmap), 1);
    EXPECT_EQ(ITzUtilityChannelBitmap::ReleaseBitmap(nullptr), 1);

    PTzTestSetAllocationCountdown(2);  // the third plane fails
    _tagITzCHANNELBITMAP failed{};
    EXPECT_EQ(ITzUtilityChannelBitmap::CreateBitmap(&failed, &size, 1, 3), 0);
    for (uint8_t* plane : failed.planes)
        EXPECT_EQ(plane, nullptr);
}

}  // namespace
