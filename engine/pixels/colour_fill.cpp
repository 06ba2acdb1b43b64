// The colour selection's tile walk: each 256 x 256 tile of the selection is read into a
// scratch page, the source marks its matching pixels there, and the page is written back.
#include "engine/pixels/colour_fill.h"

#include <cstring>

#include "base/error_codes.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/scratch_pages.h"

ITzCOLORFILL::ITzCOLORFILL() = default;
ITzCOLORFILL::~ITzCOLORFILL() = default;

int ITzCOLORFILL::FillSelection(const PTzPOINT* point, ITzLayerImage* selection, ITzLayerBase* source,
                                uint8_t tolerance)
{
    if (!point || !selection || !source)
        return ITzERR_INVALID;
    ITzLayerImage* image = source->IsImageLayer() ? static_cast<ITzLayerImage*>(source) : source->GetPreviewLayer();
    if (!image)
        return ITzERR_INVALID;
    PTzRECT bounds;
    selection->GetBounds(&bounds);
    if (!PTzRectPointIn(&bounds, point))
        return 0;
    _tagPTzCOLOR colour = {};
    image->GetPixelColor(point, &colour);
    _tagPTzRECTENUM walk;
    if (PTzRectEnumFill(&bounds, &walk, nullptr) != 0)
        return ITzERR_INVALID;
    PTzRECT tile;
    while (PTzRectEnumGetCurrent(&walk, &tile)) {
        const lumatra::ScratchPages page(1);
        if (!page.ok())
            return PTzERR_OUT_OF_MEMORY;
        std::memset(page.page(0), 0, ITzBLOCK_PAGE_BYTES);
        _tagITzBITMAP mask = {tile.right - tile.left, tile.bottom - tile.top, ITzBLOCK_SIDE, 8, PTzCOLORMODE_GRAY,
                              page.page(0)};
        PTzRECT local, sourceRect;
        selection->PRECTtoLRECT(&tile, &local);
        image->PRECTtoLRECT(&tile, &sourceRect);
        if (selection->GetRectData(&local, &mask) != 0)
            return ITzERR_INVALID;
        const int marked = image->ColorFillSelection(&mask, &sourceRect, &colour, tolerance);
        if (marked != 0)
            return marked;
        if (selection->SetRectData(&local, &mask) != 0)
            return ITzERR_INVALID;
    }
    return 0;
}
