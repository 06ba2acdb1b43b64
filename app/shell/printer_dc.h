// Where prints go. A printer source gives the printer to print on: the application's
// one printer, which is the system's default print queue or, on a system without one,
// the PDF file printer that asks for its file at each print. A printer DC is a printer
// with its caps read at the moment it was made, as the page layout sees them, and the
// device a QPainter opens for one document.
#pragma once

#include <QPrinterInfo>
#include <QString>
#include <memory>

#include "app/shell/print_metrics.h"

class QPainter;
class QPrinter;
class QWidget;

namespace quorvel {

class CPrinterSource {
public:
    virtual ~CPrinterSource() = default;
    // The printer, owned by the source; null when there is none.
    virtual QPrinter* GetPrinter() = 0;
    // Before a document named docName (its path or its name) is printed: a printer that
    // writes a file has the user choose it, over parent. False when the user cancelled;
    // a printer that needs nothing answers true.
    virtual bool ChooseOutput(QWidget* /*parent*/, const QString& /*docName*/) { return true; }
};

// The system's default print queue at its high resolution, or the PDF file printer
// when the system has no default queue; the printer is made on first use and keeps
// what the user chose in the printer set-up, where every queue and the PDF file
// printer are offered.
class CSystemPrinterSource : public CPrinterSource {
public:
    using DefaultPrinterLookup = QPrinterInfo (*)();

    explicit CSystemPrinterSource(DefaultPrinterLookup lookup = &QPrinterInfo::defaultPrinter);
    ~CSystemPrinterSource() override;
    QPrinter* GetPrinter() override;
    // The PDF file printer asks for the file with the Save dialog, proposing the file of
    // the last print or the document's name with ".pdf".
    bool ChooseOutput(QWidget* parent, const QString& docName) override;

private:
    DefaultPrinterLookup m_lookup;
    std::unique_ptr<QPrinter> m_printer;
    // The file of the last print: the printer's own output file is whatever Qt's set-up
    // dialog left in it.
    QString m_outputFile;
};

class CPrinterDC : public CPrintCaps {
public:
    // A DC on the source's printer, or null when it has none.
    static std::unique_ptr<CPrinterDC> Create(CPrinterSource& source);
    // Reads the printer's caps: LOGPIXELSX/Y its resolution, HORZRES/VERTRES its page
    // (printable) size, the page's corner on the paper, the paper; scaling is 1/1. The
    // source, when given, outlives the DC.
    explicit CPrinterDC(QPrinter* printer, CPrinterSource* source = nullptr);

    QPrinter* GetPrinter() const { return m_printer; }
    // The name the print queue shows for the document (DOCINFO's name).
    void SetDocName(const QString& name);
    // Starts the one document of a print: names it, lets the source choose where a file
    // printer writes, and opens the painter on the printer. False, with nothing printed,
    // when the user cancelled or the printer cannot start.
    bool BeginDocument(QPainter& painter, QWidget* parent, const QString& docName);

private:
    QPrinter* m_printer;
    CPrinterSource* m_source;
};

}  // namespace quorvel
