// CApplicationPrinter: the application's one printer, which Print, Print Preview, Print
// Setup and the Print dialog's Page Setup share, so that a choice made in one set-up
// holds for every later print. Its printer comes from a source (the system's default
// queue or the PDF file printer; tests give a PDF printer of their own).
#pragma once

#include <memory>

#include "app/shell/printer_dc.h"
#include "app/shell/shell_links.h"

class CApplicationPrinter : public quorvel::IPrintSetup {
public:
    explicit CApplicationPrinter(std::unique_ptr<quorvel::CPrinterSource> source =
                                     std::make_unique<quorvel::CSystemPrinterSource>());
    ~CApplicationPrinter() override;

    // The printer set-up dialog; without a printer the user is told so.
    bool Run(QWidget* parent) override;
    std::unique_ptr<quorvel::CPrinterDC> CreatePrinterDC() override;

private:
    std::unique_ptr<quorvel::CPrinterSource> m_source;
};
