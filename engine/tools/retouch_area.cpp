// The retouching brushes' planes: fixed blocks of the base allocator, reused while they
// hold enough bytes, read from and viewed for writing into a layer.
#include "engine/tools/retouch_area.h"

#include <cstddef>
#include <cstring>
#include <limits>

#include "engine/pixels/layer_image.h"

namespace lumatra {

bool RetouchArea::Reserve(int32_t width, int32_t height, int planes)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > std::numeric_limits<uint32_t>::max()) {
        Release();
        return false;
    }
    const int64_t bytes = int64_t(width) * height;
    if (!HasRoom() || planes != m_planes || bytes > m_capacity) {
        Release();
        const _tagPTzSIZE size = {width, height};
        // One plane is plane 0 alone; four are alpha and three colours.
        if (!ITzUtilityChannelBitmap::CreateBitmap(&m_bitmap, &size, 1, planes == 4 ? 3 : 0))
            return false;
        m_bitmap.kind = planes == 4 ? int32_t(PTzCOLORMODE_ARGB) : int32_t(PTzCOLORMODE_GRAY);
        m_planes = planes;
        m_capacity = bytes;
    }
    // Rows as long as asked: the planes are contiguous over the whole area.
    m_bitmap.width = m_bitmap.stride = width;
    m_bitmap.height = height;
    return true;
}

void RetouchArea::Release()
{
    ITzUtilityChannelBitmap::ReleaseBitmap(&m_bitmap);
    m_bitmap = {};
    m_planes = 0;
    m_capacity = 0;
    m_rect = {0, 0, 0, 0};
}

bool RetouchArea::Place(const PTzRECT& rect, bool clear)
{
    const int64_t width = int64_t(rect.right) - rect.left, height = int64_t(rect.bottom) - rect.top;
    if (!HasRoom() || width <= 0 || height <= 0 || width > m_bitmap.width || height > m_bitmap.height)
        return false;
    m_rect = rect;
    for (int c = 0; clear && c < m_planes; ++c)
        for (int64_t y = 0; y < height; ++y)
            std::memset(m_bitmap.planes[c] + y * m_bitmap.stride, 0, size_t(width));
    return true;
}

bool RetouchArea::Load(ITzLayerImage& layer, const PTzRECT& rect)
{
    return Place(rect, false) && LoadPart(layer, rect);
}

bool RetouchArea::LoadPart(ITzLayerImage& layer, const PTzRECT& part)
{
    // What the layer does not cover reads transparent.
    const retouch::Planes planes = At(part.left, part.top);
    for (int c = 0; c < m_planes; ++c)
        for (int32_t y = part.top; y < part.bottom; ++y)
            std::memset(planes.plane[c] + ptrdiff_t(y - part.top) * planes.stride, 0, size_t(part.right - part.left));
    _tagITzCHANNELBITMAP view = ViewFrom(part.left, part.top);
    PTzRECT local;
    layer.PRECTtoLRECT(&part, &local);
    return layer.GetRectChannelData(&view, &local) != 0;
}

retouch::Planes RetouchArea::At(int32_t x, int32_t y) const
{
    const ptrdiff_t at = (ptrdiff_t(y) - m_rect.top) * m_bitmap.stride + (ptrdiff_t(x) - m_rect.left);
    retouch::Planes planes = {{}, m_bitmap.stride};
    for (int c = 0; c < m_planes; ++c)
        planes.plane[c] = m_bitmap.planes[c] + at;
    return planes;
}

_tagITzCHANNELBITMAP RetouchArea::ViewFrom(int32_t x, int32_t y) const
{
    const retouch::Planes planes = At(x, y);
    return {int32_t(m_rect.right - x), int32_t(m_rect.bottom - y), m_bitmap.stride, m_bitmap.kind,
            {planes.plane[0], planes.plane[1], planes.plane[2], planes.plane[3], nullptr}};
}

namespace {

// A dab's rows are short: whole words copied in place cost less than a call each.
void CopyRow(uint8_t* to, const uint8_t* from, int32_t width)
{
    int32_t x = 0;
    for (; x + 8 <= width; x += 8)
        std::memcpy(to + x, from + x, 8);
    for (; x < width; ++x)
        to[x] = from[x];
}

}  // namespace

void CopyPlanes(const retouch::Planes& from, const retouch::Planes& to, int32_t width, int32_t height, int planes)
{
    for (int c = 0; c < planes; ++c)
        for (int32_t y = 0; y < height; ++y)
            CopyRow(to.plane[c] + ptrdiff_t(y) * to.stride, from.plane[c] + ptrdiff_t(y) * from.stride, width);
}

}  // namespace lumatra
