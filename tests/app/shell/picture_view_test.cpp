// Drawing engine bitmaps with Qt and the view's painting and zoom: the byte orders of the
// drawable modes, pictures shown at 1/1 and 2/1 with exact colours, surround, frame and
// checkerboard, the repaint regions of two views, scrolling, the zoom steps and titles.
#include <gtest/gtest.h>

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>

#include "app/shell/bitmap_draw.h"
#include "app/shell/current_colours.h"
#include "app/shell/main_frame.h"
#include "app/shell/view_clock.h"
#include "app/shell/zoom_ladder.h"
#include "app/shell/picture_view.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

TEST(BitmapDraw, DrawsRgbBgrAndGrayAsTheyAreAndNothingElse)
{
    const struct {
        int32_t mode;
        uint16_t bits;
        std::vector<uint8_t> pixel;  // one pixel's bytes, low address first
        QRgb drawn;
    } cases[] = {
        {PTzCOLORMODE_RGB, 24, {10, 20, 30}, qRgb(10, 20, 30)},
        {PTzCOLORMODE_BGR, 24, {10, 20, 30}, qRgb(30, 20, 10)},
        {PTzCOLORMODE_GRAY, 8, {77}, qRgb(77, 77, 77)},
        {PTzCOLORMODE_ARGB, 32, {255, 1, 2, 3}, qRgb(9, 9, 9)},    // not drawn: the background stays
        {PTzCOLORMODE_RGB, 8, {10}, qRgb(9, 9, 9)},                 // a depth that does not fit its mode
    };
    for (const auto& c : cases) {
        // A 3 x 2 bitmap whose rows are padded to 4 bytes; only pixel (1, 1) is set.
        const int bytes = c.bits / 8;
        const int stride = ((3 * c.bits + 31) >> 3) & ~3;
        std::vector<uint8_t> pixels(size_t(stride) * 2, 0);
        std::copy(c.pixel.begin(), c.pixel.end(), pixels.begin() + stride + bytes);
        const _tagITzBITMAP bitmap = {3, 2, stride, c.bits, c.mode, pixels.data()};
        QImage target(8, 8, QImage::Format_RGB32);
        target.fill(qRgb(9, 9, 9));
        QPainter painter(&target);
        const PTzRECT rect = {4, 5, 7, 7};
        ITzITzBitmapDraw(&painter, &bitmap, &rect);
        ITzITzBitmapDraw(nullptr, &bitmap, &rect);
        ITzITzBitmapDraw(&painter, nullptr, &rect);
        painter.end();
        EXPECT_EQ(target.pixel(5, 6), c.drawn) << "mode " << c.mode;
        EXPECT_EQ(target.pixel(3, 6), qRgb(9, 9, 9)) << "nothing outside the rectangle";
    }
}

TEST(PictureView, ShowsThePictureAtOneToOneAcrossTileBorders)
{
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    test.app->GetMainFrame()->resize(1000, 800);
    // 300 x 270: four tiles; each pixel's colour tells where it is.
    QImage image(300, 270, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) * 100 + (y >> 8) * 50));
    }
    TempFolder temp;
    temp.Write("tiles.bmp", Bmp24(image));
    ASSERT_NE(test.app->OpenDocumentFile(QString::fromStdString(temp.Item("tiles.bmp"))), nullptr);
    CTamsleyView* view = test.app->GetMainFrame()->GetActiveTamsleyView();
    ASSERT_EQ(view->GetZoomedSize(), QSize(300, 270));
    QCoreApplication::processEvents();  // the window takes the size that fits the picture
    EXPECT_EQ(view->viewport()->size(), QSize(300, 270));
    const QImage shown = view->viewport()->grab().toImage();
    shown.save(ScreenshotPath(QStringLiteral("tiles_offscreen.png")));
    const QPoint origin = view->PictureOrigin();
    for (const QPoint& p : {QPoint(0, 0), QPoint(255, 255), QPoint(256, 0), QPoint(0, 256), QPoint(299, 269),
                            QPoint(256, 256), QPoint(100, 200)})
        EXPECT_EQ(shown.pixel(origin + p), image.pixel(p)) << p.x() << "," << p.y();
}

