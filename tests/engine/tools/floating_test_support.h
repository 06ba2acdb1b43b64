// Shared by the floating-layer tool tests: pictures of patterned ARGB layers, painting
// into a floating layer, snapshots of a layer's bounds and pixels, and a hold on every
// free page of the scratch pool.
#pragma once

#include <cstdint>
#include <vector>

#include "base/color.h"
#include "base/geometry.h"
#include "engine/picture/picture.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image_argb.h"

namespace floating_test {

inline bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A layer's bounds and its pixels over them (32-bit, or 8-bit for gray layers).
struct Snapshot {
    PTzRECT bounds = {};
    std::vector<uint8_t> pixels;
    bool operator==(const Snapshot& other) const
    {
        return SameRect(bounds, other.bounds) && pixels == other.pixels;
    }
};

inline Snapshot Take(ITzLayerImage* layer)
{
    Snapshot shot;
    layer->GetBounds(&shot.bounds);
    const int32_t width = shot.bounds.right - shot.bounds.left;
    const int32_t height = shot.bounds.bottom - shot.bounds.top;
    if (width <= 0 || height <= 0)
        return shot;
    const bool gray = layer->GetColorMode() == PTzCOLORMODE_GRAY;
    const int32_t bytes = gray ? 1 : 4;
    shot.pixels.assign(size_t(width) * size_t(height) * size_t(bytes), 0xEE);
    _tagITzBITMAP bitmap = {width, height, width * bytes, uint16_t(bytes * 8), int32_t(layer->GetColorMode()),
                            shot.pixels.data()};
    const PTzRECT local = {0, 0, width, height};
    layer->GetRectData(&local, &bitmap);
    return shot;
}

// Pixels that differ from each other and from row to row, with alphas from 0 to 255.
inline void Pattern(ITzLayerImage* layer, const PTzRECT& localRect, uint32_t seed)
{
    const int32_t width = localRect.right - localRect.left, height = localRect.bottom - localRect.top;
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    uint32_t state = seed;
    for (uint8_t& byte : pixels) {
        state = state * 1664525u + 1013904223u;
        byte = uint8_t(state >> 24);
    }
    _tagITzBITMAP bitmap = {width, height, width * 4, 32, int32_t(PTzCOLORMODE_ARGB), pixels.data()};
    layer->SetRectData(&localRect, &bitmap);
}

inline _tagPTzCOLOR Colour(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue)
{
    return {PTzCOLORMODE_ARGB, alpha, {red, green, blue}};
}

// A picture of `count` patterned ARGB layers over the rectangle, the last one active.
inline void MakePicture(ITzPicture& picture, int count, PTzRECT bounds = {0, 0, 300, 300})
{
    picture.Create(uint32_t(bounds.right), uint32_t(bounds.bottom));
    for (int i = 0; i < count; ++i) {
        auto* layer = new ITzLayerImageARGB();
        layer->SetSize(&bounds, 1);
        Pattern(layer, {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}, 7u + uint32_t(i));
        picture.InsertLayer(picture.GetLayerCount(), layer);
    }
    picture.SetActiveLayerID(uint16_t(count - 1));
}

inline ITzLayerImage* ImageLayer(ITzPicture& picture, uint16_t index)
{
    return static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(index));
}

// Paints a floating layer of an ARGB layer: a half-transparent rectangle reaching past
// the layer (so the merge grows it) and an opaque one inside.
inline void Paint(ITzLayerImage* floating)
{
    const PTzRECT wide = {200, 180, 420, 330};
    const PTzRECT inner = {20, 30, 90, 60};
    const _tagPTzCOLOR half = Colour(128, 250, 20, 90);
    const _tagPTzCOLOR solid = Colour(255, 5, 200, 40);
    PTzRECT local;
    floating->PRECTtoLRECT(&wide, &local);
    floating->FillRect(&local, &half);
    floating->PRECTtoLRECT(&inner, &local);
    floating->FillRect(&local, &solid);
}

// Sets a picture rectangle of a gray layer (a selection, a gray floating layer) to a value.
inline void FillGray(ITzLayerImage* layer, const PTzRECT& pictureRect, uint8_t value)
{
    const _tagPTzCOLOR gray = {PTzCOLORMODE_GRAY, 255, {value}};
    PTzRECT local;
    layer->PRECTtoLRECT(&pictureRect, &local);
    layer->FillRect(&local, &gray);
}

// Lends every free page of the scratch pool to the test until it is destroyed.
class PoolDrain {
public:
    PoolDrain()
    {
        uint8_t* page = nullptr;
        while (BlockMemoryAlloc(GetBlockMemoryPool(), &page, ITzBLOCK_PAGE_BYTES))
            m_pages.push_back(page);
    }
    ~PoolDrain()
    {
        for (uint8_t* page : m_pages)
            BlockMemoryFree(page, ITzBLOCK_PAGE_BYTES, GetBlockMemoryPool());
    }
    PoolDrain(const PoolDrain&) = delete;
    PoolDrain& operator=(const PoolDrain&) = delete;

private:
    std::vector<uint8_t*> m_pages;
};

}  // namespace floating_test
