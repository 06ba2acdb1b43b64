// The selection tool: the five operations on overlapping shapes against a per-pixel
// model of the gray merges, with undo and redo through the history; select all, inverse
// and clear; the kept selection layer's ownership; and steps that fail or are refused
// (a brush stroke holding the picture, allocation and scratch shortages) changing nothing.
#include "engine/tools/tool_mask.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/error_codes.h"
#include "base/memory.h"
#include "base/memory_test_hooks.h"
#include "engine/picture/picture.h"
#include "engine/pixels/arc_fill.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/tools/tool_factory.h"
#include "engine/tools/tool_floating_base.h"
#include "tests/engine/pixels/merge_reference.h"
#include "tests/engine/pixels/shape_reference.h"
#include "tests/engine/tools/floating_test_support.h"

namespace {

constexpr int32_t kSize = 300;
constexpr PTzRECT kPicture = {0, 0, kSize, kSize};

using Bytes = std::vector<uint8_t>;

// The selection's bytes over the picture; all 0 without a selection layer.
Bytes Selection(ITzPicture& picture)
{
    ITzLayerImage* layer = picture.GetSelectionLayer(0);
    if (!layer)
        return Bytes(size_t(kSize) * kSize, 0);
    // Outside its bounds the selection is 0.
    Bytes bytes(size_t(kSize) * kSize, 0);
    PTzRECT bounds, inside;
    layer->GetBounds(&bounds);
    if (!PTzRectIntersect(&bounds, &kPicture, &inside))
        return bytes;
    const Bytes part = shape_reference::ReadBytes(*layer, inside);
    const int32_t width = inside.right - inside.left;
    for (int32_t y = inside.top; y < inside.bottom; ++y)
        for (int32_t x = inside.left; x < inside.right; ++x)
            bytes[size_t(y) * kSize + size_t(x)] = part[size_t(y - inside.top) * size_t(width) + size_t(x - inside.left)];
    return bytes;
}

// The shape's bytes as the floating layer receives them: a rectangle of one value, or
// the anti-aliased ellipse drawn alone.
Bytes RectShape(const PTzRECT& rect, uint8_t value)
{
    Bytes bytes(size_t(kSize) * kSize, 0);
    for (int32_t y = std::max(rect.top, 0); y < std::min(rect.bottom, kSize); ++y)
        for (int32_t x = std::max(rect.left, 0); x < std::min(rect.right, kSize); ++x)
            bytes[size_t(y) * kSize + size_t(x)] = value;
    return bytes;
}

Bytes EllipseShape(const PTzRECT& rect, uint8_t value)
{
    auto layer = shape_reference::PresentLayer(kPicture, 0);
    ITzLayerArcFill fill;
    const _tagPTzCOLOR colour = {PTzCOLORMODE_GRAY, 255, {value}};
    fill.SetLayer(layer.get());
    fill.SetColor(&colour);
    EXPECT_EQ(fill.Fill(&rect, &kPicture), 0);
    return shape_reference::ReadBytes(*layer, kPicture);
}

const ITzMERGETYPE kMergeOf[5] = {ITzMERGE_REPLACE, ITzMERGE_NORMAL, ITzMERGE_SUBTRACT, ITzMERGE_INTERSECT,
                                  ITzMERGE_INVERT};

Bytes Model(const Bytes& shape, const Bytes& selection, int op)
{
    const CMathMerge& tables = *GetMathMerge();
    Bytes out(selection.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = op == 0 ? shape[i] : RefGray(tables, kMergeOf[op], shape[i], selection[i]);
    return out;
}

struct Fixture : testing::Test {
    Fixture() { floating_test::MakePicture(picture, 2, kPicture); }
    ITzPicture picture;
    ITzToolMask tool;
};

using ToolMask = Fixture;

TEST_F(ToolMask, FiveOperationsFollowTheGrayMergesAndUndoRedoReplaysThem)
{
    struct Step {
        bool ellipse;
        PTzRECT rect;
        uint8_t value;
        int op;
    };
    const Step steps[] = {
        {false, {20, 30, 200, 180}, 255, 0},  {true, {100, 90, 290, 270}, 255, 1}, {false, {-40, 150, 120, 400}, 180, 2},
        {true, {10, 10, 250, 240}, 230, 3},   {false, {50, 0, 280, 120}, 255, 4},  {true, {60, 60, 200, 200}, 200, 7},
        {false, {0, 0, 400, 400}, 255, 2},  // subtracts everything: the selection goes
        {true, {30, 40, 130, 170}, 255, 1},
    };
    std::vector<Bytes> history = {Selection(picture)};
    for (const Step& step : steps) {
        const Bytes shape = step.ellipse ? EllipseShape(step.rect, step.value) : RectShape(step.rect, step.value);
        const int op = step.op >= 0 && step.op <= 4 ? step.op : 0;
        ASSERT_EQ(step.ellipse ? tool.DrawArcSelection(&picture, &step.rect, step.value, step.op)
                               : tool.DrawRectSelection(&picture, &step.rect, step.value, step.op),
                  1);
        history.push_back(Model(shape, history.back(), op));
        ASSERT_EQ(Selection(picture), history.back()) << "step " << history.size() - 1;
        EXPECT_EQ(picture.GetSelectionLayer(0) == nullptr,
                  std::all_of(history.back().begin(), history.back().end(), [](uint8_t v) { return v == 0; }));
    }
    for (size_t i = history.size() - 1; i > 0; --i) {
        ASSERT_NE(picture.DoUndo(), 0);
        ASSERT_EQ(Selection(picture), history[i - 1]) << "undo to " << i - 1;
    }
    for (size_t i = 1; i < history.size(); ++i) {
        ASSERT_NE(picture.DoRedo(), 0);
        ASSERT_EQ(Selection(picture), history[i]) << "redo to " << i;
    }
    EXPECT_EQ(picture.IsModified(), 0);
}

TEST_F(ToolMask, SelectAllInverseAndClear)
{
    // No selection: clearing saves no step, so the redo history survives a plain click.
    EXPECT_EQ(tool.ClearSelectioin(&picture), 0);
    ASSERT_EQ(tool.DoSelectALl(&picture), 1);
    const Bytes all = Selection(picture);
    EXPECT_EQ(all, Bytes(size_t(kSize) * kSize, 255));
    ASSERT_EQ(tool.DoSelectInverse(&picture), 1);
    EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);  // empty: kept in the record
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(Selection(picture), all);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);
    EXPECT_EQ(tool.ClearSelectioin(&picture), 0);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_EQ(Selection(picture), all);
    ASSERT_EQ(tool.ClearSelectioin(&picture), 1);
    EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(Selection(picture), all);
    EXPECT_EQ(picture.IsModified(), 0);
}

