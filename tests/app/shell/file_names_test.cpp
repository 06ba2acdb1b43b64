// File names that are not UTF-8 (Linux names are bytes): such a file opens from the
// command line, the Open dialog (which lists it) and a drop, saves back to the same bytes, saves as
// another such name, and keeps its name in the recent-file list across runs; people
// see the bad bytes as U+FFFD.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

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

class FileNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp.Write(kLatin1, FourColourBmp());
        folder = QString::fromStdString(temp.path());
        ASSERT_TRUE(test.app->InitInstance());
    }
    QString Path(const QString& name) const { return folder + QLatin1Char('/') + name; }

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

}  // namespace
