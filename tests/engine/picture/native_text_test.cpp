// The native file's text chunks: the bytes of 'ttft' and 'ttex', round trips of text
// layers, the font table read in the file's own order, bad text input, truncations, and
// the refusal of layers the file cannot keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/error_codes.h"
#include "engine/picture/text_manager.h"
#include "engine/pixels/layer_image_gray.h"
#include "native_test_support.h"
#include "text_test_support.h"

using namespace native_test;
using namespace text_test;

namespace {

Bytes FontRecord(const _tagPTzFONTDATAINFO& font)
{
    Bytes out;
    for (PTzChar c : font.faceName)
        Le16(out, c);
    Le16(out, uint16_t(font.height));
    out.insert(out.end(), {font.italic, font.underline});
    Le16(out, font.weight);
    return out;
}

Bytes FontTable(std::initializer_list<_tagPTzFONTDATAINFO> fonts, uint32_t count)
{
    Bytes out;
    Le32(out, count);
    for (const _tagPTzFONTDATAINFO& font : fonts)
        out = Cat({out, FontRecord(font)});
    return Chunk("ttft", out);
}

Bytes TextInfo(uint16_t alignment, uint16_t spacing, int32_t x, int32_t y)
{
    Bytes out;
    Le16(out, alignment);
    Le16(out, spacing);
    Le32(out, uint32_t(x));
    Le32(out, uint32_t(y));
    return Chunk("ttif", out);
}

struct Record {
    uint32_t font;
    uint32_t colour;
    char16_t code;
};

Bytes TextData(const std::vector<Record>& records)
{
    Bytes out;
    for (const Record& r : records) {
        Le32(out, r.font);
        Le32(out, r.colour);
        Le16(out, uint16_t(r.code));
    }
    return Chunk("tdta", out);
}

// A file of one text layer whose 'ttex' holds these chunks, after the font table.
Bytes TextFile(const Bytes& table, const Bytes& text, const Bytes& after = {})
{
    return File(Cat({PictInfo(100, 100), table, Chunk("layr", Cat({Name(u"T"), LayerInfo(0, 0), Chunk("ttex", text), after}))}));
}

ITzLayerText* TextLayer(ITzPicture& picture, uint16_t index)
{
    return dynamic_cast<ITzLayerText*>(picture.GetLayerbyIndex(index));
}

// Where a chunk's header starts in a file; npos when it is not there.
size_t Find(const Bytes& file, const char (&tag)[5])
{
    Bytes header;
    Le32(header, PTzFourCC(tag));
    const auto at = std::search(file.begin(), file.end(), header.begin(), header.end());
    return at == file.end() ? std::string::npos : size_t(at - file.begin());
}

}  // namespace

TEST(NativeText, TheFontTableAndTheTextChunksHaveTheseBytes)
{
    ITzPicture picture;
    picture.Create(50, 50);
    ITzLayerText* layer = AddTextLayer(picture, {5, -6});
    layer->SetRowSpacing(3);
    Type(*layer, u"A\rb", Sans(-16), Rgb(1, 2, 3));
    const Bytes file = Save(picture);

    const Bytes table = FontTable({Sans(-16)}, 1);
    const size_t tableAt = Find(file, "ttft");
    ASSERT_NE(tableAt, std::string::npos);
    EXPECT_TRUE(Bytes(file.begin() + tableAt, file.begin() + tableAt + table.size()) == table);
    const Bytes text = Chunk("ttex", Cat({TextInfo(0, 3, 5, -6), TextData({{0, 0x010203, u'A'}, {0, 0x010203, 13},
                                                                          {0, 0x010203, u'b'}})}));
    const size_t textAt = Find(file, "ttex");
    ASSERT_NE(textAt, std::string::npos);
    EXPECT_TRUE(Bytes(file.begin() + textAt, file.begin() + textAt + text.size()) == text);
    // The layer's rendered image follows as its pixels.
    EXPECT_EQ(Find(file, "prev"), textAt + text.size());
}

