// R_PrintPreDlg: the Print dialog. It shows the page preview of the active picture on the
// application's printer with the Print, Cancel and Page Setup buttons and the Center and
// Fit Into Paper check boxes; Print prints the page and leaves the dialog open. The
// dialog owns its printer DC from start to end; Page Setup replaces it. It keeps at
// least 400 x 300 pixels: the preview takes every change of size, the buttons keep to
// the right and the check boxes to the bottom.
#pragma once

#include <QDialog>
#include <memory>

#include "app/shell/printer_dc.h"

class CTamsleyDoc;
class QCheckBox;
class RPrintPreview;

namespace quorvel {
class IPrintSetup;
}

class R_PrintPreDlg : public QDialog {
public:
    // Makes the printer DC at once from the application's printer (none: the preview
    // stays grey and Print does nothing).
    explicit R_PrintPreDlg(quorvel::IPrintSetup* printer, QWidget* parent = nullptr);
    ~R_PrintPreDlg() override;

    // The document to print: the preview shows its picture on the printer's page.
    void SetDocument(CTamsleyDoc* document);

    // The buttons.
    void OnPrint();
    void OnPageSetup();

    RPrintPreview* GetPreview() const { return m_preview; }
    quorvel::CPrinterDC* GetPrinterDC() const { return m_printerDC.get(); }

private:
    quorvel::IPrintSetup* m_printer;
    std::unique_ptr<quorvel::CPrinterDC> m_printerDC;
    RPrintPreview* m_preview;
    QCheckBox* m_centre;
    QCheckBox* m_fit;
    CTamsleyDoc* m_document = nullptr;
};
