// The rotate tool: the stepwise turn of every layer and the selection, its progress,
// undo and redo across block borders, and jobs that fail or are cancelled halfway.
#include "engine/tools/tool_rotate_special.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/pixels/rotate.h"
#include "tool_resize_test_support.h"

using namespace floating_test;
using namespace picture_job_test;

namespace {

constexpr _tagPTzSIZE kPictureSize = {600, 520};
constexpr PTzRECT kSelected = {100, 240, 330, 300};

class RotateTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptedLayer::Reset(); }

    int Rotate(uint32_t type, std::vector<uint32_t>* progress = nullptr)
    {
        EXPECT_EQ(tool.StartEditing(&picture), 1);
        void* job = tool.RotatePictureStart(&picture, type);
        EXPECT_NE(job, nullptr);
        uint32_t percent = 0;
        while (true) {
            const int result = tool.RotatePicture(job, &percent);
            results.push_back(result);
            if (progress)
                progress->push_back(percent);
            if (!result)
                break;
        }
        const int result = tool.RotatePictureEnd(job);
        tool.StopEditing(&picture);
        return result;
    }

    ITzPicture picture;
    ITzToolRotateSpecial tool;
    std::vector<int> results;
};

TEST_F(RotateTest, StartRefusesTypeZeroAndUnknownTypes)
{
    MakeScriptedPicture(picture, 1, kPictureSize);
    EXPECT_EQ(tool.RotatePictureStart(&picture, ITzROTATS_NONE), nullptr);
    EXPECT_EQ(tool.RotatePictureStart(&picture, 4), nullptr);
    EXPECT_EQ(tool.RotatePictureStart(nullptr, ITzROTATS_HALF), nullptr);
    EXPECT_EQ(tool.RotatePicture(nullptr, nullptr), 0);
    EXPECT_EQ(tool.RotatePictureEnd(nullptr), 1);
    EXPECT_EQ(tool.RotatePictureCancel(nullptr), 1);
}

// A point (x, y) of a W x H picture lies at (H - 1 - y, x) after a clockwise quarter turn.
TEST_F(RotateTest, AClockwiseTurnMovesEveryPixelAndSwapsTheSize)
{
    MakeScriptedPicture(picture, 1, kPictureSize);
    const Snapshot before = Take(ImageLayer(picture, 0));
    ASSERT_EQ(Rotate(ITzROTATS_CLOCKWISE), 1);
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 520);
    EXPECT_EQ(size.cy, 600);
    const Snapshot after = Take(ImageLayer(picture, 0));
    ASSERT_TRUE(SameRect(after.bounds, {0, 0, 520, 600}));
    for (int32_t y = 0; y < 520; ++y)
        for (int32_t x = 0; x < 600; ++x)
            for (int32_t byte = 0; byte < 4; ++byte)
                ASSERT_EQ(after.pixels[size_t((x * 520 + (519 - y)) * 4 + byte)],
                          before.pixels[size_t((y * 600 + x) * 4 + byte)])
                    << x << "," << y;
}

TEST_F(RotateTest, TheSelectionTurnsWithThePicture)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    ASSERT_NE(Select(picture, kSelected), nullptr);
    for (const uint32_t type : {ITzROTATS_CLOCKWISE, ITzROTATS_COUNTERCLOCKWISE, ITzROTATS_HALF}) {
        SCOPED_TRACE(type);
        const PictureShot before = Shoot(picture);
        _tagPTzSIZE size;
        picture.GetSize(&size);
        PTzRECT turned;
        ITzRotatedRect(&kSelected, &size, type, &turned);
        ASSERT_EQ(Rotate(type), 1);
        EXPECT_TRUE(SameRect(SelectionBounds(picture), turned));
        ASSERT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_TRUE(SameRect(SelectionBounds(picture), kSelected));
    }
}

TEST_F(RotateTest, UndoAndRedoGiveExactPixelsAcrossBlockBorders)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    auto* offset = new ITzLayerImageARGB();
    const PTzRECT bounds = {-30, 250, 410, 700};
    offset->SetSize(&bounds, 1);
    Pattern(offset, {0, 0, 440, 450}, 17);
    picture.InsertLayer(1, offset);
    Select(picture, kSelected);
    const PictureShot before = Shoot(picture);
    ASSERT_EQ(Rotate(ITzROTATS_COUNTERCLOCKWISE), 1);
    const PictureShot after = Shoot(picture);
    EXPECT_EQ(after.links, before.links);
    _tagUNDODATABASE* record = nullptr;
    ASSERT_EQ(picture.GetLastUndoData(&record), 1);
    EXPECT_EQ(record->toolID, ITzTOOLID_ROTATE_SPECIAL);
    for (int round = 0; round < 2; ++round) {
        ASSERT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        ASSERT_NE(picture.DoRedo(), 0);
        ExpectSame(Shoot(picture), after, true);
    }
}

TEST_F(RotateTest, TheLastLayerEndsTheJobOnlyWithoutASelection)
{
    // One block before and after the turn: one step a layer.
    MakeScriptedPicture(picture, 3, kPictureSize, {100, 100, 200, 200});
    ASSERT_EQ(Rotate(ITzROTATS_HALF), 1);
    EXPECT_EQ(results, (std::vector<int>{1, 1, 0}));
    results.clear();
    Select(picture, kSelected);
    ASSERT_EQ(Rotate(ITzROTATS_HALF), 1);
    ASSERT_GE(results.size(), 4u);
    EXPECT_EQ(results[2], 1);  // the selection follows
    EXPECT_EQ(results.back(), 0);
}

TEST_F(RotateTest, ProgressCountsTheSelectionAndNeverPassesAHundred)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    Select(picture, {0, 0, 600, 520});
    std::vector<uint32_t> progress;
    ASSERT_EQ(Rotate(ITzROTATS_CLOCKWISE, &progress), 1);
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1], progress[i]);
    EXPECT_EQ(progress.back(), 100u);
}

TEST_F(RotateTest, APictureWithoutBlocksTurnsAtZeroPercent)
{
    picture.Create(600, 520);
    picture.InsertLayer(0, new ScriptedLayer());
    std::vector<uint32_t> progress;
    ASSERT_EQ(Rotate(ITzROTATS_CLOCKWISE, &progress), 1);
    EXPECT_EQ(progress, std::vector<uint32_t>{0});
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 520);
}

TEST_F(RotateTest, AJobFailingInItsThirdStepLeavesThePictureUntouched)
{
    MakeScriptedPicture(picture, 3, kPictureSize);
    Select(picture, kSelected);
    const PictureShot before = Shoot(picture);
    ScriptedLayer::Reset(3);
    EXPECT_EQ(Rotate(ITzROTATS_CLOCKWISE), 0);
    EXPECT_EQ(results.size(), 3u);
    ExpectSame(Shoot(picture), before, true);
    EXPECT_FALSE(HasUndoStep(picture));
}

TEST_F(RotateTest, CancelOrAnEarlyEndLeavesThePictureUntouched)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    Select(picture, kSelected);
    const PictureShot before = Shoot(picture);
    for (const bool cancel : {true, false}) {
        void* job = tool.RotatePictureStart(&picture, ITzROTATS_HALF);
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(tool.RotatePicture(job, nullptr), 1);
        EXPECT_EQ(cancel ? tool.RotatePictureCancel(job) : tool.RotatePictureEnd(job), cancel ? 1 : 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_FALSE(HasUndoStep(picture));
    }
}

}  // namespace
