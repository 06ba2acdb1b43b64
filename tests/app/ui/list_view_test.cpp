// The kit's lists: the cell grid paints only what is exposed and scrolls within its ends,
// the owner-drawn list box lets its rows draw and take the mouse, and drag data carries
// its bytes under the format's own type.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cstring>
#include <vector>

#include "app/ui/drop_data.h"
#include "app/ui/list_view.h"
#include "app/ui/owner_draw_list_box.h"

namespace {

class CountingView : public RListView {
public:
    using RListView::DrawItem;
    std::vector<std::pair<uint32_t, QRect>> drawn;
    void DrawItem(QPainter&, uint32_t index, const QRect& rect) override { drawn.push_back({index, rect}); }
};

TEST(ListView, APaintDrawsOnlyTheCellsItsExposedRectangleTouches)
{
    CountingView view;
    view.SetCount(10000);
    view.resize(320, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(view.verticalScrollBar()->isVisible());
    const int columns = (view.viewport()->width() - 10) / 64;
    const int pitch = 64;
    for (const int scrolled : {0, 64 * 900 + 17}) {
        view.verticalScrollBar()->setValue(scrolled);
        for (const QRect exposed : {QRect(0, 0, 300, 200), QRect(20, 70, 40, 10), QRect(100, 133, 5, 5), view.viewport()->rect()}) {
            view.drawn.clear();
            QImage target(view.viewport()->size(), QImage::Format_RGB32);
            view.viewport()->render(&target, QPoint(), QRegion(exposed));
            // Every cell the rectangle touches is drawn; beyond it at most one more row.
            int touched = 0;
            for (uint32_t index = 0; index < 10000; ++index) {
                const QRect cell(5 + int(index % columns) * pitch, 5 + int(index / columns) * pitch - scrolled, 64, 64);
                touched += cell.intersects(exposed);
            }
            const QRect reach = exposed.adjusted(-pitch, -pitch, pitch, pitch);
            int touchedDrawn = 0;
            for (const auto& [index, rect] : view.drawn) {
                EXPECT_TRUE(rect.intersects(reach)) << index;
                touchedDrawn += rect.intersects(exposed);
            }
            EXPECT_EQ(touchedDrawn, touched);
            const int rows = (exposed.height() + pitch - 1) / pitch + 1;
            EXPECT_LE(int(view.drawn.size()), (rows + 1) * columns) << "scrolled " << scrolled;
        }
    }
}

TEST(ListView, ScrollingPastEitherEndStopsThere)
{
    for (const bool widthFixed : {true, false}) {
        CountingView view;
        view.SetWidthFixed(widthFixed);
        view.SetCount(100);
        view.resize(300, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QScrollBar* bar = widthFixed ? view.verticalScrollBar() : view.horizontalScrollBar();
        ASSERT_TRUE(bar->isVisible());
        EXPECT_FALSE((widthFixed ? view.horizontalScrollBar() : view.verticalScrollBar())->isVisible());
        _tagPTzOFFSET offset{};
        const auto along = [&] {
            view.GetListDisplayOffset(&offset);
            return widthFixed ? offset.y : offset.x;
        };
        for (int i = 0; i < 400; ++i)
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(along(), bar->maximum());
        EXPECT_GT(bar->maximum(), 0);
        for (int i = 0; i < 50; ++i) {
            QWheelEvent wheel(QPointF(50, 50), view.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -1200), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &wheel);
        }
        EXPECT_EQ(along(), bar->maximum());
        bar->setValue(bar->maximum() + 500);
        EXPECT_EQ(along(), bar->maximum());
        // The last cell is in view at the end.
        view.drawn.clear();
        view.viewport()->repaint();
        bool lastDrawn = false;
        for (const auto& drawn : view.drawn)
            lastDrawn |= drawn.first == 99 && view.viewport()->rect().contains(drawn.second);
        EXPECT_TRUE(lastDrawn);


        for (int i = 0; i < 400; ++i)
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(along(), 0);
        bar->setValue(-500);
        EXPECT_EQ(along(), 0);
    }
}

TEST(ListView, AttachedItTakesThePlaceholdersSizeForItsGrid)
{
    QWidget panel;
    auto* placeholder = new QWidget(&panel);
    placeholder->setObjectName(QStringLiteral("1200"));
    placeholder->setGeometry(10, 10, 137, 90);
    CountingView view;
    view.SetCount(3);
    ASSERT_TRUE(view.Attach(&panel, 1200));
    _tagPTzSIZE size{};
    view.GetListSize(&size);
    EXPECT_EQ(QSize(size.cx, size.cy), view.viewport()->size());
    EXPECT_EQ(view.geometry(), QRect(10, 10, 137, 90));
    uint32_t hit = 0;
    ASSERT_TRUE(view.HitCell({5 + 64 + 3, 8}, &hit, 0));
    EXPECT_EQ(hit, 1u);
}

// A row that counts how it is drawn and takes presses on its first 20 pixels.
class Row : public CROwnerDrawItemBase {
public:
    explicit Row(int* alive) : m_alive(alive) { ++*m_alive; }
    ~Row() override { --*m_alive; }
    void Draw(QPainter&, const QRect& rect, const QStyleOptionViewItem& option) override
    {
        lastRect = rect;
        selected = option.state & QStyle::State_Selected;
        ++draws;
    }
    bool OnMouse(const QMouseEvent& event, const QPoint& point) override
    {
        if (event.type() != QEvent::MouseButtonPress)
            return false;
        presses.push_back(point);
        return point.x() < 20;
    }
    bool refuseDeletion = false;
    QRect lastRect;
    bool selected = false;
    int draws = 0;
    std::vector<QPoint> presses;

private:
    int* m_alive;
};

class RowList : public CROwnerDrawListBox {
public:
    // Appends count rows: the rows.
    std::vector<Row*> Fill(int count, int* alive)
    {
        std::vector<Row*> rows;
        for (int i = 0; i < count; ++i) {
            auto row = std::make_unique<Row>(alive);
            rows.push_back(row.get());
            const int end = GetCount();
            EXPECT_EQ(InsertItem(-1, std::move(row)), end);
        }
        return rows;
    }

protected:
    bool CanDeleteItem(CROwnerDrawItemBase* item) override { return !static_cast<Row*>(item)->refuseDeletion; }
};

TEST(OwnerDrawListBox, RowsAreInsertedFoundAndTakenBack)
{
    int alive = 0;
    {
        RowList list;
        const std::vector<Row*> rows = list.Fill(3, &alive);
        auto first = std::make_unique<Row>(&alive);
        Row* firstRow = first.get();
        EXPECT_EQ(list.InsertItem(0, std::move(first)), 0);
        Row outside(&alive);
        EXPECT_EQ(list.InsertItem(9, std::make_unique<Row>(&alive)), -1);
        EXPECT_EQ(alive, 5) << "a refused item is deleted";
        EXPECT_EQ(list.InsertItem(0, nullptr), -1);
        EXPECT_EQ(list.GetCount(), 4);
        EXPECT_EQ(list.GetItem(0), firstRow);
        EXPECT_EQ(list.GetItem(4), nullptr);
        EXPECT_EQ(list.GetItem(-1), nullptr);
        EXPECT_EQ(list.FindItem(rows[2]), 3);
        EXPECT_EQ(list.FindItem(&outside), -1);
        std::unique_ptr<CROwnerDrawItemBase> taken = list.RemoveItem(1);
        EXPECT_EQ(taken.get(), rows[0]);
        EXPECT_EQ(list.RemoveItem(3), nullptr);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(alive, 5);
    }
    EXPECT_EQ(alive, 0) << "the list deletes the rows it holds";
}

TEST(OwnerDrawListBox, RemoveAllStopsAtTheFirstRowThatMayNotGo)
{
    int alive = 0;
    RowList list;
    const std::vector<Row*> rows = list.Fill(4, &alive);
    rows[3]->refuseDeletion = true;
    EXPECT_FALSE(list.RemoveAll());
    EXPECT_EQ(list.GetCount(), 4) << "the last row refused: nothing goes";
    rows[3]->refuseDeletion = false;
    rows[1]->refuseDeletion = true;
    EXPECT_FALSE(list.RemoveAll());
    EXPECT_EQ(list.GetCount(), 2);
    rows[1]->refuseDeletion = false;
    EXPECT_TRUE(list.RemoveAll());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(alive, 0);
}

TEST(OwnerDrawListBox, RowsDrawThemselvesAndTakeTheirOwnClicks)
{
    int alive = 0;
    RowList list;
    list.SetRowHeight(29);
    const std::vector<Row*> rows = list.Fill(20, &alive);
    list.resize(200, 29 * 5 + 2 * list.frameWidth());
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.setCurrentIndex(list.model()->index(2, 0));
    list.viewport()->repaint();
    EXPECT_TRUE(rows[2]->selected);
    EXPECT_FALSE(rows[1]->selected);
    EXPECT_EQ(rows[3]->lastRect, QRect(0, 87, list.viewport()->width(), 29));

    // A press the row takes leaves the selection; any other selects the row.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 29 * 4 + 3));
    EXPECT_EQ(list.currentIndex().row(), 2);
    ASSERT_EQ(rows[4]->presses.size(), 1u);
    EXPECT_EQ(rows[4]->presses[0], QPoint(10, 3));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 29 * 4 + 3));
    EXPECT_EQ(list.currentIndex().row(), 4);

