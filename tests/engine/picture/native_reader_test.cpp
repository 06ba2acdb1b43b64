// The native file reader: round trips through the writer, version rules, skipped
// unknown chunks, truncations and crafted sizes, counts and offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "picture_test_support.h"

using namespace lumatra::native;
using Bytes = std::vector<uint8_t>;

namespace {

// A file in memory for both directions.
struct MemoryFile {
    Bytes bytes;
    size_t position = 0;
    _tagPTzIOSTREAM stream{this, &Seek, &Read, &Write, &Size};

    static MemoryFile* Of(void* context) { return static_cast<MemoryFile*>(context); }
    static uint32_t Seek(void* context, int32_t offset, uint16_t whence)
    {
        MemoryFile* file = Of(context);
        const int64_t base = whence == 0 ? 0 : whence == 1 ? int64_t(file->position) : int64_t(file->bytes.size());
        const int64_t target = whence == 2 ? base - offset : base + offset;
        if (target < 0 || target > int64_t(file->bytes.size()))
            return 0xFFFFFFFF;
        file->position = size_t(target);
        return uint32_t(target);
    }
    static uint32_t Read(void* context, void* buffer, uint32_t count)
    {
        MemoryFile* file = Of(context);
        const uint32_t done = uint32_t(std::min<size_t>(count, file->bytes.size() - file->position));
        std::memcpy(buffer, file->bytes.data() + file->position, done);
        file->position += done;
        return done;
    }
    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        MemoryFile* file = Of(context);
        const auto* from = static_cast<const uint8_t*>(buffer);
        file->bytes.insert(file->bytes.end(), from, from + count);
        return count;
    }
    static uint32_t Size(void* context, uint32_t* high)
    {
        if (high)
            *high = 0;
        return uint32_t(Of(context)->bytes.size());
    }
};

Bytes Save(ITzPicture& picture)
{
    MemoryFile file;
    PictureWriter writer(&picture, &file.stream);
    while (writer.Step()) {
    }
    EXPECT_TRUE(writer.Finished());
    return file.bytes;
}

std::unique_ptr<ITzPicture> Load(const Bytes& bytes, int* error = nullptr)
{
    MemoryFile file;
    file.bytes = bytes;
    PictureReader reader(&file.stream);
    while (reader.Step()) {
    }
    if (error)
        *error = reader.Error();
    return std::unique_ptr<ITzPicture>(reader.TakePicture());
}

