// The shared dialog rows.
#include "app/ui/dialog_rows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/ui/page_slider_bar.h"

QLayout* MakeOpacityRow(QWidget* dialog)
{
    auto* row = new QHBoxLayout();
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(QStringLiteral("1006"));
    edit->setFixedWidth(48);
    auto* slider = new CNPageSliderBar(Qt::Horizontal, dialog);
    slider->setObjectName(QStringLiteral("1007"));
    slider->setMinimumWidth(150);
    auto* label = new QLabel(QStringLiteral("&Opacity:"), dialog);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit);
    row->addWidget(slider, 1);
    row->addWidget(new QLabel(QStringLiteral("%"), dialog));
    return row;
}

QWidget* MakeOkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
