// The print operation on real pictures: planar bitmaps drawn by kind, the destination
// walked in 256 x 256 blocks with its percentage, exact colours at 1/1 on a QImage
// target (transparent areas and the mask-editing overlay leave the paper white), the
// clipped source, and the starts that must fail.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <vector>

#include "app/shell/bitmap_draw.h"
#include "app/shell/op_print.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/resample.h"
#include "engine/tools/tool_mask.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

constexpr QRgb kPaper = qRgb(9, 9, 9);

struct Picture {
    Picture(int32_t width, int32_t height, const std::function<uint32_t(int, int)>& argb)
        : handle(MakeArgbPicture(width, height, argb))
    {
    }
    ~Picture() { ITzPictDestroy(handle); }
    ITzPicture* operator->() const { return ITzPictGetPictureClass(handle); }
    ITzPicture* get() const { return ITzPictGetPictureClass(handle); }
    void* handle;
};

// Left half red, right half blue, the bottom right quarter transparent.
uint32_t Halves(int x, int y)
{
    if (x >= 4 && y >= 4)
        return 0x00000000;
    return x < 4 ? 0xFFFF0000u : 0xFF0000FFu;
}

QImage Paper(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kPaper);
    return image;
}

TEST(ChannelBitmapDraw, DrawsColourKindsFromTheirPlanesAndNothingElse)
{
    std::vector<uint8_t> planes[4] = {std::vector<uint8_t>(6, 7), std::vector<uint8_t>(6, 10),
                                      std::vector<uint8_t>(6, 20), std::vector<uint8_t>(6, 30)};
    planes[1][4] = 200;  // pixel (1, 1) of a 3 x 2 bitmap
    const struct {
        int32_t kind;
        bool withBlue;
        QRgb drawn;
    } cases[] = {
        {PTzCOLORMODE_ARGB, true, qRgb(200, 20, 30)},  // alpha ignored
        {PTzCOLORMODE_RGB, true, qRgb(200, 20, 30)},
        {PTzCOLORMODE_GRAY, true, kPaper},
        {PTzCOLORMODE_BGR, true, kPaper},
        {PTzCOLORMODE_RGB, false, kPaper},  // a colour plane missing
    };
    for (const auto& c : cases) {
        const _tagITzCHANNELBITMAP bitmap = {
            3, 2, 3, c.kind, {planes[0].data(), planes[1].data(), planes[2].data(), c.withBlue ? planes[3].data() : nullptr}};
        QImage target = Paper(8, 8);
        QPainter painter(&target);
        const PTzRECT rect = {4, 5, 6, 7};  // one column narrower than the bitmap
        ITzITzChannelBitmapDraw(&painter, &bitmap, &rect);
        ITzITzChannelBitmapDraw(nullptr, &bitmap, &rect);
        ITzITzChannelBitmapDraw(&painter, nullptr, &rect);
        painter.end();
        EXPECT_EQ(target.pixel(5, 6), c.drawn) << "kind " << c.kind;
        EXPECT_EQ(target.pixel(6, 6), kPaper) << "nothing past the rectangle";
    }
}

TEST(OpPrint, WalksTheDestinationInBlocksAndReachesOneHundredPercent)
{
    Picture picture(8, 8, Halves);
    QImage target = Paper(700, 400);
    QPainter painter(&target);
    COpPrint print;
    const PTzRECT source = {0, 0, 8, 8};
    const PTzRECT dest = {50, 60, 650, 360};  // 600 x 300: columns of 256, 256, 88; rows of 256, 44
    print.Set(picture.get(), &painter, &source, &dest, ITzRESAMPLE_BILINEAR);
    ASSERT_EQ(print.Start(), 1);
    std::vector<uint32_t> percents;
    uint32_t percent = 0;
    while (print.Step(&percent))
        percents.push_back(percent);
    EXPECT_EQ(percents, (std::vector<uint32_t>{36, 72, 85, 91, 97, 100}));
    EXPECT_EQ(print.End(), 1);
    painter.end();
    EXPECT_EQ(target.pixel(50, 60), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(649, 60), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(649, 359), qRgb(255, 255, 255));  // transparent: the paper's white
    EXPECT_EQ(target.pixel(49, 60), kPaper);
    EXPECT_EQ(target.pixel(650, 359), kPaper);
}

