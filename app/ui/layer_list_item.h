// CLayerListItem: one row of the layer list, listening to the layer it shows. From left
// to right: the eye (visible or not), the link with the active layer, a thumbnail of the
// layer fitted into 40 x 25 pixels, the name and the opacity as a percentage. A press on
// the eye or the link toggles it as an undo step; a message of the layer repaints only
// the column it changed.
#pragma once

#include <QImage>
#include <QRect>

#include "app/ui/owner_draw_list_box.h"
#include "base/broadcaster.h"

class CLayerListBox;
class ITzLayerBase;

class CLayerListItem : public CROwnerDrawItemBase, public PTzListener {
public:
    static constexpr int kEyeWidth = 23;
    static constexpr int kLinkWidth = 21;

    // The columns of a row, relative to its top-left corner.
    enum class Column { Eye, Link, Thumbnail, Name, Opacity };

    // Listens to the layer until it goes.
    CLayerListItem(CLayerListBox* list, ITzLayerBase* layer);
    ~CLayerListItem() override;

    ITzLayerBase* GetLayer() const { return m_layer; }
    // The column's rectangle in a row of that width.
    QRect ColumnRect(Column column, int rowWidth) const;

    void Draw(QPainter& painter, const QRect& rect, const QStyleOptionViewItem& option) override;
    // A left press at a point relative to the row: in the eye or the link column it
    // toggles that as one undo step and answers true; elsewhere false.
    bool Press(const QPoint& point);

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;

private:
    void InvalidateColumn(Column column);
    // Reads the thumbnail when it has none; the column takes its width.
    void DrawThumbnail(QPainter& painter);

    CLayerListBox* m_list;
    ITzLayerBase* m_layer;    // null once the layer announced its end
    int m_thumbnailWidth = 0;  // 0 until the thumbnail is first drawn
    QImage m_thumbnail;        // the last one read; null when it must be read again
};
