// Each entry is a REG_SZ value: the path's UTF-16 units and a terminating NUL.
#include "app/shell/recent_files.h"

#include <QFileInfo>
#include <string>
#include <vector>

#include "app/shell/settings_store.h"
#include "app/shell/shell_strings.h"

using namespace quorvel;

namespace {

CSettingsStore& RecentStore()
{
    static CSettingsStore store(QStringLiteral("Local AppWizard-Generated Applications"),
                                      LoadShellString(IDS_APP_NAME));
    return store;
}

std::u16string EntryName(int index)
{
    return (QStringLiteral("File") + QString::number(index + 1)).toStdU16String();
}

}  // namespace

void CRecentFileList::Load()
{
    m_files.clear();
    for (int i = 0; i < kSize; ++i) {
        uint32_t type = REG_SZ;
        uint32_t size = 0;
        const std::u16string name = EntryName(i);
        RecentStore().Read(name, &type, nullptr, &size);  // learns the length
        // An unused entry is stored as an empty text, its NUL alone.
        if (type != REG_SZ || size < 4 || size % 2 != 0)
            continue;
        std::vector<char16_t> text(size / 2);
        if (RecentStore().Read(name, &type, text.data(), &size) && text.back() == 0)
            m_files << QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size() - 1));
    }
}

void CRecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > kSize)
        m_files.removeLast();
    Save();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    Save();
}

void CRecentFileList::Save() const
{
    CSettingsBatch batch(RecentStore());
    for (int i = 0; i < kSize; ++i) {
        const std::u16string text = i < m_files.size() ? m_files[i].toStdU16String() : std::u16string();
        RecentStore().Write(EntryName(i), REG_SZ, text.c_str(), uint32_t((text.size() + 1) * 2));
    }
}
