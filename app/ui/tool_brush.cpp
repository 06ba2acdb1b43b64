// The brush tools' common front-end: a stroke's engine tool from press to the next press,
// its settings, the brush index kept valid against the library, and the brush record.
#include "app/ui/tool_brush.h"

#include <chrono>
#include <new>

#include "app/shell/current_colours.h"
#include "app/shell/picture_view.h"
#include "app/shell/settings_store.h"
#include "app/ui/brush_manager.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_brush.h"
#include "engine/pixels/merge_data.h"
#include "engine/tools/tool_brush_base.h"

namespace {
// The longest an idle turn paints before the view may show it and input is read.
constexpr std::chrono::milliseconds kIdleTurn(4);
}  // namespace

CTool_BrushBase::CTool_BrushBase(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton, uint32_t cursor,
                                 uint32_t brushIndex, uint8_t pressureFlags)
    : CToolBase(id, optionsTemplate, paletteButton),
      m_cursor(cursor),
      m_brushIndex(brushIndex),
      m_pressureFlags(pressureFlags)
{
}

CTool_BrushBase::~CTool_BrushBase() = default;

int CTool_BrushBase::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    // A press the view cannot place starts no stroke.
    if (!view || !point || m_busy || !ToPictureSubpixel(view, point))
        return 0;
    m_lastSample = *point;
    m_engine.reset();
    m_engine = CreateEngineTool();
    if (!m_engine)
        return 0;
    _tagITzZOOMLEVEL zoom = {1, 1};
    view->GetZoomLevel(&zoom);
    m_engine->SetDisplayZoomlevel(&zoom);
    ApplySettings();
    if (CBrushManager* brushes = CBrushManager::GetBrushManager(); brushes && brushes->GetBrushCount() > 0) {
        brushes->SelectCurrentBrush(m_brushIndex);
        CBrushDataBase* brush = brushes->GetCurrentBrush();
        if (ITzBrushBase* tip = brush ? brush->GetEngineBrush() : nullptr)
            m_engine->SetBrush(tip);
    }
    m_busy = 1;
    if (m_engine->OnMouseDown(point, view->GetPicture())) {
        m_idleDone = 0;
        return 1;
    }
    m_engine.reset();
    m_busy = 0;
    return 0;
}

int CTool_BrushBase::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    // A sample the view cannot place is left out of the stroke.
    if (!m_busy || !view || !point || !m_engine || !ToPictureSubpixel(view, point))
        return 0;
    m_lastSample = *point;
    return m_engine->OnMouseMove(point, view->GetPicture()) ? 1 : 0;
}

int CTool_BrushBase::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    int result = 0;
    if (m_busy && view && point) {
        m_busy = 0;
        if (m_engine) {
            // A release the view cannot place ends the stroke at its last sample.
            _tagPTzMOUSEPOINT last = *point;
            if (!ToPictureSubpixel(view, &last))
                last = m_lastSample;
            result = m_engine->OnMouseUp(&last, view->GetPicture()) ? 1 : 0;
        }
    }
    CToolBase::OnLButtonUp(flags, point, view);
    return result;
}

int CTool_BrushBase::OnIdle(CTamsleyView* view)
{
    if (m_idleDone || !view)
        return 0;
    // All the work the samples so far give, in one turn (a turn of bounded length), so
    // that one paint shows a move's dabs instead of a paint after each step of them.
    const auto start = std::chrono::steady_clock::now();
    ITzPicture* picture = view->GetPicture();
    do {
        if (!m_engine || !m_engine->OnIdle(picture)) {
            m_idleDone = 1;
            return 0;
        }
    } while (m_engine->HasIdleWork() && std::chrono::steady_clock::now() - start < kIdleTurn);
    return 1;
}

int CTool_BrushBase::Activate(bool activate)
{
    const int result = CToolBase::Activate(activate);
    if (activate)
        SyncBrush();
    return result;
}

int CTool_BrushBase::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowPaintingCursor(view, CursorId());
}

void CTool_BrushBase::ApplyColors()
{
    CImageDataManager* colours = CImageDataManager::GetImageDataManager();
    if (!m_engine || !colours)
        return;
    _tagPTzCOLOR front = {};
    _tagPTzCOLOR back = {};
    colours->GetFrontColor(&front);
    colours->GetBackColor(&back);
    m_engine->SetColor(&front, &back);
}

