// The scratch tile pool: first fit, exact give-back of lent runs, all-or-nothing tile
// pages and the process-wide instance.
#include "engine/pixels/block_memory_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "base/memory_test_hooks.h"

namespace {

constexpr uint32_t kPage = ITzBLOCK_PAGE_BYTES;

uint32_t PageOf(const ITzBlockMemoryPool& pool, const uint8_t* p)
{
    return static_cast<uint32_t>((p - pool.buffer()) / kPage);
}

uint8_t* Take(ITzBlockMemoryPool& pool, uint32_t size)
{
    uint8_t* p = nullptr;
    return BlockMemoryAlloc(&pool, &p, size) ? p : nullptr;
}

TEST(BlockMemoryPool, SixtyFourSinglePagesThenFailureAndFreedPageReused)
{
    ITzBlockMemoryPool pool;
    std::vector<uint8_t*> pages;
    for (uint32_t i = 0; i < 64; ++i) {
        pages.push_back(Take(pool, kPage));
        ASSERT_NE(pages.back(), nullptr);
        EXPECT_EQ(PageOf(pool, pages.back()), i);  // lowest address first
    }
    uint8_t* out = nullptr;
    EXPECT_EQ(BlockMemoryAlloc(&pool, &out, 1), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(pool.pagesInUse(), 64u);
    EXPECT_EQ(pool.occupancy(), ~uint64_t{0});

    EXPECT_EQ(BlockMemoryFree(pages[10], kPage, &pool), 1);
    EXPECT_EQ(Take(pool, 1), pages[10]);
    EXPECT_EQ(pool.highWaterMark(), 64u);
    for (uint8_t* p : pages)
        BlockMemoryFree(p, kPage, &pool);
    EXPECT_EQ(pool.pagesInUse(), 0u);
    EXPECT_EQ(pool.highWaterMark(), 64u);
}

TEST(BlockMemoryPool, RunsAreConsecutiveAndFirstFit)
{
    ITzBlockMemoryPool pool;
    uint8_t* first = Take(pool, 1);
    uint8_t* pair = Take(pool, kPage + 1);  // 65,537 bytes take two pages
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(PageOf(pool, pair), 1u);
    EXPECT_EQ(PageOf(pool, Take(pool, kPage)), 3u);
    // A one-page hole at page 0 is skipped by a two-page request.
    BlockMemoryFree(first, 1, &pool);
    EXPECT_EQ(PageOf(pool, Take(pool, 2 * kPage)), 4u);
    EXPECT_EQ(PageOf(pool, Take(pool, 1)), 0u);
    EXPECT_EQ(pool.pagesInUse(), 6u);
    // The whole pool in one run only while nothing else is lent.
    EXPECT_EQ(Take(pool, 64 * kPage), nullptr);
}

TEST(BlockMemoryPool, FreeGivesBackExactlyTheLentRunOnce)
{
    ITzBlockMemoryPool pool;
    uint8_t* pair = Take(pool, 2 * kPage);
    uint8_t* other = Take(pool, kPage);
    ASSERT_NE(other, nullptr);
    // A size larger than lent must not free the next borrower's page.
    EXPECT_EQ(BlockMemoryFree(pair, 5 * kPage, &pool), 1);
    EXPECT_EQ(pool.pagesInUse(), 1u);
    EXPECT_EQ(pool.occupancy(), uint64_t{1} << 2);
    // A second free changes nothing.
    EXPECT_EQ(BlockMemoryFree(pair, 2 * kPage, &pool), 1);
    EXPECT_EQ(pool.pagesInUse(), 1u);
    // A size smaller than lent still frees the whole run.
    uint8_t* four = Take(pool, 4 * kPage);
    EXPECT_EQ(PageOf(pool, four), 3u);
    BlockMemoryFree(four, 1, &pool);
    EXPECT_EQ(pool.pagesInUse(), 1u);
    // A pointer inside a run is no run start.
    uint8_t* run = Take(pool, 3 * kPage);
    BlockMemoryFree(run + kPage, kPage, &pool);
    BlockMemoryFree(run + 5, kPage, &pool);
    EXPECT_EQ(pool.pagesInUse(), 4u);
}

TEST(BlockMemoryPool, RefusesBadArguments)
{
    ITzBlockMemoryPool pool;
    uint8_t* out = nullptr;
    EXPECT_EQ(BlockMemoryAlloc(&pool, &out, 0), 0);
    EXPECT_EQ(BlockMemoryAlloc(&pool, nullptr, 1), 0);
    EXPECT_EQ(BlockMemoryAlloc(nullptr, &out, 1), 0);
    EXPECT_EQ(BlockMemoryAlloc(&pool, &out, 64 * kPage + 1), 0);
    uint8_t byte = 0;
    EXPECT_EQ(BlockMemoryFree(&byte, 1, &pool), 0);  // no buffer yet
    uint8_t* page = Take(pool, 1);
    EXPECT_EQ(BlockMemoryFree(nullptr, 1, &pool), 0);
    EXPECT_EQ(BlockMemoryFree(page, 1, nullptr), 0);
    EXPECT_EQ(BlockMemoryFree(page - 1, 1, &pool), 0);  // below the buffer
    EXPECT_EQ(BlockMemoryFree(page + 64 * kPage, 1, &pool), 1);  // beyond: ignored
    EXPECT_EQ(pool.pagesInUse(), 1u);
}

TEST(BlockMemoryPool, FailsWhenThePageMemoryCannotBeMade)
{
    ITzBlockMemoryPool pool;
    PTzTestSetAllocationCeiling(kPage);
    uint8_t* out = nullptr;
    EXPECT_EQ(BlockMemoryAlloc(&pool, &out, 1), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(pool.buffer(), nullptr);
    EXPECT_NE(Take(pool, 1), nullptr);
}

TEST(BlockMemoryPool, TilePagesAreAllOrNothing)
{
    ITzBlockMemoryPool pool;
    _tagITzBLOCKMEMORYARGB argb{{}, {1, 2, 3, 4}};
    ASSERT_EQ(BlockMemoryAllocARGB(&pool, &argb), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PageOf(pool, argb.planes[i]), uint32_t(i));
    EXPECT_EQ(BlockMemoryFreeARGB(&pool, &argb), 0);
    for (uint8_t* plane : argb.planes)
        EXPECT_EQ(plane, nullptr);
    EXPECT_EQ(argb.constants[3], 4);
    EXPECT_EQ(pool.pagesInUse(), 0u);

    std::vector<uint8_t*> lent;
    for (int i = 0; i < 61; ++i)
        lent.push_back(Take(pool, 1));
    const uint64_t before = pool.occupancy();
    EXPECT_EQ(BlockMemoryAllocARGB(&pool, &argb), -1001);
    for (uint8_t* plane : argb.planes)
        EXPECT_EQ(plane, nullptr);
    EXPECT_EQ(pool.occupancy(), before);
    EXPECT_EQ(pool.pagesInUse(), 61u);

    _tagITzBlockBUFFER buffer{};
    EXPECT_EQ(BlockMemoryAllocBlockBuffer(&pool, &buffer), -1001);
    EXPECT_EQ(pool.pagesInUse(), 61u);
    BlockMemoryFree(lent[0], 1, &pool);
    EXPECT_EQ(BlockMemoryAllocBlockBuffer(&pool, &buffer), 0);
    EXPECT_EQ(pool.pagesInUse(), 64u);
    EXPECT_EQ(BlockMemoryFreeBlockBuffer(&pool, &buffer), 0);
    EXPECT_EQ(pool.pagesInUse(), 60u);

    EXPECT_EQ(BlockMemoryAllocARGB(&pool, nullptr), -1001);
    EXPECT_EQ(BlockMemoryAllocARGB(nullptr, &argb), -1001);
    EXPECT_EQ(BlockMemoryFreeARGB(&pool, nullptr), 0);
}

TEST(BlockMemoryPool, ReleaseKeepsTheMemoryWhilePagesAreLent)
{
    ITzBlockMemoryPool pool;
    uint8_t* page = Take(pool, 1);
    EXPECT_EQ(ReleaseBlockMemoryPool(&pool), 0);
    EXPECT_NE(pool.buffer(), nullptr);
    BlockMemoryFree(page, 1, &pool);
    EXPECT_EQ(ReleaseBlockMemoryPool(&pool), 1);
    EXPECT_EQ(pool.buffer(), nullptr);
    EXPECT_EQ(ReleaseBlockMemoryPool(nullptr), 0);
}

TEST(BlockMemoryPool, ProcessWidePoolIsMadeOnceAndReleasedByItsOwner)
{
    ITzBlockMemoryPool* shared = GetBlockMemoryPool();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(GetBlockMemoryPool(), shared);
    EXPECT_EQ(ReleaseBlockMemoryPool(shared), 1);
    delete shared;
    {
        // With no process-wide pool, the next one constructed becomes it.
        ITzBlockMemoryPool first;
        ITzBlockMemoryPool second;
        EXPECT_EQ(GetBlockMemoryPool(), &first);
    }
    ITzBlockMemoryPool* fresh = GetBlockMemoryPool();
    ASSERT_NE(fresh, nullptr);
    ReleaseBlockMemoryPool(fresh);
    delete fresh;
}

// First fit against a model of 64 flags under random requests and gives back.
TEST(BlockMemoryPool, MatchesAPageModelUnderRandomUse)
{
    ITzBlockMemoryPool pool;
    std::vector<bool> used(64, false);
    std::map<uint32_t, uint32_t> runs;  // start page -> length
    std::mt19937 random(20240611);
    for (int step = 0; step < 4000; ++step) {
        if (random() % 3 != 0 || runs.empty()) {
            const uint32_t size = 1 + random() % (5 * kPage);
            const uint32_t need = (size + kPage - 1) / kPage;
            int expected = -1;
            for (uint32_t s = 0; s + need <= 64 && expected < 0; ++s) {
                bool open = true;
                for (uint32_t i = s; i < s + need; ++i)
                    open = open && !used[i];
                if (open)
                    expected = int(s);
            }
            uint8_t* p = Take(pool, size);
            if (expected < 0) {
                ASSERT_EQ(p, nullptr);
                continue;
            }
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(PageOf(pool, p), uint32_t(expected));
            for (uint32_t i = 0; i < need; ++i)
                used[expected + i] = true;
            runs[expected] = need;
        } else {
            auto it = runs.begin();
            std::advance(it, random() % runs.size());
            // The size passed is deliberately unreliable.
            uint8_t* start = const_cast<uint8_t*>(pool.buffer()) + it->first * kPage;
            BlockMemoryFree(start, random() % (3 * kPage), &pool);
            for (uint32_t i = 0; i < it->second; ++i)
                used[it->first + i] = false;
            runs.erase(it);
        }
        uint32_t inUse = 0;
        for (bool u : used)
            inUse += u ? 1 : 0;
        ASSERT_EQ(pool.pagesInUse(), inUse);
    }
}

}  // namespace
