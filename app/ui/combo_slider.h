// The drop-down of a slide combo: CComboSlider, a popup frame holding one CPopupSlider.
// Dragging its thumb reports each new position to the owner combo as a value that is
// changing; the popup closes when it loses the focus, a click lands outside it, or Escape
// or Enter is pressed, and closing commits the slider's position to the owner.
#pragma once

#include <QFrame>

#include "app/ui/page_slider_bar.h"

class CSlideCombobox;

class CPopupSlider : public CNPageSliderBar {
public:
    explicit CPopupSlider(QWidget* parent = nullptr) : CNPageSliderBar(Qt::Horizontal, parent) {}

protected:
    // Losing the focus closes the popup around it, which commits.
    void focusOutEvent(QFocusEvent* event) override;
};

class CComboSlider : public QFrame {
public:
    explicit CComboSlider(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetPos(int position);
    // The combo told of the slider's moves and committed to on closing; null for none.
    void SetOwner(CSlideCombobox* owner) { m_owner = owner; }
    CPopupSlider* GetSlider() const { return m_slider; }

protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CPopupSlider* m_slider;
    CSlideCombobox* m_owner = nullptr;
};
