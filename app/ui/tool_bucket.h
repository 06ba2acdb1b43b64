// CTool_Bucket: fills the region around the pressed pixel (or every pixel of its colour,
// without Contiguous) with the front colour, on the press. Its options are not stored:
// each run starts with the defaults.
#pragma once

#include <cstdint>

#include "app/ui/tool_base.h"

class CTool_Bucket : public CToolBase {
public:
    CTool_Bucket();

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;

    void SetOpacity(uint8_t opacity) { m_opacity = opacity; }
    void SetContiguous(uint32_t contiguous) { m_contiguous = contiguous; }
    void SetTolerance(uint8_t tolerance) { m_tolerance = tolerance; }
    uint8_t GetOpacity() const { return m_opacity; }
    uint32_t GetContiguous() const { return m_contiguous; }
    uint8_t GetTolerance() const { return m_tolerance; }

private:
    uint8_t m_opacity = 255;
    uint32_t m_contiguous = 1;
    uint8_t m_tolerance = 32;
};
