// What lies under the active layer in a view's back buffer (the checkerboard and the
// layers below it), composed once and kept while those layers and the view's geometry
// stay, so that a stroke or a live change of the active layer composes only the active
// layer and the layers above it on each paint.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "engine/pixels/zoom_level.h"

class ITzPicture;
class ITzLayerBase;

class CLayersBelowCache {
public:
    // Composes the zoomed rectangle over the checkerboard into the 24-bit mode-1 tile,
    // pixel for pixel as ComposePictureTile does; `inBuffer` is where the tile lies in a
    // back buffer of `bufferSize`. The part under the active layer comes from the cache,
    // composed first where it is missing.
    void Compose(ITzPicture* picture, _tagITzBITMAP* tile, const QRect& inBuffer, const PTzRECT& zoomed,
                 _tagITzZOOMLEVEL zoom, QSize bufferSize);
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
    void ComposeMissing(ITzPicture* picture, const QRect& part, _tagITzZOOMLEVEL zoom);
    uint8_t* Row(int y, int x) { return m_pixels.data() + size_t(y) * size_t(m_stride) + size_t(x) * 3; }

    Key m_key;
    std::vector<uint8_t> m_pixels;
    int32_t m_stride = 0;
    QRegion m_valid;
};
