// The round brush's ranges, its record in the brush file and its engine tip.
#include "app/ui/brush_round.h"

#include <algorithm>
#include <new>

#include "app/ui/brush_stream.h"
#include "engine/tools/brush_circle.h"

CBrushRound::CBrushRound(uint32_t diameter, uint32_t hardness) : CBrushDataBase(kType)
{
    m_diameter = ClampDiameter(diameter);
    m_hardness = ClampPercent(hardness);
}

uint16_t CBrushRound::ClampDiameter(uint32_t diameter)
{
    return uint16_t(std::clamp<uint32_t>(diameter, kMinDiameter, kMaxDiameter));
}

uint8_t CBrushRound::ClampPercent(uint32_t percent)
{
    return uint8_t(std::min<uint32_t>(percent, kMaxPercent));
}

uint8_t CBrushRound::ClampAngle(uint32_t angle)
{
    return uint8_t(angle % kAngles);
}

template <typename Field>
bool CBrushRound::Store(Field* field, Field value)
{
    if (*field == value)
        return false;
    *field = value;
    return true;
}

void CBrushRound::SetDiameter(uint32_t diameter)
{
    if (Store(&m_diameter, ClampDiameter(diameter)))
        Changed();
}

void CBrushRound::SetHardness(uint32_t hardness)
{
    if (Store(&m_hardness, ClampPercent(hardness)))
        Changed();
}

void CBrushRound::SetRoundness(uint32_t roundness)
{
    if (Store(&m_roundness, ClampPercent(roundness)))
        Changed();
}

void CBrushRound::SetAngle(uint32_t angle)
{
    if (Store(&m_angle, ClampAngle(angle)))
        Changed();
}

int CBrushRound::Save(_tagPTzIOSTREAM* stream) const
{
    return SaveBase(stream) && WriteStreamU16(stream, m_diameter) && WriteStreamU8(stream, m_hardness) &&
                   WriteStreamU8(stream, m_roundness) && WriteStreamU8(stream, m_angle)
               ? 1
               : 0;
}

int CBrushRound::Load(_tagPTzIOSTREAM* stream, uint32_t size)
{
    uint16_t diameter = 0;
    uint8_t hardness = 0;
    uint8_t roundness = 0;
    uint8_t angle = 0;
    if (size < kRecordSize || !LoadBase(stream) || !ReadStreamU16(stream, &diameter) ||
        !ReadStreamU8(stream, &hardness) || !ReadStreamU8(stream, &roundness) || !ReadStreamU8(stream, &angle))
        return 0;
    // A file may hold anything: every value is brought into the range its setter keeps, so
    // the tip's size, its falloff and the step stay within what the engine is built for.
    m_diameter = ClampDiameter(diameter);
    m_hardness = ClampPercent(hardness);
    m_roundness = ClampPercent(roundness);
    m_angle = ClampAngle(angle);
    Changed();
    return 1;
}

std::unique_ptr<ITzBrushBase> CBrushRound::CreateEngineBrush() const
{
    std::unique_ptr<ITzBrushCircle> tip(
        new (std::nothrow) ITzBrushCircle(m_diameter, m_hardness, uint16_t(m_angle * 100u), m_roundness));
    if (tip)
        tip->SetStep(EngineStep(m_diameter, GetSpacing()));
    return tip;
}

void CBrushRound::SpacingChanged()
{
    if (ITzBrushBase* tip = KeptEngineBrush())
        tip->SetStep(EngineStep(m_diameter, GetSpacing()));
}
