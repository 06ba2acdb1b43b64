// The setting rules, kept apart from the dialog so that they are tested on their own.
#include "formats/bmp/bmp_setting.h"

#include <cstring>

#include "base/memory.h"

namespace bitmora {

bool BmpDepthSuitsSource(uint32_t depth, uint16_t sourceBits)
{
    switch (sourceBits) {
    case 1:
    case 8:
        return depth == sourceBits;
    case 4:
        return depth == 4 || depth == 8;
    case 24:
        return depth == 16 || depth == 24 || depth == 32;
    default:
        return false;
    }
}

void NormaliseBmpSetting(_tagFTzBMPSETTING* setting, uint16_t imageBits)
{
    const uint32_t depth = setting->depth & 0xFFFF;
    if (imageBits == 4)
        setting->depth = depth == 8 ? 8 : 4;
    else if (imageBits == 24)
        setting->depth = !setting->os2 && (depth == 16 || depth == 32) ? depth : 24;
    else
        setting->depth = imageBits;
    setting->compress = 0;
    if (setting->os2)
        setting->flip = 0;
}

BmpControlStates BmpEnabledControls(const _tagFTzBMPSETTING& setting, uint16_t imageBits)
{
    const bool windows = setting.os2 == 0;
    BmpControlStates states{};
    states.depth[0] = imageBits == 1;
    states.depth[1] = imageBits == 4;
    states.depth[2] = false;
    states.depth[3] = imageBits == 24 && windows;
    states.depth[4] = imageBits == 24;
    states.depth[5] = imageBits == 24 && windows;
    states.compress = false;
    states.flip = windows;
    return states;
}

void* NewBmpSettingBlock()
{
    void* block = PTzHandleNew(sizeof(_tagFTzBMPSETTING));
    if (block && !StoreBmpSetting(block, BmpNewSetting)) {
        PTzHandleFree(block);
        return nullptr;
    }
    return block;
}

bool LoadBmpSetting(void* block, _tagFTzBMPSETTING* setting)
{
    if (!block || PTzBlockSize(block) < sizeof(_tagFTzBMPSETTING))
        return false;
    PTzHandleLockGuard lock(block);
    if (!lock)
        return false;
    std::memcpy(setting, lock.bytes(), sizeof(_tagFTzBMPSETTING));
    return true;
}

bool StoreBmpSetting(void* block, const _tagFTzBMPSETTING& setting)
{
    if (!block || PTzBlockSize(block) < sizeof(_tagFTzBMPSETTING))
        return false;
    PTzHandleLockGuard lock(block);
    if (!lock)
        return false;
    std::memcpy(lock.bytes(), &setting, sizeof(_tagFTzBMPSETTING));
    return true;
}

}  // namespace bitmora
