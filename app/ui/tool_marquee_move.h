// CTool_Marquee_Move (MAGM): drags or nudges the selection itself (the mask, not the
// pixels). The selection tools hand it a press inside the selection. It holds the
// picture's editing ticket from press to release, so that no undo or deselect runs
// mid-drag, and records the whole drag (or one arrow-key step) as one undo step. While
// the active layer carries a floating layer the gesture, or the key, goes to the Move
// tool, which moves the floating layer instead.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"
#include "base/geometry.h"

class CTool_Marquee_Move : public CToolBase {
public:
    CTool_Marquee_Move();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // The arrows move the selection by 1 pixel, 10 with Shift: 1; without a selection, or
    // for another key, 0.
    int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    // More idle time while a gesture (its own or the Move tool's) runs.
    int OnIdle(CTamsleyView* view) override;

private:
    // The selection layer moved by the step: false without one.
    static bool MoveSelection(ITzPicture* picture, _tagPTzOFFSET step);

    PTzPOINT m_start = {0, 0};
    PTzPOINT m_last = {0, 0};
    uint32_t m_ticket = 0;
    bool m_toMoveTool = false;
};

// The arrow keys' step: 1 pixel, 10 with Shift, in the key's direction; false for another key.
bool ArrowKeyStep(uint32_t key, bool shift, _tagPTzOFFSET* step);