TEST(OpPrint, PrintsExactColoursAtOneToOneAndLeavesTheMaskOverlayOut)
{
    Picture picture(8, 8, Halves);
    ITzToolMask mask;
    const PTzRECT selected = {0, 0, 3, 3};
    ASSERT_EQ(mask.DrawRectSelection(picture.get(), &selected, 255, ITzSELECTION_REPLACE), 1);
    picture->SetMaskEditingMode(1);
    const struct {
        PTzRECT source;
        QRgb topLeft, bottomRight;
    } cases[] = {
        {{0, 0, 8, 8}, qRgb(255, 0, 0), qRgb(255, 255, 255)},
        {{4, 0, 8, 4}, qRgb(0, 0, 255), qRgb(0, 0, 255)},           // a clipped source: its own part
        {{2, 3, 6, 7}, qRgb(255, 0, 0), qRgb(255, 255, 255)},
    };
    for (const auto& c : cases) {
        QImage target = Paper(20, 20);
        QPainter painter(&target);
        const PTzRECT dest = {5, 6, 5 + int32_t(PTzRectWidth(c.source)), 6 + int32_t(PTzRectHeight(c.source))};
        EXPECT_EQ(COpPrint::RunBilinear(nullptr, picture.get(), &painter, c.source, dest), 1);
        painter.end();
        EXPECT_EQ(target.pixel(5, 6), c.topLeft) << c.source.left << "," << c.source.top;
        EXPECT_EQ(target.pixel(dest.right - 1, dest.bottom - 1), c.bottomRight) << c.source.left << "," << c.source.top;
        for (int y = dest.top; y < dest.bottom; ++y) {
            for (int x = dest.left; x < dest.right; ++x) {
                const QRgb expected = qRgb(0, 0, 0) | (Halves(x - 5 + c.source.left, y - 6 + c.source.top) >> 24
                                                           ? Halves(x - 5 + c.source.left, y - 6 + c.source.top)
                                                           : 0xFFFFFFFFu);
                ASSERT_EQ(target.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(OpPrint, ADestinationPastFourBillionPixelsCountsItsTrueArea)
{
    Picture picture(8, 8, Halves);
    QImage target = Paper(300, 300);
    QPainter painter(&target);
    COpPrint print;
    const PTzRECT source = {0, 0, 8, 8};
    const PTzRECT dest = {0, 0, 100000, 50000};  // 5e9 pixels: 32 bits would wrap
    print.Set(picture.get(), &painter, &source, &dest, ITzRESAMPLE_BILINEAR);
    ASSERT_EQ(print.Start(), 1);
    uint32_t percent = 77;
    EXPECT_EQ(print.Step(&percent), 1);
    EXPECT_EQ(percent, 0u);
    EXPECT_EQ(print.Cancel(), 1);
}

TEST(OpPrint, StartFailsWithoutItsInputsAndForOtherResampleTypes)
{
    Picture picture(8, 8, Halves);
    QImage target = Paper(20, 20);
    QPainter painter(&target);
    const PTzRECT whole = {0, 0, 8, 8};
    const PTzRECT empty = {3, 3, 3, 9};
    const struct {
        ITzPicture* picture;
        QPainter* painter;
        const PTzRECT* source;
        const PTzRECT* dest;
        uint32_t type;
    } cases[] = {
        {picture.get(), &painter, &whole, &whole, ITzRESAMPLE_NEAREST},
        {nullptr, &painter, &whole, &whole, ITzRESAMPLE_BILINEAR},
        {picture.get(), nullptr, &whole, &whole, ITzRESAMPLE_BILINEAR},
        {picture.get(), &painter, &empty, &whole, ITzRESAMPLE_BILINEAR},
        {picture.get(), &painter, &whole, nullptr, ITzRESAMPLE_BILINEAR},
    };
    for (const auto& c : cases) {
        COpPrint print;
        print.Set(c.picture, c.painter, c.source, c.dest, c.type);
        EXPECT_EQ(print.Run(), 0);
    }
    painter.end();
    EXPECT_EQ(target.pixel(0, 0), kPaper);
    EXPECT_EQ(target.pixel(7, 7), kPaper);
}

}  // namespace
