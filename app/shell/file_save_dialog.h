// CRFileSaveDialog: the Save dialog of the document's Save As, a non-native QFileDialog
// that keeps the typed name's extension in step with the chosen file type and asks
// before a file is replaced.
#pragma once

#include <QFileDialog>
#include <vector>

#include "app/shell/file_filters.h"

class CRFileSaveDialog : public QFileDialog {
public:
    // The filter is a "|"-separated string of description and pattern pairs; the initial
    // name is path text, carrying the bytes of a name that is not UTF-8.
    CRFileSaveDialog(const QString& initialName, const QString& filter, QWidget* owner = nullptr);

    // 1-based, in the filter string's order.
    void SetFilterIndex(int index);
    int GetFilterIndex() const;
    // The file to save, as path text carrying its bytes: once accepted, the file the
    // dialog accepted (and asked about replacing); before, the file the choice names now.
    QString GetPathName() const;
    int DoModal() { return exec(); }

    // The chosen type changed: a name whose extension is not one of the type's gets
    // the type's first extension, in lower case.
    virtual void OnTypeChange();
    // The user asked to save under the chosen or typed name: the extension rule first,
    // then a name that cannot be a path, or that shows like several files, is refused,
    // and an existing file needs a Yes. True when the name is accepted.
    virtual bool OnFileNameOK();

    void accept() override;

private:
    // The choice as Qt spells it (names that are not UTF-8 with U+FFFD).
    QString TypedName() const;
    // The name with the current type's extension, unchanged when it already has one.
    QString WithTypeExtension(const QString& name) const;
    // Makes the name the dialog's choice and shows it in the name box.
    void ShowName(const QString& name);

    std::vector<quorvel::FilterPair> m_pairs;
    // The name as it was when the type began to change: Qt's dialog swaps the extension
    // for the new type's first one before telling anyone, whether or not the name's own
    // extension belongs to the type too.
    QString m_nameBeforeTypeChange;
    QString m_acceptedPath;
};
