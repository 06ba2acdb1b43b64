// The built module Bitmora.so loaded through Formick from a plug-in folder: it is
// found for BMP files, saves one to disk, reads it, a run-length file and one with a
// later Windows header back with Formick's colour conversion, and its header-less
// entries are bound by name.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file_stream.h"
#include "base/module.h"
#include "formats/bmp/bmp_setting.h"
#include "formats/manager/load_session.h"
#include "formats/manager/plugin_manager.h"
#include "formats/manager/reader_lookup.h"
#include "formats/manager/save_format.h"
#include "formats/manager/save_session.h"
#include "tests/base/temp_folder.h"
#include "tests/formats/bmp/bmp_test_files.h"

namespace {

class BitmoraModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto built = std::filesystem::canonical("/proc/self/exe").parent_path() / "PlugIn" / "Bitmora.so";
        std::filesystem::create_directory(folder.Item("PlugIn"));
        std::filesystem::copy_file(built, folder.Item("PlugIn/Bitmora.so"));
        const _tagPTzFILE plugins = folder.Record("PlugIn");
        list = FTzInit(&plugins);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(FTzGetPlugInCount(list), 1u);
        plugin = FTzGetPlugInByID(list, PTzFourCC("rbmp"));
        ASSERT_NE(plugin, nullptr);
    }
    void TearDown() override { FTzUninit(list); }

    template <typename Proc>
    Proc Entry(FTzPlugInEntry<Proc> entry) const
    {
        auto proc = reinterpret_cast<Proc>(PTzGetProcAddress(plugin, entry.name));
        EXPECT_NE(proc, nullptr) << entry.name;
        return proc;
    }

    // Loads through Formick as 24-bit R, G, B rows.
    ReadOutcome LoadAsRgb(_tagPTzIOSTREAM* stream, void* reader) const
    {
        ReadOutcome outcome;
        int error = 0;
        void* session = FTzLoadStart_1(reader, stream, nullptr, &error);
        EXPECT_NE(session, nullptr);
        EXPECT_EQ(FTzLoadGetInfo_1(session, &outcome.info), 0);
        EXPECT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
        _tagFTzGETDATACALLBACK_1 collect{CollectRow, &outcome};
        EXPECT_EQ(FTzLoadSetDataCallBack_1(session, &collect), 0);
        uint8_t percent = 0;
        while ((outcome.lastStep = FTzLoading_1(session, &percent)) == 0) {
        }
        EXPECT_EQ(FTzLoadEnd_1(session), 0);
        return outcome;
    }

    // Finds the reader of a file on disk by its name and content, which must be this
    // plug-in, and loads the file through it as LoadAsRgb does.
    ReadOutcome FindAndLoad(const _tagPTzFILE& file) const
    {
        void* found = nullptr;
        void* search = FTzLoadFindFirstPlugIn(list, &file, &found, 0);
        EXPECT_NE(search, nullptr);
        EXPECT_EQ(found, plugin);
        if (search)
            FTzLoadFindPlugInClose(search);
        _tagPTzIOSTREAM* in = PTzFileStreamCreate(&file, 2);
        EXPECT_NE(in, nullptr);
        if (!in)
            return {};
        const ReadOutcome read = LoadAsRgb(in, plugin);
        PTzFileStreamDestory(in);
        return read;
    }

    TempFolder folder;
    void* list = nullptr;
    void* plugin = nullptr;
};

int SupplyNibbles(uint32_t row, uint32_t, _tagPTzCOLORCONVERTBUFFER* data, void*)
{
    data->data[0] = uint8_t(row << 4 | 1);
    return 0;
}

