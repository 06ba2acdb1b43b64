// Selections the selection tools will make, written here straight into the selection's
// blocks: an ellipse with a soft edge, block by block, so that blocks wholly inside are
// one byte, blocks outside are never written and only the edge blocks hold data. Shared
// by the move and cut tests and the lift benchmark.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "base/color.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"

namespace selection_shapes {

// The ellipse inscribed in `rect` (picture coordinates) at the pixel centre (x, y):
// 255 inside, 0 outside, a ramp about one pixel wide across the edge.
inline uint8_t EllipseValue(const PTzRECT& rect, double x, double y)
{
    const double rx = (rect.right - rect.left) / 2.0, ry = (rect.bottom - rect.top) / 2.0;
    const double dx = (x - rect.left - rx) / rx, dy = (y - rect.top - ry) / ry;
    const double distance = (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(rx, ry);
    return uint8_t(std::clamp(0.5 - distance, 0.0, 1.0) * 255.0 + 0.5);
}

// Adds the ellipse to the picture's selection (made when there is none) through its
// floating layer, so that the selection's bounds follow; the selection, or null.
inline ITzLayerImageSelect* SelectEllipse(ITzPicture& picture, const PTzRECT& rect)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    ITzLayerImage* mask = selection ? selection->CreateFloatingLayer() : nullptr;
    if (!mask || mask->SetSize(&rect, 1) != 0)
        return nullptr;
    const double cx = (rect.left + rect.right) / 2.0, cy = (rect.top + rect.bottom) / 2.0;
    const auto value = [&](double x, double y) { return EllipseValue(rect, x, y); };
    std::vector<uint8_t> page(256 * 256);
    for (uint32_t index = 0; index < mask->GetBlockCount(); ++index) {
        PTzRECT block, part, local;
        mask->GetBlockPictRect(index, &block);
        if (!PTzRectIntersect(&block, &rect, &part))
            continue;
        // The nearest and the farthest points of the block from the centre decide
        // whether it lies wholly outside or wholly inside (the ellipse is convex).
        const double nx = std::clamp(cx, double(part.left), double(part.right));
        const double ny = std::clamp(cy, double(part.top), double(part.bottom));
        const double fx = std::abs(part.left - cx) > std::abs(part.right - cx) ? part.left : part.right;
        const double fy = std::abs(part.top - cy) > std::abs(part.bottom - cy) ? part.top : part.bottom;
        mask->PRECTtoLRECT(&part, &local);
        if (value(nx, ny) == 0)
            continue;
        if (value(fx, fy) == 255 && PTzRectEqual(&part, &block)) {
            const _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
            mask->FillRect(&local, &full);
            continue;
        }
        const int32_t width = part.right - part.left, height = part.bottom - part.top;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                page[size_t(y) * 256 + size_t(x)] = value(part.left + x + 0.5, part.top + y + 0.5);
        _tagITzBITMAP bitmap = {width, height, 256, 8, int32_t(PTzCOLORMODE_GRAY), page.data()};
        mask->SetRectData(&local, &bitmap);
    }
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    ITzLayerBase::DestroyLayer(selection->MergeFlatingLayer(&undo));
    return selection;
}

}  // namespace selection_shapes
