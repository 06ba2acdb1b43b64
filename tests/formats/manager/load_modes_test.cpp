// Load-mode enumeration through a plug-in that offers modes 1 and 8, and through one
// that has no enumeration.
#include "formats/manager/load_modes.h"

#include <gtest/gtest.h>

#include "base/error_codes.h"
#include "formats/manager/plugin_interface.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

using LoadModes = PlugInFolder;

TEST_F(LoadModes, EnumeratesThePlugInsModes)
{
    uint32_t mode = 0;
    void* find = FTzLoadFindFirstSupportMode(Reader(), &mode);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(mode, FTzMODE_ROWS);
    EXPECT_NE(FTzLoadFindNextSupportMode(Reader(), find, &mode), 0);
    EXPECT_EQ(mode, FTzMODE_NATIVE);
    EXPECT_EQ(FTzLoadFindNextSupportMode(Reader(), find, &mode), 0);
    EXPECT_EQ(FTzLoadFindSupportModeClose(Reader(), find), 1);
}

TEST_F(LoadModes, WithoutAnEnumerationModeOneStands)
{
    uint32_t mode = 0;
    EXPECT_EQ(FTzLoadFindFirstSupportMode(Writer(), &mode), nullptr);
    EXPECT_EQ(mode, FTzMODE_ROWS);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
    PTzSetLastError(0);
    EXPECT_EQ(FTzLoadFindNextSupportMode(Writer(), nullptr, &mode), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    PTzSetLastError(0);
    EXPECT_EQ(FTzLoadFindSupportModeClose(Writer(), nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST_F(LoadModes, NullPlugInWritesNoMode)
{
    uint32_t mode = 77;
    EXPECT_EQ(FTzLoadFindFirstSupportMode(nullptr, &mode), nullptr);
    EXPECT_EQ(mode, 77u);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzLoadFindFirstSupportMode(Reader(), nullptr), nullptr);
}

}  // namespace
