// The BMP format setting (header kind, output depth, flip) as the engine keeps it in a
// movable block, and the rules that tie it to the image being saved: which depths
// suit a source, how the options dialog normalises a setting, which controls it enables.
#pragma once

#include <cstdint>

// The setting block: 36 bytes, of which the first 16 are used.
struct _tagFTzBMPSETTING {
    uint32_t os2;       // 0: Windows 40-byte header; nonzero: OS/2 12-byte header
    uint32_t depth;     // output bits per pixel; only the low 16 bits count
    uint32_t compress;  // never honoured: rows are always written uncompressed
    uint32_t flip;      // nonzero: rows stored top-down
    uint8_t reserved[20];
};
static_assert(sizeof(_tagFTzBMPSETTING) == 36);

namespace bitmora {

constexpr _tagFTzBMPSETTING BmpNewSetting{0, 24, 0, 0, {}};

// The depths the dialog offers, in the order of its controls.
constexpr uint32_t BmpDialogDepthCount = 6;
constexpr uint32_t BmpDialogDepths[BmpDialogDepthCount] = {1, 4, 8, 16, 24, 32};

// Whether rows of sourceBits (from the image information) can be written at depth:
// 1 at 1, 4 at 4 or 8, 8 at 8, 24 at 16, 24 or 32.
bool BmpDepthSuitsSource(uint32_t depth, uint16_t sourceBits);

// What the dialog makes of a setting for an image of imageBits: 1- and 8-bit images
// keep their depth, a 4-bit image allows 4 or 8 (else 4), a 24-bit image allows 16, 24
// or 32 with the Windows header and 24 with OS/2; compress is cleared, and flip too
// with OS/2.
void NormaliseBmpSetting(_tagFTzBMPSETTING* setting, uint16_t imageBits);

// Which of the dialog's choices are enabled for a setting and an image.
struct BmpControlStates {
    bool depth[BmpDialogDepthCount];  // in the order of BmpDialogDepths
    bool compress;                    // never: rows are always written uncompressed
    bool flip;
};
BmpControlStates BmpEnabledControls(const _tagFTzBMPSETTING& setting, uint16_t imageBits);

// The setting in a movable block as the engine holds it: a new block (null when
// memory failed), and copies out of and into one (false for a null or bad block).
void* NewBmpSettingBlock();
bool LoadBmpSetting(void* block, _tagFTzBMPSETTING* setting);
bool StoreBmpSetting(void* block, const _tagFTzBMPSETTING& setting);

}  // namespace bitmora
