// File names that are not UTF-8 (Linux names are bytes): such a file opens from the
// command line, the Open dialog (which lists it) and a drop, saves back to the same bytes, saves as
// another such name, and keeps its name in the recent-file list across runs; people
// see the bad bytes as U+FFFD.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <functional>
#include <optional>

#include "app/shell/main_frame.h"
#include "app/shell/path_text.h"
#include "app/shell/recent_files.h"
#include "app/shell/shell_strings.h"
#include "engine/picture/picture.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

const std::string kLatin1 = "latin1-\xE9t\xE9.bmp";  // "été" in Latin-1: not UTF-8
const QString kLatin1Text = QString::fromStdU16String(u"latin1-\xDCE9t\xDCE9.bmp");
const QString kLatin1Shown = QString::fromStdU16String(u"latin1-\uFFFDt\uFFFD.bmp");

// The row of the dialog's shown view that lists the name, and the view; invalid when none.
QModelIndex ListedRow(QFileDialog* dialog, const QString& shown, QAbstractItemView** view)
{
    for (auto* candidate : dialog->findChildren<QAbstractItemView*>()) {
        const bool fileView = candidate->objectName() == QStringLiteral("listView") ||
                              candidate->objectName() == QStringLiteral("treeView");
        if (!fileView || !candidate->isVisible())
            continue;
        *view = candidate;
        const QModelIndexList found = candidate->model()->match(
            candidate->model()->index(0, 0, candidate->rootIndex()), Qt::DisplayRole, shown, 1, Qt::MatchExactly);
        return found.value(0);
    }
    return {};
}

// The row of the dialog's shown view for the file (path text), and the view; invalid
// when none (yet): rows that show alike are told apart by the path they carry.
QModelIndex RowOf(QFileDialog* dialog, const QString& path, QAbstractItemView** view)
{
    QModelIndex found;
    const bool listed = QTest::qWaitFor([&] {
        for (auto* candidate : dialog->findChildren<QAbstractItemView*>()) {
            const bool fileView = candidate->objectName() == QStringLiteral("listView") ||
                                  candidate->objectName() == QStringLiteral("treeView");
            if (!fileView || !candidate->isVisible())
                continue;
            *view = candidate;
            const QModelIndex root = candidate->rootIndex();
            for (int row = 0; row < candidate->model()->rowCount(root); ++row) {
                const QModelIndex index = candidate->model()->index(row, 0, root);
                if (index.data(QFileSystemModel::FilePathRole).toString() == path)
                    found = index;
            }
        }
        return found.isValid();
    });
    return listed ? found : QModelIndex();
}

// Types the text into the name box as a person would, one character at a time.
void TypeInto(QLineEdit* box, const QString& text)
{
    box->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box->window()));
    box->setFocus();
    box->clear();
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
    QTest::keyClick(box, Qt::Key_Return);
}

// Runs the modal dialog that the call opens through the given hand, then returns.
void WithModalDialog(const std::function<void(QFileDialog*)>& hand, const std::function<void()>& call)
{
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer.stop();
            hand(dialog);
            // A hand that failed leaves the dialog up: it goes, and the test goes on.
            if (dialog->isVisible())
                dialog->reject();
        }
    });
    timer.start(20);
    call();
}

// Names that all show as "a\uFFFD.bmp": two that are not UTF-8, and one that holds
// U+FFFD itself; each file holds its own name.
const std::string kAlike[] = {"a\xFF.bmp", "a\xFE.bmp", "a\xEF\xBF\xBD.bmp"};
const QString kAlikeShown = QString::fromStdU16String(u"a\uFFFD.bmp");

class FileNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp.Write(kLatin1, FourColourBmp());
        folder = QString::fromStdString(temp.path());
        ASSERT_TRUE(test.app->InitInstance());
    }
    QString Path(const QString& name) const { return folder + QLatin1Char('/') + name; }
    // The path text of a file in the folder.
    QString PathOf(const std::string& name) const
    {
        QString text;
        EXPECT_TRUE(quorvel::TextFromSystemBytes(QByteArray::fromStdString(temp.Item(name)), &text));
        return text;
    }
    void WriteAlike() const
    {
        for (const std::string& name : kAlike)
            temp.Write(name, name);
    }

    TempFolder temp;
    QString folder;
    ScopedDialogs dialogs;
    TestApp test;
};