    // Row rectangles count from the top row; rows above it have none.
    list.scrollTo(list.model()->index(19, 0), QAbstractItemView::PositionAtBottom);
    const int top = list.GetTopIndex();
    ASSERT_GT(top, 0);
    QRect rect;
    EXPECT_TRUE(list.GetRowRect(top + 1, &rect));
    EXPECT_EQ(rect, list.visualRect(list.model()->index(top + 1, 0)));
    EXPECT_FALSE(list.GetRowRect(top - 1, &rect));
    EXPECT_FALSE(list.GetRowRect(20, &rect));

    // Repainting a row, or a part of it, repaints only that; a row above the top none.
    const int before = rows[top + 1]->draws;
    const QRect part(30, 2, 20, 10);
    list.InvalidateItem(rows[top + 1], &part);
    list.InvalidateItem(rows[0]);
    QTest::qWait(1);
    QApplication::processEvents();
    EXPECT_GT(rows[top + 1]->draws, before);
}

TEST(DropData, CarriesACopyOfTheBytesUnderTheFormatsOwnType)
{
    CRDropDataBase source;
    EXPECT_EQ(source.GetFormat(), QStringLiteral("Vorn_Unknow_Data_Type"));
    source.SetFormat(QStringLiteral("ITz_LAYER_DRAG&DROP_DATA"));
    const uint8_t payload[8] = {2, 0, 0, 0, 0x78, 0x56, 0x34, 0x12};
    std::unique_ptr<QMimeData> data = source.MakeData(payload, sizeof payload);
    ASSERT_NE(data, nullptr);
    const QString type = CRDropDataBase::MimeType(QStringLiteral("ITz_LAYER_DRAG&DROP_DATA"));
    EXPECT_EQ(type, QStringLiteral("application/x-quorvel-ITz_LAYER_DRAG&DROP_DATA"));
    EXPECT_EQ(data->formats(), QStringList{type});
    EXPECT_EQ(data->data(type), QByteArray(reinterpret_cast<const char*>(payload), sizeof payload));
    EXPECT_FALSE(data->hasFormat(CRDropDataBase::MimeType(QStringLiteral("Vorn_Unknow_Data_Type"))));
    EXPECT_EQ(CRDropDataBase::MimeType(QStringLiteral("a b/c")), QStringLiteral("application/x-quorvel-a%20b%2Fc"));

    EXPECT_EQ(source.MakeData(nullptr, 4), nullptr);
    EXPECT_NE(source.MakeData(nullptr, 0), nullptr);
    EXPECT_EQ(source.DoDrag(nullptr, payload, sizeof payload), 0);
}

}  // namespace
