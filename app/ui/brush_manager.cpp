// The brush library's records, its current record, and its reading at start and
// writing at exit.
#include "app/ui/brush_manager.h"

#include <new>
#include <string_view>

#include "app/ui/brush_file_io.h"
#include "app/ui/brush_file_path.h"
#include "app/ui/brush_round.h"
#include "base/file.h"

namespace {

CBrushManager* globalManager = nullptr;

struct DefaultBrush {
    uint16_t diameter;
    uint8_t hardness;
    uint16_t spacing;
};

// Soft and hard brushes of the common sizes, then soft ones with wider spacing.
constexpr DefaultBrush kDefaultBrushes[] = {
    {1, 0, 20},   {5, 0, 20},    {9, 0, 20},    {13, 0, 20},   {17, 0, 20},  {25, 0, 20},  {35, 0, 20},
    {55, 0, 20},  {5, 100, 20},  {9, 100, 20},  {13, 100, 20}, {17, 100, 20}, {25, 100, 20}, {35, 100, 20},
    {55, 100, 20}, {9, 0, 100},  {13, 0, 100},  {17, 0, 100},  {25, 0, 120}, {35, 0, 120},
};

bool SamePath(const _tagPTzFILE& a, const _tagPTzFILE& b)
{
    return std::u16string_view(a.path) == std::u16string_view(b.path);
}

}  // namespace

CBrushManager::CBrushManager()
{
    if (!globalManager)
        globalManager = this;
}

CBrushManager::~CBrushManager()
{
    SaveBrushes();
    if (globalManager == this)
        globalManager = nullptr;
    if (m_current)
        m_current->ReleaseEngineBrush();
    while (!m_records.empty())
        m_records.pop_back();
}

CBrushManager* CBrushManager::GetBrushManager()
{
    return globalManager;
}

int CBrushManager::LoadBrushes()
{
    const int read = ReadBrushes();
    return read ? read : CreateDefaultBrushes();
}

int CBrushManager::ReadBrushes()
{
    _tagPTzFILE path;
    if (!GetBrushFilePath(&path))
        return CreateDefaultBrushes();
    m_readPath = path;
    BrushRecords records;
    const BrushFileRead read = ReadBrushFile(path, &records, &m_defaultCount);
    for (std::unique_ptr<CBrushDataBase>& record : records)
        AppendBrush(std::move(record));
    // Whatever sits at the path and did not read as a library is the user's: it is kept.
    m_keepReadFile = read != BrushFileRead::Whole && PTzFileExist(&path);
    if (read == BrushFileRead::NoFile)
        return CreateDefaultBrushes();
    return read == BrushFileRead::Whole ? 1 : 0;
}

int CBrushManager::SaveBrushes()
{
    // An empty library is never written: a count of 0 loads as no brushes at all.
    if (m_records.empty())
        return 0;
    _tagPTzFILE path;
    if (!GetBrushFilePath(&path))
        return 0;
    BrushFileWrite written = WriteBrushFile(path, m_records, m_defaultCount, m_keepReadFile && SamePath(path, m_readPath));
    if (written != BrushFileWrite::NoPlace)
        return written == BrushFileWrite::Written ? 1 : 0;
    // The stored path cannot take a file: the default place instead, and remembered.
    _tagPTzFILE fallback;
    if (!MakeDefaultBrushFilePath(&fallback))
        return 0;
    SetBrushFileSetting(fallback);
    if (SamePath(fallback, path))
        return 0;
    written = WriteBrushFile(fallback, m_records, m_defaultCount, m_keepReadFile && SamePath(fallback, m_readPath));
    return written == BrushFileWrite::Written ? 1 : 0;
}

CBrushDataBase* CBrushManager::GetBrush(uint32_t index) const
{
    if (m_records.empty())
        return nullptr;
    return index < m_records.size() ? m_records[index].get() : m_records.back().get();
}

int CBrushManager::SelectCurrentBrush(uint32_t index)
{
    if (index == m_currentIndex)
        return 1;
    if (m_current)
        m_current->ReleaseEngineBrush();
    m_currentIndex = index;
    m_current = GetBrush(index);
    if (m_current)
        m_current->GetEngineBrush();
    return 1;
}

int CBrushManager::ClampBrushIndex(uint32_t* index) const
{
    if (!index)
        return 0;
    // Without a brush there is no last one to lower the index to.
    if (!m_records.empty() && *index >= m_records.size())
        *index = uint32_t(m_records.size() - 1);
    return 1;
}

int CBrushManager::CreateDefaultBrushes()
{
    for (const DefaultBrush& made : kDefaultBrushes) {
        std::unique_ptr<CBrushRound> brush(new (std::nothrow) CBrushRound(made.diameter, made.hardness));
        if (!brush)
            continue;
        brush->SetSpacing(made.spacing);
        if (AppendBrush(std::move(brush)))
            ++m_defaultCount;
    }
    return 1;
}

int CBrushManager::AppendBrush(std::unique_ptr<CBrushDataBase> record)
{
    if (!record)
        return 0;
    try {
        m_records.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_records.back()->SetOwner(this);
    return 1;
}

void CBrushManager::OnBrushChanged(CBrushDataBase* record)
{
    if (record != m_current)
        return;
    m_current->ReleaseEngineBrush();
    m_current = nullptr;
    m_currentIndex = kNoIndex;
}
