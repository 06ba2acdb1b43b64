// Text layers: rows, the caret and the selection, placement, hits, the font at the caret,
// and the rendered image, which must always show what the rows hold.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/pixels/layer_image_argb.h"
#include "text_test_support.h"

using namespace text_test;

namespace {

struct TextFixture : ::testing::Test {
    ITzTextManager manager;
    std::unique_ptr<ITzLayerText, ITzLayerDestroyer> layer;

    ITzLayerText& Make(PTzPOINT start = {0, 0})
    {
        layer.reset(new ITzLayerText(&manager, &start));
        return *layer;
    }
};

// The picture's preview over a rectangle of zoomed pixels, 24-bit.
std::vector<uint8_t> Preview(ITzPicture& picture, const PTzRECT& rect, _tagITzZOOMLEVEL zoom = {1, 1})
{
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int32_t stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> pixels(size_t(stride) * height);
    _tagITzBITMAP bitmap = {width, height, stride, 24, PTzCOLORMODE_RGB, pixels.data()};
    EXPECT_EQ(picture.GetPreviewData(&rect, &bitmap, &zoom, 0), 0);
    return pixels;
}

}  // namespace

TEST_F(TextFixture, ANewLayerHasOneEmptyRowAndTheCaretAtItsStart)
{
    ITzLayerText& text = Make({-20, 7});
    EXPECT_EQ(text.GetType(), ITzLAYERTYPE_TEXT);
    EXPECT_EQ(text.GetRowCount(), 1u);
    EXPECT_EQ(text.GetCharacterCount(), 0u);
    const TextShot shot = Shoot(text);
    EXPECT_EQ(shot.caret, 0u);
    EXPECT_EQ(shot.anchor, 0u);
    EXPECT_TRUE(PTzRectEqual(&shot.bounds, At(PTzRECT{-20, 7, -20, 7})));
    int32_t x = 0, y = 0, height = 1;
    ASSERT_EQ(text.GetFlashCursorPicturePos(&x, &y, &height), 1);
    EXPECT_EQ(x, -20);
    EXPECT_EQ(y, 7);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(text.PointInText(At(PTzPOINT{0, 0})), 0);
}

TEST_F(TextFixture, TheRowBreakStartsARowAndRowsStackWithTheirSpacing)
{
    ITzLayerText& text = Make({5, 5});
    text.SetRowSpacing(6);
    Type(text, u"ab\rc", Sans(-16));
    ASSERT_EQ(text.GetRowCount(), 2u);
    EXPECT_EQ(TextOf(text), u"ab\rc");
    EXPECT_EQ(text.GetRow(0)->GetCharacterCount(), 3u);
    EXPECT_EQ(text.GetRow(1)->GetCharacterCount(), 1u);
    PTzRECT bounds;
    text.GetBounds(&bounds);
    EXPECT_EQ(bounds.bottom - bounds.top, text.GetRow(0)->GetHeight() + text.GetRow(1)->GetHeight() + 6);
    EXPECT_EQ(bounds.right - bounds.left, std::max(text.GetRow(0)->GetWidth(), text.GetRow(1)->GetWidth()));
    EXPECT_EQ(bounds.left, 5);
    // The caret is behind the 'c', on the second row.
    int32_t x = 0, y = 0, height = 0;
    text.GetFlashCursorPicturePos(&x, &y, &height);
    EXPECT_EQ(y, 5 + text.GetRow(0)->GetHeight() + 6);
    EXPECT_EQ(x, 5 + text.GetRow(1)->GetWidth() + text.GetRow(1)->GetXOffset(1) - text.GetRow(1)->GetWidth());
    EXPECT_EQ(height, text.GetRow(1)->GetHeight());
}

