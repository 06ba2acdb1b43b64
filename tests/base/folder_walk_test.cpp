// The folder walkers over a tree that holds what must not be yielded or entered (a
// FIFO, symlink loops, a symlinked folder, a name whose path does not fit a record) and
// a name that is not UTF-8, which is yielded like any other.
#include "base/folder_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/error_codes.h"
#include "base/file.h"
#include "tests/base/temp_folder.h"

namespace {

// a, b, link -> a, s/c, s/loop -> .., self -> self, folder -> s, fifo, a name that is
// not UTF-8 (its record carries the byte, which Narrow gives back), and a name too long
// for a record.
class FolderWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp.Write("a", "");
        temp.Write("b", "");
        ASSERT_EQ(mkdir(temp.Item("s").c_str(), 0700), 0);
        temp.Write("s/c", "");
        ASSERT_EQ(symlink("a", temp.Item("link").c_str()), 0);
        ASSERT_EQ(symlink("..", temp.Item("s/loop").c_str()), 0);
        ASSERT_EQ(symlink("self", temp.Item("self").c_str()), 0);
        ASSERT_EQ(symlink("s", temp.Item("folder").c_str()), 0);
        ASSERT_EQ(mkfifo(temp.Item("fifo").c_str(), 0600), 0);
        temp.Write("bad\xff", "");
        temp.Write(std::string(250, 'n'), "");
    }

    std::set<std::string> Names(std::initializer_list<const char*> names) const
    {
        std::set<std::string> paths;
        for (const char* name : names)
            paths.insert(temp.Item(name));
        return paths;
    }

    std::set<std::string> Enumerate(int recurse) const
    {
        const _tagPTzFILE folder = temp.Record();
        PTzHANDLE find = PTzFindPrepareFolder(&folder, recurse);
        EXPECT_NE(find, nullptr);
        std::set<std::string> found;
        _tagPTzFILE file;
        while (PTzFindNextFile(&find, &file))
            EXPECT_TRUE(found.insert(Narrow(file)).second) << "twice: " << Narrow(file);
        EXPECT_EQ(PTzFindNextFile(&find, &file), 0);  // the end stays the end
        EXPECT_EQ(PTzFindClose(find), 1);
        return found;
    }

    TempFolder temp;
};

TEST_F(FolderWalk, YieldsRegularFilesOfTheFolder)
{
    EXPECT_EQ(Enumerate(0), Names({"a", "b", "link", "bad\xff"}));
}

TEST_F(FolderWalk, RecursionEntersRealFoldersOnly)
{
    EXPECT_EQ(Enumerate(1), Names({"a", "b", "link", "bad\xff", "s/c"}));
}

TEST_F(FolderWalk, CloseMidWayFreesEveryLevel)
{
    const _tagPTzFILE folder = temp.Record();
    PTzHANDLE find = PTzFindPrepareFolder(&folder, 1);
    _tagPTzFILE file;
    // Stop once inside s, with both levels open.
    while (PTzFindNextFile(&find, &file) && Narrow(file) != temp.Item("s/c")) {
    }
    EXPECT_EQ(Narrow(file), temp.Item("s/c"));
    EXPECT_EQ(PTzFindClose(find), 1);
    EXPECT_EQ(PTzFindClose(nullptr), 1);
}

