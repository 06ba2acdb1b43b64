// The selection tool's drawing steps: each takes the editing ticket, merges the active
// layer's floating layer away, draws its shape into the selection layer's floating layer
// over the picture and merges that into the selection with the operation's merge.
#include "engine/tools/tool_mask.h"

#include "base/error_codes.h"
#include "engine/picture/magic_search.h"
#include "engine/picture/picture.h"
#include "engine/picture/polygon_fill.h"
#include "engine/pixels/arc_fill.h"
#include "engine/pixels/colour_fill.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"

namespace {

ITzMERGETYPE MergeTypeOf(int32_t op)
{
    switch (op) {
    case ITzSELECTION_ADD:
        return ITzMERGE_NORMAL;
    case ITzSELECTION_SUBTRACT:
        return ITzMERGE_SUBTRACT;
    case ITzSELECTION_INTERSECT:
        return ITzMERGE_INTERSECT;
    case ITzSELECTION_INVERT:
        return ITzMERGE_INVERT;
    default:
        return ITzMERGE_REPLACE;
    }
}

_tagPTzCOLOR Gray(uint8_t value)
{
    return {PTzCOLORMODE_GRAY, 255, {value}};
}

}  // namespace

ITzToolMask::ITzToolMask()
{
    m_toolID = ITzTOOLID_MASK;
}

ITzToolMask::~ITzToolMask()
{
    ReleasePendingUndoData();
}

template <typename Draw>
int ITzToolMask::DrawSelection(ITzPicture* picture, int32_t op, Draw&& draw)
{
    // The ticket comes first: while a stroke holds it, its floating layer stays whole.
    if (!picture || !StartEditing(picture))
        return 0;
    int result = 0;
    if (picture->ClearFloatingLayer()) {
        ITzLayerImage* existing = picture->GetSelectionLayer(0);
        ITzLayerImage* layer = existing ? existing : picture->GetSelectionLayer(1);
        if (auto* selection = dynamic_cast<ITzLayerImageSelect*>(layer)) {
            _tagPTzSIZE size = {};
            picture->GetSize(&size);
            const PTzRECT pictureRect = {0, 0, size.cx, size.cy};
            // The crossing fills write only blocks that exist: all of them, over the picture.
            ITzLayerImage* floating = selection->CreateFloatingLayer();
            if (floating && floating->SetSize(&pictureRect, 1) == 0 && draw(*floating, pictureRect))
                result = MergeStep(picture, selection, op);
            if (!result)
                if (ITzLayerImage* left = selection->RemoveFloatingLayer())
                    ITzLayerBase::DestroyLayer(left);
        }
        if (!result && !existing)
            if (ITzLayerImage* made = picture->RemoveSelectionLayer())
                ITzLayerBase::DestroyLayer(made);
    }
    StopEditing(picture);
    return result;
}

int ITzToolMask::MergeStep(ITzPicture* picture, ITzLayerImageSelect* selection, int32_t op)
{
    ITzLayerImage* floating = selection->GetFloatingLayer();
    floating->SetOpacity(255);
    floating->SetMergeType(MergeTypeOf(op));
    _tagITzUNDOSELECTION* record = NewRecord(op >= ITzSELECTION_REPLACE && op <= ITzSELECTION_INVERT ? op : 0);
    ITzUndoBlockListBase* list = record ? GetUndoBlockList(record) : nullptr;
    if (!list) {
        ReleasePendingUndoData();
        return 0;
    }
    selection->GetBounds(&record->bounds);
    ITzLayerImage* merged = selection->MergeFlatingLayer(list);
    if (!merged) {
        ReleasePendingUndoData();
        return 0;
    }
    ITzLayerBase::DestroyLayer(merged);
    if (selection->CanDelete())
        record->keptLayer = picture->RemoveSelectionLayer();
    if (!picture->SaveUndoData(m_undoData, 0)) {
        // A step the history cannot keep is taken back.
        UndoMerge(picture, record);
        ReleasePendingUndoData();
        return 0;
    }
    m_undoData = nullptr;
    return 1;
}

int ITzToolMask::DrawRectSelection(ITzPicture* picture, const PTzRECT* rect, uint8_t value, int32_t op)
{
    if (!rect)
        return 0;
    return DrawSelection(picture, op, [&](ITzLayerImage& floating, const PTzRECT& pictureRect) {
        PTzRECT inside, local;
        if (!PTzRectIntersect(rect, &pictureRect, &inside))
            return true;
        const _tagPTzCOLOR colour = Gray(value);
        floating.PRECTtoLRECT(&inside, &local);
        return floating.FillRect(&local, &colour) == 0;
    });
}

int ITzToolMask::DrawArcSelection(ITzPicture* picture, const PTzRECT* rect, uint8_t value, int32_t op)
{
    if (!rect)
        return 0;
    return DrawSelection(picture, op, [&](ITzLayerImage& floating, const PTzRECT& pictureRect) {
        ITzLayerArcFill fill;
        const _tagPTzCOLOR colour = Gray(value);
        fill.SetLayer(&floating);
        fill.SetColor(&colour);
        return fill.Fill(rect, &pictureRect) == 0;
    });
}

int ITzToolMask::DrawPolygonSelection(ITzPicture* picture, uint32_t count, const PTzPOINT* points,
                                      uint8_t /*unused*/, int32_t op)
{
    if (!points || count == 0)
        return 0;
    return DrawSelection(picture, op, [&](ITzLayerImage& floating, const PTzRECT& pictureRect) {
        ITzLayerPloygonFill fill;
        fill.SetLayer(&floating);
        return fill.Fill(count, points, &pictureRect) == 0;
    });
}

int ITzToolMask::CreateMagicSelection(ITzPicture* picture, const PTzPOINT* point, uint32_t tolerance, int32_t op,
                                      int contiguous)
{
    if (!point)
        return 0;
    return DrawSelection(picture, op, [&](ITzLayerImage& floating, const PTzRECT& /*pictureRect*/) {
        ITzLayerBase* active = picture->GetLayerbyIndex(picture->GetActiveLayerID());
        ITzLayerImage* source = active ? active->GetPreviewLayer() : nullptr;
        if (!source)
            return false;
        if (contiguous)
            return ITzMagicSearch().Search(point, &floating, source, tolerance) == 0;
        return ITzCOLORFILL().FillSelection(point, &floating, source, uint8_t(tolerance)) == 0;
    });
}

int ITzToolMask::DoSelectALl(ITzPicture* picture)
{
    _tagPTzSIZE size = {};
    if (!picture || picture->GetSize(&size) != 0)
        return 0;
    const PTzRECT all = {0, 0, size.cx, size.cy};
    return DrawRectSelection(picture, &all, 255, ITzSELECTION_REPLACE);
}

int ITzToolMask::DoSelectInverse(ITzPicture* picture)
{
    _tagPTzSIZE size = {};
    if (!picture || picture->GetSize(&size) != 0)
        return 0;
    const PTzRECT all = {0, 0, size.cx, size.cy};
    return DrawRectSelection(picture, &all, 255, ITzSELECTION_INVERT);
}

int ITzToolMask::ClearSelectioin(ITzPicture* picture)
{
    // Without a selection there is nothing to clear, and no step to save: a plain click
    // of a marquee tool keeps the redo history.
    if (!picture || !picture->GetSelectionLayer(0))
        return 0;
    const PTzRECT none = {0, 0, 0, 0};
    return DrawRectSelection(picture, &none, 0, ITzSELECTION_REPLACE);
}