TEST(PictureView, AFourColourBmpLooksRightOffscreen)
{
    ScopedDialogs dialogs;
    TestApp test;
    ASSERT_TRUE(test.app->InitInstance());
    TempFolder temp;
    temp.Write("four.bmp", FourColourBmp());
    ASSERT_NE(test.app->OpenDocumentFile(QString::fromStdString(temp.Item("four.bmp"))), nullptr);
    CMainFrame* frame = test.app->GetMainFrame();
    const QImage window = frame->grab().toImage();
    EXPECT_TRUE(window.save(ScreenshotPath(QStringLiteral("main_frame_offscreen.png"))));
    CTamsleyView* view = frame->GetActiveTamsleyView();
    QCoreApplication::processEvents();
    const QImage shown = view->viewport()->grab().toImage();
    const QPoint origin = view->PictureOrigin();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 96; ++x)
            ASSERT_EQ(shown.pixel(origin + QPoint(x, y)), FourColourAt(x, y)) << x << "," << y;
    }
}

}  // namespace

namespace {

// The rendering picture: 40 x 30, each pixel's colour telling where it lies; row 20 is
// transparent from x = 0 to 15, and pixel (30, 10) half transparent.
constexpr QRgb kHalf = qRgb(200, 40, 10);

uint32_t RenderingPixel(int x, int y)
{
    if (y == 20 && x < 16)
        return 0x00FFFFFF;
    if (x == 30 && y == 10)
        return 0x80000000u | (kHalf & 0xFFFFFF);
    return 0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 8) << 8 | uint32_t(255 - x * 3);
}

QRgb CheckerAt(int zoomedX, int zoomedY)
{
    _tagPTzCOLOR one, two;
    GetCheckerColors(&one, &two);
    const _tagPTzCOLOR& colour = ((zoomedX & 15) < 8) == ((zoomedY & 15) < 8) ? one : two;
    return qRgb(colour.components[0], colour.components[1], colour.components[2]);
}

TEST(PictureView, ShowsEveryPixelCentredOnTheCheckerboardInAFrameAtOneAndTwo)
{
    for (uint32_t zoom : {1u, 2u}) {
        ShownView shown(MakeArgbPicture(40, 30, RenderingPixel), QSize(200, 150));
        shown.view->SetZoom({zoom, 1});
        const QImage image = shown.Grab();
        image.save(ScreenshotPath(QStringLiteral("rendering_%1_offscreen.png").arg(zoom)));
        const int width = 40 * int(zoom), height = 30 * int(zoom);
        const QPoint origin((200 - width) / 2, (150 - height) / 2);
        ASSERT_EQ(shown.view->PictureOrigin(), origin);
        for (int y = -2; y < height + 2; ++y) {
            for (int x = -2; x < width + 2; ++x) {
                const QRgb pixel = image.pixel(origin.x() + x, origin.y() + y);
                const bool inside = x >= 0 && y >= 0 && x < width && y < height;
                const bool frame = !inside && x >= -1 && y >= -1 && x <= width && y <= height;
                if (!inside) {
                    ASSERT_EQ(pixel, frame ? qRgb(0, 0, 0) : qRgb(0xC0, 0xC0, 0xC0)) << zoom << ": " << x << "," << y;
                    continue;
                }
                const uint32_t source = RenderingPixel(x / int(zoom), y / int(zoom));
                if (source >> 24 == 0xFF) {
                    ASSERT_EQ(pixel, source) << zoom << ": " << x << "," << y;
                } else if (source >> 24 == 0) {
                    ASSERT_EQ(pixel, CheckerAt(x, y)) << zoom << ": " << x << "," << y;
                } else {
                    // Half way between the colour and the checkerboard under it.
                    const QRgb under = CheckerAt(x, y);
                    for (int shift : {16, 8, 0}) {
                        const int expected = ((kHalf >> shift & 255) + (under >> shift & 255) + 1) / 2;
                        ASSERT_NEAR(int(pixel >> shift & 255), expected, 1) << zoom << ": " << x << "," << y;
                    }
                }
            }
        }
        EXPECT_EQ(image.pixel(0, 0), qRgb(0xC0, 0xC0, 0xC0));
        EXPECT_EQ(image.pixel(199, 149), qRgb(0xC0, 0xC0, 0xC0));
    }
}

