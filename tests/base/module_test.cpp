// Modules: loading a shared object beside the program, finding entries, refusing what
// is not a regular file.
#include "base/module.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#include "base/error_codes.h"
#include "base/program_paths.h"
#include "tests/base/temp_folder.h"

namespace {

_tagPTzFILE LibraryBesideTheProgram()
{
    _tagPTzFILE folder, library;
    EXPECT_EQ(PTzGetAppFolder(&folder), 1);
    EXPECT_EQ(PTzGetItemPathInFolder(&folder, &library, u"libcorvane.so"), 1);
    return library;
}

TEST(Module, LoadFindAndFree)
{
    const _tagPTzFILE library = LibraryBesideTheProgram();
    PTzMODULE module = PTzLoadModule(&library);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(PTzGetProcAddress(module, "PTzFileFill"), reinterpret_cast<void*>(&PTzFileFill));
    EXPECT_EQ(PTzGetProcAddress(module, "NoSuchEntry"), nullptr);
    EXPECT_EQ(PTzGetLastError(), ENOENT);
    EXPECT_EQ(PTzFreeModule(module), 1);
}

TEST(Module, BadArgumentsAndMissingFiles)
{
    EXPECT_EQ(PTzLoadModule(nullptr), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzGetProcAddress(nullptr, "PTzFileFill"), nullptr);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(PTzFreeModule(nullptr), 1);

    TempFolder temp;
    const _tagPTzFILE missing = temp.Record("missing.so");
    PTzSetLastError(0);
    EXPECT_EQ(PTzLoadModule(&missing), nullptr);
    EXPECT_NE(PTzGetLastError(), 0);
    temp.Write("garbage.so", "not a shared object");
    const _tagPTzFILE garbage = temp.Record("garbage.so");
    PTzSetLastError(0);
    EXPECT_EQ(PTzLoadModule(&garbage), nullptr);
    EXPECT_NE(PTzGetLastError(), 0);
}

TEST(Module, AFifoIsRefusedWithoutWaiting)
{
    TempFolder temp;
    ASSERT_EQ(mkfifo(temp.Item("plugin.so").c_str(), 0600), 0);
    const _tagPTzFILE fifo = temp.Record("plugin.so");
    EXPECT_EQ(PTzLoadModule(&fifo), nullptr);
    EXPECT_EQ(PTzGetLastError(), EINVAL);
    const _tagPTzFILE folder = temp.Record();
    EXPECT_EQ(PTzLoadModule(&folder), nullptr);
    EXPECT_EQ(PTzGetLastError(), EISDIR);
}

}  // namespace
