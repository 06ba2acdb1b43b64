// The program's drawing and conversion helpers: opacity as a percentage, the 45-degree
// snap, the checkerboard's phase and clipping, the not-xor outline rectangle, the 24-bit
// bitmap handles and the byte orders the view draws, and the colour pick.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/shell/bitmap_draw.h"
#include "app/shell/colour_pick.h"
#include "app/shell/current_colours.h"
#include "app/shell/drawing_functions.h"
#include "app/shell/picture_tiles.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

TEST(Opacity, EveryPercentageComesBackAndEveryOpacityShowsItsNearest)
{
    // The ends and the middle are exact: no layer set to 100 % stays short of opaque.
    EXPECT_EQ(PercentToOpacity(100), 255);
    EXPECT_EQ(PercentToOpacity(0), 0);
    EXPECT_EQ(PercentToOpacity(50), 128);
    EXPECT_EQ(PercentToOpacity(150), 255);
    EXPECT_EQ(OpacityToPercent(255), 100u);
    EXPECT_EQ(OpacityToPercent(128), 50u);
    EXPECT_EQ(OpacityToPercent(0), 0u);
    for (uint32_t percent = 0; percent <= 100; ++percent)
        EXPECT_EQ(OpacityToPercent(PercentToOpacity(percent)), percent) << percent;
    for (int opacity = 0; opacity <= 255; ++opacity) {
        const double exact = opacity * 100.0 / 255.0;
        EXPECT_LE(std::abs(double(OpacityToPercent(uint8_t(opacity))) - exact), 0.5) << opacity;
    }
}

TEST(ConstrainTo45Degrees, EachDirectionSnapsToItsNearestLine)
{
    const struct {
        PTzPOINT end;
        PTzPOINT snapped;
    } cases[] = {
        {{10, -11}, {10, -10}},   // up and to the right, about 47.7 degrees
        {{10, 2}, {10, 0}},       // nearly horizontal
        {{0, 25}, {0, 25}},       // vertical: unchanged
        {{-10, 2}, {-10, 0}},     // left
        {{2, 30}, {0, 30}},       // down
        {{-9, -10}, {-9, -9}},    // up and to the left
        {{-10, 9}, {-9, 9}},      // down and to the left
        {{11, 10}, {10, 10}},     // down and to the right
        {{3, -30}, {0, -30}},     // up
    };
    for (const auto& c : cases) {
        const PTzPOINT start = {100, 200};
        PTzPOINT end = {start.x + c.end.x, start.y + c.end.y};
        ConstrainTo45Degrees(&end, &start);
        EXPECT_EQ(end.x - start.x, c.snapped.x) << c.end.x << "," << c.end.y;
        EXPECT_EQ(end.y - start.y, c.snapped.y) << c.end.x << "," << c.end.y;
    }
    ConstrainTo45Degrees(nullptr, nullptr);
}

TEST(Checkerboard, CellsFollowThePhaseAndNothingOutsideTheBitmapIsWritten)
{
    _tagPTzCOLOR one;
    _tagPTzCOLOR two;
    GetCheckerColors(&one, &two);
    // A 20 x 10 bitmap inside a larger block whose bytes around it must stay.
    const int width = 20, height = 10, stride = ((24 * width + 31) >> 3) & ~3;
    std::vector<uint8_t> block(size_t(stride) * (height + 2), 0xAB);
    _tagITzBITMAP bitmap = {width, height, stride, 24, PTzCOLORMODE_RGB, block.data() + stride};
    const struct {
        PTzRECT rect;
        PTzPOINT phase;
    } cases[] = {
        {{0, 0, 20, 10}, {0, 0}},
        {{-5, -3, 40, 30}, {0, 0}},     // past every side: cut to the bitmap
        {{3, 2, 17, 9}, {5, 13}},       // a part, with the cells anchored elsewhere
        {{0, 0, 20, 10}, {-8, -16}},
    };
    for (const auto& c : cases) {
        std::fill(block.begin(), block.end(), 0xAB);
        DrawCheckerboard(&bitmap, &c.rect, 4, c.phase);
        for (int y = -1; y <= height; ++y) {
            for (int x = 0; x < stride / 3; ++x) {
                const uint8_t* pixel = block.data() + (y + 1) * stride + 3 * x;
                const bool inside = x >= std::max(c.rect.left, 0) && x < std::min(c.rect.right, width) &&
                                    y >= std::max(c.rect.top, 0) && y < std::min(c.rect.bottom, height);
                if (!inside) {
                    ASSERT_EQ(pixel[0], 0xAB) << x << "," << y;
                    continue;
                }
                const bool first = (((x + c.phase.x) & 7) < 4) == (((y + c.phase.y) & 7) < 4);
                const uint8_t* expected = first ? one.components : two.components;
                ASSERT_EQ(std::vector<uint8_t>(pixel, pixel + 3), std::vector<uint8_t>(expected, expected + 3))
                    << x << "," << y;
            }
        }
    }
    // Colour 1 at the origin, and every 8 pixels the other colour, with cells of 8.
    DrawCheckerboard(&bitmap, &cases[0].rect, 8, {0, 0});
    EXPECT_EQ(bitmap.pixels[0], one.components[0]);
    EXPECT_EQ(bitmap.pixels[3 * 8 + 1], two.components[1]);
    EXPECT_EQ(bitmap.pixels[3 * 16 + 2], one.components[2]);
    EXPECT_EQ(bitmap.pixels[8 * stride], two.components[0]);
}

