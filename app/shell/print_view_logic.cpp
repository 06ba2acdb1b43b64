// The page model's arithmetic, in 128 bits where printer resolution x 256, picture size
// and picture resolution meet.
#include "app/shell/print_view_logic.h"

#include <algorithm>

#include "engine/picture/picture.h"

using quorvel::PrintCap;
using quorvel::PrintWide;
using quorvel::Halve;
using quorvel::PinToInt32;
using quorvel::PinToUint32;
using quorvel::RoundDivide;

namespace {

_tagPTzSIZE PictureSize(ITzPicture* picture)
{
    _tagPTzSIZE size = {};
    if (picture)
        picture->GetSize(&size);
    return size;
}

// Pixels per metre as 1/256 dots per inch, rounded; 0 stands for 72 dpi.
uint32_t ResolutionOf(uint32_t pixelsPerMetre)
{
    const double scaled = PTzDPMtoDPI(double(pixelsPerMetre)) * 256.0 + 0.5;
    if (scaled >= 4294967295.0)
        return UINT32_MAX;
    const uint32_t resolution = uint32_t(scaled);
    return resolution ? resolution : RPrintViewLogic::kDefaultResolution;
}

// One axis of the picture on the page: a half-open span.
struct Span {
    PrintWide start;
    PrintWide end;
};

// The move that KeepInsidePrintable makes on one axis of extent `range`.
PrintWide KeepInside(Span span, PrintWide range)
{
    if (span.start > 0 && span.end > range)
        return -std::min(span.start, span.end - range);
    if (span.start < 0 && span.end < range)
        return std::min(-span.start, range - span.end);
    return 0;
}

}  // namespace

void RPrintViewLogic::SetPicture(ITzPicture* picture)
{
    m_picture = picture;
    ResetPictureDPI();
}

void RPrintViewLogic::SetPrinterDC(const quorvel::IPrintMetrics* dc)
{
    m_dc = dc;
    OnPrinterChanged();
}

int64_t RPrintViewLogic::GetPrinterDPIX() const
{
    return m_dc ? int64_t(m_dc->GetDeviceCaps(PrintCap::LogPixelsX)) * 256 : 0;
}

int64_t RPrintViewLogic::GetPrinterDPIY() const
{
    return m_dc ? int64_t(m_dc->GetDeviceCaps(PrintCap::LogPixelsY)) * 256 : 0;
}

bool RPrintViewLogic::HasLayout() const
{
    const _tagPTzSIZE size = PictureSize(m_picture);
    return m_dc && size.cx > 0 && size.cy > 0 && GetPrinterDPIX() > 0 && GetPrinterDPIY() > 0;
}

PrintWide RPrintViewLogic::PrintedWidth() const
{
    if (!HasLayout())
        return 0;
    const PrintWide pixels = PictureSize(m_picture).cx;
    return (GetPrinterDPIX() * pixels + m_resolutionX / 2) / m_resolutionX;
}

PrintWide RPrintViewLogic::PrintedHeight() const
{
    if (!HasLayout())
        return 0;
    const PrintWide pixels = PictureSize(m_picture).cy;
    return (GetPrinterDPIY() * pixels + m_resolutionY / 2) / m_resolutionY;
}

void RPrintViewLogic::SetPosition(PrintWide left, PrintWide top)
{
    m_left = PinToInt32(left);
    m_top = PinToInt32(top);
}

void RPrintViewLogic::SetPictureDPI(uint32_t x, uint32_t y)
{
    const PrintWide width = PrintedWidth();
    const PrintWide height = PrintedHeight();
    m_resolutionX = x ? x : kDefaultResolution;
    m_resolutionY = y ? y : kDefaultResolution;
    SetPosition(m_left - Halve(PrintedWidth() - width), m_top - Halve(PrintedHeight() - height));
}

void RPrintViewLogic::OffsetPicture(int32_t dx, int32_t dy)
{
    SetPosition(PrintWide(m_left) + dx, PrintWide(m_top) + dy);
}

void RPrintViewLogic::SetPictureRect(const PTzRECT& rect)
{
    SetPosition(rect.left, rect.top);
    const PrintWide width = PTzRectWidth(rect);
    const PrintWide height = PTzRectHeight(rect);
    if (width <= 0 || height <= 0 || !HasLayout())
        return;
    const _tagPTzSIZE size = PictureSize(m_picture);
    m_resolutionX = std::max<uint32_t>(1, PinToUint32((GetPrinterDPIX() * size.cx + width / 2) / width));
    m_resolutionY = std::max<uint32_t>(1, PinToUint32((GetPrinterDPIY() * size.cy + height / 2) / height));
}

void RPrintViewLogic::ResetPictureDPI()
{
    if (!m_picture)
        return;
    m_resolutionX = ResolutionOf(m_picture->GetXPelsPerMeter());
    m_resolutionY = ResolutionOf(m_picture->GetYPelsPerMeter());
}