// Records the regions the viewport is asked to paint.
class PaintRegions : public QObject {
public:
    explicit PaintRegions(QWidget* viewport) { viewport->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

TEST(PictureView, TwoViewsRepaintExactlyTheChangedRectangleWidenedByTwo)
{
    void* handle = MakeArgbPicture(300, 200, [](int x, int y) { return 0xFF000000u | uint32_t(x ^ y); });
    ShownView one(handle, QSize(200, 150));
    // The second view shows the same picture at 2/1, scrolled to (100, 50).
    auto two = std::make_unique<CTamsleyView>(one.document.get());
    two->setFrameShape(QFrame::NoFrame);
    two->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    two->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    two->resize(200, 150);
    two->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(two.get()));
    two->SetZoom({2, 1});
    two->ScrollToZoomed(100, 50);
    QCoreApplication::processEvents();
    PaintRegions first(one.view->viewport());
    PaintRegions second(two->viewport());
    const struct {
        PTzRECT changed;
        QRect inOne;
        QRect inTwo;
    } cases[] = {
        {{60, 30, 70, 40}, {58, 28, 14, 14}, {18, 8, 24, 24}},
        {{10, 20, 11, 21}, {8, 18, 5, 5}, {}},           // left of what the second view shows
        {{149, 99, 151, 101}, {147, 97, 6, 6}, {196, 146, 4, 4}},  // at the second's corner
    };
    for (const auto& c : cases) {
        QCoreApplication::processEvents();
        first.painted = QRegion();
        second.painted = QRegion();
        ITzPictGetPictureClass(handle)->DataChanged(&c.changed, 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(first.painted, QRegion(c.inOne) & QRegion(0, 0, 200, 150)) << c.changed.left;
        EXPECT_EQ(second.painted, QRegion(c.inTwo) & QRegion(0, 0, 200, 150)) << c.changed.left;
    }
    two.reset();
}

TEST(PictureView, AScrollOfTenPixelsComposesOnlyTheExposedBand)
{
    ShownView shown(MakeArgbPicture(1000, 800, [](int x, int y) { return 0xFF000000u | uint32_t(x * y); }),
                    QSize(600, 300));
    PaintRegions regions(shown.view->viewport());
    const struct {
        QPoint scroll;
        QRect band;
        uint64_t tiles;
    } cases[] = {
        {{0, 10}, {0, 290, 600, 10}, 3},   // 600 across: tiles of 256, 256 and 88
        {{10, 10}, {590, 0, 10, 300}, 2},  // 300 down: 256 and 44
        {{10, 0}, {0, 0, 600, 10}, 3},
    };
    for (const auto& c : cases) {
        QCoreApplication::processEvents();
        regions.painted = QRegion();
        const uint64_t before = shown.view->GetPaintCounters().tilesComposed;
        shown.view->ScrollToZoomed(c.scroll.x(), c.scroll.y());
        QCoreApplication::processEvents();
        EXPECT_EQ(shown.view->GetPaintCounters().tilesComposed - before, c.tiles) << c.band.y();
        EXPECT_EQ(regions.painted.boundingRect(), c.band);
    }
    // What the window shows after the scrolls is what a fresh paint shows.
    const QImage scrolled = shown.Grab();
    shown.view->resize(601, 300);
    shown.view->resize(600, 300);
    EXPECT_EQ(scrolled, shown.Grab());
}

// Views in the main frame's windows.
class FramedView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test.app->InitInstance());
        frame = test.app->GetMainFrame();
    }
    ScopedDialogs dialogs;
    TestApp test;
    CMainFrame* frame = nullptr;
};

