// The built module Dravine.so loaded through Formick from a plug-in folder: it is
// found as the reader of native files, by name and by content, and tells Formick that
// the engine loads and saves them itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/corvane_types.h"
#include "formats/manager/filter_list.h"
#include "formats/manager/load_modes.h"
#include "formats/manager/plugin_manager.h"
#include "formats/manager/reader_lookup.h"
#include "formats/manager/save_format.h"
#include "tests/base/temp_folder.h"

namespace {

class DravineModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto built = std::filesystem::canonical("/proc/self/exe").parent_path() / "PlugIn" / "Dravine.so";
        std::filesystem::create_directory(folder.Item("PlugIn"));
        std::filesystem::copy_file(built, folder.Item("PlugIn/Dravine.so"));
        const _tagPTzFILE plugins = folder.Record("PlugIn");
        list = FTzInit(&plugins);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(FTzGetPlugInCount(list), 1u);
        dravine = FTzGetPlugInByID(list, PTzFourCC("dwyk"));
        ASSERT_NE(dravine, nullptr);
    }
    void TearDown() override { FTzUninit(list); }

    // The first reader Formick finds for the file, or null.
    void* FirstReader(const std::string& name, int contentOnly) const
    {
        const _tagPTzFILE file = folder.Record(name);
        void* found = nullptr;
        void* search = FTzLoadFindFirstPlugIn(list, &file, &found, contentOnly);
        if (search)
            FTzLoadFindPlugInClose(search);
        return found;
    }

    TempFolder folder;
    void* list = nullptr;
    void* dravine = nullptr;
};

const std::string NativeHead("kwdy\x01\x00\x00\x00", 8);

TEST_F(DravineModule, IsTheReaderOfANativeFile)
{
    EXPECT_EQ(FTzGetPlugInSupportFormat(dravine), PTzFourCC("dwk "));
    folder.Write("picture.DWK", NativeHead);
    EXPECT_EQ(FirstReader("picture.DWK", 0), dravine);

    // Under another name only the content-only search finds it.
    folder.Write("picture.bin", NativeHead);
    EXPECT_EQ(FirstReader("picture.bin", 0), nullptr);
    EXPECT_EQ(FirstReader("picture.bin", 1), dravine);

    // The name alone is not enough.
    folder.Write("empty.dwk", "kwd");
    EXPECT_EQ(FirstReader("empty.dwk", 1), nullptr);
}

TEST_F(DravineModule, OffersOnlyTheNativeMode)
{
    uint32_t mode = 0;
    void* find = FTzLoadFindFirstSupportMode(dravine, &mode);
    EXPECT_EQ(find, nullptr);
    EXPECT_EQ(mode, 8u);
    EXPECT_EQ(FTzSaveGetMode(dravine), 8u);
}

TEST_F(DravineModule, AppearsInTheOpenAndSaveLists)
{
    for (auto filters : {FTzLoadGetFilter, FTzSaveGetFilter}) {
        _tagFTzFILTERINFO record{};
        ASSERT_EQ(filters(list, &record, 1), 1u);
        EXPECT_EQ(record.plugin, dravine);
        EXPECT_EQ(std::u16string(record.description), u"Quorvel File Format(*.DWK)");
        EXPECT_EQ(std::u16string(record.patterns), u"*.DWK");
    }
}

}  // namespace
