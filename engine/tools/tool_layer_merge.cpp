// The layer merges: each builds the merged layer and the list of the layers it replaces,
// then swaps the two in the picture as one 'lmeg' step.
#include "engine/tools/tool_layer_merge.h"

#include <memory>

#include "base/geometry.h"
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_backup_list.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_layer_manager_stack.h"
#include "engine/tools/tool_merge_floating_first.h"

namespace {

using LayerPointer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

// Copies one zoom-1/1 tile of the composite, without the mask-editing overlay, which
// shows the selection and is no part of any layer.
bool ComposeTile(ITzPicture& picture, ITzLayerImage& layer, const PTzRECT& tile)
{
    _tagITzCHANNELBITMAP pixels = {tile.right - tile.left, tile.bottom - tile.top, 0, 0, {}};
    if (!picture.LockChannelBitmap(&pixels))
        return false;
    _tagITzZOOMLEVEL zoom = {1, 1};
    const bool done = picture.GetPreviewData2(&tile, &pixels, &zoom, 1) == 0 &&
                      layer.SetRectChannelData(&pixels, &tile) != 0;
    picture.UnlockChannelBitmap(&pixels);
    return done;
}

// A new layer of the picture's kind and size holding its composite; null when it
// cannot be made or a tile cannot be composed.
LayerPointer ComposeNewLayer(ITzPicture& picture)
{
    LayerPointer layer(picture.CreateImagelayer());
    _tagPTzSIZE size = {};
    picture.GetSize(&size);
    const PTzRECT bounds = {0, 0, size.cx, size.cy};
    _tagPTzRECTENUM walk;
    if (!layer || layer->SetSize(&bounds, 1) != 0 || PTzRectEnumFill(&bounds, &walk, nullptr) != 0)
        return nullptr;
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        if (!ComposeTile(picture, *layer, tile))
            return nullptr;
    }
    return layer;
}

}  // namespace

