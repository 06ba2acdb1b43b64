// The native file reader: version rules, skipped unknown chunks, truncations and
// crafted sizes, counts, offsets, names and progress.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "base/error_codes.h"
#include "engine/picture/layer_text.h"
#include "native_test_support.h"
#include "tests/base/font_test_support.h"

using namespace native_test;

TEST(NativeReader, VersionZeroIsReadAndVersionTwoRefused)
{
    EXPECT_TRUE(Load(File(Cat({PictInfo(1, 1), SmallLayer()}), 0)));
    int error = 0;
    EXPECT_FALSE(Load(File(Cat({PictInfo(1, 1), SmallLayer()}), 2), &error));
    EXPECT_EQ(error, FTzERR_BAD_DATA);
}

TEST(NativeReader, UnknownChunksAnywhereAreSkipped)
{
    const Bytes unknown = Chunk("zzzz", Bytes(13, 0xAB));
    const Bytes layer = Chunk("layr", Cat({unknown, Name(u"A"), unknown, LayerInfo(1, 1), unknown,
                                           Chunk("prev", Cat({unknown, PreviewInfo(0, 0, 1, 1), unknown,
                                                              UniformBlocks(1), unknown}))}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({unknown, PictInfo(1, 1), unknown, layer, unknown})));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetLayerCount(), 1);
}

TEST(NativeReader, TextChunksMakeTheTextLayerAndItsImageIsSkipped)
{
    // An all-zero font record asks for the default face at the default size.
    const Bytes fonts = Chunk("ttft", Cat({Bytes{1, 0, 0, 0}, Bytes(70, 0)}));
    const Bytes text = Chunk("ttex", Cat({Chunk("ttif", Bytes(12, 0)), Chunk("tdta", Bytes{0, 0, 0, 0, 0, 0, 0, 0, 'a', 0})}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({PictInfo(1, 1), fonts, SmallLayer(text)})));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetLayerCount(), 1);
    auto* layer = dynamic_cast<ITzLayerText*>(loaded->GetLayerbyIndex(0));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetCharacterCount(), 1u);
}

TEST(NativeReader, EveryTruncationFailsCleanly)
{
    ITzPicture picture;
    picture.Create(300, 2);
    ITzLayerImageARGB* layer = AddLayer(picture, {0, 0, 300, 2});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
    const PTzRECT dot = {0, 0, 1, 1};
    layer->FillRect(&dot, &colour);
    const Bytes saved = Save(picture);
    for (size_t cut = 0; cut < saved.size(); cut += cut < 300 ? 1 : 4099) {
        int error = 0;
        EXPECT_FALSE(Load(Bytes(saved.begin(), saved.begin() + cut), &error)) << cut;
        EXPECT_NE(error, 0) << cut;
    }
}

TEST(NativeReader, OversizedChunksAreRefusedBySubtraction)
{
    Bytes file = File(Cat({PictInfo(1, 1), SmallLayer()}));
    for (size_t at : {size_t(20), size_t(16 + 8 + 28 + 4)}) {  // 'pict' and 'layr' sizes
        for (uint32_t size : {0xFFFFFFF0u, 0xFFFFFFFEu}) {
            Bytes crafted = file;
            PTzWriteLE32(&crafted[at], size);
            EXPECT_FALSE(Load(crafted)) << at << " " << size;
        }
    }
}

TEST(NativeReader, PictureSidesOfZeroOrBeyondTwoToTheThirtyAreRefused)
{
    for (uint32_t side : {0u, (1u << 30) + 1})
        EXPECT_FALSE(Load(File(Cat({PictInfo(side, 1), SmallLayer()}))));
}

TEST(NativeReader, BlockGeometryMustBeWhatTheWriterProduces)
{
    const auto layer = [](Bytes info, Bytes data) {
        return File(Cat({PictInfo(1, 1), Chunk("layr", Cat({Name(u"A"), LayerInfo(1, 1),
                                                            Chunk("prev", Cat({info, data}))}))}));
    };
    EXPECT_TRUE(Load(layer(PreviewInfo(255, 0, 1, 1), UniformBlocks(1))));
    EXPECT_FALSE(Load(layer(PreviewInfo(256, 0, 2, 1), UniformBlocks(2))));
    EXPECT_FALSE(Load(layer(PreviewInfo(-1, 0, 1, 1), UniformBlocks(1))));
    EXPECT_FALSE(Load(layer(PreviewInfo(0, 0, 2, 1), UniformBlocks(2))));
    EXPECT_FALSE(Load(layer(PreviewInfo(0, 0, 1, 1), UniformBlocks(2))));
    EXPECT_FALSE(Load(layer(PreviewInfo(0, 0, 1, 1), UniformBlocks(0))));
    // Huge counts in a small chunk are refused before any block record is made.
    const Bytes huge = File(Cat({PictInfo(1, 1), Chunk("layr", Cat({Name(u"A"), LayerInfo(65535u * 256, 65535u * 256),
                                                                    Chunk("prev", Cat({PreviewInfo(0, 0, 65535, 65535),
                                                                                       UniformBlocks(1)}))}))}));
    EXPECT_FALSE(Load(huge));
}

