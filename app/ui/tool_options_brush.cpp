// The brush tools' panels.
#include "app/ui/tool_options_brush.h"

#include <QLineEdit>

#include "app/ui/tool_brush.h"
#include "app/ui/tool_brush_kinds.h"
#include "app/ui/tool_clone.h"

namespace {

// The templates without an opacity box (the retouch tools, which have strength instead)
// and without a press box (the pencil).
constexpr uint32_t kPencilTemplate = 172;
constexpr uint32_t kRetouchTemplates[] = {177, 178, 179};
constexpr int kPreviewSide = CToolOptionsDlg::kRowHeight - RBrushStatic::kBand;

bool IsRetouchTemplate(uint32_t id)
{
    for (uint32_t retouch : kRetouchTemplates) {
        if (retouch == id)
            return true;
    }
    return false;
}

}  // namespace

CToolOptionsBrushBase::CToolOptionsBrushBase(CTool_BrushBase* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{})
{
    const uint32_t layout = tool->GetOptionsDialogID();
    if (IsRetouchTemplate(layout)) {
        AddNumberBox(1095, QStringLiteral("Strength:"), [tool](uint8_t value) { tool->SetStrength(value); });
    } else {
        AddNumberBox(1006, QStringLiteral("Opacity:"), [tool](uint8_t value) { tool->SetOpacity(value); });
    }
    if (layout != kPencilTemplate)
        AddNumberBox(1068, QStringLiteral("Press:"), [tool](uint8_t value) { tool->SetPress(value); });
    AddCheck(1016, QStringLiteral("Holding Support"), [this, tool] { tool->SetHoldingSupport(IsChecked(1016)); });
    AddPreview();
}

void CToolOptionsBrushBase::AddPreview()
{
    AddPlaceholder(1017, QSize(kPreviewSide, kPreviewSide + RBrushStatic::kBand));
}

CTool_BrushBase* CToolOptionsBrushBase::BrushTool() const
{
    return static_cast<CTool_BrushBase*>(GetTool());
}

void CToolOptionsBrushBase::UpdateControls()
{
    CTool_BrushBase* tool = BrushTool();
    if (m_preview.Attach(this, 1017))
        m_preview.AddToBroadcaster(tool);
    m_preview.SetBrushIndex(tool->GetBrushIndex());
    SetNumber(1006, tool->GetOpacity());
    SetNumber(1068, tool->GetPress());
    SetChecked(1016, tool->GetHoldingSupport() != 0);
}

CToolOptionsErase::CToolOptionsErase(CTool_Erase* tool, QWidget* parent) : CToolOptionsBrushBase(tool, parent)
{
    AddRadioPair(1069, QStringLiteral("Color"), 1070, QStringLiteral("Alpha"),
                 [tool](uint32_t mode) { tool->SetEraseMode(mode); });
}

void CToolOptionsErase::UpdateControls()
{
    CToolOptionsBrushBase::UpdateControls();
    SetRadioPair(1069, 1070, static_cast<CTool_Erase*>(GetTool())->GetEraseMode());
}

CToolOptionsClone::CToolOptionsClone(CTool_Clone* tool, QWidget* parent) : CToolOptionsBrushBase(tool, parent)
{
    AddCheck(1072, QStringLiteral("Aligned"), [this, tool] { tool->SetAligned(IsChecked(1072)); });
}

void CToolOptionsClone::UpdateControls()
{
    CToolOptionsBrushBase::UpdateControls();
    SetChecked(1072, static_cast<CTool_Clone*>(GetTool())->GetAligned() != 0);
}

CToolOptionsBlur::CToolOptionsBlur(CTool_BrushBase* tool, QWidget* parent) : CToolOptionsBrushBase(tool, parent) {}

void CToolOptionsBlur::UpdateControls()
{
    CToolOptionsBrushBase::UpdateControls();
    SetNumber(1095, BrushTool()->GetStrength());
}
