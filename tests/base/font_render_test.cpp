// Coverage rendering into bitmaps with guard bytes all around: no write may land
// outside the bitmap, whatever the characters, and the ink lands where it belongs.
#include "base/font_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "base/error_codes.h"
#include "base/font_measure.h"
#include "font_test_support.h"

namespace {

constexpr int32_t kGuard = 16;
constexpr uint8_t kGuardByte = 0xA5;

// A bitmap inside guard rows above and below and guard columns left and right (the
// columns between one row's end and the next row's start).
class GuardedBitmap {
public:
    GuardedBitmap(int32_t width, int32_t height, uint8_t fill = 0x77)
        : m_stride(width + 2 * kGuard), m_memory(size_t(m_stride) * (height + 2 * kGuard), kGuardByte)
    {
        bitmap = {width, height, m_stride, m_memory.data() + kGuard * m_stride + kGuard};
        for (int32_t y = 0; y < height; ++y)
            std::memset(bitmap.bits + y * m_stride, fill, size_t(width));
    }

    bool guardsIntact() const
    {
        for (size_t i = 0; i < m_memory.size(); ++i) {
            const int64_t offset = int64_t(i) - (bitmap.bits - m_memory.data());
            const int64_t y = offset >= 0 ? offset / m_stride : -1;
            const int64_t x = offset >= 0 ? offset % m_stride : -1;
            const bool inside = y >= 0 && y < bitmap.height && x < bitmap.width;
            if (!inside && m_memory[i] != kGuardByte)
                return false;
        }
        return true;
    }

    uint8_t at(int32_t x, int32_t y) const { return bitmap.bits[y * m_stride + x]; }

    uint64_t inkSum() const
    {
        uint64_t sum = 0;
        for (int32_t y = 0; y < bitmap.height; ++y)
            for (int32_t x = 0; x < bitmap.width; ++x)
                sum += at(x, y);
        return sum;
    }

    uint64_t columnSum(int32_t x) const
    {
        uint64_t sum = 0;
        for (int32_t y = 0; y < bitmap.height; ++y)
            sum += at(x, y);
        return sum;
    }

