// Making fonts from stored records (height convention, clamping, substitution,
// synthetic styles), the text port that reports the current font, and measuring.
#include "base/font.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/error_codes.h"
#include "base/font_measure.h"
#include "base/font_text_port.h"
#include "base/memory_test_hooks.h"
#include "font_test_support.h"

namespace {

// DejaVu Sans' Windows metrics (OS/2 usWinAscent, usWinDescent) and em square.
constexpr double kWinAscent = 1901;
constexpr double kWinDescent = 483;
constexpr double kUnitsPerEm = 2048;

struct Cell {
    int32_t ascent = 0;
    int32_t descent = 0;
};

Cell cellOf(const _tagPTzFONTDATAINFO& info)
{
    Cell cell;
    EXPECT_EQ(PTzFontYInfoByFontInfo(&info, &cell.ascent, &cell.descent), 1);
    return cell;
}

// What a text port reports for the font made from info.
_tagPTzFONTDATAINFO madeAs(const _tagPTzFONTDATAINFO& info)
{
    _tagPTzFONTDATAINFO out{};
    _tagPTzFONT* font = PTzCreateFont(&info);
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    EXPECT_NE(font, nullptr);
    EXPECT_NE(port, nullptr);
    if (font && port) {
        PTzSelectFont(port, font);
        EXPECT_EQ(PTzGetFontInfo(port, &out), 1);
    }
    PTzDestoryTextPort(port);
    PTzReleaseFont(font);
    return out;
}

_tagPTzCHARACTERWIDTHABC widthsOf(const _tagPTzFONTDATAINFO& info, PTzChar character)
{
    _tagPTzCHARACTERWIDTHABC abc{};
    _tagPTzFONT* font = PTzCreateFont(&info);
    EXPECT_EQ(PTzGetCharacterWidths(font, character, &abc), 1);
    PTzReleaseFont(font);
    return abc;
}

_tagPTzSIZE sizeOf(const _tagPTzFONTDATAINFO& info, std::u16string_view text)
{
    _tagPTzTEXTSTRINGDATA data{};
    data.font = info;
    data.text = text.data();
    data.length = uint32_t(text.size());
    _tagPTzSIZE size{-1, -1};
    EXPECT_EQ(PTzGetTextSize(&data, &size), 1);
    return size;
}

TEST(FontHeight, PositiveHeightIsTheCellHeightExactly)
{
    for (int16_t height : {1, 2, 7, 13, 20, 24, 37, 100, 999}) {
        for (auto face : {u"DejaVu Sans", u"DejaVu Serif", u"DejaVu Sans Mono"}) {
            const Cell cell = cellOf(fontRecord(face, height));
            EXPECT_EQ(cell.ascent + cell.descent, height);
            EXPECT_GE(cell.descent, 0);
        }
    }
}

TEST(FontHeight, NegativeHeightIsTheEmSizeScaledByTheWindowsMetrics)
{
    for (int16_t em : {1, 8, 12, 16, 20, 33, 72, 500}) {
        const Cell cell = cellOf(fontRecord(u"DejaVu Sans", int16_t(-em)));
        EXPECT_EQ(cell.ascent, std::lround(kWinAscent * em / kUnitsPerEm)) << em;
        EXPECT_EQ(cell.descent, std::lround(kWinDescent * em / kUnitsPerEm)) << em;
    }
}

TEST(FontHeight, ZeroMeansTheDefaultTwelvePixelEm)
{
    const Cell zero = cellOf(fontRecord(u"DejaVu Sans", 0));
    const Cell twelve = cellOf(fontRecord(u"DejaVu Sans", -12));
    EXPECT_EQ(zero.ascent, twelve.ascent);
    EXPECT_EQ(zero.descent, twelve.descent);
    EXPECT_EQ(madeAs(fontRecord(u"DejaVu Sans", 0)).height, 0);
}

TEST(FontHeight, AbsurdHeightsFromFilesAreClampedTo2048)
{
    const Cell huge = cellOf(fontRecord(u"DejaVu Sans", 32767));
    EXPECT_EQ(huge.ascent + huge.descent, 2048);
    const Cell hugeEm = cellOf(fontRecord(u"DejaVu Sans", -32768));
    const Cell maxEm = cellOf(fontRecord(u"DejaVu Sans", -2048));
    EXPECT_EQ(hugeEm.ascent, maxEm.ascent);
    EXPECT_EQ(hugeEm.descent, maxEm.descent);
    EXPECT_EQ(madeAs(fontRecord(u"DejaVu Sans", -32768)).height, -2048);
}

TEST(FontRecord, WeightIsClampedAndZeroMeansRegular)
{
    EXPECT_EQ(madeAs(fontRecord(u"DejaVu Sans", -12, 0, 0)).weight, 400);
    EXPECT_EQ(madeAs(fontRecord(u"DejaVu Sans", -12, 0, 65535)).weight, 1000);
    EXPECT_EQ(madeAs(fontRecord(u"DejaVu Sans", -12, 0, 700)).weight, 700);
}

TEST(FontRecord, NameWithoutTerminatorGetsOne)
{
    _tagPTzFONTDATAINFO info = fontRecord(u"", -12);
    std::fill(std::begin(info.faceName), std::end(info.faceName), u'Q');
    const _tagPTzFONTDATAINFO before = info;
    const _tagPTzFONTDATAINFO made = madeAs(info);
    EXPECT_LE(faceOf(made.faceName).size(), 31u);
    EXPECT_EQ(made.faceName[31], 0);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
}

TEST(FontFace, MissingOrInvalidFaceIsSubstitutedAndReportsTheFaceInUse)
{
    EXPECT_EQ(faceOf(madeAs(fontRecord(u"No Such Face Here", -12)).faceName).substr(0, 6), u"DejaVu");
    const PTzChar loneSurrogate[] = {u'A', PTzChar(0xD800), u'B', 0};
    EXPECT_EQ(faceOf(madeAs(fontRecord(loneSurrogate, -12)).faceName).substr(0, 6), u"DejaVu");
    EXPECT_EQ(faceOf(madeAs(fontRecord(u"", -12)).faceName).substr(0, 6), u"DejaVu");
}

TEST(FontFace, FaceKnownBySeveralNamesReportsTheOneAskedFor)
{
    EXPECT_EQ(faceOf(madeAs(fontRecord(u"DejaVu Sans Condensed", -12)).faceName), u"DejaVu Sans Condensed");
    EXPECT_EQ(faceOf(madeAs(fontRecord(u"dejavu serif", -12)).faceName), u"DejaVu Serif");
}

TEST(FontFace, MissingItalicAndBoldAreSynthesised)
{
    // The light face has neither an italic nor a bold of its own.
    const auto upright = widthsOf(fontRecord(u"DejaVu Sans Light", -100), u'l');
    const auto slanted = widthsOf(fontRecord(u"DejaVu Sans Light", -100, 1), u'l');
    const auto bold = widthsOf(fontRecord(u"DejaVu Sans Light", -100, 0, 700), u'l');
    EXPECT_GT(slanted.B, upright.B + 10);
    EXPECT_GT(bold.B, upright.B);
}

TEST(FontFace, AFaceClosedByOneFontServesTheNextAtItsOwnSizeAndStyle)
{
    const _tagPTzFONTDATAINFO records[] = {fontRecord(u"DejaVu Sans", -100), fontRecord(u"DejaVu Sans", -13),
                                           fontRecord(u"DejaVu Sans Light", -100, 1),
                                           fontRecord(u"DejaVu Sans Light", -100)};
    // Made while all are alive, each font has a face of its own.
    std::vector<_tagPTzFONT*> alive;
    std::vector<_tagPTzCHARACTERWIDTHABC> expected;
    for (const _tagPTzFONTDATAINFO& record : records) {
        alive.push_back(PTzCreateFont(&record));
        ASSERT_NE(alive.back(), nullptr);
        ASSERT_EQ(PTzGetCharacterWidths(alive.back(), u'W', &expected.emplace_back()), 1);
    }
    for (_tagPTzFONT* font : alive)
        PTzReleaseFont(font);
    // Made one at a time, in the other order, each takes a face another font closed.
    for (int round = 0; round < 2; ++round) {
        for (size_t i = std::size(records); i-- > 0;) {
            const _tagPTzCHARACTERWIDTHABC widths = widthsOf(records[i], u'W');
            EXPECT_EQ(widths.A, expected[i].A) << i;
            EXPECT_EQ(widths.B, expected[i].B) << i;
            EXPECT_EQ(widths.C, expected[i].C) << i;
        }
    }
}

TEST(FontFace, NullArgumentsAreRefused)
{
    int32_t a = 0, d = 0;
    PTzSetLastError(0);
    EXPECT_EQ(PTzCreateFont(nullptr), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzReleaseFont(nullptr), 0);
    EXPECT_EQ(PTzFontYInfoByHFont(nullptr, &a, &d), 0);
    const auto info = fontRecord(u"DejaVu Sans", -12);
    EXPECT_EQ(PTzFontYInfoByFontInfo(&info, nullptr, &d), 0);
    EXPECT_EQ(PTzFontYInfoByFontInfo(nullptr, &a, &d), 0);
    _tagPTzCHARACTERWIDTHABC abc{};
    EXPECT_EQ(PTzGetCharacterWidths(nullptr, u'a', &abc), 0);
    EXPECT_EQ(PTzGetCharacterWidths(PTzGetFont(), u'a', nullptr), 0);
}

TEST(FontFace, FailedAllocationGivesNullAndAnError)
{
    const auto info = fontRecord(u"DejaVu Sans", -12);
    PTzSetLastError(0);
    PTzTestSetAllocationCountdown(0);
    _tagPTzFONT* font = PTzCreateFont(&info);
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(port, nullptr);
    EXPECT_NE(PTzGetLastError(), 0);
}

TEST(DefaultFont, IsSharedAndSurvivesRelease)
{
    _tagPTzFONT* font = PTzGetFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(PTzReleaseFont(font), 1);
    EXPECT_EQ(PTzGetFont(), font);
    int32_t a = 0, d = 0;
    EXPECT_EQ(PTzFontYInfoByHFont(font, &a, &d), 1);
    EXPECT_EQ(a + d, std::lround(kWinAscent * 12 / kUnitsPerEm) + std::lround(kWinDescent * 12 / kUnitsPerEm));
}

TEST(TextPort, StartsWithTheDefaultFont)
{
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    ASSERT_NE(port, nullptr);
    _tagPTzFONTDATAINFO info{};
    ASSERT_EQ(PTzGetFontInfo(port, &info), 1);
    EXPECT_EQ(faceOf(info.faceName).substr(0, 6), u"DejaVu");
    EXPECT_EQ(info.height, -12);
    EXPECT_EQ(info.weight, 400);
    EXPECT_EQ(PTzDestoryTextPort(port), 1);
}

TEST(TextPort, KeepsASelectedFontAliveAfterItsMakerReleasesIt)
{
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    const auto record = fontRecord(u"DejaVu Serif", -30, 1, 700);
    _tagPTzFONT* font = PTzCreateFont(&record);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(PTzSelectFont(port, font), PTzGetFont());
    PTzReleaseFont(font);
    _tagPTzFONTDATAINFO info{};
    ASSERT_EQ(PTzGetFontInfo(port, &info), 1);
    EXPECT_EQ(faceOf(info.faceName), u"DejaVu Serif");
    EXPECT_EQ(info.height, -30);
    EXPECT_EQ(info.weight, 700);
    EXPECT_EQ(info.italic, 1);
    EXPECT_EQ(PTzSelectFont(port, PTzGetFont()), font);  // the port's hold ends here
    PTzDestoryTextPort(port);
}

TEST(TextPort, CurrentFontNameIsCutToTheBufferAndGivesTheFullLength)
{
    _tagPTzTEXTPORT* port = PTzCreateTextPort();
    const auto record = fontRecord(u"DejaVu Serif", -12);
    _tagPTzFONT* font = PTzCreateFont(&record);
    PTzSelectFont(port, font);
    PTzChar buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(PTzGetCurrentFontName(port, buffer, 7), 12u);
    EXPECT_EQ(std::u16string(buffer), u"DejaVu");
    EXPECT_EQ(buffer[7], u'#');
    EXPECT_EQ(PTzGetCurrentFontName(port, nullptr, 0), 12u);
    PTzSetLastError(0);
    EXPECT_EQ(PTzGetCurrentFontName(nullptr, buffer, 8), 0u);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzSelectFont(port, nullptr), nullptr);
    PTzDestoryTextPort(port);
    PTzReleaseFont(font);
}

