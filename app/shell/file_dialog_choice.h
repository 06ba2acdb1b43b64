// What a file dialog's choice means as files: the rows the user picked, by their own
// paths, or the names typed into its name box, looked up by the names the dialog shows
// (several files may show alike: U+FFFD stands for each byte that is not UTF-8).
#pragma once

#include <QStringList>

class QFileDialog;

namespace quorvel {

// Follows how the dialog's choice is made, from when its views have their model on: Qt
// selects the rows it finds under the names in the name box, among them a file whose
// name only shows like a picked one; after a pick such rows are dropped again.
void FollowChoice(QFileDialog& dialog);
// A press in one of the dialog's views: what it selects is a pick.
void NotePick(QFileDialog& dialog);

// Chooses the file (path text) as if picked: its own row, also when its name is not
// UTF-8, or the path itself while it is listed in no row.
void ChooseFile(QFileDialog& dialog, const QString& path);
// Puts the name (as Qt spells it) in the name box as if typed: it is looked up when taken.
void ChooseTypedName(QFileDialog& dialog, const QString& name);

// The files the dialog's choice names, as path text carrying their bytes: the picked
// rows' own paths (never a name looked up again from how it is shown); otherwise the
// typed names as Qt reads the name box (or the rows it found under them), each looked
// up by the name the dialog shows for it. *ambiguous, when asked for, tells that a typed
// name shows like several files (it then stays as typed).
QStringList ChosenFiles(const QFileDialog& dialog, bool* ambiguous = nullptr);

// Refuses a typed name that shows like several files, saying so over the dialog: only
// picking in the list tells them apart.
void RefuseNameShownAlike(QFileDialog& dialog);

}  // namespace quorvel
