// The four values are REG_DWORDs holding the signed screen coordinates.
#include "app/shell/panel_place.h"

#include <QWidget>
#include <optional>
#include <string>

#include "app/shell/clamp_rect.h"
#include "app/shell/settings_store.h"

namespace quorvel {

namespace {

std::u16string SettingName(PanelSlot slot, const char* edge)
{
    const QString name = PanelSettingPrefix(slot) + QLatin1Char(' ') + QLatin1String(edge);
    return name.toStdU16String();
}

const char* const kEdges[4] = {"Left", "Top", "Right", "Bottom"};

std::optional<int32_t> StoredEdge(PanelSlot slot, int edge)
{
    uint32_t value = 0;
    if (!ReadSettingDword(SettingName(slot, kEdges[edge]), &value))
        return std::nullopt;
    return int32_t(value);
}

// One axis: a stored edge stays; a missing one lies the default extent away from the
// other edge, or where the default has it when neither edge is stored.
void MergeAxis(std::optional<int32_t> low, std::optional<int32_t> high, int32_t defaultLow, int32_t defaultHigh,
               int32_t* outLow, int32_t* outHigh)
{
    const int64_t extent = int64_t(defaultHigh) - defaultLow;
    *outLow = low ? *low : high ? PTzSaturate32(*high - extent) : defaultLow;
    *outHigh = high ? *high : PTzSaturate32(*outLow + extent);
}

}  // namespace

QString PanelSettingPrefix(PanelSlot slot)
{
    switch (slot) {
    case PanelSlot::Info:
        return QStringLiteral("Info UI");
    case PanelSlot::Layers:
        return QStringLiteral("Layer UI");
    case PanelSlot::ToolPalette:
        break;
    }
    return QStringLiteral("Tool UI");
}

StoredPanelEdges ReadPanelEdges(PanelSlot slot)
{
    StoredPanelEdges stored;
    for (int i = 0; i < 4; ++i)
        stored.edges[i] = StoredEdge(slot, i);
    return stored;
}

bool LoadPanelRect(const StoredPanelEdges& stored, const PTzRECT& place, PTzRECT* rect)
{
    const std::optional<int32_t>* edges = stored.edges;
    if (!edges[0] && !edges[1] && !edges[2] && !edges[3])
        return false;
    PTzRECT merged;
    MergeAxis(edges[0], edges[2], place.left, place.right, &merged.left, &merged.right);
    MergeAxis(edges[1], edges[3], place.top, place.bottom, &merged.top, &merged.bottom);
    if (!ClampRectToMonitor(&merged))
        return false;
    *rect = merged;
    return true;
}

void SavePanelRect(PanelSlot slot, const QRect& frame)
{
    const int32_t values[4] = {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
    for (int i = 0; i < 4; ++i)
        WriteSettingDword(SettingName(slot, kEdges[i]), uint32_t(values[i]));
}

void PlaceWindowCorner(QWidget* window, const QPoint& corner)
{
    window->move(corner);
    const QPoint actual = window->frameGeometry().topLeft();
    if (actual != corner)
        window->move(2 * corner - actual);
}

}  // namespace quorvel
