// The blur brush: the filter kernel of its dabs.
#include "engine/tools/tool_blur.h"

#include "engine/tools/retouch_kernels.h"

int ITzToolBlur::RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                            uint8_t strength)
{
    return ApplyFilter(area, dabRect, dab, strength, lumatra::retouch::BlurDab);
}
