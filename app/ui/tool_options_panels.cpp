// The panels of the fill, selection and navigation tools with options.
#include "app/ui/tool_options_panels.h"

#include "app/ui/tool_bucket.h"
#include "app/ui/tool_gradient.h"
#include "app/ui/tool_magic.h"
#include "app/ui/tool_move.h"
#include "app/ui/tool_zoom.h"

CToolOptionsBucket::CToolOptionsBucket(CTool_Bucket* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    AddNumberBox(1006, QStringLiteral("Opacity:"), [tool](uint8_t value) { tool->SetOpacity(value); });
    AddNumberBox(1092, QStringLiteral("Tolerance:"), [tool](uint8_t value) { tool->SetTolerance(value); });
    AddCheck(1096, QStringLiteral("Contiguous"), [this, tool] { tool->SetContiguous(IsChecked(1096)); });
}

void CToolOptionsBucket::UpdateControls()
{
    auto* tool = static_cast<CTool_Bucket*>(GetTool());
    SetNumber(1006, tool->GetOpacity());
    SetNumber(1092, tool->GetTolerance());
    SetChecked(1096, tool->GetContiguous() != 0);
}

CToolOptionsGradient::CToolOptionsGradient(CTool_Gradient* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    AddRadioPair(1128, QStringLiteral("Linear"), 1129, QStringLiteral("Radial"),
                 [tool](uint32_t type) { tool->SetType(type); });
    AddNumberBox(1006, QStringLiteral("Opacity:"), [tool](uint8_t value) { tool->SetOpacity(value); });
}

void CToolOptionsGradient::UpdateControls()
{
    auto* tool = static_cast<CTool_Gradient*>(GetTool());
    SetRadioPair(1128, 1129, tool->GetType());
    SetNumber(1006, tool->GetOpacity());
}

CToolOptionsMagic::CToolOptionsMagic(CTool_Magic* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    AddNumberBox(1092, QStringLiteral("Tolerance:"), [tool](uint8_t value) { tool->SetTolerance(value); });
    AddCheck(1096, QStringLiteral("Contiguous"), [this, tool] { tool->SetContiguous(IsChecked(1096)); });
}

void CToolOptionsMagic::UpdateControls()
{
    auto* tool = static_cast<CTool_Magic*>(GetTool());
    SetNumber(1092, tool->GetTolerance());
    SetChecked(1096, tool->GetContiguous() != 0);
}

CToolOptionMove::CToolOptionMove(CTool_Move* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    AddCheck(1143, QStringLiteral("Copy"), [this, tool] { tool->SetCopy(IsChecked(1143)); });
}

void CToolOptionMove::UpdateControls()
{
    SetChecked(1143, static_cast<CTool_Move*>(GetTool())->GetCopy() != 0);
}

CToolOptionsZoom::CToolOptionsZoom(CTOOL_ZOOM* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    const auto directionChanged = [this, tool] { tool->SetZoomOut(IsChecked(1019) ? 1 : 0); };
    AddRadio(1018, QStringLiteral("Zoom In"), directionChanged);
    AddRadio(1019, QStringLiteral("Zoom Out"), directionChanged);
}

void CToolOptionsZoom::UpdateControls()
{
    const bool zoomOut = static_cast<CTOOL_ZOOM*>(GetTool())->GetZoomOut() != 0;
    SetChecked(1018, !zoomOut);
    SetChecked(1019, zoomOut);
}
