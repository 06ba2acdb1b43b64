// The ring queue: order across wraps and growth, fixed capacity, Clear, and failures
// that leave the queue as it was.
#include "base/queue.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"

namespace {

// An item wider than a word, so a copy of the wrong size shows.
struct Item {
    uint32_t serial;
    uint8_t tail[9];
    bool operator==(const Item&) const = default;
};

Item makeItem(uint32_t serial)
{
    Item item{serial, {}};
    for (uint8_t i = 0; i < 9; ++i)
        item.tail[i] = uint8_t(serial * 7 + i);
    return item;
}

void pushSerials(PTzQueue& queue, uint32_t from, uint32_t to)
{
    for (uint32_t i = from; i < to; ++i)
        ASSERT_EQ(queue.Push(&i), 1);
}

void expectSerials(PTzQueue& queue, uint32_t from, uint32_t to)
{
    uint32_t out = 0;
    for (uint32_t i = from; i < to; ++i) {
        ASSERT_EQ(queue.Pop(&out), 1);
        ASSERT_EQ(out, i);
    }
}

TEST(Queue, GrowableQueueTakes300ItemsAndGivesThemBackInOrder)
{
    PTzQueue queue(4);
    pushSerials(queue, 0, 300);
    EXPECT_EQ(queue.GetCount(), 300u);
    expectSerials(queue, 0, 300);
    uint32_t out = 0;
    EXPECT_EQ(queue.Pop(&out), 0);
}

TEST(Queue, FixedQueueRefusesAPushBeyondItsCapacityAndASecondCreate)
{
    PTzQueue queue(4);
    ASSERT_EQ(queue.Create(2), 1);
    EXPECT_EQ(queue.Create(2), 0);
    pushSerials(queue, 1, 3);
    const uint32_t third = 3;
    EXPECT_EQ(queue.Push(&third), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_CONTAINER_FULL);
    EXPECT_EQ(queue.GetCount(), 2u);
    expectSerials(queue, 1, 3);
}

TEST(Queue, ClearAfterWrapEmptiesAndKeepsTheFullCapacity)
{
    PTzQueue queue(4);
    ASSERT_EQ(queue.Create(3), 1);
    pushSerials(queue, 0, 3);
    expectSerials(queue, 0, 2);
    pushSerials(queue, 3, 5);
    queue.Clear();
    uint32_t out = 0;
    EXPECT_EQ(queue.Pop(&out), 0);
    pushSerials(queue, 10, 13);
    expectSerials(queue, 10, 13);
}

// Phases that lean towards pushing make the ring grow while it is wrapped; phases that
// lean towards popping move the read index around the whole ring.
TEST(Queue, MatchesADequeUnderRandomPushesAndPops)
{
    std::mt19937 random(1106);
    PTzQueue queue(sizeof(Item));
    std::deque<Item> model;
    uint32_t serial = 0;
    for (int step = 0; step < 40000; ++step) {
        const uint32_t pushPercent = (step / 1000) % 2 == 0 ? 70 : 35;
        Item item = makeItem(serial);
        if (random() % 100 < pushPercent) {
            ASSERT_EQ(queue.Push(&item), 1);
            model.push_back(makeItem(serial++));
        } else {
            ASSERT_EQ(queue.Pop(&item), model.empty() ? 0 : 1);
            if (!model.empty()) {
                ASSERT_EQ(item, model.front());
                model.pop_front();
            }
        }
        ASSERT_EQ(queue.GetCount(), model.size());
    }
}

TEST(Queue, FailedAllocationLeavesTheQueueUnchanged)
{
    PTzQueue queue(4);
    pushSerials(queue, 0, 100);
    expectSerials(queue, 0, 100);
    pushSerials(queue, 100, 356);  // full and wrapped
    PTzTestSetAllocationCountdown(0);
    const uint32_t next = 356;
    EXPECT_EQ(queue.Push(&next), 0);
    PTzQueue unmade(4);
    EXPECT_EQ(unmade.Push(&next), 0);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(queue.GetCount(), 256u);
    expectSerials(queue, 100, 356);
    EXPECT_EQ(unmade.Create(16), 1);
}

TEST(Queue, BadArgumentsAndSizesFailWithMinusOne)
{
    PTzQueue queue(4), zeroSized(0), huge(0x01000000);
    const uint32_t value = 1;
    EXPECT_EQ(queue.Push(nullptr), 0);
    EXPECT_EQ(queue.Pop(nullptr), 0);
    EXPECT_EQ(zeroSized.Push(&value), 0);
    PTzSetLastError(0);
    EXPECT_EQ(huge.Create(0x100), 0) << "capacity times item size overflows 32 bits";
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
