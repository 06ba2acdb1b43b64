// ITzToolBrushBase: the brush stroke engine. Stroke points from a mouse track become
// dabs of the brush tip, which gather in a 256 x 256 coverage cache that is pushed into
// the active layer's floating layer, merged with one 'flot' undo step when the stroke ends.
#pragma once

#include <cstdint>
#include <memory>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"
#include "engine/pixels/merge_data.h"
#include "engine/pixels/zoom_level.h"
#include "engine/tools/mouse_track.h"
#include "engine/tools/tool_floating_base.h"

class ITzBrushBase;

// The side of the stroke cache's window in pixels.
inline constexpr int32_t ITzBRUSH_CACHE_SIDE = 256;

// Pressure flags of a brush tool.
inline constexpr uint8_t ITzBRUSH_PRESS_SIZE = 0x1;
inline constexpr uint8_t ITzBRUSH_PRESS_OPACITY = 0x2;
inline constexpr uint8_t ITzBRUSH_PRESS_COLOR = 0x4;

// A push of the stroke cache's paint into the floating layer, in steps.
struct _tagITzTOOLBRUSH_DOPUSHCACHEINFO {
    uint32_t state;
    ITzLayerImage* floatingLayer;  // not owned
    PTzRECT rect;                  // picture coordinates
    PTzRECT layerRect;             // the same in the floating layer's coordinates
};

// A dab too large for the stroke cache, painted straight into the floating layer.
struct _tagITzTOOLBRUSH_DOBRUSHIMAGEINFO {
    uint32_t state;
    ITzLayerImage* floatingLayer;  // not owned
    _tagITzBITMAP dab;             // a view of the part of the dab under `rect`
    PTzRECT rect;                  // picture coordinates
    PTzRECT layerRect;
    uint8_t opacity;               // the dab's strength
};

struct _tagITzTOOLBRUSH_DOMERGEBRUSHINFO;

// The painting of one dab: into the cache, or straight into the floating layer, with the
// cache pushed first when the dab does not fit its window.
struct _tagITzTOOLBRUSH_DOBRUSHINFO {
    _tagITzBITMAP dab;             // the tip's pixels, valid until the brush's next tip
    PTzRECT dabRect;               // picture pixels
    uint8_t opacity;               // the dab's strength
    uint32_t state;
    ITzPicture* picture;
    _tagITzTOOLBRUSH_DOMERGEBRUSHINFO* mergeJob;     // each owned while it runs
    _tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* imageJob;
    _tagITzTOOLBRUSH_DOPUSHCACHEINFO* cacheJob;
};

// The merge of one dab into the stroke cache; the base merges at the start.
struct _tagITzTOOLBRUSH_DOMERGEBRUSHINFO {
    uint32_t state;
    _tagITzTOOLBRUSH_DOBRUSHINFO* paintJob;  // not owned
};

// The tool holds the picture's editing ticket from OnMouseDown to OnMouseUp. Each stepwise
// Start gives a job (null when there is nothing to do or no memory), Run answers nonzero
// while work remains, and End frees the job.
class LUMATRA_API ITzToolBrushBase : public ITzToolFloatingBase, public ITzMouseTrackOwner {
public:
    // Tool ID 'flot'; the stroke cache taken from the scratch pool and zeroed.
    ITzToolBrushBase();
    // Ends running jobs and gives the cache pages and a held ticket back.
    ~ITzToolBrushBase() override;

    // One step of the running stroke: a step of a cache push, else a step of point work,
    // else (the points have run dry) the start of a cache push. 1; 0 without a stroke or
    // for a null picture.
    int OnIdle(ITzPicture* picture) override;
    // 1 when the next OnIdle has work now (a push under way, point work the samples so far
    // give, or paint in the cache to push), so that a caller may run it in the same turn;
    // 0 between strokes and while the stroke only waits for samples or a resting repeat.
    virtual int HasIdleWork();

