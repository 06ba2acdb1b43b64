// CTool_Eyedrop: picks the colour of the composed picture under the pointer into the
// front colour (the back colour with Shift at the press) while the button is held; a
// fully transparent pixel changes nothing. It is also the temporary tool while Alt is
// held over the pen, pencil, bucket and gradient.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"

class CTool_Eyedrop : public CToolBase {
public:
    CTool_Eyedrop();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;

private:
    void Pick(const _tagPTzMOUSEPOINT* point, CTamsleyView* view) const;

    bool m_toFront = true;
};
