// CRoundBrushDlg: the modal "Brush" dialog that edits one round brush of the library:
// size, hardness, roundness, angle and spacing, each a slider with a number box, and
// whether pen pressure drives the size and the opacity. OK writes the values through the
// record's setters, which keep them in range and tell the record's listeners.
#pragma once

#include <QDialog>
#include <array>

class CBrushRound;
class CRSlideAndEditCom;
class QCheckBox;

class CRoundBrushDlg : public QDialog {
public:
    // The values' rows, in the order of the pairs.
    enum Value { kDiameter, kHardness, kRoundness, kAngle, kSpacing, kValues };
    static constexpr int kPressureSize = 1121;
    static constexpr int kPressureOpacity = 1122;

    explicit CRoundBrushDlg(QWidget* parent = nullptr);

    // The record to edit (not owned); null is ignored.
    void SetBrush(CBrushRound* record);
    // Shows the record's values (without one: size 0, hardness and roundness 100, angle
    // and spacing 0, pressure drives the size only), then runs the dialog through the
    // dialog interface: QDialog::Accepted or Rejected.
    int DoModal();

    CRSlideAndEditCom* GetPair(Value value) const { return m_pairs[value]; }

    // OK: the values into the record, when there is one.
    void accept() override;

private:
    void InitDialog();

    CBrushRound* m_record = nullptr;
    std::array<CRSlideAndEditCom*, kValues> m_pairs = {};
    QCheckBox* m_pressureSize;
    QCheckBox* m_pressureOpacity;
};
