// The blend tables: every 8-bit product, union and ratio that compositing needs, built
// once per process (GetMathMerge) so that nothing divides by 255 per pixel.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"

struct _tagITzBITMAP;
struct _tagITzMERGEDATA;

// Each table is indexed [b][i] with b and i from 0 to 255.
class LUMATRA_API CMathMerge {
public:
    // The first instance constructed becomes the process-wide one.
    CMathMerge();
    // Stops being the process-wide instance, if it is.
    virtual ~CMathMerge();
    CMathMerge(const CMathMerge&) = delete;
    CMathMerge& operator=(const CMathMerge&) = delete;

    // M: (i * b + 127) / 255, the rounded product of two 8-bit fractions.
    uint8_t Product(uint8_t b, uint8_t i) const { return m_product[Index(b, i)]; }
    // MI: (i * (255 - b) + 127) / 255.
    uint8_t InverseProduct(uint8_t b, uint8_t i) const { return m_inverseProduct[Index(b, i)]; }
    // S: b + i - M, the union of two coverages.
    uint8_t Union(uint8_t b, uint8_t i) const { return m_union[Index(b, i)]; }
    // Q: b / i in 16.16 fixed point, rounded: (b * 65536 + i / 2) / i, and 0 for i = 0.
    uint32_t Ratio(uint8_t b, uint8_t i) const { return m_ratio[Index(b, i)]; }
    // P: b * i.
    uint16_t RawProduct(uint8_t b, uint8_t i) const { return m_rawProduct[Index(b, i)]; }
    // W: the shares of b and i in d = min(b + i, 255): high byte (255 * b + d / 2) / d,
    // low byte (255 * i + d / 2) / d; 0 when both are 0.
    uint16_t SplitWeights(uint8_t b, uint8_t i) const { return m_splitWeights[Index(b, i)]; }

    // Merges the source rectangle onto the destination rectangle of two interleaved
    // bitmaps, by merge type and the two depths: 3 alpha-over 32 -> 32 and 32 -> 24, gray
    // union 8 -> 8; 6 invert 8 -> 32 and 8 -> 24; 8 erase 8 -> 32; 9 multiply 8 -> 8 and
    // 8 -> 32. Other combinations do nothing. Each rectangle is clipped to its bitmap, the
    // other's corner moving along so that pixels stay paired; the smaller width and height
    // are merged. The kernels compute the tables' values arithmetically, so the tables
    // argument may be null.
    static void MergeBitmap(const CMathMerge* tables, const PTzRECT* sourceRect,
                            const _tagITzBITMAP* source, _tagITzBITMAP* dest,
                            const PTzRECT* destRect, const _tagITzMERGEDATA* merge);

private:
    static constexpr uint32_t Index(uint8_t b, uint8_t i) { return uint32_t(b) << 8 | i; }

    uint8_t m_product[65536];
    uint8_t m_inverseProduct[65536];
    uint8_t m_union[65536];
    uint32_t m_ratio[65536];
    uint16_t m_rawProduct[65536];
    uint16_t m_splitWeights[65536];
};

// The process-wide tables, built on first use; null only when memory is short.
LUMATRA_C CMathMerge* GetMathMerge();
// The process-wide tables when they exist, without building them.
LUMATRA_C CMathMerge* FindMathMerge();
// Deletes the tables GetMathMerge built, when they exist (the engine's shut-down): 1, or
// 0 when there are none; tables constructed by anyone else stay theirs.
LUMATRA_C int FreeMathMerge();
