// The sharpen brush: the filter kernel of its dabs.
#include "engine/tools/tool_sharp.h"

#include "engine/tools/retouch_kernels.h"

int ITzToolSharp::RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                             uint8_t strength)
{
    return ApplyFilter(area, dabRect, dab, strength, lumatra::retouch::SharpenDab);
}
