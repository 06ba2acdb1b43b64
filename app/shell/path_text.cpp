// Path conversions: Qt strings are UTF-16 like the records, so only length and
// validity need checking; the byte form comes from Corvane's own conversion, so the
// program and the engine spell every name alike.
#include "app/shell/path_text.h"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>

#include "base/error_codes.h"
#include "base/native_path.h"

namespace quorvel {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsCarriedByte(const QString& text, qsizetype i)
{
    const char16_t unit = text[i].unicode();
    return unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The one entry of the folder that Qt shows under the name, as path text; empty when
// none does, or when several do, which sets *several.
QString EntryShownAs(const QString& folder, const QString& name, bool* several)
{
    QString found;
    ForEachFolderEntry(folder.isEmpty() ? QStringLiteral("/") : folder, [&](const char* entry) {
        if (QFile::decodeName(entry) != name)
            return true;
        if (!found.isEmpty()) {
            *several = true;
            return false;
        }
        // Folder entries hold no NUL: the bytes always have their text.
        TextFromSystemBytes(QByteArray(entry), &found);
        return true;
    });
    return *several ? QString() : found;
}

}  // namespace

bool PathRecordFromText(const QString& path, _tagPTzFILE* out)
{
    if (path.isEmpty() || !out) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return false;
    }
    return PTzFileFill(out, reinterpret_cast<const PTzChar*>(path.utf16())) != 0;
}

QString TextFromPathRecord(const _tagPTzFILE& record)
{
    qsizetype units = 0;
    while (units < qsizetype(PTzPATH_UNITS) && record.path[units] != 0)
        ++units;
    return QString(reinterpret_cast<const QChar*>(record.path), units);
}

bool TextFromSystemBytes(const QByteArray& bytes, QString* out)
{
    // One unit per byte always suffices.
    QString text(bytes.size() + 1, Qt::Uninitialized);
    uint32_t units = 0;
    if (!PTzPathTextFromSystem(bytes.constData(), uint32_t(bytes.size()), reinterpret_cast<PTzChar*>(text.data()),
                               uint32_t(text.size()), &units)) {
        *out = QString::fromUtf8(bytes);
        return false;
    }
    text.truncate(units);
    *out = text;
    return true;
}

bool SystemBytesFromText(const QString& path, QByteArray* out)
{
    // Three bytes per unit always suffice.
    QByteArray bytes(3 * path.size() + 1, Qt::Uninitialized);
    uint32_t written = 0;
    if (!PTzPathTextToSystem(reinterpret_cast<const PTzChar*>(path.utf16()), uint32_t(path.size()), bytes.data(),
                             uint32_t(bytes.size()), &written))
        return false;
    bytes.truncate(written);
    *out = bytes;
    return true;
}

QString DisplayText(const QString& path)
{
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (IsCarriedByte(path, i))
            shown[i] = QChar(kReplacement);
    }
    return shown;
}

QString TextFromFileUrl(const QUrl& url)
{
    // The fully encoded form keeps the percent-escapes of bytes that are not UTF-8.
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    QString text;
    return TextFromSystemBytes(bytes, &text) ? text : url.toLocalFile();
}

QString QtPathFromText(const QString& path)
{
    QByteArray bytes;
    return SystemBytesFromText(path, &bytes) ? QFile::decodeName(bytes) : path;
}

QString TextFromQtPath(const QString& path, bool* ambiguous)
{
    bool several = false;
    QString built;
    if (path.startsWith(QLatin1Char('/')) && path.contains(QChar(kReplacement))) {
        const QStringList parts = path.split(QLatin1Char('/'));
        for (qsizetype i = 1; i < parts.size() && !several; ++i) {
            const QString& part = parts[i];
            const QString entry = part.contains(QChar(kReplacement)) ? EntryShownAs(built, part, &several) : QString();
            built += QLatin1Char('/') + (entry.isEmpty() ? part : entry);
        }
    }
    if (ambiguous)
        *ambiguous = several;
    return built.isEmpty() || several ? path : built;
}

bool ForEachFolderEntry(const QString& folder, const std::function<bool(const char* name)>& visit)
{
    QByteArray bytes;
    if (!SystemBytesFromText(folder, &bytes))
        return false;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(bytes.constData()), closedir);
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && !visit(entry->d_name))
            break;
    }
    return true;
}

bool PathEntryExists(const QString& path)
{
    QByteArray bytes;
    struct stat info {};
    return !path.isEmpty() && SystemBytesFromText(path, &bytes) && lstat(bytes.constData(), &info) == 0;
}

QString ResolvedLinkTarget(const QString& path)
{
    QByteArray bytes;
    struct stat info {};
    if (!SystemBytesFromText(path, &bytes) || lstat(bytes.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    QString text;
    if (!realpath(bytes.constData(), resolved) || !TextFromSystemBytes(QByteArray(resolved), &text))
        return path;
    return text;
}

bool SameExistingFile(const QString& a, const QString& b)
{
    QByteArray first;
    QByteArray second;
    struct stat one {};
    struct stat two {};
    return SystemBytesFromText(a, &first) && SystemBytesFromText(b, &second) && stat(first.constData(), &one) == 0 &&
           stat(second.constData(), &two) == 0 && one.st_dev == two.st_dev && one.st_ino == two.st_ino;
}

}  // namespace quorvel
