// The undo manager: position, clean mark and the automatic records, replayed through a
// fake dispatcher; record ownership (refusals, records no tool frees) under LeakSanitizer.
#include "engine/picture/undo_data_manager.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "base/error_codes.h"
#include "base/memory.h"
#include "base/memory_test_hooks.h"
#include "engine/tools/tool_base.h"

namespace {

constexpr uint32_t kStep = PTzFourCC("flot");
// An ID no engine tool replays or frees.
constexpr uint32_t kUnknown = PTzFourCC("zzzz");

_tagUNDODATABASE* makeRecord(uint32_t id = kStep)
{
    auto* record = static_cast<_tagUNDODATABASE*>(PTzPointNew(sizeof(_tagUNDODATABASE)));
    record->toolID = id;
    return record;
}

// Replays records by logging them; each record gives its entry in `results` (1 when
// absent, 0 meaning the tool failed). Released records are freed and logged.
class FakeDispatcher : public CUndoDispatcher {
public:
    int Undo(_tagUNDODATABASE* record, ITzPicture* picture) override { return replay('u', record, picture); }
    int Redo(_tagUNDODATABASE* record, ITzPicture* picture) override { return replay('r', record, picture); }
    int Release(_tagUNDODATABASE* record) override
    {
        released.push_back(record);
        if (record->toolID == kUnknown)
            return 0;
        PTzPointFree(record);
        return 1;
    }