TEST(NativeText, TextLayersComeBackWithFontsColoursPlacementAndImage)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(300, 200, nullptr), 0);
    struct Made {
        PTzPOINT start;
        uint32_t alignment;
        uint16_t spacing;
    };
    for (const Made& made : {Made{{-40, -25}, ITzTEXTALIGN_RIGHT, 7}, Made{{150, 90}, ITzTEXTALIGN_CENTRE, 0}}) {
        ITzLayerText* layer = AddTextLayer(picture, made.start);
        layer->SetRowSpacing(made.spacing);
        Type(*layer, u"Two\r", Serif(-30), Rgb(200, 10, 20));
        Type(*layer, u"fonts", Sans(-14), Rgb(0, 90, 255));
        layer->SetAlignment(made.alignment);
        layer->SetOpacity(200);
    }
    const Bytes saved = Save(picture);
    std::unique_ptr<ITzPicture> loaded = Load(saved);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetLayerCount(), 3);
    for (uint16_t i = 1; i < 3; ++i) {
        SCOPED_TRACE(i);
        ITzLayerText* before = TextLayer(picture, i);
        ITzLayerText* after = TextLayer(*loaded, i);
        ASSERT_NE(after, nullptr);
        TextShot expected = Shoot(*before);
        expected.anchor = expected.caret = 0;
        EXPECT_TRUE(Shoot(*after) == expected);
        EXPECT_EQ(after->GetAlignment(), before->GetAlignment());
        EXPECT_EQ(after->GetRowSpacing(), before->GetRowSpacing());
        EXPECT_EQ(after->GetStartPoint().x, before->GetStartPoint().x);
        EXPECT_EQ(after->GetStartPoint().y, before->GetStartPoint().y);
        EXPECT_EQ(after->GetOpacity(), 200);
        EXPECT_TRUE(Pixels(*after, false) == Pixels(*before, false));
    }
    // Written again, a loaded picture reads back to the same bytes.
    const Bytes again = Save(*loaded);
    std::unique_ptr<ITzPicture> reloaded = Load(again);
    ASSERT_TRUE(reloaded);
    EXPECT_TRUE(Save(*reloaded) == again);
}

// The table lists the fonts in reverse order of the picture's sorted list, with one font
// twice (the second copy unterminated, which the font functions mend into the first).
TEST(NativeText, CharactersTakeTheFontsOfTheTableInTheFilesOwnOrder)
{
    _tagPTzFONTDATAINFO padded = Sans(-16);
    std::fill(std::begin(padded.faceName) + 11, std::end(padded.faceName), u'#');
    padded.faceName[11] = 0;
    const Bytes table = FontTable({Serif(-20), Sans(-16), padded, Sans(-40)}, 4);
    const Bytes text = Cat({TextInfo(0, 0, 0, 0), TextData({{0, 0xFF0000, u'S'}, {1, 0x00FF00, u'a'},
                                                             {2, 0x0000FF, u'b'}, {3, 0, u'c'}, {9, 0, u'x'}})});
    std::unique_ptr<ITzPicture> loaded = Load(TextFile(table, text));
    ASSERT_TRUE(loaded);
    ITzLayerText* layer = TextLayer(*loaded, 0);
    ASSERT_NE(layer, nullptr);
    const TextShot shot = Shoot(*layer);
    ASSERT_EQ(shot.characters.size(), 4u);  // index 9 lies outside the table: skipped
    const _tagPTzFONTDATAINFO expected[] = {Serif(-20), Sans(-16), Sans(-16), Sans(-40)};
    const char16_t codes[] = {u'S', u'a', u'b', u'c'};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shot.characters[i].code, codes[i]);
        EXPECT_EQ(std::memcmp(&shot.characters[i].font, &expected[i], sizeof expected[i]), 0);
    }
    EXPECT_EQ(shot.characters[1].colour.components[1], 0xFF);
    // The load's own hold on the table's fonts went with the load.
    EXPECT_EQ(loaded->GetTextManager()->GetFontList()->GetItemCount(), 3u);
}

