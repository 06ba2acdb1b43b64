// File names are bytes: every byte string without a NUL has a path text that gives the
// same bytes back, bytes that are not UTF-8 riding as U+DC80-U+DCFF; path text that no
// name spells is refused.
#include "base/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "base/error_codes.h"

namespace {

bool ToSystem(const std::u16string& text, std::string* bytes)
{
    char out[3 * 300 + 1];
    uint32_t written = 0;
    if (!PTzPathTextToSystem(text.data(), uint32_t(text.size()), out, sizeof out, &written))
        return false;
    EXPECT_EQ(out[written], '\0');
    *bytes = std::string(out, written);
    return true;
}

bool FromSystem(const std::string& bytes, std::u16string* text)
{
    PTzChar out[300];
    uint32_t written = 0;
    if (!PTzPathTextFromSystem(bytes.data(), uint32_t(bytes.size()), out, 300, &written))
        return false;
    EXPECT_EQ(out[written], 0);
    *text = std::u16string(out, written);
    return true;
}

TEST(NativePath, EveryNameComesBackToItsBytes)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"plain.bmp", u"plain.bmp"},
        {"caf\xC3\xA9\xF0\x9F\x98\x80", u"caf\u00E9\U0001F600"},
        {"latin1-\xE9t\xE9.bmp", u"latin1-\xDCE9t\xDCE9.bmp"},
        {"\xFF\xFE", u"\xDCFF\xDCFE"},
        {"over\xC0\xAF", u"over\xDCC0\xDCAF"},                 // overlong "/"
        {"half\xED\xA0\x80", u"half\xDCED\xDCA0\xDC80"},       // an encoded surrogate
        {"big\xF4\x90\x80\x80", u"big\xDCF4\xDC90\xDC80\xDC80"},  // past U+10FFFF
        {"cut\xE2\x82", u"cut\xDCE2\xDC82"},                   // a truncated sequence
        {"\xE2\x82\xC3\xA9", u"\xDCE2\xDC82\u00E9"},           // a cut sequence, then a character
        {"\x80\xC3\xA9\x80", u"\xDC80\u00E9\xDC80"},           // stray continuation bytes
    };
    for (const auto& c : cases) {
        std::u16string text;
        ASSERT_TRUE(FromSystem(c.bytes, &text)) << c.bytes;
        EXPECT_EQ(text, c.text) << c.bytes;
        std::string bytes;
        ASSERT_TRUE(ToSystem(text, &bytes)) << c.bytes;
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(NativePath, TextThatNoNameSpellsIsRefused)
{
    const std::u16string refused[] = {
        u"a\xD800",          // a lone high surrogate
        u"a\xDC7F",          // a lone low surrogate that carries no byte (bytes below 0x80 are ASCII)
        u"a\xDD00",          // nor does this one
        u"\xDCC3\xDCA9",     // carried bytes that spell U+00E9: they would come back as it
        std::u16string(u"a\0b", 3),
    };
    for (const std::u16string& text : refused) {
        std::string bytes;
        EXPECT_FALSE(ToSystem(text, &bytes));
        EXPECT_EQ(PTzGetLastError(), EILSEQ);
    }
    std::u16string text;
    EXPECT_FALSE(FromSystem(std::string("a\0b", 3), &text));
    EXPECT_EQ(PTzGetLastError(), EILSEQ);
    char small[4];
    EXPECT_EQ(PTzPathTextToSystem(u"abcd", 4, small, sizeof small, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_BUFFER);
}

}  // namespace
