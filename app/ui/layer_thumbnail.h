// The layer list's thumbnails: a layer shown over the checkerboard at the zoom that fits
// the whole picture into 40 x 25 pixels, read from the layer's preview cache at that
// zoom's level (the one the view would read at that zoom), never from the layer's own
// pixels when the cache has the level.
#pragma once

#include <QImage>
#include <cstdint>

#include "engine/pixels/zoom_level.h"

class ITzLayerBase;
class ITzPicture;

// 25 / height, so that the thumbnail is 25 pixels high, unless width x 25 / height
// exceeds 40: then 40 / width. {1, 1} for an empty size.
_tagITzZOOMLEVEL LayerThumbnailZoom(int32_t width, int32_t height);

struct CLayerThumbnail {
    QImage image;            // RGB888; null when nothing could be read
    bool fromOwnPixels = false;  // read at level 0: no cache level, or a zoom of 1/2 or more
};

// The layer's thumbnail in its picture.
CLayerThumbnail ReadLayerThumbnail(ITzPicture* picture, ITzLayerBase* layer);
