// Reading goes through QFile without a lock, so that a reader never blocks on, or is
// refused by, another copy of the program (the file is only ever replaced whole);
// writing goes through CSafeReplace while holding an flock on a lock file beside the
// store, so the read-modify-write of two copies never interleave.
#include "app/shell/settings_store.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
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
// How long a write waits for another copy of the program to finish its own: far longer
// than any write takes, short enough that a copy stopped while holding the lock (a
// suspended process) does not freeze this one.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockPoll = std::chrono::milliseconds(10);

// A variable of the environment as path text, its bytes kept whatever they are.
QString EnvironmentPath(const char* name)
{
    QString text;
    TextFromSystemBytes(qgetenv(name), &text);
    return text;
}

QString ConfigFolder()
{
    const QString configured = EnvironmentPath("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return configured;
    return EnvironmentPath("HOME") + QStringLiteral("/.config");
}

// The bytes the system knows the path by (empty, which no call accepts, for text that
// spells no name).
QByteArray SystemName(const QString& path)
{
    QByteArray bytes;
    SystemBytesFromText(path, &bytes);
    return bytes;
}

SettingValues ReadValues(const QString& path)
{
    SettingValues values;
    // Only a regular file is read: O_NONBLOCK keeps a FIFO at the path from holding the
    // open until some writer comes, and a device is never read to its (absent) end.
    const int fd = open(SystemName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
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
    // Another copy of the program may make it between the look and the making.
    _tagPTzFILE folder;
    return PTzGetSuperFolder(&file, &folder) &&
           (PTzFolderExist(&folder) || PTzFolderCreateEx(&folder) || PTzFolderExist(&folder));
}

// The exclusive advisory lock on the store's lock file, held while the object lives.
class StoreLock {
public:
    explicit StoreLock(const QString& path)
    {
        m_fd = open(SystemName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0666);
        if (m_fd < 0) {
            PTzSetLastError(errno);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            if ((code != EWOULDBLOCK && code != EINTR) || std::chrono::steady_clock::now() >= deadline) {
                PTzSetLastError(code);
                close(m_fd);
                m_fd = -1;
                return;
            }
            std::this_thread::sleep_for(kLockPoll);
        }
    }
    ~StoreLock()
    {
        if (m_fd >= 0)
            close(m_fd);  // releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Sets the value of that name, or adds it while the store has room: false when full.
bool PutValue(SettingValues& values, const SettingValue& value)
{
    const auto named = [&](const SettingValue& v) { return v.name == value.name; };
    auto found = std::find_if(values.begin(), values.end(), named);
    if (found != values.end()) {
        found->type = value.type;
        found->data = value.data;
        return true;
    }
    if (values.size() >= kSettingsMaxValues)
        return false;
    values.push_back(value);
    return true;
}

bool SameValues(const SettingValues& a, const SettingValues& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const SettingValue& x, const SettingValue& y) {
        return x.name == y.name && x.type == y.type && x.data == y.data;
    });
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

QString CSettingsStore::LockPath() const
{
    return FilePath() + QStringLiteral(".lock");
}

int CSettingsStore::Read(std::u16string_view name, uint32_t* type, void* data, uint32_t* size) const
{
    if (!type || !size)
        return 0;
    SettingValues values = ReadValues(FilePath());
    if (m_batchDepth > 0) {
        if (m_pending.wiped)
            values.clear();
        for (const SettingValue& value : m_pending.written)
            PutValue(values, value);
    }
    for (const SettingValue& value : values) {
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

int CSettingsStore::Write(std::u16string_view name, uint32_t type, const void* data, uint32_t size)
{
    if (!SettingFits(name, size) || (!data && size != 0) || (type == REG_DWORD && size != 4)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const SettingValue value{std::u16string(name), type, std::vector<uint8_t>(bytes, bytes + size)};
    CSettingsBatch batch(*this);
    // Without room for one more name even here, the store could not take it either.
    if (!PutValue(m_pending.written, value)) {
        PTzSetLastError(PTzERR_CONTAINER_FULL);
        return 0;
    }
    return batch.Commit();
}

int CSettingsStore::Wipe()
{
    CSettingsBatch batch(*this);
    m_pending.wiped = true;
    m_pending.written.clear();
    return batch.Commit();
}

int CSettingsStore::Apply(const Changes& changes) const
{
    if (!changes.wiped && changes.written.empty())
        return 1;
    _tagPTzFILE target;
    if (!PathRecordFromText(FilePath(), &target))
        return 0;
    _tagPTzFILE folder;
    if (PTzGetSuperFolder(&target, &folder) && !PTzFolderExist(&folder)) {
        if (changes.written.empty())
            return 1;  // nothing stored, nothing to wipe
        if (!MakeFolderOf(target))
            return 0;
    }
    const StoreLock lock(LockPath());
    if (!lock.Held())
        return 0;
    const SettingValues stored = ReadValues(FilePath());
    SettingValues values = changes.wiped ? SettingValues() : stored;
    bool full = false;
    for (const SettingValue& value : changes.written)
        full = !PutValue(values, value) || full;
    if (values.empty()) {
        if (unlink(SystemName(FilePath()).constData()) != 0 && errno != ENOENT) {
            PTzSetLastError(errno);
            return 0;
        }
    } else if (!SameValues(values, stored) && !WriteValues(FilePath(), values)) {
        return 0;
    }
    if (full) {
        PTzSetLastError(PTzERR_CONTAINER_FULL);
        return 0;
    }
    return 1;
}

CSettingsBatch::CSettingsBatch(CSettingsStore& store) : m_store(store)
{
    ++m_store.m_batchDepth;
}

CSettingsBatch::~CSettingsBatch()
{
    Commit();
}

int CSettingsBatch::Commit()
{
    if (!m_open)
        return 1;
    m_open = false;
    if (--m_store.m_batchDepth > 0)
        return 1;
    const CSettingsStore::Changes changes = std::move(m_store.m_pending);
    m_store.m_pending = {};
    return m_store.Apply(changes);
}

CSettingsStore& AppSettings()
{
    static CSettingsStore store(QStringLiteral("Pellidor"), LoadShellString(IDS_APP_NAME));
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
