// The tool base: tool IDs, the editing ticket a tool holds, the hand-over of its record
// and the replay convention (nonzero exactly when the picture changed).
#include "engine/tools/tool_base.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/memory_test_hooks.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_factory_test_hooks.h"
#include "fake_tool.h"

namespace {

class ToolBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fakeLog = {};
        ITzTestSetToolMaker(MakeFakeTool);
    }
    void TearDown() override
    {
        picture.reset();  // its history releases the records through the fake tools
        ITzTestSetToolMaker(nullptr);
        PTzTestSetAllocationCountdown(-1);
    }

    std::unique_ptr<ITzPicture> picture = std::make_unique<ITzPicture>();
    int document = 0;
};

TEST(ToolIds, MatchTheRecordFormatsTheyName)
{
    EXPECT_EQ(ITzTOOLID_AUTO_CONVERT, 0x61757463u);
    EXPECT_EQ(ITzTOOLID_AUTO_MERGE, 0x6175746Fu);
    EXPECT_EQ(ITzTOOLID_CROP, 0x63726F70u);
    EXPECT_EQ(ITzTOOLID_CUT, 0x63757470u);
    EXPECT_EQ(ITzTOOLID_FILL, 0x66696C6Cu);
    EXPECT_EQ(ITzTOOLID_FLOATING, 0x666C6F74u);
    EXPECT_EQ(ITzTOOLID_LAYER_MANAGER, 0x6C6D616Eu);
    EXPECT_EQ(ITzTOOLID_LAYER_MERGE, 0x6C6D6567u);
    EXPECT_EQ(ITzTOOLID_MASK, 0x6D61736Bu);
    EXPECT_EQ(ITzTOOLID_MOVE, 0x6D6F7665u);
    EXPECT_EQ(ITzTOOLID_PASTE, 0x70617465u);
    EXPECT_EQ(ITzTOOLID_RESIZE, 0x7269737Au);
    EXPECT_EQ(ITzTOOLID_ROTATE_SPECIAL, 0x726F7473u);
    EXPECT_EQ(ITzTOOLID_CONVERT, 0x746F6C63u);
    EXPECT_EQ(ITzTOOLID_TEXT, 0x74747874u);
    EXPECT_EQ(ITzTOOLID_EFFECT, 0x6C656666u);
}

TEST_F(ToolBaseTest, TicketLocksThePictureUntilStopped)
{
    FakeTool tool, other;
    EXPECT_EQ(tool.StartEditing(nullptr), 0);
    ASSERT_EQ(tool.StartEditing(picture.get()), 1);
    const uint32_t ticket = tool.Ticket();
    EXPECT_NE(ticket, 0u);
    EXPECT_EQ(picture->AbleEditing(), 0);
    EXPECT_EQ(other.StartEditing(picture.get()), 0);
    EXPECT_EQ(tool.StartEditing(picture.get()), 0);
    EXPECT_EQ(tool.Ticket(), ticket);

    EXPECT_EQ(tool.StopEditing(nullptr), 0);
    EXPECT_EQ(picture->AbleEditing(), 0);
    EXPECT_EQ(tool.StopEditing(picture.get()), 1);
    EXPECT_EQ(picture->AbleEditing(), 1);
    EXPECT_EQ(tool.Ticket(), 0u);
    EXPECT_EQ(tool.StopEditing(picture.get()), 0);
    EXPECT_EQ(other.StartEditing(picture.get()), 1);
}

TEST_F(ToolBaseTest, StopEditingDropsTheTicketEvenWhenRefused)
{
    FakeTool tool;
    ASSERT_EQ(tool.StartEditing(picture.get()), 1);
    EXPECT_EQ(picture->ClearnEditLock(), 0);
    EXPECT_EQ(tool.StopEditing(picture.get()), 0);
    EXPECT_EQ(tool.Ticket(), 0u);
    EXPECT_EQ(tool.StartEditing(picture.get()), 1);
}

TEST_F(ToolBaseTest, DestroyedToolGivesItsTicketBack)
{
    {
        FakeTool tool;
        ASSERT_EQ(tool.StartEditing(picture.get()), 1);
    }
    EXPECT_EQ(picture->AbleEditing(), 1);
}

