// The brush file's layout over memory streams: the default library's exact bytes, every
// cut, bad heads, entries of other types and sizes, values out of range, and files this
// program wrote reading back the same.
#include <gtest/gtest.h>

#include <string>

#include "app/ui/brush_file.h"
#include "app/ui/brush_round.h"
#include "base/mem_stream.h"
#include "tests/app/ui/brush_test_support.h"

using namespace brushtest;

namespace {

struct Read {
    BrushFileRead result;
    BrushRecords records;
    uint32_t defaultCount = 0;
};

Read ReadBytes(std::string bytes)
{
    Read read;
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(bytes.data(), uint32_t(bytes.size()));
    read.result = ReadBrushLibrary(stream, &read.records, &read.defaultCount);
    PTzDestoryMemStream(stream);
    return read;
}

std::string WriteBytes(const BrushRecords& records, uint32_t defaultCount)
{
    std::string bytes(BRUSH_FILE_HEAD_SIZE + records.size() * 18, '\xCC');
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(bytes.data(), uint32_t(bytes.size()));
    EXPECT_TRUE(WriteBrushLibrary(stream, records, defaultCount));
    EXPECT_EQ(PTzIOStreamSeek(stream, 0, 1), bytes.size());
    PTzDestoryMemStream(stream);
    return bytes;
}

const CBrushRound& RoundAt(const Read& read, size_t index)
{
    return dynamic_cast<const CBrushRound&>(*read.records.at(index));
}

TEST(BrushFile, TheDefaultLibraryHasItsExactBytesAndReadsBackWhole)
{
    const std::string bytes = DefaultLibrary();
    // Golden head and first entry: "ffbr", version 1, 20 and 20, then "dnor", 10, spacing
    // 20, flags 1 (pressure size), diameter 1 at offset 5, hardness 0, roundness 100, angle 0.
    const std::string golden("ffbr\x01\0\0\0\x14\0\0\0\x14\0\0\0"
                             "dnor\x0a\0\0\0\x14\0\0\0\x01\x01\0\0\x64\0",
                             34);
    EXPECT_EQ(bytes.substr(0, 34), golden);
    const Read read = ReadBytes(bytes);
    ASSERT_EQ(read.result, BrushFileRead::Whole);
    EXPECT_EQ(read.defaultCount, 20u);
    ASSERT_EQ(read.records.size(), DefaultSet().size());
    for (size_t i = 0; i < read.records.size(); ++i) {
        const CBrushRound& brush = RoundAt(read, i);
        EXPECT_EQ(brush.GetDiameter(), DefaultSet()[i].diameter) << i;
        EXPECT_EQ(brush.GetHardness(), DefaultSet()[i].hardness) << i;
        EXPECT_EQ(brush.GetSpacing(), DefaultSet()[i].spacing) << i;
        EXPECT_EQ(brush.GetRoundness(), 100) << i;
        EXPECT_EQ(brush.GetAngle(), 0) << i;
        EXPECT_TRUE(brush.GetPressureSize() && !brush.GetPressureOpacity() && !brush.GetThirdFlag()) << i;
    }
    EXPECT_EQ(WriteBytes(read.records, read.defaultCount), bytes);
}

TEST(BrushFile, EveryCutKeepsTheWholeEntriesBeforeIt)
{
    const std::string bytes = DefaultLibrary();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        const Read read = ReadBytes(bytes.substr(0, cut));
        if (cut < BRUSH_FILE_HEAD_SIZE) {
            EXPECT_EQ(read.result, BrushFileRead::NotALibrary) << cut;
            EXPECT_TRUE(read.records.empty()) << cut;
            continue;
        }
        EXPECT_EQ(read.result, BrushFileRead::Cut) << cut;
        EXPECT_EQ(read.records.size(), (cut - BRUSH_FILE_HEAD_SIZE) / 18) << cut;
    }
}

