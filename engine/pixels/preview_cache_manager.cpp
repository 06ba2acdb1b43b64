// The preview cache of one image layer: its levels, made on first use and kept in step
// with the source layer, the stepwise preparation of all levels, and the maker that
// gives every image layer its cache.
#include "engine/pixels/preview_cache_manager.h"

#include <memory>
#include <new>

#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/preview_cache_common.h"
#include "engine/pixels/preview_cache_levels.h"

using lumatra::kPreviewLevels;

namespace {

// The stepwise preparation: the level being built and the next of its blocks.
struct PrepareJob {
    ITzLayerImage* level;
    uint32_t levelsDone;
    uint32_t blockCount;
    uint32_t nextBlock;
};

bool ValidLevel(uint8_t level)
{
    return level >= 1 && level <= kPreviewLevels;
}

// Calls act(level, rect) for every existing level with the picture rectangle mapped
// to the level and turned into that layer's coordinates.
template <class Act>
void ForEachMappedLevel(ITzLayerImage* const (&levels)[kPreviewLevels], const PTzPOINT& origin,
                        const PTzRECT& pictureRect, Act&& act)
{
    for (uint8_t n = 1; n <= kPreviewLevels; ++n) {
        ITzLayerImage* level = levels[n - 1];
        if (!level)
            continue;
        const PTzRECT mapped = lumatra::MapToLevel(pictureRect, origin, n);
        PTzRECT local;
        level->PRECTtoLRECT(&mapped, &local);
        act(*level, local);
    }
}

}  // namespace

ITzPreviewCacheManager::ITzPreviewCacheManager(ITzLayerImage* source) : m_source(source) {}

ITzPreviewCacheManager::~ITzPreviewCacheManager()
{
    for (ITzLayerImage* level : m_levels)
        ITzLayerBase::DestroyLayer(level);
}

ITzPreviewCacheLink* ITzPreviewCacheManager::MakeForLayer(ITzLayerImage* source)
{
    if (!source || dynamic_cast<ITzPreviewCacheCommon*>(source))
        return nullptr;
    return new (std::nothrow) ITzPreviewCacheManager(source);
}

ITzLayerImage* ITzPreviewCacheManager::GetExistingLevel(uint8_t level) const
{
    return ValidLevel(level) ? m_levels[level - 1] : nullptr;
}

PTzRECT ITzPreviewCacheManager::LevelBounds(uint8_t level) const
{
    PTzRECT bounds;
    m_source->GetBounds(&bounds);
    return lumatra::MapToLevel(bounds, m_origin, level);
}

ITzLayerImage* ITzPreviewCacheManager::GetCacheLayer(uint8_t level)
{
    if (!ValidLevel(level) || !m_source)
        return nullptr;
    if (m_levels[level - 1])
        return m_levels[level - 1];
    std::unique_ptr<ITzLayerImage, ITzLayerDestroyer> made(m_source->CreateCacheLayer(level, this));
    const PTzRECT bounds = LevelBounds(level);
    if (!made || made->SetSize(&bounds, 0) != 0)
        return nullptr;
    made->SetOpacity(m_source->GetOpacity());
    made->SetMergeType(m_source->GetMergeType());
    m_levels[level - 1] = made.release();
    return m_levels[level - 1];
}

int ITzPreviewCacheManager::SetOpacity(uint8_t opacity)
{
    for (ITzLayerImage* level : m_levels)
        if (level)
            level->SetOpacity(opacity);
    return 1;
}

int ITzPreviewCacheManager::BlockDataUpdated(const PTzRECT* pictureRect)
{
    if (!pictureRect)
        return 0;
    ForEachMappedLevel(m_levels, m_origin, *pictureRect,
                       [](ITzLayerImage& level, PTzRECT& local) { level.RectDataInvalid(&local); });
    return 1;
}

int ITzPreviewCacheManager::RebuildPreview(const PTzRECT* pictureRect, int flag)
{
    if (!pictureRect)
        return 0;
    // Finer levels first: each level is rebuilt from the one below it.
    ForEachMappedLevel(m_levels, m_origin, *pictureRect, [flag](ITzLayerImage& level, PTzRECT& local) {
        level.PreviewUpdateRectData(&local, uint8_t(flag));
    });
    return 1;
}

