// The text tool's front-end: mouse, keys, caret, font and colour.
#include "app/ui/tool_text.h"

#include <climits>
#include <cstring>
#include <new>

#include "app/shell/application.h"
#include "app/shell/child_frame.h"
#include "app/shell/document.h"
#include "app/shell/layer_naming.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_text.h"
#include "app/ui/virtual_keys.h"
#include "base/font.h"
#include "base/font_text_port.h"
#include "engine/tools/tool_text.h"

namespace {

constexpr uint32_t kTextTemplate = 242;
constexpr uint32_t kTextButton = 1085;
// Face names keep room for their terminator.
constexpr uint32_t kFaceNameUnits = text_record::kFaceNameUnits - 1;

CTamsleyView* ActiveView()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? frame->GetActiveTamsleyView() : nullptr;
}

bool SameFaceName(const PTzChar* a, const PTzChar* b)
{
    for (uint32_t i = 0; i < kFaceNameUnits; ++i) {
        if (a[i] != b[i])
            return false;
        if (a[i] == 0)
            return true;
    }
    return true;
}

// At most the units a name may keep, then zeros to the field's end, so the stored record
// holds nothing of a name before.
void CopyFaceName(PTzChar* field, const PTzChar* name)
{
    uint32_t i = 0;
    for (; i < kFaceNameUnits && name[i] != 0; ++i)
        field[i] = name[i];
    for (; i < text_record::kFaceNameUnits; ++i)
        field[i] = 0;
}

// Characters the engine takes: the printable ones, Backspace and the row break.
bool IsTypedCharacter(char16_t unit)
{
    return unit == VK_BACK || unit == VK_RETURN || (unit >= 0x20 && unit != 0x7F);
}

// Hides the view's caret when it shows: a toggle of any other line takes a shown one away.
void HideCaret(CTamsleyView* view)
{
    if (view)
        view->FlashTextCursor(INT32_MIN, INT32_MIN, false, INT32_MIN);
}

// Editing ends with the tool: no text layer of an open picture keeps a selection, whose
// highlight would stay on the picture under the next tool. Carets stay where they are.
void EndTextSelections()
{
    CTamsleyApp* app = CTamsleyApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (!frame)
        return;
    for (CChildFrame* child : frame->GetChildFrames()) {
        ITzPicture* picture = child->GetDocument() ? child->GetDocument()->GetPicture() : nullptr;
        for (uint16_t index = 0; picture && index < picture->GetLayerCount(); ++index) {
            ITzLayerBase* layer = picture->GetLayerbyIndex(index);
            auto* text = layer && layer->GetType() == ITzLAYERTYPE_TEXT ? dynamic_cast<ITzLayerText*>(layer) : nullptr;
            uint32_t anchor = 0;
            uint32_t caret = 0;
            if (text)
                text->GetSelectRange(&anchor, &caret);
            if (anchor != caret)
                text->SetSelectRange(caret, caret);
        }
    }
}

}  // namespace

CTool_Text::CTool_Text() : CToolBase(tool_id::TEXT, kTextTemplate, kTextButton)
{
    if (_tagPTzTEXTPORT* port = PTzCreateTextPort()) {
        _tagPTzFONTDATAINFO font = {};
        if (PTzGetFontInfo(port, &font))
            m_font = font;
        PTzDestoryTextPort(port);
    }
    // The system's font is sized by its em (a negative height), which the size box would
    // show as a negative number beside a list of cell heights: new text starts at the
    // cell height of the same font instead, which draws it at the same size.
    int32_t ascent = 0;
    int32_t descent = 0;
    if (m_font.height < 0 && PTzFontYInfoByFontInfo(&m_font, &ascent, &descent) && ascent + descent > 0)
        m_font.height = int16_t(ascent + descent);
    m_font.faceName[kFaceNameUnits] = 0;
    m_colour.mode = PTzCOLORMODE_RGB;
}

CTool_Text::~CTool_Text()
{
    SetPanel(nullptr);
}

int CTool_Text::Activate(bool activate)
{
    if (!activate) {
        m_engine.reset();
        m_busy = 0;
        SetPanel(nullptr);
        HideCaret(ActiveView());
        EndTextSelections();
        return 1;
    }
    if (!m_engine)
        m_engine.reset(new (std::nothrow) ITzToolText());
    const int result = CToolBase::Activate(true);
    if (CTamsleyView* view = ActiveView())
        view->setFocus();
    return result;
}

