// ITzToolEffectBrightneesContrast: brightness and contrast as a tone table over the red,
// green and blue of the active image layer, blended with the unchanged pixels by the
// selection, run and undone as an effect.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_effect_base.h"

class LUMATRA_API ITzToolEffectBrightneesContrast : public ITzToolEffectBase {
public:
    // The identity table and no picture.
    ITzToolEffectBrightneesContrast();

    // Names the picture and builds the table from the contrast k and the brightness
    // shift m (higher m darker): for each input i, 255 when i + k > 255 - k, otherwise
    // ((k - m + i) x 255 + ((255 - 2k) >> 1)) / (255 - 2k) in signed division, clamped to
    // 0..255. (0, 0) gives the identity.
    void SetParameters(ITzPicture* picture, int8_t k, int8_t m);

protected:
    // The table works on colour pixels: a layer of another colour mode is refused (0).
    int CreateEffectData(_tagITzEFFECTINFO* job) override;
    // Maps the block's colour channels through the table, blended by the selection, and
    // reports the block changed; a block of another kind is left as it is. No job.
    void* DoBlockStart(_tagITzEFFECTINFO* job, uint32_t block) override;

private:
    uint8_t m_table[256];
};
