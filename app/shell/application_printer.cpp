// The application's printer and its set-up command.
#include "app/shell/application_printer.h"

#include "app/shell/shell_dialogs.h"

using namespace quorvel;

CApplicationPrinter::CApplicationPrinter(std::unique_ptr<CPrinterSource> source) : m_source(std::move(source)) {}

CApplicationPrinter::~CApplicationPrinter() = default;

bool CApplicationPrinter::Run(QWidget* parent)
{
    QPrinter* printer = m_source ? m_source->GetPrinter() : nullptr;
    if (!printer) {
        ShellDialogs().ShowMessage(parent, QStringLiteral("No printer is installed."), MessageButtons::Ok);
        return false;
    }
    return ShellDialogs().AskPrinterSetup(parent, printer);
}

std::unique_ptr<CPrinterDC> CApplicationPrinter::CreatePrinterDC()
{
    return m_source ? CPrinterDC::Create(*m_source) : nullptr;
}