int CTool_Text::OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    CToolBase::OnLButtonDown(flags, point, view);
    ITzPicture* picture = ViewPicture(view);
    PTzPOINT at;
    if (!m_engine || m_busy || !picture || !ToPicturePixel(view, point, &at))
        return 1;
    m_busy = 1;
    const uint16_t layers = picture->GetLayerCount();
    m_engine->OnMouseDown(&at, picture, ShiftIn(flags) ? 1 : 0);
    // The engine's new text layer comes without a name.
    if (picture->GetLayerCount() > layers)
        NameUnnamedLayer(*picture, picture->GetActiveLayerID());
    return 1;
}

int CTool_Text::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    PTzPOINT at;
    if (m_engine && m_busy && picture && ToPicturePixel(view, point, &at))
        m_engine->OnMouseMove(&at, picture);
    return 1;
}

int CTool_Text::OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    PTzPOINT at;
    if (m_engine && m_busy && picture && ToPicturePixel(view, point, &at)) {
        m_engine->OnMouseUp(&at, picture);
        RefreshPanel(picture);
    }
    m_busy = 0;
    CToolBase::OnLButtonUp(flags, point, view);
    return 1;
}

void CTool_Text::CaretLine(const _tagPTzFONTDATAINFO& font, int32_t y, int32_t height, int32_t* top,
                           int32_t* bottom)
{
    *top = y;
    *bottom = y + height;
    int32_t ascent = 0;
    int32_t descent = 0;
    if (height == 0 && PTzFontYInfoByFontInfo(&font, &ascent, &descent))
        *bottom = y + ascent + descent;
}

int CTool_Text::OnTimer(CTamsleyView* view)
{
    ITzPicture* picture = ViewPicture(view);
    if (!picture || !m_engine)
        return 1;
    int32_t x = 0;
    int32_t y = 0;
    int32_t height = 0;
    if (!m_engine->GetFlashCursorPicturePos(picture, &x, &y, &height)) {
        // No text layer is active any more: no caret stays behind.
        HideCaret(view);
        return 1;
    }
    int32_t top = 0;
    int32_t bottom = 0;
    CaretLine(m_font, y, height, &top, &bottom);
    view->FlashTextCursor(x, top, KeySinkHasFocus(), bottom);
    return 1;
}

int CTool_Text::OnIdle(CTamsleyView* view)
{
    RTextToolEdit* sink = m_panel ? m_panel->GetKeySink() : nullptr;
    if (view && sink && view->hasFocus())
        sink->setFocus();
    return 0;
}

void CTool_Text::OnUndo(CTamsleyView* view)
{
    RefreshPanel(ViewPicture(view));
}

void CTool_Text::OnRedo(CTamsleyView* view)
{
    RefreshPanel(ViewPicture(view));
}

QWidget* CTool_Text::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsText(this, parent);
}

void CTool_Text::SetOptions(const uint8_t* bytes, uint32_t size)
{
    DecodeTextRecord(bytes, size, &m_font, &m_colour);
}

void CTool_Text::GetOptions(uint8_t* buffer, uint32_t* size)
{
    if (size)
        *size = EncodeTextRecord(m_font, m_colour, buffer, *size);
}

void CTool_Text::SetPanel(ITextToolPanel* panel)
{
    if (m_panel == panel)
        return;
    if (RTextToolEdit* sink = m_panel ? m_panel->GetKeySink() : nullptr)
        sink->SetReceiver(nullptr);
    m_panel = panel;
    if (RTextToolEdit* sink = m_panel ? m_panel->GetKeySink() : nullptr)
        sink->SetReceiver(this);
}

void CTool_Text::OnTextKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    ITzPicture* picture = ActivePicture();
    if (!m_engine || !picture)
        return;
    const uint32_t virtualKey = VirtualKeyFromQt(key);
    if (virtualKey >= VK_END && virtualKey <= VK_DOWN) {
        m_engine->DoDirectionKey(picture, virtualKey, (modifiers & Qt::ShiftModifier) ? 1 : 0);
        RefreshPanel(picture);
    } else if (virtualKey == VK_DELETE) {
        m_engine->DoDelete(picture, 0);
    }
}

