// The fields are plain edits read as signed integers, so a typed -5 is seen as -5 and
// refused, never passed on as a huge unsigned size.
#include "app/shell/new_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"

namespace {

// Accepted New dialogs so far, plus one: the number of the next proposed name.
int nextNameNumber = 1;

QLineEdit* MakeEdit(int id, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    return edit;
}

}  // namespace

CNewDialog::CNewDialog(QWidget* parent)
    : QDialog(parent), m_nameEdit(MakeEdit(1002, this)), m_widthEdit(MakeEdit(1003, this)),
      m_heightEdit(MakeEdit(1004, this))
{
    setWindowTitle(QStringLiteral("New"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Name"), m_nameEdit);
    form->addRow(QStringLiteral("width:"), m_widthEdit);
    form->addRow(QStringLiteral("height:"), m_heightEdit);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewDialog::reject);
    form->addRow(buttons);
    m_nameEdit->setText(quorvel::LoadShellString(quorvel::IDS_NO_NAME) + QString::number(nextNameNumber));
    SetSize(m_width, m_height);
}

void CNewDialog::SetSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
    m_widthEdit->setText(QString::number(width));
    m_heightEdit->setText(QString::number(height));
}

void CNewDialog::accept()
{
    bool widthRead = false;
    bool heightRead = false;
    const qlonglong width = m_widthEdit->text().trimmed().toLongLong(&widthRead);
    const qlonglong height = m_heightEdit->text().trimmed().toLongLong(&heightRead);
    if (!widthRead || !heightRead || !SideFits(width) || !SideFits(height)) {
        quorvel::ShellDialogs().ShowMessage(this, quorvel::LoadShellString(quorvel::IDS_NEW_SIZE_RANGE),
                                            quorvel::MessageButtons::Ok);
        QLineEdit* wrong = widthRead && SideFits(width) ? m_heightEdit : m_widthEdit;
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    m_width = int32_t(width);
    m_height = int32_t(height);
    m_name = m_nameEdit->text();
    ++nextNameNumber;
    QDialog::accept();
}
