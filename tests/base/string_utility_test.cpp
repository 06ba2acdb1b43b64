// String functions (fit, cut-off, termination, unsigned order and digits) and UTF-16LE
// text on memory streams, byte for byte.
#include "base/string_utility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error_codes.h"
#include "base/mem_stream.h"

namespace {

TEST(StringCopy, CopiesWholeTextsAndCutsOffLongOnesTerminatedInsideTheBuffer)
{
    PTzChar dst[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(PTzStringCopy(dst, u"abcdef", 4), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(std::u16string(dst, 5), std::u16string(u"abc\0#", 5));
    EXPECT_EQ(PTzStringCopy(dst, u"abcde", 6), 1) << "an exact fit";
    EXPECT_EQ(PTzStringLength(dst), 5u);
    EXPECT_EQ(PTzStringLength(nullptr), 0u);

    char narrow[6] = "#####";
    EXPECT_EQ(PTzStringCopy_C(narrow, "abcdef", 3), 0);
    EXPECT_EQ(std::string(narrow, 4), std::string("ab\0#", 4));
    EXPECT_EQ(PTzStringCopy_C(narrow, "abcd", 5), 1);
    EXPECT_STREQ(narrow, "abcd");
}

TEST(StringCopy, NullOrZeroSizeLeavesTheDestinationAlone)
{
    PTzChar dst[2] = {u'x', 0};
    EXPECT_EQ(PTzStringCopy(dst, u"a", 0), 0);
    EXPECT_EQ(PTzStringCopy(dst, nullptr, 2), 0);
    EXPECT_EQ(PTzStringCat(dst, nullptr, 2), 0);
    EXPECT_EQ(dst[0], u'x');
}

TEST(StringCat, AppendsWhatFitsAndRefusesAnUnterminatedDestination)
{
    PTzChar dst[6] = u"ab";
    EXPECT_EQ(PTzStringCat(dst, u"cd", 6), 1);
    EXPECT_EQ(PTzStringCat(dst, u"efg", 6), 0);
    EXPECT_EQ(std::u16string(dst), u"abcde");
    PTzChar unterminated[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(PTzStringCat(unterminated, u"d", 3), 0);
    EXPECT_EQ(unterminated[2], u'c');
}

TEST(StringCompare, OrdersByUnsignedCharacterCodes)
{
    EXPECT_EQ(PTzStringCompare(u"a", u"b"), -1);
    EXPECT_EQ(PTzStringCompare(u"ab", u"a"), 1);
    EXPECT_EQ(PTzStringCompare(u"a", u"ab"), -1);
    EXPECT_EQ(PTzStringCompare(u"same", u"same"), 0);
    EXPECT_EQ(PTzStringCompare(u"\xFFFF", u"a"), 1);
    PTzSetLastError(0);
    EXPECT_EQ(PTzStringCompare(nullptr, u"a"), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(StringConvert, NarrowsUpTo255AndWidensBytesAsUnsigned)
{
    char narrow[8];
    EXPECT_EQ(PTzStringTCharToChar(narrow, 8, u"a\u00E9z"), 1);
    EXPECT_STREQ(narrow, "a\xE9z");
    EXPECT_EQ(PTzStringTCharToChar(narrow, 8, u"ab\u0100cd"), 0);
    EXPECT_STREQ(narrow, "ab");
    EXPECT_EQ(PTzStringTCharToChar(narrow, 3, u"abcd"), 0);
    EXPECT_STREQ(narrow, "ab");

    PTzChar wide[4];
    EXPECT_EQ(PTzStringCharToTChar(wide, 4, "a\xE9"), 1);
    EXPECT_EQ(std::u16string(wide), u"a\u00E9");
    EXPECT_EQ(PTzStringCharToTChar(wide, 2, "abc"), 0);
    EXPECT_EQ(std::u16string(wide), u"a");
}

TEST(StringConvert, UnsignedValuesAbove2To31PrintAsPositive)
{
    PTzChar dst[11];
    EXPECT_EQ(PTzStringUIntToChar(4294967295u, dst, 11), 1);
    EXPECT_EQ(std::u16string(dst), u"4294967295");
    EXPECT_EQ(PTzStringUIntToChar(12345, dst, 4), 0);
    EXPECT_EQ(std::u16string(dst), u"123");
}

// A memory stream over bytes that outlive it.
class MemoryStream {
public:
    explicit MemoryStream(std::vector<uint8_t> bytes)
        : m_bytes(std::move(bytes)), m_stream(PTzCreateMemStream(m_bytes.data(), uint32_t(m_bytes.size())))
    {
    }
    explicit MemoryStream(size_t size) : MemoryStream(std::vector<uint8_t>(size)) {}
    ~MemoryStream() { PTzDestoryMemStream(m_stream); }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    _tagPTzIOSTREAM* get() const { return m_stream; }
    std::vector<uint8_t> written() const
    {
        return {m_bytes.begin(), m_bytes.begin() + PTzIOStreamSeek(m_stream, 0, 1)};
    }

private:
    std::vector<uint8_t> m_bytes;
    _tagPTzIOSTREAM* m_stream;
};

std::vector<uint8_t> utf16le(const std::u16string& text)
{
    std::vector<uint8_t> bytes;
    for (PTzChar c : text) {
        bytes.push_back(uint8_t(c));
        bytes.push_back(uint8_t(c >> 8));
    }
    return bytes;
}

TEST(StreamText, WritesLittleEndianCharactersAndCrLfWithoutAByteOrderMark)
{
    MemoryStream stream(64);
    ASSERT_NE(stream.get(), nullptr);
    EXPECT_EQ(PTzWriteString(stream.get(), u"A\u263Axyz", 2), 2u);
    uint32_t chars = 1;
    EXPECT_EQ(PTzWriteStringLine(stream.get(), u"\u00E9", &chars), 1);
    EXPECT_EQ(PTzWriteReturn(stream.get()), 1);
    EXPECT_EQ(PTzStringUtility::WriteTap(stream.get()), 2u);
    EXPECT_EQ(PTzStringUtility::WriteString(stream.get(), u"ok"), 4u);
    EXPECT_EQ(PTzStringUtility::WriteNewLine(stream.get()), 4u);
    const uint8_t raw[] = {0xFF, 0x01};
    EXPECT_EQ(PTzStringUtility::WriteBuffer(stream.get(), raw, 2), 2u);
    EXPECT_EQ(stream.written(), (std::vector<uint8_t>{0x41, 0x00, 0x3A, 0x26, 0xE9, 0x00, 13, 0, 10, 0, 13, 0, 10, 0,
                                                      9, 0, 'o', 0, 'k', 0, 13, 0, 10, 0, 0xFF, 0x01}));
}

TEST(StreamText, LongTextsGoThroughWholeAndComeBackWhole)
{
    std::u16string text;
    for (int i = 0; i < 1000; ++i)
        text += PTzChar(0x0101 * (i % 200) + 1);
    MemoryStream out(2 * text.size());
    EXPECT_EQ(PTzStringUtility::WriteString(out.get(), text.c_str()), 2 * text.size());
    EXPECT_EQ(out.written(), utf16le(text));

    MemoryStream in(utf16le(text));
    std::u16string back(text.size() + 5, u'#');
    EXPECT_EQ(PTzReadString(in.get(), back.data(), uint32_t(back.size())), text.size());
    EXPECT_EQ(back.substr(0, text.size()), text);
    EXPECT_EQ(back[text.size()], u'#');

    MemoryStream odd(std::vector<uint8_t>{'a', 0, 0x3A, 0x26, 'x'});
    std::u16string few(4, u'#');
    EXPECT_EQ(PTzReadString(odd.get(), few.data(), 4), 2u) << "whole characters only";
    EXPECT_EQ(few, u"a\u263A##");
}

TEST(StreamText, ShortWritesReportWhatGotOut)
{
    MemoryStream stream(7);
    uint32_t chars = 5;
    EXPECT_EQ(PTzWriteStringLine(stream.get(), u"abcde", &chars), 0);
    EXPECT_EQ(chars, 3u) << "three characters and one odd byte fit";

    MemoryStream room(6);
    chars = 2;
    EXPECT_EQ(PTzWriteStringLine(room.get(), u"ab", &chars), 0) << "the line end did not fit";
    EXPECT_EQ(chars, 2u);
    EXPECT_EQ(PTzStringUtility::WriteNewLine(room.get()), 0u);
    EXPECT_EQ(PTzWriteReturn(room.get()), 0);

    MemoryStream half(2);
    EXPECT_EQ(PTzStringUtility::WriteNewLine(half.get()), 2u);
}

std::u16string readLine(_tagPTzIOSTREAM* stream, uint32_t size, int expectedResult)
{
    std::vector<PTzChar> buffer(size, u'#');
    uint32_t chars = size;
    EXPECT_EQ(PTzReadStringLine(stream, buffer.data(), &chars), expectedResult);
    EXPECT_LT(chars, size);
    EXPECT_EQ(buffer[chars], 0);
    return std::u16string(buffer.data(), chars);
}

TEST(StreamText, ReadStringLineReadsBackWhatWriteStringLineWrote)
{
    const std::u16string lines[] = {u"first", u"", u"lone \r and \n inside", u"ends with \r"};
    MemoryStream out(256);
    for (const std::u16string& line : lines) {
        uint32_t chars = uint32_t(line.size());
        ASSERT_EQ(PTzWriteStringLine(out.get(), line.c_str(), &chars), 1);
    }
    ASSERT_EQ(PTzWriteString(out.get(), u"no line end", 11), 11u);
    MemoryStream in(out.written());
    for (const std::u16string& line : lines)
        EXPECT_EQ(readLine(in.get(), 64, 1), line);
    EXPECT_EQ(readLine(in.get(), 64, 1), u"no line end");
    EXPECT_EQ(readLine(in.get(), 64, 0), u"") << "the stream is exhausted";
}

TEST(StreamText, ReadStringLineSplitsALineLongerThanTheBuffer)
{
    MemoryStream in(utf16le(u"abcdef\r\nabc\r\nab\rx\r\n"));
    EXPECT_EQ(readLine(in.get(), 4, 0), u"abc");
    EXPECT_EQ(readLine(in.get(), 4, 1), u"def");
    EXPECT_EQ(readLine(in.get(), 4, 1), u"abc") << "a line that just fits is whole";
    EXPECT_EQ(readLine(in.get(), 3, 0), u"ab");
    EXPECT_EQ(readLine(in.get(), 3, 1), u"\rx") << "the CR that did not fit is read again";
    EXPECT_EQ(readLine(in.get(), 3, 0), u"");
}

TEST(StreamText, NullArgumentsGiveZeroWithMinusOne)
{
    MemoryStream stream(8);
    PTzChar buffer[4];
    uint32_t chars = 0;
    const auto failed = [](uint32_t result) {
        const bool ok = result == 0 && PTzGetLastError() == PTzERR_BAD_ARGUMENT;
        PTzSetLastError(0);
        return ok;
    };
    EXPECT_TRUE(failed(PTzReadString(nullptr, buffer, 4)));
    EXPECT_TRUE(failed(PTzWriteString(stream.get(), nullptr, 4)));
    EXPECT_TRUE(failed(PTzWriteReturn(nullptr)));
    EXPECT_TRUE(failed(PTzWriteStringLine(stream.get(), u"a", nullptr)));
    EXPECT_TRUE(failed(PTzReadStringLine(stream.get(), buffer, &chars))) << "a buffer of size 0";
    EXPECT_TRUE(failed(PTzStringUtility::WriteTap(nullptr)));
    EXPECT_TRUE(failed(PTzStringUtility::WriteString(stream.get(), nullptr)));
    EXPECT_TRUE(failed(PTzStringUtility::WriteBuffer(stream.get(), nullptr, 3)));
    EXPECT_EQ(stream.written().size(), 0u);
}

}  // namespace
