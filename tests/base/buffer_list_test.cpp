// The buffer list against a std::vector model, its growth and shrink thresholds, and
// the guarantee that a failed allocation leaves the list exactly as it was.
#include "base/buffer_list.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"

namespace {

struct AllocationHooksOff {
    ~AllocationHooksOff() { PTzTestSetAllocationCountdown(-1); }
};

std::vector<uint32_t> contents(PTzBufferList& list)
{
    std::vector<uint32_t> items(list.GetItemCount());
    for (uint32_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(list.GetItemByIndex(i, &items[i], 0), 0);
    return items;
}

PTzBufferList& fill(PTzBufferList& list, std::initializer_list<uint32_t> items)
{
    for (uint32_t item : items)
        EXPECT_EQ(list.InsertItemByIndex(UINT32_MAX, &item, 0), 0);
    return list;
}

TEST(BufferList, MatchesAVectorUnderRandomOperations)
{
    std::mt19937 random(1234);
    PTzBufferList list(4, 3);  // blocks of 8 items, so growth and shrink happen often
    list.SetSaveMode(1);
    std::vector<uint32_t> model;
    for (int step = 0; step < 4000; ++step) {
        const uint32_t value = random();
        const uint32_t index = model.empty() ? 0 : random() % (model.size() + 2);
        const uint32_t last = model.empty() ? 0 : uint32_t(model.size() - 1);
        switch (random() % 6) {
        case 0:
        case 1:
            ASSERT_EQ(list.InsertItemByIndex(index, &value, 0), 0);
            model.insert(model.begin() + std::min<size_t>(index, model.size()), value);
            break;
        case 2:
            if (model.empty())
                break;
            uint32_t removed;
            ASSERT_EQ(list.RemoveItemByIndex(index, &removed, 0), 0);
            EXPECT_EQ(removed, model[std::min(index, last)]);
            model.erase(model.begin() + std::min(index, last));
            break;
        case 3:
            if (model.empty())
                break;
            ASSERT_EQ(list.SetItemByIndex(index, &value, 0), 0);
            model[std::min(index, last)] = value;
            break;
        case 4: {
            if (model.empty())
                break;
            const uint32_t to = random() % (model.size() + 2);
            ASSERT_EQ(list.MoveItem(index, to), 0);
            const uint32_t from = std::min(index, last);
            const uint32_t moved = model[from];
            model.erase(model.begin() + from);
            model.insert(model.begin() + std::min(to, last), moved);
            break;
        }
        case 5: {
            const uint32_t n = 1 + random() % 20;
            std::vector<uint32_t> several(n, value);
            ASSERT_EQ(list.InsertItemsByIndex(index, n, several.data(), 0), 0);
            model.insert(model.begin() + std::min<size_t>(index, model.size()), several.begin(), several.end());
            break;
        }
        }
        ASSERT_EQ(list.GetItemCount(), model.size());
    }
    EXPECT_EQ(contents(list), model);
}

TEST(BufferList, IndexesPastTheCountMeanTheLastItem)
{
    PTzBufferList list(4, 8);
    fill(list, {10, 20, 30});
    uint32_t item = 0;
    EXPECT_EQ(list.GetItemByIndex(1000, &item, 0), 0);
    EXPECT_EQ(item, 30u);
}

TEST(BufferList, MoveItemShiftsTheItemsBetween)
{
    PTzBufferList forward(4, 8);
    fill(forward, {1, 2, 3}).MoveItem(0, 2);
    EXPECT_EQ(contents(forward), (std::vector<uint32_t>{2, 3, 1}));
    PTzBufferList backward(4, 8);
    fill(backward, {1, 2, 3}).MoveItem(2, 0);
    EXPECT_EQ(contents(backward), (std::vector<uint32_t>{3, 1, 2}));
}

TEST(BufferList, EmptyListFailuresAreNeverZero)
{
    PTzBufferList list(4, 8);
    uint32_t item = 77;
    EXPECT_NE(list.GetItemByIndex(0, &item, 0), 0) << "no storage yet";
    fill(list, {1});
    list.RemoveItemByIndex(0, nullptr, 0);
    PTzSetLastError(0);
    EXPECT_NE(list.GetItemByIndex(0, &item, 0), 0) << "storage but no item";
    EXPECT_NE(list.RemoveItemByIndex(0, &item, 0), 0);
    EXPECT_NE(list.SetItemByIndex(0, &item, 0), 0);
    EXPECT_EQ(item, 77u);
    EXPECT_EQ(list.InsertItemByIndex(0, nullptr, 0), PTzERR_BAD_ARGUMENT);
}

TEST(BufferList, LengthLimitsTheBytesCopied)
{
    PTzBufferList list(8, 8);
    const uint64_t wide = 0x1122334455667788ull;
    list.InsertItemByIndex(0, &wide, 0);
    uint64_t out = 0;
    list.GetItemByIndex(0, &out, 2);
    EXPECT_EQ(out, 0x7788u);
    const uint16_t narrow = 0xAAAA;
    list.InsertItemByIndex(1, &narrow, 2);
    list.GetItemByIndex(1, &out, 0);
    EXPECT_EQ(out, 0xAAAAu) << "the rest of a short insert is zero, not stale";
}

TEST(BufferList, GrowthAndShrinkFollowTheBlockThresholds)
{
    AllocationHooksOff restore;
    PTzBufferList list(4, 8);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(list.InsertItemByIndex(i, &i, 0), 0);
    // The 257th insert needs a second block: with allocation refused it must fail
    // and keep all 256 items; the 256 before it needed no new allocation at all.
    PTzTestSetAllocationCountdown(0);
    const uint32_t extra = 256;
    EXPECT_NE(list.InsertItemByIndex(256, &extra, 0), 0);
    EXPECT_EQ(list.GetItemCount(), 256u);
    PTzTestSetAllocationCountdown(-1);
    ASSERT_EQ(list.InsertItemByIndex(256, &extra, 0), 0);
    PTzTestSetAllocationCountdown(0);
    const uint32_t more = 257;
    EXPECT_EQ(list.InsertItemByIndex(257, &more, 0), 0) << "two blocks hold 512 items";
    PTzTestSetAllocationCountdown(-1);

    list.SetSaveMode(1);
    list.RemoveItemByIndex(257, nullptr, 0);
    PTzTestSetAllocationCountdown(1);
    list.RemoveItemByIndex(256, nullptr, 0);  // 257 -> 256 shrinks to one block
    const uint32_t back = 256;
    EXPECT_NE(list.InsertItemByIndex(256, &back, 0), 0) << "one block after the shrink";
    std::vector<uint32_t> expected(256);
    for (uint32_t i = 0; i < 256; ++i)
        expected[i] = i;
    EXPECT_EQ(contents(list), expected);
}

TEST(BufferList, EnumerationAndIndicatorWalkTheItems)
{
    PTzBufferList list(4, 8);
    fill(list, {5, 6, 7});
    void* walk = list.EnumItemStart(0);
    std::vector<uint32_t> seen;
    uint32_t item;
    while (list.EnumItemNext(walk, &item, 0))
        seen.push_back(item);
    list.EnumItemEnd(walk);
    EXPECT_EQ(seen, (std::vector<uint32_t>{5, 6, 7}));

    PTzBufferListIndicator* cursor = list.LockIndicator(1);
    EXPECT_EQ(cursor->GetIndex(), 1u);
    EXPECT_EQ(cursor->GotoIndex(2), 1);
    EXPECT_EQ(cursor->GoNext(), 0);
    EXPECT_EQ(cursor->GotoIndex(3), 0);
    EXPECT_EQ(cursor->GetIndex(), 2u);
    const uint32_t replaced = 70;
    EXPECT_EQ(list.SetItemByIndicator(cursor, &replaced, 0), 0);
    EXPECT_EQ(cursor->GoPrev(), 1);
    EXPECT_EQ(list.GetItemByIndicator(cursor, &item, 0), 0);
    EXPECT_EQ(item, 6u);
    list.UnlockIndicator(cursor);
    EXPECT_EQ(contents(list), (std::vector<uint32_t>{5, 6, 70}));
    EXPECT_EQ(list.GetItemByIndicator(nullptr, &item, 0), PTzERR_BAD_ARGUMENT);

    PTzBufferList empty(4, 8);
    walk = empty.EnumItemStart(0);
    EXPECT_EQ(empty.EnumItemNext(walk, &item, 0), 0);
    empty.EnumItemEnd(walk);
}

TEST(BufferList, DefaultItemHoldsAPointer)
{
    PTzBufferList list;
    EXPECT_EQ(list.GetItemSize(), sizeof(void*));
    int target = 0;
    void* pointer = &target;
    list.InsertItemByIndex(0, &pointer, 0);
    void* back = nullptr;
    list.GetItemByIndex(0, &back, 0);
    EXPECT_EQ(back, &target);
}

}  // namespace
