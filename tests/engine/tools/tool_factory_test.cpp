// The undo factory: one fresh tool per dispatch, the tool's own result passed on, and
// records of unknown kinds left untouched.
#include "engine/tools/tool_factory.h"

#include <gtest/gtest.h>

#include "engine/picture/picture.h"
#include "engine/tools/tool_factory_test_hooks.h"
#include "fake_tool.h"

namespace {

TEST(ToolFactory, UnknownIdsMakeNoToolAndLeaveTheRecord)
{
    ITzPicture picture;
    for (const uint32_t id : {ITzTOOLID_NONE, PTzFourCC("zzzz")}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(CreateToolByID(id), nullptr);
        _tagUNDODATABASE* record = &NewFakeRecord(id, nullptr, 0, 0)->head;
        EXPECT_EQ(DoUndoByToolID(record, &picture), 0);
        EXPECT_EQ(DoRedoByToolID(record, &picture), 0);
        EXPECT_EQ(ReleaseUndoDataByToolID(record), 0);
        EXPECT_EQ(record->toolID, id);
        PTzPointFree(record);  // a dispatcher that freed it would make this a double free
    }
}

// Every engine tool that saves records is made again for their ID, and carries it.
TEST(ToolFactory, EveryRecordingToolIsMadeForItsID)
{
    for (const uint32_t id :
         {ITzTOOLID_AUTO_CONVERT, ITzTOOLID_AUTO_MERGE, ITzTOOLID_CROP, ITzTOOLID_CUT, ITzTOOLID_EFFECT, ITzTOOLID_FILL,
          ITzTOOLID_FLOATING, ITzTOOLID_LAYER_MANAGER, ITzTOOLID_LAYER_MERGE, ITzTOOLID_MASK, ITzTOOLID_MOVE,
          ITzTOOLID_PASTE, ITzTOOLID_RESIZE, ITzTOOLID_ROTATE_SPECIAL, ITzTOOLID_CONVERT, ITzTOOLID_TEXT}) {
        ITzToolBase* tool = CreateToolByID(id);
        ASSERT_NE(tool, nullptr) << id;
        EXPECT_EQ(tool->GetToolID(), id);
        DestroyTool(tool);
    }
}

TEST(ToolFactory, NullRecordAndNullToolAreHarmless)
{
    EXPECT_EQ(DoUndoByToolID(nullptr, nullptr), 0);
    EXPECT_EQ(DoRedoByToolID(nullptr, nullptr), 0);
    EXPECT_EQ(ReleaseUndoDataByToolID(nullptr), 0);
    EXPECT_EQ(DestroyTool(nullptr), 1);
}

class ToolDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fakeLog = {};
        ITzTestSetToolMaker(MakeFakeTool);
    }
    void TearDown() override
    {
        ITzTestSetToolMaker(nullptr);
        PTzPointFree(record);
        EXPECT_EQ(g_fakeLog.made, g_fakeLog.destroyed);
    }
    _tagUNDODATABASE* NewRecord(uint32_t id)
    {
        record = &NewFakeRecord(id, &document, 1, 2)->head;
        return record;
    }

    ITzPicture picture;
    int document = 0;
    _tagUNDODATABASE* record = nullptr;
};

TEST_F(ToolDispatch, UndoAndRedoGiveTheToolsResult)
{
    NewRecord(kFakeToolID);
    EXPECT_EQ(DoUndoByToolID(record, &picture), 1);
    EXPECT_EQ(document, 1);
    EXPECT_EQ(g_fakeLog.picture, &picture);
    EXPECT_EQ(g_fakeLog.record, record);
    EXPECT_EQ(DoRedoByToolID(record, &picture), 1);
    EXPECT_EQ(document, 2);
    EXPECT_EQ(g_fakeLog.made, 2);
}

TEST_F(ToolDispatch, FailedReplayIsReportedAsNotDone)
{
    NewRecord(kStuckToolID);
    EXPECT_EQ(DoUndoByToolID(record, &picture), 0);
    EXPECT_EQ(DoRedoByToolID(record, &picture), 0);
    EXPECT_EQ(g_fakeLog.undos, 1);
    EXPECT_EQ(g_fakeLog.redos, 1);
    EXPECT_EQ(document, 0);
}

TEST_F(ToolDispatch, ReleaseFreesTheRecordThroughItsTool)
{
    _tagUNDODATABASE* released = NewRecord(kFakeToolID);
    record = nullptr;  // the tool frees it; a leak shows under LeakSanitizer
    EXPECT_EQ(ReleaseUndoDataByToolID(released), 1);
    EXPECT_EQ(g_fakeLog.releases, 1);
}

}  // namespace
