// The text tool's edits: presses that place the caret or make a text layer, drags that
// select, typing, deleting, caret keys and font changes of the active text layer.
#include "engine/tools/tool_text.h"

#include <memory>
#include <new>

#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/tools/tool_layer_manager_stack.h"

namespace {

ITzLayerText* ActiveTextLayer(ITzPicture& picture)
{
    if (picture.GetLayerCount() == 0)
        return nullptr;
    ITzLayerBase* layer = picture.GetLayerbyIndex(picture.GetActiveLayerID());
    return layer && layer->GetType() == ITzLAYERTYPE_TEXT ? dynamic_cast<ITzLayerText*>(layer) : nullptr;
}

// A new record of the kind for the layer at the index, with an empty row: null when
// memory is short.
_tagITzUNDOTEXT* MakeRecord(int32_t kind, uint16_t index)
{
    auto* record = static_cast<_tagITzUNDOTEXT*>(PTzPointNew(sizeof(_tagITzUNDOTEXT)));
    if (!record)
        return nullptr;
    *record = {{ITzTOOLID_TEXT}, kind, index, nullptr, {}};
    if (kind != ITzTEXTUNDO_NEW_LAYER) {
        record->info.row = new (std::nothrow) ITzTextRow();
        if (!record->info.row) {
            PTzPointFree(record);
            return nullptr;
        }
    }
    return record;
}

// The direction of a caret key.
uint32_t DirectionOf(uint32_t virtualKey)
{
    switch (virtualKey) {
    case ITzKEY_END:
        return ITzTEXTDIR_ROW_END;
    case ITzKEY_HOME:
        return ITzTEXTDIR_ROW_START;
    case ITzKEY_UP:
        return ITzTEXTDIR_UP;
    case ITzKEY_RIGHT:
        return ITzTEXTDIR_RIGHT;
    case ITzKEY_DOWN:
        return ITzTEXTDIR_DOWN;
    default:
        return ITzTEXTDIR_LEFT;
    }
}

bool IsControl(uint16_t character)
{
    return character < 0x20 || character == 0x7F;
}

}  // namespace

ITzToolText::ITzToolText()
{
    m_toolID = ITzTOOLID_TEXT;
}

// The base destructor could no longer reach this kind's ReleaseUndoData.
ITzToolText::~ITzToolText()
{
    ReleasePendingUndoData();
}

template <typename Edit>
int ITzToolText::EditActiveLayer(ITzPicture* picture, int32_t kind, Edit edit)
{
    const lumatra::ToolEditScope scope(*this, picture);
    ITzLayerText* layer = scope.ok() ? ActiveTextLayer(*picture) : nullptr;
    if (!layer)
        return 0;
    ReleasePendingUndoData();
    _tagITzUNDOTEXT* record = MakeRecord(kind, picture->GetActiveLayerID());
    if (!record)
        return 0;
    m_undoData = &record->head;
    const int changed = edit(*layer, *record);
    if (changed)
        SaveUndoData(picture, 1);
    else
        ReleasePendingUndoData();
    return changed;
}

int ITzToolText::OnMouseDown(const PTzPOINT* point, ITzPicture* picture, int extend)
{
    m_buttonDown = 1;
    const lumatra::ToolEditScope scope(*this, picture);
    if (!point || !scope.ok())
        return 1;
    ITzLayerText* layer = ActiveTextLayer(*picture);
    PTzPOINT local{};
    if (layer && layer->PPointtoLPoint(point, &local) == 0 && layer->PointInText(&local)) {
        m_layer = layer;
        uint32_t anchor = 0;
        layer->GetSelectRange(&anchor, nullptr);
        const uint32_t position = layer->GetCharIndexFromPoint(&local);
        layer->SetSelectRange(extend ? anchor : position, position);
        return 1;
    }
    NewLayer(*picture, *point);
    return 1;
}

int ITzToolText::NewLayer(ITzPicture& picture, const PTzPOINT& point)
{
    ITzTextManager* manager = picture.GetTextManager();
    if (!manager || picture.GetColorMode() != PTzCOLORMODE_ARGB)
        return 0;
    std::unique_ptr<ITzLayerText, ITzLayerDestroyer> layer(new (std::nothrow) ITzLayerText(manager, &point));
    if (!layer)
        return 0;
    const uint16_t index = picture.GetLayerCount() == 0 ? 0 : uint16_t(picture.GetActiveLayerID() + 1);
    // A full stack refuses the layer: nothing happened, nothing is recorded.
    if (picture.InsertLayer(index, layer.get()) != 0)
        return 0;
    ITzLayerText* inserted = layer.release();
    picture.SetActiveLayerID(index);
    ReleasePendingUndoData();
    _tagITzUNDOTEXT* record = MakeRecord(ITzTEXTUNDO_NEW_LAYER, index);
    m_undoData = record ? &record->head : nullptr;
    if (!record || !SaveUndoData(&picture, 1)) {
        // A step the history does not keep could never be undone: take it back.
        ITzLayerBase::DestroyLayer(lumatra::TakeLayerOut(picture, index));
        m_layer = nullptr;
        return 0;
    }
    m_layer = inserted;
    return 1;
}

