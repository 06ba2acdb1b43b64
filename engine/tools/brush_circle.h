// ITzBrushCircle: the round brush, whose tip is computed from its size, hardness, angle
// and roundness: a hard tip of 0 and 255 or a soft tip with a cosine falloff.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"
#include "engine/tools/brush_base.h"

class LUMATRA_API ITzBrushCircle : public ITzBrushBase {
public:
    // size: diameter in pixels; hardness: percent (0 soft to 100 hard); angle: rotation
    // in hundredths of a degree; roundness: percent, short axis over long axis.
    ITzBrushCircle(uint32_t size, uint8_t hardness, uint16_t angle, uint8_t roundness);
    ITzBrushCircle(const ITzBrushCircle& other) = default;
    ITzBrushCircle& operator=(const ITzBrushCircle& other) = default;

    ~ITzBrushCircle() override;
    // Makes the tip for the soft flag when there is none, then as the base.
    int GetBitmap(_tagITzBITMAP* bitmap) override;
    // Soft flag 0: the hard tip; else the soft tip and its pyramid. 1, or 0 when short.
    int PrepareBrush() override;

    // Slot 15: width = height = n + 2.
    virtual void SetMaxSize(uint32_t size);
    // Slots 16-17: compute the tip: 1, or 0 (no tip) when memory is short.
    virtual int PrepareSoftBrush();
    virtual int PrepareHardBrush();
    // Slot 18: a hook for brushes that adjust their settings before a tip is made.
    virtual void PreAdjust();

    uint32_t GetMaxSize() const { return GetWidth(); }

protected:
    uint32_t m_size;
    uint8_t m_hardness;
    uint16_t m_angle;
    uint8_t m_roundness;
};
