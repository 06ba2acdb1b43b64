// CActiveLayerIDDlg: the "Set Active Layer" dialog. It shows the picture's layer count
// and takes the index of the layer to make active, any number: the picture keeps the
// index within its stack.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;

class CActiveLayerIDDlg : public QDialog {
public:
    explicit CActiveLayerIDDlg(QWidget* parent = nullptr);

    // Both before the dialog is shown.
    void SetLayerCount(uint16_t count);
    void SetActiveLayer(uint16_t index);
    // The index typed, kept to 16 bits (so -1 is 65535); 0 for text without a number.
    uint16_t GetActiveLayer() const { return m_activeLayer; }

    void accept() override;

private:
    uint16_t m_layerCount = 0;
    uint16_t m_activeLayer = 0;
    QLabel* m_count;
    QLineEdit* m_index;
};
