// Views of a brush tip's content and the bilinear resize of one content into another.
#include "engine/tools/brush_tip_view.h"

#include <cstddef>

#include "engine/pixels/resample.h"

namespace lumatra {

bool TipContentView(const _tagITzBITMAP& tip, _tagITzBITMAP& view)
{
    if (!tip.pixels || tip.width <= 2 || tip.height <= 2)
        return false;
    view = tip;
    view.width = tip.width - 2;
    view.height = tip.height - 2;
    view.pixels = tip.pixels + ptrdiff_t(tip.stride) + 1;
    return true;
}

bool ResizeTipContent(_tagITzBITMAP* dest, const _tagITzBITMAP* source, const _tagITzZOOMLEVEL* zoom)
{
    _tagITzBITMAP from = {}, to = {};
    if (!TipContentView(*source, from) || !TipContentView(*dest, to))
        return true;
    return ITzResize::ResizeBrushSimple(&to, &from, zoom, zoom) != 0;
}

}  // namespace lumatra
