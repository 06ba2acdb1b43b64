// The planes the retouching brushes work in: ordinary memory (a stroke keeps some for
// its whole length, which the scratch pool is too small for) placed over a picture
// rectangle, loaded from a layer and written back into it. Library-private.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/pixels/bitmap.h"
#include "engine/tools/retouch_kernels.h"

class ITzLayerImage;

namespace lumatra {

class RetouchArea {
public:
    RetouchArea() = default;
    ~RetouchArea() { Release(); }
    RetouchArea(const RetouchArea&) = delete;
    RetouchArea& operator=(const RetouchArea&) = delete;

    // Room for `planes` planes (1 or 4) of width x height pixels, rows `width` bytes
    // apart, so each plane is one run of bytes. The planes are kept when they hold enough
    // bytes. False, with no room left, when memory is short or the size is empty or too
    // large.
    bool Reserve(int32_t width, int32_t height, int planes);
    void Release();
    bool HasRoom() const { return m_bitmap.planes[0] != nullptr; }

    // Places the area over a picture rectangle that fits the room, its pixels zeroed when
    // `clear` (else left for the caller to overwrite): false when it does not fit.
    bool Place(const PTzRECT& rect, bool clear);
    // Places it and reads the layer's pixels there (transparent where the layer has
    // none): false when the rectangle does not fit or a block could not be read.
    bool Load(ITzLayerImage& layer, const PTzRECT& rect);
    // Reads the layer's pixels over a part of the placed area: false when a block could
    // not be read.
    bool LoadPart(ITzLayerImage& layer, const PTzRECT& part);
    const PTzRECT& Rect() const { return m_rect; }

    // The planes from picture point (x, y) on, which lies in the area.
    retouch::Planes At(int32_t x, int32_t y) const;
    // Plane 0 from picture point (x, y) on.
    uint8_t* PlaneAt(int32_t x, int32_t y) const { return At(x, y).plane[0]; }
    int32_t Stride() const { return m_bitmap.stride; }
    // A channel bitmap of the part of the area from picture point (x, y) on.
    _tagITzCHANNELBITMAP ViewFrom(int32_t x, int32_t y) const;

private:
    _tagITzCHANNELBITMAP m_bitmap = {};  // its width, height and stride as last reserved
    int m_planes = 0;
    int64_t m_capacity = 0;               // bytes a plane holds
    PTzRECT m_rect = {0, 0, 0, 0};
};

// Copies width x height pixels of the first `planes` planes.
void CopyPlanes(const retouch::Planes& from, const retouch::Planes& to, int32_t width, int32_t height, int planes = 4);

}  // namespace lumatra
