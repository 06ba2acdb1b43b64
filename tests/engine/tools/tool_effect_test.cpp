// The brightness and contrast effect: its tone table, the blend through the selection
// against a scalar model, the run with its ticket and progress, cancel, and the 'leff'
// step undone, redone and freed through the undo factory.
#include "engine/tools/tool_effect_brightnees_contrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/memory_test_hooks.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/merge_math.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_factory.h"
#include "floating_test_support.h"
#include "paint_tool_support.h"

namespace {

using floating_test::Colour;
using floating_test::MakePicture;
using floating_test::Snapshot;
using floating_test::Take;
using lumatra::merge::Mul255;

// A layer kind of the tests' own that is no image layer.
class PlainLayer : public ITzLayerBase {};

ITzLayerImage* ImageLayer(ITzPicture& picture, uint16_t index)
{
    return static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(index));
}

// Runs the effect to its end: the handle (null when it did not start).
void* RunToEnd(ITzToolEffectBrightneesContrast& tool, uint32_t* progress = nullptr)
{
    void* handle = tool.EffectStart();
    if (handle)
        while (tool.EffectRun(handle, progress)) {
        }
    return handle;
}

int Apply(ITzPicture& picture, int8_t k, int8_t m)
{
    ITzToolEffectBrightneesContrast tool;
    tool.SetParameters(&picture, k, m);
    void* handle = RunToEnd(tool);
    return handle ? tool.EffectApply(handle) : 0;
}

// The tone table as the effect states it, for the model.
std::vector<uint8_t> ToneTable(int k, int m)
{
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i) {
        const int divisor = 255 - 2 * k;
        const int value = i + k > 255 - k ? 255 : ((k - m + i) * 255 + (divisor >> 1)) / divisor;
        table[size_t(i)] = uint8_t(std::clamp(value, 0, 255));
    }
    return table;
}

// Installs a selection of the given values over the picture rectangle, through the
// selection's floating layer so that its bounds follow.
void SelectValues(ITzPicture& picture, const PTzRECT& rect, std::vector<uint8_t> values)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    ASSERT_NE(selection, nullptr);
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    floating_test::FillGray(floating, rect, 0);
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    _tagITzBITMAP bitmap = {width, height, width, 8, int32_t(PTzCOLORMODE_GRAY), values.data()};
    PTzRECT local;
    floating->PRECTtoLRECT(&rect, &local);
    ASSERT_EQ(floating->SetRectData(&local, &bitmap), 0);
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    ITzLayerBase::DestroyLayer(selection->MergeFlatingLayer(&undo));
}

std::vector<uint8_t> SelectionValues(ITzPicture& picture, const PTzRECT& rect)
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<uint8_t> values(size_t(width) * size_t(height), 0);
    _tagITzBITMAP bitmap = {width, height, width, 8, int32_t(PTzCOLORMODE_GRAY), values.data()};
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    PTzRECT local;
    selection->PRECTtoLRECT(&rect, &local);
    selection->GetRectData(&local, &bitmap);
    return values;
}

TEST(BrightnessContrast, ToneTableKeepsIdentityAndClampsAtTheExtremesWithSignedDivision)
{
    struct Case {
        int8_t k, m;
        std::vector<std::pair<int, int>> entries;  // input, output
    };
    std::vector<std::pair<int, int>> identity;
    for (int i = 0; i < 256; ++i)
        identity.emplace_back(i, i);
    const Case cases[] = {
        {0, 0, identity},
        {127, 127, {{0, 0}, {1, 255}, {2, 255}, {255, 255}}},
        {127, -128, {{0, 255}}},
        {-128, 0, {{0, 0}, {128, 0}, {255, 63}}},
        {-128, -128, {{255, 127}}},
        {-128, 127, {{0, 0}, {255, 0}}},
        // Negative numerators give 0, never a wrapped large value.
        {0, 127, {{0, 0}, {127, 0}, {128, 1}, {255, 128}}},
        {-1, 0, {{0, 0}, {255, 252}}},
        {0, -128, {{0, 128}, {200, 255}}},
        {64, 0, {{0, 129}, {126, 255}, {127, 255}, {128, 255}}},
        {10, 5, {{100, 114}}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << int(test.k) << ", " << int(test.m));
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 256, 2});
        ITzLayerImage* layer = ImageLayer(picture, 0);
        std::vector<uint8_t> ramp(256 * 2 * 4);
        for (size_t i = 0; i < ramp.size(); i += 4)
            ramp[i] = 255, ramp[i + 1] = ramp[i + 2] = ramp[i + 3] = uint8_t(i / 4 % 256);
        _tagITzBITMAP bitmap = {256, 2, 256 * 4, 32, int32_t(PTzCOLORMODE_ARGB), ramp.data()};
        const PTzRECT all = {0, 0, 256, 2};
        layer->SetRectData(&all, &bitmap);
        Apply(picture, test.k, test.m);
        for (const auto& [input, output] : test.entries) {
            const _tagPTzCOLOR got = brush_stroke::ColourAt(layer, input, 1);
            EXPECT_EQ(got.components[0], output) << "input " << input;
            EXPECT_EQ(got.components[2], output) << "input " << input;
            EXPECT_EQ(got.alpha, 255);
        }
    }
}