    // Starts a stroke: ticket, floating layer of the active image layer, mouse track
    // holding the first sample. 1; 0 with nothing held for null arguments, a ticket or
    // floating layer that cannot be had, no stroke cache or no memory for the track.
    virtual int OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture);
    // Ends the stroke: the last sample and every remaining point painted, the cache
    // pushed, the floating layer merged as one undo step, the ticket given back. 0 always
    // (also for null arguments or without a stroke).
    virtual int OnMouseUp(_tagPTzMOUSEPOINT* sample, ITzPicture* picture);
    // Queues a sample of the running stroke: 1, or 0 for null or without a stroke.
    virtual int OnMouseMove(_tagPTzMOUSEPOINT* sample, ITzPicture* picture);
    // Stores the brush (not owned) and switches it to its soft tip: 1; 0 while a stroke
    // runs, since its tip jobs and dabs belong to the brush in use.
    virtual int SetBrush(ITzBrushBase* brush);
    // The preview-cache level of the view's zoom (null: 0).
    virtual void SetDisplayZoomlevel(_tagITzZOOMLEVEL* zoom);
    // Copies the colours given; either may be null.
    virtual void SetColor(_tagPTzCOLOR* front, _tagPTzCOLOR* back);
    virtual void SetPressFlag(uint8_t flags);
    // The floating layer's opacity, set on it when a stroke starts.
    virtual void SetOpacity(uint8_t opacity);
    virtual void SetHoldingSupport(int holding);
    // The merge type of the floating layer over the layer.
    virtual void SetMode(ITzMERGETYPE mode);
    // The strength of each dab.
    virtual void SetPress(uint8_t press);
    // Point work, called by the mouse track: 0 while the point needs more calls, nonzero
    // when its dab is painted.
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override;
    // The stroke's track, made when there is none (with holding support when the tool's
    // setting is on); null when no memory.
    virtual ITzMouseTrack* GetMouseTrack();
    // The active image layer's new floating layer with the tool's opacity and paint mode.
    virtual ITzLayerImage* CreateToolFloatLayer(ITzPicture* picture);
    // The floating layer merged with one undo step: MergeFloatingLayer's result.
    virtual int MergeToolFloatLayer(ITzPicture* picture);
    // Nothing in the base.
    virtual void PrepareFloatingLayer(ITzLayerImage* floating, ITzPicture* picture);
    // Every block a cache layer of the floating layer already has is filled as grown
    // blocks are (PrepareCacheBlockData at the display level).
    virtual void PrepareFloatingLayerCache(ITzLayerImage* cacheLayer);
    // Bits 0, 1 and 2 of the pressure flags.
    virtual int IsPressSupportSize();
    virtual int IsPressSupportOpacity();
    virtual int IsPressSupportColor();
    // Cuts `rect` (picture coordinates) by `clip` when given, in place, and grows the layer
    // to cover it, new blocks filled by PrepareBlockData / PrepareCacheBlockData. 1 when
    // the layer covers the rectangle; 0 for null, an empty rectangle or a failed grow.
    virtual int GetRectDataReady(ITzLayerImage* layer, PTzRECT* rect, PTzRECT* clip);
    // The layer's preview at the display level brought up to date under the picture
    // rectangle: the layer's answer, 0 at level 0.
    virtual int UpdateCacheDataForDataChange(ITzLayerImage* layer, PTzRECT* rect, uint8_t flag);
    // Tells the picture's observers that a picture rectangle changed during a stroke.
    virtual void PreviewUpdateForDataChange(ITzPicture* picture, PTzRECT* rect);
    virtual void DataChanged(ITzPicture* picture, PTzRECT* rect);
    // A block the grow added to the floating layer becomes uniform transparent zero: 1,
    // or 0 when the layer refuses.
    virtual int PrepareBlockData(ITzLayerImage* layer, uint32_t block);
    // The same for a block of a preview-cache layer at the tool's display level; 0 at
    // other levels.
    virtual int PrepareCacheBlockData(ITzLayerImage* layer, uint8_t level, uint32_t block);
    // The mouse track's spacing for a brush step: the step itself in the base.
    virtual uint32_t AdjustStep(uint32_t step);
    // Gives the stroke cache's pages back to the scratch pool.
    virtual void ReleaseChaeBitmap();
    // Takes the stroke cache's pages when it has none, zeroed: 1 when the cache exists.
    virtual int PrepareCacheBitmap();
    // One-call painting of a dab: into the cache when it fits (the cache pushed first
    // when the dab leaves its window), else straight into the floating layer. 1 when the
    // dab was painted, 0 for null arguments, an empty dab or no floating layer.
    virtual int PushBrush(PTzRECT* dabRect, _tagITzBITMAP* dab, uint8_t strength, ITzPicture* picture);
    // One-call push of the cache into the floating layer of the last push's picture: 1
    // when paint was pushed, 0 when the cache was empty or the push failed (its paint is
    // then dropped, so the cache is empty either way).
    virtual int PushCache();
    // Merges a dab that fits the window into the cache, placing the window centred on the
    // dab when the cache is empty: 1, or 0 for null arguments, an empty dab or no cache.
    virtual int MergeBrush(PTzRECT* dabRect, _tagITzBITMAP* dab, uint8_t strength);

    // The tip of a point into the current dab: the brush's job, null without a brush.
    // Pressure that does not drive the size counts as 255.
    virtual void* DoGetBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* picture);
    virtual int DoGetBrush(void* job);
    // 1 when the dab was made; else 0 and the dab stays empty.
    virtual int DoGetBrushEnd(void* job);
    // The dab's strength (press, scaled by the point's pressure when it drives the
    // opacity) and the push of the current dab: null for an empty dab.
    virtual _tagITzTOOLBRUSH_DOBRUSHINFO* DoBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* picture);
    virtual int DoBrush(_tagITzTOOLBRUSH_DOBRUSHINFO* job);
    virtual int DoBrushEnd(_tagITzTOOLBRUSH_DOBRUSHINFO* job);
    // The stepwise form of PushBrush; the job keeps the dab's pixels by pointer.
    virtual _tagITzTOOLBRUSH_DOBRUSHINFO* DoPushBrushStart(PTzRECT* dabRect, _tagITzBITMAP* dab,
                                                            uint8_t strength, ITzPicture* picture);
    virtual int DoPushBurshRun(_tagITzTOOLBRUSH_DOBRUSHINFO* job);
    virtual int DoPushBrushEnd(_tagITzTOOLBRUSH_DOBRUSHINFO* job);
    // The stepwise push of the cache: null when it is empty or no picture is known; a
    // push without a floating layer or memory drops the cache's paint and gives null.
    virtual _tagITzTOOLBRUSH_DOPUSHCACHEINFO* DoPushCacheStart(ITzPicture* picture);
    virtual int DoPushCacheRun(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job);
    virtual int DoPushCacheEnd(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job);
    // A dab straight into the floating layer, in steps: null for an empty dab, no
    // floating layer or no memory.
    virtual _tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* DoPushBrushImageStart(PTzRECT* dabRect, _tagITzBITMAP* dab,
                                                                      uint8_t strength, ITzPicture* picture);
    virtual int DoPushBrushImageRun(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job);
    virtual int DoPushBrushImageEnd(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job);
    // The merge of the paint job's dab into the cache, done at the start in the base (a
    // tool whose merge is costly spreads it over runs); null when no memory.
    virtual _tagITzTOOLBRUSH_DOMERGEBRUSHINFO* DoMergeBrushStart(_tagITzTOOLBRUSH_DOBRUSHINFO* job);
    // 0: the base has nothing left to do.
    virtual int DoMergeBrushRun(_tagITzTOOLBRUSH_DOMERGEBRUSHINFO* job);
    virtual int DoMergeBrushEnd(_tagITzTOOLBRUSH_DOMERGEBRUSHINFO* job);
    // The job's dab united into the floating layer at the strength: MergeMask's result.
    virtual int MergeBrushToImage(_tagITzTOOLBRUSH_DOBRUSHIMAGEINFO* job, uint8_t strength);
    // The cache's paint under the job's rectangle united into the floating layer at 255,
    // and the cache zeroed: MergeMask's result.
    virtual int MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job);
    // d = S(d, M(s, strength)) of the dab over the cache rectangle (cache coordinates);
    // dabRect is the dab's place in the picture. 1, or 0 for null arguments or no cache.
    virtual int MergeBrushToCache(PTzRECT* cacheRect, _tagITzBITMAP* dab, PTzRECT* dabRect, uint8_t strength);
    // Called when the cache's window is placed (picture rectangle); nothing in the base.
    virtual void PrepareCacheData(PTzRECT* window);
    // Called when a stroke has ended; nothing in the base.
    virtual void OnMouseActionEnd();

