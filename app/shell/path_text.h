// File names at the program's edges: between Qt's strings, the bytes the system hands
// over (command-line arguments) and the engine's path records, converting exactly or
// refusing, never repairing.
#pragma once

#include <QByteArray>
#include <QString>

#include "base/file_path.h"

namespace quorvel {

// The record of a path: true, or false with the code stored (-302 for 260 units or
// more, -1 for an empty text).
bool PathRecordFromText(const QString& path, _tagPTzFILE* out);
QString TextFromPathRecord(const _tagPTzFILE& record);

// File-system bytes as text: false (with EILSEQ stored) when they are not UTF-8; the
// text then shows the bytes with replacement characters, for messages only.
bool TextFromSystemBytes(const QByteArray& bytes, QString* out);

}  // namespace quorvel
