// The ARGB layer's drawing planned as rows (preview_rows.h): the normal merge straight
// onto the destination's rows; other merges, and a layer with a floating layer, through
// zeroed scratch rows that stand for the scratch tiles of the one-piece drawing, merged
// in the same order. Every merge is per pixel, so rows give the tiles' pixels.
#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "engine/pixels/blend_tables.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/preview_rows.h"
#include "engine/pixels/rect_clip.h"
#include "engine/pixels/zoom_read_rows.h"

using lumatra::PlannedARGBRead;
using lumatra::PlannedGrayRead;
using lumatra::ZoomReadPlan;

namespace {

// Zeroed bytes for one run, or none when memory is short: a run must not throw on
// another thread, so one without them leaves its rows as the one-piece drawing leaves
// a tile it has no scratch for.
class RunBytes {
public:
    explicit RunBytes(size_t count) : m_bytes(new (std::nothrow) uint8_t[count]()) {}
    uint8_t* get() const { return m_bytes.get(); }

private:
    std::unique_ptr<uint8_t[]> m_bytes;
};

// Zeroed, packed rows of 32 (ARGB) or 8 (gray) bits a pixel, as a scratch tile holds.
class ScratchBand {
public:
    ScratchBand(int32_t width, int32_t height, uint16_t bits)
        : m_pixels(size_t(width) * size_t(height) * (bits / 8)),
          m_bitmap{width, height, width * (bits / 8), bits,
                   int32_t(bits == 32 ? PTzCOLORMODE_ARGB : PTzCOLORMODE_GRAY), m_pixels.get()}
    {
    }
    bool ok() const { return m_bitmap.pixels != nullptr; }
    _tagITzBITMAP& bitmap() { return m_bitmap; }

private:
    RunBytes m_pixels;
    _tagITzBITMAP m_bitmap;
};

// GetDisplayData planned: a layer's pixels at a cache level copied into zeroed rows of
// its own depth.
class DisplayRows {
public:
    virtual ~DisplayRows() = default;
    // Copies the rows [top, bottom) into `band`, whose first row is row `top`.
    virtual void Copy(_tagITzBITMAP& band, int32_t top, int32_t bottom) const = 0;
};

template <class Read>
class DisplayRowsOf final : public DisplayRows {
public:
    DisplayRowsOf(Read read, int bytes) : m_read(std::move(read)), m_bytes(bytes) {}
    void Copy(_tagITzBITMAP& band, int32_t top, int32_t bottom) const override
    {
        const RunBytes row(m_read.RowBytes());
        if (!row.get())
            return;
        m_read.Run(top, bottom, row.get(), [&](int32_t y, int32_t x, int32_t count, const uint8_t* pixels) {
            lumatra::CopyRowInto(band, y - top, x, count, pixels, m_bytes);
        });
    }

private:
    Read m_read;
    int m_bytes;
};

template <class Read, class Layer>
std::unique_ptr<DisplayRows> PlanRead(Layer* source, const PTzRECT& rect, const _tagITzZOOMLEVEL& zoomX,
                                      const _tagITzZOOMLEVEL& zoomY, int32_t width, int32_t height, int bytes)
{
    ZoomReadPlan plan;
    if (!source || !source->PrepareZoomRead(rect, zoomX, zoomY, Enlarges(zoomX), width, height, plan))
        return std::make_unique<DisplayRowsOf<Read>>(Read(), bytes);
    return std::make_unique<DisplayRowsOf<Read>>(Read(std::move(plan), lumatra::FetchOf(source)), bytes);
}

// What GetDisplayData reads into a width x height scratch: the layer's pixels, or its
// cache level's, nothing when it has no such level. Null for a layer of neither image
// kind. `bits` is set to the scratch's depth.
std::unique_ptr<DisplayRows> PlanDisplayRows(ITzLayerImage* layer, uint8_t level, const PTzRECT& rect,
                                             const _tagITzZOOMLEVEL& zoomX, const _tagITzZOOMLEVEL& zoomY,
                                             int32_t width, int32_t height, uint16_t& bits)
{
    ITzLayerImage* source = level == 0 ? layer : layer->GetCacheLayer(level);
    if (dynamic_cast<ITzLayerImageARGB*>(layer)) {
        bits = 32;
        return PlanRead<PlannedARGBRead>(dynamic_cast<ITzLayerImageARGB*>(source), rect, zoomX, zoomY, width, height,
                                         4);
    }
    if (dynamic_cast<ITzLayerImageGray*>(layer)) {
        bits = 8;
        return PlanRead<PlannedGrayRead>(dynamic_cast<ITzLayerImageGray*>(source), rect, zoomX, zoomY, width, height,
                                         1);
    }
    return nullptr;
}

// The normal merge: each gathered row alpha-over onto the destination's.
class OverRows final : public ITzPreviewRows {
public:
    OverRows(PlannedARGBRead read, uint8_t opacity) : m_read(std::move(read)), m_opacity(opacity) {}
    void Run(const _tagITzBITMAP& bitmap, int32_t top, int32_t bottom) const override
    {
        const RunBytes row(m_read.RowBytes());
        if (!row.get())
            return;
        m_read.Run(top, bottom, row.get(), [&](int32_t y, int32_t x, int32_t count, const uint8_t* pixels) {
            lumatra::AlphaOverRowOnto(bitmap, y, x, count, pixels, m_opacity);
        });
    }

private:
    PlannedARGBRead m_read;
    uint8_t m_opacity;
};

// One read into scratch rows and the merge that takes them onward.
struct ScratchStage {
    std::unique_ptr<DisplayRows> read;
    uint16_t bits = 32;
    _tagITzMERGEDATA merge = {};
};

// Through scratch rows over the placed rectangle: the layer's pixels; over them, when
// there is one, the floating layer's, with the selection merged over those first; the
// rows then merged onto the destination.
class ScratchRows final : public ITzPreviewRows {
public:
    ScratchRows(int32_t width, int32_t height, ScratchStage layer, ScratchStage floating, ScratchStage selection)
        : m_width(width), m_height(height), m_layer(std::move(layer)), m_floating(std::move(floating)),
          m_selection(std::move(selection)), m_tables(GetMathMerge())
    {
    }
    void Run(const _tagITzBITMAP& bitmap, int32_t top, int32_t bottom) const override
    {
        bottom = std::min(bottom, m_height);
        if (top >= bottom)
            return;
        const PTzRECT whole = {0, 0, m_width, bottom - top};
        ScratchBand pixels(m_width, bottom - top, 32);
        ScratchBand floating(m_floating.read ? m_width : 0, bottom - top, m_floating.bits);
        ScratchBand values(m_selection.read ? m_width : 0, bottom - top, 8);
        if (!pixels.ok() || !floating.ok() || !values.ok())
            return;
        m_layer.read->Copy(pixels.bitmap(), top, bottom);
        if (m_floating.read) {
            m_floating.read->Copy(floating.bitmap(), top, bottom);
            if (m_selection.read) {
                m_selection.read->Copy(values.bitmap(), top, bottom);
                CMathMerge::MergeBitmap(m_tables, &whole, &values.bitmap(), &floating.bitmap(), &whole,
                                        &m_selection.merge);
            }
            CMathMerge::MergeBitmap(m_tables, &whole, &floating.bitmap(), &pixels.bitmap(), &whole, &m_floating.merge);
        }
        PTzRECT rows = {0, top, bitmap.width, bottom};
        _tagITzBITMAP band;
        if (ITzGetSubBitmap(&band, &rows, &bitmap))
            CMathMerge::MergeBitmap(m_tables, &whole, &pixels.bitmap(), &band, &whole, &m_layer.merge);
    }

private:
    int32_t m_width, m_height;
    ScratchStage m_layer, m_floating, m_selection;
    const CMathMerge* m_tables;
};

}  // namespace

