// The view's print commands and the placement of a picture on one page.
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "app/shell/application.h"
#include "app/shell/document.h"
#include "app/shell/op_print.h"
#include "app/shell/picture_view.h"
#include "app/shell/print_arithmetic.h"
#include "app/shell/print_dialog.h"
#include "app/shell/printer_dc.h"
#include "app/shell/shell_dialogs.h"

using quorvel::PrintCap;
using quorvel::PrintWide;

namespace {

quorvel::IPrintSetup* ApplicationPrinter()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    return app ? app->GetPrintSetup() : nullptr;
}

// Pixels per metre as whole dots per inch, rounded; 72 for a value that rounds to 0.
PrintWide PictureDpi(uint32_t pixelsPerMetre)
{
    const PrintWide dpi = PrintWide(std::floor(PTzDPMtoDPI(double(pixelsPerMetre)) + 0.5));
    return dpi > 0 ? dpi : 72;
}

}  // namespace

int CTamsleyView::ComputePrintPlacement(const quorvel::IPrintMetrics& dc, ITzPicture* picture, PTzRECT* source,
                                        PTzRECT* dest)
{
    if (!source || !dest)
        return 0;
    *source = {};
    *dest = {};
    _tagPTzSIZE size = {};
    if (!picture || picture->GetSize(&size) != 0 || size.cx <= 0 || size.cy <= 0)
        return 0;
    const PrintWide dpiX = dc.GetDeviceCaps(PrintCap::LogPixelsX);
    const PrintWide dpiY = dc.GetDeviceCaps(PrintCap::LogPixelsY);
    const PrintWide across = dc.GetDeviceCaps(PrintCap::HorzRes);
    const PrintWide down = dc.GetDeviceCaps(PrintCap::VertRes);
    if (dpiX <= 0 || dpiY <= 0 || across <= 0 || down <= 0)
        return 0;
    const PrintWide width = size.cx;
    const PrintWide height = size.cy;
    const PrintWide pictureDpiX = PictureDpi(picture->GetXPelsPerMeter());
    const PrintWide pictureDpiY = PictureDpi(picture->GetYPelsPerMeter());
    PrintWide printedWidth;
    PrintWide printedHeight;
    if (dpiX * width <= pictureDpiX * across && dpiY * height <= pictureDpiY * down) {
        // At its physical size: printer dpi / picture dpi on each axis.
        printedWidth = dpiX * width / pictureDpiX;
        printedHeight = dpiY * height / pictureDpiY;
    } else {
        // Shrunk uniformly in physical terms until one axis fills the printable area; the
        // other follows through both resolution ratios (four factors: 128 bits).
        const PrintWide a = across * height * dpiY * pictureDpiX;
        const PrintWide b = down * width * dpiX * pictureDpiY;
        if (b > a) {
            printedWidth = across;
            printedHeight = a / (width * dpiX * pictureDpiY);
        } else {
            printedHeight = down;
            printedWidth = b / (height * dpiY * pictureDpiX);
        }
    }
    const PrintWide left = (across - printedWidth) / 2;
    const PrintWide top = (down - printedHeight) / 2;
    *source = {0, 0, size.cx, size.cy};
    *dest = {int32_t(left), int32_t(top), int32_t(left + printedWidth), int32_t(top + printedHeight)};
    return 1;
}

int CTamsleyView::RunPrintOperation(QPainter* painter, ITzPicture* picture, const PTzRECT& source,
                                    const PTzRECT& dest)
{
    return COpPrint::RunBilinear(this, picture, painter, source, dest);
}

void CTamsleyView::OnFilePrint()
{
    ITzPicture* picture = GetPicture();
    quorvel::IPrintSetup* printer = ApplicationPrinter();
    if (!picture || !printer)
        return;
    std::unique_ptr<quorvel::CPrinterDC> dc = printer->CreatePrinterDC();
    if (!dc)
        return;
    QPainter painter;
    if (!dc->BeginDocument(painter, this, m_document->GetPrintName()))
        return;
    PTzRECT source;
    PTzRECT dest;
    if (ComputePrintPlacement(*dc, picture, &source, &dest))
        RunPrintOperation(&painter, picture, source, dest);
    painter.end();
}

void CTamsleyView::OnFilePrintPreview()
{
    if (!GetPicture())
        return;
    R_PrintPreDlg dialog(ApplicationPrinter(), this);
    dialog.SetDocument(m_document);
    quorvel::ShellDialogs().ExecModal(&dialog);
}
