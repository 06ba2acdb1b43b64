// The retouching brushes' stroke: the active layer itself as the push target, the copy of
// it under the cache's window, the write back block by block after each block was kept
// in the record (indexed in the grid over the record's bounds, which a push past the
// layer's edge does not renumber), and the record that makes the stroke one undo step.
#include "engine/tools/tool_brush_nfloating_base.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/retouch_area.h"
#include "engine/tools/retouch_kernels.h"

using lumatra::RetouchArea;

namespace {

constexpr int64_t kSide = ITzBLOCK_SIDE;
// The cache's window with a pixel around it for the filters' neighbours.
constexpr int32_t kWindowRoom = ITzBRUSH_CACHE_SIDE + 2;
// The side of the squares in which the window's copy is loaded.
constexpr int32_t kLoadStep = 32;

int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// The rectangle with a pixel more on every side, kept inside the coordinate range.
PTzRECT Widened(const PTzRECT& rect)
{
    return {ClampToInt32(int64_t(rect.left) - 1), ClampToInt32(int64_t(rect.top) - 1),
            ClampToInt32(int64_t(rect.right) + 1), ClampToInt32(int64_t(rect.bottom) + 1)};
}

int64_t FloorToPhase(int64_t value, int64_t phase)
{
    return value - ((value - phase) % kSide + kSide) % kSide;
}

// Calls visit(index, part) for every block of the layer's grid under the picture
// rectangle, with the block's part of the rectangle: false when a visit said false.
template <typename Visit>
bool ForEachBlock(ITzLayerImage& layer, const PTzRECT& rect, Visit&& visit)
{
    PTzRECT grid, covered;
    layer.GetBlockBounds(&grid);
    if (!PTzRectIntersect(&rect, &grid, &covered))
        return true;
    bool all = true;
    for (int64_t top = covered.top; top < covered.bottom;) {
        const int64_t row = (top - grid.top) / kSide;
        const int64_t bottom = std::min<int64_t>(grid.top + (row + 1) * kSide, covered.bottom);
        for (int64_t left = covered.left; left < covered.right;) {
            const int64_t column = (left - grid.left) / kSide;
            const int64_t right = std::min<int64_t>(grid.left + (column + 1) * kSide, covered.right);
            const _tagITzBLOCKPOSITION position = {uint16_t(column), uint16_t(row)};
            const PTzRECT part = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
            all = visit(layer.BlockPosToIndex(&position), part) && all;
            left = right;
        }
        top = bottom;
    }
    return all;
}

}  // namespace

ITzToolBrushNFloatingBase::ITzToolBrushNFloatingBase() = default;

ITzToolBrushNFloatingBase::~ITzToolBrushNFloatingBase()
{
    if (m_undoData && m_pushPicture)
        MergeFloatingLayer(m_pushPicture);
    ReleaseStroke();
}

int ITzToolBrushNFloatingBase::OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture)
{
    if (!sample || !picture || !StartEditing(picture))
        return 0;
    const uint16_t index = picture->GetActiveLayerID();
    ITzLayerBase* active = picture->GetLayerbyIndex(index);
    ITzLayerImage* layer = active && active->IsImageLayer() ? static_cast<ITzLayerImage*>(active) : nullptr;
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    m_pictureRect = {0, 0, size.cx, size.cy};
    if (!m_window)
        m_window.reset(new (std::nothrow) RetouchArea());
    ITzMouseTrack* track = nullptr;
    // Everything is had before the first dab, so a stroke either runs whole or not at all.
    if (layer && layer->ClearFloatingLayer() && SetDesLayer(layer, index) && m_window &&
        m_window->Reserve(kWindowRoom, kWindowRoom, 4) && PrepareStroke(picture) && PrepareCacheBitmap())
        track = GetMouseTrack();
    if (!track) {
        ReleasePendingUndoData();
        ReleaseStroke();
        m_track.reset();
        StopEditing(picture);
        return 0;
    }
    return StartTrack(*track, sample, picture);
}

