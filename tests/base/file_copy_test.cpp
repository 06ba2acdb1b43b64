// Copies and moves: a target is replaced whole or not at all, an occupied target is
// never overwritten by a move, and nothing is left behind by a failure.
#include "base/file_copy.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "base/error_codes.h"
#include "base/file.h"
#include "base/file_copy_test_hooks.h"
#include "tests/base/temp_folder.h"

namespace {

size_t EntriesIn(const TempFolder& temp)
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path()))
        ++count;
    return count;
}

TEST(FileCopy, CopyMakesANewFileAndKeepsAnExistingOne)
{
    TempFolder temp;
    temp.Write("src", std::string(3'000'000, 'q') + "end");
    temp.Write("old", "old");
    const _tagPTzFILE src = temp.Record("src");
    const _tagPTzFILE fresh = temp.Record("fresh");
    const _tagPTzFILE old = temp.Record("old");
    EXPECT_NE(PTzFileCopy(&fresh, &src), 0);
    EXPECT_EQ(temp.Read("fresh"), temp.Read("src"));
    EXPECT_EQ(PTzFileCopy(&old, &src), 0);
    EXPECT_EQ(PTzGetLastError(), EEXIST);
    EXPECT_EQ(temp.Read("old"), "old");
    EXPECT_EQ(PTzFileCopyEx(nullptr, &src, 1), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(FileCopy, OverwriteReplacesTheTargetWhole)
{
    TempFolder temp;
    temp.Write("src", "new contents");
    temp.Write("dst", "old contents that were longer");
    const _tagPTzFILE src = temp.Record("src");
    const _tagPTzFILE dst = temp.Record("dst");
    EXPECT_NE(PTzFileCopyEx(&dst, &src, 1), 0);
    EXPECT_EQ(temp.Read("dst"), "new contents");
    EXPECT_EQ(EntriesIn(temp), 2u);  // no temporary file left
}

TEST(FileCopy, OverwriteLeavesAHeldTargetAlone)
{
    TempFolder temp;
    temp.Write("src", "new");
    temp.Write("dst", "old");
    const _tagPTzFILE src = temp.Record("src");
    const _tagPTzFILE dst = temp.Record("dst");
    PTzFILEHANDLE holder = PTzFileOpen(&dst, 2);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(PTzFileCopyEx(&dst, &src, 1), 0);
    EXPECT_EQ(PTzGetLastError(), EWOULDBLOCK);
    PTzFileClose(holder);
    EXPECT_EQ(temp.Read("dst"), "old");
    EXPECT_EQ(EntriesIn(temp), 2u);
    // A file copied over itself is held by the copy's own read.
    EXPECT_EQ(PTzFileCopyEx(&src, &src, 1), 0);
    EXPECT_EQ(temp.Read("src"), "new");
}

TEST(FileCopy, CopyRefusesAFifoAndAFolderTarget)
{
    TempFolder temp;
    temp.Write("src", "x");
    ASSERT_EQ(mkfifo(temp.Item("fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(temp.Item("folder").c_str(), 0700), 0);
    const _tagPTzFILE fifo = temp.Record("fifo");
    const _tagPTzFILE src = temp.Record("src");
    const _tagPTzFILE out = temp.Record("out");
    const _tagPTzFILE folder = temp.Record("folder");
    EXPECT_EQ(PTzFileCopy(&out, &fifo), 0);
    EXPECT_EQ(PTzGetLastError(), EINVAL);
    EXPECT_EQ(PTzFileCopyEx(&folder, &src, 1), 0);
    EXPECT_EQ(PTzGetLastError(), EISDIR);
    EXPECT_EQ(EntriesIn(temp), 3u);
}

TEST(FileCopy, MoveNeverReplacesATarget)
{
    TempFolder temp;
    temp.Write("a", "first");
    temp.Write("b", "second");
    const _tagPTzFILE a = temp.Record("a");
    const _tagPTzFILE b = temp.Record("b");
    const _tagPTzFILE c = temp.Record("c");
    EXPECT_EQ(PTzFileMove(&b, &a), 0);
    EXPECT_EQ(PTzGetLastError(), EEXIST);
    EXPECT_EQ(temp.Read("a"), "first");
    EXPECT_EQ(temp.Read("b"), "second");
    EXPECT_NE(PTzFileMove(&c, &a), 0);
    EXPECT_EQ(PTzFileExist(&a), 0);
    EXPECT_EQ(temp.Read("c"), "first");
    EXPECT_EQ(PTzFileMove(&c, &a), 0);
    EXPECT_EQ(PTzGetLastError(), ENOENT);
}

TEST(FileCopy, ReplaceRenamesOverTheTargetKeepingItsModeAndLink)
{
    TempFolder temp;
    temp.Write("target", "old");
    temp.Write("new", "new contents");
    ASSERT_EQ(chmod(temp.Item("target").c_str(), 0640), 0);
    ASSERT_EQ(symlink("target", temp.Item("link").c_str()), 0);
    const _tagPTzFILE link = temp.Record("link");
    const _tagPTzFILE replacement = temp.Record("new");
    ASSERT_NE(PTzFileReplace(&link, &replacement), 0);
    EXPECT_EQ(temp.Read("target"), "new contents");
    EXPECT_TRUE(std::filesystem::is_symlink(temp.Item("link")));
    EXPECT_EQ(std::filesystem::status(temp.Item("target")).permissions(),
              std::filesystem::perms(0640));
    EXPECT_EQ(EntriesIn(temp), 2u);
    // Without a target the replacement simply takes the name.
    temp.Write("other", "x");
    const _tagPTzFILE fresh = temp.Record("fresh");
    const _tagPTzFILE other = temp.Record("other");
    EXPECT_NE(PTzFileReplace(&fresh, &other), 0);
    EXPECT_EQ(temp.Read("fresh"), "x");
}

TEST(FileCopy, AFailedReplaceLeavesBothFiles)
{
    const struct {
        int step;
        bool folderTarget;
        int code;
    } cases[] = {
        {PTzTEST_REPLACE_SYNC, false, EIO},
        {PTzTEST_REPLACE_RENAME, false, EIO},
        {PTzTEST_REPLACE_NONE, true, EISDIR},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        temp.Write("new", "new");
        if (c.folderTarget)
            ASSERT_EQ(mkdir(temp.Item("target").c_str(), 0700), 0);
        else
            temp.Write("target", "old");
        const _tagPTzFILE target = temp.Record("target");
        const _tagPTzFILE replacement = temp.Record("new");
        PTzTestFailNextReplaceStep(c.step);
        EXPECT_EQ(PTzFileReplace(&target, &replacement), 0) << c.step;
        EXPECT_EQ(PTzGetLastError(), c.code) << c.step;
        EXPECT_EQ(temp.Read("new"), "new");
        if (!c.folderTarget) {
            EXPECT_EQ(temp.Read("target"), "old");
        }
    }
    PTzTestFailNextReplaceStep(PTzTEST_REPLACE_NONE);
}

}  // namespace
