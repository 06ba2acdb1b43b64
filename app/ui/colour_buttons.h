// The colour swatches: RTzFrontColorButton and RTzBackgroundColorButton on the tool
// palette show the current front and back colours and change them through the colour
// dialog; RTextColor is the text panel's swatch. None of them keeps the keyboard focus.
// PickColorRecord runs the colour dialog for a colour record.
#pragma once

#include <QAbstractButton>
#include <cstdint>

#include "app/ui/icon_button.h"
#include "base/broadcaster.h"
#include "base/color.h"

// A button that fills itself with its colour record's red, green and blue.
class RColorButton : public QAbstractButton {
public:
    explicit RColorButton(QWidget* parent = nullptr);

    const _tagPTzCOLOR& GetRecord() const { return m_colour; }
    // Paints since the button was made, for the tests.
    uint64_t GetDrawCount() const { return m_draws; }
    QSize sizeHint() const override { return {24, 24}; }

protected:
    virtual void DrawItem(QPainter& painter);
    // A click on the button.
    virtual void OnClicked() {}
    void paintEvent(QPaintEvent* event) override;

    _tagPTzCOLOR m_colour{};

private:
    uint64_t m_draws = 0;
};

// The swatch of one of the current colours. It hears the current colours and redraws at
// once when either of them changes; a click lets the user choose that colour.
class RTzCurrentColorButton : public RColorButton, public PTzListener {
protected:
    RTzCurrentColorButton(bool front, QWidget* parent);

    void DrawItem(QPainter& painter) override;
    // On 5151 and 5152 alike: repaints now.
    int Listen(uint32_t message, void* param, PTzBroadcaster* sender) override;
    // The colour dialog on black; the main window has the focus back afterwards.
    void OnClicked() override;

private:
    bool m_front;
};

class RTzFrontColorButton : public RTzCurrentColorButton {
public:
    explicit RTzFrontColorButton(QWidget* parent = nullptr) : RTzCurrentColorButton(true, parent) {}
};

class RTzBackgroundColorButton : public RTzCurrentColorButton {
public:
    explicit RTzBackgroundColorButton(QWidget* parent = nullptr) : RTzCurrentColorButton(false, parent) {}
};

// The text panel's swatch: a colour record (mode 1 at first) and whether it is valid.
// An invalid swatch (text of several colours) shows empty.
class RTextColor : public RButton {
public:
    explicit RTextColor(QWidget* parent = nullptr);

    // Copies the record (null changes nothing) and repaints.
    void SetColor(const _tagPTzCOLOR* colour);
    void SetValid(bool valid);
    // The record: 1 when it is valid, else 0.
    int GetColor(_tagPTzCOLOR& colour) const;
    QSize sizeHint() const override { return {22, 22}; }

protected:
    void Paint(QPainter& painter, const QRect& exposed) override;

private:
    _tagPTzCOLOR m_colour{};
    int m_valid = 1;
};

// The colour dialog on black: on OK the record becomes mode 1 with the chosen red, green
// and blue, and 1 is returned; otherwise 0 and the record unchanged.
int PickColorRecord(_tagPTzCOLOR& colour);
