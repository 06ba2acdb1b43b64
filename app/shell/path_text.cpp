// Path conversions: Qt strings are UTF-16 like the records, so only length and
// validity need checking.
#include "app/shell/path_text.h"

#include <QStringDecoder>
#include <cerrno>

#include "base/error_codes.h"

namespace quorvel {

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
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *out = decoder(bytes);
    // A NUL cannot be part of a name; Qt decodes it without complaint.
    if (decoder.hasError() || bytes.contains('\0')) {
        PTzSetLastError(EILSEQ);
        return false;
    }
    return true;
}

}  // namespace quorvel