TEST_F(TextFixture, CaretKeysMoveWithinRowsAndSelectionsCollapseFirst)
{
    ITzLayerText& text = Make();
    Type(text, u"abc\rdefg\rhi", Sans(-16));  // rows start at 0, 4 and 9
    struct Case {
        uint32_t anchor, caret, direction;
        int extend;
        uint32_t wantAnchor, wantCaret;
    };
    const Case cases[] = {
        {2, 2, ITzTEXTDIR_LEFT, 0, 1, 1},        {0, 0, ITzTEXTDIR_LEFT, 0, 0, 0},
        {1, 3, ITzTEXTDIR_LEFT, 0, 1, 1},        {1, 3, ITzTEXTDIR_LEFT, 1, 1, 2},
        {1, 3, ITzTEXTDIR_RIGHT, 0, 3, 3},       {11, 11, ITzTEXTDIR_RIGHT, 0, 11, 11},
        {5, 5, ITzTEXTDIR_RIGHT, 1, 5, 6},       {5, 5, ITzTEXTDIR_ROW_START, 0, 4, 4},
        {5, 5, ITzTEXTDIR_ROW_END, 0, 8, 8},     {10, 10, ITzTEXTDIR_ROW_END, 1, 10, 11},
        {1, 1, ITzTEXTDIR_UP, 0, 1, 1},          {10, 10, ITzTEXTDIR_DOWN, 0, 10, 10},
        {7, 7, ITzTEXTDIR_UP, 0, 3, 3},          {1, 1, ITzTEXTDIR_DOWN, 1, 1, 5},
        {8, 8, ITzTEXTDIR_DOWN, 0, 11, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.anchor << "," << c.caret << " dir " << c.direction);
        text.SetSelectRange(c.anchor, c.caret);
        text.DoDirectionKey(c.direction, c.extend);
        const TextShot shot = Shoot(text);
        EXPECT_EQ(shot.anchor, c.wantAnchor);
        EXPECT_EQ(shot.caret, c.wantCaret);
    }
    text.SetSelectRange(99, 40);  // clamped to the count
    EXPECT_EQ(Shoot(text).anchor, 11u);
    EXPECT_EQ(Shoot(text).caret, 11u);
}

