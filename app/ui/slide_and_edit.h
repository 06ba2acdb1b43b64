// CRSlideAndEditCom: keeps a dialog's slider and number box showing one value. Moving the
// slider rewrites the box, typing in the box moves the slider, and both are held to the
// pair's range (the slider itself runs from 0 to maximum - minimum). A typed number above
// the maximum is rewritten at once; one below the minimum, or text without a number,
// waits until the box is left. Each new value is reported once with slideEditChanged;
// the dialogs read the value when they close.
#pragma once

#include <QObject>
#include <QPointer>

class QAbstractSlider;
class QLineEdit;
class QWidget;

class CRSlideAndEditCom : public QObject {
    Q_OBJECT

public:
    // The slider and the box are the parent's children named by the ids; the pair goes
    // with the parent.
    CRSlideAndEditCom(QWidget* parent, int sliderId, int editId);

    // 1; 0, with nothing changed, without a parent or slider, or for a range whose
    // maximum lies below its minimum or that spans more than the int range.
    int SetRange(int minimum, int maximum);
    void GetRange(int* minimum, int* maximum) const;
    // The slider's value within the range; 0 without a slider.
    int GetValue() const;
    // Clamps the value to the range and shows it in both controls; reports it when it
    // differs from the value last reported. Returns the value.
    int SetValue(int value);

signals:
    void slideEditChanged(int value, CRSlideAndEditCom* pair);

private:
    // The user changed the box: a number in reach of the range is taken at once.
    void OnTextEdited(const QString& text);
    // The user left the box: its number, clamped, or else the value in force is shown.
    void OnEditingFinished();

    QPointer<QWidget> m_parent;
    QPointer<QAbstractSlider> m_slider;
    QPointer<QLineEdit> m_edit;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_lastReported = 0;
};
