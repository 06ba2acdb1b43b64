// Each option control of each tool panel, set through the panel as the user sets it, changes
// what the tool then paints (or selects) through the front-end: one row per tool, control
// and pair of settings, the same gesture made under each.
#include <QAbstractButton>
#include <QDockWidget>
#include <QLineEdit>
#include <QRadioButton>
#include <string>

#include "app/ui/program_panels.h"
#include "app/ui/tool_brush.h"
#include "base/memory.h"
#include "engine/tools/tool_brush_base.h"
#include "tests/app/ui/tool_test_support.h"

namespace {

using namespace tool_id;

// The track's clock, moved on by the test: a resting pointer rests as long as it says.
uint32_t ShiftedClock(void* shift)
{
    return PTzGetTickCount() + *static_cast<uint32_t*>(shift);
}

class OptionEffects : public tooltest::ToolTest {
protected:
    void BeforeStart(CShellParts& parts) override
    {
        parts.panels = [] { return std::make_unique<CProgramPanels>(); };
    }
    // Above y 70: stripes three pixels wide for the brushes to blur, sharpen and smudge.
    // Below: white with two red squares, and a band beside the first in a red 20 away
    // from it, for the bucket and the wand.
    uint32_t PictureArgb(int x, int y) const override
    {
        if (y < 70)
            return x / 3 % 2 ? 0xFF2040C0u : 0xFFE0C020u;
        if (y < 90 || y >= 130)
            return 0xFFFFFFFFu;
        if ((x >= 20 && x < 60) || (x >= 120 && x < 160))
            return 0xFFFF0000u;
        return x >= 60 && x < 80 ? 0xFFEB1414u : 0xFFFFFFFFu;
    }

    QWidget* Panel() const { return frame->GetToolOptionsPanel()->widget(); }

    // A number box takes the text as typed; a check or radio button is clicked into the
    // state ("1" checked), a radio button left by clicking the other of its pair.
    void SetControl(int id, const char* value)
    {
        const QString name = QString::number(id);
        if (QLineEdit* box = Panel()->findChild<QLineEdit*>(name)) {
            box->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(value));
            return;
        }
        auto* button = Panel()->findChild<QAbstractButton*>(name);
        ASSERT_TRUE(button) << id;
        const bool checked = value[0] == '1';
        if (button->isChecked() == checked)
            return;
        if (!checked && qobject_cast<QRadioButton*>(button)) {
            for (QRadioButton* other : Panel()->findChildren<QRadioButton*>()) {
                if (other != button)
                    other->click();
            }
            return;
        }
        button->click();
    }

    // The tool's gesture: a brush presses, rests a second and strokes across the stripes;
    // the gradient drags a diagonal; the bucket and the wand click into the first square.
    // Then what the picture holds, pixels and selection, and the picture back as it was.
    std::vector<uint8_t> Paint(uint32_t tool)
    {
        if (tool == GRAD) {
            Stroke({At(20, 20), At(100, 70), At(180, 120)});
        } else if (tool == BUCT || tool == MAGC) {
            Press(At(30, 100));
            Release(At(30, 100));
            RunIdle();
        } else {
            Press(At(40, 35));
            uint32_t shift = 0;
            if (ITzToolBrushBase* engine = static_cast<CTool_BrushBase*>(tools->GetCurrentTool())->GetEngineTool())
                engine->GetMouseTrack()->SetClock(ShiftedClock, &shift);
            for (int rest = 0; rest < 10; ++rest) {
                shift += 100;
                RunIdleTurns(20);
            }
            for (int x = 50; x <= 160; x += 10) {
                Drag(At(x, 35));
                RunIdleTurns(4);
            }
            Release(At(160, 35));
            RunIdle();
        }
        std::vector<uint8_t> result = tooltest::LayerPixels(picture, 0);
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 200; ++x)
                result.push_back(tooltest::SelectionAt(picture, x, y));
        }
        EXPECT_TRUE(picture->DoUndo());
        return result;
    }
};

TEST_F(OptionEffects, EachControlOfEachPanelChangesWhatTheToolPaints)
{
    // Holding support has nothing to show on the pencil and the smudge tool: a hard tip
    // at full pressure, and a smear of a colour over itself, come out the same however
    // often the resting point repeats.
    struct Row {
        uint32_t tool;
        int control;
        const char* first;
        const char* second;
    };
    const Row rows[] = {
        {PEN, 1006, "255", "80"},  {PEN, 1068, "255", "40"},  {PEN, 1016, "0", "1"},
        {PENC, 1006, "255", "80"},
        {ERAS, 1006, "255", "80"}, {ERAS, 1068, "255", "40"}, {ERAS, 1016, "0", "1"}, {ERAS, 1069, "0", "1"},
        {SMDG, 1095, "50", "100"}, {SMDG, 1068, "255", "40"},
        {BLUR, 1095, "50", "100"}, {BLUR, 1068, "255", "40"}, {BLUR, 1016, "0", "1"},
        {SHAP, 1095, "50", "100"}, {SHAP, 1068, "255", "40"}, {SHAP, 1016, "0", "1"},
        {BUCT, 1006, "255", "80"}, {BUCT, 1092, "32", "0"},   {BUCT, 1096, "1", "0"},
        {MAGC, 1092, "32", "0"},   {MAGC, 1096, "1", "0"},
        {GRAD, 1006, "255", "80"}, {GRAD, 1129, "0", "1"},
    };
    const std::vector<uint8_t> untouched = tooltest::LayerPixels(picture, 0);
    for (const Row& row : rows) {
        const char name[] = {char(row.tool >> 24), char(row.tool >> 16), char(row.tool >> 8), char(row.tool), 0};
        SCOPED_TRACE(std::to_string(row.control) + " of " + name);
        Select(row.tool);
        SetControl(row.control, row.first);
        const std::vector<uint8_t> first = Paint(row.tool);
        SetControl(row.control, row.second);
        const std::vector<uint8_t> second = Paint(row.tool);
        SetControl(row.control, row.first);
        EXPECT_NE(first, second);
        EXPECT_EQ(tooltest::LayerPixels(picture, 0), untouched) << "each gesture undone";
    }
}

}  // namespace
