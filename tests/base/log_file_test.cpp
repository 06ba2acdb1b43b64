// The log file: UTF-16 lines appended to an existing file, and nothing at all when
// the file is missing.
#include "base/log_file.h"

#include <gtest/gtest.h>

#include "base/error_codes.h"
#include "base/file.h"
#include "tests/base/temp_folder.h"

namespace {

TEST(LogFile, AppendsUtf16TextAndLineEnds)
{
    TempFolder temp;
    temp.Write("log", "");
    const _tagPTzFILE path = temp.Record("log");
    {
        PTzLogFile log(&path);
        EXPECT_EQ(log.WriteString(u"a", 1), 1);
        EXPECT_EQ(log.WriteString(u"b", 0), 1);
    }
    EXPECT_EQ(temp.Read("log"), std::string("a\0\r\0\n\0b\0", 8));
}

TEST(LogFile, AppendsAfterWhatTheFileHeld)
{
    TempFolder temp;
    temp.Write("log", std::string("x\0", 2));
    const _tagPTzFILE path = temp.Record("log");
    {
        PTzLogFile log(&path);
        EXPECT_EQ(log.WriteString(u"y", 0), 1);
        EXPECT_EQ(log.WriteString(nullptr, 0), 0);
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    }
    EXPECT_EQ(temp.Read("log"), std::string("x\0y\0", 4));
}

TEST(LogFile, AMissingFileIsNeverCreated)
{
    TempFolder temp;
    const _tagPTzFILE path = temp.Record("missing");
    {
        PTzLogFile log(&path);
        EXPECT_EQ(log.WriteString(u"a", 1), 0);
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
        EXPECT_EQ(log.WriteString(u"b", 0), 0);
    }
    EXPECT_EQ(PTzFileExist(&path), 0);
}

}  // namespace