TEST(BrushFile, MalformedFilesReadAsTheRulesSay)
{
    const Round big = {20, 1, 300, 50, 60, 70};
    const std::string two = RondEntry({}) + RondEntry(big);
    std::string unknown;
    Put32(&unknown, PTzFourCC("squa"));
    Put32(&unknown, 10);
    unknown += std::string(10, '\x7F');
    std::string huge;
    Put32(&huge, CBrushRound::kType);
    Put32(&huge, 0xFFFFFFF0);
    const struct {
        const char* what;
        std::string bytes;
        BrushFileRead result;
        std::vector<uint16_t> diameters;
        uint32_t defaultCount;
    } cases[] = {
        {"other magic", Head(2, 2, 0x72626667) + two, BrushFileRead::NotALibrary, {}, 0},
        {"version 2", Head(2, 2, 0x72626666, 2) + two, BrushFileRead::NotALibrary, {}, 0},
        {"version 0", Head(2, 2, 0x72626666, 0) + two, BrushFileRead::NotALibrary, {}, 0},
        {"count 0", Head(0, 0) + two, BrushFileRead::Whole, {}, 0},
        {"default count above count", Head(2, 7) + two, BrushFileRead::Whole, {1, 300}, 2},
        {"count above the entries", Head(0xFFFFFFFF, 3) + two, BrushFileRead::Cut, {1, 300}, 3},
        {"count below the entries", Head(1, 1) + two, BrushFileRead::Whole, {1}, 1},
        {"unknown type skipped whole", Head(3, 0) + RondEntry({}) + unknown + RondEntry(big), BrushFileRead::Whole,
         {1, 300}, 0},
        {"size 0 skipped", Head(2, 0) + RondEntry(big, 0) + RondEntry(big), BrushFileRead::Whole, {300}, 0},
        {"size 9 skipped", Head(2, 0) + RondEntry(big, 9) + RondEntry(big), BrushFileRead::Whole, {300}, 0},
        {"size 11 reads 10, skips 1", Head(2, 0) + RondEntry(big, 11) + RondEntry({}), BrushFileRead::Whole,
         {300, 1}, 0},
        {"size past the end", Head(2, 0) + RondEntry(big) + huge + std::string(20, '\0'), BrushFileRead::Cut, {300}, 0},
        {"unknown type past the end", Head(2, 0) + RondEntry(big) + unknown.substr(0, 12), BrushFileRead::Cut,
         {300}, 0},
    };
    for (const auto& c : cases) {
        const Read read = ReadBytes(c.bytes);
        EXPECT_EQ(read.result, c.result) << c.what;
        std::vector<uint16_t> diameters;
        for (size_t i = 0; i < read.records.size(); ++i)
            diameters.push_back(RoundAt(read, i).GetDiameter());
        EXPECT_EQ(diameters, c.diameters) << c.what;
        EXPECT_EQ(read.defaultCount, c.defaultCount) << c.what;
    }
}

TEST(BrushFile, ValuesOutOfRangeLoadAsTheirSettersWouldStoreThem)
{
    const struct {
        Round in;
        Round kept;
    } cases[] = {
        {{0, 0xFF, 0, 255, 255, 255}, {1, 7, 1, 100, 100, 75}},
        {{0xFFFFFFFF, 0xF8, 65535, 101, 0, 180}, {1000, 0, 1000, 100, 0, 0}},
        {{1000, 2, 1000, 100, 100, 179}, {1000, 2, 1000, 100, 100, 179}},
    };
    for (const auto& c : cases) {
        const Read read = ReadBytes(Head(1, 0) + RondEntry(c.in));
        ASSERT_EQ(read.records.size(), 1u);
        const CBrushRound& brush = RoundAt(read, 0);
        EXPECT_EQ(brush.GetSpacing(), c.kept.spacing);
        EXPECT_EQ(brush.GetDiameter(), c.kept.diameter);
        EXPECT_EQ(brush.GetHardness(), c.kept.hardness);
        EXPECT_EQ(brush.GetRoundness(), c.kept.roundness);
        EXPECT_EQ(brush.GetAngle(), c.kept.angle);
        EXPECT_EQ(brush.GetPressureSize(), bool(c.kept.flags & 1));
        EXPECT_EQ(brush.GetPressureOpacity(), bool(c.kept.flags & 2));
        EXPECT_EQ(brush.GetThirdFlag(), bool(c.kept.flags & 4));
        // Written back, only the three flag bits and the kept values remain.
        EXPECT_EQ(WriteBytes(read.records, 0), Head(1, 0) + RondEntry(c.kept));
    }
}

}  // namespace
