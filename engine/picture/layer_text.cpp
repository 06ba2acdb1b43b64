// The text layer's own life and looks: construction and copies, placement against the
// start point, drawing its rows into the image, and the selection's highlight.
#include "engine/picture/layer_text.h"

#include <algorithm>
#include <new>

#include "base/error_codes.h"
#include "engine/picture/layer_image_text_selection.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_rows.h"
#include "engine/pixels/layer_owner.h"

namespace {

PTzRECT Union(const PTzRECT& a, const PTzRECT& b)
{
    PTzRECT out{};
    PTzRectBounds(&a, &b, &out);
    return out;
}

}  // namespace

ITzLayerText::ITzLayerText(ITzTextManager* manager, const PTzPOINT* start) : m_manager(manager)
{
    m_type = ITzLAYERTYPE_TEXT;
    if (start)
        m_start = *start;
    m_rows.push_back(std::make_unique<ITzTextRow>(this));
    PlaceAtStart();
    GetPreviewLayer();
}

ITzLayerText::ITzLayerText(const ITzLayerText* source)
    : ITzLayerImageN(source), m_manager(source->m_manager), m_start(source->m_start), m_anchor(source->m_anchor),
      m_caret(source->m_caret), m_count(source->m_count), m_alignment(source->m_alignment),
      m_rowSpacing(source->m_rowSpacing)
{
    for (const std::unique_ptr<ITzTextRow>& row : source->m_rows)
        m_rows.push_back(std::make_unique<ITzTextRow>(*row, this));
    PlaceAtStart();
    GetPreviewLayer();
    RedrawHighlight();
}

ITzLayerText::~ITzLayerText()
{
    // The rows give their glyphs back before the image that drew them goes.
    m_rows.clear();
}

ITzLayerBase* ITzLayerText::CreateCopyLayer()
{
    return new (std::nothrow) ITzLayerText(this);
}

int ITzLayerText::MoveCore(_tagPTzOFFSET* offset)
{
    // The start point goes along, so that copies, files and alignment changes keep the
    // layer where it was moved to.
    const int moved = Shift(offset);
    if (moved == 0)
        m_start = {PTzSaturate32(int64_t(m_start.x) + offset->x), PTzSaturate32(int64_t(m_start.y) + offset->y)};
    return moved;
}

int ITzLayerText::Shift(_tagPTzOFFSET* offset)
{
    const int moved = ITzLayerImageN::MoveCore(offset);
    if (moved == 0 && m_highlight)
        m_highlight->MoveCore(offset);
    return moved;
}

void ITzLayerText::PlaceAtStart()
{
    const int64_t width = m_size.cx;
    int64_t left = 0;
    int64_t top = 0;
    if (m_alignment <= ITzTEXTALIGN_CENTRE) {
        top = m_start.y;
        left = m_start.x;
        if (m_alignment == ITzTEXTALIGN_RIGHT)
            left -= width;
        else if (m_alignment == ITzTEXTALIGN_CENTRE)
            left -= uint32_t(width) / 2;
    }
    // A file may store the layer farther from its start point than one move of 32 bits
    // reaches: it goes there in as many moves as that takes (at most three).
    const int64_t targetLeft = std::clamp<int64_t>(left, INT32_MIN, INT32_MAX);
    const int64_t targetTop = std::clamp<int64_t>(top, INT32_MIN, INT32_MAX);
    bool moved = false;
    for (int step = 0; step < 3; ++step) {
        _tagPTzOFFSET offset = {PTzSaturate32(targetLeft - m_position.x), PTzSaturate32(targetTop - m_position.y)};
        if ((offset.x == 0 && offset.y == 0) || Shift(&offset) != 0)
            break;
        moved = true;
    }
    if (!moved)
        return;
    // Laid out where it passed the coordinates' end, the image was cut there: placed at
    // its start point, the layer draws its whole text again. (Before its text is loaded a
    // layer has nothing to draw, whatever size a file stored for it.)
    if (!m_image || m_count == 0)
        return;
    PTzRECT bounds, imageBounds;
    GetBounds(&bounds);
    m_image->GetBounds(&imageBounds);
    if (!PTzRectEqual(&bounds, &imageBounds))
        RenewPreviewLayer();
}

void ITzLayerText::SetAlignment(uint32_t alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    PlaceAtStart();
}

void ITzLayerText::SetRowSpacing(uint16_t spacing)
{
    m_rowSpacing = spacing;
}

int64_t ITzLayerText::RowTop(uint32_t row) const
{
    int64_t top = 0;
    for (uint32_t r = 0; r < row && r < m_rows.size(); ++r)
        top += m_rows[r]->GetHeight() + int64_t(m_rowSpacing);
    return top;
}