void CTool_BrushBase::ApplySettings()
{
    if (!m_engine)
        return;
    ApplyColors();
    m_engine->SetMode(ITzMERGETYPE(m_paintMode));
    m_engine->SetOpacity(m_opacity);
    m_engine->SetHoldingSupport(int(m_holdingSupport != 0));
    CBrushManager* brushes = CBrushManager::GetBrushManager();
    if (const CBrushDataBase* brush = brushes ? brushes->GetBrush(m_brushIndex) : nullptr) {
        SetPressureSize(brush->GetPressureSize());
        SetPressureOpacity(brush->GetPressureOpacity());
    }
    m_engine->SetPressFlag(m_pressureFlags);
    m_engine->SetPress(m_press);
}

void CTool_BrushBase::SyncBrush()
{
    CBrushManager* brushes = CBrushManager::GetBrushManager();
    if (!brushes)
        return;
    uint32_t index = m_brushIndex;
    brushes->ClampBrushIndex(&index);
    SetBrushIndex(index);
    if (brushes->GetBrushCount() > 0)
        brushes->SelectCurrentBrush(index);
}

void CTool_BrushBase::SetBrushIndex(uint32_t index)
{
    if (index == m_brushIndex)
        return;
    m_brushIndex = index;
    OnBrushChanged();
}

void CTool_BrushBase::OnBrushChanged()
{
    SyncBrush();
    Broadcast(QVMSG_TOOL_BRUSH_CHANGED, &m_brushIndex, this);
}

void CTool_BrushBase::SetPaintMode(uint32_t mode)
{
    if (mode >= uint32_t(ITzMERGE_COLOR_COPY) && mode <= uint32_t(ITzMERGE_SMUDGE))
        m_paintMode = mode;
}

void CTool_BrushBase::SetPressureSize(bool on)
{
    m_pressureFlags = uint8_t(on ? m_pressureFlags | ITzBRUSH_PRESS_SIZE : m_pressureFlags & ~ITzBRUSH_PRESS_SIZE);
}

void CTool_BrushBase::SetPressureOpacity(bool on)
{
    m_pressureFlags =
        uint8_t(on ? m_pressureFlags | ITzBRUSH_PRESS_OPACITY : m_pressureFlags & ~ITzBRUSH_PRESS_OPACITY);
}

void CTool_BrushBase::SetStrength(uint32_t percent)
{
    m_strengthPercent = uint8_t(percent > 100 ? 100 : percent);
}

uint8_t CTool_BrushBase::GetEngineStrength() const
{
    return uint8_t((uint32_t(m_strengthPercent) * 255 + 50) / 100);
}

void CTool_BrushBase::LoadBrushOptions()
{
    uint8_t bytes[brush_record::kSize + brush_record::kTailRoom] = {};
    uint32_t type = quorvel::REG_BINARY;
    uint32_t size = sizeof(bytes);
    const std::u16string name = OptionValueName(GetToolID());
    BrushOptionRecord record;
    if (!ReadAppSetting(name.c_str(), &type, bytes, &size) || type != quorvel::REG_BINARY ||
        !DecodeBrushRecord(bytes, size, &record))
        return;
    // The index is settled against the library at activation.
    m_brushIndex = record.brushIndex;
    SetPaintMode(record.paintMode);
    SetOpacity(record.opacity);
    SetPress(record.press);
    SetHoldingSupport(record.holdingSupport);
    SetStrength(record.strengthPercent);
    SetExtraOptions(bytes + brush_record::kSize, size - brush_record::kSize);
}

void CTool_BrushBase::SaveBrushOptions()
{
    uint8_t bytes[brush_record::kSize + brush_record::kTailRoom] = {};
    BrushOptionRecord record;
    record.brushIndex = m_brushIndex;
    record.paintMode = m_paintMode;
    record.opacity = m_opacity;
    record.press = m_press;
    record.holdingSupport = m_holdingSupport;
    record.strengthPercent = m_strengthPercent;
    EncodeBrushRecord(record, bytes);
    uint32_t tail = brush_record::kTailRoom;
    GetExtraOptions(bytes + brush_record::kSize, &tail);
    const std::u16string name = OptionValueName(GetToolID());
    WriteAppSetting(name.c_str(), quorvel::REG_BINARY, bytes, brush_record::kSize + tail);
}

void CTool_BrushBase::SetExtraOptions(const uint8_t*, uint32_t) {}

void CTool_BrushBase::GetExtraOptions(uint8_t*, uint32_t* size)
{
    if (size)
        *size = 0;
}

QWidget* CTool_BrushBase::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsBrushBase(this, parent);
}
