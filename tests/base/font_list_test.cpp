// The installed-family list: each family once, sorted code unit by code unit, names
// that fit the record; and the sorted list itself against a std::set.
#include "base/font_list.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/error_codes.h"
#include "font_test_support.h"

namespace {

_tagPTzFONTINFO infoNamed(std::u16string_view name)
{
    _tagPTzFONTINFO info{};
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 32), info.faceName);
    return info;
}

std::vector<_tagPTzFONTINFO> enumerated(PTzFontManager& manager)
{
    std::vector<_tagPTzFONTINFO> fonts;
    void* handle = manager.EnumFontStart();
    _tagPTzFONTINFO info{};
    while (manager.EnumFontNext(handle, &info))
        fonts.push_back(info);
    manager.EnumFontEnd(handle);
    return fonts;
}

class FontManager : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(manager.Init(), 1); }
    PTzFontManager manager;
};

TEST_F(FontManager, ListsEachFamilyOnceSortedWithNamesThatFitTheRecord)
{
    const std::vector<_tagPTzFONTINFO> fonts = enumerated(manager);
    ASSERT_EQ(fonts.size(), manager.GetFontCount());
    ASSERT_GT(fonts.size(), 0u);
    for (size_t i = 0; i < fonts.size(); ++i) {
        const std::u16string name = faceOf(fonts[i].faceName);
        EXPECT_GE(name.size(), 1u);
        EXPECT_LE(name.size(), 31u);
        if (i > 0) {
            EXPECT_LT(faceOf(fonts[i - 1].faceName), name);  // unique and ascending
        }
    }
}

TEST_F(FontManager, HoldsTheDejaVuFamiliesAsTrueType)
{
    for (auto name : {u"DejaVu Sans", u"DejaVu Serif", u"DejaVu Sans Mono", u"DejaVu Sans Condensed"}) {
        uint32_t index = 0;
        const _tagPTzFONTINFO wanted = infoNamed(name);
        ASSERT_EQ(manager.FindFontIndex(&wanted, &index), 1) << std::string(name, name + 6);
        _tagPTzFONTINFO found{};
        ASSERT_EQ(manager.GetFontByIndex(index, &found), 0);
        EXPECT_EQ(faceOf(found.faceName), name);
        EXPECT_EQ(found.fontType, PTzFONTTYPE_TRUETYPE);
    }
}

TEST_F(FontManager, MissingFamilyGivesItsPlaceInTheOrder)
{
    const _tagPTzFONTINFO wanted = infoNamed(u"DejaVu Sans Mona");
    uint32_t index = 0;
    ASSERT_EQ(manager.FindFontIndex(&wanted, &index), 0);
    _tagPTzFONTINFO before{}, after{};
    ASSERT_GT(index, 0u);
    ASSERT_EQ(manager.GetFontByIndex(index - 1, &before), 0);
    ASSERT_EQ(manager.GetFontByIndex(index, &after), 0);
    EXPECT_LT(faceOf(before.faceName), u"DejaVu Sans Mona");
    EXPECT_GT(faceOf(after.faceName), u"DejaVu Sans Mona");
    PTzSetLastError(0);
    EXPECT_EQ(manager.FindFontIndex(nullptr, &index), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST_F(FontManager, InitAgainGivesTheSameList)
{
    const uint32_t count = manager.GetFontCount();
    ASSERT_EQ(manager.Init(), 1);
    EXPECT_EQ(manager.GetFontCount(), count);
}

TEST(FontList, StaysSortedAndUniqueAgainstASetUnderRandomInserts)
{
    PTzFontList list;
    std::set<std::u16string> model;
    std::mt19937 random(14);
    for (int step = 0; step < 2000; ++step) {
        std::u16string name;
        const int length = int(random() % 5);
        for (int i = 0; i < length; ++i)
            name += PTzChar(u'a' + random() % 3 + (random() % 8 == 0 ? 0xFF00 : 0));  // some above 0x8000
        const _tagPTzFONTINFO info = infoNamed(name);
        if (!list.FindItemIndex(&info, nullptr)) {
            ASSERT_EQ(list.InsertItem(&info, sizeof info), 0);
        }
        model.insert(name);
    }
    ASSERT_EQ(list.GetItemCount(), model.size());
    uint32_t index = 0;
    for (const std::u16string& name : model) {
        _tagPTzFONTINFO info{};
        ASSERT_EQ(list.GetItemByIndex(index++, &info, sizeof info), 0);
        EXPECT_EQ(faceOf(info.faceName), name);
    }
}

TEST(FontList, NamesWithoutTerminatorCompareOverTheir32Units)
{
    PTzFontList list;
    _tagPTzFONTINFO full{};
    std::fill(std::begin(full.faceName), std::end(full.faceName), u'z');
    _tagPTzFONTINFO shorter = full;
    shorter.faceName[31] = 0;
    EXPECT_EQ(list.CompareTwoItems(&full, &full), 0);
    EXPECT_GT(list.CompareTwoItems(&full, &shorter), 0);
    EXPECT_LT(list.CompareTwoItems(&shorter, &full), 0);
}

}  // namespace
