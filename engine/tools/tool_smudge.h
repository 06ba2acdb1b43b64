// ITzToolSmudge: the smudge brush. The brush carries paint (the transfer, the size of the
// brush's full tip): each dab first takes up some of the layer under it into the
// transfer, then lays the transfer down by its coverage, so colours are dragged along.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_nfloating_base.h"

class LUMATRA_API ITzToolSmudge : public ITzToolBrushNFloatingBase {
public:
    ITzToolSmudge();
    ~ITzToolSmudge() override;

    // 1: smudge dabs lie one pixel apart, whatever the brush's step.
    uint32_t AdjustStep(uint32_t step) override;
    // The stroke's first point only fills the transfer (InitTransferLayer) and counts as
    // done; later points paint.
    int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override;
    // Fills the transfer with the layer's pixels under the brush's full tip placed at the
    // point: 1, or 0 when it cannot be (the next point tries again).
    virtual int InitTransferLayer(ITzPicture* picture, _tagPTzMOUSEPOINT* point);
    // Releases the transfer with the stroke's other planes.
    void OnMouseActionEnd() override;

protected:
    // The transfer's planes, the size of the brush's full tip, from ordinary memory: true
    // when they could be had (or there is no brush, whose points paint nothing).
    bool PrepareStroke(ITzPicture* picture) override;
    // The pick-up and the deposit over the dab's pixels.
    int RetouchDab(lumatra::RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab,
                   uint8_t strength) override;

private:
    // The transfer's place in the picture for a point: the full tip placed there.
    PTzRECT TransferRect(const _tagPTzMOUSEPOINT& point) const;
    // Points the dab's layer, transfer and coverage at copies with rows of the dab's
    // width: false (the dab unchanged) when the copies cannot be had.
    bool RunCopies(lumatra::retouch::SmudgeDab& smudge, const PTzRECT& rect);

    std::unique_ptr<lumatra::RetouchArea> m_transfer;
    std::unique_ptr<lumatra::RetouchArea> m_selectionValues;
    std::unique_ptr<lumatra::RetouchArea> m_runLayer, m_runTransfer, m_runCoverage;  // a small dab's copies
    _tagPTzSIZE m_tipSize = {0, 0};
    bool m_transferReady = false;
    _tagPTzMOUSEPOINT m_point = {};  // the point being painted
};
