// Reference counting and the shared-item cache, checked against a key -> holders map.
#include "base/reference_list.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace {

// Keyed by an int build value; negative values build nothing. Records deletions.
class Keyed : public PTzReferenceBase {
public:
    explicit Keyed(std::vector<int>& deleted) : m_deleted(deleted) {}
    ~Keyed() override { m_deleted.push_back(m_key); }

    int SetBuildData(const void* data) override
    {
        m_key = *static_cast<const int*>(data);
        return m_key >= 0;
    }
    signed char CompareTo(const PTzReferenceBase* other) const override
    {
        const int theirs = static_cast<const Keyed*>(other)->m_key;
        return m_key < theirs ? -1 : m_key > theirs ? 1 : 0;
    }
    int key() const { return m_key; }

private:
    int m_key = -1;
    std::vector<int>& m_deleted;
};

class KeyedList : public PTzReferenceListBase {
public:
    explicit KeyedList(std::vector<int>& deleted) : m_deleted(deleted) {}

    PTzReferenceBase* NewItem() override { return failNew ? nullptr : new Keyed(m_deleted); }

    Keyed* create(int key) { return static_cast<Keyed*>(CreateItem(&key)); }
    std::vector<int> keys()
    {
        std::vector<int> result;
        for (uint32_t i = 0; i < GetItemCount(); ++i) {
            PTzReferenceBase* item = nullptr;
            GetItemByIndex(i, &item, 0);
            result.push_back(static_cast<Keyed*>(item)->key());
        }
        return result;
    }

    bool failNew = false;

private:
    std::vector<int>& m_deleted;
};

TEST(ReferenceBase, DecreaseDeletesOnlyTheLastHolder)
{
    std::vector<int> deleted;
    auto* item = new Keyed(deleted);
    EXPECT_EQ(item->ReferenceIncrease(), 1);
    EXPECT_EQ(item->ReferenceDecrease(), 0);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(item->ReferenceDecrease(), 1);
    EXPECT_EQ(deleted.size(), 1u);
}

TEST(ReferenceList, EqualBuildDataSharesOneItemUntilBothRelease)
{
    std::vector<int> deleted;
    KeyedList list(deleted);
    Keyed* first = list.create(5);
    Keyed* second = list.create(5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(list.GetItemCount(), 1u);
    EXPECT_EQ(deleted, std::vector<int>{5}) << "the duplicate candidate is deleted";

    EXPECT_EQ(list.ReleaseItem(first), 1);
    EXPECT_EQ(list.GetItemCount(), 1u);
    EXPECT_EQ(list.ReleaseItem(first), 1);
    EXPECT_EQ(list.GetItemCount(), 0u);
    EXPECT_EQ(deleted, (std::vector<int>{5, 5}));
}

TEST(ReferenceList, FailedBuildsListNothing)
{
    std::vector<int> deleted;
    KeyedList list(deleted);
    EXPECT_EQ(list.create(-3), nullptr);
    EXPECT_EQ(deleted, std::vector<int>{-3});
    list.failNew = true;
    EXPECT_EQ(list.create(1), nullptr);
    EXPECT_EQ(list.GetItemCount(), 0u);
}

TEST(ReferenceList, ReleaseRefusesItemsItDoesNotHold)
{
    std::vector<int> deleted;
    KeyedList list(deleted);
    Keyed* listed = list.create(2);
    Keyed outsider(deleted);
    const int two = 2;
    outsider.SetBuildData(&two);
    EXPECT_EQ(list.ReleaseItem(&outsider), 0) << "equal key, different object";
    EXPECT_EQ(list.ReleaseItem(nullptr), 0);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(list.ReleaseItem(listed), 1);
    EXPECT_EQ(deleted, std::vector<int>{2});
    EXPECT_EQ(list.ReleaseItem(&outsider), 0) << "an empty list holds nothing";
}

TEST(ReferenceList, CreateByIndexAddsAHolder)
{
    std::vector<int> deleted;
    KeyedList list(deleted);
    EXPECT_EQ(list.CreateItemByIndex(0), nullptr);
    list.create(7);
    Keyed* three = list.create(3);
    EXPECT_EQ(list.CreateItemByIndex(0), three);
    EXPECT_EQ(list.ReleaseItem(three), 1);
    EXPECT_EQ(list.keys(), (std::vector<int>{3, 7})) << "one holder is left";
    EXPECT_EQ(list.ReleaseItem(three), 1);
    EXPECT_EQ(list.keys(), std::vector<int>{7});
}

TEST(ReferenceList, DestructionDeletesEveryItemFromTheLast)
{
    std::vector<int> deleted;
    {
        KeyedList list(deleted);
        for (const int key : {4, 1, 3, 1})
            list.create(key);
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 4, 3, 1})) << "the duplicate 1 first, then last to first";
}

TEST(ReferenceList, MatchesAHolderCountModelUnderRandomUse)
{
    std::mt19937 random(1105);
    std::vector<int> deleted;
    KeyedList list(deleted);
    std::map<int, int> holders;
    std::map<int, Keyed*> items;
    size_t expectedDeletions = 0;
    for (int step = 0; step < 4000; ++step) {
        const int key = int(random() % 60);
        if (random() % 2) {
            Keyed* item = list.create(key);
            ASSERT_NE(item, nullptr);
            if (holders[key]++ > 0) {
                EXPECT_EQ(item, items[key]);
                ++expectedDeletions;
            }
            items[key] = item;
        } else if (holders[key] > 0) {
            ASSERT_EQ(list.ReleaseItem(items[key]), 1);
            if (--holders[key] == 0)
                ++expectedDeletions;
        }
        std::vector<int> keys;
        for (const auto& [k, count] : holders)
            if (count > 0)
                keys.push_back(k);
        ASSERT_EQ(list.keys(), keys) << "step " << step;
        ASSERT_EQ(deleted.size(), expectedDeletions);
    }
}

}  // namespace