TEST_F(ToolBaseTest, UndoAndRedoAreRefusedWhileAToolHoldsTheTicket)
{
    FakeTool painter, holder;
    ASSERT_EQ(painter.Apply(picture.get(), &document, 5), 1);
    ASSERT_EQ(holder.StartEditing(picture.get()), 1);
    EXPECT_EQ(picture->DoUndo(), 0);
    EXPECT_EQ(g_fakeLog.undos, 0);
    EXPECT_EQ(document, 5);
    holder.StopEditing(picture.get());
    EXPECT_EQ(picture->DoUndo(), 1);
    EXPECT_EQ(document, 0);
    ASSERT_EQ(holder.StartEditing(picture.get()), 1);
    EXPECT_EQ(picture->DoRedo(), 0);
    EXPECT_EQ(document, 0);
}

TEST_F(ToolBaseTest, SaveWithoutPictureKeepsThePendingRecord)
{
    FakeTool tool;
    FakeRecord* record = NewFakeRecord(kFakeToolID, &document, 0, 1);
    tool.SetPending(record);
    EXPECT_EQ(tool.SaveUndoData(nullptr, 1), 0);
    EXPECT_EQ(tool.Pending(), &record->head);
    EXPECT_EQ(g_fakeLog.releases, 0);
}

TEST_F(ToolBaseTest, SaveWithoutPendingRecordSavesNothing)
{
    FakeTool tool;
    EXPECT_EQ(tool.SaveUndoData(picture.get(), 1), 0);
    EXPECT_EQ(picture->IsModified(), 0);
    EXPECT_EQ(picture->DoUndo(), 0);
}

TEST_F(ToolBaseTest, SavedRecordBelongsToThePicture)
{
    FakeTool tool;
    FakeRecord* record = NewFakeRecord(kFakeToolID, &document, 0, 1);
    tool.SetPending(record);
    EXPECT_EQ(tool.SaveUndoData(picture.get(), 1), 1);
    EXPECT_EQ(tool.Pending(), nullptr);
    EXPECT_NE(picture->IsModified(), 0);
    picture.reset();
    EXPECT_EQ(g_fakeLog.releases, 1);
}

TEST_F(ToolBaseTest, StepThatDoesNotModifyLeavesThePictureClean)
{
    FakeTool tool;
    ASSERT_EQ(tool.Apply(picture.get(), &document, 3, 0), 1);
    EXPECT_EQ(picture->IsModified(), 0);
}

TEST_F(ToolBaseTest, RefusedRecordIsReleasedAndTheStepDropped)
{
    FakeTool tool;
    FakeRecord* record = NewFakeRecord(kFakeToolID, &document, 0, 1);
    tool.SetPending(record);
    PTzTestSetAllocationCountdown(0);  // the history cannot grow
    EXPECT_EQ(tool.SaveUndoData(picture.get(), 1), 0);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(tool.Pending(), nullptr);
    EXPECT_EQ(g_fakeLog.releases, 1);
    EXPECT_EQ(picture->IsModified(), 0);
    EXPECT_EQ(picture->DoUndo(), 0);
}

TEST_F(ToolBaseTest, UndoAndRedoReplayTheStepWithThePicture)
{
    FakeTool tool;
    ASSERT_EQ(tool.Apply(picture.get(), &document, 5), 1);
    EXPECT_EQ(picture->DoUndo(), 1);
    EXPECT_EQ(document, 0);
    EXPECT_EQ(g_fakeLog.picture, picture.get());
    EXPECT_EQ(picture->IsModified(), 0);
    EXPECT_EQ(picture->DoRedo(), 1);
    EXPECT_EQ(document, 5);
    EXPECT_NE(picture->IsModified(), 0);
    EXPECT_EQ(picture->AbleEditing(), 1);
}

TEST_F(ToolBaseTest, StepWhoseUndoFailsKeepsItsPlace)
{
    FakeTool good, stuck(kStuckToolID);
    ASSERT_EQ(good.Apply(picture.get(), &document, 5), 1);
    ASSERT_EQ(stuck.Apply(picture.get(), &document, 7), 1);

    EXPECT_EQ(picture->DoUndo(), 0);
    _tagUNDODATABASE* failed = g_fakeLog.record;
    EXPECT_EQ(failed->toolID, kStuckToolID);
    EXPECT_EQ(document, 7);
    EXPECT_NE(picture->IsModified(), 0);
    EXPECT_EQ(picture->DoRedo(), 0);  // nothing was undone, so nothing is redoable
    EXPECT_EQ(g_fakeLog.redos, 0);

    // The next undo tries the same step again instead of skipping to the one below.
    EXPECT_EQ(picture->DoUndo(), 0);
    EXPECT_EQ(g_fakeLog.record, failed);
    EXPECT_EQ(g_fakeLog.undos, 2);
    EXPECT_EQ(document, 7);
}

}  // namespace
