// Undo block lists: item sizes per block type, and who frees the channel handles.
#include "engine/pixels/undo_block_list.h"

#include <gtest/gtest.h>

#include "base/memory_test_hooks.h"

namespace {

_tagITzUNDOBLOCKITEMARGB argbItem(uint32_t blockIndex)
{
    _tagITzUNDOBLOCKITEMARGB item{};
    item.blockIndex = blockIndex;
    item.info.flags = ITzBLOCK_PRESENT;
    for (PTzHANDLE& channel : item.info.channels)
        channel = PTzHandleNew(65536);
    return item;
}

TEST(UndoBlockList, GrayListTakesOnlyGrayItems)
{
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_GRAY);
    _tagITzUNDOBLOCKITEMGRAY gray{7, {nullptr, 200, ITzBLOCK_PRESENT}};
    EXPECT_EQ(list.AddItem(&gray, sizeof(_tagITzUNDOBLOCKITEMARGB)), 0);
    EXPECT_EQ(list.AddItem(&gray, sizeof gray), 1);
    EXPECT_EQ(list.AddItem(&gray, 0), 1);
    EXPECT_EQ(list.AddItem(nullptr, 0), 0);
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetBlockIndexOfItem(1), 7u);

    _tagITzUNDOBLOCKITEMGRAY out{};
    EXPECT_EQ(list.GetItem(0, &out, sizeof out - 1), 0) << "a buffer smaller than an item";
    EXPECT_EQ(list.GetItem(0, &out, sizeof out), 1);
    EXPECT_EQ(out.info.constant, 200);
    EXPECT_EQ(list.GetItem(2, &out, sizeof out), 0);
}

TEST(UndoBlockList, SetItemReplacesAndBlockIndexHelpersReadTheFirstWord)
{
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    _tagITzUNDOBLOCKITEMARGB item{};
    ASSERT_EQ(list.AddItem(&item, 0), 1);
    EXPECT_EQ(ITzUndoBlockListBase::SetItemBlockIndex(&item, 42), 1);
    EXPECT_EQ(ITzUndoBlockListBase::GetItemBlockIndex(&item), 42u);
    EXPECT_EQ(list.SetItem(0, &item, 0), 0) << "a set names the exact size";
    EXPECT_EQ(list.SetItem(0, &item, sizeof item), 1);
    EXPECT_EQ(list.GetBlockIndexOfItem(0), 42u);
    EXPECT_EQ(list.SetItem(1, &item, sizeof item), 0);
}

TEST(UndoBlockList, DestructionFreesTheHandlesOfItemsStillHeld)
{
    // Under the sanitizers a leak or a double free here fails the run.
    _tagITzUNDOBLOCKITEMARGB removed = argbItem(1);
    {
        ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
        _tagITzUNDOBLOCKITEMARGB kept = argbItem(2);
        ASSERT_EQ(list.AddItem(&removed, 0), 1);
        ASSERT_EQ(list.AddItem(&kept, 0), 1);
        ASSERT_EQ(list.RemoveItem(0), 1);
        EXPECT_EQ(list.GetCount(), 1u);
    }
    for (PTzHANDLE channel : removed.info.channels) {
        ASSERT_NE(PTzHandleLock(channel), nullptr) << "a removed item's handles stay alive";
        PTzHandleUnlock(channel);
        EXPECT_EQ(PTzHandleFree(channel), nullptr);
    }
}

TEST(UndoBlockList, WithoutAStoreEveryOperationFails)
{
    PTzTestSetAllocationCountdown(0);
    ITzUndoTwoLevelBlockList list(ITzBLOCKTYPE_ARGB);
    PTzTestSetAllocationCountdown(-1);
    _tagITzUNDOBLOCKITEMARGB item{};
    EXPECT_EQ(list.AddItem(&item, 0), 0);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.GetItem(0, &item, sizeof item), 0);
}

}  // namespace
