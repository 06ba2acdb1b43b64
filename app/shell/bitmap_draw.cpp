// The engine's rows are padded to 4 bytes, which QImage takes as its stride as they are.
#include "app/shell/bitmap_draw.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "base/color.h"

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

}  // namespace

void ITzITzBitmapDraw(QPainter* painter, const _tagITzBITMAP* bitmap, const PTzRECT* rect)
{
    if (!painter || !bitmap || !rect || !bitmap->pixels || bitmap->width <= 0 || bitmap->height <= 0)
        return;
    const QImage::Format format = FormatOf(*bitmap);
    if (format == QImage::Format_Invalid)
        return;
    const int width = std::min<int64_t>(int64_t(rect->right) - rect->left, bitmap->width);
    const int height = std::min<int64_t>(int64_t(rect->bottom) - rect->top, bitmap->height);
    if (width <= 0 || height <= 0)
        return;
    const QImage image(bitmap->pixels, bitmap->width, bitmap->height, bitmap->stride, format);
    painter->drawImage(QPoint(rect->left, rect->top), image, QRect(0, 0, width, height));
}
