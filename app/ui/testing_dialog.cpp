// The Testing Dialog: the list box under its template id, and OK.
#include "app/ui/testing_dialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/ui/layer_list_box.h"

CTestingDialog::CTestingDialog(QWidget* parent) : QDialog(parent), m_list(new CLayerListBox(this))
{
    setWindowTitle(QStringLiteral("Testing Dialog"));
    setObjectName(QStringLiteral("151"));
    m_list->setObjectName(QStringLiteral("1043"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(260, 300);
}

CTestingDialog::~CTestingDialog()
{
    m_list->SetPicture(nullptr);
}

void CTestingDialog::SetPicture(ITzPicture* picture)
{
    m_list->SetPicture(picture);
}

ITzPicture* CTestingDialog::GetPicture() const
{
    return m_list->GetPicture();
}