// Blocks of 256: (0,0) noise under varying values, (1,0) a uniform colour under varying
// values, (2,0) noise under 128, (0,1) noise under 255, (1,1) a uniform colour under 128,
// (2,1) noise outside the selection. Every pixel against the model, with and without the
// selection.
TEST(BrightnessContrast, EveryPixelMatchesTheScalarBlendThroughTheSelection)
{
    const PTzRECT all = {0, 0, 768, 512};
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selection" : "no selection");
        ITzPicture picture;
        MakePicture(picture, 1, all);
        ITzLayerImage* layer = ImageLayer(picture, 0);
        const _tagPTzCOLOR flat = Colour(200, 40, 200, 90);
        for (const PTzRECT& block : {PTzRECT{256, 0, 512, 256}, PTzRECT{256, 256, 512, 512}})
            layer->FillRect(&block, &flat);
        if (selected) {
            std::vector<uint8_t> values(768 * 512);
            for (int32_t y = 0; y < 512; ++y)
                for (int32_t x = 0; x < 768; ++x) {
                    const int column = x / 256, row = y / 256;
                    uint8_t& value = values[size_t(y) * 768 + size_t(x)];
                    if (row == 0 && column < 2)
                        value = uint8_t((x * 7 + y * 3) % 256);
                    else if (row == 1 && column == 0)
                        value = 255;
                    else if (column == 2 && row == 1)
                        value = 0;
                    else
                        value = 128;
                }
            SelectValues(picture, all, values);
        }
        const std::vector<uint8_t> mask = selected ? SelectionValues(picture, all) : std::vector<uint8_t>(768 * 512, 255);
        const Snapshot before = Take(layer);
        ASSERT_EQ(Apply(picture, 45, -20), 1);
        const Snapshot after = Take(layer);
        const std::vector<uint8_t> table = ToneTable(45, -20);
        Snapshot expected = before;
        for (size_t pixel = 0; pixel < mask.size(); ++pixel) {
            const int s = mask[pixel];
            for (size_t c = 1; c < 4; ++c) {
                uint8_t& byte = expected.pixels[pixel * 4 + c];
                byte = uint8_t(Mul255(table[byte], s) + Mul255(byte, 255 - s));
            }
        }
        EXPECT_TRUE(after == expected);
    }
}

TEST(BrightnessContrast, ApplyUndoRedoUndoGiveTheLayerBytesAndOneStep)
{
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selection" : "no selection");
        ITzPicture picture;
        MakePicture(picture, 2, {0, 0, 600, 300});
        ITzLayerImage* layer = ImageLayer(picture, 1);
        if (selected)
            SelectValues(picture, {100, 50, 400, 290}, std::vector<uint8_t>(300 * 240, 128));
        const Snapshot before = Take(layer);
        ASSERT_EQ(Apply(picture, 30, 10), 1);
        EXPECT_TRUE(picture.AbleEditing());
        const Snapshot after = Take(layer);
        ASSERT_FALSE(after == before);

        // Replayed on a picture whose layer at the record's index is no image layer, the
        // record changes nothing and says so.
        _tagUNDODATABASE* record = nullptr;
        ASSERT_NE(picture.GetLastUndoData(&record), 0);
        EXPECT_EQ(record->toolID, ITzTOOLID_EFFECT);
        ITzPicture other;
        other.Create(600, 300);
        other.InsertLayer(0, new ITzLayerImageARGB());
        other.InsertLayer(1, new PlainLayer());
        EXPECT_EQ(DoUndoByToolID(record, &other), 0);
        EXPECT_EQ(DoRedoByToolID(record, &other), 0);

        picture.SetActiveLayerID(0);
        paint_tools::ExpectUndoRedoUndo(picture, layer, before, after);
        EXPECT_EQ(picture.GetActiveLayerID(), 1) << "the undone layer is made active";
        EXPECT_EQ(picture.DoUndo(), 0) << "one step only";
    }
}

