// The resize tool: the stepwise resize of every layer, its progress, undo and redo
// across block borders, and jobs that fail or are cancelled halfway.
#include "engine/tools/tool_resize.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/pixels/resample.h"
#include "tool_resize_test_support.h"

using namespace floating_test;
using namespace picture_job_test;

namespace {

constexpr _tagPTzSIZE kPictureSize = {600, 520};

class ResizeTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptedLayer::Reset(); }

    // Runs the job to its end; the results of the run calls in `runs`.
    int Resize(_tagPTzSIZE size, uint32_t type, std::vector<uint32_t>* progress = nullptr)
    {
        EXPECT_EQ(tool.StartEditing(&picture), 1);
        void* job = tool.ResizePictureStart(&picture, &size, type);
        EXPECT_NE(job, nullptr);
        uint32_t percent = 0;
        while (true) {
            const int ends = ScriptedLayer::ends;
            const int result = tool.ResizePicture(job, &percent);
            if (ScriptedLayer::ends != ends)
                completions.push_back(result);
            if (progress)
                progress->push_back(percent);
            ++runs;
            if (!result)
                break;
        }
        const int result = tool.ResizePictureEnd(job);
        tool.StopEditing(&picture);
        return result;
    }

    ITzPicture picture;
    ITzToolResize tool;
    std::vector<int> completions;  // the run results of the calls that finished a layer
    int runs = 0;
};

TEST_F(ResizeTest, StartRefusesBadArguments)
{
    MakeScriptedPicture(picture, 1, kPictureSize);
    const _tagPTzSIZE good = {300, 200};
    const _tagPTzSIZE bad[] = {{0, 200}, {300, 0}, {-5, 200}, {300, -1}};
    for (const _tagPTzSIZE& size : bad)
        EXPECT_EQ(tool.ResizePictureStart(&picture, &size, ITzRESAMPLE_NEAREST), nullptr);
    EXPECT_EQ(tool.ResizePictureStart(nullptr, &good, ITzRESAMPLE_NEAREST), nullptr);
    EXPECT_EQ(tool.ResizePictureStart(&picture, nullptr, ITzRESAMPLE_NEAREST), nullptr);
    EXPECT_EQ(tool.ResizePictureStart(&picture, &good, ITzRESAMPLE_RESERVED), nullptr);
    ITzPicture sizeless;
    EXPECT_EQ(tool.ResizePictureStart(&sizeless, &good, ITzRESAMPLE_NEAREST), nullptr);
    EXPECT_EQ(tool.ResizePicture(nullptr, nullptr), 0);
    EXPECT_EQ(tool.ResizePictureEnd(nullptr), 1);
    EXPECT_EQ(tool.ResizePictureCancel(nullptr), 1);
}

