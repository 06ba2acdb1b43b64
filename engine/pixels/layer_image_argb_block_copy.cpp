// Blocks of one ARGB layer filled from a block of another: a whole block copied channel
// by channel, or a part of one merged alpha-over. The floating-layer tools fill their
// blocks through these.
#include "base/memory.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/merge_channel_bitmap.h"
#include "engine/pixels/scratch_pages.h"

namespace {

// The channels of a record that hold a handle, bit c for channel c.
uint8_t ChannelsWithData(const _tagITzBLOCKINFOARGB& record)
{
    uint8_t channels = 0;
    for (int c = 0; c < 4; ++c)
        if (record.channels[c])
            channels |= uint8_t(1u << c);
    return channels;
}

// A 256 x 256 channel bitmap of kind 3 over four pages.
_tagITzCHANNELBITMAP BlockBitmap(uint8_t* const planes[4])
{
    return {ITzBLOCK_SIDE, ITzBLOCK_SIDE, ITzBLOCK_SIDE, int32_t(PTzCOLORMODE_ARGB),
            {planes[0], planes[1], planes[2], planes[3], nullptr}};
}

}  // namespace

int ITzLayerImageARGB::CopyBlockFrom(uint32_t index, ITzLayerImageARGB* source, uint32_t sourceIndex)
{
    _tagITzBLOCKINFOARGB from, to;
    if (!source || source->GetBlockInfo(sourceIndex, &from, 0) != 0 || GetBlockInfo(index, &to, 0) != 0)
        return 0;
    // Every channel that receives a handle's bytes gets a handle of its own first, so
    // that the copy cannot run out of memory half way.
    _tagITzBLOCKINFOARGB written = to;
    if (ITzBlockInfoARGBExpandChannels(&written, ChannelsWithData(from)) != 0)
        return 0;
    // With every handle in place only an unreadable handle can fail a channel; the
    // record is stored anyway, since uniform channels already dropped their handles.
    bool copied = true;
    for (int c = 0; c < 4; ++c)
        copied &= ITzChannelCopyInto(from.channels[c], from.constants[c], &written.channels[c],
                                     &written.constants[c]) != 0;
    return SetBlockInfo(index, &written) == 0 && copied ? 1 : 0;
}

int ITzLayerImageARGB::MergeBlockPartOver(uint32_t index, const PTzRECT* inBlock, ITzLayerImageARGB* source,
                                          uint32_t sourceIndex)
{
    _tagITzBLOCKINFOARGB from, to;
    if (!inBlock || !source || source->GetBlockInfo(sourceIndex, &from, 0) != 0 || GetBlockInfo(index, &to, 0) != 0)
        return 0;
    _tagITzBLOCKINFOARGB written = to;
    const lumatra::ScratchPages pages(4);
    _tagITzBlockBUFFER expanded = {{pages.page(0), pages.page(1), pages.page(2), pages.page(3)}};
    if (!pages.ok() || source->FillBlockBuffer(&from, &expanded) != 0 || UncompressBlock(&written) != 0)
        return 0;
    bool merged = false;
    {
        const PTzHandleLockGuard a(written.channels[0]), r(written.channels[1]), g(written.channels[2]),
            b(written.channels[3]);
        merged = a && r && g && b;
        if (merged) {
            uint8_t* const targetPlanes[4] = {a.bytes(), r.bytes(), g.bytes(), b.bytes()};
            _tagITzCHANNELBITMAP target = BlockBitmap(targetPlanes);
            const _tagITzCHANNELBITMAP over = BlockBitmap(expanded.planes);
            const _tagITzMERGEDATA merge = {ITzMERGE_NORMAL, 255};
            ITzMergeChannelBitmap(&merge, 255, nullptr, &target, GetMathMerge(), inBlock, &over, inBlock, nullptr);
        }
    }
    // Stored even when unmerged: the expanded channels' handles are the record's now.
    CompressBlock(&written);
    return SetBlockInfo(index, &written) == 0 && merged ? 1 : 0;
}
