// The editing lock and its tickets, the ticket guard the tools hold, and undo and redo
// run under the lock through the picture's history.
#include <gtest/gtest.h>

#include <utility>

#include "base/memory.h"
#include "engine/picture/editing_ticket.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_base.h"
#include "engine/tools/tool_factory_test_hooks.h"

namespace {

// A tool kind for the test ID: counts its calls, checks that replays run under the
// lock, and answers with `result`.
struct FakeTool : ITzToolBase {
    static inline int undos = 0, redos = 0, releases = 0, result = 1;
    static inline bool lockedDuringReplay = true;

    int DoUndo(ITzPicture* picture, _tagUNDODATABASE*) override
    {
        ++undos;
        lockedDuringReplay = lockedDuringReplay && !picture->AbleEditing();
        return result;
    }
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE*) override
    {
        ++redos;
        lockedDuringReplay = lockedDuringReplay && !picture->AbleEditing();
        return result;
    }
    int ReleaseUndoData(_tagUNDODATABASE* record) override
    {
        ++releases;
        PTzPointFree(record);
        return 1;
    }
};

constexpr uint32_t kFakeID = PTzFourCC("fake");

ITzToolBase* MakeFake(uint32_t id)
{
    return id == kFakeID ? new FakeTool() : nullptr;
}

class PictureUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeTool::undos = FakeTool::redos = FakeTool::releases = 0;
        FakeTool::result = 1;
        FakeTool::lockedDuringReplay = true;
        ITzTestSetToolMaker(&MakeFake);
    }
    void TearDown() override { ITzTestSetToolMaker(nullptr); }

    static _tagUNDODATABASE* Record()
    {
        auto* record = static_cast<_tagUNDODATABASE*>(PTzPointNew(sizeof(_tagUNDODATABASE)));
        record->toolID = kFakeID;
        return record;
    }
};

}  // namespace

TEST(PictureEditingLock, TicketsAreNeverZeroAndOneIsOutAtATime)
{
    ITzPicture picture;
    EXPECT_EQ(picture.EditingStart(nullptr), 0);
    uint32_t first = 0;
    ASSERT_EQ(picture.EditingStart(&first), 1);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(picture.AbleEditing(), 0);
    uint32_t second = 77;
    EXPECT_EQ(picture.EditingStart(&second), 0);
    EXPECT_EQ(second, 77u);
    EXPECT_EQ(picture.EditingStop(0), 0);
    EXPECT_EQ(picture.EditingStop(first + 1), 0);
    EXPECT_EQ(picture.AbleEditing(), 0);
    EXPECT_EQ(picture.EditingStop(first), 1);
    EXPECT_EQ(picture.EditingStop(first), 0);
    ASSERT_EQ(picture.EditingStart(&second), 1);
    EXPECT_EQ(second, 2u);

    EXPECT_EQ(ITzPicture::NextEditingTicket(0xFFFFFFFFu), 1u);
    EXPECT_EQ(ITzPicture::NextEditingTicket(0), 1u);
    EXPECT_EQ(ITzPicture::NextEditingTicket(41), 42u);
}

TEST(PictureEditingLock, BrokenLockMakesTheOldTicketUseless)
{
    ITzPicture picture;
    EXPECT_EQ(picture.ClearnEditLock(), 1);
    uint32_t ticket = 0;
    picture.EditingStart(&ticket);
    EXPECT_EQ(picture.ClearnEditLock(), 0);
    EXPECT_EQ(picture.AbleEditing(), 1);
    EXPECT_EQ(picture.EditingStop(ticket), 0);
    uint32_t next = 0;
    EXPECT_EQ(picture.EditingStart(&next), 1);
    EXPECT_NE(next, ticket);
}

