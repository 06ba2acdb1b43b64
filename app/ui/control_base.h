// RControlBase: the root of the program's owner-drawn control kit. Panels and dialogs are
// built with placeholder children named by control id; attaching a kit control to an id
// puts the control in the placeholder's place (geometry, layout slot, name and state)
// until it is detached, and gives it the kit's painting, key and double-click handling.
// RControl<QtWidget> joins the kit to a Qt widget class: each kit control is one of them.
#pragma once

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <type_traits>

class RControlBase {
public:
    virtual ~RControlBase();
    RControlBase(const RControlBase&) = delete;
    RControlBase& operator=(const RControlBase&) = delete;

    // Takes the place of the parent's child whose objectName is the id, after leaving any
    // place it held. False, and nothing changes, for a null parent, the parent it is
    // already attached to, or an id the parent does not have.
    bool Attach(QWidget* parent, int id);
    // Gives the placeholder its place back; the control leaves the panel, hidden and
    // without a parent, for its owner to keep or delete.
    void Detach();
    bool IsAttached() const { return m_placeholder != nullptr; }
    // The panel attached to, or null.
    QWidget* GetParent() const { return m_parent; }
    // Repaints the whole control (Qt erases before every paint, see OnEraseBackground).
    void Invalidate();
    QRect GetClientRect() const;

protected:
    // control: the widget of this kit object (the object itself, seen as a QWidget).
    explicit RControlBase(QWidget* control);

    virtual void OnAttach() {}
    // A key went down on the control: true when it was the control's; any other key
    // reaches the parent as well.
    virtual bool OnKeyDown(QKeyEvent&) { return false; }
    // Draws the exposed part of the control.
    virtual void Paint(QPainter&, const QRect&) {}
    // Clears the exposed part before Paint: true when it did, else the background colour
    // fills it.
    virtual bool OnEraseBackground(QPainter&, const QRect&) { return false; }
    virtual void OnDoubleClick(QMouseEvent&) {}

    // The paint, key and double-click steps that RControl runs for its widget.
    void PaintControl(QWidget* surface, const QRect& exposed);

private:
    QWidget* m_control;
    QPointer<QWidget> m_parent;
    // Where the control stands while attached: the placeholder's own parent and, when the
    // placeholder stood in a layout, that parent's layout. The placeholder waits, hidden
    // and owned here, to be put back.
    QPointer<QWidget> m_slotParent;
    QPointer<QLayout> m_slotLayout;
    std::unique_ptr<QWidget> m_placeholder;
    bool m_placeholderShown = false;
};

template <class QtWidget>
class RControl : public QtWidget, public RControlBase {
public:
    explicit RControl(QWidget* parent = nullptr) : QtWidget(parent), RControlBase(this) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if constexpr (std::is_base_of_v<QAbstractScrollArea, QtWidget>)
            PaintControl(this->viewport(), event->rect());
        else
            PaintControl(this, event->rect());
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (OnKeyDown(*event)) {
            event->accept();
            return;
        }
        // The widget's own handling, and then the parent's, as for any key of a control.
        QtWidget::keyPressEvent(event);
        event->ignore();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        OnDoubleClick(*event);
        QtWidget::mouseDoubleClickEvent(event);
    }
};
