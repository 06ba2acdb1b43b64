// The base record: spacing, the pressure flags, the kept engine tip and the change
// notification every record shares.
#include "app/ui/brush_data.h"

#include <algorithm>

#include "app/ui/brush_stream.h"
#include "engine/tools/brush_base.h"

CBrushDataBase::~CBrushDataBase() = default;

uint32_t CBrushDataBase::ClampSpacing(uint32_t spacing)
{
    return std::clamp(spacing, kMinSpacing, kMaxSpacing);
}

void CBrushDataBase::Changed()
{
    // A tip built from the old values would paint the wrong brush, current or not.
    ReleaseEngineBrush();
    if (m_owner)
        m_owner->OnBrushChanged(this);
    Broadcast(BRUSH_CHANGED_MESSAGE, nullptr, this);
}

int CBrushDataBase::Save(_tagPTzIOSTREAM*) const
{
    return 1;
}

int CBrushDataBase::Load(_tagPTzIOSTREAM*, uint32_t)
{
    return 1;
}

int CBrushDataBase::SaveBase(_tagPTzIOSTREAM* stream) const
{
    const uint8_t flags = (m_pressureSize ? kFlagPressureSize : 0) | (m_pressureOpacity ? kFlagPressureOpacity : 0) |
                          (m_thirdFlag ? kFlagThird : 0);
    return WriteStreamU32(stream, m_spacing) && WriteStreamU8(stream, flags) ? 1 : 0;
}

int CBrushDataBase::LoadBase(_tagPTzIOSTREAM* stream)
{
    uint32_t spacing = 0;
    uint8_t flags = 0;
    if (!ReadStreamU32(stream, &spacing) || !ReadStreamU8(stream, &flags))
        return 0;
    m_spacing = ClampSpacing(spacing);
    m_pressureSize = flags & kFlagPressureSize;
    m_pressureOpacity = flags & kFlagPressureOpacity;
    m_thirdFlag = flags & kFlagThird;
    return 1;
}

std::unique_ptr<ITzBrushBase> CBrushDataBase::CreateEngineBrush() const
{
    return nullptr;
}

ITzBrushBase* CBrushDataBase::GetEngineBrush()
{
    if (!m_engineBrush)
        m_engineBrush = CreateEngineBrush();
    return m_engineBrush.get();
}

void CBrushDataBase::ReleaseEngineBrush()
{
    m_engineBrush.reset();
}

int CBrushDataBase::DrawPreview(_tagITzBITMAP* bitmap)
{
    if (m_engineBrush)
        return m_engineBrush->GetDisplayBitmap(bitmap);
    const std::unique_ptr<ITzBrushBase> passing = CreateEngineBrush();
    return passing ? passing->GetDisplayBitmap(bitmap) : 0;
}

void CBrushDataBase::SetSpacing(uint32_t spacing)
{
    const uint32_t clamped = ClampSpacing(spacing);
    if (clamped == m_spacing)
        return;
    m_spacing = clamped;
    SpacingChanged();
}
