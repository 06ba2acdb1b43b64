// Bitmaps of the program's resources: RBitmap holds one, RHBitmap is one loaded by id and
// drawn into a rectangle, and RBitmapLoad, the global loader made on first use and
// deleted with the kit's support object (RApplication), loads them.
#pragma once

#include <QPixmap>
#include <memory>

class QPainter;
class QRect;

class RBitmap {
public:
    RBitmap() = default;
    explicit RBitmap(QPixmap bitmap) : m_bitmap(std::move(bitmap)) {}
    virtual ~RBitmap();

    const QPixmap& GetBitmap() const { return m_bitmap; }
    bool IsNull() const { return m_bitmap.isNull(); }

protected:
    QPixmap m_bitmap;
};

class RHBitmap : public RBitmap {
public:
    using RBitmap::RBitmap;
    // Copies the bitmap from its top-left corner into the rectangle, as much as fits.
    void Draw(QPainter& painter, const QRect& rect) const;
};

class RBitmapLoad {
public:
    // The global loader, made on first use.
    static RBitmapLoad* Get();
    static void DeleteGlobal();

    // The bitmap of that resource id, or null when the program has none (or no support
    // object names where the images lie).
    std::unique_ptr<RHBitmap> Load(int id) const;
};
