// Reading goes through QFile without a lock, so that a reader never blocks on, or is
// refused by, another copy of the program; writing goes through CSafeReplace.
#include "app/shell/settings_store.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/shell/path_text.h"
#include "app/shell/safe_replace.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"
#include "base/file.h"
#include "base/file_stream.h"
#include "base/folder.h"
#include "base/program_paths.h"

namespace quorvel {

namespace {

constexpr PTzChar kVersionName[] = u"REG_VERSION";
constexpr uint32_t kVersion = 1;

QString ConfigFolder()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return configured;
    return qEnvironmentVariable("HOME") + QStringLiteral("/.config");
}

SettingValues ReadValues(const QString& path)
{
    SettingValues values;
    // Only a regular file is read: O_NONBLOCK keeps a FIFO at the path from holding the
    // open until some writer comes, and a device is never read to its (absent) end.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return values;
    struct stat info {};
    QFile file;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return values;
    }
    if (file.size() > qint64(kSettingsMaxFileBytes))
        return values;
    const QByteArray bytes = file.readAll();
    DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), &values);
    return values;
}

bool MakeFolderOf(const _tagPTzFILE& file)
{
    _tagPTzFILE folder;
    return PTzGetSuperFolder(&file, &folder) && (PTzFolderExist(&folder) || PTzFolderCreateEx(&folder));
}

// Writes the values as the file's new content: true, or false with the code stored.
bool WriteValues(const QString& path, const SettingValues& values)
{
    _tagPTzFILE target;
    CSafeReplace replace;
    if (!PathRecordFromText(path, &target) || !MakeFolderOf(target) || !replace.Begin(target))
        return false;
    const std::vector<uint8_t> bytes = EncodeSettings(values);
    _tagPTzIOSTREAM* stream = PTzFileStreamCreate(&replace.Temporary(), 3);
    if (!stream)
        return false;
    const bool written = PTzIOStreamWrite(stream, bytes.data(), uint32_t(bytes.size())) == bytes.size();
    const int code = PTzGetLastError();
    if (!PTzFileStreamDestory(stream) || !written) {
        if (!written)
            PTzSetLastError(code ? code : EIO);
        return false;
    }
    return replace.Commit();
}

}  // namespace

CSettingsStore::CSettingsStore(QString vendor, QString application)
    : m_vendor(std::move(vendor)), m_application(std::move(application))
{
}

QString CSettingsStore::FilePath() const
{
    return ConfigFolder() + QLatin1Char('/') + m_vendor + QLatin1Char('/') + m_application;
}

int CSettingsStore::Read(std::u16string_view name, uint32_t* type, void* data, uint32_t* size) const
{
    if (!type || !size)
        return 0;
    for (const SettingValue& value : ReadValues(FilePath())) {
        if (value.name != name)
            continue;
        const uint32_t wanted = *type;
        const uint32_t room = *size;
        *type = value.type;
        *size = uint32_t(value.data.size());
        const bool fits = value.type == REG_DWORD ? value.data.size() == 4 && room >= 4 : value.data.size() <= room;
        if (value.type != wanted || !fits || (!data && !value.data.empty()))
            return 0;
        std::copy(value.data.begin(), value.data.end(), static_cast<uint8_t*>(data));
        return 1;
    }
    return 0;
}

int CSettingsStore::Write(std::u16string_view name, uint32_t type, const void* data, uint32_t size) const
{
    if (!SettingFits(name, size) || (!data && size != 0) || (type == REG_DWORD && size != 4)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    SettingValues values = ReadValues(FilePath());
    auto found = std::find_if(values.begin(), values.end(), [&](const SettingValue& v) { return v.name == name; });
    if (found == values.end()) {
        if (values.size() >= kSettingsMaxValues) {
            PTzSetLastError(PTzERR_CONTAINER_FULL);
            return 0;
        }
        found = values.insert(values.end(), SettingValue{std::u16string(name), 0, {}});
    }
    found->type = type;
    const auto* bytes = static_cast<const uint8_t*>(data);
    found->data.assign(bytes, bytes + size);
    return WriteValues(FilePath(), values) ? 1 : 0;
}

int CSettingsStore::Wipe() const
{
    QFile file(FilePath());
    if (!file.exists() || file.remove())
        return 1;
    PTzSetLastError(EACCES);
    return 0;
}

const CSettingsStore& AppSettings()
{
    static const CSettingsStore store(QStringLiteral("Pellidor"), LoadShellString(IDS_APP_NAME));
    return store;
}

int ReadSettingDword(std::u16string_view name, uint32_t* value)
{
    uint32_t type = REG_DWORD;
    uint32_t size = 4;
    uint8_t bytes[4];
    if (!value || !AppSettings().Read(name, &type, bytes, &size))
        return 0;
    *value = PTzReadLE32(bytes);
    return 1;
}

int WriteSettingDword(std::u16string_view name, uint32_t value)
{
    uint8_t bytes[4];
    PTzWriteLE32(bytes, value);
    return AppSettings().Write(name, REG_DWORD, bytes, 4);
}

}  // namespace quorvel

int ReadAppSetting(const PTzChar* name, uint32_t* type, void* data, uint32_t* size)
{
    return name ? quorvel::AppSettings().Read(name, type, data, size) : 0;
}

int WriteAppSetting(const PTzChar* name, uint32_t type, const void* data, uint32_t size)
{
    return name ? quorvel::AppSettings().Write(name, type, data, size) : 0;
}

void CheckSettingsVersion()
{
    uint32_t version = 0;
    if (quorvel::ReadSettingDword(quorvel::kVersionName, &version) && version == quorvel::kVersion)
        return;
    quorvel::AppSettings().Wipe();
    quorvel::WriteSettingDword(quorvel::kVersionName, quorvel::kVersion);
}

int GetAppDataFolder(_tagPTzFILE* folder)
{
    _tagPTzFILE data;
    _tagPTzFILE vendor;
    if (!folder || !PTzGetApplicationData(&data) || !PTzGetSubFolder(&data, &vendor, u"Pellidor"))
        return 0;
    if (!PTzFolderExist(&vendor) && !PTzFolderCreateEx(&vendor))
        return 0;
    *folder = vendor;
    return 1;
}
