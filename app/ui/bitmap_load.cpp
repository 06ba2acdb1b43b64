// Loading and drawing the program's resource bitmaps.
#include "app/ui/bitmap_load.h"

#include <QPainter>
#include <new>

#include "app/ui/application_support.h"

namespace {

RBitmapLoad* globalLoader = nullptr;

}  // namespace

RBitmap::~RBitmap() = default;

void RHBitmap::Draw(QPainter& painter, const QRect& rect) const
{
    if (m_bitmap.isNull() || rect.isEmpty())
        return;
    painter.drawPixmap(rect.topLeft(), m_bitmap, QRect(QPoint(0, 0), rect.size()));
}

RBitmapLoad* RBitmapLoad::Get()
{
    if (!globalLoader)
        globalLoader = new (std::nothrow) RBitmapLoad();
    return globalLoader;
}

void RBitmapLoad::DeleteGlobal()
{
    delete globalLoader;
    globalLoader = nullptr;
}

std::unique_ptr<RHBitmap> RBitmapLoad::Load(int id) const
{
    QPixmap bitmap = RApplication::LoadImage(id);
    if (bitmap.isNull())
        return nullptr;
    return std::make_unique<RHBitmap>(std::move(bitmap));
}