int ITzToolBrushNFloatingBase::SetDesLayer(ITzLayerImage* layer, uint16_t index)
{
    if (!layer || !InitUndoData(layer))
        return 0;
    _tagITzUNDOFLOATING* record = FloatingRecord(m_undoData);
    record->layerIndex = index;
    layer->GetBounds(&record->bounds);
    m_recordBounds = record->bounds;
    m_frameColumns = m_frameRows = 0;
    if (!PTzRectEmpty(&m_recordBounds)) {
        // The smallest grid over the bounds, its borders where the layer's are.
        PTzRECT grid;
        layer->GetBlockBounds(&grid);
        m_frameLeft = FloorToPhase(m_recordBounds.left, grid.left);
        m_frameTop = FloorToPhase(m_recordBounds.top, grid.top);
        m_frameColumns = uint32_t((m_recordBounds.right - m_frameLeft + kSide - 1) / kSide);
        m_frameRows = uint32_t((m_recordBounds.bottom - m_frameTop + kSide - 1) / kSide);
    }
    m_kept.reset(new (std::nothrow) uint8_t[size_t(m_frameColumns) * m_frameRows + 1]());
    if (!m_kept) {
        ReleasePendingUndoData();
        return 0;
    }
    m_layer = layer;
    return 1;
}

bool ITzToolBrushNFloatingBase::PrepareStroke(ITzPicture* /*picture*/)
{
    return true;
}

bool ITzToolBrushNFloatingBase::KeptIndex(const PTzRECT& block, uint32_t* index) const
{
    const int64_t column = (int64_t(block.left) - m_frameLeft) / kSide;
    const int64_t row = (int64_t(block.top) - m_frameTop) / kSide;
    if (block.left < m_frameLeft || block.top < m_frameTop || column >= m_frameColumns || row >= m_frameRows)
        return false;
    *index = uint32_t(row * m_frameColumns + column);
    return true;
}

bool ITzToolBrushNFloatingBase::Writable(uint32_t index) const
{
    PTzRECT block;
    uint32_t kept;
    // A block beyond the record's bounds came with the stroke, and undo drops it whole.
    return m_layer && m_layer->GetBlockPictRect(index, &block) == 0 && (!KeptIndex(block, &kept) || m_kept[kept]);
}

int ITzToolBrushNFloatingBase::BackupRectData(ITzLayerImage* layer, PTzRECT* rect)
{
    _tagITzUNDOFLOATING* record = FloatingRecord(m_undoData);
    if (!layer || !rect || layer != m_layer || !record)
        return 0;
    ITzUndoBlockListBase* list = GetUndoBlockList(record);
    return ForEachBlock(*layer, *rect, [&](uint32_t index, const PTzRECT& /*part*/) {
        PTzRECT block;
        uint32_t kept;
        if (layer->GetBlockPictRect(index, &block) != 0 || !KeptIndex(block, &kept) || m_kept[kept])
            return true;
        if (!list || !layer->BackupBlockForUndo(index, &m_recordBounds, list))
            return false;
        m_kept[kept] = 1;
        return true;
    }) ? 1 : 0;
}

bool ITzToolBrushNFloatingBase::WriteBack(const RetouchArea& area, const PTzRECT& rect)
{
    if (!m_layer)
        return false;
    PTzRECT part = rect;
    BackupRectData(m_layer, &part);  // a block it could not keep is left as it is
    return ForEachBlock(*m_layer, rect, [&](uint32_t index, const PTzRECT& piece) {
        if (!Writable(index))
            return false;
        _tagITzCHANNELBITMAP view = area.ViewFrom(piece.left, piece.top);
        PTzRECT local;
        m_layer->PRECTtoLRECT(&piece, &local);
        if (!m_layer->SetRectChannelData(&view, &local))
            return false;
        // The layer's previews and the picture's observers learn of every changed block.
        m_layer->BlockDataUpdated(index);
        return true;
    });
}

