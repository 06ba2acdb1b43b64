// CTool_Gradient: the user drags a line; on release a linear or radial gradient from the
// front to the back colour along it fills the active layer (through the selection) as
// one undo step. A click without a drag paints nothing. Type and opacity are its option
// record.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"
#include "base/geometry.h"

class CTool_Gradient : public CToolBase {
public:
    CTool_Gradient();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    void SetOptions(const uint8_t* bytes, uint32_t size) override;
    void GetOptions(uint8_t* buffer, uint32_t* size) override;

    // 0 linear, 1 radial; another type paints nothing.
    void SetType(uint32_t type) { m_type = type; }
    void SetOpacity(uint8_t opacity) { m_opacity = opacity; }
    uint32_t GetType() const { return m_type; }
    uint8_t GetOpacity() const { return m_opacity; }

private:
    void ShowLine(CTamsleyView* view) const;
    void Paint(ITzPicture* picture) const;

    uint32_t m_type = 0;
    PTzPOINT m_start = {0, 0};
    PTzPOINT m_end = {0, 0};
    uint8_t m_opacity = 255;
};
