// CNewDialog: asks for the name and size of a new picture. It proposes "NoName" and a
// number that grows with every accepted dialog, and accepts only sizes the engine can
// make: whole numbers from 1 to 30000 on each side.
#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

class CNewDialog : public QDialog {
public:
    static constexpr int32_t kMinSide = 1;
    static constexpr int32_t kMaxSide = 30000;

    explicit CNewDialog(QWidget* parent = nullptr);

    // The proposal shown when the dialog opens.
    void SetSize(int32_t width, int32_t height);
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    QString Name() const { return m_name; }

    // Whether a side lies in 1..30000.
    static bool SideFits(int64_t side) { return side >= kMinSide && side <= kMaxSide; }

    // OK: takes the fields when both sides fit; otherwise says so and stays open.
    void accept() override;

private:
    int32_t m_width = 600;
    int32_t m_height = 800;
    QString m_name;
    QLineEdit* m_nameEdit;
    QLineEdit* m_widthEdit;
    QLineEdit* m_heightEdit;
};
