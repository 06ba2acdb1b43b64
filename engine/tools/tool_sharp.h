// ITzToolSharp: the sharpen brush. Each dab blends the pixels under it, by its coverage
// and the strengths, with themselves pushed away from their neighbours, the neighbours
// weighted by the dab's coverage.
#pragma once

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_nfloating_base.h"

class LUMATRA_API ITzToolSharp : public ITzToolBrushNFloatingBase {
protected:
    int RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                   uint8_t strength) override;
};
