// The device caps that printing reads from a printer: its resolution, the printable area
// (the painter's origin is its top-left corner), where that area lies on the paper, and
// the paper. The page layout and the print operation read only these and draw only
// through a QPainter, so any paint device with known caps can stand in for a printer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvel {

enum class PrintCap {
    LogPixelsX,       // dots per inch across
    LogPixelsY,       // dots per inch down
    HorzRes,          // printable width, device pixels
    VertRes,          // printable height
    PhysicalOffsetX,  // the printable area's corner on the paper
    PhysicalOffsetY,
    PhysicalWidth,    // the paper
    PhysicalHeight,
};

class IPrintMetrics {
public:
    virtual ~IPrintMetrics() = default;
    virtual int32_t GetDeviceCaps(PrintCap cap) const = 0;
};

// Caps given as values.
class CPrintCaps : public IPrintMetrics {
public:
    CPrintCaps() = default;
    CPrintCaps(int32_t dpiX, int32_t dpiY, int32_t printableWidth, int32_t printableHeight, int32_t offsetX,
               int32_t offsetY, int32_t paperWidth, int32_t paperHeight)
        : m_values{dpiX, dpiY, printableWidth, printableHeight, offsetX, offsetY, paperWidth, paperHeight}
    {
    }
    int32_t GetDeviceCaps(PrintCap cap) const override { return m_values[std::size_t(cap)]; }

private:
    std::array<int32_t, 8> m_values = {};
};

}  // namespace quorvel
