// The text model: shared fonts and glyphs counted by reference, row metrics and hits,
// and drawing rows into an ARGB channel bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/picture/text_manager.h"
#include "engine/picture/text_row.h"
#include "text_test_support.h"

using namespace text_test;

namespace {

_tagITzTEXTCHARENTRY Entry(ITzTextManager& manager, const _tagPTzFONTDATAINFO& font, char16_t code)
{
    return {Rgb(0, 0, 0), manager.GetCharacter(&font, uint16_t(code))};
}

}  // namespace

TEST(TextModel, RecordsThatMakeOneFontShareOneListedFont)
{
    ITzTextManager manager;
    ITzTextFontList& fonts = *manager.GetFontList();
    _tagPTzFONTDATAINFO unterminated = Sans();
    std::fill(std::begin(unterminated.faceName), std::end(unterminated.faceName), u'x');
    _tagPTzFONTDATAINFO longer = unterminated;
    longer.faceName[31] = u'y';  // cut at 31 units either way
    _tagPTzFONTDATAINFO weightZero = Sans();
    weightZero.weight = 0;  // the regular weight
    _tagPTzFONTDATAINFO junkAfterName = Sans();
    junkAfterName.faceName[20] = u'!';
    ITzTextFont* a = fonts.GetFont(&unterminated);
    ITzTextFont* b = fonts.GetFont(&longer);
    ITzTextFont* c = fonts.GetFont(&weightZero);
    ITzTextFont* d = fonts.GetFont(&junkAfterName);
    ITzTextFont* sans = fonts.GetFont(At(Sans()));
    EXPECT_EQ(a, b);
    EXPECT_EQ(c, sans);
    EXPECT_EQ(d, sans);
    EXPECT_EQ(a->GetInfo().faceName[31], 0);
    EXPECT_EQ(fonts.GetItemCount(), 2u);
    // Sorted by the height's 16 bits first (-30 is 0xFFE2, -16 0xFFF0): the list's
    // order is what the file's table follows.
    ITzTextFont* big = fonts.GetFont(At(Sans(-30)));
    uint32_t small = 0, large = 0;
    ASSERT_TRUE(fonts.IndexOf(sans, &small) && fonts.IndexOf(big, &large));
    EXPECT_LT(large, small);
    for (ITzTextFont* font : {a, b, c, d, sans, big})
        fonts.Release(font);
    EXPECT_EQ(fonts.GetItemCount(), 0u);
}

TEST(TextModel, CharactersOfOneCodeAndFontShareAGlyphThatOutlivesEachHolder)
{
    ITzTextManager manager;
    auto first = std::make_unique<ITzTextRow>();
    auto second = std::make_unique<ITzTextRow>();
    first->AppendCharacter(Entry(manager, Sans(), u'a'));
    second->AppendCharacter(Entry(manager, Sans(), u'a'));
    second->AppendCharacter(Entry(manager, Serif(), u'a'));
    _tagITzTEXTCHARENTRY x, y, z;
    first->GetEntry(0, &x);
    second->GetEntry(0, &y);
    second->GetEntry(1, &z);
    EXPECT_EQ(x.glyph, y.glyph);
    EXPECT_NE(x.glyph, z.glyph);
    EXPECT_EQ(manager.GetCharacterList()->GetItemCount(), 2u);
    first.reset();
    EXPECT_EQ(manager.GetCharacterList()->GetItemCount(), 2u);
    EXPECT_EQ(y.glyph->GetCode(), u'a');
    EXPECT_GT(y.glyph->GetAdvance(), 0);
    second.reset();
    EXPECT_EQ(manager.GetCharacterList()->GetItemCount(), 0u);
    EXPECT_EQ(manager.GetFontList()->GetItemCount(), 0u);
}

TEST(TextModel, RowMetricsFollowTheLargestFontAndHitsCountFromHalfAnAdvance)
{
    ITzTextManager manager;
    ITzTextRow row;
    row.AppendCharacter(Entry(manager, Sans(-12), u'A'));
    row.AppendCharacter(Entry(manager, Sans(-20), u'B'));
    row.UpdateMetrics();
    int32_t ascent = 0, descent = 0;
    const _tagPTzFONTDATAINFO big = Sans(-20);
    PTzFontYInfoByFontInfo(&big, &ascent, &descent);
    EXPECT_EQ(row.GetAscent(), ascent);
    EXPECT_EQ(row.GetDescent(), descent);
    _tagITzTEXTCHARENTRY a;
    row.GetEntry(0, &a);
    const int32_t advance = a.glyph->GetAdvance();
    EXPECT_EQ(row.GetCharIndexFromX(0), 0u);
    EXPECT_EQ(row.GetCharIndexFromX((advance + 1) / 2 - 1), 0u);
    EXPECT_EQ(row.GetCharIndexFromX((advance + 1) / 2), 1u);
    EXPECT_EQ(row.GetCharIndexFromX(1 << 20), 2u);
    EXPECT_EQ(row.GetXOffset(1), advance);
}

