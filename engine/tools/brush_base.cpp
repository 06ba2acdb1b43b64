// The brush tip's ownership: construction, copies, the ready-made tip, the soft switch
// and the memory of the tip and the shifted-tip buffer.
#include "engine/tools/brush_base.h"

#include <cstring>
#include <limits>

#include "base/memory.h"

ITzBrushBase::ITzBrushBase() = default;

ITzBrushBase::ITzBrushBase(const ITzBrushBase& other)
{
    CopyFrom(other);
}

ITzBrushBase& ITzBrushBase::operator=(const ITzBrushBase& other)
{
    if (this != &other) {
        ReleaseAll();
        CopyFrom(other);
    }
    return *this;
}

ITzBrushBase::~ITzBrushBase()
{
    ReleaseAll();
}

// Only the tip is duplicated; everything derived from it is remade on demand. Without
// memory for the tip the copy has none and, like a fresh brush, makes it when asked.
void ITzBrushBase::CopyFrom(const ITzBrushBase& other)
{
    m_step = other.m_step;
    m_soft = other.m_soft;
    m_width = other.m_width;
    m_height = other.m_height;
    m_stride = other.m_stride;
    if (!other.m_pixels)
        return;
    const uint64_t bytes = uint64_t(other.m_height) * other.m_stride;
    m_pixels = static_cast<uint8_t*>(PTzPointNew(uint32_t(bytes)));
    if (!m_pixels)
        return;
    std::memcpy(m_pixels, other.m_pixels, bytes);
    m_tipSupplied = other.m_tipSupplied;
}

void ITzBrushBase::ReleaseAll()
{
    ReleaseTip();
    ReleaseAntiBuffer();
    ReleasePressTip();
    ReleaseCacheBitmap();
}

uint8_t* ITzBrushBase::NewTip(uint32_t width, uint32_t height)
{
    const uint64_t bytes = uint64_t(width) * height;
    if (bytes == 0 || bytes > std::numeric_limits<uint32_t>::max())
        return nullptr;
    auto* pixels = static_cast<uint8_t*>(PTzPointNew(uint32_t(bytes)));
    if (!pixels)
        return nullptr;
    ReleaseTip();
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_stride = width;
    return pixels;
}

void ITzBrushBase::ReleaseTip()
{
    if (m_pixels)
        PTzPointFree(m_pixels);
    m_pixels = nullptr;
    m_tipSupplied = 0;
}

void ITzBrushBase::ReleasePressTip()
{
    ITzReleaseITzBitmap(&m_pressTip);
    m_pressTip = {};
    m_pressTipPressure = 0;
    if (m_pressTipCache) {
        for (uint32_t pressure = 0; pressure < 256; ++pressure)
            ITzReleaseITzBitmap(&m_pressTipCache[pressure]);
        delete[] m_pressTipCache;
        m_pressTipCache = nullptr;
    }
    m_pressTipCacheBytes = 0;
}

void ITzBrushBase::ReleaseAntiBuffer()
{
    if (m_antiBuffer)
        PTzPointFree(m_antiBuffer);
    m_antiBuffer = nullptr;
    m_antiBufferSize = 0;
}

// The buffer only grows, so a stroke whose pressure rises and falls allocates once.
uint8_t* ITzBrushBase::AntiBuffer(uint64_t bytes)
{
    if (bytes > std::numeric_limits<uint32_t>::max())
        return nullptr;
    if (m_antiBuffer && m_antiBufferSize >= bytes)
        return m_antiBuffer;
    auto* buffer = static_cast<uint8_t*>(PTzPointNew(uint32_t(bytes ? bytes : 1)));
    if (!buffer)
        return nullptr;
    ReleaseAntiBuffer();
    m_antiBuffer = buffer;
    m_antiBufferSize = uint32_t(bytes ? bytes : 1);
    return buffer;
}

int ITzBrushBase::SetITzBrush(const _tagITzBRUSHBRUSHINFO* info)
{
    if (!info || !info->pixels || info->width < 1 || info->height < 1 || info->stride < info->width)
        return 0;
    const uint64_t bytes = uint64_t(info->height) * uint32_t(info->stride);
    auto* pixels = static_cast<uint8_t*>(PTzPointNew(uint32_t(bytes)));
    if (!pixels)
        return 0;
    std::memcpy(pixels, info->pixels, bytes);
    // Everything made from the old tip is stale, and the shifted-tip buffer may be too
    // small for the new one (AntiBuffer grows it).
    ReleaseAll();
    m_pixels = pixels;
    m_width = uint32_t(info->width);
    m_height = uint32_t(info->height);
    m_stride = uint32_t(info->stride);
    m_tipSupplied = 1;
    const int32_t step = (int32_t(info->size) * info->step + 50) / 100;
    m_step = step < 1 ? 1u : uint32_t(step);
    m_soft = 1;
    PrepareCacheBitmap();
    return 1;
}

uint32_t ITzBrushBase::GetWidth() const
{
    return m_width > 2 ? m_width - 2 : 0;
}

uint32_t ITzBrushBase::GetHeight() const
{
    return m_height > 2 ? m_height - 2 : 0;
}

void ITzBrushBase::SetSoft(int soft)
{
    if (soft == m_soft)
        return;
    m_soft = soft;
    SoftChanged();
}

// A pen and a pencil may share one brush: each switch must drop every tip the other
// kind made, or the pencil would stamp the pen's soft pressure tips.
void ITzBrushBase::SoftChanged()
{
    if (!m_tipSupplied)
        ReleaseTip();
    ReleaseAntiBuffer();
    ReleasePressTip();
    ReleaseCacheBitmap();
}

int ITzBrushBase::PrepareBrush()
{
    return 0;
}

int ITzBrushBase::GetBitmap(_tagITzBITMAP* bitmap)
{
    if (!bitmap)
        return 0;
    if (!m_pixels) {
        ReleaseCacheBitmap();
        PrepareBrush();
        if (!m_pixels)
            return 0;
        PrepareCacheBitmap();
    }
    bitmap->width = int32_t(m_width);
    bitmap->height = int32_t(m_height);
    bitmap->stride = int32_t(m_stride);
    bitmap->bits = 8;
    bitmap->colorMode = 6;
    bitmap->pixels = m_pixels;
    return 1;
}
