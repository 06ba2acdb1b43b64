// The text layer's side of undo: each record kind's exchange of the layer's text and
// selection with the record, so that one call undoes and the next redoes.
#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "engine/picture/layer_text.h"

namespace {

void SwapRanges(_tagITzTEXTUNDOINFO& info)
{
    std::swap(info.beforeStart, info.afterStart);
    std::swap(info.beforeEnd, info.afterEnd);
}

}  // namespace

int ITzLayerText::DoUndoFont(_tagITzTEXTUNDOINFO* info)
{
    if (!info || !info->row || info->afterStart == info->beforeEnd)
        return 0;
    const uint32_t from = std::min({info->afterStart, info->afterEnd, m_count});
    const uint32_t to = std::min(std::max(info->afterStart, info->afterEnd), m_count);
    const Place first = Locate(from);
    const Place last = Locate(to);
    const bool changed = SwapRange(from, to, *info->row);
    // The glyphs that went (now the record's) may have reached further left.
    const int64_t x = m_rows[first.row]->GetXOffset(first.offset) + info->row->GetLeftOverhang();
    if (changed)
        Relayout(first.row, last.row, x, false);
    SetSelectRange(info->afterStart, info->afterEnd);
    return changed ? 1 : 0;
}

int ITzLayerText::DoUndoInput(_tagITzTEXTUNDOINFO* info)
{
    if (!info || !info->row)
        return 0;
    int result = 0;
    if (info->row->GetCharacterCount() == 0) {
        // Typing that replaced nothing: the typed characters go into the row.
        if (info->beforeStart >= info->afterStart)
            return 0;
        result = TakeOut(info->beforeStart, info->afterStart, *info->row);
    } else if (info->beforeStart == info->beforeEnd && info->afterStart == info->afterEnd) {
        // Typed characters waiting to be redone.
        result = PutIn(info->afterStart, *info->row);
    } else {
        // Typing over a selection: what stands there now and what the row keeps change places.
        const bool beforeEmpty = info->beforeStart == info->beforeEnd;
        const uint32_t start =
            beforeEmpty ? std::min(info->afterStart, info->afterEnd) : std::min(info->beforeStart, info->beforeEnd);
        const uint32_t end = beforeEmpty ? std::max(info->afterStart, info->afterEnd) : info->afterStart;
        std::unique_ptr<ITzTextRow> fresh(new (std::nothrow) ITzTextRow());
        if (!fresh || !TakeOut(start, end, *fresh))
            return 0;
        result = PutIn(start, *info->row);
        delete info->row;
        info->row = fresh.release();
    }
    if (!result)
        return 0;
    SwapRanges(*info);
    SetSelectRange(info->afterStart, info->afterEnd);
    return result;
}

int ITzLayerText::DoUndoRemove(_tagITzTEXTUNDOINFO* info)
{
    if (!info || !info->row)
        return 0;
    const int result = info->row->GetCharacterCount() > 0 ? PutIn(info->afterStart, *info->row)
                                                          : TakeOut(info->afterStart, info->afterEnd, *info->row);
    if (!result)
        return 0;
    SwapRanges(*info);
    SetSelectRange(info->afterStart, info->afterEnd);
    return result;
}

int ITzLayerText::DoUndoDelete(_tagITzTEXTUNDOINFO* info)
{
    if (!info || !info->row)
        return 0;
    const uint32_t count = info->row->GetCharacterCount();
    if (count > 0) {
        if (!PutIn(info->afterStart, *info->row))
            return 0;
        info->beforeStart = info->afterStart;
        info->beforeEnd = info->afterEnd;
        info->afterStart = info->afterEnd = info->beforeStart + count;
    } else {
        if (!TakeOut(info->afterStart, info->beforeStart, *info->row))
            return 0;
        SwapRanges(*info);
    }
    SetSelectRange(info->afterStart, info->afterEnd);
    return 1;
}