    _tagPTzBITMAP_8 bitmap{};

private:
    int32_t m_stride;
    std::vector<uint8_t> m_memory;
};

_tagPTzTEXTSTRINGDATA textData(const _tagPTzFONTDATAINFO& font, std::u16string_view text)
{
    _tagPTzTEXTSTRINGDATA data{};
    data.font = font;
    data.text = text.data();
    data.length = uint32_t(text.size());
    return data;
}

_tagPTzSIZE textSize(const _tagPTzTEXTSTRINGDATA& data)
{
    _tagPTzSIZE size{};
    EXPECT_EQ(PTzGetTextSize(&data, &size), 1);
    return size;
}

struct Cell {
    int32_t ascent = 0;
    int32_t descent = 0;
};

Cell cellOf(_tagPTzFONT* font)
{
    Cell cell;
    EXPECT_EQ(PTzFontYInfoByHFont(font, &cell.ascent, &cell.descent), 1);
    return cell;
}

// Italic overhangs, accents (precomposed, combining and stacked), surrogate pairs
// (present and missing), lone halves, control characters and line breaks.
const std::u16string_view kAwkwardTexts[] = {
    u"fjfjf", u"\u00C5\u01FA\u00E9e\u0301\u0301\u0301", u"\U0001D400\U00010348",
    std::u16string_view(u"\xD800x\xDC00", 3), std::u16string_view(u"\x01\t\x7F\x00\x1B", 5),
    u"W\r\n\r\nW\n\rW",
};

TEST(DrawTextToBitmap, AwkwardTextsStayInsideBitmapsOfAnySize)
{
    for (const auto& record : {fontRecord(u"DejaVu Serif", -40, 1), fontRecord(u"DejaVu Sans", 18, 0, 700, 1),
                               fontRecord(u"DejaVu Sans Light", -25, 1, 900)}) {
        for (std::u16string_view text : kAwkwardTexts) {
            const _tagPTzTEXTSTRINGDATA data = textData(record, text);
            const _tagPTzSIZE size = textSize(data);
            for (const _tagPTzSIZE bitmapSize : {size, _tagPTzSIZE{3, 2}, _tagPTzSIZE{size.cx / 2, size.cy / 3},
                                                 _tagPTzSIZE{size.cx + 40, size.cy + 40}}) {
                GuardedBitmap target(bitmapSize.cx, bitmapSize.cy);
                ASSERT_EQ(PTzDrawTextToBitmap(&target.bitmap, &data), 1);
                EXPECT_TRUE(target.guardsIntact());
            }
        }
    }
}

TEST(DrawTextToBitmap, EmptyTextClearsTheBitmapAndRendersNothing)
{
    GuardedBitmap target(30, 20);
    const _tagPTzTEXTSTRINGDATA data = textData(fontRecord(u"DejaVu Sans", -16, 0, 400, 1), u"");
    ASSERT_EQ(PTzDrawTextToBitmap(&target.bitmap, &data), 1);
    EXPECT_EQ(target.inkSum(), 0u);
    EXPECT_TRUE(target.guardsIntact());
}

TEST(DrawTextToBitmap, LaterLinesAreTheFirstMovedDownByTheCellHeight)
{
    const auto record = fontRecord(u"DejaVu Sans", 20);
    GuardedBitmap one(40, 60, 0);
    GuardedBitmap three(40, 60, 0);
    const auto single = textData(record, u"Ag");
    const auto lines = textData(record, u"\nAg\r\n");
    ASSERT_EQ(PTzDrawTextToBitmap(&one.bitmap, &single), 1);
    ASSERT_EQ(PTzDrawTextToBitmap(&three.bitmap, &lines), 1);
    ASSERT_GT(one.inkSum(), 0u);
    EXPECT_EQ(one.inkSum(), three.inkSum());
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(one.at(x, y), three.at(x, y + 20)) << x << ',' << y;
}

TEST(DrawTextToBitmap, ALaterGlyphNeverDimsTheInkOfAnEarlierOne)
{
    // An italic f reaches over the box of the glyph after it.
    const auto record = fontRecord(u"DejaVu Serif", -40, 1);
    for (const std::u16string_view text : {u"fj", u"fl", u"ff"}) {
        const auto pair = textData(record, text);
        const auto first = textData(record, text.substr(0, 1));
        const _tagPTzSIZE size = textSize(pair);
        GuardedBitmap both(size.cx, size.cy);
        GuardedBitmap alone(size.cx, size.cy);
        ASSERT_EQ(PTzDrawTextToBitmap(&both.bitmap, &pair), 1);
        ASSERT_EQ(PTzDrawTextToBitmap(&alone.bitmap, &first), 1);
        ASSERT_GT(alone.inkSum(), 0u);
        for (int32_t y = 0; y < size.cy; ++y)
            for (int32_t x = 0; x < size.cx; ++x)
                ASSERT_GE(both.at(x, y), alone.at(x, y)) << char(text[1]) << ' ' << x << ',' << y;
    }
}

TEST(DrawTextToBitmap, UnderlineIsAFullRowBelowTheBaseline)
{
    const auto plain = textData(fontRecord(u"DejaVu Sans", -16), u"Hello");
    const auto underlined = textData(fontRecord(u"DejaVu Sans", -16, 0, 400, 1), u"Hello");
    const _tagPTzSIZE size = textSize(plain);
    GuardedBitmap a(size.cx, size.cy);
    GuardedBitmap b(size.cx, size.cy);
    ASSERT_EQ(PTzDrawTextToBitmap(&a.bitmap, &plain), 1);
    ASSERT_EQ(PTzDrawTextToBitmap(&b.bitmap, &underlined), 1);
    const auto fullRows = [&](const GuardedBitmap& target) {
        std::vector<int32_t> rows;
        for (int32_t y = 0; y < size.cy; ++y) {
            bool full = true;
            for (int32_t x = 0; x < size.cx; ++x)
                full = full && target.at(x, y) == 255;
            if (full)
                rows.push_back(y);
        }
        return rows;
    };
    EXPECT_TRUE(fullRows(a).empty());
    const std::vector<int32_t> rows = fullRows(b);
    ASSERT_FALSE(rows.empty());
    const int32_t ascent = int32_t(std::lround(1901.0 * 16 / 2048));
    EXPECT_GE(rows.front(), ascent);
    EXPECT_LT(rows.back(), size.cy);
}

TEST(DrawTextToBitmap, BadArgumentsLeaveTheBitmapUntouched)
{
    const auto data = textData(fontRecord(u"DejaVu Sans", -16), u"Hello");
    GuardedBitmap target(20, 20);
    const auto refused = [&](_tagPTzBITMAP_8 bitmap, const _tagPTzTEXTSTRINGDATA* text) {
        PTzSetLastError(0);
        const int result = PTzDrawTextToBitmap(&bitmap, text);
        return result == 0 && PTzGetLastError() == PTzERR_BAD_ARGUMENT;
    };
    const _tagPTzBITMAP_8 good = target.bitmap;
    EXPECT_TRUE(refused({-1, 20, 20, good.bits}, &data));
    EXPECT_TRUE(refused({20, -1, 20, good.bits}, &data));
    EXPECT_TRUE(refused({20, 20, 19, good.bits}, &data));
    EXPECT_TRUE(refused({20, 20, 20, nullptr}, &data));
    EXPECT_TRUE(refused(good, nullptr));
    auto noText = data;
    noText.text = nullptr;
    EXPECT_TRUE(refused(good, &noText));
    EXPECT_EQ(PTzDrawTextToBitmap(nullptr, &data), 0);
    EXPECT_EQ(target.inkSum(), uint64_t(0x77) * 400);
    EXPECT_TRUE(target.guardsIntact());
}

class DrawChar : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto record = fontRecord(u"DejaVu Serif", -40, 1);
        font = PTzCreateFont(&record);
        ASSERT_NE(font, nullptr);
        cell = cellOf(font);
    }
    void TearDown() override { PTzReleaseFont(font); }

    _tagPTzCHARACTERWIDTHABC widths(PTzChar c)
    {
        _tagPTzCHARACTERWIDTHABC abc{};
        EXPECT_EQ(PTzGetCharacterWidths(font, c, &abc), 1);
        return abc;
    }

    _tagPTzFONT* font = nullptr;
    Cell cell;
};

