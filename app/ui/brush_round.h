// CBrushRound: the round brush record ('rond'): diameter, hardness, roundness and angle
// beside the base's spacing and flags, whose engine tip is an ITzBrushCircle.
#pragma once

#include "app/ui/brush_data.h"

class CBrushRound : public CBrushDataBase {
public:
    static constexpr uint32_t kType = PTzFourCC("rond");
    // Base part, u16 diameter and the hardness, roundness and angle bytes.
    static constexpr uint32_t kRecordSize = kBaseRecordSize + 2 + 1 + 1 + 1;
    static constexpr uint16_t kMinDiameter = 1;
    static constexpr uint16_t kMaxDiameter = 1000;
    static constexpr uint8_t kMaxPercent = 100;
    static constexpr uint32_t kAngles = 180;

    // Goes through the diameter and hardness setters; roundness 100, angle 0.
    CBrushRound(uint32_t diameter, uint32_t hardness);

    uint32_t GetDisplayNumber() const override { return m_diameter; }
    uint32_t GetRecordSize() const override { return kRecordSize; }
    int Save(_tagPTzIOSTREAM* stream) const override;
    int Load(_tagPTzIOSTREAM* stream, uint32_t size) override;

    uint16_t GetDiameter() const { return m_diameter; }
    uint8_t GetHardness() const { return m_hardness; }
    uint8_t GetRoundness() const { return m_roundness; }
    uint8_t GetAngle() const { return m_angle; }
    // Each stores its value brought into range and calls Changed when the stored value
    // changed: diameter 1..1000 pixels, hardness and roundness up to 100 percent, angle
    // in degrees modulo 180.
    void SetDiameter(uint32_t diameter);
    void SetHardness(uint32_t hardness);
    void SetRoundness(uint32_t roundness);
    void SetAngle(uint32_t angle);

    static uint16_t ClampDiameter(uint32_t diameter);
    static uint8_t ClampPercent(uint32_t percent);
    static uint8_t ClampAngle(uint32_t angle);
    // Dab spacing in pixels: diameter x spacing / 100, truncated.
    static uint32_t EngineStep(uint32_t diameter, uint32_t spacing) { return diameter * spacing / 100; }

protected:
    std::unique_ptr<ITzBrushBase> CreateEngineBrush() const override;
    void SpacingChanged() override;

private:
    // Stores the value and tells whether it changed.
    template <typename Field>
    static bool Store(Field* field, Field value);

    uint16_t m_diameter = kMinDiameter;
    uint8_t m_hardness = 0;
    uint8_t m_roundness = kMaxPercent;
    uint8_t m_angle = 0;
};