TEST(EditingTicket, GivesTheLockBackWhenItGoes)
{
    ITzPicture picture;
    {
        ITzEditingTicket guard;
        EXPECT_EQ(guard.Stop(), 0);
        EXPECT_EQ(guard.Start(nullptr), 0);
        ASSERT_EQ(guard.Start(&picture), 1);
        EXPECT_EQ(guard.Start(&picture), 0);
        EXPECT_EQ(guard.GetPicture(), &picture);
        EXPECT_NE(guard.Get(), 0u);
        ITzEditingTicket other;
        EXPECT_EQ(other.Start(&picture), 0);
        EXPECT_EQ(picture.AbleEditing(), 0);
    }
    EXPECT_EQ(picture.AbleEditing(), 1);
}

TEST(EditingTicket, MovesWithoutGivingBackTwice)
{
    ITzPicture a, b;
    ITzEditingTicket first;
    first.Start(&a);
    ITzEditingTicket moved(std::move(first));
    EXPECT_EQ(first.GetPicture(), nullptr);
    EXPECT_EQ(first.Get(), 0u);
    EXPECT_EQ(moved.GetPicture(), &a);
    EXPECT_EQ(a.AbleEditing(), 0);

    ITzEditingTicket onB;
    onB.Start(&b);
    moved = std::move(onB);  // gives a's ticket back first
    EXPECT_EQ(a.AbleEditing(), 1);
    EXPECT_EQ(b.AbleEditing(), 0);
    EXPECT_EQ(moved.Stop(), 1);
    EXPECT_EQ(b.AbleEditing(), 1);
}

TEST_F(PictureUndo, UndoAndRedoRunUnderTheirOwnTicket)
{
    ITzPicture picture;
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_EQ(picture.IsModified(), 0);
    EXPECT_EQ(picture.SaveUndoData(nullptr, 1), 0);
    ASSERT_EQ(picture.SaveUndoData(Record(), 1), 1);
    EXPECT_NE(picture.IsModified(), 0);
    EXPECT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.IsModified(), 0);
    EXPECT_NE(picture.DoRedo(), 0);
    EXPECT_NE(picture.IsModified(), 0);
    EXPECT_EQ(FakeTool::undos, 1);
    EXPECT_EQ(FakeTool::redos, 1);
    EXPECT_TRUE(FakeTool::lockedDuringReplay);
    EXPECT_EQ(picture.AbleEditing(), 1);
}

TEST_F(PictureUndo, RefusedWhileAToolHoldsTheLock)
{
    ITzPicture picture;
    picture.SaveUndoData(Record(), 1);
    ITzEditingTicket tool;
    tool.Start(&picture);
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_EQ(picture.DoRedo(), 0);
    EXPECT_EQ(FakeTool::undos, 0);
    EXPECT_NE(picture.IsModified(), 0);
    tool.Stop();
    EXPECT_NE(picture.DoUndo(), 0);
}

TEST_F(PictureUndo, AFailedUndoIsNotReportedAndFreesTheLock)
{
    ITzPicture picture;
    picture.SaveUndoData(Record(), 1);
    FakeTool::result = 0;
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_EQ(FakeTool::undos, 1);
    EXPECT_NE(picture.IsModified(), 0);
    EXPECT_EQ(picture.AbleEditing(), 1);
}

TEST_F(PictureUndo, ClearModifiedAndDestructionFreeTheHistory)
{
    auto* picture = new ITzPicture();
    picture->SaveUndoData(Record(), 1);
    picture->SaveUndoData(Record(), 0);
    EXPECT_EQ(picture->ClearModified(), 0);
    EXPECT_EQ(FakeTool::releases, 2);
    EXPECT_EQ(picture->IsModified(), 0);
    EXPECT_EQ(picture->DoUndo(), 0);

    picture->SaveUndoData(Record(), 1);
    _tagUNDODATABASE* last = nullptr;
    EXPECT_EQ(picture->GetLastUndoData(&last), 1);
    EXPECT_NE(last, nullptr);
    EXPECT_EQ(ITzPicture::DestoryPicture(picture), 1);
    EXPECT_EQ(FakeTool::releases, 3);
    EXPECT_EQ(ITzPicture::DestoryPicture(nullptr), 0);
}
