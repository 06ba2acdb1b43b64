// The brush front-ends on a real picture in the program's view: a pen stroke along its
// path as one undo step, the strength and erase modes each engine tool is given, the
// clone's source (missing, set by Alt+click, destroyed), and the brush index kept valid
// against the library.
#include <cstdlib>

#include "app/shell/settings_store.h"
#include "app/ui/tool_brush_kinds.h"
#include "app/ui/tool_clone.h"
#include "engine/tools/tool_base.h"
#include "engine/tools/tool_brush_nfloating_base.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;
using tooltest::LayerPixel;
using tooltest::LayerPixels;

// Every channel within 16 of the expected one: the soft brush's dabs leave a trace of
// what lay under them.
bool Near(uint32_t argb, uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(int(argb >> shift & 0xFF) - int(expected >> shift & 0xFF)) > 16)
            return false;
    }
    return true;
}

template <typename Tool>
Tool* ToolOf(CToolManager* tools, uint32_t id)
{
    return static_cast<Tool*>(tools->FindTool(id));
}

class BrushTools : public tooltest::ToolTest {
protected:
    // Red on the left half, blue on the right.
    uint32_t PictureArgb(int x, int) const override { return x < 100 ? 0xFFFF0000u : 0xFF0000FFu; }

    std::vector<QPoint> Line(int x1, int x2, int y) const
    {
        std::vector<QPoint> points;
        for (int x = x1; x <= x2; x += 10)
            points.push_back(At(x, y));
        return points;
    }
};

TEST_F(BrushTools, APenStrokePaintsAlongItsPathAsOneUndoStep)
{
    Select(PEN);
    const std::vector<uint8_t> before = LayerPixels(picture, 0);
    Stroke(Line(20, 180, 60));
    const std::vector<uint8_t> after = LayerPixels(picture, 0);
    for (int x : {20, 60, 100, 140, 180})
        EXPECT_TRUE(Near(LayerPixel(picture, 0, x, 60), 0xFF000000u)) << x << ": black along the path";
    EXPECT_EQ(LayerPixel(picture, 0, 60, 120), 0xFFFF0000u) << "away from it untouched";
    _tagUNDODATABASE* record = nullptr;
    ASSERT_TRUE(picture->GetLastUndoData(&record));
    EXPECT_EQ(record->toolID, ITzTOOLID_FLOATING);

    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(LayerPixels(picture, 0), before);
    EXPECT_FALSE(picture->DoUndo()) << "one step";
    ASSERT_TRUE(picture->DoRedo());
    EXPECT_EQ(LayerPixels(picture, 0), after);
    ASSERT_TRUE(picture->DoUndo());
    EXPECT_EQ(LayerPixels(picture, 0), before);
}

TEST_F(BrushTools, EachRetouchToolPaintsWithItsStrength)
{
    for (uint32_t id : {BLUR, SHAP, SMDG}) {
        Select(id);
        Stroke(Line(90, 110, 30));
        auto* engine = dynamic_cast<ITzToolBrushNFloatingBase*>(ToolOf<CTool_BrushBase>(tools, id)->GetEngineTool());
        ASSERT_NE(engine, nullptr) << std::hex << id;
        EXPECT_EQ(engine->GetStrength(), 128) << std::hex << id << ": 50 % as the engine takes it";
    }
    EXPECT_NE(LayerPixel(picture, 0, 100, 30), 0xFF0000FFu) << "the edge was retouched";
}

TEST_F(BrushTools, TheEraserTakesAlphaInModeOneAndPaintsTheBackColourInModeZero)
{
    Select(ERAS);
    Stroke(Line(20, 60, 40));
    EXPECT_TRUE(Near(LayerPixel(picture, 0, 40, 40) & 0xFF000000u, 0)) << "mode 1: transparent";
    ToolOf<CTool_Erase>(tools, ERAS)->SetEraseMode(0);
    Stroke(Line(20, 60, 100));
    EXPECT_TRUE(Near(LayerPixel(picture, 0, 40, 100), 0xFFFFFFFFu)) << "mode 0: the back colour, opaque";
}

TEST_F(BrushTools, CloneNeedsASourceFromAltClickAndForgetsADestroyedOne)
{
    Select(CLON);
    const std::vector<uint8_t> before = LayerPixels(picture, 0);
    Stroke(Line(150, 170, 50));
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0], QStringLiteral("Please use (Alt+mouse click) to define a source point first."));
    EXPECT_EQ(LayerPixels(picture, 0), before);

    Press(At(20, 50), Qt::AltModifier);
    Release(At(20, 50), Qt::AltModifier);
    EXPECT_EQ(LayerPixels(picture, 0), before) << "Alt+click paints nothing";
    auto* clone = ToolOf<CTool_Clone>(tools, CLON);
    EXPECT_EQ(clone->GetSourceLayer(), picture->GetLayerbyIndex(0));
    Stroke(Line(150, 170, 50));
    EXPECT_TRUE(Near(LayerPixel(picture, 0, 160, 50), 0xFFFF0000u)) << "red cloned over the blue";
    EXPECT_EQ(dialogs->messages.size(), 1u);

    // A source on a layer of its own, which then goes.
    ASSERT_TRUE(picture->NewImageLayer(u"top"));
    Press(At(20, 50), Qt::AltModifier);
    Release(At(20, 50), Qt::AltModifier);
    ASSERT_EQ(clone->GetSourceLayer(), picture->GetLayerbyIndex(1));
    picture->ClearModified();
    ITzLayerBase* top = nullptr;
    ASSERT_EQ(picture->RemoveLayer(1, &top), 0);
    ITzLayerDestroy(top);
    EXPECT_EQ(clone->GetSourceLayer(), nullptr);
    Stroke(Line(150, 170, 100));
    EXPECT_EQ(dialogs->messages.size(), 2u) << "no source again";
}

TEST(BrushIndex, IsLoweredToTheLibrarysLastBrushAtActivationAndKeptWithoutBrushes)
{
    struct Counter : PTzListener {
        int Listen(uint32_t message, void* param, PTzBroadcaster*) override
        {
            if (message == QVMSG_TOOL_BRUSH_CHANGED)
                indexes.push_back(*static_cast<uint32_t*>(param));
            return 1;
        }
        std::vector<uint32_t> indexes;
    };
    quorvel::AppSettings().Wipe();
    CBrushManager library;
    CTool_Pen pen;
    Counter counter;
    counter.AddToBroadcaster(&pen);
    pen.Activate(true);
    EXPECT_EQ(pen.GetBrushIndex(), 5u) << "an empty library keeps the index";
    EXPECT_TRUE(counter.indexes.empty());

    library.CreateDefaultBrushes();
    const uint8_t stored[15] = {25, 0, 0, 0, 3, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0};
    ASSERT_TRUE(WriteAppSetting(u" NEP", quorvel::REG_BINARY, stored, sizeof(stored)));
    pen.LoadOptions();
    EXPECT_EQ(pen.GetBrushIndex(), 25u) << "settled at activation, not at load";
    pen.Activate(true);
    EXPECT_EQ(pen.GetBrushIndex(), 19u);
    ASSERT_FALSE(counter.indexes.empty());
    EXPECT_EQ(counter.indexes.back(), 19u);
    EXPECT_EQ(library.GetCurrentIndex(), 19u);
}

}  // namespace
