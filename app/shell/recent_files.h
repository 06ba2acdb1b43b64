// The four most recently opened or saved files, newest first, kept apart from the
// program's settings in the store "Local AppWizard-Generated Applications/Quorvel"
// (values "File1" to "File4"), so that the settings' version check never wipes them.
#pragma once

#include <QStringList>

class CRecentFileList {
public:
    static constexpr int kSize = 4;

    // Reads the stored list.
    void Load();
    // Puts the path first (once) and stores the list.
    void Add(const QString& path);
    // Drops the entry (a file that could not be opened) and stores the list.
    void Remove(int index);
    const QStringList& Files() const { return m_files; }

private:
    void Save() const;

    QStringList m_files;
};
