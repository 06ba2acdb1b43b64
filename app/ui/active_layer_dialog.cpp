// The Set Active Layer dialog.
#include "app/ui/active_layer_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/ui/dialog_rows.h"
#include "app/ui/typed_number.h"

CActiveLayerIDDlg::CActiveLayerIDDlg(QWidget* parent)
    : QDialog(parent), m_count(new QLabel(this)), m_index(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Set Active Layer"));
    m_count->setObjectName(QStringLiteral("1009"));
    m_index->setObjectName(QStringLiteral("1008"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Layer counts:"), m_count);
    layout->addRow(QStringLiteral("&Active Layer:"), m_index);
    layout->addRow(MakeOkCancel(this));
    SetLayerCount(0);
    SetActiveLayer(0);
}

void CActiveLayerIDDlg::SetLayerCount(uint16_t count)
{
    m_layerCount = count;
    m_count->setText(QString::number(count));
}

void CActiveLayerIDDlg::SetActiveLayer(uint16_t index)
{
    m_activeLayer = index;
    m_index->setText(QString::number(index));
}

void CActiveLayerIDDlg::accept()
{
    int typed = 0;
    m_activeLayer = ReadLeadingInteger(m_index->text(), &typed) ? uint16_t(typed) : 0;
    QDialog::accept();
}
