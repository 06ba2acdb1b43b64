// The two-level handle list against a std::vector model: page geometry, capacity,
// random edits across page boundaries, and allocation failures that must change nothing.
#include "base/two_level_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"

namespace {

struct AllocationHooksOff {
    ~AllocationHooksOff()
    {
        PTzTestSetAllocationCeiling(0);
        PTzTestSetAllocationCountdown(-1);
    }
};

struct ListOwner {
    PTzTWOLEVELHANDLE list;
    ~ListOwner() { PTzDestroyTwoLevelHandle(list); }
};

uint32_t Read(PTzTWOLEVELHANDLE list, uint32_t index)
{
    uint32_t value = 0;
    EXPECT_EQ(PTzTwoLevelHandleGetItemData(list, index, &value), 0) << "index " << index;
    return value;
}

void ExpectMatches(PTzTWOLEVELHANDLE list, const std::vector<uint32_t>& model)
{
    ASSERT_EQ(PTzTwoLevelHandleGetCount(list), model.size());
    for (uint32_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(Read(list, i), model[i]) << "index " << i;
}

void Append(PTzTWOLEVELHANDLE list, std::vector<uint32_t>& model, uint32_t value)
{
    ASSERT_EQ(PTzTwoLevelHandleInsertItem(list, UINT32_MAX, &value), 0);
    model.push_back(value);
}

TEST(TwoLevelHandle, GeometryFollowsItemAndPageSize)
{
    const uint32_t item = 7;
    ListOwner small{PTzCreatTwoLevelHandle_1(4, 1024)};
    ASSERT_NE(small.list, nullptr);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(small.list, 65280, &item), 0);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(small.list, 65281, &item), PTzERR_CONTAINER_FULL);

    ListOwner byDefault{PTzCreatTwoLevelHandle(0)};
    ASSERT_NE(byDefault.list, nullptr);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(byDefault.list, 67100672, &item), 0);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(byDefault.list, 67100673, &item), PTzERR_CONTAINER_FULL);
    EXPECT_EQ(PTzGetLastError(), PTzERR_CONTAINER_FULL);
}

TEST(TwoLevelHandle, PagesUnderEightBytesAreRefused)
{
    for (auto [itemSize, pageBytes] : {std::pair{4, 4}, {1, 7}, {2, 5}, {0, 7}}) {
        PTzSetLastError(0);
        EXPECT_EQ(PTzCreatTwoLevelHandle_1(uint16_t(itemSize), uint16_t(pageBytes)), nullptr);
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    }
    ListOwner oneItemPages{PTzCreatTwoLevelHandle_1(8, 0)};
    EXPECT_NE(oneItemPages.list, nullptr);
}

TEST(TwoLevelHandle, CreationFailureStoresOutOfMemory)
{
    AllocationHooksOff hooks;
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(PTzCreatTwoLevelHandle(4), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_OUT_OF_MEMORY);
}

TEST(TwoLevelHandle, NullArgumentsAreRefused)
{
    uint32_t value = 1;
    EXPECT_EQ(PTzTwoLevelHandleInsertItem(nullptr, 0, &value), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzTwoLevelHandleRemoveItems(nullptr, 0, 1), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(nullptr, 0, &value), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzTwoLevelHandleGetItemData(nullptr, 0, &value), PTzERR_BAD_ARGUMENT);
    PTzSetLastError(0);
    EXPECT_EQ(PTzTwoLevelHandleGetCount(nullptr), 0u);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzDestroyTwoLevelHandle(nullptr), 0);

    ListOwner owner{PTzCreatTwoLevelHandle_1(4, 16)};
    EXPECT_EQ(PTzTwoLevelHandleInsertItem(owner.list, 0, nullptr), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(owner.list, 0, nullptr), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzTwoLevelHandleGetCount(owner.list), 0u);
}