PTzPOINT RPrintViewLogic::GetPhysicalOffset() const
{
    if (!m_dc)
        return {};
    return {m_dc->GetDeviceCaps(PrintCap::PhysicalOffsetX), m_dc->GetDeviceCaps(PrintCap::PhysicalOffsetY)};
}

_tagPTzSIZE RPrintViewLogic::GetPrintableSize() const
{
    if (!m_dc)
        return {};
    return {m_dc->GetDeviceCaps(PrintCap::HorzRes), m_dc->GetDeviceCaps(PrintCap::VertRes)};
}

int RPrintViewLogic::PrintPart(ITzPicture*, QPainter*, const PTzRECT&, const PTzRECT&)
{
    return 0;
}

PTzRECT RPrintViewLogic::GetPictureRect() const
{
    if (!HasLayout())
        return {};
    return {m_left, m_top, PinToInt32(m_left + PrintedWidth()), PinToInt32(m_top + PrintedHeight())};
}

PTzRECT RPrintViewLogic::GetPrintableRect() const
{
    const _tagPTzSIZE size = GetPrintableSize();
    return {0, 0, size.cx, size.cy};
}

PTzRECT RPrintViewLogic::GetPaperRect() const
{
    if (!m_dc)
        return {};
    const PTzPOINT offset = GetPhysicalOffset();
    const PrintWide left = -PrintWide(offset.x);
    const PrintWide top = -PrintWide(offset.y);
    return {PinToInt32(left), PinToInt32(top), PinToInt32(left + m_dc->GetDeviceCaps(PrintCap::PhysicalWidth)),
            PinToInt32(top + m_dc->GetDeviceCaps(PrintCap::PhysicalHeight))};
}

void RPrintViewLogic::CentrePicture()
{
    if (!HasLayout())
        return;
    const _tagPTzSIZE area = GetPrintableSize();
    SetPosition(Halve(area.cx - PrintedWidth()), Halve(area.cy - PrintedHeight()));
}

void RPrintViewLogic::FitIntoPaper()
{
    if (!HasLayout())
        return;
    const _tagPTzSIZE area = GetPrintableSize();
    const PrintWide width = PrintedWidth();
    const PrintWide height = PrintedHeight();
    if (area.cx > 0 && area.cy > 0 && (width > area.cx || height > area.cy)) {
        // The axis that overshoots more scales both resolutions.
        const bool widthLimits = PrintWide(area.cy) * width > PrintWide(area.cx) * height;
        const PrintWide picture = widthLimits ? width : height;
        const PrintWide range = widthLimits ? area.cx : area.cy;
        SetPictureDPI(std::max<uint32_t>(1, PinToUint32(RoundDivide(PrintWide(m_resolutionX) * picture, range))),
                      std::max<uint32_t>(1, PinToUint32(RoundDivide(PrintWide(m_resolutionY) * picture, range))));
    }
    KeepInsidePrintable();
}

void RPrintViewLogic::KeepInsidePrintable()
{
    if (!HasLayout())
        return;
    const _tagPTzSIZE area = GetPrintableSize();
    const PrintWide dx = KeepInside({m_left, m_left + PrintedWidth()}, area.cx);
    const PrintWide dy = KeepInside({m_top, m_top + PrintedHeight()}, area.cy);
    SetPosition(m_left + dx, m_top + dy);
}

int RPrintViewLogic::PrintOnPage(QPainter* painter)
{
    if (!painter || !HasLayout())
        return 0;
    const _tagPTzSIZE area = GetPrintableSize();
    const _tagPTzSIZE pixels = PictureSize(m_picture);
    const PrintWide width = PrintedWidth();
    const PrintWide height = PrintedHeight();
    const Span x = {m_left, m_left + width};
    const Span y = {m_top, m_top + height};
    const Span clipX = {std::max<PrintWide>(x.start, 0), std::min<PrintWide>(x.end, area.cx)};
    const Span clipY = {std::max<PrintWide>(y.start, 0), std::min<PrintWide>(y.end, area.cy)};
    if (clipX.start >= clipX.end || clipY.start >= clipY.end)
        return 0;
    // A picture edge on the page maps back to the nearest pixel edge; a part narrower
    // than half a pixel keeps the pixel it lies on.
    const auto back = [](PrintWide edge, Span span, PrintWide count) {
        return RoundDivide((edge - span.start) * count, span.end - span.start);
    };
    const auto sourceSpan = [&](Span clip, Span span, PrintWide count) {
        PrintWide start = back(clip.start, span, count);
        PrintWide end = back(clip.end, span, count);
        if (end == start) {
            end = std::min(end + 1, count);
            start = end - 1;
        }
        return Span{start, end};
    };
    const Span sourceX = sourceSpan(clipX, x, pixels.cx);
    const Span sourceY = sourceSpan(clipY, y, pixels.cy);
    const PTzRECT source = {int32_t(sourceX.start), int32_t(sourceY.start), int32_t(sourceX.end),
                            int32_t(sourceY.end)};
    const PTzRECT dest = {int32_t(clipX.start), int32_t(clipY.start), int32_t(clipX.end), int32_t(clipY.end)};
    return PrintPart(m_picture, painter, source, dest);
}
