// The sorted list against a stable-sorted vector, and the object list's ordering and
// ownership.
#include "base/order_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/order_object_list.h"

namespace {

// Ordered by key only, so the tag shows whether equal keys kept their order.
struct Entry {
    int32_t key;
    int32_t tag;
    bool operator==(const Entry&) const = default;
};

bool keyBelow(const Entry& a, const Entry& b)
{
    return a.key < b.key;
}

class EntryList : public PTzOrderList {
public:
    EntryList() : PTzOrderList(sizeof(Entry), 2) {}

    using PTzOrderList::CompareTwoItems;
    signed char CompareTwoItems(const void* first, const void* second) override
    {
        const int32_t a = static_cast<const Entry*>(first)->key;
        const int32_t b = static_cast<const Entry*>(second)->key;
        return a < b ? -1 : a > b ? 1 : 0;
    }

    int add(int32_t key, int32_t tag = 0)
    {
        const Entry entry{key, tag};
        return InsertItem(&entry, 0);
    }

    std::vector<Entry> items()
    {
        std::vector<Entry> result(GetItemCount());
        for (uint32_t i = 0; i < GetItemCount(); ++i)
            EXPECT_EQ(GetItemByIndex(i, &result[i], 0), 0);
        return result;
    }
};

std::vector<int32_t> keysOf(const std::vector<Entry>& entries)
{
    std::vector<int32_t> keys;
    for (const Entry& entry : entries)
        keys.push_back(entry.key);
    return keys;
}

TEST(OrderList, EqualItemsGoAfterTheOnesAlreadyThere)
{
    EntryList list;
    for (const Entry entry : {Entry{3, 0}, Entry{1, 1}, Entry{2, 2}, Entry{1, 3}})
        ASSERT_EQ(list.InsertItem(&entry, 0), 0);
    EXPECT_EQ(list.items(), (std::vector<Entry>{{1, 1}, {1, 3}, {2, 2}, {3, 0}}));
}

TEST(OrderList, FindItemIndexGivesTheMatchOrTheInsertPosition)
{
    EntryList list;
    uint32_t index = 77;
    const Entry four{4, 0};
    EXPECT_EQ(list.FindItemIndex(&four, &index), 0);
    EXPECT_EQ(index, 77u) << "an empty list writes no position";
    EXPECT_EQ(list.FindItemIndex(nullptr, &index), 0);
    EXPECT_EQ(index, 77u);

    for (const int32_t key : {5, 1, 3})
        list.add(key);
    const struct {
        int32_t key;
        int found;
        uint32_t position;
    } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}, {3, 1, 1}, {4, 0, 2}, {5, 1, 2}, {6, 0, 3}};
    for (const auto& c : cases) {
        const Entry probe{c.key, 0};
        EXPECT_EQ(list.FindItemIndex(&probe, &index), c.found) << c.key;
        EXPECT_EQ(index, c.position) << c.key;
    }
    EXPECT_EQ(list.FindItemIndex(&four, nullptr), 0);
}

TEST(OrderList, SortedListRefusesMovesAndIgnoresInsertIndexes)
{
    EntryList list;
    for (const Entry entry : {Entry{1, 0}, Entry{2, 0}, Entry{3, 0}})
        list.InsertItemByIndex(0, &entry, 0);
    const Entry zero{0, 0};
    list.InsertItemByIndex1(&zero, 3, 0);
    const Entry bulk[] = {{9, 0}, {-1, 0}};
    list.InsertItemsByIndex(0, 2, bulk, 0);
    EXPECT_EQ(keysOf(list.items()), (std::vector<int32_t>{-1, 0, 1, 2, 3, 9}));

    PTzSetLastError(0);
    EXPECT_EQ(list.MoveItem(0, 2), -1);
    EXPECT_EQ(PTzGetLastError(), -1);
    EXPECT_EQ(keysOf(list.items()), (std::vector<int32_t>{-1, 0, 1, 2, 3, 9}));

    EXPECT_EQ(list.InsertItem(nullptr, 0), -1);
    EXPECT_EQ(list.GetItemCount(), 6u);
}

// Unsorted edits follow a plain vector; turning sorting back on stable-sorts it.
TEST(OrderList, SortOffKeepsPositionsAndSortOnReSortsStably)
{
    std::mt19937 random(105);
    EntryList list;
    ASSERT_EQ(list.SetSort(0), 0);
    std::vector<Entry> model;
    for (int32_t step = 0; step < 300; ++step) {
        const Entry entry{int32_t(random() % 20), step};
        const uint32_t at = random() % (model.size() + 1);
        ASSERT_EQ(list.InsertItemByIndex(at, &entry, 0), 0);
        model.insert(model.begin() + at, entry);
        const uint32_t from = random() % model.size();
        const uint32_t to = random() % model.size();
        ASSERT_EQ(list.MoveItem(from, to), 0);
        const Entry moving = model[from];
        model.erase(model.begin() + from);
        model.insert(model.begin() + to, moving);
    }
    ASSERT_EQ(list.items(), model);
    ASSERT_EQ(list.SetSort(1), 0);
    std::stable_sort(model.begin(), model.end(), keyBelow);
    EXPECT_EQ(list.items(), model);
    ASSERT_EQ(list.SetSort(0), 0);
    EXPECT_EQ(list.items(), model);
}

