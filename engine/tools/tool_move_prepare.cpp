// The move tool's preparation on the first offset: the duplicate a copy drag moves, or
// the lift of the selected pixels into a floating layer, block by block through the
// selection, with the selection cut to the pixels lifted.
#include <cstring>
#include <memory>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/scratch_pages.h"
#include "engine/pixels/selection_block_mask.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_move.h"
#include "engine/tools/tool_selection_blocks.h"

namespace {

using LayerPointer = std::unique_ptr<ITzLayerBase, ITzLayerDestroyer>;

// 255 where the layer holds pixels (alpha above 0) over a block's picture rectangle, 0
// elsewhere: one byte when that is one value, else the page. False when unreadable.
bool CoverageOver(ITzLayerImage& layer, const PTzRECT& blockRect, uint8_t* page, bool& uniform, uint8_t& value)
{
    PTzRECT local;
    if (layer.PRECTtoLRECT(&blockRect, &local) != 0)
        return false;
    // Opaque throughout, told from the block records: nothing to read.
    if (layer.AlphaDataFull(&local)) {
        uniform = true;
        value = 255;
        return true;
    }
    std::memset(page, 0, ITzBLOCK_PAGE_BYTES);
    _tagITzCHANNELBITMAP alpha = {256, 256, 256, int32_t(layer.GetColorMode()), {page}};
    if (!layer.GetRectChannelData(&alpha, &local))
        return false;
    for (uint32_t i = 0; i < ITzBLOCK_PAGE_BYTES; ++i)
        page[i] = page[i] ? 255 : 0;
    uniform = ITzBytesUniform(page, ITzBLOCK_PAGE_BYTES, &value) != 0;
    return true;
}

// Fills the blocks of a gray mask, aligned with the selection, with the coverage of the
// lifted pixels where the selection holds values inside the lifted area; elsewhere the
// mask stays 0.
bool FillCoverageMask(ITzLayerImage& lifted, ITzLayerImage& selection, const PTzRECT& area, ITzLayerImage& mask)
{
    const lumatra::ScratchPages page(1);
    if (!page.ok())
        return false;
    for (uint32_t index = 0, count = mask.GetBlockCount(); index < count; ++index) {
        PTzRECT blockRect, part;
        uint8_t value = 0;
        mask.GetBlockPictRect(index, &blockRect);
        if (!PTzRectIntersect(&blockRect, &area, &part) ||
            (lumatra::ProbeBlockMask(&selection, blockRect, &value) && value == 0))
            continue;
        bool uniform = false;
        if (!CoverageOver(lifted, blockRect, page.page(0), uniform, value))
            return false;
        PTzHANDLE data = nullptr;
        if (!uniform) {
            data = PTzHandleNewUnfilled(ITzBLOCK_PAGE_BYTES);
            if (!data)
                return false;
            const PTzHandleLockGuard bytes(data);
            std::memcpy(bytes.bytes(), page.page(0), ITzBLOCK_PAGE_BYTES);
        }
        const _tagITzBLOCKDATAINFO info = {0, {{data, value}}};
        if (mask.SetBlockInfo(index, &info) != 0)
            return false;  // the mask took the handle over and freed it
    }
    return true;
}

}  // namespace

bool ITzToolMove::Prepare()
{
    const uint16_t index = m_picture->GetActiveLayerID();
    ITzLayerBase* layer = m_picture->GetLayerbyIndex(index);
    if (!layer || !InitUndoData(layer))
        return false;
    return m_selectionMove ? PrepareSelectionMove(index) : PrepareLayerMove(layer, index);
}

bool ITzToolMove::PrepareLayerMove(ITzLayerBase* layer, uint16_t index)
{
    _tagITzUNDOMOVE& record = *Record();
    record.layerIndex = index;
    layer->GetBounds(&record.bounds);
    if (m_type != ITzTOOLMOVE_COPY)
        return true;
    // The whole layer is duplicated, whatever the selection: the duplicate is what moves.
    LayerPointer copy(layer->CreateCopyLayer());
    const uint16_t above = uint16_t(index + 1);
    if (!copy || m_picture->InsertLayer(above, copy.get()) != 0)
        return false;
    copy.release();
    m_picture->SetActiveLayerID(above);
    record.layerIndex = above;
    record.copyOrLift = 1;
    return true;
}

