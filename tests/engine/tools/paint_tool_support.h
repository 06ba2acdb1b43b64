// Every painting tool of the engine as one step the program's front-ends make with it:
// a stroke of each brush tool, a fill, a bucket fill and a gradient. Shared by the
// painting tools' tests.
#pragma once

#include <functional>
#include <vector>

#include "brush_stroke_support.h"
#include "floating_test_support.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/tool_blur.h"
#include "engine/tools/tool_bucket.h"
#include "engine/tools/tool_clone.h"
#include "engine/tools/tool_erase.h"
#include "engine/tools/tool_fill.h"
#include "engine/tools/tool_gradient.h"
#include "engine/tools/tool_pen.h"
#include "engine/tools/tool_pencil.h"
#include "engine/tools/tool_sharp.h"
#include "engine/tools/tool_smudge.h"

namespace paint_tools {

using floating_test::Colour;

// Undo, redo and undo again of the picture's last step give the layer exactly as it was
// before and after it, each replay answering that it changed the picture.
inline void ExpectUndoRedoUndo(ITzPicture& picture, ITzLayerImage* layer, const floating_test::Snapshot& before,
                               const floating_test::Snapshot& after)
{
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(floating_test::Take(layer) == before);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_TRUE(floating_test::Take(layer) == after);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(floating_test::Take(layer) == before);
}

// One step: 1 when the tool made it, 0 when it refused.
struct PaintStep {
    const char* name;
    std::function<int(ITzPicture&)> run;
};

// The stroke: down, moves, idle steps between them, up; 1 when it started.
inline int StrokeWith(ITzToolBrushBase& tool, ITzPicture& picture, const std::vector<_tagPTzMOUSEPOINT>& samples)
{
    _tagPTzMOUSEPOINT sample = samples.front();
    if (!tool.OnMouseDown(&sample, &picture))
        return 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        sample = samples[i];
        tool.OnMouseMove(&sample, &picture);
        for (int idle = 0; idle < 5; ++idle)
            tool.OnIdle(&picture);
    }
    sample = samples.back();
    tool.OnMouseUp(&sample, &picture);
    return 1;
}

// A brush tool set up as its front-end sets it up, stroking through the samples.
template <typename Tool, typename Setup>
PaintStep BrushStep(const char* name, std::vector<_tagPTzMOUSEPOINT> samples, Setup setup)
{
    return {name, [samples, setup](ITzPicture& picture) {
                ITzBrushCircle brush(24, 50, 0, 100);
                Tool tool;
                _tagPTzCOLOR front = Colour(255, 200, 30, 60), back = Colour(255, 10, 240, 90);
                tool.SetColor(&front, &back);
                tool.SetOpacity(230);
                tool.SetBrush(&brush);
                setup(tool, picture);
                return StrokeWith(tool, picture, samples);
            }};
}

// Every painting tool: the brushes along one path from (20, 30) to (220, 40), the fills
// over the picture.
inline std::vector<PaintStep> EveryPaintStep()
{
    using brush_stroke::Sample;
    const std::vector<_tagPTzMOUSEPOINT> path = {Sample(20, 30), Sample(120, 90, 120), Sample(220, 40)};
    const auto none = [](auto&, ITzPicture&) {};
    return {
        BrushStep<ITzToolPen>("pen", path, none),
        BrushStep<ITzToolPencil>("pencil", path, none),
        BrushStep<ITzToolErase>("eraser mode 0", path,
                                [](ITzToolErase& tool, ITzPicture&) {
                                    tool.SetEraseMode(ITzERASE_BACK_COLOR);
                                    tool.SetMode(ITzMERGE_NORMAL);
                                }),
        BrushStep<ITzToolErase>("eraser mode 1", path,
                                [](ITzToolErase& tool, ITzPicture&) { tool.SetMode(ITzMERGE_ERASE); }),
        BrushStep<ITzToolClone>("clone", path,
                                [](ITzToolClone& tool, ITzPicture& picture) {
                                    // From the bottom layer, as the program takes it.
                                    const PTzPOINT source = {150, 120}, start = {20, 30};
                                    tool.SetSourceLayer(picture.GetLayerbyIndex(0)->GetPreviewLayer(), &source);
                                    tool.SetDesStartPoint(&start);
                                }),
        BrushStep<ITzToolBlur>("blur", path, [](ITzToolBlur& tool, ITzPicture&) { tool.SetStrength(255); }),
        BrushStep<ITzToolSharp>("sharpen", path, [](ITzToolSharp& tool, ITzPicture&) { tool.SetStrength(200); }),
        BrushStep<ITzToolSmudge>("smudge", path, [](ITzToolSmudge& tool, ITzPicture&) { tool.SetStrength(180); }),
        {"fill",
         [](ITzPicture& picture) {
             _tagPTzCOLOR colour = Colour(255, 30, 60, 90);
             return ITzToolFill().FillData(&picture, &colour, 200);
         }},
        {"bucket",
         [](ITzPicture& picture) {
             _tagPTzCOLOR colour = Colour(255, 90, 60, 30);
             PTzPOINT point = {100, 100};
             return ITzToolBucket().FillData(&picture, &colour, &point, 120, 1, 255);
         }},
        {"gradient",
         [](ITzPicture& picture) {
             _tagITzGRADIENTINFO_2 info = {20, 20, 220, 140, Colour(255, 0, 0, 0), Colour(255, 255, 128, 0)};
             ITzToolGradient tool;
             void* job = tool.DoGradient_2Start(&picture, ITzGRADIENT_LINEAR, &info, 255);
             if (!job)
                 return 0;
             while (tool.DoGradient_2Run(job, nullptr)) {
             }
             return tool.DoGradient_2End(job);
         }},
    };
}

}  // namespace paint_tools
