// The engine's rows are padded to 4 bytes, which QImage takes as its stride as they are;
// QImage pads its own rows the same way, so a record can describe a QImage's pixels.
#include "app/shell/bitmap_draw.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <new>

#include "base/color.h"

class ITzBitmap24 {
public:
    QImage image;
};

namespace {

// The QImage format of a bitmap's pixels, or Invalid for one Qt cannot show as it is.
QImage::Format FormatOf(const _tagITzBITMAP& bitmap)
{
    if (bitmap.colorMode == PTzCOLORMODE_RGB && bitmap.bits == 24)
        return QImage::Format_RGB888;
    if (bitmap.colorMode == PTzCOLORMODE_BGR && bitmap.bits == 24)
        return QImage::Format_BGR888;
    if (bitmap.colorMode == PTzCOLORMODE_GRAY && bitmap.bits == 8)
        return QImage::Format_Grayscale8;
    return QImage::Format_Invalid;
}

// Draws the top-left width x height part of the image at the rectangle's corner, where
// the size is the smaller of the rectangle's and the image's.
void DrawImagePart(QPainter* painter, const QImage& image, const PTzRECT& rect)
{
    const int width = int(std::min<int64_t>(PTzRectWidth(rect), image.width()));
    const int height = int(std::min<int64_t>(PTzRectHeight(rect), image.height()));
    if (width <= 0 || height <= 0)
        return;
    painter->drawImage(QPoint(rect.left, rect.top), image, QRect(0, 0, width, height));
}

}  // namespace

void ITzITzBitmapDraw(QPainter* painter, const _tagITzBITMAP* bitmap, const PTzRECT* rect)
{
    if (!painter || !bitmap || !rect || !bitmap->pixels || bitmap->width <= 0 || bitmap->height <= 0)
        return;
    const QImage::Format format = FormatOf(*bitmap);
    if (format == QImage::Format_Invalid)
        return;
    const QImage image(bitmap->pixels, bitmap->width, bitmap->height, bitmap->stride, format);
    DrawImagePart(painter, image, *rect);
}

void ITzITzChannelBitmapDraw(QPainter* painter, const _tagITzCHANNELBITMAP* bitmap, const PTzRECT* rect)
{
    if (!painter || !bitmap || !rect || (bitmap->kind != PTzCOLORMODE_RGB && bitmap->kind != PTzCOLORMODE_ARGB))
        return;
    const uint8_t* red = bitmap->planes[1];
    const uint8_t* green = bitmap->planes[2];
    const uint8_t* blue = bitmap->planes[3];
    // Only the part the rectangle shows is interleaved.
    const int width = int(std::min<int64_t>(PTzRectWidth(*rect), bitmap->width));
    const int height = int(std::min<int64_t>(PTzRectHeight(*rect), bitmap->height));
    if (!red || !green || !blue || width <= 0 || height <= 0)
        return;
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return;
    for (int y = 0; y < height; ++y) {
        const size_t row = size_t(y) * size_t(bitmap->stride);
        const uint8_t* r = red + row;
        const uint8_t* g = green + row;
        const uint8_t* b = blue + row;
        uint8_t* out = image.scanLine(y);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = r[x];
            out[1] = g[x];
            out[2] = b[x];
        }
    }
    painter->drawImage(QPoint(rect->left, rect->top), image);
}

ITzBitmap24* ITzBitmapCreat24Bits(QPainter* painter, uint32_t width, uint32_t height, void** bits)
{
    // QImage sides are ints, and its rows of 3 bytes a pixel must stay addressable.
    constexpr uint32_t kLargest = INT32_MAX / 4;
    if (!painter || !bits || width == 0 || height == 0 || width > kLargest || height > kLargest)
        return nullptr;
    std::unique_ptr<ITzBitmap24> bitmap(new (std::nothrow) ITzBitmap24);
    if (!bitmap)
        return nullptr;
    bitmap->image = QImage(int(width), int(height), QImage::Format_RGB888);
    if (bitmap->image.isNull())
        return nullptr;
    bitmap->image.fill(Qt::black);
    *bits = bitmap->image.bits();
    return bitmap.release();
}

void ITzBitmapDestroy(ITzBitmap24* bitmap)
{
    delete bitmap;
}

void ITzBitmapDraw(QPainter* painter, ITzBitmap24* bitmap, const PTzRECT* rect)
{
    if (!painter || !bitmap || !rect)
        return;
    DrawImagePart(painter, bitmap->image, *rect);
}