int ITzToolBrushNFloatingBase::MergeFloatingLayer(ITzPicture* picture)
{
    _tagITzUNDOFLOATING* record = FloatingRecord(m_undoData);
    if (!picture || !record)
        return 0;
    PTzRECT bounds = record->bounds;
    if (m_layer)
        m_layer->GetBounds(&bounds);
    // A stroke that wrote nothing is no step: one that undid nothing would stop the
    // history's undo there.
    if ((!record->blockList || record->blockList->GetCount() == 0) && PTzRectEqual(&bounds, &record->bounds)) {
        ReleasePendingUndoData();
        return 0;
    }
    return SaveUndoData(picture, 1);
}

ITzLayerImage* ITzToolBrushNFloatingBase::GetPushLayer(ITzPicture* /*picture*/)
{
    return m_layer;
}

int ITzToolBrushNFloatingBase::UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t /*flag*/)
{
    return ITzToolBrushBase::UpdateCacheDataForDataChange(layer, rect, 16);
}

void ITzToolBrushNFloatingBase::PrepareFloatingLayerCache(ITzLayerImage* /*cacheLayer*/)
{
}

void ITzToolBrushNFloatingBase::PrepareCacheData(PTzRECT* window)
{
    m_windowPlaced = window && m_layer && m_window && m_window->Place(Widened(*window), false);
    m_windowLoaded = {0, 0, 0, 0};
}

bool ITzToolBrushNFloatingBase::LoadWindowPart(const PTzRECT& need)
{
    PTzRECT wanted, grown;
    if (!PTzRectIntersect(&need, &m_window->Rect(), &wanted))
        return true;
    if (!PTzRectEmpty(&m_windowLoaded)) {
        PTzRectBounds(&m_windowLoaded, &wanted, &grown);
        if (PTzRectEqual(&grown, &m_windowLoaded))
            return true;
        wanted = grown;
    }
    // Grown by whole squares of the window, so that the dabs that follow mostly find
    // their pixels loaded: a read costs more per call than per pixel.
    const PTzRECT& window = m_window->Rect();
    const auto down = [](int32_t value, int32_t origin) { return origin + (value - origin) / kLoadStep * kLoadStep; };
    grown = {down(wanted.left, window.left), down(wanted.top, window.top),
             std::min(down(wanted.right + kLoadStep - 1, window.left), window.right),
             std::min(down(wanted.bottom + kLoadStep - 1, window.top), window.bottom)};
    const PTzRECT& held = m_windowLoaded;
    const bool empty = PTzRectEmpty(&held) != 0;
    if (!empty)
        PTzRectBounds(&grown, &held, &grown);
    // The strips of the grown box around what is loaded: above, below, left, right.
    const PTzRECT strips[4] = {
        empty ? grown : PTzRECT{grown.left, grown.top, grown.right, held.top},
        empty ? PTzRECT{} : PTzRECT{grown.left, held.bottom, grown.right, grown.bottom},
        empty ? PTzRECT{} : PTzRECT{grown.left, held.top, held.left, held.bottom},
        empty ? PTzRECT{} : PTzRECT{held.right, held.top, grown.right, held.bottom},
    };
    for (const PTzRECT& strip : strips)
        if (!PTzRectEmpty(&strip) && !m_window->LoadPart(*m_layer, strip))
            return false;
    m_windowLoaded = grown;
    return true;
}

int ITzToolBrushNFloatingBase::MergeBrushToCache(PTzRECT* /*cacheRect*/, _tagITzBITMAP* dab, PTzRECT* dabRect,
                                                 uint8_t strength)
{
    if (!m_windowPlaced || !dabRect || !DabHasPixels(dab))
        return 0;
    const PTzRECT rect = {dabRect->left, dabRect->top, dabRect->left + dab->width, dabRect->top + dab->height};
    if (!LoadWindowPart(Widened(rect)))
        return 0;
    return RetouchDab(*m_window, rect, *dab, strength);
}

int ITzToolBrushNFloatingBase::MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job)
{
    const bool written = job && m_windowPlaced && WriteBack(*m_window, job->rect);
    ZeroCache();
    return written ? 1 : 0;
}