void ITzToolText::SelectTo(ITzPicture& picture, const PTzPOINT& point)
{
    ITzLayerText* layer = ActiveTextLayer(picture);
    PTzPOINT local{};
    if (!layer || layer != m_layer || layer->PPointtoLPoint(&point, &local) != 0)
        return;
    uint32_t anchor = 0;
    layer->GetSelectRange(&anchor, nullptr);
    layer->SetSelectRange(anchor, layer->GetCharIndexFromPoint(&local));
}

int ITzToolText::OnMouseMove(const PTzPOINT* point, ITzPicture* picture)
{
    if (!m_buttonDown || !point)
        return 1;
    const lumatra::ToolEditScope scope(*this, picture);
    if (scope.ok())
        SelectTo(*picture, *point);
    return 1;
}

int ITzToolText::OnMouseUp(const PTzPOINT* point, ITzPicture* picture)
{
    OnMouseMove(point, picture);
    m_buttonDown = 0;
    return 1;
}

int ITzToolText::DoChar(ITzPicture* picture, const _tagPTzFONTDATAINFO* font, uint16_t character,
                        const _tagPTzCOLOR* colour)
{
    if (character == 8)
        return DoDelete(picture, 1);
    if ((IsControl(character) && character != ITzTEXT_ROW_BREAK) || !font || !colour)
        return 0;
    int inserted = 0;
    EditActiveLayer(picture, ITzTEXTUNDO_TYPING, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        const int removed = layer.DeleteSelection(&record.info);
        inserted = layer.DoChar(&record.info, font, character, colour);
        // Typing that failed after the selection went is the removal alone.
        if (!inserted && removed)
            record.kind = ITzTEXTUNDO_REMOVAL;
        return inserted || removed ? 1 : 0;
    });
    return inserted;
}

int ITzToolText::DoDelete(ITzPicture* picture, int backward)
{
    EditActiveLayer(picture, ITzTEXTUNDO_DELETION, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        uint32_t anchor = 0;
        uint32_t caret = 0;
        layer.GetSelectRange(&anchor, &caret);
        if (anchor != caret) {
            record.kind = ITzTEXTUNDO_REMOVAL;
            return layer.DeleteSelection(&record.info);
        }
        return layer.DoDelete(&record.info, backward);
    });
    return 0;
}

int ITzToolText::DoDirectionKey(ITzPicture* picture, uint32_t virtualKey, int extend)
{
    const lumatra::ToolEditScope scope(*this, picture);
    ITzLayerText* layer = scope.ok() ? ActiveTextLayer(*picture) : nullptr;
    if (layer)
        layer->DoDirectionKey(DirectionOf(virtualKey), extend);
    return 0;
}

int ITzToolText::DoSetFontUnderLine(ITzPicture* picture, const _tagPTzFONTDATAINFO* font)
{
    return EditActiveLayer(picture, ITzTEXTUNDO_FONT, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        return layer.SetFontUnderLine(&record.info, font);
    });
}

int ITzToolText::DoSetFontSize(ITzPicture* picture, const _tagPTzFONTDATAINFO* font)
{
    return EditActiveLayer(picture, ITzTEXTUNDO_FONT, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        return layer.SetFontSize(&record.info, font);
    });
}

int ITzToolText::DoSetFontName(ITzPicture* picture, const _tagPTzFONTDATAINFO* font)
{
    return EditActiveLayer(picture, ITzTEXTUNDO_FONT, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        return layer.SetFontName(&record.info, font);
    });
}

int ITzToolText::DoSetFontStyle(ITzPicture* picture, const _tagPTzFONTDATAINFO* font)
{
    return EditActiveLayer(picture, ITzTEXTUNDO_FONT, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        return layer.SetFontStyle(&record.info, font);
    });
}

int ITzToolText::DoSetFontColor(ITzPicture* picture, const _tagPTzCOLOR* colour)
{
    return EditActiveLayer(picture, ITzTEXTUNDO_FONT, [&](ITzLayerText& layer, _tagITzUNDOTEXT& record) {
        return layer.SetFontColor(&record.info, colour);
    });
}

int ITzToolText::GetFlashCursorPicturePos(ITzPicture* picture, int32_t* x, int32_t* y, int32_t* height)
{
    ITzLayerText* layer = picture ? ActiveTextLayer(*picture) : nullptr;
    return layer ? layer->GetFlashCursorPicturePos(x, y, height) : 0;
}

int ITzToolText::GetFontSettingInfo(ITzPicture* picture, _tagITzTEXTSETTING* setting)
{
    ITzLayerText* layer = picture ? ActiveTextLayer(*picture) : nullptr;
    return layer ? layer->GetFontSettingInfo(setting) : 0;
}

int ITzToolText::DoInput(ITzPicture*, const _tagPTzFONTDATAINFO*, const PTzChar*, uint32_t)
{
    return 1;
}