bool ITzToolMove::PrepareSelectionMove(uint16_t index)
{
    // A layer of another kind gives its pixels up first, under this move's ticket.
    ITzLayerImage* layer = m_picture->GetImageLayerConvert(index, nullptr);
    if (!layer)
        return false;
    _tagITzUNDOMOVE& record = *Record();
    record.layerIndex = index;
    record.blockType = layer->GetBlockType();
    PTzRECT selected;
    ITzLayerImageSelect* selection = lumatra::SelectedMask(*m_picture, &selected);
    if (ITzLayerImage* floating = layer->GetFloatingLayer()) {
        floating->GetBounds(&record.bounds);
        return true;
    }
    return selection && Lift(*layer, *selection, record);
}

bool ITzToolMove::Lift(ITzLayerImage& layer, ITzLayerImageSelect& selection, _tagITzUNDOMOVE& record)
{
    PTzRECT selected, bounds, area;
    selection.GetSelectionBounds(&selected);
    layer.GetBounds(&bounds);
    const int takeOut = m_type == ITzTOOLMOVE_MOVE ? 1 : 0;
    ITzUndoBlockListBase* layerBlocks = GetUndoBlockList(&record);
    if (!layerBlocks || !PTzRectIntersect(&selected, &bounds, &area))
        return false;
    ITzLayerImage* floating = layer.CreateFloatingLayer();
    if (!floating)
        return false;
    // Block by block through the selection; a copy leaves the layer as it is and so
    // keeps none of its blocks.
    bool lifted = floating->SetSize(&area, 1) == 0 &&
                  lumatra::ForSelectedBlocks(layer, *floating, &selection, [&](const auto& from, const auto& to) {
                      return ITzLayerImage::CopyToFloatLayer(&layer, &from, floating, &to, &selection, takeOut,
                                                             layerBlocks) != 0;
                  });
    // The selection follows the pixels lifted: cut to where they are not transparent.
    if (lifted)
        lifted = CutSelection(*floating, selection, area, record);
    if (!lifted) {
        // Each block kept is swapped back whole; no memory is needed for that.
        layer.UndoSwitchBlockData(layerBlocks);
        ITzLayerBase::DestroyLayer(layer.RemoveFloatingLayer());
        return false;
    }
    floating->GetBounds(&record.bounds);
    record.floatingMove = 1;
    record.copyOrLift = 1;
    return true;
}

bool ITzToolMove::CutSelection(ITzLayerImage& lifted, ITzLayerImageSelect& selection, const PTzRECT& area,
                               _tagITzUNDOMOVE& record)
{
    selection.GetBounds(&record.selectionRect);
    ITzUndoBlockListBase* blocks = GetMaskUndoBlockList(&record);
    ITzLayerImage* mask = blocks ? selection.CreateFloatingLayer() : nullptr;
    if (!mask)
        return false;
    // Intersected with 0 or 255, each value stays where the lifted pixels are and goes
    // elsewhere, outside the lifted area too. A value is kept whole: weakened by the
    // pixels' alpha it would fade them once more when they merge. Over the selection's
    // whole bounds the intersection keeps its grid, so a merge that fails halfway is
    // taken back block by block, without memory.
    mask->SetMergeType(ITzMERGE_INTERSECT);
    if (mask->SetSize(&record.selectionRect, 1) != 0 || !FillCoverageMask(lifted, selection, area, *mask)) {
        ITzLayerBase::DestroyLayer(selection.RemoveFloatingLayer());
        return false;
    }
    ITzLayerImage* merged = selection.MergeFlatingLayer(blocks);
    if (!merged) {
        ITzLayerBase::DestroyLayer(selection.RemoveFloatingLayer());
        return false;
    }
    ITzLayerBase::DestroyLayer(merged);
    return true;
}
