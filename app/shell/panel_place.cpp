// The four values are REG_DWORDs holding the signed screen coordinates.
#include "app/shell/panel_place.h"

#include <QWidget>
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

bool LoadPanelRect(PanelSlot slot, PTzRECT* rect)
{
    uint32_t values[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!ReadSettingDword(SettingName(slot, kEdges[i]), &values[i]))
            return false;
    }
    PTzRECT stored = {int32_t(values[0]), int32_t(values[1]), int32_t(values[2]), int32_t(values[3])};
    if (!ClampRectToMonitor(&stored))
        return false;
    *rect = stored;
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
