// The dialog's steps come from a zero-interval timer, not from re-entering the event loop
// (as QProgressDialog::setValue would), so one step never runs inside another.
#include "app/shell/progress_dialog.h"

#include <QDialogButtonBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/operation.h"
#include "app/shell/shell_strings.h"

COPProgressDlg::COPProgressDlg(COperationBase* operation, QWidget* parent)
    : QDialog(parent), m_operation(operation), m_bar(new QProgressBar(this))
{
    setWindowTitle(quorvel::LoadShellString(quorvel::IDS_APP_NAME));
    setModal(true);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setObjectName(QStringLiteral("1115"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::rejected, this, &COPProgressDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    m_stepper.setInterval(0);
    connect(&m_stepper, &QTimer::timeout, this, &COPProgressDlg::StepOperation);
}

int COPProgressDlg::DoModal()
{
    if (!m_operation)
        return QDialog::Rejected;
    m_stepper.start();
    const int result = exec();
    m_stepper.stop();
    // However the loop ended, the operation is never left half-run.
    if (COperationBase* left = m_operation) {
        m_operation = nullptr;
        left->Abandon();
    }
    return result;
}

void COPProgressDlg::StepOperation()
{
    if (!m_operation)
        return;
    if (m_operation->Step(&m_percent)) {
        m_bar->setValue(int(std::min<uint32_t>(m_percent, 100)));
        return;
    }
    m_stepper.stop();
    COperationBase* finished = m_operation;
    m_operation = nullptr;
    finished->Finish();
    m_completed = true;
    done(QDialog::Accepted);
}

void COPProgressDlg::reject()
{
    m_stepper.stop();
    if (COperationBase* cancelled = m_operation) {
        m_operation = nullptr;
        cancelled->Abandon();
    }
    QDialog::reject();
}
