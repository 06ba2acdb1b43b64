// Every dialog and message box the shell opens goes through this one interface, so that
// tests put their own answers in place of windows that would wait for a person.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class COperationBase;
class QDialog;
class QPrinter;
class QWidget;

namespace quorvel {

// OkError: OK under the error icon.
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkError };
enum class MessageAnswer { Ok, Yes, No, Cancel };
class CShellDialogs {
public:
    virtual ~CShellDialogs();

    // A message box over parent (null: the main window); the caption defaults to the
    // program's name.
    virtual MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                                      const QString& caption = {}) = 0;
    // The Open dialog with Qt name filters: the chosen files, none when cancelled.
    virtual QStringList AskOpenFileNames(QWidget* parent, const QStringList& nameFilters) = 0;
    // The Save dialog (CRFileSaveDialog) over a "|"-separated filter string, starting on
    // *name and the 1-based *filterIndex: true with both replaced by the choice.
    virtual bool AskSaveFileName(QWidget* parent, const QString& title, const QString& filter, QString* name,
                                 int* filterIndex) = 0;
    // The colour dialog starting on *colour: true with the choice.
    virtual bool AskColour(QWidget* parent, QColor* colour) = 0;
    // The New dialog (CNewDialog) proposing the size: true with the size and name chosen.
    virtual bool AskNewImage(QWidget* parent, int32_t* width, int32_t* height, QString* name) = 0;
    virtual void ShowAbout(QWidget* parent) = 0;
    // Runs the operation's remaining steps under the modal progress dialog, calling its
    // Finish or its Abandon exactly once.
    virtual void RunProgress(COperationBase& operation) = 0;
    // The printer set-up on the printer (QPrintDialog without page ranges or selection):
    // the choice among the system's print queues and the PDF file printer, with the
    // paper, orientation and margins under its properties, and no output file (the PDF
    // file printer asks for it at each print). True when the user accepted, and only then
    // is the printer changed.
    virtual bool AskPrinterSetup(QWidget* parent, QPrinter* printer) = 0;
    // Runs one of the program's own dialogs modally (the Print dialog): its result.
    virtual int ExecModal(QDialog* dialog) = 0;
};

// The dialogs in use: Qt's, unless replaced.
CShellDialogs& ShellDialogs();
// Puts dialogs in place (null: Qt's again) and gives back those replaced.
std::unique_ptr<CShellDialogs> SetShellDialogs(std::unique_ptr<CShellDialogs> dialogs);

// The real dialogs.
class CQtShellDialogs : public CShellDialogs {
public:
    MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                              const QString& caption) override;
    QStringList AskOpenFileNames(QWidget* parent, const QStringList& nameFilters) override;
    bool AskSaveFileName(QWidget* parent, const QString& title, const QString& filter, QString* name,
                         int* filterIndex) override;
    bool AskColour(QWidget* parent, QColor* colour) override;
    bool AskNewImage(QWidget* parent, int32_t* width, int32_t* height, QString* name) override;
    void ShowAbout(QWidget* parent) override;
    void RunProgress(COperationBase& operation) override;
    bool AskPrinterSetup(QWidget* parent, QPrinter* printer) override;
    int ExecModal(QDialog* dialog) override;
};

// The parent a dialog without one gets: the application's main window, or null.
QWidget* DefaultDialogParent();

}  // namespace quorvel
