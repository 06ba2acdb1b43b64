// ITzToolBrushNFloatingBase: the brushes that recompute the layer's own pixels from the
// pixels around them (blur, sharpen, smudge). A stroke works in a copy of the layer under
// the stroke cache's window (or under one large dab), which its dabs change and each
// push writes back into the layer; every block is kept in the stroke's 'flot' record
// before it is first written, and the record is the stroke's undo step.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_base.h"

namespace lumatra {
class RetouchArea;
namespace retouch {
struct FilterDab;
struct SmudgeDab;
}  // namespace retouch
}  // namespace lumatra

class LUMATRA_API ITzToolBrushNFloatingBase : public ITzToolBrushBase {
public:
    ITzToolBrushNFloatingBase();
    // A stroke left running has its record handed to the picture first, so that what it
    // wrote stays undoable.
    ~ITzToolBrushNFloatingBase() override;

    // The tool's strength (128 after construction).
    void SetStrength(uint8_t strength) { m_strength = strength; }
    uint8_t GetStrength() const { return m_strength; }

    // Starts a stroke on the active image layer itself: ticket, the layer's floating
    // layer merged away (so the stroke sees what is shown), the record started, the
    // stroke's planes and the mouse track. 1; 0 with nothing held for null arguments,
    // an active layer that is no image layer, or a ticket, merge or memory that cannot
    // be had.
    int OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture) override;
    // Keeps every block of the layer under the picture rectangle that meets the record's
    // bounds and is not kept yet: 1 when the record holds them all, 0 when one could not
    // be kept (the stroke then does not write it).
    virtual int BackupRectData(ITzLayerImage* layer, PTzRECT* rect);
    // Makes the layer, at its index in the picture, the stroke's layer and starts the
    // record with the index and the layer's bounds: 1, 0 for null or no memory.
    virtual int SetDesLayer(ITzLayerImage* layer, uint16_t index);
    // Hands the stroke's record to the picture when it holds anything: 1 when saved; 0
    // (the record released) when the stroke wrote nothing.
    int MergeFloatingLayer(ITzPicture* picture) override;
    // The stroke's layer changes in all its channels: the display level is rebuilt with
    // flag 16.
    int UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t flag) override;
    // The stroke's layer keeps its preview cache: nothing to prepare.
    void PrepareFloatingLayerCache(ITzLayerImage* cacheLayer) override;
    // Places the copy of the layer under the window (and a pixel around it, for the
    // filters' neighbours); each dab loads the part it needs.
    void PrepareCacheData(PTzRECT* window) override;
    // The dab applied to the window's copy: RetouchDab's result, 0 when the copy could
    // not be loaded.
    int MergeBrushToCache(PTzRECT* cacheRect, _tagITzBITMAP* dab, PTzRECT* dabRect, uint8_t strength) override;
    // A large dab: the layer under it loaded into planes of its own, the dab applied and
    // written back: 1, or 0 when memory is short or the layer could not be read.
    int MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength) override;
    // The window's copy under the job's rectangle written into the layer, block by block
    // after each is kept: 1 when every block was written.
    int MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job) override;
    // Releases the stroke's planes and forgets its layer.
    void OnMouseActionEnd() override;

protected:
    ITzLayerImage* GetPushLayer(ITzPicture* picture) override;
    // The planes a stroke needs besides the window's copy, made at its start: true when
    // they could be had.
    virtual bool PrepareStroke(ITzPicture* picture);
    // One dab on a copy of the layer that covers the dab's picture rectangle: 1 when
    // applied, 0 when it could not be.
    virtual int RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                           uint8_t strength) = 0;
    // RetouchDab of the filter brushes: the area under the dab and a pixel around it is
    // copied, the kernel filters the copy and its result goes back into the area. The
    // picture's own rectangle bounds the pixels that exist.
    int ApplyFilter(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab, uint8_t strength,
                    void (*kernel)(const lumatra::retouch::FilterDab&));

    ITzLayerImage* m_layer = nullptr;  // the stroke's layer, while a stroke runs
    uint8_t m_strength = 128;

private:
    // Writes the area's part under the picture rectangle into the stroke's layer, block
    // by block, each kept first: true when every block was written.
    bool WriteBack(const lumatra::RetouchArea& area, const PTzRECT& rect);
    // Whether block `index` of the stroke's layer may be written: it lies beyond the
    // record's bounds or the record holds it.
    bool Writable(uint32_t index) const;
    // The index of a block (picture rectangle) in the grid over the record's bounds;
    // false beyond it.
    bool KeptIndex(const PTzRECT& block, uint32_t* index) const;
    void ReleaseStroke();

    PTzRECT m_pictureRect = {0, 0, 0, 0};
    PTzRECT m_recordBounds = {0, 0, 0, 0};
    int64_t m_frameLeft = 0, m_frameTop = 0;  // the grid over the record's bounds
    uint32_t m_frameColumns = 0, m_frameRows = 0;
    std::unique_ptr<uint8_t[]> m_kept;        // per block of that grid: 1 once kept
    // Loads the part of the window's copy that a dab needs and it does not hold yet (its
    // loaded part grows as the bounding box of what dabs needed): false when a block
    // could not be read.
    bool LoadWindowPart(const PTzRECT& need);

    std::unique_ptr<lumatra::RetouchArea> m_window;  // the copy under the cache's window
    bool m_windowPlaced = false;
    PTzRECT m_windowLoaded = {0, 0, 0, 0};           // what the copy holds
    std::unique_ptr<lumatra::RetouchArea> m_filterSource;    // the filters' copy of a dab's pixels
    std::unique_ptr<lumatra::RetouchArea> m_filterCoverage;  // the dab with a zero border
    std::unique_ptr<lumatra::RetouchArea> m_filterResult;    // the filtered dab
};