int ITzToolBrushNFloatingBase::MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength)
{
    if (!job || !m_layer)
        return 0;
    const PTzRECT loaded = Widened(job->rect);
    RetouchArea area;
    if (!area.Reserve(loaded.right - loaded.left, loaded.bottom - loaded.top, 4) || !area.Load(*m_layer, loaded) ||
        !RetouchDab(area, job->rect, job->dab, strength))
        return 0;
    return WriteBack(area, job->rect) ? 1 : 0;
}

int ITzToolBrushNFloatingBase::ApplyFilter(RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                                           uint8_t strength, void (*kernel)(const lumatra::retouch::FilterDab&))
{
    // The dab's pixels whose neighbours the area holds.
    const PTzRECT& held = area.Rect();
    const PTzRECT inner = {held.left + 1, held.top + 1, held.right - 1, held.bottom - 1};
    PTzRECT rect;
    if (!PTzRectIntersect(&dabRect, &inner, &rect))
        return 1;
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    const PTzRECT around = Widened(rect);
    for (std::unique_ptr<RetouchArea>* scratch : {&m_filterSource, &m_filterCoverage, &m_filterResult})
        if (!*scratch)
            scratch->reset(new (std::nothrow) RetouchArea());
    // Rows of the dab's width plus 2 in every copy, so that a small dab is filtered as
    // one run of pixels.
    if (!m_filterSource || !m_filterCoverage || !m_filterResult || !m_filterSource->Reserve(width + 2, height + 2, 4) ||
        !m_filterCoverage->Reserve(width + 2, height + 2, 1) || !m_filterResult->Reserve(width + 2, height, 4) ||
        !m_filterSource->Place(around, false) || !m_filterCoverage->Place(around, true) ||
        !m_filterResult->Place({rect.left, rect.top, rect.right + 2, rect.bottom}, false))
        return 0;
    lumatra::CopyPlanes(area.At(around.left, around.top), m_filterSource->At(around.left, around.top), width + 2, height + 2);
    uint8_t* coverage = m_filterCoverage->PlaneAt(rect.left, rect.top);
    const uint8_t* tip = dab.pixels + ptrdiff_t(rect.top - dabRect.top) * dab.stride + (rect.left - dabRect.left);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(coverage + ptrdiff_t(y) * m_filterCoverage->Stride(), tip + ptrdiff_t(y) * dab.stride,
                    size_t(width));
    // Only the picture's pixels exist for the neighbours: its edges do not fade.
    const auto local = [](int64_t value, int64_t origin, int32_t limit) {
        return int32_t(std::clamp<int64_t>(value - origin, 0, limit));
    };
    const PTzRECT valid = {local(m_pictureRect.left, around.left, width + 2),
                           local(m_pictureRect.top, around.top, height + 2),
                           local(m_pictureRect.right, around.left, width + 2),
                           local(m_pictureRect.bottom, around.top, height + 2)};
    const lumatra::retouch::FilterDab filter = {m_filterSource->At(around.left, around.top),
                                                valid,
                                                coverage,
                                                m_filterCoverage->Stride(),
                                                m_filterResult->At(rect.left, rect.top),
                                                width,
                                                height,
                                                m_strength,
                                                strength};
    kernel(filter);
    lumatra::CopyPlanes(m_filterResult->At(rect.left, rect.top), area.At(rect.left, rect.top), width, height);
    return 1;
}

void ITzToolBrushNFloatingBase::OnMouseActionEnd()
{
    ReleaseStroke();
}

void ITzToolBrushNFloatingBase::ReleaseStroke()
{
    if (m_window)
        m_window->Release();
    if (m_filterSource)
        m_filterSource->Release();
    if (m_filterCoverage)
        m_filterCoverage->Release();
    if (m_filterResult)
        m_filterResult->Release();
    m_windowPlaced = false;
    m_windowLoaded = {0, 0, 0, 0};
    m_kept.reset();
    m_layer = nullptr;
}
