// Stored-channel merges: the uniform case on the bytes alone, the rest on the expanded
// destination with the tile merge, folded back when the result is uniform.
#include "engine/pixels/merge_stored_channel.h"

#include "base/memory.h"
#include "engine/pixels/merge_tile.h"

namespace {

bool GrayType(const _tagITzMERGEDATA* merge)
{
    switch (merge->mergeType) {
    case ITzMERGE_NORMAL:
    case ITzMERGE_INTERSECT:
    case ITzMERGE_INVERT:
    case ITzMERGE_SUBTRACT:
    case ITzMERGE_ERASE:
    case ITzMERGE_MULTIPLY_ALPHA:
        return true;
    default:
        return false;
    }
}

}  // namespace

int ITzMergeStoredChannel(const _tagITzMERGEDATA* merge, _tagITzCHANNELDATA* dest,
                          const _tagITzCHANNELDATA* source)
{
    if (!source)
        return 0;
    if (!source->data)
        return ITzMergeStoredChannelBuffer(merge, dest, nullptr, 1, source->constant);
    const PTzHandleLockGuard bytes(source->data);
    if (!bytes)
        return 0;
    return ITzMergeStoredChannelBuffer(merge, dest, bytes.bytes(), 0, 0);
}

int ITzMergeStoredChannelBuffer(const _tagITzMERGEDATA* merge, _tagITzCHANNELDATA* dest,
                                const uint8_t* source, int uniform, uint8_t value)
{
    if (!merge || !dest || (!uniform && !source) || !GrayType(merge))
        return 0;
    if (uniform && !dest->data) {
        dest->constant = ITzMergeGrayValue(merge, value, dest->constant);
        return 1;
    }
    if (!dest->data && !ITzLayerImage::UncompressChannel(dest))
        return 0;
    int merged = 0;
    {
        const PTzHandleLockGuard bytes(dest->data);
        if (bytes) {
            ITzMergeGrayTileData(merge, uniform ? nullptr : source, value, bytes.bytes());
            merged = 1;
        }
    }
    ITzLayerImage::CompressChannel(dest);
    return merged;
}