TEST(NativeText, BadTextInputIsRefusedOrSkipped)
{
    const Bytes table = FontTable({Sans(-16)}, 1);
    const Bytes one = TextData({{0, 0, u'a'}});
    const Bytes pixels = Chunk("prev", Cat({PreviewInfo(0, 0, 0, 0), UniformBlocks(0)}));
    std::vector<Record> tall(70000, Record{0, 0, 13});
    struct Case {
        const char* name;
        Bytes file;
        bool loads;
        uint32_t characters;  // of a text layer at index 0, when it loads as one
    };
    const Case cases[] = {
        {"count beyond the table's chunk", TextFile(FontTable({Sans(-16)}, 2), Cat({TextInfo(0, 0, 0, 0), one})), false, 0},
        {"huge count", TextFile(FontTable({Sans(-16)}, 0xFFFFFFFF), Cat({TextInfo(0, 0, 0, 0), one})), false, 0},
        {"table shorter than its count", TextFile(Chunk("ttft", Bytes{1, 0}), Cat({TextInfo(0, 0, 0, 0), one})), false, 0},
        {"text data not whole records", TextFile(table, Cat({TextInfo(0, 0, 0, 0), Chunk("tdta", Bytes(15, 0))})), false, 0},
        {"a second table is skipped",
         TextFile(Cat({table, FontTable({Serif(-9), Sans(-9)}, 2)}),
                  Cat({TextInfo(0, 0, 0, 0), TextData({{0, 0, u'a'}, {1, 0, u'b'}})})), true, 1},
        {"text info of the wrong size", TextFile(table, Cat({Chunk("ttif", Bytes(11, 0)), one})), false, 0},
        {"text data before its info is skipped", TextFile(table, Cat({one, TextInfo(0, 0, 0, 0), one})), true, 1},
        {"a table after the layers serves nobody", File(Cat({PictInfo(9, 9), Chunk("layr", Cat({Name(u"T"), LayerInfo(0, 0),
                  Chunk("ttex", Cat({TextInfo(0, 0, 0, 0), one}))})), table})), true, 0},
        {"rows taller than 2^30 pixels", TextFile(table, Cat({TextInfo(0, 0xFFFF, 0, 0), TextData(tall)})), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int error = 0;
        std::unique_ptr<ITzPicture> loaded = Load(c.file, &error);
        ASSERT_EQ(loaded != nullptr, c.loads);
        if (!c.loads) {
            EXPECT_NE(error, 0);
            continue;
        }
        ITzLayerText* layer = TextLayer(*loaded, 0);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->GetCharacterCount(), c.characters);
    }
    // A text chunk that made no layer leaves the layer to the pixels after it.
    std::unique_ptr<ITzPicture> image = Load(TextFile(table, one, pixels));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetLayerbyIndex(0)->GetType(), ITzLAYERTYPE_ARGB);
}

TEST(NativeText, AStoredSizeOfATextLayerGivesWayToItsText)
{
    const Bytes file = File(Cat({PictInfo(120, 60), FontTable({Sans(-16)}, 1),
                                 Chunk("layr", Cat({Name(u"T"), LayerInfo(12288, 2686976),
                                                    Chunk("ttex", Cat({TextInfo(0, 0, 7, 8), TextData({{0, 0, u'a'}})}))}))}));
    std::unique_ptr<ITzPicture> loaded = Load(file);
    ASSERT_TRUE(loaded);
    ITzLayerText* layer = TextLayer(*loaded, 0);
    ASSERT_NE(layer, nullptr);
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    EXPECT_EQ(bounds.left, 7);
    EXPECT_EQ(bounds.top, 8);
    EXPECT_EQ(bounds.right - bounds.left, layer->GetRow(0)->GetWidth());
    EXPECT_EQ(static_cast<ITzLayerImage*>(layer->GetPreviewLayer())->GetBlockCount(), 1u);
}

TEST(NativeText, EveryTruncationOfTheTextChunksFailsCleanly)
{
    ITzPicture picture;
    picture.Create(60, 40);
    ITzLayerText* layer = AddTextLayer(picture, {1, 2});
    Type(*layer, u"ab\rc", Sans(-12));
    const Bytes saved = Save(picture);
    const size_t from = Find(saved, "ttft");
    const size_t to = Find(saved, "prev");
    ASSERT_LT(from, to);
    for (size_t cut = from; cut <= to; ++cut) {
        int error = 0;
        EXPECT_FALSE(Load(Bytes(saved.begin(), saved.begin() + cut), &error)) << cut;
        EXPECT_NE(error, 0) << cut;
    }
}

