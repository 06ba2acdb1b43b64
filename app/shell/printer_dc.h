// Where prints go. A printer source gives the printer to print on: the application's
// one QPrinter for the system's default printer, or none when the system has no default
// printer (a bare QPrinter would silently become a PDF writer). A printer DC is a
// printer with its caps read at the moment it was made, as the page layout sees them,
// and the device a QPainter opens for one document.
#pragma once

#include <QString>
#include <memory>

#include "app/shell/print_metrics.h"

class QPrinter;

namespace quorvel {

class CPrinterSource {
public:
    virtual ~CPrinterSource() = default;
    // The printer, owned by the source; null when there is none.
    virtual QPrinter* GetPrinter() = 0;
};

// The system's default printer, at its high resolution; the QPrinter is made on first
// use and keeps what the user chose in the printer and page set-up.
class CSystemPrinterSource : public CPrinterSource {
public:
    CSystemPrinterSource();
    ~CSystemPrinterSource() override;
    QPrinter* GetPrinter() override;

private:
    std::unique_ptr<QPrinter> m_printer;
};

class CPrinterDC : public CPrintCaps {
public:
    // A DC on the source's printer, or null when it has none.
    static std::unique_ptr<CPrinterDC> Create(CPrinterSource& source);
    // Reads the printer's caps: LOGPIXELSX/Y its resolution, HORZRES/VERTRES its page
    // (printable) size, the page's corner on the paper, the paper; scaling is 1/1.
    explicit CPrinterDC(QPrinter* printer);

    QPrinter* GetPrinter() const { return m_printer; }
    // The name the print queue shows for the document (DOCINFO's name).
    void SetDocName(const QString& name);

private:
    QPrinter* m_printer;
};

}  // namespace quorvel
