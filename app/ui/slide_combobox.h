// CSlideCombobox: a number box with a drop-down slider, used for opacities. The user
// types a value (committed when the box loses the focus) or drags the popup slider's
// thumb (each new position is reported while dragging, and closing the popup commits).
// Listeners hear 5101 for each commit and 5102 for each position of a drag, with the
// value and the one committed before.
#pragma once

#include <QLineEdit>
#include <cstdint>

#include "base/broadcaster.h"

class CComboSlider;
class QToolButton;

class CSlideCombobox : public QLineEdit, public PTzBroadcaster {
    Q_OBJECT

public:
    // The broadcasts' codes and their parameter.
    static constexpr uint32_t kValueCommitted = 5101;
    static constexpr uint32_t kValueChanging = 5102;
    struct ValueChange {
        int32_t value;
        int32_t before;  // the value committed before (before the drag, for 5102)
    };

    explicit CSlideCombobox(QWidget* parent = nullptr);
    ~CSlideCombobox() override;

    // Clamps the value to the range. A commit (not tracking) stores it and broadcasts
    // 5101, even when unchanged; while tracking, only a changed value is stored and
    // broadcast as 5102. The text follows each broadcast. Returns the value.
    int SetValue(int value, bool tracking);
    // Clamps and shows the value as committed, in place of any text typed and not yet
    // committed, without a broadcast. Returns the value.
    int SetValueQuiet(int value);
    void SetRangePercent();
    int GetValue() const { return m_value; }
    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    CComboSlider* GetPopup() const { return m_popup; }

    // Shows the value as FormatValue gives it.
    virtual void UpdateText();
    // The value's text; the base gives it in decimal.
    virtual QString FormatValue() const;

signals:
    // Asks for the popup slider (the arrow, F4 or Alt+Down); the combo opens it once the
    // events already waiting have run.
    void slideComboDrop();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OpenPopup();
    // Commits the typed value: nothing for text without a leading number.
    void CommitText();
    void PlaceArrow();

    int m_value = 0;
    int m_committed = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    QToolButton* m_arrow;
    CComboSlider* m_popup;
};