    std::vector<std::pair<char, _tagUNDODATABASE*>> replays;
    std::vector<_tagUNDODATABASE*> released;
    std::map<const _tagUNDODATABASE*, int> results;
    ITzPicture* picture = nullptr;

private:
    int replay(char op, _tagUNDODATABASE* record, ITzPicture* seen)
    {
        replays.emplace_back(op, record);
        picture = seen;
        const auto it = results.find(record);
        return it == results.end() ? 1 : it->second;
    }
};

using Replays = std::vector<std::pair<char, _tagUNDODATABASE*>>;

class UndoDataManagerTest : public ::testing::Test {
protected:
    ITzPicture* const m_picture = reinterpret_cast<ITzPicture*>(&m_pictureStandIn);
    int m_pictureStandIn = 0;
    FakeDispatcher m_fake;
    CUndoDataManager m_manager{m_picture, m_fake};
};

TEST_F(UndoDataManagerTest, ModifiedFollowsTheDoneModifyingRecords)
{
    EXPECT_EQ(m_manager.IsModified(), 0);
    EXPECT_EQ(m_manager.DoUndo(), 0);
    EXPECT_EQ(m_manager.DoRedo(), 0);
    ASSERT_EQ(m_manager.SaveUndoData(makeRecord(), 0), 1);
    EXPECT_EQ(m_manager.IsModified(), 0) << "a non-modifying step on a clean picture";
    ASSERT_EQ(m_manager.SaveUndoData(makeRecord(), 1), 1);
    EXPECT_EQ(m_manager.IsModified(), 1);
    EXPECT_EQ(m_manager.DoUndo(), 1);
    EXPECT_EQ(m_manager.IsModified(), 0);
    EXPECT_EQ(m_manager.DoRedo(), 1);
    EXPECT_EQ(m_manager.IsModified(), 1);
    EXPECT_EQ(m_fake.picture, m_picture);
}

TEST_F(UndoDataManagerTest, NonModifyingSaveAfterUndoLeavesThePictureClean)
{
    _tagUNDODATABASE* modifying = makeRecord();
    m_manager.SaveUndoData(modifying, 1);
    m_manager.DoUndo();
    ASSERT_EQ(m_manager.SaveUndoData(makeRecord(), 0), 1);
    EXPECT_EQ(m_fake.released, std::vector<_tagUNDODATABASE*>{modifying});
    EXPECT_EQ(m_manager.IsModified(), 0) << "the mark still named the dropped record";
    EXPECT_EQ(m_manager.DoRedo(), 0);
}

TEST_F(UndoDataManagerTest, SavingAfterUndoReleasesTheUndoneRecordsLastFirst)
{
    _tagUNDODATABASE* a = makeRecord();
    _tagUNDODATABASE* b = makeRecord();
    _tagUNDODATABASE* c = makeRecord();
    for (auto* record : {a, b, c})
        m_manager.SaveUndoData(record, 1);
    m_manager.DoUndo();
    m_manager.DoUndo();
    m_manager.SaveUndoData(makeRecord(), 1);
    EXPECT_EQ(m_fake.released, (std::vector{c, b}));
    EXPECT_EQ(m_manager.GetCount(), 2u);
    EXPECT_EQ(m_manager.DoRedo(), 0);
}

TEST_F(UndoDataManagerTest, AutoConvertIsUndoneWithItsStepButRedoneAlone)
{
    _tagUNDODATABASE* convert = makeRecord(ITzTOOLID_AUTO_CONVERT);
    _tagUNDODATABASE* step = makeRecord();
    m_manager.SaveUndoData(convert, 1);
    m_manager.SaveUndoData(step, 1);
    m_fake.results[convert] = 5;
    EXPECT_EQ(m_manager.DoUndo(), 5) << "the automatic record's result";
    EXPECT_EQ(m_fake.replays, (Replays{{'u', step}, {'u', convert}}));
    EXPECT_EQ(m_manager.GetPosition(), 0u);
    EXPECT_EQ(m_manager.DoRedo(), 5);
    EXPECT_EQ(m_manager.GetPosition(), 1u);
    EXPECT_EQ(m_manager.DoRedo(), 1);
    EXPECT_EQ(m_manager.GetPosition(), 2u);
}

TEST_F(UndoDataManagerTest, AutoMergeIsUndoneAndRedoneWithItsStep)
{
    _tagUNDODATABASE* merge = makeRecord(ITzTOOLID_AUTO_MERGE);
    _tagUNDODATABASE* step = makeRecord();
    m_manager.SaveUndoData(merge, 1);
    m_manager.SaveUndoData(step, 1);
    m_fake.results[step] = 3;
    EXPECT_EQ(m_manager.DoUndo(), 1);
    EXPECT_EQ(m_manager.DoRedo(), 3);
    EXPECT_EQ(m_fake.replays, (Replays{{'u', step}, {'u', merge}, {'r', merge}, {'r', step}}));
    EXPECT_EQ(m_manager.GetPosition(), 2u);
}

TEST_F(UndoDataManagerTest, RedoingALastAutoMergeStopsAtTheCount)
{
    _tagUNDODATABASE* merge = makeRecord(ITzTOOLID_AUTO_MERGE);
    m_manager.SaveUndoData(merge, 1);
    m_manager.DoUndo();
    m_fake.results[merge] = 4;
    EXPECT_EQ(m_manager.DoRedo(), 4);
    EXPECT_EQ(m_manager.GetPosition(), 1u);
    EXPECT_EQ(m_manager.DoRedo(), 0);
    EXPECT_EQ(m_manager.DoUndo(), 4) << "the position still names the record";
}

TEST_F(UndoDataManagerTest, FailedReplayKeepsThePosition)
{
    _tagUNDODATABASE* merge = makeRecord(ITzTOOLID_AUTO_MERGE);
    _tagUNDODATABASE* step = makeRecord();
    m_manager.SaveUndoData(merge, 1);
    m_manager.SaveUndoData(step, 1);

    m_fake.results[step] = 0;
    EXPECT_EQ(m_manager.DoUndo(), 0);
    EXPECT_EQ(m_manager.GetPosition(), 2u);
    EXPECT_EQ(m_manager.IsModified(), 1);
    _tagUNDODATABASE* last = nullptr;
    EXPECT_EQ(m_manager.GetLastUndoData(&last), 1) << "nothing was undone";

    m_fake.results[step] = 1;
    m_fake.results[merge] = 0;
    EXPECT_EQ(m_manager.DoUndo(), 1) << "the step was undone without its partner";
    EXPECT_EQ(m_manager.GetPosition(), 1u);
    m_fake.results[merge] = 1;
    m_manager.DoUndo();

    m_fake.results[merge] = 0;
    EXPECT_EQ(m_manager.DoRedo(), 0);
    EXPECT_EQ(m_manager.GetPosition(), 0u);
    m_fake.results[merge] = 2;
    m_fake.results[step] = 0;
    EXPECT_EQ(m_manager.DoRedo(), 2) << "the partner was redone without its step";
    EXPECT_EQ(m_manager.GetPosition(), 1u);
}

TEST_F(UndoDataManagerTest, LastRecordIsExtendableOnlyUntilAnUndo)
{
    _tagUNDODATABASE* out = nullptr;
    EXPECT_EQ(m_manager.GetLastUndoData(&out), 0);
    _tagUNDODATABASE* refused = makeRecord();
    EXPECT_EQ(m_manager.SetLastUndoData(refused, 1), 0) << "nothing to replace";
    EXPECT_EQ(m_manager.IsModified(), 0);
    PTzPointFree(refused);

    _tagUNDODATABASE* first = makeRecord();
    _tagUNDODATABASE* second = makeRecord();
    m_manager.SaveUndoData(first, 0);
    m_manager.SaveUndoData(second, 0);
    ASSERT_EQ(m_manager.GetLastUndoData(&out), 1);
    EXPECT_EQ(out, second);
    m_manager.DoUndo();
    EXPECT_EQ(m_manager.GetLastUndoData(&out), 0) << "a done record lies below the position";
    m_manager.DoRedo();
    EXPECT_EQ(m_manager.GetLastUndoData(&out), 0);

    m_manager.DoUndo();
    _tagUNDODATABASE* folded = makeRecord();
    ASSERT_EQ(m_manager.SetLastUndoData(folded, 1), 1);
    EXPECT_EQ(m_fake.released, std::vector<_tagUNDODATABASE*>{second}) << "only the redoable record";
    EXPECT_EQ(m_manager.GetCount(), 1u);
    EXPECT_EQ(m_manager.IsModified(), 1);
    PTzPointFree(first);  // replaced, not freed: its taker folded it
    EXPECT_EQ(m_manager.GetLastUndoData(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST_F(UndoDataManagerTest, ClearModifiedReleasesEverythingLastFirst)
{
    _tagUNDODATABASE* a = makeRecord();
    _tagUNDODATABASE* b = makeRecord();
    m_manager.SaveUndoData(a, 1);
    m_manager.SaveUndoData(b, 1);
    m_manager.DoUndo();
    m_manager.ClearModified();
    EXPECT_EQ(m_fake.released, (std::vector{b, a}));
    EXPECT_EQ(m_manager.IsModified(), 0);
    EXPECT_EQ(m_manager.GetCount(), 0u);
    EXPECT_EQ(m_manager.DoUndo(), 0);
}

TEST_F(UndoDataManagerTest, RefusedRecordStaysWithTheCallerAndTheHistoryUnchanged)
{
    EXPECT_EQ(m_manager.SaveUndoData(nullptr, 1), 0);
    // One full page of records, the last undone: the new record needs a second page.
    std::vector<_tagUNDODATABASE*> saved;
    while (m_manager.GetCount() < 1024 / sizeof(void*)) {
        saved.push_back(makeRecord());
        m_manager.SaveUndoData(saved.back(), 0);
    }
    m_manager.DoUndo();
    _tagUNDODATABASE* refused = makeRecord();
    PTzTestSetAllocationCountdown(0);
    const int result = m_manager.SaveUndoData(refused, 1);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(m_fake.released.empty());
    EXPECT_EQ(m_manager.GetCount(), saved.size());
    EXPECT_EQ(m_manager.GetPosition(), saved.size() - 1);
    PTzPointFree(refused);
    m_fake.replays.clear();
    EXPECT_EQ(m_manager.DoRedo(), 1) << "the redoable record survived";
    EXPECT_EQ(m_fake.replays, (Replays{{'r', saved.back()}}));
}

// LeakSanitizer reports the records that no tool freed when the manager drops them.
TEST_F(UndoDataManagerTest, RecordsNoToolFreesAreFreedByTheManager)
{
    m_manager.SaveUndoData(makeRecord(kUnknown), 1);
    m_manager.SaveUndoData(makeRecord(kUnknown), 1);
    m_manager.DoUndo();
    m_manager.SaveUndoData(makeRecord(), 1);
    EXPECT_EQ(m_fake.released.size(), 1u);
}

TEST(UndoDataManagerFactory, UnknownRecordsAreFreedThroughTheRealFactory)
{
    CUndoDataManager manager(nullptr);
    ASSERT_EQ(manager.SaveUndoData(makeRecord(kUnknown), 1), 1);
    EXPECT_EQ(manager.DoUndo(), 0) << "no tool replays an unknown ID";
    EXPECT_EQ(manager.IsModified(), 1);
    manager.ClearModified();
    manager.SaveUndoData(makeRecord(kUnknown), 1);
}

// Against a model where the picture is modified while any done step modified it.
TEST_F(UndoDataManagerTest, CleanMarkMatchesAModelUnderRandomOperations)
{
    std::mt19937 random(6);
    std::vector<std::pair<_tagUNDODATABASE*, bool>> model;
    size_t position = 0;
    for (int round = 0; round < 4000; ++round) {
        const bool modifies = random() % 2;
        switch (random() % 7) {
        case 0:
        case 1:
            model.resize(position);
            model.emplace_back(makeRecord(), modifies);
            m_manager.SaveUndoData(model.back().first, modifies);
            ++position;
            break;
        case 2: {
            _tagUNDODATABASE* folded = makeRecord();
            if (!m_manager.SetLastUndoData(folded, modifies)) {
                PTzPointFree(folded);
                break;
            }
            // The replaced record goes back to the caller, who folded it into the new one.
            model.resize(position);
            PTzPointFree(model.back().first);
            model.back() = {folded, model.back().second || modifies};
            break;
        }
        case 3:
        case 4:
            position -= m_manager.DoUndo() ? 1 : 0;
            break;
        case 5:
            position += m_manager.DoRedo() ? 1 : 0;
            break;
        default:
            if (random() % 20 == 0) {
                m_manager.ClearModified();
                model.clear();
                position = 0;
            }
        }
        ASSERT_EQ(m_manager.GetPosition(), position);
        ASSERT_EQ(m_manager.GetCount(), model.size());
        bool modified = false;
        for (size_t i = 0; i < position; ++i)
            modified = modified || model[i].second;
        ASSERT_EQ(m_manager.IsModified(), modified ? 1 : 0) << "round " << round;
    }
}

} // namespace
