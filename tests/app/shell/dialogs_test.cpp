// The New dialog takes only sizes the engine can make, and the Save dialog keeps the
// typed name's extension in step with the chosen type and asks before replacing a file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/shell/file_save_dialog.h"
#include "app/shell/new_dialog.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

// Types the size into a shown New dialog and clicks OK: whether it closed accepted.
bool TypeSize(CNewDialog& dialog, const QString& width, const QString& height)
{
    for (const auto& [id, text] : {std::pair{QStringLiteral("1003"), width}, {QStringLiteral("1004"), height}}) {
        auto* edit = dialog.findChild<QLineEdit*>(id);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    return dialog.result() == QDialog::Accepted && !dialog.isVisible();
}

TEST(NewDialog, AcceptsOnlySidesFromOneTo30000AndNumbersItsProposals)
{
    ScopedDialogs dialogs;
    const struct {
        const char* width;
        const char* height;
        bool accepted;
    } cases[] = {
        {"0", "10", false},   {"-1", "10", false}, {"10", "30001", false},     {"abc", "10", false},
        {"4294967291", "1", false}, {"1", "1", true}, {"30000", "30000", true},
    };
    int accepted = 0;
    QString firstName;
    for (const auto& c : cases) {
        dialogs->messages.clear();
        CNewDialog dialog;
        dialog.SetSize(1000, 800);
        dialog.show();
        const QString proposed = dialog.findChild<QLineEdit*>(QStringLiteral("1002"))->text();
        if (firstName.isEmpty())
            firstName = proposed;
        EXPECT_EQ(proposed, firstName.left(6) + QString::number(firstName.mid(6).toInt() + accepted));
        EXPECT_EQ(TypeSize(dialog, QLatin1String(c.width), QLatin1String(c.height)), c.accepted) << c.width << " x " << c.height;
        EXPECT_EQ(dialogs->messages.size(), c.accepted ? 0u : 1u);
        if (c.accepted) {
            ++accepted;
            EXPECT_EQ(dialog.Width(), QByteArray(c.width).toInt());
            EXPECT_EQ(dialog.Name(), proposed);
        }
    }
    EXPECT_TRUE(firstName.startsWith(QStringLiteral("NoName")));
}

TEST(SaveDialog, TheTypedNameTakesTheChosenTypesExtension)
{
    const QString filter = QStringLiteral("BMP File (*.BMP;*.RLE;*.DIB)|*.bmp;*.DIB|Quorvel File Format(*.DWK)|*.DWK||");
    const struct {
        const char* typed;
        int type;
        const char* saved;
    } cases[] = {
        {"picture", 1, "picture.bmp"},    {"picture.DIB", 1, "picture.DIB"}, {"picture.dib", 1, "picture.dib"},
        {"picture.png", 1, "picture.bmp"}, {"picture.bmp", 2, "picture.dwk"}, {"my.pic.dwk", 2, "my.pic.dwk"},
    };
    TempFolder temp;
    for (const auto& c : cases) {
        // The user types the name under the other type, then chooses this one.
        CRFileSaveDialog dialog(QString(), filter);
        dialog.setDirectory(QString::fromStdString(temp.path()));
        dialog.SetFilterIndex(3 - c.type);
        dialog.selectFile(QString::fromStdString(temp.Item(c.typed)));
        dialog.SetFilterIndex(c.type);
        EXPECT_EQ(dialog.GetPathName(), QString::fromStdString(temp.Item(c.saved))) << c.typed;
        EXPECT_EQ(dialog.GetFilterIndex(), c.type);
    }
    // The same when the user picks the type in the dialog's list.
    CRFileSaveDialog dialog(QString::fromStdString(temp.Item("picture.dib")), filter);
    dialog.show();
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(dialog.GetFilterIndex(), 2);
    EXPECT_EQ(dialog.GetPathName(), QString::fromStdString(temp.Item("picture.dwk")));
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(dialog.GetPathName(), QString::fromStdString(temp.Item("picture.bmp")));
}

TEST(SaveDialog, ANameTypedWithoutTheTypesExtensionIsSavedWithIt)
{
    const QString filter = QStringLiteral("BMP File (*.BMP;*.RLE;*.DIB)|*.BMP;*.RLE;*.DIB|Quorvel File Format(*.DWK)|*.DWK||");
    TempFolder temp;
    const struct {
        const char* typed;
        int type;
        const char* saved;
    } cases[] = {{"noext", 1, "noext.bmp"}, {"paint", 2, "paint.dwk"}, {"old.RLE", 1, "old.RLE"}};
    for (const auto& c : cases) {
        // The user types into the name box of the Save dialog and presses Return.
        QTimer::singleShot(100, [&c] {
            auto* name = QApplication::activeModalWidget()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->selectAll();
            QTest::keyClicks(name, QString::fromLatin1(c.typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QString name = QString::fromStdString(temp.Item("proposed"));
        int type = c.type;
        ASSERT_TRUE(quorvel::CQtShellDialogs().AskSaveFileName(nullptr, {}, filter, &name, &type)) << c.typed;
        EXPECT_EQ(name, QString::fromStdString(temp.Item(c.saved)));
        EXPECT_EQ(type, c.type);
    }
}

TEST(SaveDialog, ReplacingAFileTakesAYes)
{
    ScopedDialogs dialogs;
    TempFolder temp;
    temp.Write("there.bmp", "x");
    const QString filter = QStringLiteral("BMP|*.BMP||");
    const struct {
        const char* typed;
        quorvel::MessageAnswer answer;
        bool staysOpen;
        size_t questions;
    } cases[] = {
        {"there", quorvel::MessageAnswer::No, true, 1},
        {"there", quorvel::MessageAnswer::Yes, false, 1},
        {"fresh", quorvel::MessageAnswer::No, false, 0},
    };
    for (const auto& c : cases) {
        dialogs->messages.clear();
        dialogs->answers = {c.answer};
        CRFileSaveDialog dialog(QString::fromStdString(temp.Item(c.typed)), filter);
        dialog.show();
        dialog.accept();
        EXPECT_EQ(dialog.isVisible(), c.staysOpen) << c.typed;
        EXPECT_EQ(dialog.GetPathName(), QString::fromStdString(temp.Item(c.typed)) + QStringLiteral(".bmp"));
        ASSERT_EQ(dialogs->messages.size(), c.questions);
        if (c.questions) {
            EXPECT_TRUE(dialogs->messages[0].startsWith(dialog.GetPathName()));
        }
    }
}

}  // namespace
