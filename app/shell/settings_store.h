// The program's settings store: named, typed values in one file per store under
// $XDG_CONFIG_HOME (default ~/.config), "Pellidor/Quorvel" for the program's own
// settings. Every read reads the file anew. Writes are gathered into batches: a batch
// (or a lone write) ends in one read-modify-write under an advisory lock that replaces
// the file whole through a synced temporary file, so a crash never leaves half a file,
// two running copies of the program never see a torn one and never drop each other's
// values.
#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

#include "app/shell/settings_codec.h"
#include "base/corvane_types.h"
#include "base/file_path.h"

namespace quorvel {

class CSettingsStore {
public:
    // The store "<vendor>/<application>" under the configuration folder.
    CSettingsStore(QString vendor, QString application);

    // 1 when the value exists with the type *type and fits the *size bytes of data
    // (a REG_DWORD exactly 4): the bytes are copied. Whenever the value exists, *type and
    // *size then tell its stored type and length; on 0 data is left alone.
    int Read(std::u16string_view name, uint32_t* type, void* data, uint32_t* size) const;
    // 1 when the value was stored (the file and its folders made as needed); 0 with the
    // code stored and the file as it was. Inside a batch the value is kept for the
    // batch's end (reads see it at once) and 1 means only that it may be stored.
    int Write(std::u16string_view name, uint32_t type, const void* data, uint32_t size);
    // Removes the whole store, so every value reads as missing: 1 (also when there was
    // none), or 0 with the code stored. Inside a batch it drops the values before it.
    int Wipe();

    QString FilePath() const;
    // The file whose lock every read-modify-write holds, beside the store's file.
    QString LockPath() const;

private:
    friend class CSettingsBatch;

    // A batch's changes, laid over the file's values in this order at its end.
    struct Changes {
        bool wiped = false;
        SettingValues written;
    };
    // Lays the changes over the file's values under the lock and replaces the file when
    // that changes it: 1, or 0 with the code stored.
    int Apply(const Changes& changes) const;

    QString m_vendor;
    QString m_application;
    int m_batchDepth = 0;
    Changes m_pending;
};

// Gathers a store's writes and wipes from its making to its end into one locked
// read-modify-write and at most one replace of the file. Batches of one store nest;
// the outermost one stores. Values written by others (another copy of the program)
// in the meantime are kept, except under a wipe.
class CSettingsBatch {
public:
    explicit CSettingsBatch(CSettingsStore& store);
    ~CSettingsBatch();
    CSettingsBatch(const CSettingsBatch&) = delete;
    CSettingsBatch& operator=(const CSettingsBatch&) = delete;

    // Stores the gathered changes now (the outermost batch only): 1, or 0 with the code
    // stored; the changes are dropped either way.
    int Commit();

private:
    CSettingsStore& m_store;
    bool m_open = true;
};

// The program's own store, "Pellidor/Quorvel".
CSettingsStore& AppSettings();

// 1 with a REG_DWORD value, else 0 and *value unchanged.
int ReadSettingDword(std::u16string_view name, uint32_t* value);
int WriteSettingDword(std::u16string_view name, uint32_t value);

}  // namespace quorvel

// The store functions the rest of the program calls, on the program's own store.
int ReadAppSetting(const PTzChar* name, uint32_t* type, void* data, uint32_t* size);
int WriteAppSetting(const PTzChar* name, uint32_t type, const void* data, uint32_t size);
// Unless "REG_VERSION" holds 1, wipes every setting and stores "REG_VERSION" = 1. Runs
// late in start-up: what was read before stays in memory and is written back at
// shut-down.
void CheckSettingsVersion();
// The per-user data folder of the vendor, "Pellidor" under $XDG_DATA_HOME, created when
// missing: 1, or 0 when any step fails.
int GetAppDataFolder(_tagPTzFILE* folder);