std::unique_ptr<ITzPreviewRows> ITzLayerImageARGB::PlanPreviewMerge(const _tagITzBITMAP* bitmap, const PTzRECT* rect,
                                                                    uint8_t level, const _tagITzZOOMLEVEL* zoomX,
                                                                    const _tagITzZOOMLEVEL* zoomY)
{
    if (!bitmap || !bitmap->pixels || (bitmap->bits != 24 && bitmap->bits != 32) || !rect || !zoomX || !zoomY)
        return nullptr;
    if (!m_floating) {
        if (level == 0)
            return PlanMergeToBitmap(*bitmap, *rect, *zoomX, *zoomY);
        ITzLayerImage* cache = GetCacheLayer(level);
        if (!cache)
            return std::make_unique<ITzPreviewRowsStack>();
        auto* argb = dynamic_cast<ITzLayerImageARGB*>(cache);
        return argb ? argb->PlanMergeToBitmap(*bitmap, *rect, *zoomX, *zoomY) : nullptr;
    }
    const PTzRECT placed = ITzRectPlaced(*rect, bitmap->width, bitmap->height);
    if (PTzRectEmpty(&placed))
        return std::make_unique<ITzPreviewRowsStack>();
    const int32_t width = placed.right - placed.left, height = placed.bottom - placed.top;
    ScratchStage own, floating, selection;
    own.read = PlanDisplayRows(this, level, placed, *zoomX, *zoomY, width, height, own.bits);
    GetMergeData(&own.merge);
    floating.read = PlanDisplayRows(m_floating, level, placed, *zoomX, *zoomY, width, height, floating.bits);
    m_floating->GetMergeData(&floating.merge);
    if (ITzLayerImage* mask = m_picture ? m_picture->GetSelectionLayer(0) : nullptr) {
        uint16_t bits = 0;
        selection.read = PlanDisplayRows(mask, level, placed, *zoomX, *zoomY, width, height, bits);
        mask->GetMergeData(&selection.merge);
        if (!selection.read || bits != 8)
            return nullptr;
    }
    if (!own.read || !floating.read)
        return nullptr;
    return std::make_unique<ScratchRows>(width, height, std::move(own), std::move(floating), std::move(selection));
}

std::unique_ptr<ITzPreviewRows> ITzLayerImageARGB::PlanMergeToBitmap(const _tagITzBITMAP& bitmap, const PTzRECT& rect,
                                                                     const _tagITzZOOMLEVEL& zoomX,
                                                                     const _tagITzZOOMLEVEL& zoomY)
{
    if (m_mergeType == ITzMERGE_NORMAL) {
        ZoomReadPlan plan;
        if (!PrepareZoomRead(rect, zoomX, zoomY, Enlarges(zoomX), bitmap.width, bitmap.height, plan))
            return std::make_unique<ITzPreviewRowsStack>();
        return std::make_unique<OverRows>(PlannedARGBRead(std::move(plan), lumatra::FetchOf(this)), m_opacity);
    }
    const PTzRECT placed = ITzRectPlaced(rect, bitmap.width, bitmap.height);
    if (PTzRectEmpty(&rect) || PTzRectEmpty(&placed))
        return std::make_unique<ITzPreviewRowsStack>();
    const int32_t width = placed.right - placed.left, height = placed.bottom - placed.top;
    ScratchStage own;
    own.read = PlanDisplayRows(this, 0, placed, zoomX, zoomY, width, height, own.bits);
    GetMergeData(&own.merge);
    return std::make_unique<ScratchRows>(width, height, std::move(own), ScratchStage(), ScratchStage());
}
