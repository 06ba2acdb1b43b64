// The string buffer against std::u16string, its granule sizing, the capacity of
// RemoveString's output, and failures that leave the text as it was.
#include "base/string_array.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/error_codes.h"
#include "base/memory.h"
#include "base/memory_test_hooks.h"

namespace {

std::u16string textOf(const PTzStringArray& array)
{
    return array.GetString() ? std::u16string(array.GetString()) : std::u16string();
}

TEST(StringArray, BlockHoldsTheTextAndTerminatorInWholeGranules)
{
    PTzStringArray array(4);  // 16-byte granules: 7 characters and the terminator
    ASSERT_EQ(array.InsertString(0, u"1234567", 100), 1);
    EXPECT_EQ(PTzBlockSize(array.GetString()), 16u);
    ASSERT_EQ(array.InsertString(3, u"x", 1), 1);
    EXPECT_EQ(PTzBlockSize(array.GetString()), 32u);
    ASSERT_EQ(array.RemoveString(0, nullptr, 1, 0), 1);
    EXPECT_EQ(PTzBlockSize(array.GetString()), 16u);
    EXPECT_EQ(textOf(array), u"23x4567");
}

TEST(StringArray, InsertOfItsOwnTextCopiesTheTextBeforeMovingIt)
{
    PTzStringArray array(6);  // room to insert in place
    ASSERT_EQ(array.InsertString(0, u"abcdef", 6), 1);
    ASSERT_EQ(array.InsertString(1, array.GetString() + 2, 3), 1);
    EXPECT_EQ(textOf(array), u"acdebcdef");
}

TEST(StringArray, RemoveNeverWritesBeyondItsOutputAndFailsWholeWhenItDoesNotFit)
{
    PTzStringArray array(3);
    ASSERT_EQ(array.InsertString(0, u"hello world", 11), 1);
    PTzChar out[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(array.RemoveString(0, out, 5, 5), 0) << "5 characters and a terminator need 6";
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(std::u16string(out, 8), std::u16string(1, 0) + u"#######");
    EXPECT_EQ(textOf(array), u"hello world");
    ASSERT_EQ(array.RemoveString(0, out, 5, 6), 1);
    EXPECT_EQ(std::u16string(out, 7), std::u16string(u"hello\0#", 7));
    EXPECT_EQ(textOf(array), u" world");
}

TEST(StringArray, FailedAllocationLeavesTheTextUnchanged)
{
    PTzStringArray array(2), empty(2), wide(40);
    ASSERT_EQ(array.InsertString(0, u"0123456789", 10), 1);
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(array.InsertString(1, u"abcdefgh", 8), 0);
    EXPECT_EQ(textOf(array), u"0123456789");
    EXPECT_EQ(empty.InsertString(0, u"abc", 3), 0);
    EXPECT_EQ(array.RemoveString(2, nullptr, 6, 0), 1) << "a shrink keeps the larger block";
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(textOf(array), u"0189");
    EXPECT_EQ(empty.GetString(), nullptr);
    EXPECT_EQ(wide.InsertString(0, u"a", 1), 0) << "a granule beyond 32 bits";
    EXPECT_EQ(array.InsertString(0, nullptr, 1), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

std::u16string randomText(std::mt19937& random, size_t length)
{
    std::u16string text;
    for (size_t i = 0; i < length; ++i)
        text += PTzChar(1 + random() % 0xFFFE);
    return text;
}

// Indexes run past the end, counts past the text and the characters after the index.
TEST(StringArray, MatchesAU16StringUnderRandomInsertsAndRemoves)
{
    std::mt19937 random(1106);
    for (uint8_t shift : {0, 1, 3, 5, 8}) {
        PTzStringArray array(shift);
        std::u16string model;
        for (int step = 0; step < 3000; ++step) {
            const uint32_t index = random() % (model.size() + 4);
            const size_t at = std::min<size_t>(index, model.size());
            if (random() % 100 < 55) {
                const std::u16string text = randomText(random, random() % 40);
                const uint32_t count = random() % 50;
                ASSERT_EQ(array.InsertString(index, text.c_str(), count), 1);
                model.insert(at, text.substr(0, count));
            } else {
                const uint32_t count = random() % 30;
                const bool valid = count != 0 && count <= model.size() - at;
                PTzChar out[32];
                ASSERT_EQ(array.RemoveString(index, out, count, 32), valid ? 1 : 0);
                ASSERT_EQ(std::u16string(out), valid ? model.substr(at, count) : u"");
                if (valid)
                    model.erase(at, count);
            }
            ASSERT_EQ(textOf(array), model) << "shift " << int(shift) << " step " << step;
            ASSERT_EQ(array.GetString() == nullptr, model.empty());
            const uint32_t granule = 1u << shift, bytes = uint32_t(model.size() + 1) * 2;
            if (!model.empty()) {
                ASSERT_EQ(PTzBlockSize(array.GetString()), (bytes + granule - 1) / granule * granule);
            }
        }
    }
}

}  // namespace
