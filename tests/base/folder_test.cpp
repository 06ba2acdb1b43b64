// Folders: existence, creation of a missing chain up to the root, removal.
#include "base/folder.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/error_codes.h"
#include "tests/base/temp_folder.h"

namespace {

TEST(Folder, ExistMeansAFolder)
{
    TempFolder temp;
    temp.Write("file", "x");
    const _tagPTzFILE folder = temp.Record();
    const _tagPTzFILE file = temp.Record("file");
    const _tagPTzFILE missing = temp.Record("missing");
    EXPECT_EQ(PTzFolderExist(&folder), 1);
    EXPECT_EQ(PTzFolderExist(&file), 0);
    EXPECT_EQ(PTzFolderExist(&missing), 0);
    EXPECT_EQ(PTzFolderExist(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(Folder, CreateMakesOneLevel)
{
    TempFolder temp;
    const _tagPTzFILE one = temp.Record("one");
    const _tagPTzFILE deep = temp.Record("x/y");
    EXPECT_NE(PTzFolderCreate(&one), 0);
    EXPECT_EQ(PTzFolderExist(&one), 1);
    EXPECT_EQ(PTzFolderCreate(&deep), 0);
    EXPECT_EQ(PTzGetLastError(), ENOENT);
}

TEST(Folder, CreateExMakesTheMissingChain)
{
    TempFolder temp;
    const _tagPTzFILE deep = temp.Record("a/b/c");
    EXPECT_EQ(PTzFolderCreateEx(&deep), 1);
    EXPECT_EQ(PTzFolderExist(&deep), 1);
    // An existing folder gives 0, and so does the root, which has no parent to make.
    EXPECT_EQ(PTzFolderCreateEx(&deep), 0);
    EXPECT_EQ(PTzGetLastError(), EEXIST);
    const _tagPTzFILE root = PathRecord("/");
    EXPECT_EQ(PTzFolderCreateEx(&root), 0);
}

TEST(Folder, RemoveTakesOnlyAnEmptyFolder)
{
    TempFolder temp;
    const _tagPTzFILE empty = temp.Record("empty");
    const _tagPTzFILE full = temp.Record("full");
    ASSERT_NE(PTzFolderCreate(&empty), 0);
    ASSERT_NE(PTzFolderCreate(&full), 0);
    temp.Write("full/file", "x");
    EXPECT_NE(PTzRemoveFolder(&empty), 0);
    EXPECT_EQ(PTzFolderExist(&empty), 0);
    EXPECT_EQ(PTzRemoveFolder(&full), 0);
    EXPECT_EQ(PTzGetLastError(), ENOTEMPTY);
    EXPECT_EQ(PTzRemoveFolder(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