TEST_F(ToolMask, PolygonAndMagicSelections)
{
    const std::vector<PTzPOINT> triangle = {{16 * 10, 16 * 10}, {16 * 200, 16 * 40}, {16 * 60, 16 * 250}};
    ASSERT_EQ(tool.DrawPolygonSelection(&picture, 3, triangle.data(), 0, 0), 1);
    const Bytes polygon = Selection(picture);
    EXPECT_EQ(polygon[size_t(60) * kSize + 60], 255);
    EXPECT_EQ(polygon[size_t(250) * kSize + 250], 0);

    // A layer of two colours: the wand takes the connected part, the colour selection all.
    auto* layer = floating_test::ImageLayer(picture, 1);
    const _tagPTzCOLOR red = floating_test::Colour(255, 200, 0, 0), blue = floating_test::Colour(255, 0, 0, 200);
    PTzRECT local;
    layer->PRECTtoLRECT(&kPicture, &local);
    layer->FillRect(&local, &blue);
    for (const PTzRECT& part : {PTzRECT{0, 0, 100, 300}, PTzRECT{200, 0, 300, 300}}) {
        layer->PRECTtoLRECT(&part, &local);
        layer->FillRect(&local, &red);
    }
    const PTzPOINT seed = {10, 10};
    ASSERT_EQ(tool.CreateMagicSelection(&picture, &seed, 0, 0, 1), 1);
    EXPECT_EQ(Selection(picture), RectShape({0, 0, 100, 300}, 255));
    ASSERT_EQ(tool.CreateMagicSelection(&picture, &seed, 0, 0, 0), 1);
    Bytes both = RectShape({0, 0, 100, 300}, 255);
    const Bytes right = RectShape({200, 0, 300, 300}, 255);
    for (size_t i = 0; i < both.size(); ++i)
        both[i] |= right[i];
    EXPECT_EQ(Selection(picture), both);
}