TEST_F(BitmoraModule, SavesAFileAndFindsAndReadsItBack)
{
    EXPECT_EQ(FTzGetPlugInSupportFormat(plugin), PTzFourCC("bmp "));
    _tagFTzIMAGEINFO_1 info{};
    info.width = 2;
    info.height = 3;
    info.bits = 4;
    info.mode = PTzCOLORMODE_RGB;
    info.paletteCount = 3;
    const uint8_t palette[3][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    std::memcpy(info.palette, palette, sizeof(palette));
    ASSERT_NE(FTzSaveSupportByFileInfo_1(plugin, &info), 0);

    const _tagPTzFILE file = folder.Record("picture.bmp");
    _tagPTzIOSTREAM* out = PTzFileStreamCreateEx(&file, 1);
    ASSERT_NE(out, nullptr);
    int error = 0;
    void* save = FTzSaveStart_1(plugin, out, nullptr, &error);
    ASSERT_NE(save, nullptr);
    void* setting = FTzCreateFormatSetting(plugin);
    _tagFTzBMPSETTING eightBits{0, 8, 0, 0, {}};
    bitmora::StoreBmpSetting(setting, eightBits);
    EXPECT_EQ(FTzSaveSetFormatSetting_1(save, setting), 0);
    EXPECT_EQ(FTzSaveSetInfo_1(save, &info), 0);
    _tagFTzSAVEGETDATACALLBACK_1 rows{SupplyNibbles, nullptr};
    EXPECT_EQ(FTzSaveSetCallBack_1(save, &rows), 0);
    uint8_t percent = 0;
    int result = 0;
    while ((result = FTzSave_1(save, &percent)) == 0) {
    }
    EXPECT_EQ(result, 2001);
    EXPECT_EQ(FTzSaveEnd_1(save), 0);
    EXPECT_EQ(FTzReleaseFormatSetting(plugin, setting), 1);
    ASSERT_EQ(PTzFileStreamDestory(out), 1);

    const std::string bytes = folder.Read("picture.bmp");
    ASSERT_EQ(bytes.size(), 14u + 40u + 12u + 3u * 4u);
    EXPECT_EQ(PTzReadLE32(reinterpret_cast<const uint8_t*>(bytes.data()) + 2), bytes.size());

    const ReadOutcome read = FindAndLoad(file);
    EXPECT_EQ(read.lastStep, 2001);
    EXPECT_EQ(read.info.bits, 8);
    // Row y holds indexes y and 1.
    for (uint32_t y = 0; y < 3; ++y)
        EXPECT_EQ(Bytes(read.Row(y).begin(), read.Row(y).begin() + 6),
                  (Bytes{palette[y][0], palette[y][1], palette[y][2], 40, 50, 60}));
}

TEST_F(BitmoraModule, ReadsRunLengthFiles)
{
    TestBmp bmp;
    bmp.width = 4;
    bmp.height = 1;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.coloursUsed = 2;
    bmp.palette = {{1, 2, 3}, {200, 201, 202}};
    bmp.pixels = {2, 1, 0, 0};
    Bytes file = BuildBmp(bmp);
    MemStream stream(file);
    const ReadOutcome read = LoadAsRgb(stream.get(), plugin);
    EXPECT_EQ(read.lastStep, 2001);
    EXPECT_EQ(read.Row(0), (Bytes{200, 201, 202, 200, 201, 202, 1, 2, 3, 1, 2, 3}));
}

TEST_F(BitmoraModule, FindsAndReadsFilesWithALaterWindowsHeader)
{
    TestBmp picture = LaterHeaderPictures()[2];  // the palette follows the header
    Bytes bytes = BuildBmp(picture);
    folder.Write("forty.bmp", std::string(bytes.begin(), bytes.end()));
    picture.headerSize = 124;
    bytes = BuildBmp(picture);
    folder.Write("later.bmp", std::string(bytes.begin(), bytes.end()));
    const ReadOutcome expected = FindAndLoad(folder.Record("forty.bmp"));
    ASSERT_EQ(expected.lastStep, 2001);
    ExpectSameRead(FindAndLoad(folder.Record("later.bmp")), expected);
}

TEST_F(BitmoraModule, HeaderLessEntriesAreBoundByName)
{
    Bytes block(256);
    MemStream stream(block);
    int error = 0;
    void* save = Entry(FTzBMPSaveDIBStartEntry)(stream.get(), &error);
    ASSERT_NE(save, nullptr);
    _tagFTzIMAGEINFO_1 info{};
    info.width = 1;
    info.height = 1;
    info.bits = 24;
    info.mode = PTzCOLORMODE_RGB;
    Entry(FTzBMPSaveDIBSetInfoEntry)(save, &info);
    _tagFTzSAVEGETDATACALLBACK_1 rows{[](uint32_t, uint32_t, _tagPTzCOLORCONVERTBUFFER* data, void*) {
                                          const uint8_t rgb[] = {1, 2, 3};
                                          std::memcpy(data->data, rgb, 3);
                                          return 0;
                                      },
                                      nullptr};
    Entry(FTzBMPSaveDIBSetCallBackEntry)(save, &rows);
    const auto step = Entry(FTzBMPSaveDIBEntry);
    int result = 0;
    while ((result = step(save, nullptr)) == 0) {
    }
    EXPECT_EQ(result, 2001);
    Entry(FTzBMPSaveDIBEndEntry)(save);

    void* load = Entry(FTzBMPLoadDIBStartEntry)(stream.get(), &error);
    ASSERT_NE(load, nullptr);
    ReadOutcome outcome;
    _tagFTzGETDATACALLBACK_1 collect{CollectRow, &outcome};
    Entry(FTzBMPLoadDIBSetCallBackEntry)(load, &collect);
    uint8_t percent = 0;
    const auto loading = Entry(FTzBMPLoadDIBLoadingEntry);
    while ((result = loading(load, &percent)) == 0) {
    }
    EXPECT_EQ(result, 2001);
    Entry(FTzBMPLoadDIBEndEntry)(load);
    EXPECT_EQ(outcome.Row(0), (Bytes{3, 2, 1, 0}));
}

}  // namespace