// 4 items per page and capacity 4 x 3 = 12: indices 0..12 fit, 13 does not.
TEST(TwoLevelHandle, FullListRefusesWithoutChanging)
{
    ListOwner owner{PTzCreatTwoLevelHandle_1(4, 16)};
    std::vector<uint32_t> model;
    for (uint32_t i = 0; i <= 12; ++i)
        Append(owner.list, model, 100 + i);
    const uint32_t value = 1;
    EXPECT_EQ(PTzTwoLevelHandleInsertItem(owner.list, 0, &value), PTzERR_CONTAINER_FULL);
    EXPECT_EQ(PTzTwoLevelHandleInsertItem(owner.list, 13, &value), PTzERR_CONTAINER_FULL);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(owner.list, 13, &value), PTzERR_CONTAINER_FULL);
    uint32_t out = 0;
    EXPECT_EQ(PTzTwoLevelHandleGetItemData(owner.list, 13, &out), PTzERR_CONTAINER_FULL);
    EXPECT_EQ(PTzTwoLevelHandleSetItemData(owner.list, 12, &value), 0);
    model[12] = value;
    ExpectMatches(owner.list, model);

    EXPECT_EQ(PTzTwoLevelHandleRemoveItems(owner.list, 3, 1), 0);
    model.erase(model.begin() + 3);
    EXPECT_EQ(PTzTwoLevelHandleGetItemData(owner.list, 12, &out), PTzERR_CONTAINER_FULL);
    ExpectMatches(owner.list, model);
}

// After a removal leaves pages empty, refilling must allocate them again: with
// allocations failing, appends succeed up to the page boundary and no further.
TEST(TwoLevelHandle, EmptiedPagesAreFreedAndRefilled)
{
    AllocationHooksOff hooks;
    ListOwner owner{PTzCreatTwoLevelHandle_1(4, 16)};
    std::vector<uint32_t> model;
    for (uint32_t i = 0; i < 11; ++i)
        Append(owner.list, model, i);
    EXPECT_EQ(PTzTwoLevelHandleRemoveItems(owner.list, 1, 5), 0);
    model.erase(model.begin() + 1, model.begin() + 6);
    PTzTestSetAllocationCountdown(0);
    Append(owner.list, model, 50);
    Append(owner.list, model, 51);
    const uint32_t value = 52;
    EXPECT_NE(PTzTwoLevelHandleInsertItem(owner.list, UINT32_MAX, &value), 0);
    ExpectMatches(owner.list, model);

    EXPECT_EQ(PTzTwoLevelHandleRemoveItems(owner.list, 0, 8), 0);
    model.clear();
    EXPECT_NE(PTzTwoLevelHandleInsertItem(owner.list, 0, &value), 0);
    PTzTestSetAllocationCountdown(-1);
    for (uint32_t i = 0; i < 13; ++i)
        Append(owner.list, model, 200 + i);
    ExpectMatches(owner.list, model);
}

// Inserting at 0 into full pages carries each page's last item into the next page,
// the new page (here page 2) being the one allocation the insert needs.
TEST(TwoLevelHandle, InsertNeedingANewPageFailsWholeOrNotAtAll)
{
    AllocationHooksOff hooks;
    ListOwner owner{PTzCreatTwoLevelHandle_1(4, 16)};
    std::vector<uint32_t> model;
    for (uint32_t i = 0; i < 8; ++i)
        Append(owner.list, model, i);
    const uint32_t value = 99;
    PTzTestSetAllocationCountdown(0);
    const int code = PTzTwoLevelHandleInsertItem(owner.list, 0, &value);
    EXPECT_NE(code, 0);
    EXPECT_EQ(code, PTzGetLastError());
    ExpectMatches(owner.list, model);

    PTzTestSetAllocationCountdown(1);
    ASSERT_EQ(PTzTwoLevelHandleInsertItem(owner.list, 0, &value), 0);
    model.insert(model.begin(), value);
    ExpectMatches(owner.list, model);
    EXPECT_EQ(Read(owner.list, 4), 3u);
}

TEST(TwoLevelHandle, FirstWriteFailingLeavesTheListEmpty)
{
    AllocationHooksOff hooks;
    const uint32_t value = 5;
    for (int64_t countdown : {0, 1}) {  // the directory fails, then the first page
        ListOwner owner{PTzCreatTwoLevelHandle_1(4, 16)};
        PTzTestSetAllocationCountdown(countdown);
        EXPECT_NE(PTzTwoLevelHandleInsertItem(owner.list, 0, &value), 0);
        EXPECT_NE(PTzTwoLevelHandleSetItemData(owner.list, 0, &value), 0);
        EXPECT_EQ(PTzTwoLevelHandleGetCount(owner.list), 0u);
        PTzTestSetAllocationCountdown(-1);
        EXPECT_EQ(PTzTwoLevelHandleInsertItem(owner.list, 0, &value), 0);
        EXPECT_EQ(Read(owner.list, 0), value);
    }
}

