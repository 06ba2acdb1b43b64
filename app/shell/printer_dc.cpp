// The printer source and DC over Qt's print support.
#include "app/shell/printer_dc.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "app/shell/page_layout_printer.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"

namespace quorvel {

namespace {

int32_t Whole(qreal value)
{
    return int32_t(std::lround(value));
}

CPrintCaps ReadCaps(const QPrinter& printer)
{
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    return CPrintCaps(printer.resolution(), printer.resolution(), printer.width(), printer.height(),
                      Whole(page.left() - paper.left()), Whole(page.top() - paper.top()), Whole(paper.width()),
                      Whole(paper.height()));
}

// "folder/picture.bmp" gives "folder/picture.pdf", a name without a folder the name
// with ".pdf".
QString PdfNameFor(const QString& docName)
{
    const QFileInfo info(docName);
    const QString base = (info.suffix().isEmpty() ? info.fileName() : info.completeBaseName()) + QStringLiteral(".pdf");
    return docName.contains(QLatin1Char('/')) ? info.dir().filePath(base) : base;
}

}  // namespace

CSystemPrinterSource::CSystemPrinterSource(DefaultPrinterLookup lookup) : m_lookup(lookup) {}
CSystemPrinterSource::~CSystemPrinterSource() = default;

QPrinter* CSystemPrinterSource::GetPrinter()
{
    if (m_printer)
        return m_printer.get();
    const QPrinterInfo info = m_lookup();
    if (!info.isNull()) {
        m_printer = std::make_unique<CPageLayoutPrinter>(info, QPrinter::HighResolution);
    } else {
        m_printer = std::make_unique<CPageLayoutPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    }
    return m_printer.get();
}

bool CSystemPrinterSource::ChooseOutput(QWidget* parent, const QString& docName)
{
    QPrinter* printer = GetPrinter();
    if (printer->outputFormat() != QPrinter::PdfFormat)
        return true;
    QString name = m_outputFile.isEmpty() ? PdfNameFor(docName) : m_outputFile;
    int type = 1;
    if (!ShellDialogs().AskSaveFileName(parent, LoadShellString(IDS_PRINT_TO_FILE), LoadShellString(IDS_PDF_FILTER),
                                        &name, &type))
        return false;
    m_outputFile = name;
    printer->setOutputFileName(name);
    return true;
}

std::unique_ptr<CPrinterDC> CPrinterDC::Create(CPrinterSource& source)
{
    QPrinter* printer = source.GetPrinter();
    return printer ? std::make_unique<CPrinterDC>(printer, &source) : nullptr;
}

CPrinterDC::CPrinterDC(QPrinter* printer, CPrinterSource* source)
    : CPrintCaps(ReadCaps(*printer)), m_printer(printer), m_source(source)
{
}

void CPrinterDC::SetDocName(const QString& name)
{
    m_printer->setDocName(name);
}

bool CPrinterDC::BeginDocument(QPainter& painter, QWidget* parent, const QString& docName)
{
    SetDocName(docName);
    if (m_source && !m_source->ChooseOutput(parent, docName))
        return false;
    return painter.begin(m_printer);
}

}  // namespace quorvel