TEST_F(FileNames, TheEdgesCarryTheBytesAndShowThemReadably)
{
    QString text;
    ASSERT_TRUE(quorvel::TextFromSystemBytes(QByteArray::fromStdString(temp.Item(kLatin1)), &text));
    EXPECT_EQ(text, Path(kLatin1Text));
    QByteArray bytes;
    ASSERT_TRUE(quorvel::SystemBytesFromText(text, &bytes));
    EXPECT_EQ(bytes.toStdString(), temp.Item(kLatin1));
    EXPECT_EQ(quorvel::DisplayText(text), Path(kLatin1Shown));
    EXPECT_EQ(quorvel::QtPathFromText(text), Path(kLatin1Shown)) << "as Qt's dialogs spell it";
    EXPECT_EQ(quorvel::TextFromQtPath(Path(kLatin1Shown)), text) << "and back to the file it names";
    const QString missing = Path(QString::fromStdU16String(u"new\uFFFD.bmp"));
    EXPECT_EQ(quorvel::TextFromQtPath(missing), missing) << "a name of no file stays as typed";
    const QUrl dropped = QUrl::fromEncoded("file://" + QByteArray::fromStdString(temp.path()) + "/latin1-%E9t%E9.bmp");
    EXPECT_EQ(quorvel::TextFromFileUrl(dropped), text);
    EXPECT_TRUE(quorvel::PathEntryExists(text));
}

TEST_F(FileNames, AFileOpensFromTheOpenDialogAndComesBackFromTheRecentList)
{
    QStringList chosen;
    WithModalDialog(
        [&](QFileDialog* dialog) {
            dialog->setDirectory(folder);
            QAbstractItemView* view = nullptr;
            const QModelIndex row = ListedRow(dialog, kLatin1Shown, &view);
            ASSERT_TRUE(row.isValid()) << "the dialog lists the file";
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
            EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), kLatin1Shown);
            QPushButton* open = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            ASSERT_TRUE(open->isEnabled());
            open->click();
        },
        [&] { chosen = quorvel::CQtShellDialogs().AskOpenFileNames(nullptr, {QStringLiteral("BMP (*.bmp)")}); });
    ASSERT_EQ(chosen, QStringList{Path(kLatin1Text)});
    CTamsleyDoc* document = test.app->OpenDocumentFile(chosen[0]);
    ASSERT_NE(document, nullptr) << (dialogs->messages.empty() ? "" : dialogs->messages[0].toStdString());
    EXPECT_EQ(document->GetPathName(), Path(kLatin1Text));
    EXPECT_EQ(document->GetTitle(), kLatin1Shown);
    EXPECT_EQ(test.app->GetRecentFiles().Files().value(0), Path(kLatin1Text));
    CRecentFileList stored;
    stored.Load();
    EXPECT_EQ(stored.Files(), QStringList{Path(kLatin1Text)}) << "the recent list keeps the bytes, and no empty entry";
    test.app->GetMainFrame()->UpdateRecentFiles();  // as the File menu opens
    QAction* first = test.app->GetMainFrame()->Action(quorvel::ID_FILE_MRU_FIRST);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), QStringLiteral("&1 ") + kLatin1Shown);
    test.app->GetMainFrame()->GetActiveChild()->close();
    QCoreApplication::processEvents();
    test.app->OnOpenRecentFile(0);
    EXPECT_EQ(test.app->GetMainFrame()->GetChildFrames().size(), 1);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(FileNames, SaveWritesTheSameBytesAndSaveAsMakesAnotherSuchName)
{
    CTamsleyDoc* document = test.app->OpenDocumentFile(Path(kLatin1Text));
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->GetPicture()->NewImageLayer(u"Edit"), 1);
    const QStringList before = EntriesIn(temp.path());
    dialogs->answers = {quorvel::MessageAnswer::Yes};  // to merging the new layer into the BMP
    EXPECT_TRUE(document->DoFileSave());
    EXPECT_EQ(EntriesIn(temp.path()), before) << "no file beside it";
    EXPECT_EQ(document->IsModified(), 0);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].contains(kLatin1Shown)) << dialogs->messages[0].toStdString();
    dialogs->messages.clear();

    // The real Save dialog lists the file; a double click on it chooses it, after the
    // question whether to replace it.
    QString name = Path(QStringLiteral("new.bmp"));
    int type = 1;
    dialogs->answers.push_back(quorvel::MessageAnswer::Yes);
    WithModalDialog(
        [&](QFileDialog* dialog) {
            QAbstractItemView* view = nullptr;
            const QModelIndex row = ListedRow(dialog, kLatin1Shown, &view);
            ASSERT_TRUE(row.isValid()) << "the dialog lists the file";
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
        },
        [&] {
            quorvel::CQtShellDialogs().AskSaveFileName(nullptr, QString(), QStringLiteral("BMP|*.bmp||"), &name, &type);
        });
    EXPECT_EQ(name, Path(kLatin1Text));
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].startsWith(Path(kLatin1Shown))) << "the replace question";

    const QString other = Path(QString::fromStdU16String(u"\xDCFFother.bmp"));
    dialogs->save = [&](QString* path, int* index) {
        *path = other;
        *index = 1;
        return true;
    };
    dialogs->answers = {quorvel::MessageAnswer::Yes};  // to merging the layers, asked at each Save As
    {
        ModalWatcher bmpOptions(true);
        test.app->OnFileSaveAs();
    }
    EXPECT_EQ(document->GetPathName(), other);
    const QString title = test.app->GetMainFrame()->GetActiveChild()->windowTitle();
    EXPECT_TRUE(title.contains(QString::fromStdU16String(u"\uFFFDother.bmp"))) << title.toStdString();
    EXPECT_EQ(temp.Read("\xFFother.bmp").substr(0, 2), "BM");
    EXPECT_EQ(test.app->GetRecentFiles().Files().value(0), other);
}

