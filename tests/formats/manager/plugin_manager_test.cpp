// The plug-in list: which modules of the folder are kept, their order, lookups by
// position and identifier, and handles kept past the list's end.
#include "formats/manager/plugin_manager.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "formats/manager/load_session.h"
#include "formats/manager/save_format.h"
#include "formats/manager/save_session.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

using PlugInManager = PlugInFolder;

TEST_F(PlugInManager, KeepsOnlyPlugInsOfAnAcceptedVersion)
{
    EXPECT_EQ(FTzGetPlugInCount(list), 4u);
    EXPECT_EQ(Loaded("e_too_new.so"), nullptr);
    EXPECT_EQ(Loaded("f_no_version.so"), nullptr);
    EXPECT_EQ(Loaded("sub/z_reader.so"), nullptr);
}

TEST_F(PlugInManager, OrdersByFormatThenPriorityThenFileName)
{
    EXPECT_EQ(FTzGetPlugInByIndex(list, 0), Reader());
    EXPECT_EQ(FTzGetPlugInByIndex(list, 1), Loaded("d_urgent.so"));
    EXPECT_EQ(FTzGetPlugInByIndex(list, 2), Writer());
    EXPECT_EQ(FTzGetPlugInByIndex(list, 3), Loaded("c_writer.so"));
    EXPECT_EQ(FTzGetPlugInByIndex(list, 99), Loaded("c_writer.so"));
}

TEST_F(PlugInManager, FindsTheFirstPlugInOfAnIdentifier)
{
    EXPECT_EQ(FTzGetPlugInByID(list, PTzFourCC("rfak")), Reader());
    EXPECT_EQ(FTzGetPlugInByID(list, PTzFourCC("wfak")), Loaded("d_urgent.so"));
    EXPECT_EQ(FTzGetPlugInByID(list, 0), nullptr);
    EXPECT_EQ(FTzGetPlugInByID(list, PTzFourCC("rbmp")), nullptr);
}

TEST_F(PlugInManager, ReportsFormatCodes)
{
    EXPECT_EQ(FTzGetPlugInSupportFormat(Reader()), PTzFourCC("fake"));
    EXPECT_EQ(FTzGetPlugInSupportFormat(Writer()), PTzFourCC("fakw"));
    EXPECT_EQ(FTzGetPlugInSupportFormat(nullptr), PTzFourCCNone);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST_F(PlugInManager, HandlesKeptPastTheEndAreRefusedLikeNullOnes)
{
    void* reader = Reader();
    void* writer = Writer();
    EXPECT_EQ(FTzUninit(list), 1);
    list = nullptr;
    EXPECT_EQ(Reader(), nullptr);
    EXPECT_EQ(FTzGetPlugInSupportFormat(reader), PTzFourCCNone);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzSaveGetMode(writer), PTzFourCCNone);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
    int error = 0;
    EXPECT_EQ(FTzLoadStart_1(reader, nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(error, FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzSaveStart_1(writer, nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(error, PTzERR_BAD_ARGUMENT);
}

TEST(PlugInManagerEdges, EmptyAndMissingFoldersAndNullLists)
{
    EXPECT_EQ(FTzGetVersionNumber(), 0x01000000u);
    TempFolder empty;
    const _tagPTzFILE record = empty.Record();
    void* list = FTzInit(&record);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(FTzGetPlugInCount(list), 0u);
    PTzSetLastError(0);
    EXPECT_EQ(FTzGetPlugInByIndex(list, 0), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzUninit(list), 1);

    const _tagPTzFILE missing = empty.Record("missing");
    EXPECT_EQ(FTzInit(&missing), nullptr);
    EXPECT_EQ(PTzGetLastError(), ENOENT);
    EXPECT_EQ(FTzInit(nullptr), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);

    EXPECT_EQ(FTzGetPlugInCount(nullptr), 0u);
    EXPECT_EQ(FTzGetPlugInByIndex(nullptr, 0), nullptr);
    EXPECT_EQ(FTzGetPlugInByID(nullptr, 0), nullptr);
    PTzSetLastError(0);
    EXPECT_EQ(FTzUninit(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
