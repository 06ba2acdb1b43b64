// The pen, pencil, eraser and clone as the program drives them: what each floating layer
// holds, the pencil's hard dabs, the eraser's two modes, and the clone's source point
// and source layer, which may move or die between strokes.
#include <gtest/gtest.h>

#include <set>

#include "paint_tool_support.h"

using namespace brush_stroke;
using namespace floating_test;
using namespace paint_tools;

namespace {

// A picture of one layer of the colour over the rectangle.
void PlainPicture(ITzPicture& picture, const _tagPTzCOLOR& colour, const PTzRECT& bounds = {0, 0, 400, 300})
{
    MakePicture(picture, 1, bounds);
    ImageLayer(picture, 0)->FillRect(&bounds, &colour);
}

std::set<uint8_t> Alphas(ITzLayerImage* layer)
{
    const Snapshot shot = Take(layer);
    std::set<uint8_t> alphas;
    for (size_t i = 0; i < shot.pixels.size(); i += 4)
        alphas.insert(shot.pixels[i]);
    return alphas;
}

TEST(PenAndPencil, ThePenPaintsTheFrontColourAndThePencilOnlyWholeDabs)
{
    const std::vector<_tagPTzMOUSEPOINT> path = {Sample(40, 40, 60), Sample(200, 90, 200), Sample(350, 60, 20)};
    for (const bool pencil : {false, true}) {
        ITzPicture picture;
        PlainPicture(picture, Colour(0, 0, 0, 0));
        ITzBrushCircle brush(21, 0, 0, 100);  // as soft as a tip can be
        std::unique_ptr<ITzToolPen> tool(pencil ? new ITzToolPencil() : new ITzToolPen());
        _tagPTzCOLOR front = Colour(255, 200, 30, 60);
        tool->SetColor(&front, nullptr);
        tool->SetOpacity(255);
        tool->SetBrush(&brush);
        tool->SetPressFlag(ITzBRUSH_PRESS_SIZE | ITzBRUSH_PRESS_OPACITY);
        Stroke(*tool, picture, path);
        ITzLayerImage* layer = ImageLayer(picture, 0);
        const _tagPTzCOLOR centre = ColourAt(layer, 200, 90);
        EXPECT_EQ(centre.components[0], 200);
        EXPECT_EQ(centre.components[2], 60);
        // The pencil's dabs are hard and its pressure never lowers their strength; the
        // pen's soft dabs leave every shade.
        if (pencil) {
            EXPECT_EQ(Alphas(layer), (std::set<uint8_t>{0, 255}));
            EXPECT_EQ(AlphaAt(layer, 350, 60), 255);
        } else {
            EXPECT_GT(Alphas(layer).size(), 20u);
        }
    }
}

TEST(Eraser, ModeZeroPaintsTheBackColourAndModeOneTakesTheAlphaAway)
{
    for (const ITzTOOLERASEMODE mode : {ITzERASE_BACK_COLOR, ITzERASE_ALPHA}) {
        ITzPicture picture;
        PlainPicture(picture, Colour(255, 20, 40, 60));
        ITzBrushCircle brush(15, 100, 0, 100);
        ITzToolErase tool;
        _tagPTzCOLOR back = Colour(255, 250, 240, 230);
        tool.SetColor(nullptr, &back);
        tool.SetEraseMode(mode);
        tool.SetMode(mode == ITzERASE_ALPHA ? ITzMERGE_ERASE : ITzMERGE_NORMAL);
        tool.SetBrush(&brush);
        Stroke(tool, picture, {Sample(100, 100), Sample(200, 100)});
        const _tagPTzCOLOR erased = ColourAt(ImageLayer(picture, 0), 150, 100);
        if (mode == ITzERASE_ALPHA) {
            EXPECT_EQ(erased.alpha, 0);
        } else {
            EXPECT_EQ(erased.alpha, 255);
            EXPECT_EQ(erased.components[0], 250);
        }
        EXPECT_EQ(ColourAt(ImageLayer(picture, 0), 150, 150).components[0], 20);
    }
    ITzPicture picture;
    PlainPicture(picture, Colour(255, 20, 40, 60));
    ITzToolErase unknown;
    unknown.SetEraseMode(ITzTOOLERASEMODE(7));
    _tagPTzMOUSEPOINT sample = Sample(10, 10);
    EXPECT_EQ(unknown.OnMouseDown(&sample, &picture), 0);
    EXPECT_TRUE(picture.AbleEditing());
}

TEST(Eraser, AnAlphaStrokeOverAFloatingLayerKeepsItsPixels)
{
    ITzPicture picture;
    PlainPicture(picture, Colour(255, 20, 40, 60));
    ITzLayerImage* layer = ImageLayer(picture, 0);
    const Snapshot before = Take(layer);
    Paint(layer->CreateFloatingLayer());  // a lifted paste, say, still floating
    ITzBrushCircle brush(11, 100, 0, 100);
    ITzToolErase tool;
    tool.SetMode(ITzMERGE_ERASE);
    tool.SetBrush(&brush);
    Stroke(tool, picture, {Sample(30, 45), Sample(30, 45)});
    // The floating layer was merged first, as an automatic step, then erased; one undo
    // takes both back.
    EXPECT_EQ(AlphaAt(layer, 30, 45), 0);
    EXPECT_EQ(ColourAt(layer, 60, 45).components[1], 200);  // the floating layer's paint
    EXPECT_EQ(UndoSteps(picture), 1);
    EXPECT_TRUE(Take(layer) == before);
    EXPECT_NE(layer->GetFloatingLayer(), nullptr);
}

// A clone tool whose source is layer 0, Alt-clicked at a picture point.
struct CloneSetup {
    ITzPicture picture;
    ITzBrushCircle brush{9, 100, 0, 100};
    ITzToolClone tool;
    ITzLayerImage* source = nullptr;
    ITzLayerImage* target = nullptr;

