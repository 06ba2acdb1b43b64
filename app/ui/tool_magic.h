// CTool_Magic: the magic wand. A press selects the pixels around the pressed one whose
// colour lies within the tolerance (only those connected to it while contiguous is on);
// tolerance and contiguous are its option record.
#pragma once

#include <cstdint>

#include "app/ui/tool_marquee.h"

class CTool_Magic : public CTool_Marquee_Base {
public:
    CTool_Magic();

    void SetOptions(const uint8_t* bytes, uint32_t size) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    void GetOptions(uint8_t* buffer, uint32_t* size) override;

    void SetTolerance(uint8_t tolerance) { m_tolerance = tolerance; }
    void SetContiguous(uint32_t contiguous) { m_contiguous = contiguous; }
    uint8_t GetTolerance() const { return m_tolerance; }
    uint32_t GetContiguous() const { return m_contiguous; }

protected:
    int BeginGesture(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;

private:
    uint8_t m_tolerance = 32;
    uint32_t m_contiguous = 1;
};
