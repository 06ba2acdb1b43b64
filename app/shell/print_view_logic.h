// RPrintViewLogic: the page model of the Print dialog, free of any window. It knows the
// printer's caps, the picture, the picture's print resolution (1/256 dots per inch on
// each axis) and its position, and from them where the picture lies on the page; it
// centres it, shrinks it into the printable area and prints the part of it that lies
// on the page.
//
// One frame of reference throughout: page coordinates are printer pixels with the
// origin at the printable area's top-left corner, which is where a QPainter opened on
// the printer has its origin. The printable area is (0, 0, HORZRES, VERTRES); the paper
// lies at minus the physical offset, which only the preview's drawing of the paper adds.
#pragma once

#include <cstdint>

#include "app/shell/print_arithmetic.h"
#include "app/shell/print_metrics.h"
#include "base/geometry.h"

class ITzPicture;
class QPainter;

class RPrintViewLogic {
public:
    // 72 dpi in 1/256 dpi.
    static constexpr uint32_t kDefaultResolution = 72 * 256;

    RPrintViewLogic() = default;
    virtual ~RPrintViewLogic() = default;
    RPrintViewLogic(const RPrintViewLogic&) = delete;
    RPrintViewLogic& operator=(const RPrintViewLogic&) = delete;

    // Stores the picture (not owned), then takes its resolution (ResetPictureDPI).
    virtual void SetPicture(ITzPicture* picture);
    // Stores the printer's caps (not owned; null for none), then OnPrinterChanged.
    virtual void SetPrinterDC(const quorvel::IPrintMetrics* dc);
    // New resolutions in 1/256 dpi (0 stands for 72 dpi); the picture's centre stays.
    virtual void SetPictureDPI(uint32_t x, uint32_t y);
    virtual void OffsetPicture(int32_t dx, int32_t dy);
    // The picture's corner goes to the rectangle's; when the rectangle has a width and a
    // height, the resolutions become those that print the picture at its size (at
    // least 1/256 dpi, so that no later division is by 0).
    virtual void SetPictureRect(const PTzRECT& rect);
    // The resolutions stored in the picture (72 dpi when it has none, and for values
    // that round to 0 dpi); a value beyond the record's range is pinned to the largest.
    virtual void ResetPictureDPI();
    virtual void OnPrinterChanged() {}
    // PHYSICALOFFSETX / Y: the printable area's corner on the paper.
    virtual PTzPOINT GetPhysicalOffset() const;
    // HORZRES / VERTRES.
    virtual _tagPTzSIZE GetPrintableSize() const;
    // Prints the source part of the picture into the destination (page coordinates) on
    // the painter, bilinearly: nonzero when printed. The model alone prints nothing (0).
    virtual int PrintPart(ITzPicture* picture, QPainter* painter, const PTzRECT& source, const PTzRECT& dest);

    ITzPicture* GetPicture() const { return m_picture; }
    const quorvel::IPrintMetrics* GetPrinterDC() const { return m_dc; }
    uint32_t GetPictureDPIX() const { return m_resolutionX; }
    uint32_t GetPictureDPIY() const { return m_resolutionY; }
    // The printer's resolutions x 256.
    int64_t GetPrinterDPIX() const;
    int64_t GetPrinterDPIY() const;

    // The picture on the page; coordinates beyond 32 bits are pinned. Empty without a
    // picture or printer.
    PTzRECT GetPictureRect() const;
    // (0, 0, HORZRES, VERTRES).
    PTzRECT GetPrintableRect() const;
    // The paper: the printable area's corner lies at the physical offset on it.
    PTzRECT GetPaperRect() const;

    // Centres the picture in the printable area.
    void CentrePicture();
    // Shrinks a picture wider or taller than the printable area, about its centre, until
    // the limiting axis fits; never enlarges. Then KeepInsidePrintable.
    void FitIntoPaper();
    // On each axis: a picture that starts inside the printable area and runs past its
    // end moves back, one that starts before it and ends inside moves forward, each by
    // the smaller of the two distances; otherwise it stays.
    void KeepInsidePrintable();
    // The Print button: the part of the picture on the printable area goes to PrintPart
    // with the source part mapped back proportionally. The answer of PrintPart, or 0
    // when nothing of the picture lies on the printable area.
    int PrintOnPage(QPainter* painter);

protected:
    // The picture's printed width and height, unpinned; 0 without a picture or printer.
    quorvel::PrintWide PrintedWidth() const;
    quorvel::PrintWide PrintedHeight() const;
    bool HasLayout() const;

private:
    void SetPosition(quorvel::PrintWide left, quorvel::PrintWide top);

    const quorvel::IPrintMetrics* m_dc = nullptr;
    ITzPicture* m_picture = nullptr;
    uint32_t m_resolutionX = kDefaultResolution;
    uint32_t m_resolutionY = kDefaultResolution;
    int32_t m_left = 0;
    int32_t m_top = 0;
};