TEST_F(TextFixture, PointsTakeTheRowUnderThemOrTheNearestOne)
{
    ITzLayerText& text = Make({100, 50});
    text.SetRowSpacing(10);
    Type(text, u"ab\rcd", Sans(-16));
    const int32_t h0 = text.GetRow(0)->GetHeight();
    const int32_t far = text.GetRow(0)->GetWidth() + 50;
    struct Case {
        PTzPOINT point;  // layer coordinates
        int inText;
        uint32_t position;
    };
    const Case cases[] = {
        {{0, 1}, 1, 0},           {{far, 1}, 0, 2},           {{-5, -40}, 0, 0},
        {{far, h0 + 2}, 0, 2},    {{0, h0 + 8}, 0, 3},        {{far, h0 + 10}, 0, 5},
        {{0, 10000}, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        EXPECT_EQ(text.PointInText(&c.point), c.inText);
        EXPECT_EQ(text.GetCharIndexFromPoint(&c.point), c.position);
    }
}

TEST_F(TextFixture, AlignmentPlacesTheLayerAgainstItsStartPoint)
{
    struct Case {
        uint32_t alignment;
        int32_t left, top;
    };
    ITzLayerText& text = Make({-40, -30});
    Type(text, u"ruler", Sans(-16));
    const int32_t width = text.GetRow(0)->GetWidth();
    for (const Case& c : {Case{ITzTEXTALIGN_RIGHT, -40 - width, -30}, Case{ITzTEXTALIGN_CENTRE, -40 - width / 2, -30},
                          Case{7, 0, 0}, Case{ITzTEXTALIGN_LEFT, -40, -30}}) {
        text.SetAlignment(c.alignment);
        PTzRECT bounds;
        text.GetBounds(&bounds);
        EXPECT_EQ(bounds.left, c.left) << c.alignment;
        EXPECT_EQ(bounds.top, c.top) << c.alignment;
        EXPECT_EQ(bounds.right - bounds.left, width);
    }
}

// Near the end of the coordinates the image's block grid reaches past them: as the text
// grows, the layer and its image stop there.
TEST_F(TextFixture, TextTypedAtTheCoordinatesEndIsCutThere)
{
    for (const PTzPOINT start : {PTzPOINT{0, INT32_MAX - 4}, PTzPOINT{INT32_MAX - 40, 0}}) {
        ITzLayerText& text = Make(start);
        Type(text, u"He", Sans(-20));
        PTzRECT bounds, imageBounds;
        text.GetBounds(&bounds);
        text.GetPreviewLayer()->GetBounds(&imageBounds);
        const PTzRECT cut = {start.x, start.y, PTzSaturate32(int64_t(start.x) + text.GetRow(0)->GetWidth()),
                             PTzSaturate32(int64_t(start.y) + text.GetRow(0)->GetHeight())};
        EXPECT_TRUE(PTzRectEqual(&bounds, &cut)) << start.x << "," << start.y;
        EXPECT_TRUE(PTzRectEqual(&bounds, &imageBounds));
    }
}

TEST_F(TextFixture, AStoredSizeBuildsNoImageGridAndTheTextGivesTheLayerItsSize)
{
    ITzLayerText& text = Make({5, 6});
    auto* image = static_cast<ITzLayerImage*>(text.GetPreviewLayer());
    ASSERT_NE(image, nullptr);
    const uint32_t blocks = image->GetBlockCount();
    const PTzRECT stored = {100, 200, 100 + 12288, 200 + 2686976};
    ASSERT_EQ(text.DWKSetBounds(&stored), 0);
    EXPECT_EQ(image->GetBlockCount(), blocks);
    Type(text, u"ab", Sans(-16));
    PTzRECT bounds, imageBounds;
    text.GetBounds(&bounds);
    image->GetBounds(&imageBounds);
    EXPECT_TRUE(PTzRectEqual(&bounds, &imageBounds));
    EXPECT_EQ(bounds.right - bounds.left, text.GetRow(0)->GetWidth());
    EXPECT_EQ(image->GetBlockCount(), 1u);
}

TEST_F(TextFixture, TheSettingAtTheCaretTellsWhichAttributesTheSelectionShares)
{
    ITzLayerText& text = Make();
    _tagITzTEXTSETTING setting = {};
    EXPECT_EQ(text.GetFontSettingInfo(&setting), 0);
    _tagPTzFONTDATAINFO bold = Sans(-16);
    bold.weight = 700;
    Type(text, u"ab", Sans(-16), Rgb(1, 2, 3));
    Type(text, u"c", bold, Rgb(1, 2, 3));
    Type(text, u"d", Serif(-16), Rgb(9, 9, 9));
    struct Case {
        uint32_t anchor, caret;
        uint8_t valid;
        uint16_t weight;
    };
    for (const Case& c : {Case{0, 2, ITzTEXTVALID_ALL, 400}, Case{3, 1, ITzTEXTVALID_ALL & ~ITzTEXTVALID_WEIGHT, 400},
                          Case{2, 4, ITzTEXTVALID_ALL & ~(ITzTEXTVALID_WEIGHT | ITzTEXTVALID_FACE | ITzTEXTVALID_COLOR), 700},
                          Case{3, 3, ITzTEXTVALID_ALL, 700}, Case{0, 0, ITzTEXTVALID_ALL, 400}}) {
        text.SetSelectRange(c.anchor, c.caret);
        ASSERT_EQ(text.GetFontSettingInfo(&setting), 1);
        EXPECT_EQ(setting.valid, c.valid) << c.anchor << "," << c.caret;
        EXPECT_EQ(setting.font.weight, c.weight) << c.anchor << "," << c.caret;
    }
}

TEST_F(TextFixture, SelectingAcrossRowsHighlightsTheTailOfTheFirstAndTheHeadOfTheSecond)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(300, 120, nullptr), 0);
    ITzLayerText* text = AddTextLayer(picture, {10, 10});
    Type(*text, u"abc\rdef", Sans(-24));
    text->SetSelectRange(1, 5);
    const PTzRECT area = {0, 0, 300, 120};
    picture.SetActiveLayerID(1);
    const std::vector<uint8_t> shown = Preview(picture, area);
    picture.SetActiveLayerID(0);  // the highlight shows only while the layer is active
    const std::vector<uint8_t> hidden = Preview(picture, area);
    ITzTextRow& first = *text->GetRow(0);
    ITzTextRow& second = *text->GetRow(1);
    const PTzRECT expected[] = {
        {10 + int32_t(first.GetXOffset(1)), 10, 10 + int32_t(first.GetXOffset(4)), 10 + first.GetHeight()},
        {10, 10 + first.GetHeight(), 10 + int32_t(second.GetXOffset(1)), 10 + first.GetHeight() + second.GetHeight()},
    };
    const int32_t stride = (300 * 3 + 3) & ~3;
    for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            const PTzPOINT point = {x, y};
            const bool inside = PTzRectPointIn(&expected[0], &point) || PTzRectPointIn(&expected[1], &point);
            const size_t at = size_t(y) * stride + size_t(x) * 3;
            ASSERT_EQ(shown[at] != hidden[at], inside) << x << "," << y;
        }
}

