// ITzToolPencil: the pen with hard-edged tips: each dab is the brush's hard tip at the
// point's pixel, unshifted, and pressure never drives its opacity.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_pen.h"

class LUMATRA_API ITzToolPencil : public ITzToolPen {
public:
    // Stores the brush and switches it to its hard tip: 1; 0 while a stroke runs.
    int SetBrush(ITzBrushBase* brush) override;
    // The flags without bit 1: the pencil's dabs always have the tool's strength.
    void SetPressFlag(uint8_t flags) override;
    // The tip of the point (its pressure tip when pressure drives the size) straight into
    // the current dab; no job, so the dab is painted in the same point work.
    void* DoGetBrushStart(_tagPTzMOUSEPOINT* point, ITzPicture* picture) override;
    // 0: there is never a job to run.
    int DoGetBrush(void* job) override;
    // Nothing to end: 1 when the current dab holds a tip, else 0.
    int DoGetBrushEnd(void* job) override;
};