TEST_F(FramedView, EachWindowOfOneDocumentShowsItsOwnZoomAndTheWholeTitle)
{
    CChildFrame* child = OpenPicture(frame, ITzPictCreate_1(300, 200, nullptr), QStringLiteral("50%off.bmp"));
    EXPECT_EQ(child->windowTitle(), QStringLiteral("100%50%off.bmp"));
    auto* second = new QMdiSubWindow();
    auto* view = new CTamsleyView(child->GetDocument(), second);
    second->setWidget(view);
    frame->GetMdiArea()->addSubWindow(second);
    second->show();
    view->ZoomInCentre();
    EXPECT_EQ(second->windowTitle(), QStringLiteral("200%50%off.bmp"));
    child->GetView()->ZoomOutCentre();
    EXPECT_EQ(child->windowTitle(), QStringLiteral("66.67%50%off.bmp"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("200%50%off.bmp"));
    EXPECT_EQ(child->GetDocument()->GetTitle(), QStringLiteral("50%off.bmp"));
    delete second;
}

TEST(PictureView, ZoomStepsCentreTheirPointAndStopAtTheRules)
{
    ShownView shown(ITzPictCreate_1(400, 300, nullptr), QSize(200, 150));
    CTamsleyView& view = *shown.view;
    _tagITzZOOMLEVEL zoom;
    // About a zoomed point: the picture point under it goes to the window's centre.
    view.ZoomInAt({300, 100});
    view.GetZoomLevel(&zoom);
    EXPECT_EQ(zoom.numerator, 2u);
    EXPECT_EQ(view.ClientToZoomed({100, 75}).x, 600);
    EXPECT_EQ(view.ClientToZoomed({100, 75}).y, 200);
    for (int i = 0; i < 10; ++i)
        view.ZoomInCentre();
    view.GetZoomLevel(&zoom);
    EXPECT_EQ(zoom.numerator, 16u);
    EXPECT_FALSE(view.CanZoomIn());
    // A dragged rectangle of 20 x 10 zoomed pixels at 16/1 is 1.25 x 0.625 picture pixels,
    // cut to whole ones; the window's tighter axis decides.
    view.SetZoom({1, 1});
    view.ZoomToRect({100, 100, 150, 120});
    view.GetZoomLevel(&zoom);
    EXPECT_EQ(zoom.numerator, 200u);
    EXPECT_EQ(zoom.denominator, 50u);
    EXPECT_EQ(view.GetZoomedSize(), QSize(1600, 1200));
    // Zooming out stops once both sides are under 10 pixels.
    for (int i = 0; i < 40; ++i)
        view.ZoomOutCentre();
    EXPECT_FALSE(view.CanZoomOut());
    const QSize smallest = view.GetZoomedSize();
    EXPECT_TRUE(smallest.width() < 10 && smallest.height() < 10) << smallest.width() << "x" << smallest.height();
}

TEST_F(FramedView, AnOpenedPictureZoomsOutUntilItsWindowFitsTwoThirdsOfTheMainWindow)
{
    CChildFrame* child = OpenPicture(frame, ITzPictCreate_1(3000, 2000, nullptr), QStringLiteral("big.bmp"));
    CTamsleyView* view = child->GetView();
    view->FitFrameToPicture();
    const QSize room(2 * frame->GetMdiArea()->width() / 3, 2 * frame->GetMdiArea()->height() / 3);
    const QSize zoomed = view->GetZoomedSize();
    EXPECT_LE(zoomed.width(), room.width());
    EXPECT_LE(zoomed.height(), room.height());
    // One step larger would not have fitted.
    _tagITzZOOMLEVEL zoom;
    view->GetZoomLevel(&zoom);
    const _tagITzZOOMLEVEL larger = StepZoomLadder(zoom, true);
    EXPECT_TRUE(3000 * larger.numerator / larger.denominator > uint32_t(room.width()) ||
                2000 * larger.numerator / larger.denominator > uint32_t(room.height()));
    QCoreApplication::processEvents();
    EXPECT_EQ(view->viewport()->size(), zoomed);
}

TEST_F(FramedView, TwoThirdsOfTheAreaAreCutToWholePixels)
{
    // An area 3n + 1 wide: two thirds are 2n + 0.67, cut to 2n.
    QMdiArea* area = frame->GetMdiArea();
    for (int grow = 0; grow < 3 && area->width() % 3 != 1; ++grow) {
        frame->resize(frame->width() + 1, frame->height());
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(area->width() % 3, 1);
    const int twoThirds = 2 * area->width() / 3;
    const struct {
        int width;
        uint32_t zoomNumerator;
    } cases[] = {{twoThirds, 1}, {twoThirds + 1, 2}};  // 2/3 is the step below 1/1
    for (const auto& c : cases) {
        CChildFrame* child = OpenPicture(frame, ITzPictCreate_1(uint32_t(c.width), 10, nullptr), QStringLiteral("w.bmp"));
        child->GetView()->FitFrameToPicture();
        _tagITzZOOMLEVEL zoom;
        child->GetView()->GetZoomLevel(&zoom);
        EXPECT_EQ(zoom.numerator, c.zoomNumerator) << c.width << " in " << area->width();
    }
}

}  // namespace

namespace {

uint32_t clockNow = 0;

uint32_t TestClock()
{
    return clockNow;
}

TEST(PictureView, TheTextCursorIsAnInvertedLineOverThePictureThatBlinksAtMostEvery500Ms)
{
    const ViewClock kept = SetViewClock(TestClock);
    clockNow = 5000;
    ShownView shown(MakeArgbPicture(60, 40, [](int x, int y) { return 0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 6); }),
                    QSize(60, 40));
    CTamsleyView& view = *shown.view;
    view.SetZoom({2, 1});  // 120 x 80, scrolled to the corner
    const QImage plain = shown.Grab();
    // A line at picture x = 10 from y = 5 to 12: zoomed x = 20, y = 10 to 24.
    view.FlashTextCursor(10, 5, true, 12);
    const QImage shownLine = shown.Grab();
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool onLine = x == 20 && y >= 10 && y <= 24;
            const QRgb expected = onLine ? (~plain.pixel(x, y) & 0xFFFFFF) | 0xFF000000 : plain.pixel(x, y);
            ASSERT_EQ(shownLine.pixel(x, y), expected) << x << "," << y;
        }
    }
    // The same line within 500 ms: nothing; later it goes, and comes back when asked.
    clockNow += 500;
    view.FlashTextCursor(10, 5, true, 12);
    EXPECT_EQ(shown.Grab(), shownLine);
    clockNow += 1;
    view.FlashTextCursor(10, 5, true, 12);
    EXPECT_EQ(shown.Grab(), plain);
    view.FlashTextCursor(11, 5, true, 12);  // another line: at once
    EXPECT_NE(shown.Grab(), plain);
    SetViewClock(kept);
}

}  // namespace