// Files whose names show alike: the Open dialog gives the very files whose rows the user
// chose; a typed name that shows like several is refused.
TEST_F(FileNames, TheOpenDialogGivesTheChosenRowsOwnBytes)
{
    WriteAlike();
    // A slow double click leaves Qt time to take in a row it looked up after the first
    // click, which moves the rows below it, and to sort its rows again.
    enum class How { ClickAndOpen, DoubleClick, SlowDoubleClick, ClickAndReturn, AllWithControl, Typed };
    const struct {
        int file;  // in kAlike; -1 for all
        How how;
    } cases[] = {
        {0, How::ClickAndOpen},   {1, How::ClickAndOpen},   {2, How::ClickAndOpen},     {0, How::DoubleClick},
        {1, How::DoubleClick},    {0, How::ClickAndReturn}, {1, How::ClickAndReturn},   {2, How::ClickAndReturn},
        {-1, How::AllWithControl}, {-1, How::Typed},    {0, How::SlowDoubleClick}, {1, How::SlowDoubleClick},
        {2, How::SlowDoubleClick},
    };
    for (const auto& c : cases) {
        dialogs->messages.clear();
        QStringList wanted;
        for (int i = 0; i < 3; ++i) {
            if (c.file == i || (c.file < 0 && c.how != How::Typed))
                wanted << PathOf(kAlike[i]);
        }
        bool stayedOpen = false;
        QStringList chosen;
        WithModalDialog(
            [&](QFileDialog* dialog) {
                dialog->setDirectory(folder);
                QPushButton* open = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
                if (c.how == How::Typed) {
                    TypeInto(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), kAlikeShown);
                    stayedOpen = dialog->isVisible();
                    return;
                }
                for (int i = 0; i < 3; ++i) {
                    QAbstractItemView* view = nullptr;
                    const QModelIndex row = RowOf(dialog, PathOf(kAlike[i]), &view);
                    ASSERT_TRUE(row.isValid()) << "the dialog lists " << i;
                    const QPoint at = view->visualRect(row).center();
                    if (c.how == How::AllWithControl)
                        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
                    else if (i == c.file && c.how == How::DoubleClick) {
                        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
                        return;
                    } else if (i == c.file && c.how == How::SlowDoubleClick) {
                        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
                        QTest::qWait(300);
                        // Meanwhile Qt sorts its rows again, as it does when it learns
                        // more of its files.
                        auto* files = dialog->findChild<QFileSystemModel*>();
                        files->sort(1);
                        files->sort(0);
                        // The second press of a double click comes as the double click alone.
                        QMouseEvent second(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                        QApplication::sendEvent(view->viewport(), &second);
                        return;
                    } else if (i == c.file && c.how == How::ClickAndReturn) {
                        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
                        QTest::keyClick(view, Qt::Key_Return);
                        return;
                    }
                    else if (i == c.file)
                        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
                }
                ASSERT_TRUE(open->isEnabled());
                open->click();
            },
            [&] { chosen = quorvel::CQtShellDialogs().AskOpenFileNames(nullptr, {QStringLiteral("BMP (*.bmp)")}); });
        chosen.sort();
        wanted.sort();
        EXPECT_EQ(chosen, wanted) << c.file << " " << int(c.how);
        if (c.how == How::Typed) {
            EXPECT_TRUE(stayedOpen);
            ASSERT_EQ(dialogs->messages.size(), 1u);
            EXPECT_TRUE(dialogs->messages[0].contains(QStringLiteral("more than one file")))
                << dialogs->messages[0].toStdString();
        } else {
            EXPECT_TRUE(dialogs->messages.empty());
        }
    }
}