TEST_F(DrawChar, GlyphBitmapOfBByCellKeepsTheItalicOverhang)
{
    for (PTzChar c : {u'f', u'j'}) {
        const _tagPTzCHARACTERWIDTHABC abc = widths(c);
        ASSERT_LT(abc.A, 0);
        GuardedBitmap glyph(abc.B, cell.ascent + cell.descent);
        ASSERT_EQ(PTzDrawCharToBitmap(&glyph.bitmap, font, c), 1);
        EXPECT_TRUE(glyph.guardsIntact());
        EXPECT_GT(glyph.columnSum(0), 0u);  // the ink starts at column 0

        // The same character drawn after two spaces, where nothing of it is cut off:
        // coverage adds up to the same ink area whatever the sub-pixel phase.
        const PTzChar text[] = {u' ', u' ', c};
        const auto reference = textData(fontRecord(u"DejaVu Serif", -40, 1), std::u16string_view(text, 3));
        const _tagPTzSIZE size = textSize(reference);
        GuardedBitmap whole(size.cx + 40, size.cy);
        ASSERT_EQ(PTzDrawTextToBitmap(&whole.bitmap, &reference), 1);
        EXPECT_NEAR(double(glyph.inkSum()), double(whole.inkSum()), 0.005 * double(whole.inkSum())) << char(c);
    }
}

