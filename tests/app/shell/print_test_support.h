// Helpers of the printing tests: printer sources (a PDF printer laid out as a 600 dpi
// Letter page with quarter-inch side margins, and none at all), the application's
// printer over a source, and pictures of a size and resolution.
#pragma once

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <memory>
#include <ostream>

#include "app/shell/application_printer.h"
#include "app/shell/printer_dc.h"
#include "engine/picture/picture.h"

inline bool operator==(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const PTzRECT& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace shelltest {

class PdfPrinterSource : public quorvel::CPrinterSource {
public:
    explicit PdfPrinterSource(const QString& path) : printer(QPrinter::HighResolution)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(600);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                          QMarginsF(0.25, 0, 0.25, 0), QPageLayout::Inch));
    }
    QPrinter* GetPrinter() override { return &printer; }
    QPrinter printer;
};

class NoPrinterSource : public quorvel::CPrinterSource {
public:
    QPrinter* GetPrinter() override { return nullptr; }
};

inline std::unique_ptr<CApplicationPrinter> PdfApplicationPrinter(const QString& path)
{
    return std::make_unique<CApplicationPrinter>(std::make_unique<PdfPrinterSource>(path));
}

// Whether the file holds a PDF document.
inline bool IsPdf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "%PDF";
}

// A picture of the size without layers (its layout needs no pixels), with the
// resolutions in pixels per metre; freed with the scope.
struct SizedPicture {
    SizedPicture(int32_t width, int32_t height, uint32_t xPelsPerMeter = 0, uint32_t yPelsPerMeter = 0)
    {
        picture.Create(uint32_t(width), uint32_t(height));
        picture.SetXPelsPerMeter(xPelsPerMeter);
        picture.SetYPelsPerMeter(yPelsPerMeter);
    }
    ITzPicture picture;
};

// Pixels per metre of a resolution in dots per inch.
inline uint32_t PelsPerMeter(double dpi)
{
    return uint32_t(dpi / 0.0254 + 0.5);
}

}  // namespace shelltest
