// The clone stamp's source, destination and message.
#include "app/ui/tool_clone.h"

#include <new>

#include "app/shell/picture_view.h"
#include "app/shell/shell_dialogs.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_key_state.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_brush.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/tool_clone.h"

namespace {

constexpr uint32_t kCloneTemplate = 174;

// The string table's 132.
QString CloneNeedsSourceText()
{
    return QStringLiteral("Please use (Alt+mouse click) to define a source point first.");
}

ITzLayerBase* ActiveLayer(ITzPicture* picture)
{
    return picture ? picture->GetLayerbyIndex(picture->GetActiveLayerID()) : nullptr;
}

}  // namespace

CTool_Clone::CTool_Clone() : CTool_BrushBase(tool_id::CLON, kCloneTemplate, 1080, IDC_TOOL_CLONE, 5, 0) {}

CTool_Clone::~CTool_Clone() = default;

int CTool_Clone::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    ITzLayerBase* active = ActiveLayer(ViewPicture(view));
    if (AltIn(flags)) {
        PTzPOINT pressed;
        if (active && ToPicturePixel(view, point, &pressed))
            SetSource(active->GetPreviewLayer(), pressed);
        return 1;
    }
    if (!active || !active->IsImageLayer())
        return 0;
    PTzPOINT pressed;
    if (!ToPicturePixel(view, point, &pressed))
        return 0;
    if (active != m_destination || !m_aligned) {
        SetDestination(active);
        m_destinationStart = pressed;
    }
    const int started = CTool_BrushBase::OnLButtonDown(flags, point, view);
    if (!started)
        quorvel::ShellDialogs().ShowMessage(view, CloneNeedsSourceText(), quorvel::MessageButtons::OkError);
    return started;
}

std::unique_ptr<ITzToolBrushBase> CTool_Clone::CreateEngineTool()
{
    return std::unique_ptr<ITzToolBrushBase>(new (std::nothrow) ITzToolClone());
}

void CTool_Clone::ApplySettings()
{
    CTool_BrushBase::ApplySettings();
    if (auto* clone = static_cast<ITzToolClone*>(m_engine.get())) {
        clone->SetSourceLayer(m_source, &m_sourcePoint);
        clone->SetDesStartPoint(&m_destinationStart);
    }
}

void CTool_Clone::SetExtraOptions(const uint8_t* bytes, uint32_t size)
{
    DecodeTailValue(bytes, size, &m_aligned);
}

void CTool_Clone::GetExtraOptions(uint8_t* buffer, uint32_t* size)
{
    if (size)
        *size = EncodeTailValue(m_aligned, buffer, *size);
}

uint32_t CTool_Clone::CursorId() const
{
    const CToolKeyState* keys = Keys();
    return keys && keys->IsAltDown() ? IDC_TOOL_CLONE_SOURCE : IDC_TOOL_CLONE;
}

void CTool_Clone::SetSource(ITzLayerImage* layer, PTzPOINT point)
{
    if (m_source)
        RemoveFromBroadcaster(m_source);
    SetDestination(nullptr);
    m_source = layer;
    m_sourcePoint = {0, 0};
    if (!m_source)
        return;
    AddToBroadcaster(m_source);
    m_source->PPointtoLPoint(&point, &m_sourcePoint);
}

void CTool_Clone::SetDestination(ITzLayerBase* layer)
{
    if (m_destination && m_destination != m_source)
        RemoveFromBroadcaster(m_destination);
    m_destination = layer;
    if (m_destination && m_destination != m_source)
        AddToBroadcaster(m_destination);
}

int CTool_Clone::Listen(uint32_t message, void*, PTzBroadcaster* sender)
{
    if (message != ITzLAYERMSG_DESTROY)
        return 1;
    if (sender == m_source) {
        if (m_destination == m_source)
            m_destination = nullptr;
        RemoveFromBroadcaster(m_source);
        m_source = nullptr;
        m_sourcePoint = {0, 0};
    } else if (sender == m_destination) {
        RemoveFromBroadcaster(m_destination);
        m_destination = nullptr;
    }
    return 1;
}

QWidget* CTool_Clone::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsClone(this, parent);
}
