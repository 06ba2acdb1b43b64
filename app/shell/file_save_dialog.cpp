// The extension rule works on the full path as Qt spells the choice, the file saved is
// the one the choice names (its bytes); the extension of a pattern is compared without
// regard to case, as file types are named either way, and an extension the dialog adds
// is written in lower case.
#include "app/shell/file_save_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

#include "app/shell/error_text.h"
#include "app/shell/file_dialog_choice.h"
#include "app/shell/file_dialog_names.h"
#include "app/shell/path_text.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"

using namespace quorvel;

CRFileSaveDialog::CRFileSaveDialog(const QString& initialName, const QString& filter, QWidget* owner)
    : QFileDialog(owner), m_pairs(SplitFilterString(filter))
{
    setOption(QFileDialog::DontUseNativeDialog);
    ListUndecodedNames(*this);
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(QtNameFilters(filter));
    const QFileInfo initial(initialName);
    if (initialName.contains(QLatin1Char('/')))
        setDirectory(QtPathFromText(initial.absolutePath()));
    if (!initialName.isEmpty())
        ChooseFile(*this, initialName.contains(QLatin1Char('/')) ? initialName : initial.fileName());
    // The type list changes its index before the dialog reacts to the change.
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        connect(types, &QComboBox::currentIndexChanged, this, [this] { m_nameBeforeTypeChange = TypedName(); });
    connect(this, &QFileDialog::filterSelected, this, [this] { OnTypeChange(); });
}

void CRFileSaveDialog::SetFilterIndex(int index)
{
    const QStringList filters = nameFilters();
    if (index >= 1 && index <= filters.size() && index != GetFilterIndex()) {
        selectNameFilter(filters[index - 1]);
        OnTypeChange();
    }
}

int CRFileSaveDialog::GetFilterIndex() const
{
    return int(nameFilters().indexOf(selectedNameFilter())) + 1;
}

QString CRFileSaveDialog::GetPathName() const
{
    return result() == QDialog::Accepted ? m_acceptedPath : ChosenFiles(*this).value(0);
}

QString CRFileSaveDialog::TypedName() const
{
    return selectedFiles().value(0);
}

QString CRFileSaveDialog::WithTypeExtension(const QString& name) const
{
    const int index = GetFilterIndex();
    if (name.isEmpty() || index < 1 || index > int(m_pairs.size()))
        return name;
    const QStringList extensions = PatternExtensions(m_pairs[size_t(index - 1)].patterns);
    if (extensions.isEmpty())
        return name;
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > slash + 1;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    for (const QString& allowed : extensions) {
        if (extension.compare(allowed, Qt::CaseInsensitive) == 0)
            return name;
    }
    return (hasExtension ? name.left(dot) : name) + extensions.first().toLower();
}

void CRFileSaveDialog::ShowName(const QString& name)
{
    ChooseTypedName(*this, name);
    // Qt leaves the name box alone while it has the focus, that is while the user typed.
    auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (box && TypedName() != name)
        box->setText(QFileInfo(name).fileName());
}

void CRFileSaveDialog::OnTypeChange()
{
    const QString name = m_nameBeforeTypeChange.isEmpty() ? TypedName() : m_nameBeforeTypeChange;
    m_nameBeforeTypeChange.clear();
    const QString wanted = WithTypeExtension(name);
    if (wanted != TypedName() && !QFileInfo(name).isDir())
        ShowName(wanted);
}

bool CRFileSaveDialog::OnFileNameOK()
{
    const QString name = WithTypeExtension(TypedName());
    if (name != TypedName())
        ShowName(name);
    // A chosen row is the file itself; only a typed name is looked up by how it shows.
    bool ambiguous = false;
    const QString path = ChosenFiles(*this, &ambiguous).value(0);
    if (ambiguous) {
        RefuseNameShownAlike(*this);
        return false;
    }
    _tagPTzFILE record;
    if (!PathRecordFromText(path, &record)) {
        ShellDialogs().ShowMessage(this, FileErrorMessage(IDS_COULD_NOT_SAVE, path, PTzGetLastError()),
                                   MessageButtons::Ok);
        return false;
    }
    if (PathEntryExists(path) &&
        ShellDialogs().ShowMessage(this, DisplayText(path) + LoadShellString(IDS_ALREADY_EXISTS),
                                   MessageButtons::YesNo, LoadShellString(IDS_SAVE_AS_CAPTION)) != MessageAnswer::Yes)
        return false;
    m_acceptedPath = path;
    return true;
}

void CRFileSaveDialog::accept()
{
    // A typed folder is entered, as the dialog always does.
    if (!QFileInfo(TypedName()).isDir() && !OnFileNameOK())
        return;
    QFileDialog::accept();
}