TEST(OrderList, MatchesAStableSortedVectorUnderRandomEdits)
{
    std::mt19937 random(1105);
    EntryList list;
    std::vector<Entry> model;
    const auto addToModel = [&model](const Entry& entry) {
        model.push_back(entry);
        std::stable_sort(model.begin(), model.end(), keyBelow);
    };
    for (int32_t step = 0; step < 3000; ++step) {
        const Entry entry{int32_t(random() % 40), step};
        const uint32_t index = random() % (model.size() + 2);
        const uint32_t last = model.empty() ? 0 : std::min<uint32_t>(index, model.size() - 1);
        switch (random() % 6) {
        case 0:
            ASSERT_EQ(list.InsertItem(&entry, 0), 0);
            addToModel(entry);
            break;
        case 1:
            ASSERT_EQ(list.InsertItemByIndex(index, &entry, 0), 0);
            addToModel(entry);
            break;
        case 2: {
            const Entry pair[] = {entry, {int32_t(random() % 40), -step}};
            ASSERT_EQ(list.InsertItemsByIndex(index, 2, pair, 0), 0);
            addToModel(pair[0]);
            addToModel(pair[1]);
            break;
        }
        case 3:
            if (model.empty())
                break;
            ASSERT_EQ(list.SetItemByIndex(index, &entry, 0), 0);
            model.erase(model.begin() + last);
            addToModel(entry);
            break;
        default:
            if (model.empty())
                break;
            Entry removed{};
            ASSERT_EQ(list.RemoveItemByIndex(index, &removed, 0), 0);
            EXPECT_EQ(removed, model[last]);
            model.erase(model.begin() + last);
            break;
        }
        ASSERT_EQ(list.items(), model) << "step " << step;

        if (model.empty())
            continue;
        uint32_t position = 0;
        const Entry probe{int32_t(random() % 42) - 1, 0};
        const auto range = std::equal_range(model.begin(), model.end(), probe, keyBelow);
        if (range.first != range.second) {
            ASSERT_EQ(list.FindItemIndex(&probe, &position), 1);
            EXPECT_EQ(model[position].key, probe.key);
        } else {
            ASSERT_EQ(list.FindItemIndex(&probe, &position), 0);
            EXPECT_EQ(position, uint32_t(range.first - model.begin()));
        }
    }
}

// Records its own destruction, so ownership by the list shows.
class Ranked : public PTzOrderObjectItemBase {
public:
    Ranked(int rank, std::vector<int>& deleted) : m_rank(rank), m_deleted(deleted) {}
    ~Ranked() override { m_deleted.push_back(m_rank); }
    signed char CompareTo(const PTzOrderObjectItemBase* other) const override
    {
        const int theirs = static_cast<const Ranked*>(other)->m_rank;
        return m_rank < theirs ? -1 : m_rank > theirs ? 1 : 0;
    }
    int rank() const { return m_rank; }

private:
    int m_rank;
    std::vector<int>& m_deleted;
};

TEST(OrderObjectList, KeepsObjectsInTheirOwnOrderAndDeletesThem)
{
    std::vector<int> deleted;
    {
        PTzOrderObjectList list;
        EXPECT_EQ(list.GetItemSize(), sizeof(void*));
        EXPECT_EQ(list.GetObjectByIndex(0), nullptr);
        for (const int rank : {30, 10, 20})
            ASSERT_EQ(list.InsertObject(new Ranked(rank, deleted)), 0);
        EXPECT_EQ(list.InsertObject(nullptr), -1);
        ASSERT_EQ(list.GetItemCount(), 3u);
        EXPECT_EQ(static_cast<Ranked*>(list.GetObjectByIndex(0))->rank(), 10);
        EXPECT_EQ(static_cast<Ranked*>(list.GetObjectByIndex(9))->rank(), 30);

        const Ranked probe(20, deleted);
        uint32_t index = 0;
        EXPECT_EQ(list.FindObjectIndex(&probe, &index), 1);
        EXPECT_EQ(index, 1u);
        EXPECT_EQ(list.FindObjectIndex(nullptr, &index), 0);
    }
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<int>{10, 20, 20, 30})) << "the probe and the three listed";
}

}  // namespace
