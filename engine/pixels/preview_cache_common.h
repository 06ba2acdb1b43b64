// ITzPreviewCacheCommon: what both kinds of preview-cache layer carry beside their
// image-layer base, the manager that owns them and their level (1 to 8).
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzPreviewCacheManager;

class LUMATRA_API ITzPreviewCacheCommon {
public:
    ITzPreviewCacheCommon(ITzPreviewCacheManager* manager, uint8_t level);
    virtual ~ITzPreviewCacheCommon();

    void SetManager(ITzPreviewCacheManager* manager) { m_manager = manager; }
    void SetLevel(uint8_t level) { m_level = level; }
    ITzPreviewCacheManager* GetManager() const { return m_manager; }
    uint8_t GetLevel() const { return m_level; }

protected:
    ITzPreviewCacheManager* m_manager;  // not owned: it owns this level
    uint8_t m_level;
};