PTzRECT ITzLayerText::RowRect(uint32_t row) const
{
    const int64_t top = RowTop(row);
    return {0, PTzSaturate32(top), m_rows[row]->GetWidth(), PTzSaturate32(top + m_rows[row]->GetHeight())};
}

int ITzLayerText::DrawToChannelBitmap(const PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap)
{
    if (!rect || !bitmap || bitmap->kind != PTzCOLORMODE_ARGB)
        return ITzERR_INVALID;
    const PTzRECT clip = {0, 0, PTzSaturate32(PTzRectWidth(*rect)), PTzSaturate32(PTzRectHeight(*rect))};
    int64_t top = 0;
    for (const std::unique_ptr<ITzTextRow>& row : m_rows) {
        const int64_t bottom = top + row->GetHeight();
        if (top >= rect->bottom)
            break;
        if (bottom > rect->top)
            row->Draw(bitmap, clip, -int64_t(rect->left), top - rect->top);
        top = bottom + m_rowSpacing;
    }
    return 0;
}

bool ITzLayerText::IsActive() const
{
    return m_picture && m_picture->GetLayerCount() > 0 &&
           m_picture->GetLayerbyIndex(m_picture->GetActiveLayerID()) == this;
}

int ITzLayerText::PreviewMergeToBitmap(_tagITzBITMAP* bitmap, const PTzRECT* rect, uint8_t level,
                                       const _tagITzZOOMLEVEL* zoomX, const _tagITzZOOMLEVEL* zoomY, int forSave)
{
    const int drawn = ITzLayerImageN::PreviewMergeToBitmap(bitmap, rect, level, zoomX, zoomY, forSave);
    if (drawn == 0 && !forSave && m_highlight && IsActive())
        m_highlight->PreviewMergeToBitmap(bitmap, rect, level, zoomX, zoomY, forSave);
    return drawn;
}

std::unique_ptr<ITzPreviewRows> ITzLayerText::PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                               uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                                                               const _tagITzZOOMLEVEL* zoomY)
{
    if (m_highlight && IsActive())
        return nullptr;
    return ITzLayerImageN::PlanPreviewMerge(bitmap, rect, level, zoomX, zoomY);
}

void ITzLayerText::ActiveChanged()
{
    ITzLayerImageN::ActiveChanged();
    if (!PTzRectEmpty(&m_highlightBounds))
        PreviewChanged(&m_highlightBounds);
}

void ITzLayerText::GetSelectRange(uint32_t* anchor, uint32_t* caret) const
{
    if (anchor)
        *anchor = m_anchor;
    if (caret)
        *caret = m_caret;
}

void ITzLayerText::SetSelectRange(uint32_t anchor, uint32_t caret)
{
    m_anchor = std::min(anchor, m_count);
    m_caret = std::min(caret, m_count);
    RedrawHighlight();
}

std::vector<PTzRECT> ITzLayerText::HighlightRects() const
{
    std::vector<PTzRECT> rects;
    const uint32_t from = std::min(m_anchor, m_caret);
    const uint32_t to = std::max(m_anchor, m_caret);
    if (from == to)
        return rects;
    const Place first = Locate(from);
    const Place last = Locate(to);
    for (uint32_t r = first.row; r <= last.row; ++r) {
        ITzTextRow& row = *m_rows[r];
        const int64_t left = r == first.row ? row.GetXOffset(first.offset) : 0;
        const int64_t right = row.GetXOffset(r == last.row ? last.offset : row.GetCharacterCount());
        const int64_t top = RowTop(r);
        if (left < right && row.GetHeight() > 0)
            rects.push_back({PTzSaturate32(left), PTzSaturate32(top), PTzSaturate32(right),
                             PTzSaturate32(top + row.GetHeight())});
    }
    return rects;
}

void ITzLayerText::RedrawHighlight()
{
    const std::vector<PTzRECT> rects = HighlightRects();
    PTzRECT bounds = {};
    for (const PTzRECT& rect : rects)
        bounds = Union(bounds, rect);
    const PTzRECT changed = Union(bounds, m_highlightBounds);
    m_highlight.reset();
    m_highlightBounds = {};
    if (!rects.empty()) {
        m_highlight.reset(new (std::nothrow) ITzLayerImageTextSelection(m_position));
        _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
        for (const PTzRECT& rect : rects) {
            // Each fill extends the highlight, which moves its own origin.
            PTzRECT picture, local;
            LRECTtoPRECT(&rect, &picture);
            if (m_highlight && m_highlight->PRECTtoLRECT(&picture, &local) == 0)
                m_highlight->FillRect(&local, &full);
        }
        if (m_highlight)
            m_highlightBounds = bounds;
    }
    if (!PTzRectEmpty(&changed))
        PreviewChanged(&changed);
}