TEST(XorRectangle, NotXorInvertsEveryOutlinePixelOnceAndLeavesTheRestAlone)
{
    QImage image(12, 9, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 20, y * 25, 77));
    }
    const QImage before = image;
    const PTzRECT rects[] = {{2, 1, 9, 7}, {4, 4, 5, 8}, {1, 6, 11, 7}, {6, 2, 7, 3}};
    for (const PTzRECT& rect : rects) {
        image = before;
        {
            QPainter painter(&image);
            ASSERT_EQ(DrawXorRectangle(&painter, &rect, Qt::black, OutlineRop::NotXor), 1);
        }
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                const bool edge = inside && (x == rect.left || x == rect.right - 1 || y == rect.top ||
                                             y == rect.bottom - 1);
                const QRgb expected = edge ? (~before.pixel(x, y) & 0xFFFFFF) | 0xFF000000 : before.pixel(x, y);
                ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y << " in " << rect.left << "," << rect.top;
            }
        }
        // Drawn again, the outline goes away.
        {
            QPainter painter(&image);
            DrawXorRectangle(&painter, &rect, Qt::black, OutlineRop::NotXor);
        }
        EXPECT_EQ(image, before);
    }
    QPainter painter(&image);
    const PTzRECT empty = {3, 3, 3, 8};
    EXPECT_EQ(DrawXorRectangle(&painter, &empty, Qt::black, OutlineRop::NotXor), 0);
    EXPECT_EQ(DrawXorRectangle(nullptr, &rects[0], Qt::black, OutlineRop::Copy), 0);
    ASSERT_EQ(DrawXorRectangle(&painter, &rects[0], QColor(10, 20, 30), OutlineRop::Copy), 1);
    painter.end();
    EXPECT_EQ(image.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(8, 6), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(3, 2), before.pixel(3, 2));
}

TEST(BitmapDraw, ModesOneAndTwoDrawTheSameColours)
{
    // The same colours as red, green, blue bytes and as blue, green, red bytes.
    const uint8_t rgb[2][8] = {{200, 100, 50, 1, 2, 3, 0, 0}, {50, 100, 200, 3, 2, 1, 0, 0}};
    QImage drawn[2];
    for (int mode = 0; mode < 2; ++mode) {
        const _tagITzBITMAP bitmap = {2, 1, 8, 24, int32_t(mode == 0 ? PTzCOLORMODE_RGB : PTzCOLORMODE_BGR),
                                      const_cast<uint8_t*>(rgb[mode])};
        drawn[mode] = QImage(2, 1, QImage::Format_RGB32);
        QPainter painter(&drawn[mode]);
        const PTzRECT rect = {0, 0, 2, 1};
        ITzITzBitmapDraw(&painter, &bitmap, &rect);
    }
    EXPECT_EQ(drawn[0], drawn[1]);
    EXPECT_EQ(drawn[0].pixel(0, 0), qRgb(200, 100, 50));
}