TEST(NativeReader, BlockGridsBeyondTheCoordinateRangeAreRefused)
{
    const auto layer = [](int32_t left, int32_t top, int32_t offset) {
        const Bytes data = Chunk("prev", Cat({PreviewInfo(offset, offset, 1, 1), UniformBlocks(1)}));
        return File(Cat({PictInfo(1, 1), Chunk("layr", Cat({Name(u"A"), LayerInfo(1, 1, left, top), data}))}));
    };
    EXPECT_TRUE(Load(layer(INT32_MIN, INT32_MIN, 0)));
    EXPECT_TRUE(Load(layer(INT32_MAX - 256, INT32_MAX - 256, 0)));
    int error = 0;
    EXPECT_FALSE(Load(layer(INT32_MIN, 0, 5), &error));
    EXPECT_EQ(error, FTzERR_BAD_DATA);
    EXPECT_FALSE(Load(layer(0, INT32_MIN + 4, 5)));
    EXPECT_FALSE(Load(layer(INT32_MAX - 100, 0, 0)));
    EXPECT_FALSE(Load(layer(0, INT32_MAX - 255, 0)));
}

TEST(NativeReader, ZeroSizeLayersLoadAndAFileWithoutLayersFails)
{
    const Bytes empty = Chunk("layr", Cat({Name(u"E"), LayerInfo(0, 0),
                                           Chunk("prev", Cat({PreviewInfo(0, 0, 0, 0), UniformBlocks(0)}))}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({PictInfo(5, 5), empty})));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetLayerCount(), 1);
    EXPECT_FALSE(Load(File(PictInfo(5, 5))));
}

TEST(NativeReader, OnlyTheFirstDataChunkAfterNameAndInfoMakesTheLayer)
{
    const Bytes preview = Chunk("prev", Cat({PreviewInfo(0, 0, 1, 1), UniformBlocks(1)}));
    const Bytes layer = Chunk("layr", Cat({preview, Name(u"A"), LayerInfo(1, 1), preview, preview}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({PictInfo(1, 1), layer})));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetLayerCount(), 1);
}

TEST(NativeReader, NamesAreCutAtTheirNulOrSixtyThreeUnits)
{
    const std::u16string longName(80, u'n');
    const Bytes layer = Chunk("layr", Cat({Name(longName), LayerInfo(1, 1),
                                           Chunk("prev", Cat({PreviewInfo(0, 0, 1, 1), UniformBlocks(1)}))}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({PictInfo(1, 1), layer})));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::u16string(loaded->GetLayerbyIndex(0)->GetName()), longName.substr(0, 63));
}

TEST(NativeReader, LayersBeyondTwoHundredFiftyFiveAreDropped)
{
    Bytes payload = PictInfo(1, 1);
    for (int i = 0; i < 257; ++i)
        payload = Cat({payload, SmallLayer()});
    std::unique_ptr<ITzPicture> loaded = Load(File(payload));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetLayerCount(), 255);
}

TEST(NativeReader, LoadedLayersTakeTheLinkNumbersInsertingThemWouldGive)
{
    // A 'layr' whose data chunk makes no layer (not ARGB) leaves no gap in the numbers.
    const Bytes notArgb = Chunk("layr", Cat({Name(u"G"), LayerInfo(1, 1),
                                             Chunk("prev", Cat({Bytes{1, 8, 0, 0}, Bytes(12, 0)}))}));
    std::unique_ptr<ITzPicture> loaded = Load(File(Cat({PictInfo(1, 1), SmallLayer(), notArgb, SmallLayer(), SmallLayer()})));
    ASSERT_TRUE(loaded);
    ITzPicture inserted;
    inserted.Create(1, 1);
    for (int i = 0; i < 3; ++i)
        AddLayer(inserted, {0, 0, 1, 1});
    ASSERT_EQ(loaded->GetLayerCount(), inserted.GetLayerCount());
    for (uint16_t i = 0; i < loaded->GetLayerCount(); ++i)
        EXPECT_EQ(loaded->GetLayerbyIndex(i)->GetLinkNumber(), inserted.GetLayerbyIndex(i)->GetLinkNumber()) << i;
    EXPECT_EQ(loaded->GetAvailableLinkNum(), inserted.GetAvailableLinkNum());
}

TEST(NativeReader, ProgressReachesOneHundredAtTheEnd)
{
    MemoryFile file;
    file.bytes = File(Cat({PictInfo(1, 1), SmallLayer(), SmallLayer()}));
    PictureReader reader(&file.stream);
    uint32_t last = 0;
    while (reader.Step()) {
        EXPECT_GE(reader.Progress(), last);
        last = reader.Progress();
    }
    EXPECT_TRUE(reader.Finished());
    EXPECT_EQ(reader.Progress(), 100u);
}
