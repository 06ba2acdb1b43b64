// CTOOL_PAN: the hand. Dragging scrolls the view so that the picture follows the pointer;
// it is also the temporary tool while Space is held.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"
#include "base/geometry.h"

class CTOOL_PAN : public CToolBase {
public:
    CTOOL_PAN();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;

private:
    void ScrollFor(const _tagPTzMOUSEPOINT* point, CTamsleyView* view) const;

    PTzPOINT m_pressed = {0, 0};  // client
    PTzPOINT m_scroll = {0, 0};   // the view's scroll position at the press
};
