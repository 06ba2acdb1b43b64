// The brightness and contrast effect: its tone table and the table applied to a block.
#include "engine/tools/tool_effect_brightnees_contrast.h"

#include <algorithm>

#include "engine/pixels/block_tone_map.h"
#include "engine/pixels/layer_image.h"

ITzToolEffectBrightneesContrast::ITzToolEffectBrightneesContrast()
{
    SetParameters(nullptr, 0, 0);
}

void ITzToolEffectBrightneesContrast::SetParameters(ITzPicture* picture, int8_t k, int8_t m)
{
    m_picture = picture;
    // k is at most 127, so the divisor is at least 1.
    const int divisor = 255 - 2 * k;
    for (int i = 0; i < 256; ++i) {
        const int value = i + k > 255 - k ? 255 : ((k - m + i) * 255 + (divisor >> 1)) / divisor;
        m_table[i] = uint8_t(std::clamp(value, 0, 255));
    }
}

int ITzToolEffectBrightneesContrast::CreateEffectData(_tagITzEFFECTINFO* job)
{
    return job && job->layer && job->layer->GetColorMode() == PTzCOLORMODE_ARGB ? 1 : 0;
}

void* ITzToolEffectBrightneesContrast::DoBlockStart(_tagITzEFFECTINFO* job, uint32_t block)
{
    if (job && job->layer &&
        lumatra::ToneMapBlock(*job->layer, block, m_table, {job->blockMask, job->blockMaskValue}))
        job->layer->BlockDataUpdated(block);
    return nullptr;
}
