// The file dialogs and names that are not UTF-8: the dialog's views list such files
// (CUndecodedNamesModel), and choosing or activating one works as for any other file.
#pragma once

#include <QStringList>

class QFileDialog;

namespace quorvel {

// Makes the non-native dialog list the files of its folder whose names Qt leaves out.
// Selecting one shows its name in the name box and lets the Open button accept it;
// activating one (double-click, Return) accepts the dialog, where Qt would take a row it
// cannot name for the root of all folders.
void ListUndecodedNames(QFileDialog& dialog);

// Whether the files (path text) include one whose name Qt cannot spell (not UTF-8) and
// all exist: Qt's own check of an Open choice fails such files.
bool ExistOnlyUnderTheirBytes(const QStringList& files);

}  // namespace quorvel
