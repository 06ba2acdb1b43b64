// The brush tools' options panels: opacity, press, holding support and the preview of
// the tool's brush (which follows the tool's brush changes), and what the eraser (erase
// mode), the clone (aligned) and the retouch tools (strength) add. Each template lacks
// what its tool does not use.
#pragma once

#include "app/ui/brush_static.h"
#include "app/ui/tool_options.h"

class CTool_BrushBase;
class CTool_Clone;
class CTool_Erase;

class CToolOptionsBrushBase : public CToolOptionsDlg {
public:
    CToolOptionsBrushBase(CTool_BrushBase* tool, QWidget* parent = nullptr);

    // Attaches and registers the brush preview the first time, then shows the fields.
    void UpdateControls() override;
    // The brush preview (attached by UpdateControls).
    RBrushStatic& GetPreview() { return m_preview; }

protected:
    CTool_BrushBase* BrushTool() const;
    // The controls the derived panels add go after the brush preview.
    void AddPreview();

private:
    RBrushStatic m_preview;
};

class CToolOptionsErase : public CToolOptionsBrushBase {
public:
    CToolOptionsErase(CTool_Erase* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

class CToolOptionsClone : public CToolOptionsBrushBase {
public:
    CToolOptionsClone(CTool_Clone* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

// Blur, sharpen and smudge share one panel: the strength box may show more than the
// 100 % the tool keeps.
class CToolOptionsBlur : public CToolOptionsBrushBase {
public:
    CToolOptionsBlur(CTool_BrushBase* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};
using CToolOptionsSharp = CToolOptionsBlur;
using CToolOptionsSmudge = CToolOptionsBlur;
