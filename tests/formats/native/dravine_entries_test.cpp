// Dravine's entries called directly: its identity, the file-type strings, recognition
// by name and by the magic at the head, and the native load and save mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error_codes.h"
#include "base/mem_stream.h"
#include "formats/native/dravine_entries.h"
#include "tests/base/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Asks the content test about bytes held in a memory stream.
int RecognisesBytes(Bytes bytes, uint32_t startAt = 0)
{
    bytes.reserve(bytes.size() + 1);
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(bytes.data(), uint32_t(bytes.size()));
    EXPECT_NE(stream, nullptr);
    PTzIOStreamSeek(stream, int32_t(startAt), 0);
    const int result = FTzPlugInReadSupportByStream(stream);
    PTzDestoryMemStream(stream);
    return result;
}

// The magic "ydwk" little-endian, then a version.
Bytes NativeHead(uint32_t version)
{
    return {'k', 'w', 'd', 'y', uint8_t(version), uint8_t(version >> 8), uint8_t(version >> 16),
            uint8_t(version >> 24)};
}

TEST(DravineEntries, Identity)
{
    EXPECT_EQ(FTzPlugInIsPlugIn(), 1);
    EXPECT_EQ(FTzPlugInRequestVersion(), 0x01000000u);
    EXPECT_EQ(FTzPlugInGetID(), 0x6477796Bu);
    EXPECT_EQ(FTzPlugInGetSupportFormat(), 0x64776B20u);
    EXPECT_EQ(FTzPlugInGetSupportFlag(), 3u);
}

TEST(DravineEntries, DescriptionFillsBothHalves)
{
    std::vector<PTzChar> buffer(FTzDESC_UNITS, u'#');
    EXPECT_EQ(FTzPlugInGetSupportDesc(buffer.data()), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u"Quorvel File Format(*.DWK)");
    EXPECT_EQ(std::u16string(buffer.data() + FTzDESC_HALF), u"*.DWK");
    EXPECT_EQ(buffer[FTzDESC_HALF - 1], 0);
    EXPECT_EQ(buffer[FTzDESC_UNITS - 1], 0);

    PTzSetLastError(0);
    EXPECT_EQ(FTzPlugInGetSupportDesc(nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
}

TEST(DravineEntries, RecognisesTheExtensionInAnyCase)
{
    for (const char* name : {"/tmp/a.dwk", "/tmp/a.DWK", "/tmp/a.Dwk"}) {
        const _tagPTzFILE file = PathRecord(name);
        EXPECT_EQ(FTzPlugInReadSupportByFile(&file), 1) << name;
    }
    for (const char* name : {"/tmp/a.bmp", "/tmp/a.dwkx", "/tmp/dwk", "/tmp/a.dw"}) {
        const _tagPTzFILE file = PathRecord(name);
        EXPECT_EQ(FTzPlugInReadSupportByFile(&file), 0) << name;
    }
    PTzSetLastError(0);
    EXPECT_EQ(FTzPlugInReadSupportByFile(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
}

TEST(DravineEntries, RecognisesTheMagicWhateverTheVersion)
{
    EXPECT_EQ(RecognisesBytes(NativeHead(1)), 1);
    // The engine refuses an unknown version when it reads; the test does not look at it.
    EXPECT_EQ(RecognisesBytes(NativeHead(7)), 1);
    // Exactly the four magic bytes suffice.
    EXPECT_EQ(RecognisesBytes({'k', 'w', 'd', 'y'}), 1);
    // The test reads from the head, wherever the stream stood.
    EXPECT_EQ(RecognisesBytes(NativeHead(1), 6), 1);
}

TEST(DravineEntries, RefusesOtherContent)
{
    EXPECT_EQ(RecognisesBytes({'k', 'w', 'd'}), 0);
    EXPECT_EQ(RecognisesBytes({}), 0);
    // The magic written big-endian is not the magic.
    EXPECT_EQ(RecognisesBytes({'y', 'd', 'w', 'k', 1, 0, 0, 0}), 0);
    EXPECT_EQ(RecognisesBytes({'B', 'M', 0, 0, 0, 0}), 0);
    EXPECT_EQ(RecognisesBytes({0, 'k', 'w', 'd', 'y'}), 0);

    PTzSetLastError(0);
    EXPECT_EQ(FTzPlugInReadSupportByStream(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
}

TEST(DravineEntries, LoadsAndSavesInTheNativeMode)
{
    uint32_t mode = 0;
    EXPECT_EQ(FTzPlugInFindFirstLoadMode(&mode), nullptr);
    EXPECT_EQ(mode, FTzMODE_NATIVE);
    EXPECT_EQ(FTzPlugInFindFirstLoadMode(nullptr), nullptr);
    mode = 5;
    EXPECT_EQ(FTzPlugInFindNextLoadMode(nullptr, &mode), 0);
    EXPECT_EQ(mode, 5u);
    EXPECT_EQ(FTzPlugInCloseFindLoadMode(nullptr), 0);
    EXPECT_EQ(FTzPlugInGetSaveMode(nullptr), FTzMODE_NATIVE);
}

}  // namespace