TEST(CharacterWidths, AddUpToTheAdvanceAndShowOverhangs)
{
    const auto italic = fontRecord(u"DejaVu Serif", -40, 1);
    for (PTzChar c : {u'f', u'j', u'W', u'A', u'm', PTzChar(0xC5)}) {
        const auto abc = widthsOf(italic, c);
        const PTzChar text[] = {c};
        EXPECT_NEAR(abc.A + abc.B + abc.C, sizeOf(italic, std::u16string_view(text, 1)).cx, 1) << char(c);
        EXPECT_GT(abc.B, 0);
    }
    EXPECT_LT(widthsOf(italic, u'f').A, 0);  // the italic f hangs over to the left
    EXPECT_LT(widthsOf(italic, u'f').C, 0);
}

TEST(CharacterWidths, SpaceHasNoInk)
{
    const auto abc = widthsOf(fontRecord(u"DejaVu Sans", -20), u' ');
    EXPECT_EQ(abc.A, 0);
    EXPECT_EQ(abc.B, 0);
    EXPECT_GT(abc.C, 0);
}

TEST(TextSize, LinesBreakAtCrLfAndCrLfTakesOneBreak)
{
    const auto info = fontRecord(u"DejaVu Sans", 20);
    const _tagPTzSIZE one = sizeOf(info, u"Hello");
    EXPECT_EQ(one.cy, 20);
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(sizeOf(info, u"Hello\r\nHi").cy, 40);
    EXPECT_EQ(sizeOf(info, u"Hello\r\nHi").cx, one.cx);
    EXPECT_EQ(sizeOf(info, u"a\rb\nc").cy, 60);
    EXPECT_EQ(sizeOf(info, u"Hi\n").cy, 40);
}