// A pick of a row makes Qt look its path up in its own model, which lists the name again
// as a row of its own until it finds no such file: the views show each file once all the
// same.
TEST_F(FileNames, APickShowsNoSecondRowForTheSameFile)
{
    WriteAlike();
    int shown = -1;
    WithModalDialog(
        [&](QFileDialog* dialog) {
            dialog->setDirectory(folder);
            QAbstractItemView* view = nullptr;
            const QModelIndex picked = RowOf(dialog, PathOf(kAlike[0]), &view);
            ASSERT_TRUE(picked.isValid());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(picked).center());
            const QModelIndex root = view->rootIndex();
            const auto* tree = qobject_cast<QTreeView*>(view);
            const auto* list = qobject_cast<QListView*>(view);
            shown = 0;
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QString path = view->model()->index(row, 0, root).data(QFileSystemModel::FilePathRole).toString();
                const bool hidden = tree ? tree->isRowHidden(row, root) : list->isRowHidden(row);
                if (!hidden && quorvel::DisplayText(path) == Path(kAlikeShown))
                    ++shown;
            }
        },
        [&] { quorvel::CQtShellDialogs().AskOpenFileNames(nullptr, {QStringLiteral("BMP (*.bmp)")}); });
    EXPECT_EQ(shown, 3);
}

