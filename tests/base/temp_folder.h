// Test helpers for the file tests: a private temporary folder removed with everything
// in it, and path records made from ASCII text.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/file_path.h"

// UTF-16 of an ASCII text.
inline std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

inline _tagPTzFILE PathRecord(const std::string& text)
{
    _tagPTzFILE record{};
    EXPECT_EQ(PTzFileFill(&record, Wide(text).c_str()), 1) << text;
    return record;
}

inline std::string Narrow(const _tagPTzFILE& record)
{
    std::string text;
    for (const PTzChar* p = record.path; *p; ++p)
        text += char(*p);
    return text;
}

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            ADD_FAILURE() << "mkdtemp failed";
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string Item(const std::string& name) const { return m_path + "/" + name; }
    _tagPTzFILE Record(const std::string& name = "") const { return PathRecord(name.empty() ? m_path : Item(name)); }

    // Writes a file with the given bytes.
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Item(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(Item(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string m_path;
};
