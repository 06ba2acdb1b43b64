// The records of the move, cut, paste and conversion tools replayed through the picture's
// history: every kind undone, redone and undone again gives the exact pixels, bounds and
// selection bytes, also together with the automatic steps taken along; every kind freed
// after an undo or a redo frees what it holds and nothing the picture still uses; and the
// edits that work on stored pixels take the pixels a drag lifted along.
#include <gtest/gtest.h>

#include <memory>

#include "engine/tools/tool_crop.h"
#include "engine/tools/tool_layer_merge.h"
#include "move_test_support.h"
#include "rendered_layer.h"

using namespace floating_test;
using namespace picture_job_test;
using namespace move_test;

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

constexpr PTzPOINT kMovedInside = {kInside.x + 40, kInside.y + 300};

void Plain(ITzPicture& picture)
{
    MakeMovePicture(picture);
}

void Selected(ITzPicture& picture)
{
    MakeMovePicture(picture);
    SelectEllipse(picture, kEllipse);
}

// A drag has lifted the selected pixels and left them floating, 300 pixels lower.
void Lifted(ITzPicture& picture)
{
    Selected(picture);
    Drag(picture, ITzTOOLMOVE_MOVE, kInside, {{40, 0}, {0, 300}});
}

void Linked(ITzPicture& picture)
{
    MakeMovePicture(picture);
    picture.GetLayerbyIndex(0)->SetLinkNumber(picture.GetLayerbyIndex(1)->GetLinkNumber());
}

void WithRenderedLayer(ITzPicture& picture)
{
    Selected(picture);
    picture.InsertLayer(2, new RenderedLayer({100, 80, 600, 500}, 5));
    picture.SetActiveLayerID(2);
}

int Cut(ITzPicture& picture)
{
    return LayerPointer(picture.DoCut()) != nullptr;
}

int Delete(ITzPicture& picture)
{
    return LayerPointer(picture.DoDelete()) != nullptr;
}

int Paste(ITzPicture& picture)
{
    LayerPointer source(new ITzLayerImageARGB());
    const PTzRECT bounds = {0, 0, 300, 280};
    source->SetSize(&bounds, 1);
    Pattern(source.get(), bounds, 55);
    return picture.DoPasteImageLayer(source.get());
}

// The three layer merges, by the tool's operation.
template <int (ITzToolLayerMerge::*kMerge)(ITzPicture*)>
int Merge(ITzPicture& picture)
{
    ITzToolLayerMerge tool;
    return (tool.*kMerge)(&picture);
}
constexpr auto MergeDown = Merge<&ITzToolLayerMerge::MergeLayerDown>;
constexpr auto MergeVisible = Merge<&ITzToolLayerMerge::MergeVisible>;
constexpr auto Flatten = Merge<&ITzToolLayerMerge::MergeLayers>;

int Crop(ITzPicture& picture)
{
    ITzToolCrop tool;
    return tool.DoCrop(&picture);
}

struct ReplayCase {
    const char* name;
    void (*setup)(ITzPicture&);
    int (*edit)(ITzPicture&);
};

const ReplayCase kCases[] = {
    {"layer move", Plain, [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_MOVE, {60, 50}, {{30, 5}, {0, 300}}); }},
    {"linked layers move", Linked, [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_MOVE, {60, 50}, {{-70, 260}}); }},
    {"selection follows a layer move", Selected,
     [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_MOVE, {60, 50}, {{300, 3}}); }},
    {"copy move", Plain, [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_COPY, {60, 50}, {{-45, 270}}); }},
    {"lift", Selected, [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_MOVE, kInside, {{40, 0}, {0, 300}}); }},
    {"copy lift", Selected, [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_COPY, kInside, {{-260, 17}}); }},
    {"lifted pixels moved again", Lifted,
     [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_MOVE, kMovedInside, {{100, -280}}); }},
    {"lifted pixels dropped and copied", Lifted,
     [](ITzPicture& p) { return Drag(p, ITzTOOLMOVE_COPY, kMovedInside, {{-30, -30}}); }},
    {"key step of a text-like layer", WithRenderedLayer,
     [](ITzPicture& p) { return KeyMove(p, ITzTOOLMOVE_MOVE, {0, 10}); }},
    {"cut", Selected, Cut},
    {"delete", Selected, Delete},
    {"cut after a drag", Lifted, Cut},
    {"delete after a drag", Lifted, Delete},
    {"paste", Plain, Paste},
    {"paste over a selection", Selected, Paste},
    {"paste after a drag", Lifted, Paste},
    {"convert command", WithRenderedLayer, [](ITzPicture& p) { return p.ConvertLayerToImageLayer(2); }},
    {"conversion for an edit", WithRenderedLayer,
     [](ITzPicture& p) { return int(p.GetImageLayerConvert(2, nullptr) != nullptr); }},
    {"merge down after a drag", Lifted, MergeDown},
    {"merge visible after a drag", Lifted, MergeVisible},
    {"flatten after a drag", Lifted, Flatten},
    {"crop after a drag", Lifted, Crop},
    {"resize after a drag", Lifted, [](ITzPicture& p) { return Resize(p, {350, 420}); }},
    {"rotate after a drag", Lifted, Rotate},
};