// A layer without ARGB pixels would vanish from the file: the save is refused whole
// before anything is written.
TEST(NativeText, APictureHoldingALayerTheFileCannotKeepIsNotWritten)
{
    ITzPicture picture;
    ASSERT_EQ(picture.Create_1(20, 20, nullptr), 0);
    auto* gray = new ITzLayerImageGray();
    const PTzRECT bounds = {0, 0, 20, 20};
    gray->SetSize(&bounds, 1);
    ASSERT_EQ(picture.InsertLayer(1, gray), 0);
    MemoryFile file;
    PictureWriter writer(&picture, &file.stream);
    EXPECT_TRUE(writer.Failed());
    EXPECT_EQ(PTzGetLastError(), PTzERR_COLOR_UNSUPPORTED);
    EXPECT_EQ(writer.Step(), 0);
    EXPECT_TRUE(file.bytes.empty());
}
// A layer placed near the end of the coordinates keeps its text's size and its place
// through every save, whichever way it is aligned.
TEST(NativeText, ALayerAtTheCoordinatesEndComesBackTheSameFromEverySave)
{
    for (const uint32_t alignment : {ITzTEXTALIGN_LEFT, ITzTEXTALIGN_RIGHT, ITzTEXTALIGN_CENTRE}) {
        SCOPED_TRACE(alignment);
        ITzPicture picture;
        picture.Create(60, 40);
        ITzLayerText* layer = AddTextLayer(picture, {INT32_MAX - 4, 7});
        Type(*layer, u"He", Sans(-20));
        layer->SetAlignment(alignment);
        const int32_t width = layer->GetRow(0)->GetWidth();
        const Bytes saved = Save(picture);
        std::unique_ptr<ITzPicture> loaded = Load(saved);
        ASSERT_TRUE(loaded);
        PTzRECT before, after;
        layer->GetBounds(&before);
        ASSERT_EQ(loaded->GetLayerCount(), picture.GetLayerCount());
        TextLayer(*loaded, uint16_t(loaded->GetLayerCount() - 1))->GetBounds(&after);
        EXPECT_TRUE(PTzRectEqual(&before, &after));
        if (alignment == ITzTEXTALIGN_RIGHT) {
            EXPECT_EQ(after.right - after.left, width);
        }
        EXPECT_TRUE(Save(*loaded) == saved);
    }
}

// A file may store a text layer anywhere: loaded, it lies at its start point however far
// that is, and comes back there, byte for byte, from every save.
TEST(NativeText, ALayerStoredFarFromItsStartPointLiesAtItLoaded)
{
    const struct {
        PTzPOINT start;
        int32_t storedLeft;
        int32_t storedTop;
    } cases[] = {
        {{INT32_MAX - 4, 7}, -6, -1},
        {{INT32_MIN + 2, 7}, INT32_MAX - 10, 0},
        {{5, INT32_MAX - 30}, 0, INT32_MIN},
        {{5, INT32_MAX - 4}, 0, 0},  // its block grid reaches past the coordinates' end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start.x << "," << c.start.y);
        const Bytes text = Cat({TextInfo(0, 0, c.start.x, c.start.y), TextData({{0, 0, u'H'}})});
        const Bytes file = File(Cat({PictInfo(100, 100), FontTable({Sans(-16)}, 1),
                                     Chunk("layr", Cat({Name(u"T"), LayerInfo(4, 0, c.storedLeft, c.storedTop),
                                                        Chunk("ttex", text)}))}));
        std::unique_ptr<ITzPicture> loaded = Load(file);
        ASSERT_TRUE(loaded);
        PTzRECT bounds;
        TextLayer(*loaded, 0)->GetBounds(&bounds);
        EXPECT_EQ(bounds.left, c.start.x);
        EXPECT_EQ(bounds.top, c.start.y);
        const Bytes saved = Save(*loaded);
        std::unique_ptr<ITzPicture> again = Load(saved);
        ASSERT_TRUE(again);
        EXPECT_TRUE(Save(*again) == saved);
    }
}