protected:
    static bool DabHasPixels(const _tagITzBITMAP* dab)
    {
        return dab && dab->pixels && dab->width > 0 && dab->height > 0;
    }
    // Dabs wider or taller than the window go straight into the floating layer.
    static bool DabFitsCache(const _tagITzBITMAP& dab)
    {
        return dab.width <= ITzBRUSH_CACHE_SIDE && dab.height <= ITzBRUSH_CACHE_SIDE;
    }
    // The layer that pushes write into: in the base the floating layer of the picture's
    // active image layer, null when there is none.
    virtual ITzLayerImage* GetPushLayer(ITzPicture* picture);
    // Sets up the stroke's track (made by the caller) on the first sample: 1.
    int StartTrack(ITzMouseTrack& track, _tagPTzMOUSEPOINT* sample, ITzPicture* picture);
    // Makes a block the colour's red, green and blue at alpha 0 (colour mode 3), as the
    // painting tools prepare the blocks a stroke adds: the layer's answer, 0 for null.
    static int SetBlockClearColor(ITzLayerImage* layer, uint32_t block, const _tagPTzCOLOR& colour);
    // A view of the cache's coverage under a picture rectangle: false when none of it
    // lies in the cache.
    bool CachePaint(const PTzRECT& pictureRect, _tagITzBITMAP* view) const;
    // Zeroes the cache's paint; ClearCache also marks it empty.
    void ZeroCache();
    void ClearCache();
    // Whether a dab (picture rectangle) fits the window together with the cache's paint.
    bool FitsWindow(const PTzRECT& dabRect) const;
    // Ends whichever point and push jobs are running.
    void EndJobs();

    std::unique_ptr<ITzMouseTrack> m_track;
    ITzBrushBase* m_brush = nullptr;            // not owned
    uint8_t m_displayCacheLevel = 0;
    _tagPTzCOLOR m_frontColor = {};
    _tagPTzCOLOR m_backColor = {_tagPTzCOLORMODE(0), 0, {255, 255, 255}};  // white
    uint8_t m_pressFlags = ITzBRUSH_PRESS_SIZE;
    uint8_t m_opacity = 255;
    uint8_t m_press = 255;
    int m_holdingSupport = 0;
    ITzMERGETYPE m_paintMode = ITzMERGE_NORMAL;
    // 8 bits, one channel; pages of the scratch pool (null when none could be had).
    _tagITzBITMAP m_cache = {};
    PTzPOINT m_cacheOrigin = {0, 0};            // picture coordinates of the cache's (0, 0)
    PTzRECT m_dirtyRect = {0, 0, 0, 0};         // cache coordinates of the paint
    int m_cacheEmpty = 1;
    ITzPicture* m_pushPicture = nullptr;        // the picture of the running stroke or push
    // The cache holds 65,536 << shift bytes in rows of 256 << shift; never anything but 0.
    uint8_t m_cacheSizeShift = 0;
    _tagITzBITMAP m_dab = {};                   // the current dab
    PTzRECT m_dabRect = {0, 0, 0, 0};           // its place in picture pixels
    _tagITzTOOLBRUSH_DOPUSHCACHEINFO* m_cachePushJob = nullptr;  // the idle push
    int m_pointPhase = 0;                       // 0 getting the tip, 1 painting the dab
    void* m_tipJob = nullptr;                   // the brush's
    _tagITzTOOLBRUSH_DOBRUSHINFO* m_paintJob = nullptr;
};