ITzToolLayerMerge::ITzToolLayerMerge()
{
    m_toolID = ITzTOOLID_LAYER_MERGE;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolLayerMerge::~ITzToolLayerMerge()
{
    ReleasePendingUndoData();
}

int ITzToolLayerMerge::CanMergeDown(ITzPicture* picture)
{
    if (!picture)
        return 0;
    const uint16_t active = picture->GetActiveLayerID();
    if (active == 0)
        return 0;
    ITzLayerBase* upper = picture->GetLayerbyIndex(active);
    ITzLayerBase* lower = picture->GetLayerbyIndex(active - 1);
    return upper && lower && upper->IsVisible() && lower->IsVisible() ? 1 : 0;
}

int ITzToolLayerMerge::CanMergeVisible(ITzPicture* picture)
{
    if (!picture)
        return 0;
    uint16_t visible = 0;
    for (uint16_t i = 0; i < picture->GetLayerCount(); ++i)
        visible += picture->GetLayerbyIndex(i)->IsVisible() ? 1 : 0;
    return visible > 1 ? 1 : 0;
}

int ITzToolLayerMerge::CanMergeLayers(ITzPicture* picture)
{
    return picture && picture->GetLayerCount() > 1 ? 1 : 0;
}

_tagITzUNDOLAYERMERGE* ITzToolLayerMerge::NewRecord(_tagITzLAYERMERGEKIND kind, ITzLayerImage* merged)
{
    ReleasePendingUndoData();
    auto* record = static_cast<_tagITzUNDOLAYERMERGE*>(PTzPointNew(sizeof(_tagITzUNDOLAYERMERGE)));
    if (!record) {
        ITzLayerBase::DestroyLayer(merged);
        return nullptr;
    }
    // Holding the merged layer, the record owns it and not the layers it lists.
    *record = {{m_toolID}, kind, merged, 0, new (std::nothrow) ITzLayerBackupList(), 0};
    m_undoData = &record->head;
    if (!record->layers) {
        ReleasePendingUndoData();
        return nullptr;
    }
    return record;
}

bool ITzToolLayerMerge::ListLayer(uint16_t index, ITzLayerBase* layer)
{
    auto* record = reinterpret_cast<_tagITzUNDOLAYERMERGE*>(m_undoData);
    const _tagITzLAYERBACKUPINFO item = {index, layer};
    return record->layers->InsertItem(&item, 0) == 0;
}

int ITzToolLayerMerge::Commit(ITzPicture& picture)
{
    auto* record = reinterpret_cast<_tagITzUNDOLAYERMERGE*>(m_undoData);
    // Built as if the merge had been undone, the record makes the merge by its replay.
    record->activeIndex = record->index;
    if (!Replay(picture, *record)) {
        ReleasePendingUndoData();
        return 0;
    }
    if (picture.SaveUndoData(m_undoData, 1)) {
        m_undoData = nullptr;
        return 1;
    }
    // A step the history does not keep could never be undone: take it back.
    Replay(picture, *record);
    ReleasePendingUndoData();
    return 0;
}

int ITzToolLayerMerge::MergeLayers(ITzPicture* picture)
{
    const lumatra::ToolEditScope edit(*this, picture);
    // The layers' stored pixels are replaced: pixels a drag lifted go into them first.
    if (!edit.ok() || picture->GetLayerCount() == 0 || !lumatra::MergeFloatingFirst(*picture))
        return 0;
    LayerPointer merged = ComposeNewLayer(*picture);
    _tagITzUNDOLAYERMERGE* record = merged ? NewRecord(ITzLAYERMERGE_ALL, merged.release()) : nullptr;
    if (!record)
        return 0;
    for (uint16_t i = 0; i < picture->GetLayerCount(); ++i) {
        if (!ListLayer(i, picture->GetLayerbyIndex(i))) {
            ReleasePendingUndoData();
            return 0;
        }
    }
    record->index = 0;
    return Commit(*picture);
}

int ITzToolLayerMerge::MergeVisible(ITzPicture* picture)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok())
        return 0;
    const uint16_t active = picture->GetActiveLayerID();
    uint16_t visible = 0;
    uint16_t visibleBelowActive = 0;
    for (uint16_t i = 0; i < picture->GetLayerCount(); ++i) {
        if (picture->GetLayerbyIndex(i)->IsVisible()) {
            ++visible;
            visibleBelowActive += i < active ? 1 : 0;
        }
    }
    const auto replaced = [picture](uint16_t index) { return picture->GetLayerbyIndex(index)->IsVisible() != 0; };
    if (visible == 0 || !lumatra::MergeFloatingFirst(*picture, replaced))
        return 0;
    LayerPointer merged = ComposeNewLayer(*picture);
    _tagITzUNDOLAYERMERGE* record = merged ? NewRecord(ITzLAYERMERGE_VISIBLE, merged.release()) : nullptr;
    if (!record)
        return 0;
    for (uint16_t i = 0; i < picture->GetLayerCount(); ++i) {
        ITzLayerBase* layer = picture->GetLayerbyIndex(i);
        if (layer->IsVisible() && !ListLayer(i, layer)) {
            ReleasePendingUndoData();
            return 0;
        }
    }
    // The merged layer lands where the active layer ends up once the merged ones are out.
    record->index = active - visibleBelowActive;
    return Commit(*picture);
}

int ITzToolLayerMerge::MergeLayerDown(ITzPicture* picture)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok() || !CanMergeDown(picture))
        return 0;
    const uint16_t active = picture->GetActiveLayerID();
    ITzLayerBase* upper = picture->GetLayerbyIndex(active);
    ITzLayerBase* lower = picture->GetLayerbyIndex(active - 1);
    // Both layers' stored pixels are read: pixels a drag lifted go into them first.
    if (!lumatra::MergeFloatingFirst(*picture, upper) || !lumatra::MergeFloatingFirst(*picture, lower))
        return 0;
    ITzLayerImage* upperPixels = upper->GetPreviewLayer();
    ITzLayerImage* lowerPixels = lower->GetPreviewLayer();
    if (!upperPixels || !lowerPixels)
        return 0;
    LayerPointer merged(lowerPixels->CopyLayer());
    if (!merged || !merged->MergeLayer(upperPixels))
        return 0;
    merged->SetLinkNumber(lower->GetLinkNumber());
    _tagITzUNDOLAYERMERGE* record = NewRecord(ITzLAYERMERGE_DOWN, merged.release());
    if (!record || !ListLayer(active, upper) || !ListLayer(active - 1, lower)) {
        ReleasePendingUndoData();
        return 0;
    }
    record->index = active - 1;
    return Commit(*picture);
}
