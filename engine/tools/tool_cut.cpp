// The cut tool: the selected pixels of a layer moved block by block into a new layer,
// the blocks it replaced kept for undo, and the replay that swaps them back.
#include "engine/tools/tool_cut.h"

#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_layer_manager_stack.h"
#include "engine/tools/tool_merge_floating_first.h"
#include "engine/tools/tool_selection_blocks.h"

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

_tagITzUNDOCUT* CutRecord(_tagUNDODATABASE* head)
{
    return reinterpret_cast<_tagITzUNDOCUT*>(head);
}

}  // namespace

ITzToolCut::ITzToolCut()
{
    m_toolID = ITzTOOLID_CUT;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolCut::~ITzToolCut()
{
    ReleasePendingUndoData();
}

_tagUNDODATABASE* ITzToolCut::GetUndoData(ITzLayerImage* layer)
{
    if (m_undoData || !layer)
        return m_undoData;
    auto* record = static_cast<_tagITzUNDOCUT*>(PTzPointNew(sizeof(_tagITzUNDOCUT)));
    if (!record)
        return nullptr;
    *record = {};
    record->head.toolID = m_toolID;
    record->blockType = layer->GetBlockType();
    layer->GetBounds(&record->bounds);
    m_undoData = &record->head;
    record->blocks = new (std::nothrow) ITzUndoTwoLevelBlockList(record->blockType);
    if (!record->blocks)
        ReleasePendingUndoData();
    return m_undoData;
}

ITzLayerImage* ITzToolCut::DoCut(ITzPicture* picture)
{
    return Cut(picture, false);
}

ITzLayerImage* ITzToolCut::DoDelete(ITzPicture* picture)
{
    return Cut(picture, true);
}

ITzLayerImage* ITzToolCut::Cut(ITzPicture* picture, bool deleteOnly)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok())
        return nullptr;
    PTzRECT selected, area;
    ITzLayerImageSelect* selection = lumatra::SelectedMask(*picture, &selected);
    const uint16_t index = picture->GetActiveLayerID();
    ITzLayerBase* active = picture->GetLayerbyIndex(index);
    if (!selection || !active || !active->IsImageLayer())
        return nullptr;
    auto* layer = static_cast<ITzLayerImage*>(active);
    // What the user sees is cut: pixels lifted by a drag go into the layer first.
    if (!lumatra::MergeFloatingFirst(*picture, layer) || !GetUndoData(layer))
        return nullptr;
    _tagITzUNDOCUT& record = *CutRecord(m_undoData);
    record.layerIndex = index;
    record.deleteOnly = deleteOnly ? 1 : 0;
    LayerPointer cut(layer->CreateSameTypeLayer());
    bool done = PTzRectIntersect(&record.bounds, &selected, &area) && cut && layer->CreateMatchBlock(cut.get()) &&
                cut->SetSize(&area, 1) == 0 &&
                lumatra::ForSelectedBlocks(*layer, *cut, selection, [&](const auto& from, const auto& to) {
                    return ITzLayerImage::CopyToCutLayer(layer, &from, cut.get(), &to, selection, record.blocks) != 0;
                });
    if (done && !deleteOnly)
        record.selection = picture->RemoveSelectionLayer();
    done = done && picture->SaveUndoData(m_undoData, 1);
    if (!done) {
        // The blocks cut so far go back whole, which needs no memory; the new layer goes.
        layer->UndoSwitchBlockData(record.blocks);
        if (record.selection)
            record.selection = picture->SetSelectLayer(record.selection);
        ReleasePendingUndoData();
        return nullptr;
    }
    m_undoData = nullptr;
    return cut.release();
}

int ITzToolCut::DoUndo(ITzPicture* picture, _tagUNDODATABASE* head)
{
    if (!picture || !head)
        return 0;
    _tagITzUNDOCUT& record = *CutRecord(head);
    ITzLayerBase* found = picture->GetLayerbyIndex(record.layerIndex);
    if (!record.blocks || !found || !found->IsImageLayer())
        return 0;
    auto* layer = static_cast<ITzLayerImage*>(found);
    std::unique_ptr<ITzUndoBlockListBase> fresh(new (std::nothrow) ITzUndoTwoLevelBlockList(record.blockType));
    PTzRECT present;
    if (layer->GetBlockType() != record.blockType || !fresh ||
        layer->Undo(&record.bounds, record.blocks, &present, fresh.get()) <= 0)
        return 0;
    delete record.blocks;
    record.blocks = fresh.release();
    record.bounds = present;
    // The selection changes places between the picture and the record.
    if (!record.deleteOnly)
        record.selection = picture->SetSelectLayer(record.selection);
    picture->SetActiveLayerID(record.layerIndex);
    return 1;
}

int ITzToolCut::DoRedo(ITzPicture* picture, _tagUNDODATABASE* record)
{
    return DoUndo(picture, record);
}

int ITzToolCut::ReleaseUndoData(_tagUNDODATABASE* head)
{
    if (!head)
        return 0;
    _tagITzUNDOCUT* record = CutRecord(head);
    delete record->blocks;
    ITzLayerBase::DestroyLayer(record->selection);
    PTzPointFree(record);
    return 1;
}