int ITzPreviewCacheManager::UpdataPreviewForBrush(uint8_t level, const PTzRECT* pictureRect, int flag)
{
    ITzLayerImage* layer = GetExistingLevel(level);
    if (!layer || !pictureRect)
        return 0;
    // The level rectangle and, at its corner, the source corner aligned to the level's
    // squares around the origin.
    const PTzRECT mapped = lumatra::MapToLevel(*pictureRect, m_origin, level);
    const PTzPOINT source = {lumatra::ClampToInt32(lumatra::LevelToSource(mapped.left, m_origin.x, level)),
                             lumatra::ClampToInt32(lumatra::LevelToSource(mapped.top, m_origin.y, level))};
    return layer->PreviewUpdateRectDataFromDatalayer(&mapped, &source, uint8_t(flag));
}

int ITzPreviewCacheManager::MoveCore(const _tagPTzOFFSET* offset)
{
    if (!offset)
        return ITzERR_INVALID;
    const int64_t x = int64_t(m_origin.x) + offset->x, y = int64_t(m_origin.y) + offset->y;
    const PTzPOINT moved = {lumatra::ClampToInt32(x), lumatra::ClampToInt32(y)};
    for (uint8_t n = 1; n <= kPreviewLevels; ++n) {
        // A level moves by whole level pixels; what is left over moves the origin only.
        _tagPTzOFFSET by = {int32_t((int64_t(moved.x) >> n) - (int64_t(m_origin.x) >> n)),
                            int32_t((int64_t(moved.y) >> n) - (int64_t(m_origin.y) >> n))};
        if (m_levels[n - 1] && (by.x != 0 || by.y != 0))
            m_levels[n - 1]->MoveCore(&by);
    }
    m_origin = moved;
    return 0;
}

void ITzPreviewCacheManager::ResetLevel(uint8_t level)
{
    ITzLayerImage* layer = m_levels[level - 1];
    const PTzRECT nothing = {0, 0, 0, 0};
    layer->CutSize(&nothing);
    const PTzRECT bounds = LevelBounds(level);
    layer->SetSize(&bounds, 0);
}

int ITzPreviewCacheManager::SizeChanged(const PTzRECT* /*oldBounds*/)
{
    for (uint8_t n = 1; n <= kPreviewLevels; ++n)
        if (m_levels[n - 1])
            ResetLevel(n);
    return 0;
}

int ITzPreviewCacheManager::SizeGrowed(_tagITzIMAGELAYERBLOCKINITCBSTR* init)
{
    int result = 0;
    for (uint8_t n = 1; n <= kPreviewLevels; ++n) {
        if (!m_levels[n - 1])
            continue;
        const PTzRECT bounds = LevelBounds(n);
        const int grown = m_levels[n - 1]->GrowSize(&bounds, init);
        if (result == 0)
            result = grown;
    }
    return result;
}

int ITzPreviewCacheManager::CopyOrigin(const ITzPreviewCacheManager* other)
{
    if (!other)
        return 0;
    m_origin = other->m_origin;
    for (uint8_t n = 1; n <= kPreviewLevels; ++n)
        if (m_levels[n - 1])
            ResetLevel(n);
    return 1;
}

uint32_t ITzPreviewCacheManager::PreparePreviewCachePriority()
{
    uint32_t total = 0;
    for (uint8_t n = 1; n <= kPreviewLevels; ++n)
        if (ITzLayerImage* level = GetCacheLayer(n))
            total += level->GetBlockCount();
    return total;
}

void* ITzPreviewCacheManager::PreparePreviewCacheStart()
{
    ITzLayerImage* first = GetCacheLayer(1);
    if (!first)
        return nullptr;
    return new (std::nothrow) PrepareJob{first, 0, first->GetBlockCount(), 0};
}

int ITzPreviewCacheManager::PreparePreviewCacheRun(void* handle, uint32_t* built)
{
    auto* job = static_cast<PrepareJob*>(handle);
    if (built)
        *built = 0;
    if (!job || !job->level)
        return 0;
    if (job->nextBlock < job->blockCount) {
        _tagITzBLOCKDATAINFO info;
        const int read = job->level->GetBlockInfo(job->nextBlock++, &info, 1);
        if (built)
            *built = read == 0 ? 1 : 0;
        return 1;
    }
    // The level is done: one step moves to the next.
    job->level = ++job->levelsDone < kPreviewLevels ? GetCacheLayer(uint8_t(job->levelsDone + 1)) : nullptr;
    if (!job->level)
        return 0;
    job->blockCount = job->level->GetBlockCount();
    job->nextBlock = 0;
    return 1;
}

int ITzPreviewCacheManager::PreparePreviewCacheEnd(void* job)
{
    std::unique_ptr<PrepareJob> owned(static_cast<PrepareJob*>(job));
    return owned ? 1 : 0;
}