// The image's blocks are drawn when read and drawn again only where an edit changed the
// rows: after every edit the image must match the rows drawn straight, while blocks
// nobody read stay undrawn.
TEST_F(TextFixture, TheImageAlwaysShowsTheRowsAndDrawsOnlyTheBlocksRead)
{
    ITzLayerText& text = Make({-300, 200});
    std::mt19937 random(27);
    _tagPTzFONTDATAINFO fonts[] = {Sans(-18), Serif(-40), Sans(-9)};
    fonts[2].italic = 1;
    for (int step = 0; step < 120; ++step) {
        ITzTextRow row;
        _tagITzTEXTUNDOINFO info = {0, 0, &row, 0, 0};
        const uint32_t count = text.GetCharacterCount();
        text.SetSelectRange(random() % (count + 1), random() % (count + 1));
        switch (random() % 6) {
        case 0:
            text.DoDelete(&info, int(random() % 2));
            break;
        case 1:
            text.SetFontSize(&info, &fonts[random() % 3]);
            break;
        case 2:
            text.DoChar(&info, &fonts[random() % 3], ITzTEXT_ROW_BREAK, At(Rgb(0, 0, 0)));
            break;
        default:
            text.DeleteSelection(&info);
            text.DoChar(&info, &fonts[random() % 3], uint16_t(u'A' + random() % 50), At(Rgb(uint8_t(step), 40, 200)));
            break;
        }
        ASSERT_TRUE(Pixels(text, false) == Pixels(text, true)) << step;
    }
    // A fresh copy draws nothing until its blocks are read, then one block at a time.
    ITzTextRow row;
    _tagITzTEXTUNDOINFO info = {0, 0, &row, 0, 0};
    text.SetSelectRange(0, text.GetCharacterCount());
    text.SetFontSize(&info, At(Sans(-150)));
    std::unique_ptr<ITzLayerBase, ITzLayerDestroyer> copy(text.CreateCopyLayer());
    auto* image = static_cast<ITzLayerImageARGB*>(copy->GetPreviewLayer());
    ASSERT_GT(image->GetBlockCount(), 2u);
    const auto drawn = [&] {
        uint32_t count = 0;
        _tagITzBLOCKINFOARGB record;
        for (uint32_t i = 0; i < image->GetBlockCount(); ++i)
            count += image->ITzLayerImageARGB::GetBlockInfo(i, &record, 0) == 0;
        return count;
    };
    EXPECT_EQ(drawn(), 0u);
    EXPECT_EQ(image->BlockDataAvailable(1), 1);
    EXPECT_EQ(drawn(), 1u);
}

// Zoomed out, the picture draws the image's reduced copies: an edit must reach them too.
TEST_F(TextFixture, ZoomedOutPreviewsShowTheTextAsEdited)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(600, 400, nullptr), 0);
    ITzLayerText* text = AddTextLayer(picture, {30, 40});
    Type(*text, u"Zoom", Sans(-40));
    const PTzRECT area = {0, 0, 150, 100};
    const _tagITzZOOMLEVEL quarter = {1, 4};
    const std::vector<uint8_t> before = Preview(picture, area, quarter);
    Type(*text, u" out\rand in", Serif(-60), Rgb(250, 0, 0));
    text->SetSelectRange(0, 2);
    ITzTextRow row;
    _tagITzTEXTUNDOINFO info = {0, 0, &row, 0, 0};
    text->SetFontSize(&info, At(Sans(-90)));
    const std::vector<uint8_t> after = Preview(picture, area, quarter);
    EXPECT_FALSE(after == before);
    // A copy of the layer has a fresh image: nothing cached, all drawn from the rows.
    ITzPicture fresh;
    ASSERT_EQ(fresh.Create_1(600, 400, nullptr), 0);
    ASSERT_EQ(fresh.InsertLayer(1, text->CreateCopyLayer()), 0);
    EXPECT_TRUE(Preview(fresh, area, quarter) == after);
}