TEST(TextModel, TheRowBreakAndBlanksTakeNoInkAndGetNoImage)
{
    ITzTextManager manager;
    ITzTextCharacter* lineBreak = manager.GetCharacter(At(Sans()), ITzTEXT_ROW_BREAK);
    ITzTextCharacter* space = manager.GetCharacter(At(Sans()), u' ');
    ITzTextCharacter* letter = manager.GetCharacter(At(Sans()), u'x');
    EXPECT_EQ(lineBreak->GetAdvance(), 0);
    EXPECT_EQ(lineBreak->GetImage(), nullptr);
    EXPECT_GT(space->GetAdvance(), 0);
    EXPECT_EQ(space->GetInkWidth(), 0);
    EXPECT_EQ(space->GetImage(), nullptr);
    const _tagPTzBITMAP_8* image = letter->GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, letter->GetInkWidth());
    EXPECT_EQ(letter->GetImage(), image);  // made once
    for (ITzTextCharacter* glyph : {lineBreak, space, letter})
        glyph->Release();
}

// A glyph whose ink starts left of its place (an italic 'j' at the row's start) and rows
// drawn across the edges of the rectangle stay inside the target, whose guard bytes
// around it must come out untouched.
TEST(TextModel, GlyphsAreClippedToTheRectangleAndTheTarget)
{
    ITzTextManager manager;
    _tagPTzFONTDATAINFO italic = Sans(-40);
    italic.italic = 1;
    ITzTextRow row;
    for (char16_t c : std::u16string(u"jfjWj"))
        row.AppendCharacter({Rgb(200, 100, 50), manager.GetCharacter(&italic, uint16_t(c))});
    row.UpdateMetrics();
    _tagITzTEXTCHARENTRY first;
    row.GetEntry(0, &first);
    ASSERT_LT(first.glyph->GetA(), 0);

    constexpr int32_t kGuard = 16, kWidth = 40, kHeight = 30, kStride = kWidth + 2 * kGuard;
    struct Case {
        PTzRECT clip;
        int64_t x, y;
    };
    for (const Case& c : {Case{{0, 0, kWidth, kHeight}, 0, 0}, Case{{0, 0, kWidth, kHeight}, -30, -20},
                          Case{{5, 5, 20, 20}, 3, 0}, Case{{-50, -50, 500, 500}, 10, 10}}) {
        std::vector<uint8_t> planes[4];
        _tagITzCHANNELBITMAP bitmap = {kWidth, kHeight, kStride, PTzCOLORMODE_ARGB, {}};
        for (int p = 0; p < 4; ++p) {
            planes[p].assign(size_t(kStride) * (kHeight + 2 * kGuard), 0xA5);
            bitmap.planes[p] = planes[p].data() + kGuard * kStride + kGuard;
            for (int32_t y = 0; y < kHeight; ++y)
                std::fill_n(bitmap.planes[p] + y * kStride, kWidth, uint8_t(0));
        }
        row.Draw(&bitmap, c.clip, c.x, c.y);
        int inked = 0;
        for (int p = 0; p < 4; ++p)
            for (int32_t y = -kGuard; y < kHeight + kGuard; ++y)
                for (int32_t x = -kGuard; x < kWidth + kGuard; ++x) {
                    const uint8_t value = bitmap.planes[p][y * kStride + x];
                    const bool inside = x >= std::max(0, c.clip.left) && x < std::min(kWidth, c.clip.right) &&
                                        y >= std::max(0, c.clip.top) && y < std::min(kHeight, c.clip.bottom);
                    const bool target = x >= 0 && x < kWidth && y >= 0 && y < kHeight;
                    if (!target) {
                        ASSERT_EQ(value, 0xA5) << p << " " << x << "," << y;
                    } else if (!inside) {
                        ASSERT_EQ(value, 0) << p << " " << x << "," << y;
                    }
                    inked += p == 0 && inside && value != 0;
                }
        EXPECT_GT(inked, 0);
    }
}

TEST(TextModel, CoverageOverPartlyCoveredPixelsMovesTheColourByItsShare)
{
    ITzTextManager manager;
    ITzTextRow row;
    row.AppendCharacter({Rgb(255, 0, 0), manager.GetCharacter(At(Sans(-60)), u'O')});
    row.UpdateMetrics();
    const int32_t width = row.GetWidth(), height = row.GetHeight();
    std::vector<uint8_t> planes[4];
    _tagITzCHANNELBITMAP bitmap = {width, height, width, PTzCOLORMODE_ARGB, {}};
    for (int p = 0; p < 4; ++p) {
        planes[p].assign(size_t(width) * height, p == 0 ? 128 : p == 3 ? 255 : 0);  // half-transparent blue
        bitmap.planes[p] = planes[p].data();
    }
    row.Draw(&bitmap, {0, 0, width, height}, 0, 0);
    bool full = false, partial = false;
    for (size_t i = 0; i < planes[0].size(); ++i) {
        const int red = planes[1][i], blue = planes[3][i], alpha = planes[0][i];
        EXPECT_GE(alpha, 128);
        EXPECT_EQ(red + blue >= 254 && red + blue <= 256, true) << i;  // a mix of the two colours
        full = full || (red == 255 && alpha == 255);
        partial = partial || (red > 0 && red < 255);
    }
    EXPECT_TRUE(full);
    EXPECT_TRUE(partial);
}
