// The reader search: the name-and-content pass, the content-only pass after it, and
// files no plug-in can read.
#include "formats/manager/reader_lookup.h"

#include <gtest/gtest.h>

#include "base/error_codes.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

class ReaderLookup : public PlugInFolder {
protected:
    // A readable fake image of 1 x 1.
    static std::string FakeImage() { return std::string("FAKE\1\0\0\0\1\0\0\0\x80", 13); }
};

TEST_F(ReaderLookup, FindsTheReaderByNameAndContent)
{
    folder.Write("pic.fak", FakeImage());
    const _tagPTzFILE file = folder.Record("pic.fak");
    void* plugin = nullptr;
    void* search = FTzLoadFindFirstPlugIn(list, &file, &plugin, 0);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(plugin, Reader());
    EXPECT_EQ(FTzLoadFindNextPlugIn(search, &plugin), 0);
    EXPECT_EQ(FTzLoadFindPlugInClose(search), 1);
}

TEST_F(ReaderLookup, FindsTheReaderByContentAloneOnlyWhenAllowed)
{
    folder.Write("pic.bin", FakeImage());
    const _tagPTzFILE file = folder.Record("pic.bin");
    void* plugin = nullptr;
    EXPECT_EQ(FTzLoadFindFirstPlugIn(list, &file, &plugin, 0), nullptr);
    EXPECT_EQ(plugin, nullptr);
    void* search = FTzLoadFindFirstPlugIn(list, &file, &plugin, 1);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(plugin, Reader());
    EXPECT_EQ(FTzLoadFindNextPlugIn(search, &plugin), 0);
    EXPECT_EQ(FTzLoadFindPlugInClose(search), 1);
}

TEST_F(ReaderLookup, AReaderFoundByNameComesAgainFromTheContentPass)
{
    folder.Write("pic.fak", FakeImage());
    const _tagPTzFILE file = folder.Record("pic.fak");
    void* plugin = nullptr;
    void* search = FTzLoadFindFirstPlugIn(list, &file, &plugin, 1);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(plugin, Reader());
    plugin = nullptr;
    EXPECT_EQ(FTzLoadFindNextPlugIn(search, &plugin), 1);
    EXPECT_EQ(plugin, Reader());
    EXPECT_EQ(FTzLoadFindNextPlugIn(search, &plugin), 0);
    EXPECT_EQ(FTzLoadFindPlugInClose(search), 1);
}

TEST_F(ReaderLookup, NothingFitsForeignOrMissingFiles)
{
    folder.Write("pic.fak", "JUNK and more");
    void* plugin = nullptr;
    const _tagPTzFILE junk = folder.Record("pic.fak");
    EXPECT_EQ(FTzLoadFindFirstPlugIn(list, &junk, &plugin, 1), nullptr);
    const _tagPTzFILE missing = folder.Record("missing.fak");
    EXPECT_EQ(FTzLoadFindFirstPlugIn(list, &missing, &plugin, 1), nullptr);
    EXPECT_EQ(plugin, nullptr);
}

TEST_F(ReaderLookup, NullArguments)
{
    const _tagPTzFILE file = folder.Record("pic.fak");
    void* plugin = nullptr;
    EXPECT_EQ(FTzLoadFindFirstPlugIn(nullptr, &file, &plugin, 1), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzLoadFindFirstPlugIn(list, nullptr, &plugin, 1), nullptr);
    EXPECT_EQ(FTzLoadFindFirstPlugIn(list, &file, nullptr, 1), nullptr);
    EXPECT_EQ(FTzLoadFindNextPlugIn(nullptr, &plugin), 0);
    EXPECT_EQ(FTzLoadFindPlugInClose(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