struct Geometry {
    uint16_t itemSize;
    uint16_t pageBytes;
    uint32_t itemsPerPage;
    uint32_t capacity;
};

class TwoLevelHandleModel : public testing::TestWithParam<Geometry> {};

// Items wider than 4 bytes carry the value in front and a pattern behind it, so a
// slot copied short or shifted by part of an item shows.
std::vector<uint8_t> Encode(uint32_t value, uint16_t itemSize)
{
    std::vector<uint8_t> item(itemSize);
    for (uint16_t b = 0; b < itemSize; ++b)
        item[b] = uint8_t(b < 4 ? value >> (8 * b) : value + b);
    return item;
}

TEST_P(TwoLevelHandleModel, RandomEditsMatchAVector)
{
    AllocationHooksOff hooks;
    const Geometry g = GetParam();
    ListOwner owner{PTzCreatTwoLevelHandle_1(g.itemSize, g.pageBytes)};
    ASSERT_NE(owner.list, nullptr);
    std::vector<std::vector<uint8_t>> model;
    std::mt19937 random(1107);
    uint32_t next = 1;
    for (int step = 0; step < 20000; ++step) {
        const uint32_t count = uint32_t(model.size());
        const uint32_t index = random() % (count + 3);
        const std::vector<uint8_t> item = Encode(next++, g.itemSize);
        // Phases of growth and shrinking take the list from empty to full and back.
        const bool growing = step / 1000 % 2 == 0;
        const uint32_t op = random() % 10;
        if (op < (growing ? 6u : 2u)) {  // insert; one in four with allocation failing
            const bool starve = random() % 4 == 0;
            if (starve)
                PTzTestSetAllocationCountdown(0);
            const int code = PTzTwoLevelHandleInsertItem(owner.list, index, item.data());
            PTzTestSetAllocationCountdown(-1);
            // Only an insert that starts a page allocates (unless a set past the end
            // already made that page).
            if (count > g.capacity) {
                EXPECT_EQ(code, PTzERR_CONTAINER_FULL);
            } else if (code != 0) {
                EXPECT_TRUE(starve && count % g.itemsPerPage == 0) << "step " << step;
                EXPECT_EQ(code, PTzGetLastError());
            } else {
                ASSERT_EQ(code, 0) << "step " << step;
                model.insert(model.begin() + std::min(index, count), item);
            }
        } else if (op < (growing ? 7u : 6u)) {  // remove a few, pages' worth, or everything
            const uint32_t kind = random() % 50;
            const uint32_t n = kind == 0 ? count : kind < 10 ? random() % (2 * g.itemsPerPage + 2) : random() % 3;
            ASSERT_EQ(PTzTwoLevelHandleRemoveItems(owner.list, index, n), 0);
            if (index < count)
                model.erase(model.begin() + index, model.begin() + index + std::min(n, count - index));
        } else if (op < 8) {
            // A set past the end is allowed within the capacity but adds no item.
            const int code = PTzTwoLevelHandleSetItemData(owner.list, index, item.data());
            ASSERT_EQ(code, index <= g.capacity ? 0 : PTzERR_CONTAINER_FULL);
            if (index < count)
                model[index] = item;
        } else {
            std::vector<uint8_t> out(g.itemSize, 0xEE);
            const int code = PTzTwoLevelHandleGetItemData(owner.list, index, out.data());
            if (index < count) {
                ASSERT_EQ(code, 0);
                ASSERT_EQ(out, model[index]) << "step " << step;
            } else {
                EXPECT_EQ(code, PTzERR_CONTAINER_FULL);
            }
        }
        ASSERT_EQ(PTzTwoLevelHandleGetCount(owner.list), model.size()) << "step " << step;
    }
    std::vector<uint8_t> out(g.itemSize);
    for (uint32_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(PTzTwoLevelHandleGetItemData(owner.list, i, out.data()), 0);
        ASSERT_EQ(out, model[i]);
    }
}

// The directory of pages starts small and doubles: the last geometry grows it several
// times, with allocations failing on the way.
INSTANTIATE_TEST_SUITE_P(SmallPages, TwoLevelHandleModel,
                         testing::Values(Geometry{4, 64, 16, 16 * 15}, Geometry{3, 32, 8, 8 * 5},
                                         Geometry{1, 8, 8, 8 * 1}, Geometry{64, 100, 1, 15},
                                         Geometry{4, 128, 32, 32 * 31}));

}  // namespace