TEST_F(ResizeTest, EveryLayerButTheLastCompletesWithOneAndTheLastWithZero)
{
    MakeScriptedPicture(picture, 3, kPictureSize);
    EXPECT_EQ(Resize({300, 260}, ITzRESAMPLE_NEAREST), 1);
    EXPECT_EQ(completions, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(ScriptedLayer::ends, 3);
}

TEST_F(ResizeTest, NearestDoublingRepeatsEveryPixel)
{
    MakeScriptedPicture(picture, 1, kPictureSize, {0, 0, 300, 270});
    const Snapshot source = Take(ImageLayer(picture, 0));
    ASSERT_EQ(Resize({1200, 1040}, ITzRESAMPLE_NEAREST), 1);
    const Snapshot doubled = Take(ImageLayer(picture, 0));
    ASSERT_TRUE(SameRect(doubled.bounds, {0, 0, 600, 540}));
    for (int32_t y = 0; y < 540; ++y)
        for (int32_t x = 0; x < 600; ++x)
            for (int32_t byte = 0; byte < 4; ++byte)
                ASSERT_EQ(doubled.pixels[size_t((y * 600 + x) * 4 + byte)],
                          source.pixels[size_t(((y / 2) * 300 + x / 2) * 4 + byte)])
                    << x << "," << y;
}

TEST_F(ResizeTest, UndoAndRedoGiveExactPixelsAcrossBlockBorders)
{
    for (const uint32_t type : {ITzRESAMPLE_NEAREST, ITzRESAMPLE_BILINEAR}) {
        SCOPED_TRACE(type);
        ITzPicture local;
        MakePicture(local, 2, {0, 0, 600, 520});
        // A third layer off the picture's corner, over other block borders.
        auto* offset = new ITzLayerImageARGB();
        const PTzRECT bounds = {-40, 200, 380, 610};
        offset->SetSize(&bounds, 1);
        Pattern(offset, {0, 0, 420, 410}, 99);
        local.InsertLayer(1, offset);
        local.GetLayerbyIndex(2)->SetLinkNumber(local.GetLayerbyIndex(0)->GetLinkNumber());
        const PictureShot before = Shoot(local);

        ITzToolResize resize;
        const _tagPTzSIZE size = {700, 300};
        void* job = resize.ResizePictureStart(&local, &size, type);
        ASSERT_NE(job, nullptr);
        while (resize.ResizePicture(job, nullptr)) {
        }
        ASSERT_EQ(resize.ResizePictureEnd(job), 1);
        const PictureShot after = Shoot(local);
        EXPECT_EQ(after.size.cx, 700);
        EXPECT_EQ(after.size.cy, 300);
        EXPECT_EQ(after.links, before.links);
        _tagUNDODATABASE* record = nullptr;
        ASSERT_EQ(local.GetLastUndoData(&record), 1);
        EXPECT_EQ(record->toolID, ITzTOOLID_RESIZE);

        for (int round = 0; round < 2; ++round) {
            ASSERT_NE(local.DoUndo(), 0);
            ExpectSame(Shoot(local), before, true);
            ASSERT_NE(local.DoRedo(), 0);
            ExpectSame(Shoot(local), after, true);
        }
    }
}

TEST_F(ResizeTest, ProgressRisesToAHundredAndNeverPassesIt)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    std::vector<uint32_t> progress;
    ASSERT_EQ(Resize({900, 780}, ITzRESAMPLE_BILINEAR, &progress), 1);
    ASSERT_FALSE(progress.empty());
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1], progress[i]);
    EXPECT_EQ(progress.back(), 100u);
}

TEST_F(ResizeTest, APictureOfOnlyEmptyLayersResizesAtZeroPercent)
{
    picture.Create(600, 520);
    picture.InsertLayer(0, new ScriptedLayer());
    picture.InsertLayer(1, new ScriptedLayer());
    std::vector<uint32_t> progress;
    ASSERT_EQ(Resize({200, 100}, ITzRESAMPLE_BILINEAR, &progress), 1);
    EXPECT_EQ(progress, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(completions, (std::vector<int>{1, 0}));
    _tagPTzSIZE size;
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(size.cy, 100);
    ASSERT_NE(picture.DoUndo(), 0);
    picture.GetSize(&size);
    EXPECT_EQ(size.cx, 600);
}

TEST_F(ResizeTest, AJobFailingInItsThirdStepLeavesThePictureUntouched)
{
    MakeScriptedPicture(picture, 3, kPictureSize, {0, 0, 200, 200});
    const PictureShot before = Shoot(picture);
    ScriptedLayer::Reset(3);
    EXPECT_EQ(Resize({300, 260}, ITzRESAMPLE_BILINEAR), 0);
    EXPECT_EQ(runs, 3);
    ExpectSame(Shoot(picture), before, true);
    EXPECT_FALSE(HasUndoStep(picture));
}

TEST_F(ResizeTest, CancelOrAnEarlyEndLeavesThePictureUntouched)
{
    MakeScriptedPicture(picture, 2, kPictureSize);
    const PictureShot before = Shoot(picture);
    const _tagPTzSIZE size = {300, 260};
    for (const bool cancel : {true, false}) {
        void* job = tool.ResizePictureStart(&picture, &size, ITzRESAMPLE_NEAREST);
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(tool.ResizePicture(job, nullptr), 1);
        EXPECT_EQ(cancel ? tool.ResizePictureCancel(job) : tool.ResizePictureEnd(job), cancel ? 1 : 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_FALSE(HasUndoStep(picture));
    }
}

}  // namespace
