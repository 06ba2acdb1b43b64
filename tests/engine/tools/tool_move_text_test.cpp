// A moved text layer keeps its place: by a key step, a drag or a move of the layer it
// is linked to, and through the undo and redo of each, its copies, its duplicates and the
// file written after the move all lie where the move put it.
#include <gtest/gtest.h>

#include <functional>

#include "../picture/native_test_support.h"
#include "../picture/text_test_support.h"
#include "engine/tools/tool_text.h"
#include "move_test_support.h"

using namespace text_test;

namespace {

struct Route {
    const char* name;
    std::function<void(ITzPicture&)> move;  // one undo step moving the text layer by (100, 50)
};

void PrintTo(const Route& route, std::ostream* out)
{
    *out << route.name;
}

PTzRECT Bounds(ITzLayerBase& layer)
{
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    return bounds;
}

PTzRECT Shifted(PTzRECT r, int32_t x, int32_t y)
{
    return {r.left + x, r.top + y, r.right + x, r.bottom + y};
}

bool Same(const PTzRECT& a, const PTzRECT& b)
{
    return PTzRectEqual(&a, &b) != 0;
}

// Where the text layer of a picture written and read back lies.
PTzRECT BoundsAfterReading(const native_test::Bytes& file)
{
    std::unique_ptr<ITzPicture> read = native_test::Load(file);
    EXPECT_TRUE(read && read->GetLayerCount() == 2);
    return read ? Bounds(*read->GetLayerbyIndex(1)) : PTzRECT{};
}

PTzRECT BoundsOfCopy(ITzLayerBase& layer)
{
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> copy(layer.CreateCopyLayer());
    EXPECT_NE(copy, nullptr);
    return copy ? Bounds(*copy) : PTzRECT{};
}

class MovedText : public ::testing::TestWithParam<Route> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(picture.Create_1(400, 300, nullptr), 0);
        ITzToolText tool;
        const _tagPTzFONTDATAINFO font = Sans(-20);
        const _tagPTzCOLOR colour = Rgb(10, 20, 30);
        ASSERT_EQ(tool.OnMouseDown(At(PTzPOINT{20, 30}), &picture, 0), 1);
        ASSERT_EQ(tool.OnMouseUp(At(PTzPOINT{20, 30}), &picture), 1);
        for (char16_t c : std::u16string_view(u"abc"))
            tool.DoChar(&picture, &font, uint16_t(c), &colour);
        text = picture.GetLayerbyIndex(1);
        placed = Bounds(*text);
        ASSERT_EQ(placed.left, 20);
        ASSERT_EQ(placed.top, 30);
        moved = Shifted(placed, 100, 50);
    }

    // The layer, its copy and the file written now all lie at `where`.
    void ExpectEverywhereAt(const PTzRECT& where)
    {
        EXPECT_TRUE(Same(Bounds(*text), where));
        EXPECT_TRUE(Same(BoundsOfCopy(*text), where));
        EXPECT_TRUE(Same(BoundsAfterReading(native_test::Save(picture)), where));
    }

    ITzPicture picture;
    ITzLayerBase* text = nullptr;
    PTzRECT placed{}, moved{};
};

TEST_P(MovedText, KeepsItsPlaceInCopiesAndFilesThroughUndoAndRedo)
{
    GetParam().move(picture);
    ExpectEverywhereAt(moved);
    const native_test::Bytes savedMoved = native_test::Save(picture);

    ASSERT_NE(picture.DoUndo(), 0);
    ExpectEverywhereAt(placed);
    // A file written before the undo keeps the move.
    EXPECT_TRUE(Same(BoundsAfterReading(savedMoved), moved));

    ASSERT_NE(picture.DoRedo(), 0);
    ExpectEverywhereAt(moved);
}

TEST_P(MovedText, ACopyDragDuplicatesItWhereItWasMovedTo)
{
    GetParam().move(picture);
    picture.SetActiveLayerID(1);
    ASSERT_EQ(move_test::Drag(picture, ITzTOOLMOVE_COPY, {130, 90}, {{5, 0}}), 1);
    ASSERT_EQ(picture.GetLayerCount(), 3);
    const PTzRECT duplicate = Shifted(moved, 5, 0);
    EXPECT_TRUE(Same(Bounds(*picture.GetLayerbyIndex(2)), duplicate));
    EXPECT_TRUE(Same(Bounds(*text), moved));
    std::unique_ptr<ITzPicture> read = native_test::Load(native_test::Save(picture));
    ASSERT_TRUE(read && read->GetLayerCount() == 3);
    EXPECT_TRUE(Same(Bounds(*read->GetLayerbyIndex(2)), duplicate));

    ASSERT_NE(picture.DoUndo(), 0);
    ASSERT_EQ(picture.GetLayerCount(), 2);
    ASSERT_NE(picture.DoRedo(), 0);
    ASSERT_EQ(picture.GetLayerCount(), 3);
    EXPECT_TRUE(Same(Bounds(*picture.GetLayerbyIndex(2)), duplicate));
    EXPECT_TRUE(Same(BoundsOfCopy(*picture.GetLayerbyIndex(2)), duplicate));
}

INSTANTIATE_TEST_SUITE_P(
    Routes, MovedText,
    ::testing::Values(
        Route{"KeyStep", [](ITzPicture& p) { ASSERT_EQ(move_test::KeyMove(p, ITzTOOLMOVE_MOVE, {100, 50}), 1); }},
        Route{"Drag",
              [](ITzPicture& p) {
                  ASSERT_EQ(move_test::Drag(p, ITzTOOLMOVE_MOVE, {30, 40}, {{60, 20}, {45, 35}, {-5, -5}}), 1);
              }},
        // The background moves, and the text layer linked to it with it.
        Route{"LinkedLayer",
              [](ITzPicture& p) {
                  p.GetLayerbyIndex(1)->SetLinkNumber(p.GetLayerbyIndex(0)->GetLinkNumber());
                  p.SetActiveLayerID(0);
                  ASSERT_EQ(move_test::KeyMove(p, ITzTOOLMOVE_MOVE, {100, 50}), 1);
              }}),
    [](const ::testing::TestParamInfo<Route>& info) { return std::string(info.param.name); });

TEST(MovedTextAlignment, ARightAlignedLayerEndsAtItsMovedStartPoint)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(400, 300, nullptr), 0);
    ITzLayerText* layer = AddTextLayer(picture, {200, 40});
    Type(*layer, u"abc");
    layer->SetAlignment(ITzTEXTALIGN_RIGHT);
    const PTzRECT right = Bounds(*layer);
    ASSERT_EQ(right.right, 200);
    _tagPTzOFFSET by = {-30, 7};
    ASSERT_EQ(layer->MoveCore(&by), 0);
    EXPECT_EQ(layer->GetStartPoint().x, 170);
    EXPECT_EQ(layer->GetStartPoint().y, 47);
    // Placing it against its start point again changes nothing.
    layer->SetAlignment(ITzTEXTALIGN_LEFT);
    layer->SetAlignment(ITzTEXTALIGN_RIGHT);
    EXPECT_TRUE(Same(Bounds(*layer), Shifted(right, -30, 7)));
    EXPECT_TRUE(Same(BoundsAfterReading(native_test::Save(picture)), Shifted(right, -30, 7)));
}

}  // namespace
