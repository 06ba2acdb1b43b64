// Buttons that know whether the pointer is over them or pressing them: RStatusButton
// keeps that state (normal, hover, pressed) and redraws on each change; RCIconButton
// shows one of its resource icons for the state and carries a tooltip.
#pragma once

#include <QAbstractButton>
#include <QString>

class RStatusButton : public QAbstractButton {
public:
    enum State { kNormal = 0, kHover = 1, kPressed = 2 };

    explicit RStatusButton(QWidget* parent = nullptr) : QAbstractButton(parent) {}

    int GetState() const { return m_state; }
    bool IsHovering() const { return m_hover; }

protected:
    // Paints the button for its state; the base draws nothing.
    virtual void DrawItem(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int m_state = kNormal;
    bool m_hover = false;
};

class RCIconButton : public RStatusButton {
public:
    explicit RCIconButton(QWidget* parent = nullptr) : RStatusButton(parent) {}

    // Resource icon ids; an id of 0 takes the normal icon.
    void SetIcons(int normal, int hover, int pressed, int disabled);
    // Shown when the pointer rests on the button.
    void SetTooltip(const QString& text);

    QSize sizeHint() const override;

protected:
    // The disabled icon while disabled, else the icon of the state, at the top-left corner.
    void DrawItem(QPainter& painter) override;
    void DrawIconOf(QPainter& painter, int id);
    int PressedIcon() const { return m_pressed; }

private:
    int m_normal = 0;
    int m_hoverIcon = 0;
    int m_pressed = 0;
    int m_disabled = 0;
};
