// The program's settings store: named, typed values in one file per store under
// $XDG_CONFIG_HOME (default ~/.config), "Pellidor/Quorvel" for the program's own
// settings. Every call reads the file anew and every write replaces it whole through a
// synced temporary file, so a crash never leaves half a file and two running copies of
// the program never see a torn one. Nothing is cached.
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
    // code stored and the file as it was.
    int Write(std::u16string_view name, uint32_t type, const void* data, uint32_t size) const;
    // Removes the whole store, so every value reads as missing: 1 (also when there was
    // none), or 0 with the code stored.
    int Wipe() const;

    QString FilePath() const;

private:
    QString m_vendor;
    QString m_application;
};

// The program's own store, "Pellidor/Quorvel".
const CSettingsStore& AppSettings();

// 1 with a REG_DWORD value, else 0 and *value unchanged.
int ReadSettingDword(std::u16string_view name, uint32_t* value);
int WriteSettingDword(std::u16string_view name, uint32_t value);

}  // namespace quorvel

// The store functions the rest of the program calls, on the program's own store.
int ReadAppSetting(const PTzChar* name, uint32_t* type, void* data, uint32_t* size);
int WriteAppSetting(const PTzChar* name, uint32_t type, const void* data, uint32_t size);
// Unless "REG_VERSION" holds 1, wipes every setting and stores "REG_VERSION" = 1. Run
// before anything reads a setting, so no reader sees a stale layout.
void CheckSettingsVersion();
// The per-user data folder of the vendor, "Pellidor" under $XDG_DATA_HOME, created when
// missing: 1, or 0 when any step fails.
int GetAppDataFolder(_tagPTzFILE* folder);
