// Filter lists: which plug-ins qualify for loading and saving, the records' texts, the
// capacity and the caller's filter.
#include "formats/manager/filter_list.h"

#include <gtest/gtest.h>

#include <string>

#include "base/error_codes.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

using FilterList = PlugInFolder;

std::u16string Text(const PTzChar* units)
{
    return std::u16string(units);
}

TEST_F(FilterList, LoadingListsTheReaderWithItsTexts)
{
    EXPECT_EQ(FTzLoadGetFilter(list, nullptr, 0), 1u);
    _tagFTzFILTERINFO records[4] = {};
    ASSERT_EQ(FTzLoadGetFilter(list, records, 4), 1u);
    EXPECT_EQ(records[0].plugin, Reader());
    EXPECT_EQ(Text(records[0].description), u"Fake File (*.FAK)");
    EXPECT_EQ(Text(records[0].patterns), u"*.FAK");
}

TEST_F(FilterList, SavingListsTheWritersWithTerminatedTexts)
{
    EXPECT_EQ(FTzSaveGetFilter(list, nullptr, 0), 3u);
    _tagFTzFILTERINFO records[4] = {};
    ASSERT_EQ(FTzSaveGetFilter(list, records, 4), 3u);
    EXPECT_EQ(records[0].plugin, Loaded("d_urgent.so"));
    EXPECT_EQ(records[1].plugin, Writer());
    EXPECT_EQ(records[2].plugin, Loaded("c_writer.so"));
    // The writer fills both halves to their last unit.
    EXPECT_EQ(Text(records[0].description), std::u16string(127, u'W'));
    EXPECT_EQ(Text(records[0].patterns), std::u16string(127, u'w'));
}

TEST_F(FilterList, CapacityKeepsTheFirstInListOrder)
{
    _tagFTzFILTERINFO records[2] = {};
    records[1].plugin = &records;
    EXPECT_EQ(FTzSaveGetFilter(list, records, 1), 1u);
    EXPECT_EQ(records[0].plugin, Loaded("d_urgent.so"));
    EXPECT_EQ(records[1].plugin, &records);
    EXPECT_EQ(FTzSaveGetFilter(list, records + 1, 0), 0u);
    EXPECT_EQ(records[1].plugin, &records);
}

TEST_F(FilterList, CallerFilterLeavesPlugInsOut)
{
    void* urgent = Loaded("d_urgent.so");
    _tagFTzPLUGINSUPPORTCALLBACKSTR notUrgent{[](void* plugin, void* user) { return plugin != user ? 1 : 0; },
                                              urgent};
    EXPECT_EQ(FTzSaveGetFilters_1(list, nullptr, 0, &notUrgent), 2u);
    _tagFTzFILTERINFO records[3] = {};
    ASSERT_EQ(FTzSaveGetFilters_1(list, records, 3, &notUrgent), 2u);
    EXPECT_EQ(records[0].plugin, Writer());
    EXPECT_EQ(records[1].plugin, Loaded("c_writer.so"));
    _tagFTzPLUGINSUPPORTCALLBACKSTR unset{nullptr, nullptr};
    EXPECT_EQ(FTzLoadGetFitlers_1(list, nullptr, 0, &unset), 1u);
}

TEST(FilterListEdges, NullListGivesNothing)
{
    EXPECT_EQ(FTzLoadGetFilter(nullptr, nullptr, 0), 0u);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
    PTzSetLastError(0);
    EXPECT_EQ(FTzSaveGetFilters_1(nullptr, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(PTzGetLastError(), FTzERR_BAD_HANDLE);
}

}  // namespace
