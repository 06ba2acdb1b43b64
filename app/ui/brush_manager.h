// CBrushManager: the program's brush library. The application makes one at start-up,
// fills it from the brush file once the main frame is shown, and deletes it at exit,
// which writes the file back. The brush tools take their records and engine tips from
// it; only the current record keeps its engine tip built.
#pragma once

#include <cstdint>
#include <memory>

#include "app/shell/shell_links.h"
#include "app/ui/brush_file.h"
#include "base/file_path.h"

class CBrushManager : public quorvel::IBrushManager, private IBrushRecordOwner {
public:
    static constexpr uint32_t kNoIndex = 0xFFFFFFFF;

    // The first manager made becomes the global one.
    CBrushManager();
    // Writes the brush file, then deletes the records from the last to the first.
    ~CBrushManager() override;
    CBrushManager(const CBrushManager&) = delete;
    CBrushManager& operator=(const CBrushManager&) = delete;

    // The global manager, or null.
    static CBrushManager* GetBrushManager();

    // Reads the brush file; the twenty default brushes are appended when it did not read
    // whole. Nonzero when the library is ready.
    int LoadBrushes();
    int Load() override { return LoadBrushes(); }

    uint32_t GetBrushCount() override { return uint32_t(m_records.size()); }
    // The record at index, the last one for an index at or past the end; null when empty.
    CBrushDataBase* GetBrush(uint32_t index) const;
    // Makes the record at index the current one with its engine tip built; nothing
    // happens when the index is already current. 1.
    int SelectCurrentBrush(uint32_t index);
    // Lowers an index at or past the count to the last brush; an index is kept when there
    // is no brush. 1, or 0 for null.
    int ClampBrushIndex(uint32_t* index) const;

    // Appends the twenty default round brushes, each counted as a default: 1.
    int CreateDefaultBrushes();
    // Takes the record into the library: 1, or 0 (the record deleted) when it cannot.
    int AppendBrush(std::unique_ptr<CBrushDataBase> record);

    CBrushDataBase* GetCurrentBrush() const { return m_current; }
    uint32_t GetCurrentIndex() const { return m_currentIndex; }
    uint32_t GetDefaultCount() const { return m_defaultCount; }

private:
    int ReadBrushes();
    int SaveBrushes();
    // Forgets the current record when it is the one that changed.
    void OnBrushChanged(CBrushDataBase* record) override;

    BrushRecords m_records;
    CBrushDataBase* m_current = nullptr;
    uint32_t m_currentIndex = kNoIndex;
    uint32_t m_defaultCount = 0;
    // The file the library was read from, and whether a file there did not read whole:
    // that file is kept beside the one written at exit.
    _tagPTzFILE m_readPath = {};
    bool m_keepReadFile = false;
};
