// ITzPreviewCacheManager: the preview cache of one image layer, up to eight reduced
// copies of it (level n reduced 2^n times each way) made on first use, kept aligned with
// the layer's moves and size and invalidated or rebuilt where the layer changes. Every
// image layer makes one on first use, unless another maker is installed.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/preview_cache_link.h"

class ITzLayerImage;

class LUMATRA_API ITzPreviewCacheManager : public ITzPreviewCacheLink {
public:
    // The cache of a source layer (not owned); its origin starts at (0, 0).
    explicit ITzPreviewCacheManager(ITzLayerImage* source);
    // Deletes every existing level.
    ~ITzPreviewCacheManager() override;
    ITzPreviewCacheManager(const ITzPreviewCacheManager&) = delete;
    ITzPreviewCacheManager& operator=(const ITzPreviewCacheManager&) = delete;

    int SetOpacity(uint8_t opacity) override;
    // Made by the source layer's CreateCacheLayer, sized (without blocks) to the source
    // bounds mapped to the level, with the source's opacity and merge type.
    ITzLayerImage* GetCacheLayer(uint8_t level) override;
    // Drops every existing level's blocks under the mapped rectangle; they are built
    // again when next read. 1, 0 for null.
    int BlockDataUpdated(const PTzRECT* pictureRect) override;
    // Rebuilds the mapped rectangle of every existing level at once (the flag as the
    // levels' PreviewUpdateRectData flags): 1, 0 for null.
    int RebuildPreview(const PTzRECT* pictureRect, int flag) override;
    // Updates one existing level (1 to 8) from the source straight away, the flag as the
    // type of PreviewUpdateRectDataFromDatalayer: its result, 0 for any other level.
    int UpdataPreviewForBrush(uint8_t level, const PTzRECT* pictureRect, int flag) override;
    // Moves every existing level with the source, the origin with it: 0, -1001 for null.
    int MoveCore(const _tagPTzOFFSET* offset) override;
    // Every existing level emptied and sized to the source's new bounds: 0.
    int SizeChanged(const PTzRECT* oldBounds) override;
    // Every existing level grown to the source's new bounds with the initialiser: 0, or
    // the first level's failure.
    int SizeGrowed(_tagITzIMAGELAYERBLOCKINITCBSTR* init) override;
    // The block counts of all eight levels, made if need be.
    uint32_t PreparePreviewCachePriority() override;
    // A job that builds every block of levels 1 to 8 in turn, one block or one change of
    // level per run; null when level 1 cannot be made or memory is short.
    void* PreparePreviewCacheStart() override;
    // 1 while there is work, 0 when the eight levels are done or a level cannot be
    // made. `built` (may be null) is 1 when the step left its block built, else 0.
    int PreparePreviewCacheRun(void* job, uint32_t* built) override;
    // Frees the job: 1, 0 for null.
    int PreparePreviewCacheEnd(void* job) override;

    // Takes the other cache's origin, so that a floating layer's levels line up with its
    // parent's; existing levels are emptied and sized anew. 1, 0 for null.
    int CopyOrigin(const ITzPreviewCacheManager* other);

    ITzLayerImage* GetSourceLayer() const { return m_source; }
    PTzPOINT GetOrigin() const { return m_origin; }
    // The level if it exists, never making it; null for levels outside 1 to 8.
    ITzLayerImage* GetExistingLevel(uint8_t level) const;

    // The maker image layers' GetCacheManager uses until another is installed: null for
    // a null layer and for a preview-cache layer, whose own levels would never be read.
    static ITzPreviewCacheLink* MakeForLayer(ITzLayerImage* source);

private:
    // The source's bounds mapped to a level.
    PTzRECT LevelBounds(uint8_t level) const;
    // Empties a level and sizes it to the source's bounds, all blocks missing.
    void ResetLevel(uint8_t level);

    ITzLayerImage* m_source;
    ITzLayerImage* m_levels[8] = {};  // levels 1 to 8, owned
    PTzPOINT m_origin = {0, 0};
};