TEST(BrightnessContrast, AFloatingLayerLeftOnTheLayerIsMergedFirstAndUndoneWithTheEffect)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 300, 300});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    const Snapshot before = Take(layer);
    ITzLayerImage* floating = layer->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    const _tagPTzCOLOR red = Colour(255, 255, 0, 0);
    const PTzRECT square = {20, 20, 120, 120};
    floating->FillRect(&square, &red);
    ASSERT_EQ(Apply(picture, 0, 40), 1);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    const _tagPTzCOLOR merged = brush_stroke::ColourAt(layer, 50, 50);
    EXPECT_EQ(merged.components[0], ToneTable(0, 40)[255]) << "the effect saw the floating layer's paint";
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before) << "one undo takes back the effect and the merge before it";
    EXPECT_NE(layer->GetFloatingLayer(), nullptr);
}

TEST(BrightnessContrast, TheTicketIsHeldFromStartToApplyOrCancelAndProgressCountsTheArea)
{
    for (const bool cancel : {false, true}) {
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 600, 600});
        // The selection's bounds cover 2 x 2 of the layer's 3 x 3 blocks.
        SelectValues(picture, {10, 10, 400, 400}, std::vector<uint8_t>(390 * 390, 255));
        ITzToolEffectBrightneesContrast tool;
        tool.SetParameters(&picture, 20, 0);
        void* handle = tool.EffectStart();
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(tool.EffectStart(), nullptr) << "one effect at a time";
        EXPECT_FALSE(picture.AbleEditing());
        EXPECT_EQ(picture.DoUndo(), 0);
        std::vector<uint32_t> seen;
        uint32_t progress = 0;
        while (tool.EffectRun(handle, &progress))
            seen.push_back(progress);
        EXPECT_EQ(seen, (std::vector<uint32_t>{25, 50, 75, 100}));
        EXPECT_EQ(progress, 100u);
        EXPECT_EQ(tool.EffectRun(&progress, &progress), 0) << "a handle the tool did not give";
        if (cancel)
            EXPECT_EQ(tool.EffectCancel(handle), 1);
        else
            EXPECT_EQ(tool.EffectApply(handle), 1);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(tool.EffectApply(handle), 0) << "the handle is gone";
    }
}

// Cancelled by the call or by the tool's end, after some runs or none.
TEST(BrightnessContrast, CancelAfterSomeRunsRestoresEveryBlock)
{
    for (const bool byDestruction : {false, true}) {
        for (const int runs : {0, 1, 3, 100}) {
            SCOPED_TRACE(testing::Message() << (byDestruction ? "destroyed" : "cancelled") << " after " << runs);
            ITzPicture picture;
            MakePicture(picture, 1, {0, 0, 700, 500});
            ITzLayerImage* layer = ImageLayer(picture, 0);
            SelectValues(picture, {0, 0, 700, 300}, std::vector<uint8_t>(700 * 300, 200));
            const Snapshot before = Take(layer);
            {
                ITzToolEffectBrightneesContrast tool;
                tool.SetParameters(&picture, -40, 30);
                void* handle = tool.EffectStart();
                ASSERT_NE(handle, nullptr);
                for (int i = 0; i < runs && tool.EffectRun(handle, nullptr); ++i) {
                }
                if (!byDestruction) {
                    EXPECT_EQ(tool.EffectCancel(handle), 1);
                }
            }
            EXPECT_TRUE(Take(layer) == before);
            EXPECT_TRUE(picture.AbleEditing());
            EXPECT_EQ(picture.DoUndo(), 0) << "a cancelled effect leaves no step";
        }
    }
}