TEST(TextSize, EmptyTextIsOneEmptyLine)
{
    const _tagPTzSIZE size = sizeOf(fontRecord(u"DejaVu Sans", 20), u"");
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 20);
}

TEST(TextSize, SurrogatePairIsOneCharacter)
{
    const auto info = fontRecord(u"DejaVu Sans", -20);
    const PTzChar lone[] = {PTzChar(0xD800)};
    const int32_t missing = sizeOf(info, std::u16string_view(lone, 1)).cx;
    ASSERT_GT(missing, 0);
    // U+10348 is not in DejaVu: the pair shows one missing-glyph box, two lone halves two.
    EXPECT_EQ(sizeOf(info, u"\U00010348").cx, missing);
    const PTzChar halves[] = {PTzChar(0xDC00), PTzChar(0xD800)};
    EXPECT_EQ(sizeOf(info, std::u16string_view(halves, 2)).cx, 2 * missing);
}

bool sameWidths(const _tagPTzCHARACTERWIDTHABC& a, const _tagPTzCHARACTERWIDTHABC& b)
{
    return a.A == b.A && a.B == b.B && a.C == b.C;
}

// DejaVu lacks CJK: those characters come from the installed face that has them, at the
// font's em size and in the font's style (synthesised, since that face has no bold or
// italic of its own), and the same ideographic space; characters no face has, controls
// and lone surrogates keep DejaVu's own missing-glyph box.
TEST(FallbackGlyphs, CharactersTheFaceLacksComeFromAFaceThatHasThemInTheFontsStyle)
{
    const struct {
        uint8_t italic;
        uint16_t weight;
    } styles[] = {{0, 400}, {1, 400}, {0, 700}, {1, 700}};
    const auto upright = widthsOf(fontRecord(u"Droid Sans Fallback", -40), PTzChar(0x6F22));
    for (const auto& style : styles) {
        const auto font = fontRecord(u"DejaVu Sans", -40, style.italic, style.weight);
        const auto lender = fontRecord(u"Droid Sans Fallback", -40, style.italic, style.weight);
        const auto box = widthsOf(font, PTzChar(0xD800));
        for (PTzChar c : {PTzChar(0x6F22), PTzChar(0x5B57), PTzChar(0x3000)}) {
            const auto lent = widthsOf(font, c);
            EXPECT_TRUE(sameWidths(lent, widthsOf(lender, c))) << int(c) << ' ' << int(style.weight);
            EXPECT_FALSE(sameWidths(lent, box)) << int(c);
        }
        const bool styled = style.italic || style.weight > 400;
        EXPECT_EQ(sameWidths(widthsOf(font, PTzChar(0x6F22)), upright), !styled) << int(style.weight);
        for (PTzChar c : {PTzChar(1), PTzChar(0x378), PTzChar(0xFFFE), PTzChar(0xE000)})
            EXPECT_TRUE(sameWidths(widthsOf(font, c), box)) << int(c);
    }
}

