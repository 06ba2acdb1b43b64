// The options panels of the bucket (opacity, tolerance, contiguous), the gradient (linear
// or radial, opacity), the magic wand (tolerance, contiguous), the move tool (copy) and
// the zoom tool (zoom in or out).
#pragma once

#include "app/ui/tool_options.h"

class CTool_Bucket;
class CTool_Gradient;
class CTool_Magic;
class CTool_Move;
class CTOOL_ZOOM;

class CToolOptionsBucket : public CToolOptionsDlg {
public:
    CToolOptionsBucket(CTool_Bucket* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

class CToolOptionsGradient : public CToolOptionsDlg {
public:
    CToolOptionsGradient(CTool_Gradient* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

class CToolOptionsMagic : public CToolOptionsDlg {
public:
    CToolOptionsMagic(CTool_Magic* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

class CToolOptionMove : public CToolOptionsDlg {
public:
    CToolOptionMove(CTool_Move* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};

class CToolOptionsZoom : public CToolOptionsDlg {
public:
    CToolOptionsZoom(CTOOL_ZOOM* tool, QWidget* parent = nullptr);
    void UpdateControls() override;
};