TEST(FolderWalkEdges, MissingFolderIsEmptyAndNullIsRefused)
{
    const _tagPTzFILE missing = PathRecord("/nonexistent/corvane/folder");
    PTzHANDLE find = PTzFindPrepareFolder(&missing, 1);
    ASSERT_NE(find, nullptr);
    _tagPTzFILE file;
    EXPECT_EQ(PTzFindNextFile(&find, &file), 0);
    PTzFindClose(find);
    EXPECT_EQ(PTzFindPrepareFolder(nullptr, 0), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(FolderWalkEdges, NamesAreConvertedExactlyAndBytesThatAreNotUtf8AreCarriedToOpenAgain)
{
    TempFolder temp;
    temp.Write("caf\xC3\xA9", "");              // U+00E9
    temp.Write("\xF0\x9F\x98\x80", "");         // U+1F600, a surrogate pair in UTF-16
    temp.Write("over\xC0\xAF", "");             // overlong "/"
    temp.Write("half\xED\xA0\x80", "");         // an encoded surrogate
    temp.Write("big\xF4\x90\x80\x80", "");      // past U+10FFFF
    temp.Write("cut\xE2\x82", "");              // a truncated sequence
    const _tagPTzFILE folder = temp.Record();
    PTzHANDLE find = PTzFindPrepareFolder(&folder, 0);
    std::set<std::u16string> found;
    _tagPTzFILE file;
    while (PTzFindNextFile(&find, &file))
        found.insert(std::u16string(file.path));
    PTzFindClose(find);
    const std::u16string base = Wide(temp.path()) + u"/";
    EXPECT_EQ(found, (std::set<std::u16string>{
                         base + u"caf\u00E9",
                         base + u"\U0001F600",
                         base + u"over\xDCC0\xDCAF",
                         base + u"half\xDCED\xDCA0\xDC80",
                         base + u"big\xDCF4\xDC90\xDC80\xDC80",
                         base + u"cut\xDCE2\xDC82",
                     }));
    for (const std::u16string& name : found) {
        _tagPTzFILE path;
        ASSERT_EQ(PTzFileFill(&path, name.c_str()), 1);
        PTzFILEHANDLE file = PTzFileOpen(&path, 2);
        EXPECT_NE(file, nullptr) << "the record names the very file";
        PTzFileClose(file);
    }
}

// Records the callbacks of a walk; descending can be refused for one folder.
struct Events {
    std::vector<std::string> log;
    std::string refuse;
    int fileResult = 0;
};

int OnFile(const _tagPTzFILE* path, void* user)
{
    auto* events = static_cast<Events*>(user);
    events->log.push_back("file " + Narrow(*path));
    return events->fileResult;
}

int OnFolder(const _tagPTzFILE* path, int entering, void* user)
{
    auto* events = static_cast<Events*>(user);
    events->log.push_back((entering ? "enter " : "leave ") + Narrow(*path));
    return Narrow(*path) == events->refuse ? 0 : 1;
}

// Runs a walk to its end; every step before the last must be nonzero.
void Walk(const _tagPTzFILE& folder, int recurse, Events* events)
{
    PTzFIND2HANDLE walk = PTzFind2PrepareFolder(&folder, recurse, OnFile, OnFolder, events);
    ASSERT_NE(walk, nullptr);
    int steps = 0;
    while (PTzFind2DoNext(walk) != 0)
        ASSERT_LT(++steps, 1000);
    EXPECT_EQ(PTzFind2DoNext(walk), 0);
    EXPECT_EQ(PTzFind2Close(walk), 1);
}

size_t IndexOf(const std::vector<std::string>& log, const std::string& event)
{
    const auto it = std::find(log.begin(), log.end(), event);
    EXPECT_NE(it, log.end()) << event;
    return size_t(it - log.begin());
}

TEST_F(FolderWalk, CallbackWalkEntersAndLeavesEachLevel)
{
    Events events;  // every file callback returns 0, which must not end the walk
    Walk(temp.Record(), 1, &events);
    std::multiset<std::string> seen(events.log.begin(), events.log.end());
    const std::multiset<std::string> expected = {
        "file " + temp.Item("a"),       "file " + temp.Item("b"),   "file " + temp.Item("link"),
        "file " + temp.Item("bad\xff"), "file " + temp.Item("s/c"), "enter " + temp.Item("s"),
        "leave " + temp.Item("s"),      "leave " + temp.path(),
    };
    EXPECT_EQ(seen, expected);
    EXPECT_LT(IndexOf(events.log, "enter " + temp.Item("s")), IndexOf(events.log, "file " + temp.Item("s/c")));
    EXPECT_LT(IndexOf(events.log, "file " + temp.Item("s/c")), IndexOf(events.log, "leave " + temp.Item("s")));
    EXPECT_EQ(events.log.back(), "leave " + temp.path());
}

TEST_F(FolderWalk, CallbackWalkSkipsARefusedFolderAndFoldersWithoutRecursion)
{
    Events refused;
    refused.refuse = temp.Item("s");
    Walk(temp.Record(), 1, &refused);
    EXPECT_EQ(std::count(refused.log.begin(), refused.log.end(), "file " + temp.Item("s/c")), 0);
    EXPECT_EQ(std::count(refused.log.begin(), refused.log.end(), "leave " + temp.Item("s")), 0);

    Events flat;
    Walk(temp.Record(), 0, &flat);
    EXPECT_EQ(flat.log.size(), 5u);  // a, b, link, bad\xff and the top's leave
}

TEST(FolderWalkEdges, CallbackWalkReturnsTheCallbacksResult)
{
    TempFolder temp;
    temp.Write("only", "");
    Events events;
    events.fileResult = 7;
    const _tagPTzFILE folder = temp.Record();
    PTzFIND2HANDLE walk = PTzFind2PrepareFolder(&folder, 0, OnFile, nullptr, &events);
    std::multiset<int> results;
    for (int result; (result = PTzFind2DoNext(walk)) != 0;)
        results.insert(result);
    EXPECT_EQ(results.count(7), 1u);
    PTzFind2Close(walk);
    EXPECT_EQ(PTzFind2DoNext(nullptr), 0);
    EXPECT_EQ(PTzFind2Close(nullptr), 1);
}

}  // namespace