    explicit CloneSetup(const PTzPOINT& altClick)
    {
        MakePicture(picture, 1, {0, 0, 400, 300});
        source = ImageLayer(picture, 0);
        target = new ITzLayerImageARGB();
        const PTzRECT all = {0, 0, 400, 300};
        target->SetSize(&all, 1);
        picture.InsertLayer(1, target);
        picture.SetActiveLayerID(1);
        tool.SetBrush(&brush);
        PTzPOINT sourcePoint;
        source->PPointtoLPoint(&altClick, &sourcePoint);  // as the program keeps it
        tool.SetSourceLayer(source, &sourcePoint);
    }
    // A click of a hard dab at the destination start point.
    void Click(const PTzPOINT& start)
    {
        tool.SetDesStartPoint(&start);
        Stroke(tool, picture, {Sample(start.x, start.y), Sample(start.x, start.y)});
    }
};

bool SamePixel(const _tagPTzCOLOR& a, const _tagPTzCOLOR& b)
{
    return a.alpha == b.alpha && a.components[0] == b.components[0] && a.components[1] == b.components[1] &&
           a.components[2] == b.components[2];
}

TEST(Clone, CopiesTheSourcesPixelsFromTheSourcePointsPlace)
{
    // Source point and start point alike: the source's pixels at the same place.
    CloneSetup same({120, 80});
    const _tagPTzCOLOR opaque = Colour(255, 1, 2, 3);
    const PTzRECT all = {0, 0, 400, 300};
    ImageLayer(same.picture, 0)->FillRect(&all, &opaque);
    Pattern(same.source, {100, 60, 140, 100}, 5);  // some alpha 255 among them
    same.Click({120, 80});
    for (int32_t y = 78; y <= 82; ++y)
        for (int32_t x = 118; x <= 122; ++x) {
            const _tagPTzCOLOR from = ColourAt(same.source, x, y);
            if (from.alpha == 255) {
                EXPECT_TRUE(SamePixel(ColourAt(same.target, x, y), from)) << x << "," << y;
            }
        }

    // A source layer moved after the Alt-click still gives the pixel the user pointed at.
    CloneSetup moved({50, 40});
    ImageLayer(moved.picture, 0)->FillRect(&all, &opaque);
    const _tagPTzCOLOR marked = Colour(255, 222, 111, 33);
    const PTzRECT mark = {45, 35, 56, 46};
    moved.source->FillRect(&mark, &marked);
    _tagPTzOFFSET by = {37, -21};
    moved.source->Move(&by);
    moved.Click({300, 200});
    EXPECT_TRUE(SamePixel(ColourAt(moved.target, 300, 200), marked));
    EXPECT_TRUE(SamePixel(ColourAt(moved.target, 302, 198), marked));
}

TEST(Clone, StartsNoStrokeWithoutASourceAndForgetsASourceThatDied)
{
    CloneSetup setup({10, 10});
    ITzToolClone unset;
    _tagPTzMOUSEPOINT sample = Sample(50, 50);
    EXPECT_EQ(unset.OnMouseDown(&sample, &setup.picture), 0);
    EXPECT_TRUE(setup.picture.AbleEditing());

    // The source layer is deleted, then the history that kept it is cleared.
    ASSERT_EQ(setup.picture.DoRemoveLayer(0, nullptr), 1);
    setup.picture.SetActiveLayerID(0);
    EXPECT_EQ(setup.tool.GetSourceLayer(), setup.source);
    setup.picture.ClearModified();
    EXPECT_EQ(setup.tool.GetSourceLayer(), nullptr);
    EXPECT_EQ(setup.tool.OnMouseDown(&sample, &setup.picture), 0);
    EXPECT_TRUE(setup.picture.AbleEditing());
    EXPECT_EQ(setup.target->GetFloatingLayer(), nullptr);
}

}  // namespace
