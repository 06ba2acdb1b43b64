// The native file writer: golden bytes of a small file, block encoding, progress and
// short writes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/picture/native_writer.h"
#include "picture_test_support.h"

using namespace lumatra::native;

namespace {

// A growing in-memory file that can refuse every byte after a limit.
struct VectorFile {
    std::vector<uint8_t> bytes;
    size_t limit = SIZE_MAX;
    _tagPTzIOSTREAM stream{this, nullptr, nullptr, &Write, nullptr};

    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        auto* file = static_cast<VectorFile*>(context);
        const size_t room = file->limit - std::min(file->limit, file->bytes.size());
        const uint32_t done = uint32_t(std::min<size_t>(count, room));
        const auto* from = static_cast<const uint8_t*>(buffer);
        file->bytes.insert(file->bytes.end(), from, from + done);
        return done;
    }
};

void Le32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void Tag(std::vector<uint8_t>& out, const char (&tag)[5], uint32_t size)
{
    Le32(out, PTzFourCC(tag));
    Le32(out, size);
}

int WriteAll(PictureWriter& writer)
{
    int steps = 0;
    while (writer.Step())
        ++steps;
    return steps + 1;
}

// A picture of the size with one transparent layer named "A" over `bounds`.
void MakePicture(ITzPicture& picture, uint32_t width, uint32_t height, PTzRECT bounds)
{
    picture.Create(width, height);
    ITzLayerImageARGB* layer = picture_test::MakeLayer(bounds);
    const PTzChar name[] = u"A";
    layer->SetName(name);
    picture.InsertLayer(0, layer);
}

}  // namespace

TEST(NativeWriter, OnePixelPictureWithAnEmptyLayerHasTheseBytes)
{
    ITzPicture picture;
    MakePicture(picture, 1, 1, {0, 0, 1, 1});
    VectorFile file;
    PictureWriter writer(&picture, &file.stream);
    WriteAll(writer);
    ASSERT_TRUE(writer.Finished());

    std::vector<uint8_t> expected = {'k', 'w', 'd', 'y', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Tag(expected, "pict", 125);
    Tag(expected, "pifb", 20);
    for (uint32_t v : {1u, 1u})
        Le32(expected, v);
    expected.insert(expected.end(), {0, 3, 1, 0});
    for (uint32_t v : {0u, 0u})
        Le32(expected, v);
    Tag(expected, "layr", 89);
    Tag(expected, "name", 4);
    expected.insert(expected.end(), {'A', 0, 0, 0});
    Tag(expected, "lifb", 24);
    for (uint32_t v : {2u, 1u, 1u, 0u, 0u})
        Le32(expected, v);
    expected.insert(expected.end(), {3, 255, 1, 0});
    Tag(expected, "prev", 37);
    Tag(expected, "prei", 16);
    expected.insert(expected.end(), {3, 8, 0, 0});
    for (uint32_t v : {0u, 0u})
        Le32(expected, v);
    expected.insert(expected.end(), {1, 0, 1, 0});
    Tag(expected, "pred", 5);
    expected.insert(expected.end(), {0x0F, 0, 0, 0, 0});
    EXPECT_EQ(file.bytes, expected);
    EXPECT_EQ(writer.FileSize(), expected.size());
    EXPECT_EQ(writer.Progress(), 100u);
}

TEST(NativeWriter, PaintedChannelsAreStoredRawAndUniformOnesAsOneByte)
{
    ITzPicture picture;
    MakePicture(picture, 300, 10, {0, 0, 300, 10});
    auto* layer = static_cast<ITzLayerImageARGB*>(picture.GetLayerbyIndex(0));
    _tagPTzCOLOR red = {PTzCOLORMODE_ARGB, 255, {255, 0, 0}};
    const PTzRECT dot = {1, 1, 2, 2};
    ASSERT_EQ(layer->FillRect(&dot, &red), 0);
    VectorFile file;
    PictureWriter writer(&picture, &file.stream);
    WriteAll(writer);
    ASSERT_TRUE(writer.Finished());
    // Two blocks: the painted one keeps alpha and red as 65,536 bytes each, the other
    // block is four constants.
    const uint64_t data = (1 + 2 * 65536 + 2) + 5;
    EXPECT_EQ(writer.FileSize(), 16 + 8 + 28 + 8 + 12 + 32 + 8 + 24 + 8 + data);
    EXPECT_EQ(file.bytes.size(), writer.FileSize());
    EXPECT_EQ(file.bytes[file.bytes.size() - data], 0x0C);  // green and blue uniform
}

TEST(NativeWriter, NamesAreCutToSixtyThreeUnits)
{
    ITzPicture picture;
    MakePicture(picture, 1, 1, {0, 0, 1, 1});
    std::u16string longName(100, u'x');
    picture.GetLayerbyIndex(0)->SetName(longName.c_str());
    VectorFile file;
    PictureWriter writer(&picture, &file.stream);
    WriteAll(writer);
    const size_t nameAt = 16 + 8 + 28 + 8;
    EXPECT_EQ(PTzReadLE32(&file.bytes[nameAt + 4]), 64u * 2);
}

TEST(NativeWriter, ShortWriteAtAnyPointFailsTheSave)
{
    ITzPicture picture;
    MakePicture(picture, 1, 1, {0, 0, 1, 1});
    VectorFile whole;
    PictureWriter full(&picture, &whole.stream);
    WriteAll(full);
    for (size_t limit = 0; limit < whole.bytes.size(); ++limit) {
        VectorFile file;
        file.limit = limit;
        PictureWriter writer(&picture, &file.stream);
        WriteAll(writer);
        EXPECT_TRUE(writer.Failed()) << limit;
        EXPECT_FALSE(writer.Finished()) << limit;
    }
}

TEST(NativeWriter, ProgressRisesToOneHundred)
{
    ITzPicture picture;
    MakePicture(picture, 600, 600, {-100, -50, 600, 600});
    VectorFile file;
    PictureWriter writer(&picture, &file.stream);
    uint32_t last = 0;
    while (writer.Step()) {
        EXPECT_GE(writer.Progress(), last);
        last = writer.Progress();
    }
    EXPECT_TRUE(writer.Finished());
    EXPECT_EQ(writer.Progress(), 100u);
}