void Le16(Bytes& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Le32(Bytes& out, uint32_t v)
{
    Le16(out, uint16_t(v));
    Le16(out, uint16_t(v >> 16));
}

Bytes Chunk(const char (&tag)[5], const Bytes& payload)
{
    Bytes out;
    Le32(out, PTzFourCC(tag));
    Le32(out, uint32_t(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Head(uint32_t version = 1)
{
    Bytes out;
    Le32(out, 0x7964776B);
    Le32(out, version);
    out.resize(16);
    return out;
}

Bytes PictInfo(uint32_t width, uint32_t height)
{
    Bytes out;
    Le32(out, width);
    Le32(out, height);
    out.insert(out.end(), {0, 3, 1, 0});
    Le32(out, 0);
    Le32(out, 0);
    return Chunk("pifb", out);
}

Bytes LayerInfo(uint32_t width, uint32_t height, int32_t left = 0, int32_t top = 0)
{
    Bytes out;
    for (uint32_t v : {2u, width, height, uint32_t(left), uint32_t(top)})
        Le32(out, v);
    out.insert(out.end(), {3, 255, 1, 0});
    return Chunk("lifb", out);
}

Bytes PreviewInfo(int32_t offsetX, int32_t offsetY, uint16_t across, uint16_t down)
{
    Bytes out = {3, 8, 0, 0};
    Le32(out, uint32_t(offsetX));
    Le32(out, uint32_t(offsetY));
    Le16(out, across);
    Le16(out, down);
    return Chunk("prei", out);
}

Bytes UniformBlocks(uint32_t count)
{
    Bytes out;
    for (uint32_t i = 0; i < count; ++i)
        out.insert(out.end(), {0x0F, 0, 0, 0, 0});
    return Chunk("pred", out);
}

Bytes Name(const std::u16string& name)
{
    Bytes out;
    for (char16_t c : name)
        Le16(out, c);
    Le16(out, 0);
    return Chunk("name", out);
}

// A layer of one uniform block at the origin.
Bytes SmallLayer(const Bytes& extra = {})
{
    return Chunk("layr", Cat({Name(u"A"), LayerInfo(1, 1), extra,
                              Chunk("prev", Cat({PreviewInfo(0, 0, 1, 1), UniformBlocks(1)}))}));
}

Bytes File(const Bytes& pictPayload, uint32_t version = 1)
{
    return Cat({Head(version), Chunk("pict", pictPayload)});
}

ITzLayerImageARGB* AddLayer(ITzPicture& picture, PTzRECT bounds)
{
    ITzLayerImageARGB* layer = picture_test::MakeLayer(bounds);
    picture.InsertLayer(picture.GetLayerCount(), layer);
    return layer;
}

}  // namespace

TEST(NativeReader, RoundTripKeepsLayersPropertiesAndPixels)
{
    ITzPicture picture;
    picture.Create(700, 500);
    picture.SetXPelsPerMeter(2835);
    ITzLayerImageARGB* painted = AddLayer(picture, {-300, -20, 400, 300});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 200, {10, 20, 30}};
    const PTzRECT spot = {5, 7, 290, 40};
    ASSERT_EQ(painted->FillRect(&spot, &colour), 0);
    painted->SetName(u"painted");
    painted->SetOpacity(77);
    painted->SetMergeType(ITzMERGETYPE(9));
    ITzLayerImageARGB* hidden = AddLayer(picture, {0, 0, 10, 10});
    hidden->Setvisibility(0);
    picture.InsertLayer(2, new ITzLayerImageARGB());  // a new, unpainted 0 x 0 layer

    const Bytes saved = Save(picture);
    int error = 0;
    std::unique_ptr<ITzPicture> loaded = Load(saved, &error);
    ASSERT_TRUE(loaded) << error;
    ASSERT_EQ(loaded->GetLayerCount(), 3);
    EXPECT_EQ(loaded->GetXPelsPerMeter(), 2835u);
    ITzLayerBase* first = loaded->GetLayerbyIndex(0);
    EXPECT_EQ(std::u16string(first->GetName()), u"painted");
    EXPECT_EQ(first->GetOpacity(), 77);
    EXPECT_EQ(int(first->GetMergeType()), 9);
    PTzRECT bounds{};
    first->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, {-300, -20, 400, 300}));
    EXPECT_FALSE(loaded->GetLayerbyIndex(1)->IsVisible());
    loaded->GetLayerbyIndex(2)->GetBounds(&bounds);
    EXPECT_TRUE(picture_test::SameRect(bounds, {0, 0, 0, 0}));
    EXPECT_FALSE(loaded->IsModified());
    // Pixels and geometry: saving the loaded picture gives the same bytes.
    EXPECT_EQ(Save(*loaded), saved);
}

TEST(NativeReader, BlockCountsMatchTheWriterAfterMovesAndExtensions)
{
    ITzPicture picture;
    picture.Create(900, 900);
    ITzLayerImageARGB* layer = AddLayer(picture, {10, 10, 20, 20});
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {1, 2, 3}};
    for (const PTzRECT rect : {PTzRECT{-600, -10, -590, 0}, PTzRECT{700, 300, 900, 800}}) {
        ASSERT_EQ(layer->FillRect(&rect, &colour), 0);
        const Bytes saved = Save(picture);
        std::unique_ptr<ITzPicture> loaded = Load(saved);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(Save(*loaded), saved);
    }
    _tagPTzOFFSET move = {-77, 131};
    layer->Move(&move);
    const Bytes moved = Save(picture);
    std::unique_ptr<ITzPicture> loaded = Load(moved);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Save(*loaded), moved);
}

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
