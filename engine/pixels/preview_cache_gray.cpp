// One level of a mask's preview cache: blocks built on first read from the nearest finer
// level with data, and rebuilt in part when the source mask changes.
#include "engine/pixels/preview_cache_gray.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/layer_image_walk.h"
#include "engine/pixels/preview_cache_fill.h"
#include "engine/pixels/preview_cache_levels.h"
#include "engine/pixels/preview_cache_manager.h"

using lumatra::BlockPart;

namespace {

// Reduces into one locked channel page through the gray layers' own reduction.
struct GrayReduce {
    uint8_t* page;
    int operator()(ITzLayerImage& layer, const PTzRECT& rect, const PTzRECT& part, uint32_t shift, bool) const
    {
        _tagITzBLOCKMEMORYGRAY target = {page};
        return static_cast<ITzLayerImageGray&>(layer).FillPreviewCacheData(&rect, &target, &part, shift);
    }
};

// Stores a changed record; when that fails the handle it added is freed and the layer
// keeps `old`.
void StoreOrDrop(ITzLayerImageGray& layer, uint32_t index, const _tagITzBLOCKINFOGRAY& changed,
                 const _tagITzBLOCKINFOGRAY& old)
{
    if (layer.ITzLayerImageGray::SetBlockInfo(index, &changed) != 0 && changed.data != old.data)
        PTzHandleFree(changed.data);
}

}  // namespace

ITzPreviewCacheGray::ITzPreviewCacheGray(ITzPreviewCacheManager* manager, uint8_t level)
    : ITzPreviewCacheCommon(manager, level)
{
}

ITzPreviewCacheGray::~ITzPreviewCacheGray() = default;

ITzLayerImage* ITzPreviewCacheGray::Create(uint32_t level, ITzPreviewCacheLink* link)
{
    auto* manager = dynamic_cast<ITzPreviewCacheManager*>(link);
    if (!manager || level < 1 || level > lumatra::kPreviewLevels ||
        !dynamic_cast<ITzLayerImageGray*>(manager->GetSourceLayer()))
        return nullptr;
    std::unique_ptr<ITzPreviewCacheGray, ITzLayerDestroyer> layer(new (std::nothrow)
                                                                      ITzPreviewCacheGray(manager, uint8_t(level)));
    return layer && layer->m_blockList ? layer.release() : nullptr;
}

int ITzPreviewCacheGray::GetBlockInfo(uint32_t index, _tagITzBLOCKINFOGRAY* out, int fill)
{
    const int read = ITzLayerImageGray::GetBlockInfo(index, out, fill);
    if (read != ITzERR_BLOCK_ABSENT || !fill || !PrepareBlockData(index))
        return read;
    return ITzLayerImageGray::GetBlockInfo(index, out, fill);
}

int ITzPreviewCacheGray::PrepareBlockData(uint32_t index)
{
    _tagITzBLOCKINFOGRAY record;
    const int read = ITzLayerImageGray::GetBlockInfo(index, &record, 0);
    PTzRECT block, bounds, inside;
    if ((read != 0 && read != ITzERR_BLOCK_ABSENT) || !m_manager || GetBlockPictRect(index, &block) != 0 ||
        GetBounds(&bounds) != 0 || !PTzRectIntersect(&block, &bounds, &inside))
        return 0;
    // A block dropped by an edit still holds its handle: it is written over.
    _tagITzBLOCKINFOGRAY built = record;
    if (UncompressBlock(&built) != 0)
        return 0;
    int result = ITzERR_INVALID;
    {
        const PTzHandleLockGuard page(built.data);
        if (page) {
            GrayReduce reduce = {page.bytes()};
            const PTzRECT inBlock = {inside.left - block.left, inside.top - block.top, inside.right - block.left,
                                     inside.bottom - block.top};
            result = lumatra::FillBlockPart(*m_manager, m_level, inBlock, {inside.left, inside.top}, reduce);
        }
    }
    // A failed build stays missing (with its handle), so the next read tries again.
    built.flags = result == 0 ? ITzBLOCK_PRESENT : 0;
    if (ITzLayerImageGray::SetBlockInfo(index, &built) != 0) {
        if (built.data != record.data)
            PTzHandleFree(built.data);
        return 0;
    }
    if (result != 0)
        return 0;
    CompressBlock(index);
    return 1;
}

int ITzPreviewCacheGray::PreviewUpdateRectChannel(_tagITzCHANNELDATA* channel, const PTzRECT* inBlock,
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
    GrayReduce reduce = {page.bytes()};
    const PTzPOINT first = {corner->x + (part.left - inBlock->left), corner->y + (part.top - inBlock->top)};
    return lumatra::FillBlockPart(*m_manager, m_level, part, first, reduce) == 0 ? 1 : 0;
}

int ITzPreviewCacheGray::PreviewUpdateRectBlock(uint32_t index, const PTzRECT* inBlock, const PTzRECT* pictureRect,
                                                uint8_t flags)
{
    _tagITzBLOCKINFOGRAY record;
    if (!inBlock || !pictureRect || ITzLayerImageGray::GetBlockInfo(index, &record, 0) != 0)
        return 0;
    _tagITzCHANNELDATA channel = {record.data, record.constant};
    const PTzPOINT corner = {pictureRect->left, pictureRect->top};
    PreviewUpdateRectChannel(&channel, inBlock, &corner, flags);
    _tagITzBLOCKINFOGRAY updated = record;
    updated.data = channel.data;
    updated.constant = channel.constant;
    StoreOrDrop(*this, index, updated, record);
    return 0;
}

int ITzPreviewCacheGray::PreviewUpdateRectDataFromDatalayer(const PTzRECT* rect, const PTzPOINT* source,
                                                            uint8_t type)
{
    PTzRECT local, grid;
    if (!rect || !source || !m_manager || (type != 1 && type != 16) || PRECTtoLRECT(rect, &local) != 0 ||
        !ClipToGrid(local, true, grid))
        return 0;
    ITzLayerImage* from = m_manager->GetSourceLayer();
    int result = 0;
    lumatra::WalkGridRect(grid, m_blockCountX, [&](const BlockPart& block) {
        _tagITzBLOCKINFOGRAY record;
        PTzRECT blockRect, sourceRect;
        // A missing block is built whole when read.
        if (ITzLayerImageGray::GetBlockInfo(block.index, &record, 0) != 0 ||
            GetBlockPictRect(block.index, &blockRect) != 0)
            return true;
        const _tagPTzOFFSET corner = {blockRect.left, blockRect.top};
        PTzRECT part;
        PTzRectOffset(&block.part, &corner, &part);
        if (!lumatra::PartSourceRect(*rect, *source, part, m_level, sourceRect))
            return true;
        _tagITzCHANNELDATA channel = {record.data, record.constant};
        result = 0;
        if (channel.data || UncompressChannel(&channel))
            result = from->FillCacheBlockAlpha(&channel, &block.part, &sourceRect, m_level);
        _tagITzBLOCKINFOGRAY updated = record;
        updated.data = channel.data;
        StoreOrDrop(*this, block.index, updated, record);
        return true;
    });
    return result;
}

int ITzPreviewCacheGray::InitGrowedBlock(uint32_t index, _tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    if (!init || !init->callback)
        return 0;
    return init->callback(this, m_level, index, init->user);
}
