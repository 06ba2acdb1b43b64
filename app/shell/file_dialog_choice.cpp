// The dialog's choice is followed through the list view's selection (both views share
// it) and the name box: a change of the selection made while the box's text is changing
// is Qt's lookup of the names in the box, told apart by the text this code last saw.
#include "app/shell/file_dialog_choice.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>

#include "app/shell/path_text.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"

namespace quorvel {

namespace {

constexpr char kFollowerName[] = "choiceFollower";

class CChoiceFollower : public QObject {
public:
    CChoiceFollower(QFileDialog& dialog, QAbstractItemView& list, QLineEdit& box)
        : QObject(&dialog), m_list(list), m_box(box), m_seenText(box.text())
    {
        setObjectName(QLatin1String(kFollowerName));
        connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this](const QItemSelection& selected) {
                    if (m_box.text() != m_seenText)
                        m_lookedUp.merge(selected, QItemSelectionModel::Select);
                });
        connect(&box, &QLineEdit::textChanged, this, [this] { TextChanged(); });
        connect(&box, &QLineEdit::textEdited, this, [this] { Type(); });
    }

    void Pick()
    {
        m_byName = false;
        m_path.clear();
    }
    void Type()
    {
        m_byName = true;
        m_path.clear();
    }
    void SetPath(const QString& path) { m_path = path; }
    bool ByName() const { return m_byName; }
    const QString& Path() const { return m_path; }
    QAbstractItemView& List() const { return m_list; }

private:
    void TextChanged()
    {
        m_seenText = m_box.text();
        const QItemSelection lookedUp = std::exchange(m_lookedUp, {});
        if (!m_byName && !lookedUp.isEmpty())
            m_list.selectionModel()->select(lookedUp, QItemSelectionModel::Deselect);
    }

    QAbstractItemView& m_list;
    QLineEdit& m_box;
    QString m_seenText;
    QItemSelection m_lookedUp;  // selected by Qt's lookup of the text being set
    bool m_byName = false;
    QString m_path;  // a file picked that no row lists
};

CChoiceFollower* FollowerOf(const QFileDialog& dialog)
{
    return static_cast<CChoiceFollower*>(dialog.findChild<QObject*>(QLatin1String(kFollowerName)));
}

}  // namespace

void FollowChoice(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (list && list->selectionModel() && box && !FollowerOf(dialog))
        new CChoiceFollower(dialog, *list, *box);
}

void NotePick(QFileDialog& dialog)
{
    if (CChoiceFollower* follower = FollowerOf(dialog))
        follower->Pick();
}

void ChooseFile(QFileDialog& dialog, const QString& path)
{
    CChoiceFollower* follower = FollowerOf(dialog);
    if (follower)
        follower->Pick();
    dialog.selectFile(QtPathFromText(path));
    if (!follower)
        return;
    follower->SetPath(path);
    QAbstractItemView& list = follower->List();
    const QModelIndex root = list.rootIndex();
    for (int row = 0; row < list.model()->rowCount(root); ++row) {
        const QModelIndex index = list.model()->index(row, 0, root);
        if (index.data(QFileSystemModel::FilePathRole).toString() == path)
            list.selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void ChooseTypedName(QFileDialog& dialog, const QString& name)
{
    if (CChoiceFollower* follower = FollowerOf(dialog))
        follower->Type();
    dialog.selectFile(name);
}

QStringList ChosenFiles(const QFileDialog& dialog, bool* ambiguous)
{
    if (ambiguous)
        *ambiguous = false;
    const CChoiceFollower* follower = FollowerOf(dialog);
    QStringList files;
    if (follower) {
        for (const QModelIndex& row : follower->List().selectionModel()->selectedRows())
            files << row.data(QFileSystemModel::FilePathRole).toString();
    }
    const bool picked = follower && !follower->ByName();
    if (picked && !files.isEmpty())
        return files;
    if (picked && !follower->Path().isEmpty())
        return {follower->Path()};
    // The names typed, or the rows Qt found under them.
    const QStringList typedNames = files.isEmpty() ? dialog.selectedFiles() : files;
    files.clear();
    for (const QString& typed : typedNames) {
        bool several = false;
        files << TextFromQtPath(typed, &several);
        if (several && ambiguous)
            *ambiguous = true;
    }
    return files;
}

void RefuseNameShownAlike(QFileDialog& dialog)
{
    const auto* box = dialog.findChild<const QLineEdit*>(QStringLiteral("fileNameEdit"));
    ShellDialogs().ShowMessage(&dialog, LoadShellString(IDS_NAME_SHOWN_ALIKE).arg(box ? box->text() : QString()),
                               MessageButtons::Ok);
}

}  // namespace quorvel
