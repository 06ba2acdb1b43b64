// Qt's file dialog takes a row for a file or a folder through its own model, which knows
// nothing of the added rows: the name box, the Open button and activation are kept right
// for them after Qt's own handling, and Qt's handling of an activated added row (which it
// would take for the root of all folders) is not reached.
#include "app/shell/file_dialog_names.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "app/shell/file_dialog_choice.h"
#include "app/shell/path_text.h"
#include "app/shell/undecoded_names_model.h"

namespace quorvel {

namespace {

// Accepts the dialog for a file row the user activates in one of its views, the row the
// press picked, and marks a press in a view as a pick.
class CActivationFilter : public QObject {
public:
    CActivationFilter(QFileDialog& dialog, QAbstractItemView& view, const CUndecodedNamesModel& names)
        : QObject(&dialog), m_dialog(dialog), m_view(view), m_names(names)
    {
        view.installEventFilter(this);
        view.viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::MouseButtonPress && watched == m_view.viewport()) ||
            (event->type() == QEvent::KeyPress && watched == &m_view))
            NotePick(m_dialog);
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched != m_view.viewport() || mouse->button() != Qt::LeftButton)
                return false;
            const bool singleClick =
                m_view.style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, &m_view);
            if (event->type() == QEvent::MouseButtonRelease && !singleClick)
                return false;
            const QModelIndex row = PickedRow(mouse->position().toPoint());
            const bool added = m_names.IsUndecoded(row);
            // A click that only adds to the choice activates nothing.
            if (mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
                return added;
            if (!added && !IsFile(row))
                return false;
            Accept(row);
            return true;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (watched != &m_view || (key != Qt::Key_Return && key != Qt::Key_Enter) ||
                !m_names.IsUndecoded(m_view.currentIndex()))
                return false;
            Accept(m_view.currentIndex());
            return true;
        }
        default:
            return false;
        }
    }

private:
    // The row the press picked, else the one under the point. Qt reacts to a pick of an
    // added row by looking its path up in its own model, which may add a row for it: the
    // rows below move, and a second click of a double click can land on another file.
    QModelIndex PickedRow(QPoint at) const
    {
        const QModelIndex current = m_view.currentIndex();
        return current.isValid() && m_view.selectionModel()->isSelected(current) ? current : m_view.indexAt(at);
    }

    bool IsFile(const QModelIndex& row) const
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(m_names.sourceModel());
        return row.isValid() && files && !files->isDir(m_names.mapToSource(row));
    }

    // The row becomes the choice, when it is not part of it, and the dialog accepts it
    // as its own acceptance does (the Open and Save dialogs check the choice there).
    void Accept(const QModelIndex& row)
    {
        QItemSelectionModel* selection = m_view.selectionModel();
        if (!selection->isSelected(row))
            selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        static_cast<QDialog&>(m_dialog).accept();
    }

    QFileDialog& m_dialog;
    QAbstractItemView& m_view;
    const CUndecodedNamesModel& m_names;
};

// The selected files' names in the name box, as Qt shows a choice of its own rows (which
// leaves an added row out, taking it for a folder); only while the user is not typing.
void ShowChosenNames(QLineEdit& box, const QAbstractItemView& view, const CUndecodedNamesModel& names)
{
    // Setting the text makes Qt select its own rows under the names, which the choice's
    // follower undoes at once: those passing changes are not shown.
    static bool setting = false;
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    const auto added = [&names](const QModelIndex& row) { return names.IsUndecoded(row); };
    if (setting || box.hasFocus() || !box.isVisible() || std::none_of(rows.begin(), rows.end(), added))
        return;
    const QScopedValueRollback<bool> busy(setting, true);
    const auto* files = qobject_cast<const QFileSystemModel*>(names.sourceModel());
    QStringList shown;
    for (const QModelIndex& row : rows) {
        if (names.IsUndecoded(row) || (files && !files->isDir(names.mapToSource(row))))
            shown << row.data().toString();
    }
    box.setText(shown.size() > 1 ? QLatin1Char('"') + shown.join(QStringLiteral("\" \"")) + QLatin1Char('"')
                                 : shown.value(0));
}

// Qt looks the path of a chosen added row up in its own model, which then lists a row of
// its own under that name (until it finds no such file): the same file shown twice. The
// views hide Qt's row for each chosen added row; Qt never lists a name that carries
// bytes from its folder reads (it shows them as U+FFFD), so no file of its own is hidden.
void HideLookedUpRows(QListView& list, QTreeView& tree, const CUndecodedNamesModel& names)
{
    auto* files = qobject_cast<QFileSystemModel*>(names.sourceModel());
    if (!files)
        return;
    for (const QModelIndex& row : list.selectionModel()->selectedRows()) {
        if (!names.IsUndecoded(row))
            continue;
        const QString path = row.data(QFileSystemModel::FilePathRole).toString();
        const QModelIndex looked = names.mapFromSource(files->index(path));
        if (!looked.isValid() || names.IsUndecoded(looked))
            continue;
        const QString lookedPath = looked.data(QFileSystemModel::FilePathRole).toString();
        if (DisplayText(lookedPath) == lookedPath)
            continue;
        if (looked.parent() == list.rootIndex())
            list.setRowHidden(looked.row(), true);
        tree.setRowHidden(looked.row(), looked.parent(), true);
    }
}

// Qt disables Open for a file it cannot find under its own spelling of the name.
void EnableOpenForUndecoded(QFileDialog& dialog)
{
    if (dialog.acceptMode() != QFileDialog::AcceptOpen)
        return;
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (open && ExistOnlyUnderTheirBytes(ChosenFiles(dialog)))
        open->setEnabled(true);
}

}  // namespace

void ListUndecodedNames(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!list || !tree || !box)
        return;
    auto* names = new CUndecodedNamesModel(&dialog);
    dialog.setProxyModel(names);
    FollowChoice(dialog);
    new CActivationFilter(dialog, *list, *names);
    new CActivationFilter(dialog, *tree, *names);
    // Both views share the list view's selection, and Qt's own reactions come first.
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, &dialog,
                     [&dialog, box, list, tree, names] {
                         ShowChosenNames(*box, *list, *names);
                         HideLookedUpRows(*list, *tree, *names);
                         EnableOpenForUndecoded(dialog);
                     });
    QObject::connect(box, &QLineEdit::textChanged, &dialog, [&dialog] { EnableOpenForUndecoded(dialog); });
}

bool ExistOnlyUnderTheirBytes(const QStringList& files)
{
    const auto unspelled = [](const QString& file) { return DisplayText(file) != file; };
    return std::any_of(files.begin(), files.end(), unspelled) &&
           std::all_of(files.begin(), files.end(), [](const QString& file) { return PathEntryExists(file); });
}

}  // namespace quorvel
