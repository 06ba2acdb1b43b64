// One level of an ARGB layer's preview cache: blocks built on first read from the
// nearest finer level with data, and rebuilt in part when the source layer changes.
#include "engine/pixels/preview_cache_argb.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/block_info_argb.h"
#include "engine/pixels/block_view_argb.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/preview_cache_fill.h"
#include "engine/pixels/preview_cache_levels.h"
#include "engine/pixels/preview_cache_manager.h"

using lumatra::ARGBBlockWriter;
using lumatra::BlockPart;

namespace {

_tagITzBLOCKMEMORYARGB Pages(const ARGBBlockWriter& writer)
{
    return {{writer.page(0), writer.page(1), writer.page(2), writer.page(3)}, {}};
}

// Stores a changed record; when that fails the handles it added are freed and the
// layer keeps `old`.
void StoreOrDrop(ITzLayerImageARGB& layer, uint32_t index, const _tagITzBLOCKINFOARGB& changed,
                 const _tagITzBLOCKINFOARGB& old)
{
    if (layer.ITzLayerImageARGB::SetBlockInfo(index, &changed) != 0)
        ITzBlockInfoARGBFreeReplaced(&changed, &old);
}

}  // namespace

ITzPreviewCacheARGB::ITzPreviewCacheARGB(ITzPreviewCacheManager* manager, uint8_t level)
    : ITzPreviewCacheCommon(manager, level)
{
}

ITzPreviewCacheARGB::~ITzPreviewCacheARGB() = default;

ITzLayerImage* ITzPreviewCacheARGB::Create(uint32_t level, ITzPreviewCacheLink* link)
{
    auto* manager = dynamic_cast<ITzPreviewCacheManager*>(link);
    if (!manager || level < 1 || level > lumatra::kPreviewLevels ||
        !dynamic_cast<ITzLayerImageARGB*>(manager->GetSourceLayer()))
        return nullptr;
    std::unique_ptr<ITzPreviewCacheARGB, ITzLayerDestroyer> layer(new (std::nothrow)
                                                                      ITzPreviewCacheARGB(manager, uint8_t(level)));
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

int ITzPreviewCacheARGB::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill)
{
    const int read = ITzLayerImageARGB::GetBlockInfo(index, out, fill);
    if (read != ITzERR_BLOCK_ABSENT || !fill || !PrepareBlockData(index))
        return read;
    return ITzLayerImageARGB::GetBlockInfo(index, out, fill);
}

int ITzPreviewCacheARGB::PrepareBlockData(uint32_t index)
{
    _tagITzBLOCKINFOARGB record;
    const int read = ITzLayerImageARGB::GetBlockInfo(index, &record, 0);
    PTzRECT block, bounds, inside;
    if ((read != 0 && read != ITzERR_BLOCK_ABSENT) || !m_manager || GetBlockPictRect(index, &block) != 0 ||
        GetBounds(&bounds) != 0 || !PTzRectIntersect(&block, &bounds, &inside))
        return 0;
    // A block dropped by an edit still holds its handles: they are written over.
    _tagITzBLOCKINFOARGB built = record;
    if (ITzBlockInfoARGBExpand(&built) != 0)
        return 0;
    int result = ITzERR_INVALID;
    {
        const ARGBBlockWriter writer(built);
        if (writer.complete()) {
            _tagITzBLOCKMEMORYARGB memory = Pages(writer);
            auto reduce = [&memory](ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& part, uint32_t shift,
                                    bool fromSource) {
                return static_cast<ITzLayerImageARGB&>(layer).FillPreviewCacheData(&rect, &memory, &part, shift,
                                                                                  fromSource ? 1 : 0);
            };
            const PTzRECT inBlock = {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                                     inside.bottom - block.top};
            result = lumatra::FillBlockPart(*m_manager, m_level, inBlock, {inside.left, inside.top}, reduce);
        }
    }
    // A failed build stays missing (with its handles), so the next read tries again.
    built.flags = result == 0 ? ITzBLOCK_PRESENT : 0;
    if (ITzLayerImageARGB::SetBlockInfo(index, &built) != 0) {
        ITzBlockInfoARGBFreeReplaced(&built, &record);
        return 0;
    }
    if (result != 0)
        return 0;
    CompressBlock(index);
    return 1;
}

