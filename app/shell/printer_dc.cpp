// The printer source and DC over Qt's print support.
#include "app/shell/printer_dc.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

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

}  // namespace

CSystemPrinterSource::CSystemPrinterSource() = default;
CSystemPrinterSource::~CSystemPrinterSource() = default;

QPrinter* CSystemPrinterSource::GetPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    return m_printer.get();
}

std::unique_ptr<CPrinterDC> CPrinterDC::Create(CPrinterSource& source)
{
    QPrinter* printer = source.GetPrinter();
    return printer ? std::make_unique<CPrinterDC>(printer) : nullptr;
}

CPrinterDC::CPrinterDC(QPrinter* printer) : CPrintCaps(ReadCaps(*printer)), m_printer(printer) {}

void CPrinterDC::SetDocName(const QString& name)
{
    m_printer->setDocName(name);
}

}  // namespace quorvel
