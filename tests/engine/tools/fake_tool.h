// A tool kind for tests: its steps set an int standing for the document, and its records
// hold the values before and after. A second ID makes every replay fail.
#pragma once

#include <new>

#include "base/corvane_types.h"
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/tools/tool_base.h"

// IDs that no engine tool carries.
constexpr uint32_t kFakeToolID = PTzFourCC("fak1");
constexpr uint32_t kStuckToolID = PTzFourCC("stck");

struct FakeRecord {
    _tagUNDODATABASE head;
    int* document;
    int before;
    int after;
};

// What the fake tools saw, across every instance.
struct FakeToolLog {
    int made = 0;
    int destroyed = 0;
    int undos = 0;
    int redos = 0;
    int releases = 0;
    ITzPicture* picture = nullptr;
    _tagUNDODATABASE* record = nullptr;
};
inline FakeToolLog g_fakeLog;

inline FakeRecord* NewFakeRecord(uint32_t id, int* document, int before, int after)
{
    auto* record = static_cast<FakeRecord*>(PTzPointNew(sizeof(FakeRecord)));
    if (record)
        *record = FakeRecord{{id}, document, before, after};
    return record;
}

class FakeTool : public ITzToolBase {
public:
    explicit FakeTool(uint32_t id = kFakeToolID)
    {
        m_toolID = id;
        ++g_fakeLog.made;
    }
    ~FakeTool() override
    {
        ReleasePendingUndoData();
        ++g_fakeLog.destroyed;
    }

    int DoUndo(ITzPicture* picture, _tagUNDODATABASE* record) override
    {
        ++g_fakeLog.undos;
        return Replay(picture, record, &FakeRecord::before);
    }
    int DoRedo(ITzPicture* picture, _tagUNDODATABASE* record) override
    {
        ++g_fakeLog.redos;
        return Replay(picture, record, &FakeRecord::after);
    }
    int ReleaseUndoData(_tagUNDODATABASE* record) override
    {
        ++g_fakeLog.releases;
        PTzPointFree(record);
        return 1;
    }

    // One edit in the order every tool follows: ticket, change, record, ticket back.
    int Apply(ITzPicture* picture, int* document, int value, int modifies = 1)
    {
        if (!StartEditing(picture))
            return 0;
        m_undoData = &NewFakeRecord(m_toolID, document, *document, value)->head;
        *document = value;
        const int saved = SaveUndoData(picture, modifies);
        StopEditing(picture);
        return saved;
    }

    void SetPending(FakeRecord* record) { m_undoData = &record->head; }
    _tagUNDODATABASE* Pending() const { return m_undoData; }
    uint32_t Ticket() const { return m_ticket.Get(); }

private:
    // The stuck kind fails without touching anything, as a tool whose replay went wrong.
    int Replay(ITzPicture* picture, _tagUNDODATABASE* record, int FakeRecord::*value)
    {
        g_fakeLog.picture = picture;
        g_fakeLog.record = record;
        if (record->toolID == kStuckToolID)
            return 0;
        auto* fake = reinterpret_cast<FakeRecord*>(record);
        *fake->document = fake->*value;
        return 1;
    }
};

inline ITzToolBase* MakeFakeTool(uint32_t id)
{
    if (id != kFakeToolID && id != kStuckToolID)
        return nullptr;
    return new (std::nothrow) FakeTool(id);
}
