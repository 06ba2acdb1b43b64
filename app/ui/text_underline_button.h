// RTextUnderLineButton: the underline toggle of the text options panel, an icon check
// button with the resource icons. Taking the focus, it tells its listener (the panel)
// which widget had it, so the panel can hand the focus back to the text tool's key sink
// once the click is done.
#pragma once

#include "app/ui/icon_button.h"

class IFocusTakenListener {
public:
    virtual ~IFocusTakenListener() = default;
    // The button took the focus from that widget (null when no widget of the program had it).
    virtual void FocusTakenFrom(QWidget* previous) = 0;
};

class RTextUnderLineButton : public RCheckButtonIcon {
public:
    explicit RTextUnderLineButton(QWidget* parent = nullptr);

    void SetListener(IFocusTakenListener* listener) { m_listener = listener; }

protected:
    QPixmap LoadIcon(int id) const override;

private:
    IFocusTakenListener* m_listener = nullptr;
};