TEST_F(DrawChar, InkSitsOnTheBaselineAtTheAscent)
{
    GuardedBitmap glyph(widths(u'x').B, cell.ascent + cell.descent);
    ASSERT_EQ(PTzDrawCharToBitmap(&glyph.bitmap, font, u'x'), 1);
    uint64_t below = 0;
    for (int32_t y = cell.ascent; y < glyph.bitmap.height; ++y)
        for (int32_t x = 0; x < glyph.bitmap.width; ++x)
            below += glyph.at(x, y);
    uint64_t lastRowAbove = 0;
    for (int32_t x = 0; x < glyph.bitmap.width; ++x)
        lastRowAbove += glyph.at(x, cell.ascent - 1);
    EXPECT_EQ(below, 0u);
    EXPECT_GT(lastRowAbove, 0u);
}

TEST_F(DrawChar, AwkwardCharactersStayInside)
{
    for (PTzChar c : {u'f', u'j', u'W', PTzChar(0x1FA), PTzChar(0x301), PTzChar(0xD83D), PTzChar(0xDE00),
                      PTzChar(1), PTzChar(0), u'\r', u' '}) {
        const _tagPTzCHARACTERWIDTHABC abc = widths(c);
        for (const _tagPTzSIZE size : {_tagPTzSIZE{abc.B, cell.ascent + cell.descent}, _tagPTzSIZE{1, 1},
                                       _tagPTzSIZE{abc.B + 30, 3}, _tagPTzSIZE{0, 5}}) {
            GuardedBitmap glyph(size.cx, size.cy);
            ASSERT_EQ(PTzDrawCharToBitmap(&glyph.bitmap, font, c), 1);
            EXPECT_TRUE(glyph.guardsIntact()) << int(c);
        }
    }
}

TEST_F(DrawChar, BadArgumentsLeaveTheBitmapUntouched)
{
    GuardedBitmap glyph(10, 10);
    _tagPTzBITMAP_8 narrow = glyph.bitmap;
    narrow.stride = 9;
    EXPECT_EQ(PTzDrawCharToBitmap(&narrow, font, u'x'), 0);
    EXPECT_EQ(PTzDrawCharToBitmap(&glyph.bitmap, nullptr, u'x'), 0);
    EXPECT_EQ(PTzDrawCharToBitmap(nullptr, font, u'x'), 0);
    EXPECT_EQ(glyph.inkSum(), uint64_t(0x77) * 100);
}

// A character drawn by itself in its font: B columns by the cell, the baseline at the ascent.
struct Drawn {
    Cell cell;
    GuardedBitmap image;
};

Drawn drawAlone(const _tagPTzFONTDATAINFO& record, PTzChar c)
{
    _tagPTzFONT* font = PTzCreateFont(&record);
    EXPECT_NE(font, nullptr);
    _tagPTzCHARACTERWIDTHABC abc{};
    EXPECT_EQ(PTzGetCharacterWidths(font, c, &abc), 1);
    const Cell cell = cellOf(font);
    Drawn drawn{cell, GuardedBitmap(abc.B, cell.ascent + cell.descent)};
    EXPECT_EQ(PTzDrawCharToBitmap(&drawn.image.bitmap, font, c), 1);
    PTzReleaseFont(font);
    return drawn;
}

TEST(FallbackGlyphs, ALentGlyphShowsTheLendersInkOnTheFontsBaseline)
{
    for (const auto& [italic, weight] : {std::pair<uint8_t, uint16_t>{0, 400}, {1, 700}}) {
        const Drawn lent = drawAlone(fontRecord(u"DejaVu Sans", -40, italic, weight), PTzChar(0x6F22));
        const Drawn own = drawAlone(fontRecord(u"Droid Sans Fallback", -40, italic, weight), PTzChar(0x6F22));
        ASSERT_EQ(lent.image.bitmap.width, own.image.bitmap.width);
        ASSERT_GT(own.image.inkSum(), 0u);
        EXPECT_EQ(lent.image.inkSum(), own.image.inkSum());
        const int32_t above = std::min(lent.cell.ascent, own.cell.ascent);
        const int32_t below = std::min(lent.cell.descent, own.cell.descent);
        for (int32_t y = -above; y < below; ++y)
            for (int32_t x = 0; x < own.image.bitmap.width; ++x)
                ASSERT_EQ(lent.image.at(x, lent.cell.ascent + y), own.image.at(x, own.cell.ascent + y)) << x << ',' << y;
    }
}

}  // namespace
