// ITzToolBlur: the blur brush. Each dab blends the pixels under it, by its coverage and
// the strengths, with their alpha-weighted 3 x 3 mean.
#pragma once

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_nfloating_base.h"

class LUMATRA_API ITzToolBlur : public ITzToolBrushNFloatingBase {
protected:
    int RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                   uint8_t strength) override;
};
