// What lies under the active layer in a view's back buffer (the checkerboard and the
// layers below it), composed once and kept while those layers and the view's geometry
// stay, so that a stroke or a live change of the active layer composes only the active
// layer and the layers above it on each paint.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "engine/pixels/preview_rows.h"
#include "engine/pixels/zoom_level.h"

class ITzPicture;
class ITzLayerBase;

// A tile of a back buffer planned for composing in bands of rows, perhaps on several
// threads at once: what lies under the planned layers, then their rows.
struct CTileRows {
    _tagITzBITMAP tile = {};
    PTzRECT zoomed = {};
    const uint8_t* below = nullptr;  // the kept layers' rows, belowStride apart; null: the checkerboard
    int32_t belowStride = 0;
    std::unique_ptr<ITzPreviewRows> layers;
    // Composes the tile's rows [top, bottom).
    void Run(int32_t top, int32_t bottom) const;
};

class CLayersBelowCache {
public:
    // Composes the zoomed rectangle over the checkerboard into the 24-bit mode-1 tile,
    // pixel for pixel as ComposePictureTile does; `inBuffer` is where the tile lies in a
    // back buffer of `bufferSize`. The part under the active layer comes from the cache,
    // composed first where it is missing.
    void Compose(ITzPicture* picture, _tagITzBITMAP* tile, const QRect& inBuffer, const PTzRECT& zoomed,
                 _tagITzZOOMLEVEL zoom, QSize bufferSize);
    // The same composition planned as rows: the cache's missing part composed now, the
    // rows left for CTileRows::Run. False when a layer draws only in one piece: Compose
    // the tile then.
    bool Plan(ITzPicture* picture, const _tagITzBITMAP& tile, const QRect& inBuffer, const PTzRECT& zoomed,
              _tagITzZOOMLEVEL zoom, QSize bufferSize, CTileRows& rows);
    // Forgets everything and gives the memory back.
    void Free();

private:
    // What the kept pixels were composed for.
    struct Key {
        ITzPicture* picture = nullptr;
        uint64_t stamp = 0;
        uint16_t active = 0;
        ITzLayerBase* activeLayer = nullptr;
        _tagITzZOOMLEVEL zoom = {0, 0};
        QPoint corner;  // zoomed coordinates of the buffer's (0, 0)
        QSize size;
        bool operator==(const Key& other) const;
    };
    // Makes the cache hold pixels for the key, emptying it when the key changed: false
    // when there is no memory for them.
    bool Take(const Key& key);
    // The kept rows under the tile, composed first where missing, and the first layer
    // to draw over them; null (first 0) where the checkerboard lies under every layer.
    const uint8_t* Below(ITzPicture* picture, const QRect& inBuffer, const PTzRECT& zoomed, _tagITzZOOMLEVEL zoom,
                         QSize bufferSize, uint16_t& first);
    void ComposeMissing(ITzPicture* picture, const QRect& part, _tagITzZOOMLEVEL zoom);
    uint8_t* Row(int y, int x) { return m_pixels.data() + size_t(y) * size_t(m_stride) + size_t(x) * 3; }

    Key m_key;
    std::vector<uint8_t> m_pixels;
    int32_t m_stride = 0;
    QRegion m_valid;
};