void CTool_Text::OnTextChar(char16_t unit)
{
    ITzPicture* picture = ActivePicture();
    if (m_engine && picture && IsTypedCharacter(unit))
        m_engine->DoChar(picture, &m_font, uint16_t(unit), &m_colour);
}

void CTool_Text::SetFaceName(const PTzChar* name)
{
    if (!name || (SameFaceName(m_font.faceName, name) && (m_valid & ITzTEXTVALID_FACE)))
        return;
    CopyFaceName(m_font.faceName, name);
    m_valid |= ITzTEXTVALID_FACE;
    if (ITzPicture* picture = m_engine ? ActivePicture() : nullptr)
        m_engine->DoSetFontName(picture, &m_font);
}

void CTool_Text::SetStyle(bool italic, uint16_t weight)
{
    constexpr uint8_t kStyle = ITzTEXTVALID_ITALIC | ITzTEXTVALID_WEIGHT;
    if ((m_font.italic != 0) == italic && m_font.weight == weight && (m_valid & kStyle) == kStyle)
        return;
    m_font.italic = italic ? 1 : 0;
    m_font.weight = weight;
    m_valid |= kStyle;
    if (ITzPicture* picture = m_engine ? ActivePicture() : nullptr)
        m_engine->DoSetFontStyle(picture, &m_font);
}

void CTool_Text::SetUnderline(bool underline)
{
    if ((m_font.underline != 0) == underline && (m_valid & ITzTEXTVALID_UNDERLINE))
        return;
    m_font.underline = underline ? 1 : 0;
    m_valid |= ITzTEXTVALID_UNDERLINE;
    if (ITzPicture* picture = m_engine ? ActivePicture() : nullptr)
        m_engine->DoSetFontUnderLine(picture, &m_font);
}

void CTool_Text::SetHeight(int16_t height)
{
    if (m_font.height == height && (m_valid & ITzTEXTVALID_HEIGHT))
        return;
    m_font.height = height;
    m_valid |= ITzTEXTVALID_HEIGHT;
    if (ITzPicture* picture = m_engine ? ActivePicture() : nullptr)
        m_engine->DoSetFontSize(picture, &m_font);
}

void CTool_Text::SetColor(const _tagPTzCOLOR& colour)
{
    // The record has no padding: its bytes are its value.
    if (std::memcmp(&m_colour, &colour, sizeof colour) == 0 && (m_valid & ITzTEXTVALID_COLOR))
        return;
    m_colour = colour;
    m_valid |= ITzTEXTVALID_COLOR;
    if (ITzPicture* picture = m_engine ? ActivePicture() : nullptr)
        m_engine->DoSetFontColor(picture, &m_colour);
}

void CTool_Text::RefreshPanel(ITzPicture* picture)
{
    if (!m_engine || !picture)
        return;
    _tagITzTEXTSETTING setting = {};
    // Nothing at the caret (no text layer, or one without text): typing takes the tool's
    // font and colour, and those are what the panel shows.
    m_valid = m_engine->GetFontSettingInfo(picture, &setting) ? setting.valid : uint8_t(ITzTEXTVALID_ALL);
    if (setting.valid & ITzTEXTVALID_FACE)
        CopyFaceName(m_font.faceName, setting.font.faceName);
    if (setting.valid & ITzTEXTVALID_HEIGHT)
        m_font.height = setting.font.height;
    if (setting.valid & ITzTEXTVALID_ITALIC)
        m_font.italic = setting.font.italic;
    if (setting.valid & ITzTEXTVALID_WEIGHT)
        m_font.weight = setting.font.weight;
    if (setting.valid & ITzTEXTVALID_UNDERLINE)
        m_font.underline = setting.font.underline;
    if (setting.valid & ITzTEXTVALID_COLOR)
        m_colour = setting.colour;
    if (m_panel)
        m_panel->ShowTextSettings(m_font, m_colour, m_valid);
}

ITzPicture* CTool_Text::ActivePicture()
{
    return ViewPicture(ActiveView());
}

bool CTool_Text::KeySinkHasFocus() const
{
    RTextToolEdit* sink = m_panel ? m_panel->GetKeySink() : nullptr;
    return sink && sink->hasFocus();
}
