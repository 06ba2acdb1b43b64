// Drawing engine bitmaps with Qt and the first view: the byte orders of the drawable
// modes, nothing for the others, and a picture shown at 1/1 across tile borders.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app/shell/bitmap_draw.h"
#include "app/shell/main_frame.h"
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
    const QImage shown = view->viewport()->grab().toImage();
    const QPoint origin = view->PictureOrigin();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 96; ++x)
            ASSERT_EQ(shown.pixel(origin + QPoint(x, y)), FourColourAt(x, y)) << x << "," << y;
    }
    // The window is wider than the picture, which sits centred in a gray surround.
    ASSERT_GT(origin.x(), 0);
    EXPECT_EQ(shown.pixel(origin + QPoint(-1, 0)), qRgb(128, 128, 128));
    EXPECT_EQ(shown.pixel(origin + QPoint(96, 63)), qRgb(128, 128, 128));
}

}  // namespace
