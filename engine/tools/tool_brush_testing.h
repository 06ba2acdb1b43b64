// ITzToolBrushTesting: a brush tool that paints through the brush functions instead of
// the stroke engine's own steps: its brush context stamps the dabs and hands the gathered
// coverage to SetData, which merges it into the active layer's floating layer.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/tool_brush_base.h"

class LUMATRA_API ITzToolBrushTesting : public ITzToolBrushBase {
public:
    // Makes the brush context (ITzBrushInit); without one the tool paints nothing.
    ITzToolBrushTesting();
    // A stroke left running is run to its end first (its dabs merged with undo, the
    // ticket given back), then the context ends (ITzBrushUninit).
    ~ITzToolBrushTesting() override;

    // Starts a stroke: the ticket, the tool's floating layer, the tool's brush and
    // pressure flags given to the context with SetData as its data callback, and the
    // sample (in whole pixels) as the first point. 1; 0 with nothing started for null
    // arguments, while a stroke runs, without a context, or when the ticket, the floating
    // layer or the context's stroke cannot be had.
    int OnMouseDown(_tagPTzMOUSEPOINT* sample, ITzPicture* picture) override;
    // Add the sample as a point; the up then lets the stroke end: 1, 0 without a stroke.
    int OnMouseMove(_tagPTzMOUSEPOINT* sample, ITzPicture* picture) override;
    int OnMouseUp(_tagPTzMOUSEPOINT* sample, ITzPicture* picture) override;
    // One step of the context (ITzBrushRun): its result while nonzero; at 0 the floating
    // layer is merged with undo ('flot'), the ticket given back and the stroke ended.
    // 0 without a context or a stroke.
    int OnIdle(ITzPicture* picture) override;
    // The data callback: the floating layer made ready for the picture rectangle, the
    // 8-bit coverage united into its alpha at 255 and the change reported. MergeMask's
    // result; 0 for null arguments or without a stroke.
    int SetData(_tagITzBITMAP* bitmap, PTzRECT* rect);
    // A block the stroke adds to the floating layer (or to its preview-cache layer at the
    // display level) becomes the front colour at alpha 0, as the pen's.
    int PrepareBlockData(ITzLayerImage* layer, uint32_t block) override;

private:
    // Gives the tool's brush and pressure flags to the context: false when it refused.
    bool GiveBrushToContext();
    // Merges the floating layer with undo, gives the ticket back and ends the stroke.
    void EndStroke();

    void* m_context = nullptr;           // the brush functions' handle
    ITzPicture* m_strokePicture = nullptr;
    bool m_strokeRunning = false;
};