int ITzPreviewCacheARGB::PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock,
                                                  const PTzPOINT* corner, uint8_t /*flags*/)
{
    if (!channel || !inBlock || !corner || !m_manager)
        return 0;
    const PTzRECT whole = {0, 0, ITzBLOCK_SIDE, ITzBLOCK_SIDE};
    PTzRECT part;
    if (!PTzRectIntersect(inBlock, &whole, &part))
        return 1;
    if (!channel->data && !UncompressChannel(channel))
        return 0;
    const PTzHandleLockGuard page(channel->data);
    if (!page)
        return 0;
    auto reduce = [&page](ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& target, uint32_t shift, bool) {
        return static_cast<ITzLayerImageARGB&>(layer).FillPreviewCacheChannelData(&rect, page.bytes(), &target,
                                                                                 shift, 0);
    };
    const PTzPOINT first = {corner->x + (part.left - inBlock->left), corner->y + (part.top - inBlock->top)};
    return lumatra::FillBlockPart(*m_manager, m_level, part, first, reduce) == 0 ? 1 : 0;
}

int ITzPreviewCacheARGB::PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                                                uint8_t flags)
{
    _tagITzBLOCKINFOARGB record;
    if (!inBlock || !pictureRect || ITzLayerImageARGB::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    _tagITzBLOCKINFOARGB updated = record;
    if (flags & 0x01) {
        _tagITzCHANNELDATA alpha = {updated.channels[0], updated.constants[0]};
        const PTzPOINT corner = {pictureRect->left, pictureRect->top};
        PreviewUpdateRectChannel(&alpha, inBlock, &corner, flags);
        updated.channels[0] = alpha.data;
        updated.constants[0] = alpha.constant;
    }
    // Expanded, and its channels locked and unlocked once, for the writes that follow.
    if ((flags & 0x10) && ITzBlockInfoARGBExpand(&updated) == 0) {
        const ARGBBlockWriter locked(updated);
    }
    StoreOrDrop(*this, index, updated, record);
    return 0;
}

int ITzPreviewCacheARGB::PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source,
                                                            uint8_t type)
{
    PTzRECT local, grid;
    if (!rect || !source || !m_manager || (type != 1 && type != 16) || PRECTtoLRECT(rect, &local) != 0 ||
        !ClipToGrid(local, true, grid))
        return 0;
    ITzLayerImage* from = m_manager->GetSourceLayer();
    int result = 0;
    lumatra::WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        _tagITzBLOCKINFOARGB record;
        PTzRECT blockRect, sourceRect;
        // A missing block is built whole when read.
        if (ITzLayerImageARGB::GetBlockInfo(block.index, &record, 0) != 0 ||
            GetBlockPictRect(block.index, &blockRect) != 0)
            return true;
        const _tagPTzOFFSET corner = {blockRect.left, blockRect.top};
        PTzRECT part;
        PTzRectOffset(&block.part, &corner, &part);
        if (!lumatra::PartSourceRect(*rect, *source, part, m_level, sourceRect))
            return true;
        _tagITzBLOCKINFOARGB updated = record;
        result = 0;
        if (type == 1) {
            _tagITzCHANNELDATA alpha = {updated.channels[0], updated.constants[0]};
            if (alpha.data || UncompressChannel(&alpha)) {
                updated.channels[0] = alpha.data;
                result = from->FillCacheBlockAlpha(&alpha, &block.part, &sourceRect, m_level);
            }
        } else if (ITzBlockInfoARGBExpand(&updated) == 0) {
            const ARGBBlockWriter writer(updated);
            _tagITzBLOCKMEMORYARGB memory = Pages(writer);
            if (writer.complete())
                result = from->FillCacheBlock(&memory, &block.part, &sourceRect, m_level);
        }
        StoreOrDrop(*this, block.index, updated, record);
        return true;
    });
    return result;
}

int ITzPreviewCacheARGB::InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    if (!init || !init->callback)
        return 0;
    return init->callback(this, m_level, index, init->user);
}
