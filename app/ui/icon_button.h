// The kit's buttons, attached in the place of a panel's placeholder button: RButton,
// ROwnerDrawButton (painted by the kit) and RIconButton, which shows one of four icons
// by its state (pressed, under the pointer, disabled, normal), and RCheckButtonIcon, an
// icon button that shows its pressed icon while checked. Clicks are QAbstractButton's.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <cstdint>

#include "app/ui/control_base.h"

class RButton : public RControl<QAbstractButton> {
public:
    explicit RButton(QWidget* parent = nullptr) : RControl(parent) {}
};

class ROwnerDrawButton : public RButton {
public:
    explicit ROwnerDrawButton(QWidget* parent = nullptr) : RButton(parent) {}
};

class RIconButton : public ROwnerDrawButton {
public:
    // Starts with the default icons.
    explicit RIconButton(QWidget* parent = nullptr);

    // Normal 355, pressed 356, hover 352, disabled 354.
    void SetDefaultIcons();
    void SetIcons(int normal, int pressed, int hover, int disabled);
    bool IsPressed() const { return m_pressed != 0; }
    bool IsHovering() const { return m_hover != 0; }

    QSize sizeHint() const override;

protected:
    // The pressed icon while pressed, else the hover icon under the pointer, else the
    // normal one; the disabled icon while disabled.
    void Paint(QPainter& painter, const QRect& exposed) override;
    // Draws the icon of that id at the top-left corner in its own size.
    virtual void DrawIcon(QPainter& painter, int id);
    // The icon of that id; the base has none.
    virtual QPixmap LoadIcon(int id) const;

    int PressedIcon() const { return m_pressedIcon; }

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetHover(bool hover);

    uint8_t m_pressed = 0;
    uint8_t m_hover = 0;
    int m_normalIcon = 0;
    int m_pressedIcon = 0;
    int m_hoverIcon = 0;
    int m_disabledIcon = 0;
};

class RCheckButtonIcon : public RIconButton {
public:
    explicit RCheckButtonIcon(QWidget* parent = nullptr) : RIconButton(parent) {}

    // Redraws when the flag changes. The button does not check itself: its panel does.
    void SetCheck(bool checked);
    bool GetCheck() const { return m_checked != 0; }

protected:
    void Paint(QPainter& painter, const QRect& exposed) override;

private:
    uint8_t m_checked = 0;
};