void RedoAll(ITzPicture& picture)
{
    for (int guard = 0; guard < 4 && picture.DoRedo(); ++guard) {
    }
}

TEST(EditReplay, EveryRecordKindUndoneRedoneAndUndoneAgainIsExact)
{
    for (const ReplayCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ITzPicture picture;
        c.setup(picture);
        const PictureShot before = Shoot(picture);
        ASSERT_NE(c.edit(picture), 0);
        EXPECT_EQ(picture.AbleEditing(), 1);
        const PictureShot after = Shoot(picture);
        ASSERT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, false);
        RedoAll(picture);
        ExpectSame(Shoot(picture), after, false);
        ASSERT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, false);
    }
}

// Freeing the history after an undo and after a redo: the records free what they hold
// (LeakSanitizer) and nothing the picture still shows (the shot and the picture's own
// destruction would touch it).
TEST(EditReplay, EveryRecordKindFreedAfterUndoAndRedoFreesOnlyWhatItHolds)
{
    for (const ReplayCase& c : kCases)
        for (const bool redone : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (redone ? " redone" : " undone"));
            ITzPicture picture;
            c.setup(picture);
            const PictureShot before = Shoot(picture);
            ASSERT_NE(c.edit(picture), 0);
            const PictureShot after = Shoot(picture);
            ASSERT_NE(picture.DoUndo(), 0);
            if (redone)
                RedoAll(picture);
            picture.ClearModified();
            ExpectSame(Shoot(picture), redone ? after : before, false);
        }
}

// Each edit that reads or replaces stored pixels after a drag gives what it gives after
// the lifted pixels were dropped first: nothing the user sees is lost or left behind.
TEST(EditReplay, EditsAfterADragKeepTheMovedPixels)
{
    const ReplayCase edits[] = {
        {"delete", nullptr, Delete},       {"cut", nullptr, Cut},
        {"merge down", nullptr, MergeDown}, {"merge visible", nullptr, MergeVisible},
        {"flatten", nullptr, Flatten},     {"crop", nullptr, Crop},
        {"resize", nullptr, [](ITzPicture& p) { return Resize(p, {350, 420}); }},
        {"rotate", nullptr, Rotate},
    };
    for (const ReplayCase& c : edits) {
        SCOPED_TRACE(c.name);
        ITzPicture afterDrag, afterDrop;
        Lifted(afterDrag);
        Lifted(afterDrop);
        ASSERT_EQ(afterDrop.ClearFloatingLayer(), 1);
        ASSERT_NE(c.edit(afterDrag), 0);
        ASSERT_NE(c.edit(afterDrop), 0);
        ExpectSame(Shoot(afterDrag), Shoot(afterDrop), false);
    }
    // What a cut hands over is what the user saw in the selection.
    ITzPicture afterDrag, afterDrop;
    Lifted(afterDrag);
    Lifted(afterDrop);
    afterDrop.ClearFloatingLayer();
    LayerPointer seen(afterDrop.DoCut());
    LayerPointer cut(afterDrag.DoCut());
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(Take(cut.get()) == Take(seen.get()));
}

}  // namespace
