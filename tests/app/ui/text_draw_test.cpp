// The program's label drawing on an image: where the flags put the line, the word
// ellipsis, and the fixed-height form's size and the font it leaves behind.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <string>

#include "app/ui/text_draw.h"

namespace {

// The ink's bounds (black-ish pixels) in the image; empty without ink.
QRect InkOf(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

struct Drawn {
    QRect ink;
    int result;
};

Drawn Draw(const std::u16string& text, const PTzRECT& rect, uint32_t flags, bool fixHeight = false,
           QSize size = {200, 100})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int result = fixHeight ? PTzDrawTextFixHeight(&painter, text.c_str(), uint32_t(text.size()), &rect, flags)
                                 : PTzDrawText(&painter, text.c_str(), uint32_t(text.size()), &rect, flags);
    EXPECT_EQ(painter.font().pixelSize(), 12) << "the painter's font is left as it was";
    painter.end();
    return {InkOf(image), result};
}

TEST(DrawText, FlagsPlaceTheLineInsideItsRectangle)
{
    const PTzRECT rect = {20, 10, 180, 90};  // 160 x 80
    const struct {
        uint32_t flags;
        int column;  // -1 left, 0 centre, 1 right
        int row;     // -1 top, 0 centre, 1 bottom
    } cases[] = {
        {0, -1, -1},
        {20, -1, -1},  // bits of no placement
        {PTzDT_CENTER, 0, -1},
        {PTzDT_RIGHT, 1, -1},
        {PTzDT_VCENTER, -1, 0},
        {PTzDT_BOTTOM, -1, 1},
        {PTzDT_CENTER | PTzDT_VCENTER, 0, 0},
        {PTzDT_RIGHT | PTzDT_BOTTOM, 1, 1},
        {PTzDT_CENTER | PTzDT_RIGHT, 0, -1},  // centre wins
    };
    for (const auto& c : cases) {
        const Drawn drawn = Draw(u"WWW", rect, c.flags);
        ASSERT_FALSE(drawn.ink.isEmpty()) << c.flags;
        EXPECT_GT(drawn.result, 0);
        EXPECT_TRUE(QRect(20, 10, 160, 80).contains(drawn.ink)) << c.flags;
        const int left = drawn.ink.left() - 20, right = 180 - drawn.ink.right() - 1;
        const int top = drawn.ink.top() - 10, bottom = 90 - drawn.ink.bottom() - 1;
        const int across = c.column < 0 ? left : c.column > 0 ? right : std::abs(left - right);
        const int down = c.row < 0 ? top : c.row > 0 ? bottom : std::abs(top - bottom);
        EXPECT_LE(across, 4) << c.flags << " left " << left << " right " << right;
        EXPECT_LE(down, 6) << c.flags << " top " << top << " bottom " << bottom;
    }
}

TEST(DrawText, TheEllipsisKeepsALongLineShortOfTheRightEdgeWhereClippingWouldReachIt)
{
    const std::u16string longText = u"Background layer with a very long name";
    const PTzRECT rect = {10, 10, 90, 40};
    const Drawn clipped = Draw(longText, rect, PTzDT_VCENTER);
    const Drawn cut = Draw(longText, rect, PTzDT_VCENTER | PTzDT_WORD_ELLIPSIS);
    EXPECT_GE(clipped.ink.right(), 87) << "without the flag the line runs to the edge, clipped";
    EXPECT_TRUE(QRect(10, 10, 80, 30).contains(cut.ink));
    EXPECT_LT(cut.ink.right(), 89);
    // A line that fits is drawn whole either way.
    EXPECT_EQ(Draw(u"Layer 1", {10, 10, 190, 40}, PTzDT_WORD_ELLIPSIS).ink, Draw(u"Layer 1", {10, 10, 190, 40}, 0).ink);
}

TEST(DrawText, TheWordEllipsisCutsAtAWordEndAndDrawsWhatItCut)
{
    QFont font;
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    // 63 units: the longest name a layer holds.
    const QString words = QStringLiteral("Evening light over the harbour wall, second pass with glazes ab");
    ASSERT_EQ(words.size(), 63);
    const int width = metrics.horizontalAdvance(QStringLiteral("Evening light over the..."));
    const int wWidth = metrics.horizontalAdvance(QStringLiteral("WWW..."));
    const int faceWidth = metrics.horizontalAdvance(QStringLiteral("\U0001F600..."));
    const struct {
        QString text;
        int width;
        QString cut;
    } cases[] = {
        {words, width, QStringLiteral("Evening light over the...")},
        {words, width - 1, QStringLiteral("Evening light over...")},
        {words, metrics.horizontalAdvance(words), words},
        {QString(63, u'W') + QStringLiteral(" end"), wWidth, QStringLiteral("WWW...")},  // a first word too wide
        {words, 0, QStringLiteral("...")},
        {QStringLiteral("\U0001F600\U0001F600\U0001F600 x"), faceWidth, QStringLiteral("\U0001F600...")},  // whole pairs
    };
    for (const auto& c : cases)
        EXPECT_EQ(ElideAtWordEnd(metrics, c.text, c.width), c.cut) << c.text.toStdString() << " in " << c.width;
    // The flag draws exactly the cut.
    const PTzRECT rect = {10, 10, 10 + width - 1, 40};
    const std::u16string cut = u"Evening light over...";
    EXPECT_EQ(Draw(words.toStdU16String(), rect, PTzDT_WORD_ELLIPSIS).ink, Draw(cut, rect, 0).ink);
}

TEST(DrawText, FixedHeightScalesTheFaceToTheRectangleAndRestoresTheFont)
{
    const Drawn small = Draw(u"88", {0, 0, 200, 12}, PTzDT_CENTER | PTzDT_VCENTER, true);
    const Drawn large = Draw(u"88", {0, 0, 200, 60}, PTzDT_CENTER | PTzDT_VCENTER, true);
    ASSERT_FALSE(small.ink.isEmpty());
    ASSERT_FALSE(large.ink.isEmpty());
    // Digits stand about 0.7 of the pixel size.
    EXPECT_NEAR(small.ink.height(), 0.7 * 12, 3);
    EXPECT_NEAR(large.ink.height(), 0.7 * 60, 6);
    EXPECT_TRUE(QRect(0, 0, 200, 60).contains(large.ink));
    // No height, an inverted rectangle: nothing.
    for (const PTzRECT rect : {PTzRECT{0, 10, 200, 10}, PTzRECT{0, 40, 200, 10}}) {
        const Drawn none = Draw(u"88", rect, 0, true);
        EXPECT_TRUE(none.ink.isEmpty());
        EXPECT_EQ(none.result, 0);
    }
    // A rectangle far taller than the image draws what falls inside it, in time.
    EXPECT_FALSE(Draw(u"8", {0, -100000, 200, 100000}, PTzDT_VCENTER, true).ink.isEmpty());
}

TEST(DrawText, NullArgumentsDrawNothing)
{
    QImage image(50, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const PTzRECT rect = {0, 0, 50, 20};
    EXPECT_EQ(PTzDrawText(nullptr, u"a", 1, &rect, 0), 0);
    EXPECT_EQ(PTzDrawText(&painter, u"a", 1, nullptr, 0), 0);
    EXPECT_EQ(PTzDrawText(&painter, nullptr, 3, &rect, 0), 0);
    EXPECT_EQ(PTzDrawTextFixHeight(nullptr, u"a", 1, &rect, 0), 0);
    PTzDrawText(&painter, nullptr, 0, &rect, 0);
    painter.end();
    EXPECT_TRUE(InkOf(image).isEmpty());
}

TEST(DrawText, DrawsOnlyTheUnitsAskedFor)
{
    const auto inkWidth = [](uint32_t chars) {
        QImage image(200, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::black);
        const PTzRECT rect = {0, 0, 200, 30};
        PTzDrawText(&painter, u"WWWWWW", chars, &rect, 0);
        painter.end();
        return InkOf(image).width();
    };
    const int two = inkWidth(2);
    EXPECT_GT(two, 0);
    EXPECT_GT(inkWidth(6), two * 2);
}

}  // namespace
