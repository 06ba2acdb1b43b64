// Construction of the blend tables and the process-wide instance.
#include "engine/pixels/blend_tables.h"

#include <algorithm>
#include <new>

namespace {

CMathMerge* g_mathMerge = nullptr;
CMathMerge* g_madeByGetter = nullptr;  // the only instance the engine's shut-down may delete

}  // namespace

CMathMerge::CMathMerge()
{
    for (uint32_t b = 0; b < 256; ++b) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t at = Index(uint8_t(b), uint8_t(i));
            const uint32_t product = (i * b + 127) / 255;
            m_product[at] = uint8_t(product);
            m_inverseProduct[at] = uint8_t((i * (255 - b) + 127) / 255);
            m_union[at] = uint8_t(b + i - product);
            m_ratio[at] = i ? (b * 65536 + i / 2) / i : 0;
            m_rawProduct[at] = uint16_t(b * i);
            const uint32_t d = std::min(b + i, 255u);
            m_splitWeights[at] = d ? uint16_t((255 * b + d / 2) / d << 8 | (255 * i + d / 2) / d) : 0;
        }
    }
    if (!g_mathMerge)
        g_mathMerge = this;
}

CMathMerge::~CMathMerge()
{
    if (g_mathMerge == this)
        g_mathMerge = nullptr;
    if (g_madeByGetter == this)
        g_madeByGetter = nullptr;
}

CMathMerge* GetMathMerge()
{
    if (!g_mathMerge) {
        g_madeByGetter = new (std::nothrow) CMathMerge;
        g_mathMerge = g_madeByGetter;
    }
    return g_mathMerge;
}

CMathMerge* FindMathMerge()
{
    return g_mathMerge;
}

int FreeMathMerge()
{
    if (!g_madeByGetter)
        return 0;
    delete g_madeByGetter;
    return 1;
}
