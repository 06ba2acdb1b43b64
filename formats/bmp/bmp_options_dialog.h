// The "BMP Options" dialog that edits a copy of the format setting, and the prompt
// through which the plug-in asks for it, which tests replace to answer without a window.
#pragma once

#include <QDialog>
#include <cstdint>

#include "formats/bmp/bmp_setting.h"

class QCheckBox;
class QRadioButton;

namespace bitmora {

// Control ids of the dialog, each control's object name being its id as text.
enum BmpOptionsControl : int {
    BmpControlWindows = 1000,
    BmpControlOs2 = 1001,
    BmpControlFirstDepth = 1002,  // 1002-1007: "1 bit" to "32 bit"
    BmpControlCompress = 1008,
    BmpControlFlip = 1009,
};

class BmpOptionsDialog : public QDialog {
public:
    // Shows setting normalised for an image of imageBits.
    BmpOptionsDialog(const _tagFTzBMPSETTING& setting, uint16_t imageBits, QWidget* parent = nullptr);

    const _tagFTzBMPSETTING& setting() const { return m_setting; }

private:
    // Normalises the copy after a change and shows the result.
    void settle();
    void refresh();

    _tagFTzBMPSETTING m_setting;
    uint16_t m_imageBits;
    QRadioButton* m_windows;
    QRadioButton* m_os2;
    QRadioButton* m_depths[BmpDialogDepthCount];
    QCheckBox* m_compress;
    QCheckBox* m_flip;
};

// Asks the user to edit setting for an image of imageBits over the owner widget (a
// QWidget* or null): true when confirmed, setting then holding the choice.
using BmpOptionsPrompt = bool (*)(_tagFTzBMPSETTING* setting, uint16_t imageBits, void* owner);

// The modal dialog; false without a running QApplication, as if cancelled.
bool ShowBmpOptionsDialog(_tagFTzBMPSETTING* setting, uint16_t imageBits, void* owner);

// The prompt the plug-in uses (the modal dialog unless replaced); a null prompt
// restores the dialog. Gives the prompt replaced.
BmpOptionsPrompt SetBmpOptionsPrompt(BmpOptionsPrompt prompt);
bool AskBmpOptions(_tagFTzBMPSETTING* setting, uint16_t imageBits, void* owner);

}  // namespace bitmora
