// The brush tools without a front-end state of their own: pen, pencil, eraser, blur,
// sharpen, smudge and the brush-testing tool (the clone is tool_clone.h).
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/tool_brush.h"

class CTool_Pen : public CTool_BrushBase {
public:
    CTool_Pen();
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
};

class CTool_Pencil : public CTool_BrushBase {
public:
    CTool_Pencil();
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
};

// Erase mode 1 takes the alpha away (paint mode 8), 0 paints the back colour (paint mode 3).
class CTool_Erase : public CTool_BrushBase {
public:
    CTool_Erase();
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    // The tail: the erase mode.
    void SetExtraOptions(const uint8_t* bytes, uint32_t size) override;
    void GetExtraOptions(uint8_t* buffer, uint32_t* size) override;
    // 0 or 1 (any other value is ignored); a new mode sets the paint mode.
    void SetEraseMode(uint32_t mode);
    uint32_t GetEraseMode() const { return m_eraseMode; }

private:
    uint32_t m_eraseMode = 1;
};

// The retouch brushes: each engine tool gets the tool's strength.
template <typename Engine>
class CTool_StrengthBrush : public CTool_BrushBase {
public:
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;

protected:
    CTool_StrengthBrush(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton, uint32_t cursor,
                        uint32_t brushIndex);
};

class ITzToolBlur;
class ITzToolSharp;
class ITzToolSmudge;

class CTool_Blur : public CTool_StrengthBrush<ITzToolBlur> {
public:
    CTool_Blur();
};

class CTool_Sharp : public CTool_StrengthBrush<ITzToolSharp> {
public:
    CTool_Sharp();
};

class CTool_Smudge : public CTool_StrengthBrush<ITzToolSmudge> {
public:
    CTool_Smudge();
};

// Paints through the engine's brush functions; no palette button selects it.
class CTool_ITzBrushTesting : public CTool_BrushBase {
public:
    CTool_ITzBrushTesting();
    std::unique_ptr<ITzToolBrushBase> CreateEngineTool() override;
};
