// File names at the program's edges: between Qt's strings, the bytes the system hands
// over (command-line arguments, dropped URLs, folder entries) and the engine's path
// records. Linux names are bytes: a byte that is not part of valid UTF-8 travels in a
// path text as one lone low surrogate U+DC80-U+DCFF (as the engine's records carry it)
// and becomes the same byte again at the system call. Qt's own file functions cannot
// spell such names, so paths reach the file system through these functions.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "base/file_path.h"

class QUrl;

namespace quorvel {

// The record of a path: true, or false with the code stored (-302 for 260 units or
// more, -1 for an empty text).
bool PathRecordFromText(const QString& path, _tagPTzFILE* out);
QString TextFromPathRecord(const _tagPTzFILE& record);

// File-system bytes as path text: false (with EILSEQ stored) only for bytes holding a
// NUL, which no name can; the text then is for messages only.
bool TextFromSystemBytes(const QByteArray& bytes, QString* out);
// The file system's bytes of a path text: true, or false with EILSEQ stored for text
// no name spells (a lone surrogate that carries no byte).
bool SystemBytesFromText(const QString& path, QByteArray* out);

// A path text as a person reads it: each byte that is not UTF-8 shows as U+FFFD, as
// Qt's file dialogs show such names.
QString DisplayText(const QString& path);

// The path of a local file URL with the bytes the URL names.
QString TextFromFileUrl(const QUrl& url);
// A path as Qt's own file functions and dialogs spell the same bytes (undecodable ones
// as U+FFFD), for a dialog's starting folder and name.
QString QtPathFromText(const QString& path);
// The path a name typed into a Qt file dialog means: Qt shows a name that is not UTF-8
// with U+FFFD for its bad bytes, so each part holding U+FFFD is looked up among its
// folder's entries by the name Qt shows for them (a name that holds U+FFFD itself shows
// so too). A part that matches no entry stays as given. When a part matches several,
// the path cannot tell which it means: it stays as given, and *ambiguous (when asked
// for) is set.
QString TextFromQtPath(const QString& path, bool* ambiguous = nullptr);

// Calls visit with the name of each entry of the folder ("." and ".." left out), as the
// file system's bytes, until it returns false. False when the folder cannot be read.
bool ForEachFolderEntry(const QString& folder, const std::function<bool(const char* name)>& visit);

// Whether anything, a dangling symbolic link included, is at the path.
bool PathEntryExists(const QString& path);
// The file a symbolic link at the path finally names, or the path itself.
QString ResolvedLinkTarget(const QString& path);
// Whether both paths name one existing file.
bool SameExistingFile(const QString& a, const QString& b);

}  // namespace quorvel
