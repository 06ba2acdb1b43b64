// Qt's dialogs behind the interface: message boxes, the non-native file dialogs, the
// colour dialog, the New dialog, About, the progress dialog and the printer set-up.
#include "app/shell/shell_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "app/shell/application.h"
#include "app/shell/file_dialog_choice.h"
#include "app/shell/file_dialog_names.h"
#include "app/shell/file_save_dialog.h"
#include "app/shell/main_frame.h"
#include "app/shell/new_dialog.h"
#include "app/shell/operation.h"
#include "app/shell/progress_dialog.h"
#include "app/shell/shell_strings.h"

namespace quorvel {

namespace {

std::unique_ptr<CShellDialogs>& Installed()
{
    static std::unique_ptr<CShellDialogs> dialogs;
    return dialogs;
}

QWidget* ParentOr(QWidget* parent)
{
    return parent ? parent : DefaultDialogParent();
}

// The Open dialog. Qt checks that each chosen file exists through its own spelling of
// the name, which misses a name that is not UTF-8: files that exist under their real
// bytes are accepted here. The choice is kept as it was accepted, carrying the bytes.
class COpenFileDialog : public QFileDialog {
public:
    explicit COpenFileDialog(QWidget* parent) : QFileDialog(parent)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        ListUndecodedNames(*this);
    }

    const QStringList& Files() const { return m_files; }

    void accept() override
    {
        bool ambiguous = false;
        m_files = ChosenFiles(*this, &ambiguous);
        if (ambiguous) {
            RefuseNameShownAlike(*this);
            return;
        }
        if (ExistOnlyUnderTheirBytes(m_files)) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }

private:
    QStringList m_files;
};

// Keeps a widget of a Qt dialog hidden and disabled whatever the dialog does to it.
class CKeptAway : public QObject {
public:
    explicit CKeptAway(QWidget& widget) : QObject(&widget)
    {
        widget.hide();
        widget.setEnabled(false);
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::EnabledChange && widget->isEnabled())
            widget->setEnabled(false);
        else if (event->type() == QEvent::Show)
            widget->hide();
        return false;
    }
};

}  // namespace

CShellDialogs::~CShellDialogs() = default;

CShellDialogs& ShellDialogs()
{
    std::unique_ptr<CShellDialogs>& dialogs = Installed();
    if (!dialogs)
        dialogs = std::make_unique<CQtShellDialogs>();
    return *dialogs;
}

std::unique_ptr<CShellDialogs> SetShellDialogs(std::unique_ptr<CShellDialogs> dialogs)
{
    std::unique_ptr<CShellDialogs> replaced = std::move(Installed());
    Installed() = std::move(dialogs);
    return replaced;
}

QWidget* DefaultDialogParent()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? app->GetMainFrame() : nullptr;
}

MessageAnswer CQtShellDialogs::ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                                           const QString& caption)
{
    QMessageBox box(ParentOr(parent));
    box.setWindowTitle(caption.isEmpty() ? LoadShellString(IDS_APP_NAME) : caption);
    box.setText(text);
    switch (buttons) {
    case MessageButtons::Ok:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkError:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    default:
        return MessageAnswer::Cancel;
    }
}

QStringList CQtShellDialogs::AskOpenFileNames(QWidget* parent, const QStringList& nameFilters)
{
    COpenFileDialog dialog(ParentOr(parent));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(nameFilters);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.Files();
}

bool CQtShellDialogs::AskSaveFileName(QWidget* parent, const QString& title, const QString& filter, QString* name,
                                      int* filterIndex)
{
    CRFileSaveDialog dialog(*name, filter, ParentOr(parent));
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.SetFilterIndex(*filterIndex);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    *name = dialog.GetPathName();
    *filterIndex = dialog.GetFilterIndex();
    return true;
}

bool CQtShellDialogs::AskColour(QWidget* parent, QColor* colour)
{
    QColorDialog dialog(*colour, ParentOr(parent));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *colour = dialog.selectedColor();
    return true;
}

bool CQtShellDialogs::AskNewImage(QWidget* parent, int32_t* width, int32_t* height, QString* name)
{
    CNewDialog dialog(ParentOr(parent));
    dialog.SetSize(*width, *height);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *width = dialog.Width();
    *height = dialog.Height();
    *name = dialog.Name();
    return true;
}

void CQtShellDialogs::ShowAbout(QWidget* parent)
{
    const QString name = LoadShellString(IDS_APP_NAME);
    QMessageBox::about(ParentOr(parent), QStringLiteral("About ") + name,
                       name + QStringLiteral("\nAn editor for layered raster images."));
}

void CQtShellDialogs::RunProgress(COperationBase& operation)
{
    COPProgressDlg dialog(&operation, ParentOr(operation.DialogParent()));
    dialog.DoModal();
}

bool CQtShellDialogs::AskPrinterSetup(QWidget* parent, QPrinter* printer)
{
    if (!printer)
        return false;
    QPrintDialog dialog(printer, ParentOr(parent));
    // Printing to a file lists the PDF file printer beside the queues.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile);
    // A set-up, not a print: the PDF file printer asks for its file at each print, so
    // the set-up shows no output file. Qt enables that box whenever the PDF printer is
    // chosen and checks the file it names on OK, offering to overwrite it.
    for (const char* name : {"lOutput", "filename", "fileBrowser"}) {
        if (auto* widget = dialog.findChild<QWidget*>(QLatin1String(name)))
            new CKeptAway(*widget);
    }
    // Its button only accepts the choice.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    return dialog.exec() == QDialog::Accepted;
}

int CQtShellDialogs::ExecModal(QDialog* dialog)
{
    return dialog ? dialog->exec() : QDialog::Rejected;
}

}  // namespace quorvel
