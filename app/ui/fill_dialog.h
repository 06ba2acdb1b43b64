// CFILLDLG: the "Fill Color" dialog of the Fill command. It asks for the opacity of the
// fill in percent, in a slider and a number box kept together, and starts on the
// percentage the last fill used ("Tool_Fill_Opacity", capped at 100; 100 without one).
#pragma once

#include <QDialog>
#include <cstdint>

class CRSlideAndEditCom;

class CFILLDLG : public QDialog {
public:
    explicit CFILLDLG(QWidget* parent = nullptr);

    // The percentage chosen.
    uint8_t GetPercent() const { return m_percent; }
    // The percentage as an opacity 0..255.
    uint8_t GetOpacity() const;

    // OK: keeps the percentage, also for the next fill.
    void accept() override;

private:
    CRSlideAndEditCom* m_pair;
    uint8_t m_percent = 100;
};
