// The crop record: its making and freeing, and the replays that move layers and swap
// their cut-away blocks back in, for one layer and for the whole picture.
#include "engine/tools/tool_crop_record.h"

#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"

namespace lumatra {

namespace {

_tagPTzOFFSET Opposite(_tagPTzOFFSET offset)
{
    return {-offset.x, -offset.y};
}

// An image layer has a list of its own block type in its entry; other layers none.
bool EntryFits(ITzLayerBase* layer, const _tagITzCROPLAYERENTRY& entry)
{
    if (!layer->IsImageLayer())
        return !entry.blocks;
    return entry.blocks && entry.blocks->GetBlockType() == static_cast<ITzLayerImage*>(layer)->GetBlockType();
}

bool RecordFits(ITzPicture& picture, _tagITzUNDOCROP& record)
{
    if (record.layerCount != picture.GetLayerCount())
        return false;
    _tagITzCROPLAYERENTRY* entries = CropEntries(&record);
    for (uint16_t index = 0; index < record.layerCount; ++index)
        if (!EntryFits(picture.GetLayerbyIndex(index), entries[index]))
            return false;
    return true;
}

}  // namespace

_tagITzUNDOCROP* NewCropRecord(uint32_t toolID, const PTzRECT& rect, const _tagPTzSIZE& size, uint16_t layerCount)
{
    const uint32_t bytes = uint32_t(sizeof(_tagITzUNDOCROP) + sizeof(_tagITzCROPLAYERENTRY) * layerCount);
    auto* record = static_cast<_tagITzUNDOCROP*>(PTzPointNew(bytes));
    if (!record)
        return nullptr;
    *record = {{toolID}, -rect.left, -rect.top, size.cx - rect.left, size.cy - rect.top, layerCount};
    _tagITzCROPLAYERENTRY* entries = CropEntries(record);
    for (uint16_t index = 0; index < layerCount; ++index)
        entries[index] = {{0, 0, 0, 0}, nullptr};
    return record;
}

void FreeCropRecord(_tagITzUNDOCROP* record)
{
    if (!record)
        return;
    _tagITzCROPLAYERENTRY* entries = CropEntries(record);
    for (uint16_t index = 0; index < record->layerCount; ++index)
        delete entries[index].blocks;
    PTzPointFree(record);
}

void ShiftLayer(ITzLayerBase* layer, _tagPTzOFFSET offset)
{
    if (layer && (offset.x != 0 || offset.y != 0))
        layer->MoveCore(&offset);
}

bool ReplayCropLayer(ITzLayerBase* layer, _tagITzCROPLAYERENTRY& entry, _tagPTzOFFSET shift, bool shiftFirst)
{
    if (shiftFirst)
        ShiftLayer(layer, shift);
    if (entry.blocks) {
        // Block indexes in a list belong to the grid the layer had where the list was
        // made, so the blocks swap while the layer lies there.
        auto* image = static_cast<ITzLayerImage*>(layer);
        std::unique_ptr<ITzUndoTwoLevelBlockList> given(new (std::nothrow)
                                                            ITzUndoTwoLevelBlockList(image->GetBlockType()));
        PTzRECT before;
        if (!given || !image->Undo(&entry.bounds, entry.blocks, &before, given.get())) {
            if (shiftFirst)
                ShiftLayer(layer, Opposite(shift));
            return false;
        }
        delete entry.blocks;  // holds the empty records the layer swapped out
        entry.blocks = given.release();
        entry.bounds = before;
    }
    if (!shiftFirst)
        ShiftLayer(layer, shift);
    return true;
}

int ApplyCropRecord(ITzPicture& picture, _tagITzUNDOCROP& record, bool undoOrder)
{
    if (!RecordFits(picture, record))
        return 0;
    _tagPTzSIZE present = {0, 0};
    picture.GetSize(&present);
    const _tagPTzSIZE size = {record.widthTerm - record.shiftX, record.heightTerm - record.shiftY};
    const _tagPTzOFFSET shift = {-record.shiftX, -record.shiftY};
    ITzLayerImage* selection = picture.GetSelectionLayer(0);
    if (undoOrder) {
        picture.SetSize(&size);
        ShiftLayer(selection, shift);
    }
    _tagITzCROPLAYERENTRY* entries = CropEntries(&record);
    for (uint16_t index = 0; index < record.layerCount; ++index) {
        if (ReplayCropLayer(picture.GetLayerbyIndex(index), entries[index], shift, undoOrder))
            continue;
        // Each replayed entry now describes the way back.
        while (index-- > 0)
            ReplayCropLayer(picture.GetLayerbyIndex(index), entries[index], Opposite(shift), !undoOrder);
        if (undoOrder) {
            ShiftLayer(selection, Opposite(shift));
            picture.SetSize(&present);
        }
        return 0;
    }
    if (!undoOrder) {
        ShiftLayer(selection, shift);
        picture.SetSize(&size);
    }
    record = {record.head, -record.shiftX, -record.shiftY, present.cx - record.shiftX, present.cy - record.shiftY,
              record.layerCount};
    return 1;
}

}  // namespace lumatra