TEST(FallbackGlyphs, TextMixingFacesAddsTheirAdvancesInTheFontsCell)
{
    const auto font = fontRecord(u"DejaVu Sans", -40);
    const auto lender = fontRecord(u"Droid Sans Fallback", -40);
    const _tagPTzSIZE latin = sizeOf(font, u"Ab");
    const _tagPTzSIZE cjk = sizeOf(lender, u"\u6F22\u5B57");
    EXPECT_NEAR(sizeOf(font, u"Ab\u6F22\u5B57").cx, latin.cx + cjk.cx, 1);
    EXPECT_EQ(sizeOf(font, u"\u6F22\u5B57").cy, latin.cy);
    EXPECT_NE(cjk.cy, latin.cy);
    // A code point no face has (private use) is still the box, also as a surrogate pair.
    const PTzChar lone[] = {PTzChar(0xD800)};
    EXPECT_EQ(sizeOf(font, u"\U0010FFFD").cx, sizeOf(font, std::u16string_view(lone, 1)).cx);
}

// How many times the file is mapped into the process. FreeType maps each face it opens
// and keeps it in its library until closed, out of the leak checker's sight.
size_t mappings(std::string_view file)
{
    std::ifstream maps("/proc/self/maps");
    size_t count = 0;
    for (std::string line; std::getline(maps, line);)
        count += line.find(file) != std::string::npos;
    return count;
}

