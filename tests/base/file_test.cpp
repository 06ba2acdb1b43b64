// Files on disk: exclusive opens that never wait, regular files only, the access
// each open mode gives, creation with missing folders, and free numbered names.
#include "base/file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/error_codes.h"
#include "tests/base/temp_folder.h"

namespace {

// The descriptor behind a handle (handles are the descriptor plus one).
int DescriptorOf(PTzFILEHANDLE handle)
{
    return int(reinterpret_cast<uintptr_t>(handle) - 1);
}

TEST(File, ExistMeansARegularFile)
{
    TempFolder temp;
    temp.Write("a", "x");
    ASSERT_EQ(mkfifo(temp.Item("fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("a", temp.Item("link").c_str()), 0);
    const auto exists = [&](const char* name) {
        const _tagPTzFILE path = temp.Record(name);
        return PTzFileExist(&path);
    };
    EXPECT_EQ(exists("a"), 1);
    EXPECT_EQ(exists("link"), 1);
    EXPECT_EQ(exists("fifo"), 0);
    EXPECT_EQ(exists("missing"), 0);
    const _tagPTzFILE folder = temp.Record();
    EXPECT_EQ(PTzFileExist(&folder), 0);
    EXPECT_EQ(PTzFileExist(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(File, OpenModesGiveTheirAccess)
{
    TempFolder temp;
    temp.Write("a", "data");
    const _tagPTzFILE path = temp.Record("a");
    const struct {
        uint32_t mode;
        int access;
    } cases[] = {{1, O_RDWR}, {2, O_RDONLY}, {3, O_WRONLY}};
    for (const auto& c : cases) {
        PTzFILEHANDLE file = PTzFileOpen(&path, c.mode);
        ASSERT_NE(file, nullptr) << c.mode;
        EXPECT_EQ(fcntl(DescriptorOf(file), F_GETFL) & (O_ACCMODE | O_NONBLOCK), c.access) << c.mode;
        EXPECT_NE(PTzFileClose(file), 0);
    }
    for (uint32_t mode : {0u, 4u}) {
        EXPECT_EQ(PTzFileOpen(&path, mode), nullptr);
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
        EXPECT_EQ(PTzFileCreateEx(&path, mode), nullptr);
    }
}

TEST(File, SecondOpenFailsWithACodeWhileTheFirstHoldsIt)
{
    TempFolder temp;
    temp.Write("a", "data");
    const _tagPTzFILE path = temp.Record("a");
    PTzFILEHANDLE first = PTzFileOpen(&path, 2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PTzFileOpen(&path, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), EWOULDBLOCK);
    EXPECT_NE(PTzFileClose(first), 0);
    PTzFILEHANDLE again = PTzFileOpen(&path, 1);
    EXPECT_NE(again, nullptr);
    PTzFileClose(again);
}

TEST(File, AnotherProcessHoldingTheFileGivesAFailureNotAWait)
{
    TempFolder temp;
    temp.Write("a", "data");
    const _tagPTzFILE path = temp.Record("a");
    int held[2], release[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PTzFILEHANDLE file = PTzFileOpen(&path, 3);
        const char ok = file ? 1 : 0;
        char done;
        if (write(held[1], &ok, 1) != 1 || read(release[0], &done, 1) != 1)
            _exit(2);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(held[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    EXPECT_EQ(PTzFileOpen(&path, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), EWOULDBLOCK);
    EXPECT_EQ(write(release[1], &ok, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    for (int fd : {held[0], held[1], release[0], release[1]})
        close(fd);
}

TEST(File, OpenRefusesAFifoAndAFolderWithoutWaiting)
{
    TempFolder temp;
    ASSERT_EQ(mkfifo(temp.Item("fifo").c_str(), 0600), 0);
    const _tagPTzFILE fifo = temp.Record("fifo");
    for (uint32_t mode : {1u, 2u, 3u}) {
        EXPECT_EQ(PTzFileOpen(&fifo, mode), nullptr) << mode;
        EXPECT_GT(PTzGetLastError(), 0);
        EXPECT_EQ(PTzFileCreateEx(&fifo, mode), nullptr) << mode;
    }
    const _tagPTzFILE folder = temp.Record();
    EXPECT_EQ(PTzFileOpen(&folder, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), EISDIR);
}

TEST(File, PathsThatCannotBeSpelledForTheSystemAreRefused)
{
    TempFolder temp;
    _tagPTzFILE lone = temp.Record("x");
    lone.path[temp.path().size() + 1] = 0xD800;  // a high surrogate with nothing after it
    EXPECT_EQ(PTzFileCreate(&lone, 3), nullptr);
    EXPECT_EQ(PTzGetLastError(), EILSEQ);

    _tagPTzFILE unterminated;
    std::fill(std::begin(unterminated.path), std::end(unterminated.path), u'a');
    EXPECT_EQ(PTzFileOpen(&unterminated, 2), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_TOO_LONG);
}

TEST(File, NonAsciiNamesReachTheSystemAsUtf8AndCarriedBytesAsThemselves)
{
    TempFolder temp;
    const struct {
        std::u16string name;
        std::string bytes;
    } names[] = {
        {u"caf\u00E9\U0001F600", "caf\xC3\xA9\xF0\x9F\x98\x80"},
        {u"latin1-\xDCE9t\xDCE9.bmp", "latin1-\xE9t\xE9.bmp"},  // bytes that are not UTF-8
    };
    for (const auto& n : names) {
        _tagPTzFILE path;
        ASSERT_EQ(PTzFileFill(&path, (Wide(temp.path()) + u"/" + n.name).c_str()), 1);
        PTzFILEHANDLE file = PTzFileCreate(&path, 3);
        ASSERT_NE(file, nullptr);
        PTzFileClose(file);
        EXPECT_EQ(access(temp.Item(n.bytes).c_str(), F_OK), 0) << n.bytes;
        EXPECT_EQ(PTzFileExist(&path), 1);
    }
}

TEST(File, CreateMakesANewFileOnly)
{
    TempFolder temp;
    const _tagPTzFILE path = temp.Record("new");
    PTzFILEHANDLE file = PTzFileCreate(&path, 3);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(write(DescriptorOf(file), "abc", 3), 3);
    EXPECT_NE(PTzFileClose(file), 0);
    EXPECT_EQ(PTzFileCreate(&path, 3), nullptr);
    EXPECT_EQ(PTzGetLastError(), EEXIST);
    EXPECT_EQ(temp.Read("new"), "abc");
}

TEST(File, CreateExMakesMissingFoldersAndOpensAnExistingFile)
{
    TempFolder temp;
    const _tagPTzFILE path = temp.Record("one/two/file");
    PTzFILEHANDLE file = PTzFileCreateEx(&path, 3);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(write(DescriptorOf(file), "abc", 3), 3);
    PTzFileClose(file);

    file = PTzFileCreateEx(&path, 2);
    ASSERT_NE(file, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(read(DescriptorOf(file), bytes, 4), 3);
    EXPECT_STREQ(bytes, "abc");
    PTzFileClose(file);
}

TEST(File, DeleteRemovesFilesOnly)
{
    TempFolder temp;
    temp.Write("a", "x");
    const _tagPTzFILE path = temp.Record("a");
    EXPECT_NE(PTzFileDelete(&path), 0);
    EXPECT_EQ(PTzFileExist(&path), 0);
    EXPECT_EQ(PTzFileDelete(&path), 0);
    EXPECT_EQ(PTzGetLastError(), ENOENT);
    const _tagPTzFILE folder = temp.Record();
    EXPECT_EQ(PTzFileDelete(&folder), 0);
    EXPECT_EQ(PTzFileDelete(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(File, FreeNameSkipsEveryExistingEntry)
{
    TempFolder temp;
    temp.Write("Sample_0", "");
    temp.Write("Sample_1", "");
    const _tagPTzFILE folder = temp.Record();
    _tagPTzFILE out;
    ASSERT_EQ(PTzFileFindAvailalbeNameInPath(&folder, nullptr, &out), 1);
    EXPECT_EQ(Narrow(out), temp.Item("Sample_2"));

    // A folder, a FIFO and a dangling symlink all make a name taken.
    ASSERT_EQ(mkdir(temp.Item("Sample_2").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(temp.Item("Sample_3").c_str(), 0600), 0);
    ASSERT_EQ(symlink("nowhere", temp.Item("Sample_4").c_str()), 0);
    ASSERT_EQ(PTzFileFindAvailalbeNameInPath(&folder, nullptr, &out), 1);
    EXPECT_EQ(Narrow(out), temp.Item("Sample_5"));

    ASSERT_EQ(PTzFileFindAvailalbeNameInPath(&folder, u"R#&%", &out), 1);
    EXPECT_EQ(Narrow(out), temp.Item("R#&%_0"));
}

TEST(File, FreeNameOf260UnitsIsRefused)
{
    TempFolder temp;
    const _tagPTzFILE folder = temp.Record();
    // folder + "/" + base + "_0" is 259 units, then 260.
    const size_t baseUnits = 259 - temp.path().size() - 1 - 2;
    _tagPTzFILE out = PathRecord("keep");
    ASSERT_EQ(PTzFileFindAvailalbeNameInPath(&folder, Wide(std::string(baseUnits, 'b')).c_str(), &out), 1);
    EXPECT_EQ(Narrow(out).size(), 259u);
    out = PathRecord("keep");
    EXPECT_EQ(PTzFileFindAvailalbeNameInPath(&folder, Wide(std::string(baseUnits + 1, 'b')).c_str(), &out), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_TOO_LONG);
    EXPECT_EQ(Narrow(out), "keep");
}

TEST(File, FreeNameRunsOutAfter10000)
{
    TempFolder temp;
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(mknod(temp.Item("s_" + std::to_string(i)).c_str(), S_IFREG | 0600, 0), 0);
    const _tagPTzFILE folder = temp.Record();
    _tagPTzFILE out;
    EXPECT_EQ(PTzFileFindAvailalbeNameInPath(&folder, u"s", &out), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_NO_FREE_NAME);
}

}  // namespace
