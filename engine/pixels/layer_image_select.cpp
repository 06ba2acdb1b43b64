// The selection layer's life and its questions: construction and copies, what is
// selected and what is empty, its merges and undo, which keep the cached bounds current.
#include "engine/pixels/layer_image_select.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/block_list.h"

namespace {

using SelectLayerPointer = std::unique_ptr<ITzLayerImageSelect, ITzLayerDestroyer>;

}  // namespace

ITzLayerImageSelect::ITzLayerImageSelect()
{
    m_type = ITzLAYERTYPE_SELECT;
    m_mergeType = ITzMERGE_MULTIPLY_ALPHA;
}

ITzLayerImageSelect::ITzLayerImageSelect(const ITzLayerImageSelect* source) : ITzLayerImageGray(source)
{
    m_type = ITzLAYERTYPE_SELECT;
    if (!source) {
        m_mergeType = ITzMERGE_MULTIPLY_ALPHA;
        return;
    }
    m_selectionBounds = source->m_selectionBounds;
}

ITzLayerImageSelect::~ITzLayerImageSelect() = default;

ITzLayerImage* ITzLayerImageSelect::CopyLayer()
{
    SelectLayerPointer copy(new (std::nothrow) ITzLayerImageSelect(this));
    if (!copy || !copy->m_blockList || !copy->CopyBlocksFrom<_tagITzBLOCKINFOGRAY>(*this))
        return nullptr;
    return copy.release();
}

ITzLayerBase* ITzLayerImageSelect::CreateCopyLayer()
{
    return CopyLayer();
}

ITzLayerImage* ITzLayerImageSelect::CreateSameTypeLayer()
{
    SelectLayerPointer layer(new (std::nothrow) ITzLayerImageSelect());
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

int ITzLayerImageSelect::PointInSelection(const PTzPOINT* point)
{
    PTzRECT bounds;
    uint8_t value = 0;
    if (!point || GetLBounds(&bounds) != 0 || !PTzRectPointIn(&bounds, point))
        return 0;
    return GetPointValue(point, &value) && value >= ITzSELECTED_VALUE ? 1 : 0;
}

int ITzLayerImageSelect::SelectionIsEmpty(const PTzRECT* rect)
{
    PTzRECT local, bounds;
    if (!rect || PRECTtoLRECT(rect, &local) != 0 || GetLBounds(&bounds) != 0)
        return 0;
    if (local.left < bounds.left || local.top < bounds.top || local.right > bounds.right ||
        local.bottom > bounds.bottom)
        return 0;
    uint8_t value = 0;
    return IsRectDataSame(&local, &value) == 1 && value == 0 ? 1 : 0;
}

int ITzLayerImageSelect::IsLayerEmpty()
{
    if (!m_blockList)
        return 1;
    for (uint32_t index = 0, count = GetBlockCount(); index < count; ++index) {
        _tagITzBLOCKINFOGRAY record;
        const int read = GetBlockInfo(index, &record, 0);
        if (read == ITzERR_BLOCK_ABSENT)
            continue;
        // A block that cannot be read may hold anything.
        if (read != 0 || record.data || record.constant != 0)
            return 0;
    }
    return 1;
}

int ITzLayerImageSelect::CanDelete()
{
    return m_floating ? 0 : IsLayerEmpty();
}

void ITzLayerImageSelect::GetSelectionBounds(PTzRECT* out)
{
    PTzRECT layer;
    if (!out || GetBounds(&layer) != 0)
        return;
    const _tagPTzOFFSET position = {layer.left, layer.top};
    PTzRectOffset(&m_selectionBounds, &position, out);
}

ITzLayerImage* ITzLayerImageSelect::MergeFlatingLayer(ITzUndoBlockListBase* undo)
{
    if (!m_floating || !MergeAction(m_floating, nullptr, undo))
        return nullptr;
    FindSelectionBounds();
    return RemoveFloatingLayer();
}

ITzLayerImage* ITzLayerImageSelect::MergeFloatingLayer(ITzUndoBlockListBase* undo)
{
    return MergeFlatingLayer(undo);
}

int ITzLayerImageSelect::Undo(const PTzRECT* oldBounds, ITzUndoBlockListBase* undo, PTzRECT* bounds,
                              ITzUndoBlockListBase* redo)
{
    const int result = ITzLayerImage::Undo(oldBounds, undo, bounds, redo);
    if (result != 0)
        FindSelectionBounds();
    return result;
}

// The jobs fill the new mask block by block, past the merges that keep its bounds.
ITzLayerBase* ITzLayerImageSelect::ResizeLayerEnd(void* job)
{
    auto* made = static_cast<ITzLayerImageSelect*>(ITzLayerImage::ResizeLayerEnd(job));
    if (made)
        made->FindSelectionBounds();
    return made;
}

ITzLayerBase* ITzLayerImageSelect::RotateSLayerEnd(void* job)
{
    auto* made = static_cast<ITzLayerImageSelect*>(ITzLayerImage::RotateSLayerEnd(job));
    if (made)
        made->FindSelectionBounds();
    return made;
}

int ITzLayerImageSelect::PreviewChanged(const PTzRECT* rect)
{
    if (!rect)
        return ITzERR_INVALID;
    PTzRECT pictureRect;
    LRECTtoPRECT(rect, &pictureRect);
    SendRectMessage(ITzLAYERMSG_SELECTION, pictureRect, 0);
    return 0;
}

int ITzLayerImageSelect::MoveCore(_tagPTzOFFSET* offset)
{
    PTzRECT before;
    ITzLayerBase::GetBounds(&before);
    const int result = ITzLayerImageGray::MoveCore(offset);
    if (result != 0)
        return result;
    PTzRECT after;
    ITzLayerBase::GetBounds(&after);
    SendRectMessage(ITzLAYERMSG_SELECTION, before, 0);
    SendRectMessage(ITzLAYERMSG_SELECTION, after, 0);
    return 0;
}

int ITzLayerImageSelect::MergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, const _tagITzZOOMLEVEL* zoomX,
                                       const _tagITzZOOMLEVEL* zoomY)
{
    return MergeToBitmapColor(bitmap, rect, zoomX, zoomY, nullptr);
}