TEST(FallbackGlyphs, LentFacesAreOpenedOnceAndGoWithTheirFont)
{
    const std::string_view lenderFile = "DroidSansFallback";
    const size_t before = mappings(lenderFile);
    for (int round = 0; round < 2; ++round) {
        const auto record = fontRecord(u"DejaVu Sans", -30, 1, 700);
        _tagPTzFONT* font = PTzCreateFont(&record);
        _tagPTzCHARACTERWIDTHABC abc{};
        for (PTzChar c : {PTzChar(0x6F22), PTzChar(0x5B57), PTzChar(0x6F22)})
            EXPECT_EQ(PTzGetCharacterWidths(font, c, &abc), 1);
        EXPECT_EQ(mappings(lenderFile), before + 1);
        PTzReleaseFont(font);
        EXPECT_EQ(mappings(lenderFile), before);
    }
}

TEST(TextSize, BadArgumentsAreRefusedAndLeaveTheSizeAlone)
{
    _tagPTzTEXTSTRINGDATA data{};
    data.font = fontRecord(u"DejaVu Sans", -12);
    data.length = 3;  // but no text
    _tagPTzSIZE size{7, 7};
    PTzSetLastError(0);
    EXPECT_EQ(PTzGetTextSize(&data, &size), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(size.cx, 7);
    EXPECT_EQ(PTzGetTextSize(nullptr, &size), 0);
    EXPECT_EQ(PTzGetTextSize(&data, nullptr), 0);
}

}  // namespace
