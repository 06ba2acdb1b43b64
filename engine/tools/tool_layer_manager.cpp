// The layer manager's edits: each changes the picture through its plain layer operations
// or the layer's plain setters and leaves one 'lman' record in the picture's history.
#include "engine/tools/tool_layer_manager.h"

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_layer_manager_stack.h"

namespace {

bool SameVisibility(int a, int b)
{
    return (a != 0) == (b != 0);
}

// The name a layer ends up with after SetName(name): at most 63 units.
bool SameName(const PTzChar* layerName, const PTzChar* name)
{
    for (uint32_t i = 0; i < ITzLAYER_NAME_LENGTH - 1; ++i) {
        if (layerName[i] != name[i])
            return false;
        if (name[i] == 0)
            return true;
    }
    return layerName[ITzLAYER_NAME_LENGTH - 1] == 0;
}

bool KnownMergeType(uint32_t type)
{
    return type >= uint32_t(ITzMERGE_COLOR_COPY) && type <= uint32_t(ITzMERGE_SMUDGE);
}

}  // namespace

ITzToolLayerManager::ITzToolLayerManager()
{
    m_toolID = ITzTOOLID_LAYER_MANAGER;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolLayerManager::~ITzToolLayerManager()
{
    ReleasePendingUndoData();
}

_tagITzUNDOLAYERMAN* ITzToolLayerManager::NewRecord(_tagITzLAYERMANKIND kind, ITzLayerBase* layer)
{
    ReleasePendingUndoData();
    auto* record = static_cast<_tagITzUNDOLAYERMAN*>(PTzPointNew(sizeof(_tagITzUNDOLAYERMAN)));
    if (!record)
        return nullptr;
    *record = {{m_toolID}, kind, 0, 0, 0, layer, {}};
    m_undoData = &record->head;
    return record;
}

int ITzToolLayerManager::Commit(ITzPicture* picture, int modifies)
{
    auto* record = reinterpret_cast<_tagITzUNDOLAYERMAN*>(m_undoData);
    if (picture->SaveUndoData(m_undoData, modifies)) {
        m_undoData = nullptr;
        return 1;
    }
    // A step the history does not keep could never be undone: take it back.
    Replay(*picture, *record);
    // Taken back, an insertion leaves its layer with the caller as it came.
    if (record->kind == ITzLAYERMAN_REMOVED) {
        record->layer->SetLinkNumber(record->secondIndex);
        record->layer = nullptr;
    }
    ReleasePendingUndoData();
    return 0;
}

int ITzToolLayerManager::InsertLayer(ITzPicture* picture, uint16_t index, ITzLayerBase* layer)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!layer || !edit.ok())
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_INSERTED, layer);
    if (!record)
        return 0;
    const uint16_t at = index < picture->GetLayerCount() ? index : picture->GetLayerCount();
    record->index = at;
    record->secondIndex = layer->GetLinkNumber();
    record->activeIndex = picture->GetActiveLayerID();
    if (picture->InsertLayer(at, layer) != 0) {
        ReleasePendingUndoData();
        return 0;
    }
    picture->SetActiveLayerID(at);
    return Commit(picture, 1);
}

int ITzToolLayerManager::RemoveLayer(ITzPicture* picture, uint16_t index)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok() || index >= picture->GetLayerCount())
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_REMOVED, nullptr);
    if (!record)
        return 0;
    const uint16_t active = picture->GetActiveLayerID();
    record->index = index;
    record->activeIndex = active;
    record->layer = lumatra::TakeLayerOut(*picture, index);
    if (!record->layer) {
        ReleasePendingUndoData();
        return 0;
    }
    picture->SetActiveLayerID(active);
    return Commit(picture, 1);
}

int ITzToolLayerManager::MoveLayer(ITzPicture* picture, uint16_t from, uint16_t to)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok())
        return 0;
    const uint16_t count = picture->GetLayerCount();
    if (from >= count || to >= count || from == to)
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_MOVED, nullptr);
    if (!record)
        return 0;
    record->index = from;
    record->secondIndex = to;
    record->activeIndex = picture->GetActiveLayerID();
    // Recorded only once the move is done, so a refused move leaves no step behind.
    if (picture->MoveLayer(from, to) != 0) {
        ReleasePendingUndoData();
        return 0;
    }
    return Commit(picture, 1);
}

int ITzToolLayerManager::SetLayerOpacity(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity)
{
    if (!layer)
        return 0;
    return SetLayerOpacity1Final(picture, layer, opacity, layer->GetOpacity());
}

int ITzToolLayerManager::SetLayerOpacity1Temp(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok() || !lumatra::PictureHoldsLayer(*picture, layer))
        return 0;
    layer->SetOpacity(opacity);
    return 1;
}

int ITzToolLayerManager::SetLayerOpacity1Final(ITzPicture* picture, ITzLayerBase* layer, uint8_t opacity,
                                               uint8_t opacityBefore)
{
    const lumatra::ToolEditScope edit(*this, picture);
    if (!edit.ok() || !lumatra::PictureHoldsLayer(*picture, layer) || opacity == opacityBefore)
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_OPACITY, layer);
    if (!record)
        return 0;
    record->info.opacity = opacityBefore;
    layer->SetOpacity(opacity);
    return Commit(picture, 0);
}

int ITzToolLayerManager::SetLayerLink(ITzPicture* picture, ITzLayerBase* layer, int link)
{
    if (!picture || !lumatra::PictureHoldsLayer(*picture, layer))
        return 0;
    const uint16_t active = picture->GetActiveLayerID();
    // The active layer is in its own group whatever it is asked.
    if (picture->GetLayerbyIndex(active) == layer || (layer->IsLinkWithCurrent() != 0) == (link != 0))
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_LINK, layer);
    if (!record)
        return 0;
    record->secondIndex = layer->GetLinkNumber();
    record->activeIndex = active;
    layer->LinkWithCurrent(link);
    return Commit(picture, 0);
}

int ITzToolLayerManager::SetLayerVisibility(ITzPicture* picture, ITzLayerBase* layer, int visible)
{
    if (!picture || !lumatra::PictureHoldsLayer(*picture, layer) || SameVisibility(layer->IsVisible(), visible))
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_VISIBILITY, layer);
    if (!record)
        return 0;
    record->info.visible = uint32_t(layer->IsVisible());
    layer->Setvisibility(visible);
    return Commit(picture, 0);
}

int ITzToolLayerManager::SetLayerInfo(ITzPicture* picture, ITzLayerBase* layer, _tagITzLAYERINFO* info)
{
    if (!picture || !info || !lumatra::PictureHoldsLayer(*picture, layer) || !KnownMergeType(info->mergeType))
        return 0;
    _tagITzLAYERINFO present;
    layer->GetLayerInfo(&present);
    if (present.opacity == info->opacity && SameVisibility(int(present.visible), int(info->visible)) &&
        present.mergeType == info->mergeType && SameName(present.name, info->name))
        return 0;
    _tagITzUNDOLAYERMAN* record = NewRecord(ITzLAYERMAN_INFO, layer);
    if (!record)
        return 0;
    record->info = present;
    ApplyLayerInfo(*layer, *info);
    return Commit(picture, 0);
}

void ITzToolLayerManager::ApplyLayerInfo(ITzLayerBase& layer, const _tagITzLAYERINFO& info)
{
    layer.Setvisibility(int(info.visible));
    layer.SetOpacity(info.opacity);
    layer.SetName(info.name);
    layer.SetMergeType(ITzMERGETYPE(info.mergeType));
}
