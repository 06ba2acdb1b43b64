// CToolOptionsText: the text tool's options panel. Its hidden key sink takes the typing
// for the tool; the face, style and size lists, the colour swatch and the underline
// button show the font of the text at the caret (or of new text) and set it.
#pragma once

#include <QPointer>

#include "app/ui/colour_buttons.h"
#include "app/ui/text_tool_edit.h"
#include "app/ui/text_underline_button.h"
#include "app/ui/tool_options.h"
#include "app/ui/tool_text.h"

class QComboBox;

class CToolOptionsText : public CToolOptionsDlg, public ITextToolPanel, public IFocusTakenListener {
public:
    // The largest size the size box takes.
    static constexpr int kMaxSize = 999;

    CToolOptionsText(CTool_Text* tool, QWidget* parent = nullptr);
    // Gives the tool's key sink back.
    ~CToolOptionsText() override;

    // Attaches the key sink, the swatch and the underline button and gives the sink to
    // the tool; shows the tool's font and colour; the active view then has the focus.
    void UpdateControls() override;

    RTextToolEdit* GetKeySink() override;
    void ShowTextSettings(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t valid) override;
    void FocusTakenFrom(QWidget* previous) override;

    // The size the size box last took; 0 while it shows no size.
    int GetSize() const { return m_size; }

private:
    CTool_Text* TextTool() const { return static_cast<CTool_Text*>(GetTool()); }
    void FillFontList();
    // The size box's text for the size last taken: empty for none.
    QString SizeText() const;
    void FaceChosen(int index);
    void StyleChosen(int index);
    void SizeChosen(int index);
    void SizeTyped(const QString& text);
    void ColourClicked();
    void UnderlineClicked();

    RTextToolEdit m_sink;
    RTextColor m_colour;
    RTextUnderLineButton m_underline;
    QComboBox* m_faces;
    QComboBox* m_styles;
    QComboBox* m_sizes;
    int m_size = 0;
    QPointer<QWidget> m_focusBefore;
};
