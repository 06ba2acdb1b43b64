// The brush tools' engine objects and defaults.
#include "app/ui/tool_brush_kinds.h"

#include <new>

#include "app/ui/tool_cursors.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_brush.h"
#include "engine/tools/tool_blur.h"
#include "engine/tools/tool_brush_testing.h"
#include "engine/tools/tool_erase.h"
#include "engine/tools/tool_pen.h"
#include "engine/tools/tool_pencil.h"
#include "engine/tools/tool_sharp.h"
#include "engine/tools/tool_smudge.h"

namespace {

// Options templates.
constexpr uint32_t kPenTemplate = 103;
constexpr uint32_t kPencilTemplate = 172;
constexpr uint32_t kEraseTemplate = 173;
constexpr uint32_t kSmudgeTemplate = 177;
constexpr uint32_t kBlurTemplate = 178;
constexpr uint32_t kSharpTemplate = 179;

constexpr uint32_t kEraseAlphaPaintMode = 8;
constexpr uint32_t kNormalPaintMode = 3;

template <typename Engine>
std::unique_ptr<ITzToolBrushBase> MakeEngine()
{
    return std::unique_ptr<ITzToolBrushBase>(new (std::nothrow) Engine());
}

}  // namespace

CTool_Pen::CTool_Pen() : CTool_BrushBase(tool_id::PEN, kPenTemplate, 1077, IDC_TOOL_PEN, 5, ITzBRUSH_PRESS_SIZE) {}

std::unique_ptr<ITzToolBrushBase> CTool_Pen::CreateEngineTool()
{
    return MakeEngine<ITzToolPen>();
}

CTool_Pencil::CTool_Pencil()
    : CTool_BrushBase(tool_id::PENC, kPencilTemplate, 1078, IDC_TOOL_PENCIL, 0, ITzBRUSH_PRESS_SIZE)
{
}

std::unique_ptr<ITzToolBrushBase> CTool_Pencil::CreateEngineTool()
{
    return MakeEngine<ITzToolPencil>();
}

CTool_Erase::CTool_Erase() : CTool_BrushBase(tool_id::ERAS, kEraseTemplate, 1079, IDC_TOOL_ERASER, 5, 0)
{
    SetPaintMode(kEraseAlphaPaintMode);
}

std::unique_ptr<ITzToolBrushBase> CTool_Erase::CreateEngineTool()
{
    auto* erase = new (std::nothrow) ITzToolErase();
    if (erase)
        erase->SetEraseMode(ITzTOOLERASEMODE(m_eraseMode));
    return std::unique_ptr<ITzToolBrushBase>(erase);
}

void CTool_Erase::SetEraseMode(uint32_t mode)
{
    if (mode > 1 || mode == m_eraseMode)
        return;
    m_eraseMode = mode;
    SetPaintMode(mode ? kEraseAlphaPaintMode : kNormalPaintMode);
}

void CTool_Erase::SetExtraOptions(const uint8_t* bytes, uint32_t size)
{
    uint32_t mode = 0;
    if (DecodeTailValue(bytes, size, &mode))
        SetEraseMode(mode);
}

void CTool_Erase::GetExtraOptions(uint8_t* buffer, uint32_t* size)
{
    if (size)
        *size = EncodeTailValue(m_eraseMode, buffer, *size);
}

template <typename Engine>
CTool_StrengthBrush<Engine>::CTool_StrengthBrush(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton,
                                                 uint32_t cursor, uint32_t brushIndex)
    : CTool_BrushBase(id, optionsTemplate, paletteButton, cursor, brushIndex, 0)
{
    SetStrength(50);
}

template <typename Engine>
std::unique_ptr<ITzToolBrushBase> CTool_StrengthBrush<Engine>::CreateEngineTool()
{
    auto* engine = new (std::nothrow) Engine();
    if (engine)
        engine->SetStrength(GetEngineStrength());
    return std::unique_ptr<ITzToolBrushBase>(engine);
}

QWidget* CTool_Erase::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsErase(this, parent);
}

template <typename Engine>
QWidget* CTool_StrengthBrush<Engine>::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsBlur(this, parent);
}

template class CTool_StrengthBrush<ITzToolBlur>;
template class CTool_StrengthBrush<ITzToolSharp>;
template class CTool_StrengthBrush<ITzToolSmudge>;

CTool_Blur::CTool_Blur() : CTool_StrengthBrush(tool_id::BLUR, kBlurTemplate, 1083, IDC_TOOL_BLUR, 5) {}

CTool_Sharp::CTool_Sharp() : CTool_StrengthBrush(tool_id::SHAP, kSharpTemplate, 1084, IDC_TOOL_SHARP, 5) {}

CTool_Smudge::CTool_Smudge() : CTool_StrengthBrush(tool_id::SMDG, kSmudgeTemplate, 1081, IDC_TOOL_SMUDGE, 4) {}

CTool_ITzBrushTesting::CTool_ITzBrushTesting()
    : CTool_BrushBase(tool_id::BTET, kPenTemplate, 0, IDC_TOOL_PEN, 0, 0)
{
}

std::unique_ptr<ITzToolBrushBase> CTool_ITzBrushTesting::CreateEngineTool()
{
    return MakeEngine<ITzToolBrushTesting>();
}