TEST_F(ToolMask, MovesAreRecordedAndReplayed)
{
    ASSERT_EQ(tool.DrawRectSelection(&picture, &kPicture, 255, 0), 1);
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    PTzRECT before, after;
    selection->GetBounds(&before);
    _tagPTzOFFSET offset = {15, -7};
    ASSERT_EQ(selection->MoveCore(&offset), 0);
    EXPECT_EQ(tool.MoveUndoSave(&picture, &offset), 1);
    const _tagPTzOFFSET none = {0, 0};
    EXPECT_EQ(tool.MoveUndoSave(&picture, &none), 0);
    selection->GetBounds(&after);
    ASSERT_NE(picture.DoUndo(), 0);
    PTzRECT now;
    selection->GetBounds(&now);
    EXPECT_TRUE(floating_test::SameRect(now, before));
    ASSERT_NE(picture.DoRedo(), 0);
    selection->GetBounds(&now);
    EXPECT_TRUE(floating_test::SameRect(now, after));
    EXPECT_EQ(tool.MoveUndoSave(static_cast<void*>(nullptr), &offset), 0);
    // A record of no known kind, or no picture, is refused with -1 as the last error.
    _tagITzUNDOSELECTION odd = {{ITzTOOLID_MASK}, 9, {}, nullptr, nullptr};
    PTzSetLastError(0);
    EXPECT_EQ(tool.DoUndo(&picture, &odd.head), 0);
    EXPECT_EQ(PTzGetLastError(), -1);
    PTzSetLastError(0);
    EXPECT_EQ(tool.DoRedo(nullptr, &odd.head), 0);
    EXPECT_EQ(PTzGetLastError(), -1);
}

TEST_F(ToolMask, SelectAllDuringABrushStrokeLeavesTheStrokeWhole)
{
    ITzToolFloatingBase stroke;
    ASSERT_NE(stroke.StartEditing(&picture), 0);
    ITzLayerImage* floating = stroke.CreateFloatingLayer(&picture);
    ASSERT_NE(floating, nullptr);
    floating_test::Paint(floating);
    const floating_test::Snapshot painted = floating_test::Take(floating);
    EXPECT_EQ(tool.DoSelectALl(&picture), 0);
    EXPECT_EQ(floating_test::ImageLayer(picture, 1)->GetFloatingLayer(), floating);
    EXPECT_TRUE(floating_test::Take(floating) == painted);
    EXPECT_EQ(picture.GetSelectionLayer(0), nullptr);
    EXPECT_EQ(stroke.MergeFloatingLayer(&picture), 1);
    stroke.StopEditing(&picture);
    EXPECT_EQ(tool.DoSelectALl(&picture), 1);
}

TEST_F(ToolMask, FailedStepsChangeNothing)
{
    // Every allocation count up to the step's success: a failure installs nothing.
    const PTzRECT ellipse = {20, 30, 280, 260};
    int failures = 0;
    for (int64_t n = 0; n < 400; ++n) {
        PTzTestSetAllocationCountdown(n);
        const int made = tool.DrawArcSelection(&picture, &ellipse, 255, 0);
        PTzTestSetAllocationCountdown(-1);
        if (made)
            break;
        ++failures;
        ASSERT_EQ(picture.GetSelectionLayer(0), nullptr) << n;
        ASSERT_EQ(floating_test::ImageLayer(picture, 1)->GetFloatingLayer(), nullptr);
    }
    EXPECT_GT(failures, 0);
    const Bytes selected = Selection(picture);
    EXPECT_EQ(selected, EllipseShape(ellipse, 255));

    // Without scratch pages the wand and the merge cannot run: the selection stays.
    {
        floating_test::PoolDrain drain;
        const PTzPOINT seed = {5, 5};
        EXPECT_EQ(tool.CreateMagicSelection(&picture, &seed, 10, 0, 1), 0);
        EXPECT_EQ(tool.CreateMagicSelection(&picture, &seed, 10, 0, 0), 0);
    }
    EXPECT_EQ(Selection(picture), selected);
    ASSERT_NE(picture.GetSelectionLayer(0), nullptr);
    EXPECT_EQ(picture.GetSelectionLayer(0)->GetFloatingLayer(), nullptr);
    EXPECT_EQ(tool.DrawRectSelection(nullptr, &ellipse, 255, 0), 0);
    EXPECT_EQ(tool.DrawArcSelection(&picture, nullptr, 255, 0), 0);
}

TEST(ToolMaskRecords, AKeptLayerIsFreedWithItsRecord)
{
    // A record holding the selection layer it took out is released with the history
    // (LeakSanitizer checks the layer goes too), and through the undo factory.
    auto* picture = new ITzPicture();
    floating_test::MakePicture(*picture, 1, kPicture);
    ITzToolMask tool;
    ASSERT_EQ(tool.DoSelectALl(picture), 1);
    ASSERT_EQ(tool.DrawRectSelection(picture, &kPicture, 255, ITzSELECTION_SUBTRACT), 1);
    ASSERT_EQ(picture->GetSelectionLayer(0), nullptr);
    delete picture;

    auto* record = static_cast<_tagITzUNDOSELECTION*>(PTzPointNew(sizeof(_tagITzUNDOSELECTION)));
    ASSERT_NE(record, nullptr);
    *record = {{ITzTOOLID_MASK}, 0, {}, nullptr, new ITzLayerImageSelect()};
    EXPECT_EQ(ReleaseUndoDataByToolID(&record->head), 1);
}

}  // namespace
