// CTool_Text: the text tool's front-end. A click places the caret in a text layer or
// starts a new one, a drag selects; the keys come from the key sink on the tool's options
// panel (never from the view, whose Delete and Backspace edit pixels), and every 20 ms
// tick flashes the caret in the view. The tool keeps the font and colour of new text,
// applies the panel's choices to the text at the caret, and shows the panel the text's
// font and colour after every edit that moves the caret.
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/text_tool_edit.h"
#include "app/ui/tool_base.h"
#include "base/color.h"
#include "base/font.h"
#include "engine/picture/layer_text.h"

class ITzToolText;

// What the text tool needs of its options panel. The panel gives itself to the tool when
// it is made (CTool_Text::SetPanel) and takes itself back before it goes.
class ITextToolPanel {
public:
    virtual ~ITextToolPanel() = default;
    // The panel's key sink (control 1137), or null.
    virtual RTextToolEdit* GetKeySink() = 0;
    // Shows the font and colour the tool now holds; a part whose ITzTEXTVALID_ bit is clear
    // differs across the selected text and shows empty.
    virtual void ShowTextSettings(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t valid) = 0;
};

class CTool_Text : public CToolBase, public ITextKeyReceiver {
public:
    CTool_Text();
    ~CTool_Text() override;

    // Becoming current makes the engine tool and gives the active view the focus;
    // ceasing to be current deletes the engine tool, lets go of the panel and ends every
    // text selection (carets stay), so that no highlight stays behind.
    int Activate(bool activate) override;
    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // Flashes the caret: shown only while the key sink has the focus. 1.
    int OnTimer(CTamsleyView* view) override;
    // While the view has the focus the key sink takes it. 0.
    int OnIdle(CTamsleyView* view) override;
    // The view's Undo and Redo moved the caret: the panel follows.
    void OnUndo(CTamsleyView* view) override;
    void OnRedo(CTamsleyView* view) override;
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    void SetOptions(const uint8_t* bytes, uint32_t size) override;
    void GetOptions(uint8_t* buffer, uint32_t* size) override;

    // The panel, or null; the tool becomes its key sink's receiver.
    void SetPanel(ITextToolPanel* panel);
    ITextToolPanel* GetPanel() const { return m_panel; }

    // The key sink's keys (Qt key codes) and characters.
    void OnTextKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    void OnTextChar(char16_t unit) override;

    // The panel's choices: each one that changes the tool's font or colour, or sets a part
    // that differs across the selected text, is applied to the text at the caret in the
    // active view's picture. A face name keeps at most 31 units and its terminator.
    void SetFaceName(const PTzChar* name);
    void SetStyle(bool italic, uint16_t weight);
    void SetUnderline(bool underline);
    void SetHeight(int16_t height);
    void SetColor(const _tagPTzCOLOR& colour);

    const _tagPTzFONTDATAINFO& GetFont() const { return m_font; }
    const _tagPTzCOLOR& GetColor() const { return m_colour; }
    // The ITzTEXTVALID_ bits of the parts that are the same across the selected text.
    uint8_t GetValidParts() const { return m_valid; }
    ITzToolText* GetEngineTool() const { return m_engine.get(); }

    // The caret line in picture coordinates from the engine's (x, y, height): top = y,
    // bottom = y + height, and for a height of 0 the font's ascent and descent.
    static void CaretLine(const _tagPTzFONTDATAINFO& font, int32_t y, int32_t height, int32_t* top, int32_t* bottom);

private:
    // Copies the engine's font and colour at the caret into the tool and shows them; with
    // no text at the caret the panel shows the tool's own.
    void RefreshPanel(ITzPicture* picture);
    // The active view's picture, where typed keys go; null without one.
    static ITzPicture* ActivePicture();
    bool KeySinkHasFocus() const;

    std::unique_ptr<ITzToolText> m_engine;
    ITextToolPanel* m_panel = nullptr;
    _tagPTzFONTDATAINFO m_font = {};
    _tagPTzCOLOR m_colour = {};
    uint8_t m_valid = ITzTEXTVALID_ALL;
};
