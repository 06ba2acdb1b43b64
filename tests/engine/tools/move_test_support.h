// Shared by the move, cut and record-replay tests: a picture whose layers cross block
// borders, drags and key steps of the move tool, and the picture-wide jobs run whole.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>
#include <set>

#include "engine/tools/tool_mask.h"
#include "engine/tools/tool_move.h"
#include "engine/tools/tool_resize.h"
#include "engine/tools/tool_rotate_special.h"
#include "tool_resize_test_support.h"

namespace move_test {

constexpr PTzRECT kEllipse = {150, 120, 470, 400};  // crosses the borders at 256
constexpr PTzPOINT kInside = {310, 260};

// A 700 x 600 picture of two patterned layers (colours and alphas vary pixel by pixel),
// the active upper one over (40, 30, 660, 560).
inline void MakeMovePicture(ITzPicture& picture)
{
    floating_test::MakePicture(picture, 1, {0, 0, 700, 600});
    auto* layer = new ITzLayerImageARGB();
    const PTzRECT bounds = {40, 30, 660, 560};
    layer->SetSize(&bounds, 1);
    floating_test::Pattern(layer, {0, 0, 620, 530}, 77);
    picture.InsertLayer(1, layer);
    picture.SetActiveLayerID(1);
}

// Selects the ellipse inscribed in the rectangle with the selection tool (its edge is
// anti-aliased, so it holds partial values), leaving the history empty.
inline void SelectEllipse(ITzPicture& picture, const PTzRECT& rect)
{
    ITzToolMask tool;
    EXPECT_EQ(tool.DrawArcSelection(&picture, &rect, 255, ITzSELECTION_REPLACE), 1);
    picture.ClearModified();
}

// The selection's values over a picture rectangle (0 outside it), row by row.
inline std::vector<uint8_t> SelectionValues(ITzPicture& picture, const PTzRECT& rect)
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<uint8_t> values(size_t(width) * size_t(height), 0);
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    _tagITzCHANNELBITMAP plane = {width, height, width, int32_t(PTzCOLORMODE_GRAY), {values.data()}};
    PTzRECT local;
    if (selection && selection->PRECTtoLRECT(&rect, &local) == 0)
        selection->GetRectChannelData(&plane, &local);
    return values;
}

inline uint8_t SelectionValue(ITzPicture& picture, int32_t x, int32_t y)
{
    return SelectionValues(picture, {x, y, x + 1, y + 1})[0];
}

// A drag of the move tool from a point through the offsets: StartMove's result.
inline int Drag(ITzPicture& picture, ITzTOOLMOVETYPE type, PTzPOINT from,
                std::initializer_list<_tagPTzOFFSET> steps)
{
    ITzToolMove tool;
    tool.SetToolType(type);
    const int started = tool.StartMove(&picture, &from);
    for (_tagPTzOFFSET step : steps)
        tool.MoveOffset(&step);
    tool.StopMove();
    return started;
}

inline int KeyMove(ITzPicture& picture, ITzTOOLMOVETYPE type, _tagPTzOFFSET step)
{
    ITzToolMove tool;
    tool.SetToolType(type);
    return tool.KeyMove(&picture, &step);
}

// The resize and the quarter turn run to their end under a ticket: End's result.
inline int Resize(ITzPicture& picture, _tagPTzSIZE size)
{
    ITzToolResize tool;
    if (!tool.StartEditing(&picture))
        return 0;
    void* job = tool.ResizePictureStart(&picture, &size, 0);
    if (!job)
        return tool.StopEditing(&picture) * 0;
    while (tool.ResizePicture(job, nullptr)) {
    }
    const int result = tool.ResizePictureEnd(job);
    tool.StopEditing(&picture);
    return result;
}

inline int Rotate(ITzPicture& picture)
{
    ITzToolRotateSpecial tool;
    if (!tool.StartEditing(&picture))
        return 0;
    void* job = tool.RotatePictureStart(&picture, 1);
    if (!job)
        return tool.StopEditing(&picture) * 0;
    while (tool.RotatePicture(job, nullptr)) {
    }
    const int result = tool.RotatePictureEnd(job);
    tool.StopEditing(&picture);
    return result;
}

// Counts the block moves and block reads of each block of an ARGB layer.
class CountingLayer : public ITzLayerImageARGB {
public:
    std::set<uint32_t> touched;
    int backups = 0;

    using ITzLayerImageARGB::GetBlockInfo;
    int GetBlockInfo(uint32_t index, _tagITzBLOCKDATAINFO* info, int fill) override
    {
        touched.insert(index);
        return ITzLayerImageARGB::GetBlockInfo(index, info, fill);
    }
    int BackupBlock(uint32_t index, ITzUndoBlockListBase* list) override
    {
        touched.insert(index);
        ++backups;
        return ITzLayerImageARGB::BackupBlock(index, list);
    }
    int CopyBlockCut(const _tagITzBLOCKPOSITION* position, ITzLayerImage* target,
                     const _tagITzBLOCKPOSITION* targetPosition, ITzLayerImage* selection) override
    {
        touched.insert(BlockPosToIndex(position));
        return ITzLayerImageARGB::CopyBlockCut(position, target, targetPosition, selection);
    }
    int CopyBlockToFloat(const _tagITzBLOCKPOSITION* position, ITzLayerImage* floating,
                         const _tagITzBLOCKPOSITION* floatingPosition, ITzLayerImage* selection, int takeOut) override
    {
        touched.insert(BlockPosToIndex(position));
        return ITzLayerImageARGB::CopyBlockToFloat(position, floating, floatingPosition, selection, takeOut);
    }
};

// A picture of one counting layer of one colour over 1280 x 1024 (5 x 4 blocks, each
// channel one byte) with an ellipse selected inside it; the layer's counts start at 0.
inline CountingLayer* MakeCountingPicture(ITzPicture& picture, const PTzRECT& ellipse)
{
    picture.Create(1280, 1024);
    auto* layer = new CountingLayer();
    const PTzRECT bounds = {0, 0, 1280, 1024};
    const _tagPTzCOLOR solid = floating_test::Colour(255, 90, 80, 70);
    layer->FillRect(&bounds, &solid);
    picture.InsertLayer(0, layer);
    SelectEllipse(picture, ellipse);
    layer->touched.clear();
    layer->backups = 0;
    return layer;
}

// The blocks of the layer under which the selection holds any value.
inline std::set<uint32_t> BlocksMeeting(ITzLayerImage& layer, ITzPicture& picture)
{
    std::set<uint32_t> meeting;
    for (uint32_t index = 0; index < layer.GetBlockCount(); ++index) {
        PTzRECT block;
        layer.GetBlockPictRect(index, &block);
        const std::vector<uint8_t> values = SelectionValues(picture, block);
        if (std::any_of(values.begin(), values.end(), [](uint8_t v) { return v != 0; }))
            meeting.insert(index);
    }
    return meeting;
}

// Blocks the walk left out keep their one-byte channels and their colour.
inline void ExpectUntouchedOutside(CountingLayer& layer, const std::set<uint32_t>& meeting)
{
    for (uint32_t index = 0; index < layer.GetBlockCount(); ++index) {
        if (meeting.count(index))
            continue;
        _tagITzBLOCKINFOARGB record;
        layer.GetBlockInfo(index, &record, 0);
        for (PTzHANDLE channel : record.channels)
            EXPECT_EQ(channel, nullptr) << index;
        EXPECT_EQ(record.constants[0], 255) << index;
    }
    EXPECT_EQ(layer.touched, meeting);
}

}  // namespace move_test