// A glyph whose ink reaches back over its place, deleted right at a block border: the
// block before the border holds its ink and must be drawn again.
TEST_F(TextFixture, DeletingInkThatReachesBackOverABlockBorderRedrawsTheBlockBefore)
{
    ITzLayerText& text = Make({0, 0});
    const _tagPTzFONTDATAINFO plain = Sans(-16);
    // Upright characters whose advances add up to 256, where the grid has a border.
    std::u16string prefix;
    const std::u16string candidates = u"0123456789 .il";
    for (char16_t a : candidates)
        for (char16_t b : candidates) {
            ITzTextCharacter* ga = manager.GetCharacter(&plain, uint16_t(a));
            ITzTextCharacter* gb = manager.GetCharacter(&plain, uint16_t(b));
            for (int n = 0; prefix.empty() && n * ga->GetAdvance() <= 256; ++n) {
                const int rest = 256 - n * ga->GetAdvance();
                if (rest % gb->GetAdvance() == 0 && ga->GetA() >= 0 && gb->GetA() >= 0)
                    prefix = std::u16string(size_t(n), a) + std::u16string(size_t(rest / gb->GetAdvance()), b);
            }
            ga->Release();
            gb->Release();
        }
    ASSERT_FALSE(prefix.empty());
    _tagPTzFONTDATAINFO italic = Sans(-40);
    italic.italic = 1;
    Type(text, prefix, plain);
    Type(text, u"jo", italic);  // the 'o' keeps the row's height when the 'j' goes
    ASSERT_EQ(text.GetRow(0)->GetXOffset(uint32_t(prefix.size())), 256);
    ASSERT_TRUE(Pixels(text, false) == Pixels(text, true));  // every block drawn once
    ITzTextRow row;
    _tagITzTEXTUNDOINFO info = {0, 0, &row, 0, 0};
    text.SetSelectRange(uint32_t(prefix.size()), uint32_t(prefix.size()));
    ASSERT_EQ(text.DoDelete(&info, 0), 1);
    EXPECT_TRUE(Pixels(text, false) == Pixels(text, true));
}

// DejaVu lacks CJK: such a character takes the advance and ink of the face that lends it,
// in the row of the layer's own font, and the image shows it as the rows measure it.
TEST_F(TextFixture, CharactersTheFaceLacksShowTheLendingFacesGlyphInTheFontsRow)
{
    const auto inkOf = [](ITzTextCharacter* glyph) {
        uint64_t sum = 0;
        if (const _tagPTzBITMAP_8* image = glyph->GetImage())
            for (int32_t y = 0; y < image->height; ++y)
                for (int32_t x = 0; x < image->width; ++x)
                    sum += image->bits[y * image->stride + x];
        return sum;
    };
    const _tagPTzFONTDATAINFO lender = fontRecord(u"Droid Sans Fallback", -40);
    ITzTextCharacter* lent = manager.GetCharacter(At(Sans(-40)), 0x6F22);
    ITzTextCharacter* own = manager.GetCharacter(&lender, 0x6F22);
    ITzTextCharacter* box = manager.GetCharacter(At(Sans(-40)), 0xD800);
    EXPECT_EQ(lent->GetAdvance(), own->GetAdvance());
    EXPECT_NE(lent->GetAdvance(), box->GetAdvance());
    EXPECT_GT(inkOf(own), 0u);
    EXPECT_EQ(inkOf(lent), inkOf(own));
    for (ITzTextCharacter* glyph : {lent, own, box})
        glyph->Release();

    ITzLayerText& latin = Make({0, 0});
    Type(latin, u"Ab", Sans(-40));
    const int32_t latinHeight = latin.GetRow(0)->GetHeight();
    ITzLayerText& text = Make({0, 0});
    Type(text, u"\u6F22\u5B57", Sans(-40));
    EXPECT_EQ(text.GetRow(0)->GetHeight(), latinHeight);
    EXPECT_TRUE(Pixels(text, false) == Pixels(text, true));
}
