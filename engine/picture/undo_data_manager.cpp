// The undo history of a picture: the record list, the done/redoable position, the clean
// mark, and the replay of the automatic records together with the step they belong to.
#include "engine/picture/undo_data_manager.h"

#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/tools/tool_base.h"
#include "engine/tools/tool_factory.h"

namespace {

// The mark when no done record modified the picture since its clean state.
constexpr uint32_t kNoMark = 0xFFFFFFFF;
constexpr uint16_t kListPageBytes = 1024;

class FactoryDispatcher final : public CUndoDispatcher {
public:
    int Undo(_tagUNDODATABASE* record, ITzPicture* picture) override { return DoUndoByToolID(record, picture); }
    int Redo(_tagUNDODATABASE* record, ITzPicture* picture) override { return DoRedoByToolID(record, picture); }
    int Release(_tagUNDODATABASE* record) override { return ReleaseUndoDataByToolID(record); }
};

CUndoDispatcher& factoryDispatcher()
{
    static FactoryDispatcher dispatcher;
    return dispatcher;
}

// A conversion or merge the engine made on its own before a step: undone with that step.
bool isAutomatic(const _tagUNDODATABASE* record)
{
    return record && (record->toolID == ITzTOOLID_AUTO_CONVERT || record->toolID == ITzTOOLID_AUTO_MERGE);
}

} // namespace

CUndoDataManager::CUndoDataManager(ITzPicture* picture) : CUndoDataManager(picture, factoryDispatcher()) {}

CUndoDataManager::CUndoDataManager(ITzPicture* picture, CUndoDispatcher& dispatcher)
    : m_mark(kNoMark),
      m_picture(picture),
      m_records(PTzCreatTwoLevelHandle_1(sizeof(_tagUNDODATABASE*), kListPageBytes)),
      m_position(0),
      m_extendable(0),
      m_dispatcher(dispatcher)
{
}

CUndoDataManager::~CUndoDataManager()
{
    releaseFrom(0);
    PTzDestroyTwoLevelHandle(m_records);
}

uint32_t CUndoDataManager::GetCount() const
{
    return m_records ? PTzTwoLevelHandleGetCount(m_records) : 0;
}

_tagUNDODATABASE* CUndoDataManager::recordAt(uint32_t index) const
{
    _tagUNDODATABASE* record = nullptr;
    if (PTzTwoLevelHandleGetItemData(m_records, index, &record) != 0)
        return nullptr;
    return record;
}

void CUndoDataManager::release(_tagUNDODATABASE* record)
{
    // No tool frees a record of an unknown kind; the manager owns them all, so it frees
    // such a record's own block rather than lose it.
    if (record && !m_dispatcher.Release(record))
        PTzPointFree(record);
}

void CUndoDataManager::releaseFrom(uint32_t from)
{
    const uint32_t count = GetCount();
    if (from >= count)
        return;
    for (uint32_t index = count; index-- > from;)
        release(recordAt(index));
    PTzTwoLevelHandleRemoveItems(m_records, from, count - from);
}

int CUndoDataManager::undoLast()
{
    _tagUNDODATABASE* record = recordAt(m_position - 1);
    const int result = record ? m_dispatcher.Undo(record, m_picture) : 0;
    if (result)
        --m_position;
    return result;
}

int CUndoDataManager::redoNext()
{
    _tagUNDODATABASE* record = recordAt(m_position);
    const int result = record ? m_dispatcher.Redo(record, m_picture) : 0;
    if (result)
        ++m_position;
    return result;
}

int CUndoDataManager::DoUndo()
{
    if (!m_records || m_position == 0)
        return 0;
    const int result = undoLast();
    if (!result)
        return 0;
    m_extendable = 0;
    if (m_position == 0 || !isAutomatic(recordAt(m_position - 1)))
        return result;
    // When the automatic record cannot be undone the step above it still was.
    const int automatic = undoLast();
    return automatic ? automatic : result;
}

int CUndoDataManager::DoRedo()
{
    if (!m_records || m_position >= GetCount())
        return 0;
    // An 'autc' record is redone alone: the step it prepared follows on the next redo.
    const _tagUNDODATABASE* next = recordAt(m_position);
    const bool takesNext = next && next->toolID == ITzTOOLID_AUTO_MERGE;
    const int result = redoNext();
    if (!result || !takesNext || m_position >= GetCount())
        return result;
    const int step = redoNext();
    return step ? step : result;
}

int CUndoDataManager::SaveUndoData(_tagUNDODATABASE* record, int modifies)
{
    if (!record)
        return PTzFailWithZero();
    if (!m_records)
        return 0;
    const uint32_t p = m_position;
    // Inserted before the redoable records are dropped, so a list that cannot grow
    // refuses the record with the history untouched.
    if (PTzTwoLevelHandleInsertItem(m_records, p, &record) != 0)
        return 0;
    releaseFrom(p + 1);
    // A mark at or above p named a dropped record.
    if (modifies) {
        if (m_mark > p)
            m_mark = p;
    } else if (m_mark >= p) {
        m_mark = kNoMark;
    }
    m_position = p + 1;
    m_extendable = 1;
    return 1;
}

int CUndoDataManager::GetLastUndoData(_tagUNDODATABASE** out)
{
    if (!out)
        return PTzFailWithZero();
    if (!m_records || m_extendable != 1 || m_position == 0 || m_position != GetCount())
        return 0;
    _tagUNDODATABASE* record = recordAt(m_position - 1);
    if (!record)
        return 0;
    *out = record;
    return 1;
}

int CUndoDataManager::SetLastUndoData(_tagUNDODATABASE* record, int modifies)
{
    if (!record)
        return PTzFailWithZero();
    if (!m_records || m_position == 0)
        return 0;
    const uint32_t p = m_position;
    if (PTzTwoLevelHandleSetItemData(m_records, p - 1, &record) != 0)
        return 0;
    releaseFrom(p);
    if (m_mark >= p)
        m_mark = modifies ? p - 1 : kNoMark;
    return 1;
}

int CUndoDataManager::IsModified() const
{
    return m_mark < m_position ? 1 : 0;
}

void CUndoDataManager::ClearModified()
{
    releaseFrom(0);
    m_position = 0;
    m_mark = kNoMark;
    m_extendable = 0;
}
