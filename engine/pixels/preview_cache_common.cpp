// The part both kinds of preview-cache layer share: their manager and level.
#include "engine/pixels/preview_cache_common.h"

ITzPreviewCacheCommon::ITzPreviewCacheCommon(ITzPreviewCacheManager* manager, uint8_t level)
    : m_manager(manager), m_level(level)
{
}

ITzPreviewCacheCommon::~ITzPreviewCacheCommon() = default;
