// COPProgressDlg: the modal dialog that runs the rest of a slow operation, one step per
// turn of its event loop from a zero-interval timer, so that the windows repaint and
// Cancel answers between steps. Cancel, Esc and closing the dialog cancel the
// operation, once.
#pragma once

#include <QDialog>
#include <QTimer>

class COperationBase;
class QProgressBar;

class COPProgressDlg : public QDialog {
public:
    COPProgressDlg(COperationBase* operation, QWidget* parent = nullptr);

    // Runs the dialog until the operation has finished or was cancelled.
    int DoModal();
    // Whether the operation ran to its end inside the dialog.
    bool Completed() const { return m_completed; }

    // Cancel, Esc and the window's close button all end here.
    void reject() override;

private:
    void StepOperation();

    COperationBase* m_operation;  // null once finished or cancelled
    bool m_completed = false;
    uint32_t m_percent = 0;
    QProgressBar* m_bar;
    QTimer m_stepper;
};
