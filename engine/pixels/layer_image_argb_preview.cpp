// ITzLayerImageARGBPreview: an ARGB layer whose missing blocks are drawn by the
// generated layer that owns it the first time they are read.
#include "base/error_codes.h"
#include "engine/pixels/generated_layer_link.h"
#include "engine/pixels/layer_image_argb.h"

ITzLayerImageARGBPreview::ITzLayerImageARGBPreview(ITzGeneratedLayerLink* owner) : m_owner(owner) {}

ITzLayerImageARGBPreview::~ITzLayerImageARGBPreview() = default;

int ITzLayerImageARGBPreview::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill)
{
    _tagITzBLOCKINFOARGB record;
    const int read = out ? ITzLayerImageARGB::GetBlockInfo(index, &record, fill) : ITzERR_INVALID;
    if (read != ITzERR_BLOCK_ABSENT) {
        if (read == 0)
            *out = record;
        return read;
    }
    // Drawn from scratch: handles an invalidated block kept are dropped first.
    DestroyBlockData(&record);
    _tagITzCHANNELBITMAP channels;
    int drawn = ITzERR_INVALID;
    if (m_owner && LockBlockToChannelBitmap(&record, &channels)) {
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
