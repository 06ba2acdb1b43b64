// CDialogSelectBrush: the modal "Select Brush" dialog, the brush library's grid with OK,
// Cancel and "Edit". OK gives the chosen brush to the current brush tool; "Edit" (or a
// double click on a cell) opens a round brush in CRoundBrushDlg, whose changes stay
// whatever the picker ends with. CBrushPicker runs it for the application's brush command.
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/shell/shell_links.h"
#include "app/ui/brush_select_view.h"

class CDialogSelectBrush : public QDialog {
public:
    static constexpr int kEditButton = 1066;
    static constexpr int kGrid = 1120;

    explicit CDialogSelectBrush(QWidget* parent = nullptr);

    // The index the dialog starts on, and the one it reports (the grid sets it on every
    // change).
    void SetSelectedIndex(uint32_t index) { m_selected = index; }
    uint32_t GetSelectedIndex() const { return m_selected; }
    // Puts the grid in its place over the library, then runs the dialog through the
    // dialog interface: QDialog::Accepted or Rejected.
    int DoModal();
    // Opens the selected brush, when it is a round one, in the round-brush dialog; its
    // cell is repainted afterwards. Nothing while no cell is selected.
    void OnEdit();

    RBrushSelectView& GetGrid() { return m_grid; }

    // OK: the current tool, when it paints with a brush, takes the selected one.
    void accept() override;

private:
    void InitDialog();

    uint32_t m_selected = 0;
    RBrushSelectView m_grid;
};

// The application's brush picker: the dialog over the library.
class CBrushPicker : public quorvel::IBrushPicker {
public:
    // The library's own count decides the cells; `count` is the same number the caller read.
    bool Pick(QWidget* parent, uint32_t count, uint32_t start, uint32_t* chosen) override;
};