namespace {

TEST(PictureView, APictureOfTwoToTheThirtyPixelsScrollsToItsEndAndOffersNoStepPastTheRange)
{
    // No layers: nothing to allocate, the size alone matters here.
    ShownView shown(ITzPictCreate(1u << 30, 40), QSize(200, 100));
    CTamsleyView& view = *shown.view;
    EXPECT_EQ(view.GetZoomedSize(), QSize(1 << 30, 40));
    EXPECT_FALSE(view.CanZoomIn()) << "2/1 would be 2^31 pixels across";
    view.ZoomInCentre();
    _tagITzZOOMLEVEL zoom;
    view.GetZoomLevel(&zoom);
    EXPECT_EQ(zoom.numerator, zoom.denominator);
    view.ScrollToZoomed(INT32_MAX, 0);
    EXPECT_EQ(view.ClientToZoomed({199, 0}).x, (1 << 30) - 1);
    const PTzRECT changed = {(1 << 30) - 5, 0, 1 << 30, 40};
    view.GetPicture()->DataChanged(&changed, 0);
    // The last column: the checkerboard (the picture has no layers) between the frame's
    // lines above and below the 40 rows centred in the 100.
    const QImage image = shown.Grab();
    EXPECT_EQ(image.pixel(199, 50), qRgb(127, 127, 127));
    EXPECT_EQ(image.pixel(199, 29), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(199, 70), qRgb(0, 0, 0));
    // Zoomed out as far as the rules allow, and back in.
    while (view.CanZoomOut())
        view.ZoomOutCentre();
    EXPECT_LT(view.GetZoomedSize().height(), 10);
    while (view.CanZoomIn())
        view.ZoomInCentre();
    EXPECT_LE(int64_t(view.GetZoomedSize().width()), int64_t(INT32_MAX));
    shown.Grab();
}

}  // namespace
