// Merges of whole 256 x 256 tiles, whose channels are 65,536-byte buffers in row order:
// the four-channel alpha-over and smudge mix, the gray union and erase, the dispatch by
// tile kind, and the gray merges that the gray layer applies to its stored channels.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/pixels/merge_data.h"

class CMathMerge;

// A tile of either kind: 3 with four channels (alpha, red, green, blue), 6 with one
// gray channel in planes[0].
struct _tagITzBLOCKMEMORY {
    uint32_t kind;
    uint8_t* planes[4];
};

// A null merge data, tile, plane or mask makes each of these do nothing. The tables
// may be null: the kernels compute the same values arithmetically.

// Type 3 alpha-over of four-channel tiles; type 10 (the smudge mix, which without a
// mask copies) copies all four channels; other types do nothing.
LUMATRA_C void ITzMergeBlockARGB(const uint8_t* const source[4], uint8_t* const dest[4],
                                 const _tagITzMERGEDATA* merge, const CMathMerge* tables);
// The same through an 8-bit mask tile; type 10 is the smudge mix.
LUMATRA_C void ITzMergeBlockARGBMask(const uint8_t* const source[4], uint8_t* const dest[4],
                                     const _tagITzMERGEDATA* merge, const CMathMerge* tables,
                                     const uint8_t* mask);

// The gray union d = S(M(s, opacity), d), under a mask S(M(M(s, opacity), m), d).
LUMATRA_C void ITzMergeBlockGray(const uint8_t* source, uint8_t* dest,
                                 const _tagITzMERGEDATA* merge, const CMathMerge* tables);
LUMATRA_C void ITzMergeBlockGrayMask(const uint8_t* source, uint8_t* dest,
                                     const _tagITzMERGEDATA* merge, const CMathMerge* tables,
                                     const uint8_t* mask);
// The erase of a gray or alpha plane, d = M(255 - v, d) with v = M(s, opacity), under a
// mask M(v, m).
LUMATRA_C void ITzEraseBlockGray(const uint8_t* source, uint8_t* dest,
                                 const _tagITzMERGEDATA* merge, const CMathMerge* tables);
LUMATRA_C void ITzEraseBlockGrayMask(const uint8_t* source, uint8_t* dest,
                                     const _tagITzMERGEDATA* merge, const CMathMerge* tables,
                                     const uint8_t* mask);

// By the kinds of the two tiles: 3 onto 3 the four-channel merge above, 6 onto 6 the
// gray union, 6 onto 3 the erase of the destination's alpha; other pairs nothing.
LUMATRA_C void ITzMergeTaggedBlock(const _tagITzMERGEDATA* merge, _tagITzBLOCKMEMORY* dest,
                                   const _tagITzBLOCKMEMORY* source, const CMathMerge* tables);
LUMATRA_C void ITzMergeTaggedBlockMask(const _tagITzMERGEDATA* merge, _tagITzBLOCKMEMORY* dest,
                                       const _tagITzBLOCKMEMORY* source,
                                       const CMathMerge* tables, const uint8_t* mask);

// The gray merges of stored channels, by merge type: 3 union, 5 intersect, 6 reverse
// subtract, 7 subtract, 8 erase, 9 multiply (formulas in merge_data.h). At opacity 255
// the M(s, opacity) step falls away.
// One value, for two uniform channels: the merged destination value, or `dest` itself
// for another type or a null merge data.
LUMATRA_C uint8_t ITzMergeGrayValue(const _tagITzMERGEDATA* merge, uint8_t source, uint8_t dest);
// A whole tile; a null source stands for a uniform channel of value `uniformSource`.
// Other types, a null merge data or destination do nothing.
LUMATRA_C void ITzMergeGrayTileData(const _tagITzMERGEDATA* merge, const uint8_t* source,
                                    uint8_t uniformSource, uint8_t* dest);
