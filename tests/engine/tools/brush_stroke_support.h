// Strokes driven as the program drives a brush tool, and small readers of their results,
// shared by the brush tools' tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_brush_base.h"

namespace brush_stroke {

// A sample at the centre of picture pixel (x, y).
inline _tagPTzMOUSEPOINT Sample(int32_t x, int32_t y, uint8_t pressure = 255)
{
    return {x * 16 + 8, y * 16 + 8, pressure, {}};
}

// Down, moves through the points, up at the last one.
inline void Stroke(ITzToolBrushBase& tool, ITzPicture& picture, const std::vector<_tagPTzMOUSEPOINT>& samples)
{
    _tagPTzMOUSEPOINT first = samples.front();
    ASSERT_EQ(tool.OnMouseDown(&first, &picture), 1);
    for (size_t i = 1; i < samples.size(); ++i) {
        _tagPTzMOUSEPOINT sample = samples[i];
        EXPECT_EQ(tool.OnMouseMove(&sample, &picture), 1);
    }
    _tagPTzMOUSEPOINT last = samples.back();
    tool.OnMouseUp(&last, &picture);
}

inline int UndoSteps(ITzPicture& picture)
{
    int steps = 0;
    while (picture.DoUndo())
        ++steps;
    return steps;
}

inline _tagPTzCOLOR ColourAt(ITzLayerImage* layer, int32_t x, int32_t y)
{
    const PTzPOINT point = {x, y};
    _tagPTzCOLOR colour = {};
    layer->GetPixelColor(&point, &colour);
    return colour;
}

inline uint8_t AlphaAt(ITzLayerImage* layer, int32_t x, int32_t y)
{
    return ColourAt(layer, x, y).alpha;
}

}  // namespace brush_stroke
