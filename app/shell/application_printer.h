// CApplicationPrinter: the application's one printer, which Print, Print Preview, Print
// Setup and the Print dialog's Page Setup share, so that a choice made in one set-up
// holds for every later print. Its printer comes from a source (the system's default
// printer; tests give a PDF printer).
#pragma once

#include <memory>

#include "app/shell/printer_dc.h"
#include "app/shell/shell_links.h"

class CApplicationPrinter : public quorvel::IPrintSetup {
public:
    explicit CApplicationPrinter(std::unique_ptr<quorvel::CPrinterSource> source =
                                     std::make_unique<quorvel::CSystemPrinterSource>());
    ~CApplicationPrinter() override;

    // Print Setup: the printer set-up dialog; without a printer the user is told so.
    void Run(QWidget* parent) override;
    bool RunPageSetup(QWidget* parent) override;
    std::unique_ptr<quorvel::CPrinterDC> CreatePrinterDC() override;

private:
    bool RunSetup(QWidget* parent, bool pageOnly);

    std::unique_ptr<quorvel::CPrinterSource> m_source;
};