// Save As onto one of the files whose names show alike, picked in the list or proposed
// as the document's own file (saved onto by the case before): the replace question is
// about that file and only it is replaced; a typed name that shows like several is
// refused before any question.
TEST_F(FileNames, SaveAsReplacesExactlyTheChosenFile)
{
    CTamsleyDoc* document = test.app->OpenDocumentFile(Path(kLatin1Text));
    ASSERT_NE(document, nullptr);
    enum class How { Typed, Picked, Proposed };
    const struct {
        int file;  // in kAlike
        How how;
    } cases[] = {{-1, How::Typed},   {0, How::Picked}, {0, How::Proposed}, {1, How::Picked},
                 {1, How::Proposed}, {2, How::Picked}, {2, How::Proposed}};
    for (const auto& c : cases) {
        WriteAlike();
        const QStringList before = EntriesIn(temp.path());
        dialogs->messages.clear();
        dialogs->answers = {quorvel::MessageAnswer::Yes};  // to replacing a file
        bool stayedOpen = false;
        std::optional<ModalWatcher> bmpOptions;
        dialogs->save = [&](QString* name, int* index) {
            bool saved = false;
            WithModalDialog(
                [&](QFileDialog* dialog) {
                    if (c.how == How::Proposed) {
                        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
                        return;
                    }
                    dialog->setDirectory(folder);
                    if (c.how == How::Typed) {
                        TypeInto(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), kAlikeShown);
                        stayedOpen = dialog->isVisible();
                        return;
                    }
                    QAbstractItemView* view = nullptr;
                    const QModelIndex row = RowOf(dialog, PathOf(kAlike[c.file]), &view);
                    ASSERT_TRUE(row.isValid()) << "the dialog lists " << c.file;
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
                    QTest::keyClick(view, Qt::Key_Return);
                },
                [&] { saved = quorvel::CQtShellDialogs().AskSaveFileName(nullptr, {}, dialogs->saveFilter, name, index); });
            bmpOptions.emplace(true);
            return saved;
        };
        test.app->OnFileSaveAs();
        bmpOptions.reset();
        EXPECT_EQ(EntriesIn(temp.path()), before) << "no file beside them";
        for (int i = 0; i < 3; ++i) {
            const std::string content = temp.Read(kAlike[i]);
            EXPECT_EQ(content.substr(0, 2) == "BM", i == c.file) << "saving onto " << c.file << ", file " << i;
        }
        if (c.how == How::Typed) {
            EXPECT_TRUE(stayedOpen);
            ASSERT_EQ(dialogs->messages.size(), 1u);
            EXPECT_TRUE(dialogs->messages[0].contains(QStringLiteral("more than one file")))
                << dialogs->messages[0].toStdString();
            continue;
        }
        EXPECT_EQ(document->GetPathName(), PathOf(kAlike[c.file]));
        ASSERT_EQ(dialogs->messages.size(), 1u) << "the replace question";
        EXPECT_EQ(dialogs->messages[0], quorvel::DisplayText(PathOf(kAlike[c.file])) +
                                           quorvel::LoadShellString(quorvel::IDS_ALREADY_EXISTS));
    }
}

// The rows of names that are not UTF-8 come in the order Qt gives its own rows by name
// (without regard to case, and numbers by their value where the system's collation can).
TEST_F(FileNames, TheAddedRowsAreInQtsOrderOfNames)
{
    const std::vector<std::string> stems = {"b10", "b2", "B3", "b1"};
    for (const std::string& stem : stems) {
        temp.Write(stem + "x.bmp", "");
        temp.Write(stem + "\xFF.bmp", "");
    }
    QStringList qtOrder;
    QStringList addedOrder;
    WithModalDialog(
        [&](QFileDialog* dialog) {
            dialog->setDirectory(folder);
            QAbstractItemView* view = nullptr;
            ASSERT_TRUE(RowOf(dialog, Path(QStringLiteral("b1x.bmp")), &view).isValid());
            // Qt sorts its rows once it has loaded them.
            const bool alike = QTest::qWaitFor([&] {
                qtOrder.clear();
                addedOrder.clear();
                const QModelIndex root = view->rootIndex();
                for (int row = 0; row < view->model()->rowCount(root); ++row) {
                    const QString name = view->model()->index(row, 0, root).data().toString();
                    if (name.startsWith(QLatin1Char('b'), Qt::CaseInsensitive))
                        (name.contains(QChar(0xFFFD)) ? addedOrder : qtOrder) << name.left(name.size() - 5);
                }
                return qtOrder.size() == int(stems.size()) && addedOrder == qtOrder;
            });
            EXPECT_TRUE(alike);
        },
        [&] { quorvel::CQtShellDialogs().AskOpenFileNames(nullptr, {QStringLiteral("BMP (*.bmp)")}); });
    EXPECT_EQ(qtOrder.size(), int(stems.size()));
    EXPECT_EQ(addedOrder, qtOrder);
}

}  // namespace