TEST(BitmapHandle, AQImageBehindTheEngineRecordDrawsWhatWasWritten)
{
    QImage target(10, 6, QImage::Format_RGB32);
    target.fill(qRgb(9, 9, 9));
    QPainter painter(&target);
    void* bits = nullptr;
    EXPECT_EQ(ITzBitmapCreat24Bits(nullptr, 4, 3, &bits), nullptr);
    EXPECT_EQ(ITzBitmapCreat24Bits(&painter, 4, 3, nullptr), nullptr);
    EXPECT_EQ(ITzBitmapCreat24Bits(&painter, 0, 3, &bits), nullptr);
    EXPECT_EQ(ITzBitmapCreat24Bits(&painter, 1u << 31, 3, &bits), nullptr);
    ITzBitmap24* bitmap = ITzBitmapCreat24Bits(&painter, 5, 3, &bits);
    ASSERT_NE(bitmap, nullptr);
    // A record over the pixels, as the view keeps one: rows of 16 bytes, mode 1.
    const _tagITzBITMAP record = {5, 3, ((24 * 5 + 31) >> 3) & ~3, 24, PTzCOLORMODE_RGB, static_cast<uint8_t*>(bits)};
    ASSERT_EQ(record.stride, 16);
    uint8_t* pixel = record.pixels + record.stride + 3 * 2;  // (2, 1)
    pixel[0] = 250, pixel[1] = 120, pixel[2] = 7;
    std::fill_n(record.pixels + 2 * record.stride + 3 * 4, 3, 255);  // (4, 2), white
    const PTzRECT rect = {3, 2, 7, 5};  // four of the five columns
    ITzBitmapDraw(&painter, bitmap, &rect);
    ITzBitmapDraw(&painter, nullptr, &rect);
    ITzBitmapDestroy(bitmap);
    ITzBitmapDestroy(nullptr);
    painter.end();
    EXPECT_EQ(target.pixel(5, 3), qRgb(250, 120, 7));
    EXPECT_EQ(target.pixel(3, 2), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(7, 4), qRgb(9, 9, 9)) << "the fifth column lies beyond the rectangle";
}

TEST(PicturePreview, TransparentPixelsShowWhite)
{
    void* handle = MakeArgbPicture(3, 2, [](int x, int) { return x == 1 ? 0x00102030u : 0xFF102030u; });
    QImage target(5, 4, QImage::Format_RGB32);
    target.fill(qRgb(9, 9, 9));
    QPainter painter(&target);
    const PTzRECT area = {0, 0, 5, 4};
    const PTzPOINT origin = {1, 1};
    _tagITzZOOMLEVEL zoom = {1, 1};
    DrawPicturePreview(&painter, ITzPictGetPictureClass(handle), &area, &origin, &zoom);
    painter.end();
    EXPECT_EQ(target.pixel(1, 1), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(0, 0), qRgb(9, 9, 9)) << "nothing outside the picture";
    ITzPictDestroy(handle);
}

TEST(ColourPick, ReadsOnlyOpaqueEnoughPixelsInsideThePicture)
{
    void* handle = MakeArgbPicture(4, 3, [](int x, int y) {
        return x == 2 && y == 1 ? 0x00FFFFFFu : 0x80000000u | uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 | 9;
    });
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    // A second layer reaching past the picture's right and bottom edges, opaque there.
    auto* wide = new ITzLayerImageARGB();
    const PTzRECT bounds = {0, 0, 8, 6};
    wide->SetSize(&bounds, 1);
    std::vector<uint8_t> pixels(8 * 6 * 4, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 4; x < 8; ++x)
            pixels[size_t(y * 8 + x) * 4] = 255;
    const _tagITzBITMAP data = {8, 6, 32, 32, PTzCOLORMODE_ARGB, pixels.data()};
    wide->SetRectData(&bounds, &data);
    ASSERT_EQ(picture->InsertLayer(1, wide), 0);
    const struct {
        PTzPOINT point;
        int read;
        uint8_t red, green;
    } cases[] = {
        {{3, 2}, 1, 120, 100}, {{0, 0}, 1, 0, 0},  {{2, 1}, 0, 0, 0},   // transparent
        {{-1, 0}, 0, 0, 0},    {{0, -1}, 0, 0, 0}, {{4, 0}, 0, 0, 0},   // right of the picture
        {{0, 3}, 0, 0, 0},     {{5, 4}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        _tagPTzCOLOR colour = {PTzCOLORMODE_RGB, 7, {7, 7, 7}};
        EXPECT_EQ(PickPictureColor(picture, &c.point, &colour), c.read) << c.point.x << "," << c.point.y;
        if (c.read) {
            EXPECT_EQ(colour.mode, PTzCOLORMODE_ARGB);
            EXPECT_EQ(colour.alpha, 255);
            EXPECT_EQ(colour.components[0], c.red);
            EXPECT_EQ(colour.components[1], c.green);
            EXPECT_EQ(colour.components[2], 9);
        } else {
            EXPECT_EQ(colour.alpha, 7) << "the record stays as it was";
        }
    }
    // The layer does hold pixels out there: reading them is what the pick refuses.
    uint8_t beyond[4] = {};
    _tagITzBITMAP one = {1, 1, 4, 32, PTzCOLORMODE_ARGB, beyond};
    const PTzRECT outside = {5, 1, 6, 2};
    _tagITzZOOMLEVEL zoom = {1, 1};
    picture->GetPreviewData(&outside, &one, &zoom, 0);
    EXPECT_EQ(beyond[0], 255);
    EXPECT_EQ(PickPictureColor(nullptr, &cases[0].point, nullptr), 0);
    ITzPictDestroy(handle);
}

}  // namespace
