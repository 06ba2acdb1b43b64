// ITzLayerImageARGBPreview: an ARGB layer whose missing blocks are drawn by the
// generated layer that owns it the first time they are read.
#include "base/error_codes.h"
#include "engine/pixels/generated_layer_link.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/preview_cache_link.h"

ITzLayerImageARGBPreview::ITzLayerImageARGBPreview(ITzGeneratedLayerLink* owner) : m_owner(owner) {}

ITzLayerImageARGBPreview::~ITzLayerImageARGBPreview() = default;

int ITzLayerImageARGBPreview::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill)
{
    _tagITzBLOCKINFOARGB record;
    const int read = out ? ITzLayerImageARGB::GetBlockInfo(index, &record, fill) : ITzERR_INVALID;
    if (read != ITzERR_BLOCK_ABSENT || !m_owner) {
        if (read == 0)
            *out = record;
        return read;
    }
    // Drawn from scratch: handles an invalidated block kept are dropped first.
    DestroyBlockData(&record);
    _tagITzCHANNELBITMAP channels;
    int drawn = ITzERR_INVALID;
    if (LockBlockToChannelBitmap(&record, &channels)) {
        PTzRECT pictureRect;
        GetBlockPictRect(index, &pictureRect);
        drawn = m_owner->RenderToChannelBitmap(&pictureRect, &channels) == 0 ? 0 : ITzERR_INVALID;
        UnlockBlockforChannelBitmap(&record, &channels);
    }
    if (drawn == 0)
        record.flags = ITzBLOCK_PRESENT;
    SetBlockInfo(index, &record);
    if (drawn == 0)
        *out = record;
    return drawn;
}

int ITzLayerImageARGBPreview::InvaildRect(const PTzRECT* rect)
{
    if (!RectDataInvalid(rect))
        return 0;
    if (m_cache) {
        PTzRECT pictureRect;
        LRECTtoPRECT(rect, &pictureRect);
        m_cache->BlockDataUpdated(&pictureRect);
    }
    return 1;
}

int ITzLayerImageARGBPreview::ClearBlockWhenExtend(uint32_t index, const PTzRECT* keep)
{
    if (!m_owner)
        return ITzLayerImageARGB::ClearBlockWhenExtend(index, keep);
    BlockDataInvalid(index);
    return 1;
}

int ITzLayerImageARGBPreview::DrawMissingBlocks()
{
    _tagITzBLOCKINFOARGB record;
    for (uint32_t index = 0, count = GetBlockCount(); index < count; ++index)
        if (GetBlockInfo(index, &record, 0) != 0)
            return 0;
    return 1;
}