TEST(BrightnessContrast, AnEffectThatTouchesNoBlockSavesNothing)
{
    struct Case {
        const char* name;
        PTzRECT selection;  // none when empty
        bool missingBlocks;
    };
    const Case cases[] = {
        {"a selection beside the layer", {450, 450, 600, 600}, false},
        {"a selection over missing blocks", {0, 0, 300, 300}, true},
        {"a layer of missing blocks", {0, 0, 0, 0}, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ITzPicture picture;
        picture.Create(600, 600);
        auto* layer = new ITzLayerImageARGB();
        const PTzRECT bounds = {0, 0, 400, 400};
        layer->SetSize(&bounds, test.missingBlocks ? 0 : 1);
        picture.InsertLayer(0, layer);
        if (!PTzRectEmpty(&test.selection)) {
            const int32_t width = test.selection.right - test.selection.left;
            const int32_t height = test.selection.bottom - test.selection.top;
            SelectValues(picture, test.selection, std::vector<uint8_t>(size_t(width) * size_t(height), 255));
        }
        const Snapshot before = Take(layer);
        EXPECT_EQ(Apply(picture, 50, 50), 0);
        EXPECT_TRUE(Take(layer) == before);
        EXPECT_EQ(picture.IsModified(), 0);
        EXPECT_EQ(picture.DoUndo(), 0);
        EXPECT_TRUE(picture.AbleEditing());
    }
}

TEST(BrightnessContrast, ABlockWhoseBackupIsRefusedIsLeftUnchangedSoCancelAndUndoStayExact)
{
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "apply");
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 512, 256});
        ITzLayerImage* layer = ImageLayer(picture, 0);
        const PTzRECT right = {256, 0, 512, 256};
        const _tagPTzCOLOR flat = Colour(255, 100, 100, 100);
        layer->FillRect(&right, &flat);  // uniform: its backup needs no channel page
        const Snapshot before = Take(layer);
        ITzToolEffectBrightneesContrast tool;
        tool.SetParameters(&picture, 0, -60);
        void* handle = tool.EffectStart();
        ASSERT_NE(handle, nullptr);
        // Copies of 65,536-byte channels are refused: the noise block cannot be kept.
        PTzTestSetAllocationCeiling(60000);
        while (tool.EffectRun(handle, nullptr)) {
        }
        PTzTestSetAllocationCeiling(0);
        const Snapshot after = Take(layer);
        EXPECT_EQ(brush_stroke::ColourAt(layer, 300, 10).components[0], ToneTable(0, -60)[100]);
        for (int32_t y = 0; y < 256; ++y)
            for (size_t at = size_t(y) * 512 * 4, end = at + 256 * 4; at < end; ++at)
                ASSERT_EQ(after.pixels[at], before.pixels[at]) << "the noise block changed at row " << y;
        if (cancel) {
            tool.EffectCancel(handle);
            EXPECT_TRUE(Take(layer) == before);
        } else {
            ASSERT_EQ(tool.EffectApply(handle), 1);
            paint_tools::ExpectUndoRedoUndo(picture, layer, before, after);
        }
    }
}

TEST(BrightnessContrast, AnActiveLayerThatIsNoImageLayerIsRefusedWithTheTicketGivenBack)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 300, 200});
    ASSERT_EQ(picture.InsertLayer(1, new PlainLayer()), 0);
    picture.SetActiveLayerID(1);
    ITzToolEffectBrightneesContrast tool;
    EXPECT_EQ(tool.EffectStart(), nullptr) << "no picture named";
    tool.SetParameters(&picture, 10, 10);
    EXPECT_EQ(tool.EffectStart(), nullptr);
    EXPECT_TRUE(picture.AbleEditing());
    EXPECT_EQ(picture.DoUndo(), 0);
}

// LeakSanitizer reports what a release after undo or after redo leaves behind.
TEST(BrightnessContrast, LeffRecordsAreFreedThroughTheFactoryAfterUndoAndAfterRedo)
{
    for (const int replays : {0, 1, 2}) {
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 300, 300});
        SelectValues(picture, {0, 0, 200, 200}, std::vector<uint8_t>(200 * 200, 90));
        ASSERT_EQ(Apply(picture, 25, -5), 1);
        if (replays >= 1) {
            ASSERT_NE(picture.DoUndo(), 0);
        }
        if (replays >= 2) {
            ASSERT_NE(picture.DoRedo(), 0);
        }
        picture.ClearModified();
        EXPECT_EQ(picture.DoUndo(), 0);
    }
}

}  // namespace
