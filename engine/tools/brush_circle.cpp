// The round brush's settings, its tip size and the choice between the hard and the soft
// tip.
#include "engine/tools/brush_circle.h"

namespace {

// Larger tips would not fit the 16-bit sides of ready-made tips and brush files.
constexpr uint32_t kMaxContent = 32765;

}  // namespace

ITzBrushCircle::ITzBrushCircle(uint32_t size, uint8_t hardness, uint16_t angle, uint8_t roundness)
    : m_size(size), m_hardness(hardness), m_angle(angle), m_roundness(roundness)
{
    SetMaxSize(size);
}

ITzBrushCircle::~ITzBrushCircle() = default;

// A tip of another size no longer matches its memory: everything made from it goes.
void ITzBrushCircle::SetMaxSize(uint32_t size)
{
    ReleaseTip();
    ReleasePressTip();
    ReleaseCacheBitmap();
    const uint32_t content = size < kMaxContent ? size : kMaxContent;
    m_width = m_height = content + 2;
    m_stride = m_width;
}

int ITzBrushCircle::GetBitmap(_tagITzBITMAP* bitmap)
{
    if (!m_pixels)
        PrepareBrush();
    return ITzBrushBase::GetBitmap(bitmap);
}

int ITzBrushCircle::PrepareBrush()
{
    PreAdjust();
    if (!m_soft)
        return PrepareHardBrush();
    if (!PrepareSoftBrush())
        return 0;
    PrepareCacheBitmap();
    return 1;
}

void ITzBrushCircle::PreAdjust()
{
}
