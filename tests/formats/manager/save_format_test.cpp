// Save queries and format settings: forwarded to a writer, refused with the right
// codes by a reader that has no save entries and for null plug-ins.
#include "formats/manager/save_format.h"

#include <gtest/gtest.h>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

using SaveFormat = PlugInFolder;

_tagFTzIMAGEINFO_1 ImageOf(int32_t width, uint16_t bits)
{
    _tagFTzIMAGEINFO_1 info{};
    info.width = width;
    info.height = 2;
    info.bits = bits;
    info.mode = PTzCOLORMODE_RGB;
    return info;
}

TEST_F(SaveFormat, WriterAnswersAndEditsItsSetting)
{
    void* writer = Writer();
    EXPECT_EQ(FTzSaveGetMode(writer), FTzMODE_ROWS);
    EXPECT_NE(FTzSaveSupportAlpha_1(writer), 0);
    const _tagFTzIMAGEINFO_1 colour = ImageOf(5, 24);
    const _tagFTzIMAGEINFO_1 indexed = ImageOf(5, 8);
    EXPECT_NE(FTzSaveSupportByFileInfo_1(writer, &colour), 0);
    EXPECT_EQ(FTzSaveSupportByFileInfo_1(writer, &indexed), 0);

    auto* setting = static_cast<uint32_t*>(FTzCreateFormatSetting(writer));
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(*setting, 42u);
    EXPECT_NE(FTzGetFormatSettingByDefaultDlg_1(writer, setting, &colour, nullptr), 0);
    EXPECT_EQ(*setting, 5u);
    EXPECT_EQ(FTzReleaseFormatSetting(writer, setting), 1);
    EXPECT_EQ(FTzReleaseFormatSetting(writer, nullptr), 1);
}

TEST_F(SaveFormat, MissingEntriesGiveTheirDefaultsAndCodes)
{
    void* reader = Reader();
    const _tagFTzIMAGEINFO_1 colour = ImageOf(5, 24);
    EXPECT_EQ(FTzSaveGetMode(reader), PTzFourCCNone);
    EXPECT_EQ(FTzSaveSupportAlpha_1(reader), 0);
    PTzSetLastError(0);
    EXPECT_EQ(FTzSaveSupportByFileInfo_1(reader, &colour), 0);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
    PTzSetLastError(0);
    EXPECT_EQ(FTzCreateFormatSetting(reader), nullptr);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
    PTzSetLastError(0);
    EXPECT_EQ(FTzReleaseFormatSetting(reader, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
    uint32_t setting = 0;
    PTzSetLastError(0);
    EXPECT_EQ(FTzGetFormatSettingByDefaultDlg_1(reader, &setting, &colour, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
}

TEST_F(SaveFormat, NullPlugInsAndArguments)
{
    const _tagFTzIMAGEINFO_1 colour = ImageOf(5, 24);
    EXPECT_EQ(FTzSaveGetMode(nullptr), PTzFourCCNone);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
    PTzSetLastError(0);
    EXPECT_EQ(FTzSaveSupportAlpha_1(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzCreateFormatSetting(nullptr), nullptr);
    EXPECT_EQ(FTzReleaseFormatSetting(nullptr, nullptr), 0);
    EXPECT_EQ(FTzSaveSupportByFileInfo_1(nullptr, &colour), 0);
    PTzSetLastError(0);
    EXPECT_EQ(FTzSaveSupportByFileInfo_1(Writer(), nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    PTzSetLastError(0);
    EXPECT_EQ(FTzGetFormatSettingByDefaultDlg_1(Writer(), nullptr, &colour, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
