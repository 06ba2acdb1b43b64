// The program's own path and folder, and the per-user data folder from the XDG
// variables.
#include "base/program_paths.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>

#include "base/error_codes.h"
#include "tests/base/temp_folder.h"

namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ProgramPaths, AppPathAndFolderNameThisProgram)
{
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof(exe));
    ASSERT_GT(length, 0);
    const std::string expected(exe, size_t(length));

    _tagPTzFILE path, folder;
    ASSERT_EQ(PTzGetAppPath(&path), 1);
    EXPECT_EQ(Narrow(path), expected);
    ASSERT_EQ(PTzGetAppFolder(&folder), 1);
    EXPECT_EQ(Narrow(folder), expected.substr(0, expected.rfind('/')));
    EXPECT_EQ(PTzGetAppPath(nullptr), 0);
}

TEST(ProgramPaths, ApplicationDataFollowsXdgDataHome)
{
    _tagPTzFILE out;
    {
        const ScopedVariable data("XDG_DATA_HOME", "/srv/data");
        ASSERT_EQ(PTzGetApplicationData(&out), 1);
        EXPECT_EQ(Narrow(out), "/srv/data");
    }
    const ScopedVariable home("HOME", "/home/someone");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        const ScopedVariable data("XDG_DATA_HOME", unusable);
        ASSERT_EQ(PTzGetApplicationData(&out), 1);
        EXPECT_EQ(Narrow(out), "/home/someone/.local/share");
    }
}

TEST(ProgramPaths, ApplicationDataFailsWithoutAnyHome)
{
    const ScopedVariable data("XDG_DATA_HOME", nullptr);
    const ScopedVariable home("HOME", nullptr);
    _tagPTzFILE out = PathRecord("keep");
    EXPECT_EQ(PTzGetApplicationData(&out), 0);
    EXPECT_NE(PTzGetLastError(), 0);
    EXPECT_EQ(Narrow(out), "keep");
}

}  // namespace
